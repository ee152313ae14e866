// Formatted output and input. The format is walked conversion by conversion: each conversion takes
// its argument words (one for integers, characters, pointers and strings, two for doubles and for
// 'll' integers) and is carried out by the C library on native values. Output of sprintf is
// bounded by the arena; every %s string, %n target and scan target is checked before it is used.
// A script's 'long' is 32 bits, so 'l' changes nothing for integers; %p is eight upper-case hex
// digits.
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"
#include "builtins/clib_streams.h"
#include "eval/value.h"
#include "shell/diagnostics.h"

namespace {

enum Length { LEN_NONE, LEN_HH, LEN_H, LEN_L, LEN_LL, LEN_BIG_L };

// One conversion, from its '%' to its conversion character.
struct Conversion {
  const char *start = nullptr;  // the '%'
  const char *end = nullptr;    // just after the conversion (after ']' of a scan set)
  char flags[6] = {};           // each of "-+ #0" at most once
  bool suppress = false;        // scanning: '*'
  bool star_width = false;
  bool star_precision = false;
  int width = -1;      // -1: none
  int precision = -1;  // -1: none
  Length length = LEN_NONE;
  char conv = '\0';  // '\0': the format ended inside the conversion
  std::string set;   // scanning: the scan set with its brackets
};

int read_number(const char *&p) {
  long long n = 0;
  for (; c_isdigit(*p); ++p)
    if (n < 100000000) n = n * 10 + (*p - '0');
  return static_cast<int>(n);
}

Conversion parse_conversion(const char *p, bool scanning) {
  Conversion s;
  s.start = p++;
  if (scanning) {
    if (*p == '*') {
      s.suppress = true;
      ++p;
    }
  } else {
    for (; *p && std::strchr("-+ #0", *p); ++p)
      if (!std::strchr(s.flags, *p)) s.flags[std::strlen(s.flags)] = *p;
    if (*p == '*') {
      s.star_width = true;
      ++p;
    }
  }
  if (c_isdigit(*p)) s.width = read_number(p);
  if (!scanning && *p == '.') {
    ++p;
    if (*p == '*') {
      s.star_precision = true;
      ++p;
    } else {
      s.precision = read_number(p);
    }
  }
  if (*p == 'h') s.length = p[1] == 'h' ? (++p, LEN_HH) : LEN_H;
  else if (*p == 'l') s.length = p[1] == 'l' ? (++p, LEN_LL) : LEN_L;
  else if (*p == 'L') s.length = LEN_BIG_L;
  if (s.length != LEN_NONE) ++p;
  s.conv = *p;
  if (!*p) {
    s.end = p;
    return s;
  }
  ++p;
  if (scanning && s.conv == '[') {
    const char *q = p;
    if (*q == '^') ++q;
    if (*q == ']') ++q;
    while (*q && *q != ']') ++q;
    if (!*q) {
      s.conv = '\0';  // an unclosed scan set ends the scan
    } else {
      s.set.assign(p - 1, q + 1);
      p = q + 1;
    }
  }
  s.end = p;
  return s;
}

// Bytes that a %n or numeric scan target of this length takes.
int target_size(Length len, bool floating) {
  if (floating) return len == LEN_L || len == LEN_BIG_L ? 8 : 4;
  switch (len) {
  case LEN_HH: return 1;
  case LEN_H: return 2;
  case LEN_LL: return 8;
  default: return 4;
  }
}

// --- Output ---------------------------------------------------------------------------------

// Where formatted text goes: a stream, a bounded buffer, or nowhere (a pass that only checks the
// arguments before anything reaches a stream).
struct Output {
  std::FILE *file = nullptr;
  char *buf = nullptr;
  std::size_t room = 0;  // characters the buffer takes, without its NUL
  bool dry = false;
  long long count = 0;
  bool overflow = false;  // the buffer is too small
  bool io_error = false;  // the stream failed
  // %n results, stored once the whole output has succeeded.
  struct Pending {
    std::uint8_t *target;
    int size;
    long long count;
  };
  std::vector<Pending> pending_counts;

  template <typename... A> bool put(const char *mini, A... a) {
    if (dry) return true;
    if (file) {
      int r = std::fprintf(file, mini, a...);
      if (r < 0) {
        io_error = true;
        return false;
      }
      count += r;
      return true;
    }
    std::size_t used = static_cast<std::size_t>(count);
    int r = std::snprintf(buf + used, room - used + 1, mini, a...);
    if (r < 0 || static_cast<std::size_t>(r) > room - used) {
      overflow = true;
      return false;
    }
    count += r;
    return true;
  }

  // Bytes as they are (a NUL of %c too).
  bool text(const char *p, std::size_t n) {
    if (dry) return true;
    if (file) {
      if (std::fwrite(p, 1, n, file) != n) {
        io_error = true;
        return false;
      }
    } else {
      std::size_t used = static_cast<std::size_t>(count);
      if (n > room - used) {
        overflow = true;
        return false;
      }
      std::memcpy(buf + used, p, n);
      buf[used + n] = '\0';
    }
    count += static_cast<long long>(n);
    return true;
  }

  // 'n' copies of 'c', written a block at a time.
  bool repeat(char c, long long n) {
    constexpr long long BLOCK = 512;
    static const std::string spaces(BLOCK, ' ');
    static const std::string zeros(BLOCK, '0');
    const char *block = c == '0' ? zeros.data() : spaces.data();
    for (; n > 0; n -= BLOCK)
      if (!text(block, static_cast<std::size_t>(n < BLOCK ? n : BLOCK))) return false;
    return true;
  }
};

// "No width" and "no precision".
constexpr long long UNSET = -1LL << 40;
// Digits a double can need: its exact value has at most 1074 digits after the point (767
// significant ones). Beyond that a precision only adds zeros, or, for %g, nothing.
constexpr long long EXACT_DIGITS = 1100;
// Widths and precisions up to this are left to the C library when writing to a stream; larger
// ones are written in pieces.
constexpr long long PIECE = 4096;

// The C library's format for one conversion, with '*' values written out.
struct MiniFormat {
  char text[64];
  MiniFormat(const char *flags, long long width, long long precision, const char *length, char conv) {
    char w[24] = "";
    char p[24] = "";
    if (width != UNSET)
      std::snprintf(w, sizeof w, "%s%lld", width < 0 ? "-" : "", width < 0 ? -width : width);
    if (precision != UNSET) std::snprintf(p, sizeof p, ".%lld", precision);
    std::snprintf(text, sizeof text, "%%%s%s%s%s%c", flags, w, p, length, conv);
  }
};

// One conversion with its '*' values taken; a negative width is a left-justified one.
struct Field {
  const char *flags;
  long long width;
  long long precision;
  const char *length;
  char conv;
  bool finite;  // a floating value is a number (the precision of inf and nan writes nothing)

  bool integer() const { return std::strchr("diouxX", conv) != nullptr; }
  bool floating() const { return std::strchr("eEfFgGaA", conv) != nullptr; }
  bool has(char flag) const { return std::strchr(flags, flag) != nullptr; }
  long long span() const { return width == UNSET ? 0 : width < 0 ? -width : width; }
  // The precision writes that many digits at least (%g drops its trailing zeros without '#').
  bool precision_digits() const {
    if (precision == UNSET || !finite) return false;
    return integer() || (floating() && (std::tolower(conv) != 'g' || has('#')));
  }
  // The fewest characters the conversion writes.
  long long shortest() const {
    long long n = span();
    return precision_digits() && precision > n ? precision : n;
  }
  MiniFormat mini() const { return MiniFormat(flags, width, precision, length, conv); }
};

// The text the C library writes for 'f' and 'value' (its width and precision are small).
template <typename T> std::string library_text(const Field &f, T value) {
  MiniFormat m(f.flags, UNSET, f.precision, f.length, f.conv);
  int n = std::snprintf(nullptr, 0, m.text, value);
  if (n <= 0) return std::string();
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(s.data(), s.size(), m.text, value);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

// Where the digits of a formatted number begin: after its sign and a 0x of %x, %X, %a, %A.
std::size_t digits_start(const std::string &s, char conv) {
  std::size_t i = !s.empty() && std::strchr("+- ", s[0]) ? 1 : 0;
  bool prefix = s.size() >= i + 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X');
  return prefix && std::strchr("xXaA", conv) ? i + 2 : i;
}

// A conversion with a width or precision too large for one piece, written to a stream: the
// library writes it without the width and with at most EXACT_DIGITS of precision; the zeros of
// the rest of the precision (after the sign for integers, before the exponent for floating
// values) and the width's padding are written a block at a time.
template <typename T> bool put_in_pieces(Output &out, Field f, T value) {
  bool numeric = f.floating() || (f.integer() && f.precision == UNSET);
  bool zero_pad = f.has('0') && !f.has('-') && f.width > 0 && f.finite && numeric;
  long long extra = 0;
  if (f.precision != UNSET && f.precision > EXACT_DIGITS) {
    if (f.precision_digits()) extra = f.precision - EXACT_DIGITS;
    f.precision = EXACT_DIGITS;
  }
  std::string body = library_text(f, value);
  std::size_t lead = f.integer() || f.floating() ? digits_start(body, f.conv) : 0;
  std::size_t at = lead;
  if (f.floating()) {
    at = body.find_first_of(std::tolower(f.conv) == 'a' ? "pP" : "eE", lead);
    if (at == std::string::npos || std::tolower(f.conv) == 'f') at = body.size();
  }
  long long pad = f.span() - static_cast<long long>(body.size()) - extra;
  if (pad < 0) pad = 0;
  bool left = f.width < 0 || f.has('-');
  bool ok = left || zero_pad || out.repeat(' ', pad);
  ok = ok && out.text(body.data(), lead) && (!zero_pad || out.repeat('0', pad));
  ok = ok && out.text(body.data() + lead, at - lead) && out.repeat('0', extra);
  return ok && out.text(body.data() + at, body.size() - at) && (!left || out.repeat(' ', pad));
}

// The decimal digits of 'value' into the arena output, when they fit.
bool decimal_text(Output &out, std::int32_t value) {
  char digits[12];
  char *end = digits + sizeof digits;
  char *p = end;
  std::uint32_t u = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u);
  if (value < 0) *--p = '-';
  std::size_t n = static_cast<std::size_t>(end - p);
  if (n > out.room - static_cast<std::size_t>(out.count)) return false;
  return out.text(p, n);
}

// One conversion of 'value'. Nothing costs more than its output: into the arena, a conversion
// longer than the room left is refused before it is formatted; to a stream, large widths and
// precisions are written in pieces.
template <typename T> bool put_field(Output &out, Field f, T value) {
  if (out.dry) return true;
  // Beyond the digits of a double, the precision of %g changes nothing.
  if (std::tolower(f.conv) == 'g' && !f.has('#') && f.precision > EXACT_DIGITS) f.precision = EXACT_DIGITS;
  if (!out.file) {
    if (f.shortest() > static_cast<long long>(out.room) - out.count) {
      out.overflow = true;
      return false;
    }
    if constexpr (std::is_same_v<T, std::int32_t>) {
      // A plain %d, the most common conversion, without the C library; what would not fit is
      // left to it, which writes as much as fits.
      if (f.conv == 'd' && !*f.flags && f.width == UNSET && f.precision == UNSET && !*f.length &&
          decimal_text(out, value))
        return true;
    }
    return out.put(f.mini().text, value);
  }
  if (f.span() <= PIECE && (f.precision == UNSET || f.precision <= PIECE))
    return out.put(f.mini().text, value);
  return put_in_pieces(out, f, value);
}

// One conversion; false after a memory fault (already reported) or a failed output.
bool convert_out(const Conversion &s, ArgWords &args, Output &out) {
  long long width = s.width >= 0 ? s.width : UNSET;
  long long precision = s.precision >= 0 ? s.precision : UNSET;
  if (s.star_width) width = args.take();
  if (s.star_precision) {
    precision = args.take();
    if (precision < 0) precision = UNSET;  // as if there were none
  }
  const char *hh = s.length == LEN_HH ? "hh" : s.length == LEN_H ? "h" : "";
  switch (s.conv) {
  case 'd':
  case 'i':
  case 'u':
  case 'o':
  case 'x':
  case 'X':
    if (s.length == LEN_LL) {
      long long v = args.take_int64();
      return put_field(out, Field{s.flags, width, precision, "ll", s.conv, true}, v);
    }
    return put_field(out, Field{s.flags, width, precision, hh, s.conv, true}, args.take());
  case 'e':
  case 'E':
  case 'f':
  case 'F':
  case 'g':
  case 'G':
  case 'a':
  case 'A': {
    double v = args.take_double();
    return put_field(out, Field{s.flags, width, precision, "", s.conv, std::isfinite(v)}, v);
  }
  case 'c': return put_field(out, Field{s.flags, width, UNSET, "", 'c', true}, args.take());
  case 's': {
    std::int32_t addr = args.take();
    std::size_t len = 0;
    const char *str = "(null)";
    if (addr != 0) {
      str = precision == UNSET ? script_string(addr)
                               : script_string_n(addr, static_cast<std::uint32_t>(precision), &len);
      if (!str) return false;
    }
    if (precision != UNSET && addr != 0)
      return put_field(out, Field{s.flags, width, UNSET, "", 's', true}, std::string(str, len).c_str());
    return put_field(out, Field{s.flags, width, precision, "", 's', true}, str);
  }
  case 'p': {
    char hex[12];
    std::snprintf(hex, sizeof hex, "%08X", args.take_unsigned());
    const char *left = std::strchr(s.flags, '-') ? "-" : "";
    return put_field(out, Field{left, width, UNSET, "", 's', true}, static_cast<const char *>(hex));
  }
  case 'n': {
    int size = target_size(s.length, false);
    std::uint8_t *target = script_bytes(args.take_unsigned(), static_cast<std::uint32_t>(size));
    if (!target) return false;
    out.pending_counts.push_back({target, size, out.count});
    return true;
  }
  case '%': return out.text("%", 1);
  default:  // an unknown conversion is written as it stands
    return out.text(s.start, static_cast<std::size_t>(s.end - s.start));
  }
}

// Walks the whole format; false as soon as a conversion fails.
bool format_walk(const char *fmt, ArgWords args, Output &out) {
  const char *p = fmt;
  while (*p) {
    const char *pct = std::strchr(p, '%');
    if (!pct) return out.text(p, std::strlen(p));
    if (pct > p && !out.text(p, static_cast<std::size_t>(pct - p))) return false;
    Conversion s = parse_conversion(pct, false);
    if (!convert_out(s, args, out)) return false;
    p = s.end;
  }
  return true;
}

void store_counts(const Output &out) {
  for (const Output::Pending &n : out.pending_counts) {
    std::int64_t v = n.count;
    std::memcpy(n.target, &v, static_cast<std::size_t>(n.size));  // the low bytes (little-endian)
  }
}

}  // namespace

BuiltinResult bi_sprintf(const std::int32_t *w) {
  static char text[ARENA_SIZE + 1];
  std::uint32_t dest = static_cast<std::uint32_t>(w[0]);
  const char *fmt = script_bytes(dest, 1u) ? script_string(w[1]) : nullptr;
  if (!fmt) return word(0);
  std::size_t room = ARENA_SIZE - (dest - arena_base) - 1;
  if (fmt[0] == '%' && fmt[1] == 'd' && fmt[2] == '\0') {
    // The commonest format alone, the same bytes as the general walk makes.
    char digits[34];
    std::uint32_t magnitude = static_cast<std::uint32_t>(w[2]);
    int length = digits_text(w[2] < 0 ? 0u - magnitude : magnitude, w[2] < 0, 10, digits);
    if (static_cast<std::size_t>(length) > room) {
      error(MSG_MEMORY_OVERFLOW);
      return word(0);
    }
    std::memcpy(arena_ptr(dest, static_cast<std::uint32_t>(length + 1)), digits,
                static_cast<std::size_t>(length + 1));
    return word(length);
  }
  Output out;
  out.buf = text;
  out.room = room;
  if (!format_walk(fmt, ArgWords(w, 2), out)) {
    if (out.overflow) error(MSG_MEMORY_OVERFLOW);
    return word(0);
  }
  std::size_t size = static_cast<std::size_t>(out.count) + 1;
  std::memcpy(arena_ptr(dest, static_cast<std::uint32_t>(size)), text, size);
  store_counts(out);
  return word(static_cast<std::int32_t>(out.count));
}

BuiltinResult bi_fprintf(const std::int32_t *w) {
  std::FILE *f = stream_for_writing(w[0]);
  if (!f) return word(EOF);
  const char *fmt = script_string(w[1]);
  if (!fmt) return word(0);
  Output check;
  check.dry = true;
  if (!format_walk(fmt, ArgWords(w, 2), check)) return word(0);
  Output out;
  out.file = f;
  bool ok = format_walk(fmt, ArgWords(w, 2), out);
  if (!ok) return word(EOF);
  store_counts(out);
  return word(static_cast<std::int32_t>(out.count));
}

// --- Input ----------------------------------------------------------------------------------

namespace {

enum ScanStep { STEP_OK, STEP_MATCH_FAILURE, STEP_INPUT_FAILURE, STEP_FAULT };

// What is scanned: a stream, or a copy of a script string (so that storing into a target can
// never change the text still to be read).
struct Input {
  std::FILE *file = nullptr;
  const char *text = nullptr;
  std::size_t pos = 0;
  long long consumed = 0;

  int get() {
    int c = file ? std::fgetc(file) : (text[pos] ? static_cast<unsigned char>(text[pos++]) : EOF);
    if (c != EOF) ++consumed;
    return c;
  }
  void unget(int c) {
    if (c == EOF) return;
    --consumed;
    if (file) std::ungetc(c, file);
    else --pos;
  }
  // One conversion by the C library; 'mini' ends with "%n", which the call adds a target for.
  template <typename... T> ScanStep library(const char *mini, T... targets);
};

template <typename... T> ScanStep Input::library(const char *mini, T... targets) {
  int n = -1;
  int r = file ? std::fscanf(file, mini, targets..., &n) : std::sscanf(text + pos, mini, targets..., &n);
  if (n < 0) return r == EOF ? STEP_INPUT_FAILURE : STEP_MATCH_FAILURE;
  consumed += n;
  if (!file) pos += static_cast<std::size_t>(n);
  return STEP_OK;
}

std::string scan_mini(const Conversion &s, int width, const char *length, char conv) {
  std::string m = "%";
  if (s.suppress) m += '*';
  if (width > 0) m += std::to_string(width);
  m += length;
  m += conv == '[' ? s.set : std::string(1, conv);
  return m + "%n";
}

// Scans one number into a native T and copies its bytes to 'target'.
template <typename T> ScanStep scan_value(Input &in, const std::string &mini, std::uint8_t *target) {
  if (!target) return in.library(mini.c_str());
  T value{};
  ScanStep step = in.library(mini.c_str(), &value);
  if (step == STEP_OK) std::memcpy(target, &value, sizeof value);
  return step;
}

// %s, %[ and %c: text, read no further than the target's room in the arena.
ScanStep scan_text(Input &in, const Conversion &s, std::uint32_t addr) {
  static char buf[ARENA_SIZE + 1];
  if (s.conv == 'c') {
    int width = s.width > 0 ? s.width : 1;
    std::string mini = scan_mini(s, width, "", 'c');
    if (s.suppress) return in.library(mini.c_str());
    std::uint8_t *target = script_bytes(addr, static_cast<std::uint32_t>(width));
    if (!target) return STEP_FAULT;
    ScanStep step = in.library(mini.c_str(), buf);
    if (step == STEP_OK) std::memcpy(target, buf, static_cast<std::size_t>(width));
    return step;
  }
  if (s.suppress) return in.library(scan_mini(s, s.width, "", s.conv).c_str());
  if (!script_bytes(addr, 1u)) return STEP_FAULT;
  int room = static_cast<int>(ARENA_SIZE - (addr - arena_base));
  int width = s.width > 0 && s.width < room ? s.width : room;
  ScanStep step = in.library(scan_mini(s, width, "", s.conv).c_str(), buf);
  if (step != STEP_OK) return step;
  std::size_t len = std::strlen(buf);
  std::uint8_t *target = script_bytes(addr, static_cast<std::uint32_t>(len + 1));
  if (!target) return STEP_FAULT;
  std::memcpy(target, buf, len + 1);
  return STEP_OK;
}

// One conversion; 'assigned' counts the stored items.
ScanStep convert_in(const Conversion &s, ArgWords &args, Input &in, int &assigned) {
  std::uint32_t addr = s.suppress || s.conv == '%' ? 0 : args.take_unsigned();
  bool floating = std::strchr("eEfFgGaA", s.conv) != nullptr;
  std::uint8_t *target = nullptr;
  if (!s.suppress && std::strchr("diuoxXpeEfFgGaAn", s.conv)) {
    int size = s.conv == 'p' ? 4 : target_size(s.length, floating);
    target = script_bytes(addr, static_cast<std::uint32_t>(size));
    if (!target) return STEP_FAULT;
  }
  ScanStep step = STEP_OK;
  switch (s.conv) {
  case 'd':
  case 'i':
  case 'u':
  case 'o':
  case 'x':
  case 'X': {
    bool is_signed = s.conv == 'd' || s.conv == 'i';
    switch (s.length) {
    case LEN_HH:
      step = is_signed ? scan_value<signed char>(in, scan_mini(s, s.width, "hh", s.conv), target)
                       : scan_value<unsigned char>(in, scan_mini(s, s.width, "hh", s.conv), target);
      break;
    case LEN_H:
      step = is_signed ? scan_value<short>(in, scan_mini(s, s.width, "h", s.conv), target)
                       : scan_value<unsigned short>(in, scan_mini(s, s.width, "h", s.conv), target);
      break;
    case LEN_LL:
      step = is_signed ? scan_value<long long>(in, scan_mini(s, s.width, "ll", s.conv), target)
                       : scan_value<unsigned long long>(in, scan_mini(s, s.width, "ll", s.conv), target);
      break;
    default:
      step = is_signed ? scan_value<int>(in, scan_mini(s, s.width, "", s.conv), target)
                       : scan_value<unsigned>(in, scan_mini(s, s.width, "", s.conv), target);
      break;
    }
    break;
  }
  case 'p': step = scan_value<unsigned>(in, scan_mini(s, s.width, "", 'x'), target); break;
  case 'e':
  case 'E':
  case 'f':
  case 'F':
  case 'g':
  case 'G':
  case 'a':
  case 'A':
    if (target_size(s.length, true) == 8)
      step = scan_value<double>(in, scan_mini(s, s.width, "l", s.conv), target);
    else step = scan_value<float>(in, scan_mini(s, s.width, "", s.conv), target);
    break;
  case 'c':
  case 's':
  case '[': step = scan_text(in, s, addr); break;
  case 'n':
    if (target) {
      std::int64_t v = in.consumed;
      std::memcpy(target, &v, static_cast<std::size_t>(target_size(s.length, false)));
    }
    return STEP_OK;
  case '%': {
    int c;
    do c = in.get();
    while (c_isspace(c));
    if (c == '%') return STEP_OK;
    in.unget(c);
    return c == EOF ? STEP_INPUT_FAILURE : STEP_MATCH_FAILURE;
  }
  default: return STEP_MATCH_FAILURE;  // an unknown conversion ends the scan
  }
  if (step == STEP_OK && !s.suppress) ++assigned;
  return step;
}

// Scans 'in' by 'fmt'; the count of stored items, EOF when the input ended before the first
// conversion, 0 after a memory fault.
int scan_walk(const char *fmt, ArgWords args, Input &in) {
  int assigned = 0;
  bool converted = false;
  for (const char *p = fmt; *p;) {
    if (c_isspace(static_cast<unsigned char>(*p))) {
      while (c_isspace(static_cast<unsigned char>(*p))) ++p;
      int c;
      do c = in.get();
      while (c_isspace(c));
      in.unget(c);
      continue;
    }
    if (*p != '%') {
      int c = in.get();
      if (c != static_cast<unsigned char>(*p)) {
        in.unget(c);
        return c == EOF && !converted ? EOF : assigned;
      }
      ++p;
      continue;
    }
    Conversion s = parse_conversion(p, true);
    if (!s.conv) return assigned;
    switch (convert_in(s, args, in, assigned)) {
    case STEP_OK: break;
    case STEP_MATCH_FAILURE: return assigned;
    case STEP_INPUT_FAILURE: return converted ? assigned : EOF;
    case STEP_FAULT: return 0;
    }
    if (s.conv != 'n') converted = true;
    p = s.end;
  }
  return assigned;
}

}  // namespace

BuiltinResult bi_sscanf(const std::int32_t *w) {
  static char copy[ARENA_SIZE];
  std::size_t len = 0;
  const char *text = script_string(w[0], &len);
  const char *fmt = text ? script_string(w[1]) : nullptr;
  if (!fmt) return word(0);
  std::memcpy(copy, text, len + 1);
  std::string format(fmt);
  Input in;
  in.text = copy;
  return word(scan_walk(format.c_str(), ArgWords(w, 2), in));
}

BuiltinResult bi_fscanf(const std::int32_t *w) {
  std::FILE *f = stream_for_reading(w[0]);
  if (!f) return word(EOF);
  const char *fmt = script_string(w[1]);
  if (!fmt) return word(0);
  std::string format(fmt);
  Input in;
  in.file = f;
  return word(scan_walk(format.c_str(), ArgWords(w, 2), in));
}
