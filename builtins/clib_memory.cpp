// The memory rows, checked over their whole count (a count past the arena reports 102 and touches
// nothing), and the character classes of the C locale: only 0..127 belong to a class, and
// tolower/toupper give every other value back unchanged.
#include <cstring>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"

BuiltinResult bi_memchr(const std::int32_t *w) {
  std::uint32_t n = static_cast<std::uint32_t>(w[2]);
  std::uint8_t *s = script_bytes(static_cast<std::uint32_t>(w[0]), n);
  if (!s || n == 0) return word(0);
  const void *hit = std::memchr(s, static_cast<unsigned char>(w[1]), n);
  return word(hit ? script_address(hit) : 0);
}

BuiltinResult bi_memcmp(const std::int32_t *w) {
  std::uint32_t n = static_cast<std::uint32_t>(w[2]);
  std::uint8_t *a = script_bytes(static_cast<std::uint32_t>(w[0]), n);
  std::uint8_t *b = a ? script_bytes(static_cast<std::uint32_t>(w[1]), n) : nullptr;
  if (!b) return word(0);
  int d = std::memcmp(a, b, n);
  return word((d > 0) - (d < 0));
}

// memcpy and memmove both copy as if through a buffer, so an overlap never smears.
static BuiltinResult copy(const std::int32_t *w) {
  std::uint32_t n = static_cast<std::uint32_t>(w[2]);
  std::uint8_t *src = script_bytes(static_cast<std::uint32_t>(w[1]), n);
  std::uint8_t *dst = src ? script_bytes(static_cast<std::uint32_t>(w[0]), n) : nullptr;
  if (!dst) return word(0);
  std::memmove(dst, src, n);
  return word(w[0]);
}

BuiltinResult bi_memcpy(const std::int32_t *w) { return copy(w); }
BuiltinResult bi_memmove(const std::int32_t *w) { return copy(w); }

BuiltinResult bi_memset(const std::int32_t *w) {
  std::uint32_t n = static_cast<std::uint32_t>(w[2]);
  std::uint8_t *dst = script_bytes(static_cast<std::uint32_t>(w[0]), n);
  if (!dst) return word(0);
  std::memset(dst, static_cast<unsigned char>(w[1]), n);
  return word(w[0]);
}

static bool upper(int c) { return c_isupper(c); }
static bool lower(int c) { return c_islower(c); }
static bool alpha(int c) { return upper(c) || lower(c); }
static bool digit(int c) { return c_isdigit(c); }
static bool graph(int c) { return c > ' ' && c < 127; }

BuiltinResult bi_isalnum(const std::int32_t *w) { return word(alpha(w[0]) || digit(w[0])); }
BuiltinResult bi_isalpha(const std::int32_t *w) { return word(alpha(w[0])); }
BuiltinResult bi_isascii(const std::int32_t *w) { return word(static_cast<std::uint32_t>(w[0]) < 128); }
BuiltinResult bi_isdigit(const std::int32_t *w) { return word(digit(w[0])); }
BuiltinResult bi_isgraph(const std::int32_t *w) { return word(graph(w[0])); }
BuiltinResult bi_islower(const std::int32_t *w) { return word(lower(w[0])); }
BuiltinResult bi_isprint(const std::int32_t *w) { return word(graph(w[0]) || w[0] == ' '); }
BuiltinResult bi_isspace(const std::int32_t *w) { return word(c_isspace(w[0])); }
BuiltinResult bi_isupper(const std::int32_t *w) { return word(upper(w[0])); }
BuiltinResult bi_tolower(const std::int32_t *w) { return word(c_tolower(w[0])); }
BuiltinResult bi_toupper(const std::int32_t *w) { return word(c_toupper(w[0])); }
