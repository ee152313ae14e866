// What the C-library adapters share: results, argument words, and the checked way from script
// addresses to native memory. Every byte an adapter reads or writes in script memory comes
// through script_bytes() or script_string(); a failed check reports 102 "Memory overflow".
#pragma once
#include <cstddef>
#include <cstdint>

#include "builtins/builtin_table.h"

inline BuiltinResult word(std::int32_t i) {
  BuiltinResult r;
  r.i = i;
  return r;
}

inline BuiltinResult real(double d) {
  BuiltinResult r;
  r.d = d;
  return r;
}

// The argument words of one call, taken in order; words past the 13 a built-in receives read as 0.
class ArgWords {
public:
  explicit ArgWords(const std::int32_t *words, int first = 0) : w_(words), next_(first) {}
  std::int32_t take() { return next_ < BUILTIN_WORDS ? w_[next_++] : (++next_, 0); }
  std::uint32_t take_unsigned() { return static_cast<std::uint32_t>(take()); }
  // A floating argument: two words, low word first.
  double take_double();
  // Two words as a 64-bit integer, low word first.
  std::int64_t take_int64();

private:
  const std::int32_t *w_;
  int next_;
};

// 'size' bytes at script address 'addr', or null after reporting 102 when any of them lies
// outside the arena. A size of 0 is always granted (nothing will be touched).
std::uint8_t *script_bytes(std::uint32_t addr, std::uint32_t size);
inline std::uint8_t *script_bytes(std::int32_t addr, std::int32_t size) {
  return size < 0 ? script_bytes(static_cast<std::uint32_t>(addr), 0xFFFFFFFFu)
                  : script_bytes(static_cast<std::uint32_t>(addr), static_cast<std::uint32_t>(size));
}

// The NUL-terminated string at 'addr', or null after reporting 102 when it does not end inside
// the arena. '*len' gets its length.
char *script_string(std::int32_t addr, std::size_t *len = nullptr);

// The string at 'addr' read as C reads it with a count limit: up to its NUL or 'limit' bytes,
// whichever comes first; null after 102 when those bytes leave the arena. '*len' gets the number
// of bytes before the NUL or the limit.
char *script_string_n(std::int32_t addr, std::uint32_t limit, std::size_t *len);

// The script address of a native pointer into the arena.
std::int32_t script_address(const void *p);

// The digits of 'value' in 'radix' (2..36, letters a-z beyond 9), after a '-' when 'negative', and
// a NUL into 'text' (34 bytes); the length without the NUL.
inline int digits_text(std::uint32_t value, bool negative, int radix, char *text) {
  char digits[33];
  int count = 0;
  do {
    std::uint32_t d = value % static_cast<std::uint32_t>(radix);
    digits[count++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    value /= static_cast<std::uint32_t>(radix);
  } while (value);
  int n = 0;
  if (negative) text[n++] = '-';
  while (count) text[n++] = digits[--count];
  text[n] = '\0';
  return n;
}

// Character classes and case of the C locale, for every int (only 0..127 can be in a class).
bool c_isspace(int c);
bool c_isdigit(int c);
bool c_isupper(int c);
bool c_islower(int c);
int c_tolower(int c);
int c_toupper(int c);
