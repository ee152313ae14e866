// The time rows. Times are 32-bit counts of seconds since 1970 (a script's 'long'). strftime
// formats a script's own 'struct tm' (nine ints: sec, min, hour, mday, mon, year, wday, yday,
// isdst) by itself, with the names of the C locale and the same output on every platform; a
// field outside its range prints as a number or as "?" for a name, never as anything read from
// elsewhere.
#include <cstring>
#include <ctime>
#include <string>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"

BuiltinResult bi_time(const std::int32_t *w) {
  std::int32_t now = static_cast<std::int32_t>(static_cast<std::int64_t>(std::time(nullptr)));
  if (w[0] != 0) {
    std::uint8_t *p = script_bytes(w[0], 4);
    if (!p) return word(0);
    std::memcpy(p, &now, sizeof now);
  }
  return word(now);
}

BuiltinResult bi_difftime(const std::int32_t *w) {
  return real(static_cast<double>(w[0]) - static_cast<double>(w[1]));
}

namespace {

struct ScriptTm {
  std::int32_t sec, min, hour, mday, mon, year, wday, yday, isdst;
};

const char *const day_names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char *const month_names[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

const char *name_of(const char *const *names, int count, std::int32_t i) {
  return i >= 0 && i < count ? names[i] : "?";
}

void put_number(std::string &out, long long v, int digits, bool trim, char pad = '0') {
  char buf[32];
  if (trim) std::snprintf(buf, sizeof buf, "%lld", v);
  else if (pad == ' ') std::snprintf(buf, sizeof buf, "%*lld", digits, v);
  else std::snprintf(buf, sizeof buf, "%0*lld", digits, v);
  out += buf;
}

void format_time(std::string &out, const char *fmt, const ScriptTm &t);

// One conversion; 'trim' is the '#' flag (numbers without leading zeros, long %c and %x).
void convert_time(std::string &out, char conv, bool trim, const ScriptTm &t) {
  long long year = static_cast<long long>(t.year) + 1900;
  int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  switch (conv) {
  case 'a': out.append(name_of(day_names, 7, t.wday), 0, 3); break;
  case 'A': out += name_of(day_names, 7, t.wday); break;
  case 'b':
  case 'h': out.append(name_of(month_names, 12, t.mon), 0, 3); break;
  case 'B': out += name_of(month_names, 12, t.mon); break;
  case 'c': format_time(out, trim ? "%A, %B %#d, %Y, %H:%M:%S" : "%m/%d/%y %H:%M:%S", t); break;
  case 'x': format_time(out, trim ? "%A, %B %#d, %Y" : "%m/%d/%y", t); break;
  case 'X':
  case 'T': format_time(out, "%H:%M:%S", t); break;
  case 'D': format_time(out, "%m/%d/%y", t); break;
  case 'F': format_time(out, "%Y-%m-%d", t); break;
  case 'R': format_time(out, "%H:%M", t); break;
  case 'r': format_time(out, "%I:%M:%S %p", t); break;
  case 'd': put_number(out, t.mday, 2, trim); break;
  case 'e': put_number(out, t.mday, 2, trim, ' '); break;
  case 'H': put_number(out, t.hour, 2, trim); break;
  case 'I': put_number(out, hour12, 2, trim); break;
  case 'j': put_number(out, static_cast<long long>(t.yday) + 1, 3, trim); break;
  case 'm': put_number(out, static_cast<long long>(t.mon) + 1, 2, trim); break;
  case 'M': put_number(out, t.min, 2, trim); break;
  case 'S': put_number(out, t.sec, 2, trim); break;
  case 'p': out += t.hour < 12 ? "AM" : "PM"; break;
  case 'U': put_number(out, (static_cast<long long>(t.yday) + 7 - t.wday) / 7, 2, trim); break;
  case 'W': put_number(out, (static_cast<long long>(t.yday) + 7 - (t.wday + 6) % 7) / 7, 2, trim); break;
  case 'w': put_number(out, t.wday, 1, trim); break;
  case 'u': put_number(out, t.wday == 0 ? 7 : t.wday, 1, trim); break;
  case 'y': put_number(out, (year % 100 + 100) % 100, 2, trim); break;
  case 'C': put_number(out, year / 100, 2, trim); break;
  case 'Y': put_number(out, year, 1, true); break;
  case 'Z':
  case 'z': break;  // a script's struct tm has no time zone
  case 'n': out += '\n'; break;
  case 't': out += '\t'; break;
  case '%': out += '%'; break;
  default:  // an unknown conversion is written as it stands
    out += '%';
    if (trim) out += '#';
    if (conv) out += conv;
    break;
  }
}

void format_time(std::string &out, const char *fmt, const ScriptTm &t) {
  for (const char *p = fmt; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    bool trim = p[1] == '#';
    if (trim) ++p;
    convert_time(out, p[1], trim, t);
    if (p[1]) ++p;
  }
}

}  // namespace

// Gives the count of characters written without the NUL, or 0 (writing nothing) when they and
// the NUL do not fit in 'max' bytes.
BuiltinResult bi_strftime(const std::int32_t *w) {
  const char *fmt = script_string(w[2]);
  std::uint8_t *tm_bytes = fmt ? script_bytes(w[3], static_cast<std::int32_t>(sizeof(ScriptTm))) : nullptr;
  if (!tm_bytes) return word(0);
  ScriptTm t;
  std::memcpy(&t, tm_bytes, sizeof t);
  std::string out;
  format_time(out, fmt, t);
  std::uint32_t max = static_cast<std::uint32_t>(w[1]);
  if (out.size() + 1 > max) return word(0);
  std::uint8_t *dst = script_bytes(w[0], static_cast<std::int32_t>(out.size() + 1));
  if (!dst) return word(0);
  std::memcpy(dst, out.c_str(), out.size() + 1);
  return word(static_cast<std::int32_t>(out.size()));
}
