// The string rows. A string argument must end with its NUL inside the arena, a destination must
// hold every byte written into it; otherwise the call reports 102, writes nothing and gives 0.
// Comparisons give -1, 0 or 1 and compare bytes as unsigned characters.
#include <cstring>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"

static int sign(int d) { return (d > 0) - (d < 0); }

static int compare(const char *a, const char *b, std::size_t n, bool fold) {
  for (std::size_t i = 0; i < n; ++i) {
    int x = static_cast<unsigned char>(a[i]);
    int y = static_cast<unsigned char>(b[i]);
    if (fold) {
      x = c_tolower(x);
      y = c_tolower(y);
    }
    if (x != y || x == 0) return sign(x - y);
  }
  return 0;
}

BuiltinResult bi_strlen(const std::int32_t *w) {
  std::size_t len = 0;
  return word(script_string(w[0], &len) ? static_cast<std::int32_t>(len) : 0);
}

BuiltinResult bi_strcpy(const std::int32_t *w) {
  std::size_t len = 0;
  char *src = script_string(w[1], &len);
  if (!src) return word(0);
  std::uint8_t *dst = script_bytes(w[0], static_cast<std::int32_t>(len + 1));
  if (!dst) return word(0);
  std::memmove(dst, src, len + 1);
  return word(w[0]);
}

BuiltinResult bi_strncpy(const std::int32_t *w) {
  std::uint32_t n = static_cast<std::uint32_t>(w[2]);
  std::size_t len = 0;
  char *src = script_string_n(w[1], n, &len);
  if (!src) return word(0);
  std::uint8_t *dst = script_bytes(static_cast<std::uint32_t>(w[0]), n);
  if (!dst) return word(0);
  std::memmove(dst, src, len);
  std::memset(dst + len, 0, n - len);
  return word(w[0]);
}

// Appends 'len' bytes of 'src' and a NUL to the string at 'dst_addr'.
static BuiltinResult append(std::int32_t dst_addr, const char *src, std::size_t len) {
  std::size_t have = 0;
  if (!script_string(dst_addr, &have)) return word(0);
  std::uint8_t *dst = script_bytes(dst_addr, static_cast<std::int32_t>(have + len + 1));
  if (!dst) return word(0);
  std::memmove(dst + have, src, len);
  dst[have + len] = 0;
  return word(dst_addr);
}

BuiltinResult bi_strcat(const std::int32_t *w) {
  std::size_t len = 0;
  char *src = script_string(w[1], &len);
  return src ? append(w[0], src, len) : word(0);
}

BuiltinResult bi_strncat(const std::int32_t *w) {
  std::size_t len = 0;
  char *src = script_string_n(w[1], static_cast<std::uint32_t>(w[2]), &len);
  return src ? append(w[0], src, len) : word(0);
}

BuiltinResult bi_strcmp(const std::int32_t *w) {
  std::size_t la = 0;
  std::size_t lb = 0;
  char *a = script_string(w[0], &la);
  char *b = a ? script_string(w[1], &lb) : nullptr;
  if (!b) return word(0);
  return word(compare(a, b, (la < lb ? la : lb) + 1, false));
}

BuiltinResult bi_stricmp(const std::int32_t *w) {
  std::size_t la = 0;
  std::size_t lb = 0;
  char *a = script_string(w[0], &la);
  char *b = a ? script_string(w[1], &lb) : nullptr;
  if (!b) return word(0);
  return word(compare(a, b, (la < lb ? la : lb) + 1, true));
}

BuiltinResult bi_strncmp(const std::int32_t *w) {
  std::uint32_t n = static_cast<std::uint32_t>(w[2]);
  std::size_t la = 0;
  std::size_t lb = 0;
  char *a = script_string_n(w[0], n, &la);
  char *b = a ? script_string_n(w[1], n, &lb) : nullptr;
  if (!b) return word(0);
  // Past the shorter one's end only its NUL (or the limit) is compared.
  std::size_t span = la < lb ? la : lb;
  return word(compare(a, b, span < n ? span + 1 : span, false));
}

// strchr and strrchr: the character is taken as a char; its NUL can be found too.
static BuiltinResult find_char(const std::int32_t *w, bool last) {
  std::size_t len = 0;
  char *s = script_string(w[0], &len);
  if (!s) return word(0);
  char c = static_cast<char>(w[1]);
  const void *hit = last ? std::strrchr(s, c) : std::memchr(s, c, len + 1);
  return word(hit ? script_address(hit) : 0);
}

BuiltinResult bi_strchr(const std::int32_t *w) { return find_char(w, false); }
BuiltinResult bi_strrchr(const std::int32_t *w) { return find_char(w, true); }

BuiltinResult bi_strstr(const std::int32_t *w) {
  char *s = script_string(w[0]);
  char *part = s ? script_string(w[1]) : nullptr;
  if (!part) return word(0);
  const char *hit = std::strstr(s, part);
  return word(hit ? script_address(hit) : 0);
}

BuiltinResult bi_strspn(const std::int32_t *w) {
  char *s = script_string(w[0]);
  char *set = s ? script_string(w[1]) : nullptr;
  return word(set ? static_cast<std::int32_t>(std::strspn(s, set)) : 0);
}

// Where the next strtok(0, ...) goes on; 0 when the string is used up.
static std::int32_t strtok_next = 0;

BuiltinResult bi_strtok(const std::int32_t *w) {
  std::int32_t from = w[0] ? w[0] : strtok_next;
  strtok_next = 0;
  if (!from) return word(0);
  char *s = script_string(from);
  char *delims = s ? script_string(w[1]) : nullptr;
  if (!delims) return word(0);
  s += std::strspn(s, delims);
  if (!*s) return word(0);
  char *end = s + std::strcspn(s, delims);
  if (*end) {
    *end = '\0';
    strtok_next = script_address(end + 1);
  }
  return word(script_address(s));
}

// The in-place rows: each changes the string's characters and gives the string back.
template <typename Change> static BuiltinResult in_place(std::int32_t addr, Change change) {
  std::size_t len = 0;
  char *s = script_string(addr, &len);
  if (!s) return word(0);
  change(s, len);
  return word(addr);
}

BuiltinResult bi_strlwr(const std::int32_t *w) {
  return in_place(w[0], [](char *s, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i)
      s[i] = static_cast<char>(c_tolower(static_cast<unsigned char>(s[i])));
  });
}

BuiltinResult bi_strupr(const std::int32_t *w) {
  return in_place(w[0], [](char *s, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i)
      s[i] = static_cast<char>(c_toupper(static_cast<unsigned char>(s[i])));
  });
}

BuiltinResult bi_strrev(const std::int32_t *w) {
  return in_place(w[0], [](char *s, std::size_t len) {
    for (std::size_t i = 0, j = len; i + 1 < j; ++i, --j) {
      char t = s[i];
      s[i] = s[j - 1];
      s[j - 1] = t;
    }
  });
}

BuiltinResult bi_strset(const std::int32_t *w) {
  char c = static_cast<char>(w[1]);
  return in_place(w[0], [c](char *s, std::size_t len) { std::memset(s, c, len); });
}
