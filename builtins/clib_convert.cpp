// The conversion rows. abs and labs wrap at the most negative value; atoi and atol read optional
// blanks, a sign and decimal digits and stop at the 32-bit limits; itoa, ltoa and ultoa write
// digits 0-9 and a-z, with a minus sign only in radix 10 (and never for ultoa).
#include <cstdlib>
#include <cstring>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"

static std::int32_t absolute(std::int32_t v) {
  std::uint32_t u = static_cast<std::uint32_t>(v);
  return static_cast<std::int32_t>(v < 0 ? 0u - u : u);
}

BuiltinResult bi_abs(const std::int32_t *w) { return word(absolute(w[0])); }
BuiltinResult bi_labs(const std::int32_t *w) { return word(absolute(w[0])); }

static BuiltinResult to_integer(std::int32_t addr) {
  const char *s = script_string(addr);
  if (!s) return word(0);
  while (c_isspace(static_cast<unsigned char>(*s))) ++s;
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  std::int64_t v = 0;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  for (; c_isdigit(*s); ++s) {
    v = v * 10 + (*s - '0');
    if (v > limit) v = limit;
  }
  return word(static_cast<std::int32_t>(negative ? -v : v));
}

BuiltinResult bi_atoi(const std::int32_t *w) { return to_integer(w[0]); }
BuiltinResult bi_atol(const std::int32_t *w) { return to_integer(w[0]); }

BuiltinResult bi_atof(const std::int32_t *w) {
  const char *s = script_string(w[0]);
  return real(s ? std::strtod(s, nullptr) : 0.0);
}

// Writes 'value' in 'radix' into the buffer at 'addr'; a radix outside 2..36 writes "".
static BuiltinResult to_text(std::uint32_t value, bool negative, std::int32_t addr, std::int32_t radix) {
  char text[34] = "";
  int n = (radix >= 2 && radix <= 36 ? digits_text(value, negative, radix, text) : 0) + 1;
  std::uint8_t *dst = script_bytes(addr, n);
  if (!dst) return word(0);
  std::memcpy(dst, text, static_cast<std::size_t>(n));
  return word(addr);
}

static BuiltinResult signed_to_text(const std::int32_t *w) {
  bool negative = w[0] < 0 && w[2] == 10;
  std::uint32_t u = static_cast<std::uint32_t>(w[0]);
  return to_text(negative ? 0u - u : u, negative, w[1], w[2]);
}

BuiltinResult bi_itoa(const std::int32_t *w) { return signed_to_text(w); }
BuiltinResult bi_ltoa(const std::int32_t *w) { return signed_to_text(w); }
BuiltinResult bi_ultoa(const std::int32_t *w) {
  return to_text(static_cast<std::uint32_t>(w[0]), false, w[1], w[2]);
}
