// The interpreter's own built-ins: malloc, free and realloc on the script arena, min and max,
// and GetPrivateProfileString over the platform's initialization-file lookup.
#include <cstdint>

#include "builtins/builtin_table.h"
#include "builtins/clib_common.h"
#include "eval/value.h"
#include "platform/platform.h"
#include "shell/diagnostics.h"

// The host product's settings file, read when a script names no file.
static const char settings_file_name[] = "ravelto.ini";

// A block that cannot fit (a negative size counts as a huge one) reports 102 and gives 0.
BuiltinResult bi_malloc(const std::int32_t *w) {
  if (w[0] < 0) {
    error(MSG_MEMORY_OVERFLOW);
    return word(0);
  }
  return word(static_cast<std::int32_t>(arena_alloc(w[0])));
}

BuiltinResult bi_free(const std::int32_t *) { return word(0); }

// A fresh block; n bytes are copied front to back from p, whatever the old block's size (the
// arena keeps none). A null p gives a plain new block; a p whose n bytes leave the arena gives
// Memory overflow and a null result.
BuiltinResult bi_realloc(const std::int32_t *w) {
  std::uint32_t old = static_cast<std::uint32_t>(w[0]);
  std::int32_t n = w[1];
  if (old != 0 && (n < 0 || !arena_ptr(old, static_cast<std::uint32_t>(n > 0 ? n : 1)))) {
    error(MSG_MEMORY_OVERFLOW);
    return word(0);
  }
  std::uint32_t fresh = arena_alloc(n);
  if (fresh == 0 || old == 0 || n == 0) return word(static_cast<std::int32_t>(fresh));
  std::uint8_t *from = arena_ptr(old, n);
  std::uint8_t *to = arena_ptr(fresh, n);
  for (std::int32_t i = 0; i < n; ++i) to[i] = from[i];
  return word(static_cast<std::int32_t>(fresh));
}

BuiltinResult bi_min(const std::int32_t *w) { return word(w[1] < w[0] ? w[1] : w[0]); }

BuiltinResult bi_max(const std::int32_t *w) { return word(w[0] < w[1] ? w[1] : w[0]); }

// section, key, default, buffer, size, file: a null section lists the sections, a null key the
// section's keys; a null file reads the settings file. The buffer must hold 'size' bytes.
BuiltinResult bi_GetPrivateProfileString(const std::int32_t *w) {
  const char *section = w[0] ? script_string(w[0]) : nullptr;
  const char *key = w[1] ? script_string(w[1]) : nullptr;
  const char *def = w[2] ? script_string(w[2]) : nullptr;
  const char *file = w[5] ? script_string(w[5]) : settings_file_name;
  if ((w[0] && !section) || (w[1] && !key) || (w[2] && !def) || !file) return word(0);
  std::uint8_t *buf = script_bytes(w[3], w[4]);
  if (!buf || w[4] == 0) return word(0);
  return word(plat_profile_string(section, key, def, reinterpret_cast<char *>(buf), w[4], file));
}
