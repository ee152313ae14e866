// The interpreter's own built-ins: malloc, free and realloc on the script arena, min and max.
#include <cstdint>

#include "builtins/builtin_table.h"
#include "eval/value.h"
#include "shell/diagnostics.h"

static BuiltinResult word(std::int32_t i) {
  BuiltinResult r;
  r.i = i;
  return r;
}

BuiltinResult bi_malloc(const std::int32_t *w) {
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
