// ports.cpp: the functions of port settings and ASCII settings. They are phonebook keys of the
// session (its copy of the entry); a serial line that is open gets a new format at once.
#include <cerrno>
#include <cstdlib>

#include "connection.h"
#include "host.h"
#include "session.h"

// ktGetPortPrefs enumerates these, in this order.
static const char *const port_keys[] = {
    "Baud",    "DataBits", "Parity",    "StopBits",       "Flow",   "DTR",        "RTS",
    "BreakMs", "Telnet",   "KeepAlive", "ConnectTimeout", "Redial", "RedialDelay"};
constexpr int PORT_KEYS = sizeof port_keys / sizeof port_keys[0];
static const char *const kind_names[] = {"", "tcp", "pty", "serial"};  // by KT_PT_...

// Sets a known key from text after checking it; an open serial line takes its new format.
static int32_t set_key(Session &s, const char *key, const std::string &value) {
  if (!setting_valid(key, value)) return KT_E_BADARG;
  std::string before = session_setting(s, key);
  s.settings.set(key, value);
  if (int err = connection_serial_apply(s)) {
    s.settings.set(key, before);
    return err == EINVAL ? KT_E_BADARG : host_fail(err);
  }
  return KT_OK;
}

int32_t ktGetPortType(int32_t h, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  int kind = session_kind(*s);
  int32_t r = put_string(buf, size, kind_names[kind]);
  return r < 0 ? r : kind;
}

int32_t ktSetPortType(int32_t h, int32_t name) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view kind;
  if (!arg_string(name, &kind) || setting_code("Kind", kind) < 0) return KT_E_BADARG;
  if (s->status != KT_ST_IDLE) return KT_E_STATE;
  s->settings.set("Kind", kind);
  return KT_OK;
}

int32_t ktGetPortName(int32_t h, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  switch (session_kind(*s)) {
  case KIND_TCP:
    return put_string(buf, size, session_setting(*s, "Address") + ":" + session_setting(*s, "Port"));
  case KIND_PTY: return put_string(buf, size, session_setting(*s, "Command"));
  default: return put_string(buf, size, session_setting(*s, "Device"));
  }
}

int32_t ktSetPortName(int32_t h, int32_t name) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  if (!arg_string(name, &text) || text.empty()) return KT_E_BADARG;
  if (session_kind(*s) == KIND_PTY) s->settings.set("Command", text);
  else if (session_kind(*s) == KIND_SERIAL) s->settings.set("Device", text);
  else return connection_set_tcp_destination(*s, text) ? KT_OK : KT_E_BADARG;
  return KT_OK;
}

int32_t ktGetBaudRate(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return static_cast<int32_t>(session_number(*s, "Baud"));
}

int32_t ktSetBaudRate(int32_t h, int32_t baud) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  speed_t speed;
  if (!serial_speed(baud, &speed)) return KT_E_BADARG;
  return set_key(*s, "Baud", std::to_string(baud));
}

int32_t ktGetPortMode(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  SerialFormat f = connection_serial_format(*s);
  return f.data_bits * 100 + f.parity * 10 + f.stop_bits;
}

static const char *const parity_names[] = {"none", "odd", "even", "mark", "space"};  // by KT_PARITY_...

int32_t ktSetPortMode(int32_t h, int32_t mode) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  int data = mode / 100, parity = mode / 10 % 10, stop = mode % 10;
  if (mode < 0 || data < 5 || data > 8 || parity > KT_PARITY_SPACE || stop < 1 || stop > 2)
    return KT_E_BADARG;
  Settings before = s->settings;
  s->settings.set("DataBits", std::to_string(data));
  s->settings.set("Parity", parity_names[parity]);
  if (int32_t r = set_key(*s, "StopBits", std::to_string(stop))) {
    s->settings = before;
    return r;
  }
  return KT_OK;
}

// The index of the port setting 'name', or -1.
static int port_key_index(std::string_view name) {
  for (int i = 0; i < PORT_KEYS; ++i)
    if (same_name(port_keys[i], name)) return i;
  return -1;
}

// A setting's number: an enumeration's code, a flag's 1 or 0, else the number it holds.
static int32_t setting_as_number(const Session &s, const char *key) {
  std::string value = session_setting(s, key);
  int code = setting_code(key, value);
  return code >= 0 ? code : static_cast<int32_t>(std::strtol(value.c_str(), nullptr, 10));
}

int32_t ktGetPortPrefs(int32_t h, int32_t index16, int32_t name, int32_t namesize16, int32_t value,
                       int32_t valuesize, int32_t pvalue) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  int index = index16;
  if (index16 == KT_PREF_BY_NAME) {
    std::string_view asked;
    if (!arg_string(name, &asked)) return KT_E_BADARG;
    index = port_key_index(asked);
    if (index < 0) return KT_E_NOTFOUND;
  } else if (index >= PORT_KEYS) {
    return KT_E_RANGE;
  } else if (int32_t r = put_string(name, namesize16, port_keys[index]); r < 0) {
    return r;
  }
  const char *key = port_keys[index];
  if (int32_t r = put_int(pvalue, setting_as_number(*s, key))) return r;
  return put_string(value, valuesize, session_setting(*s, key));
}

// The text of a setting given as a number: an enumeration's name or a flag's yes/no.
static std::string number_as_text(const char *key, int32_t number) {
  static const char *const flows[] = {"none", "xonxoff", "rtscts"};
  if (same_name(key, "Parity") && number >= KT_PARITY_NONE && number <= KT_PARITY_SPACE)
    return parity_names[number];
  if (same_name(key, "Flow") && number >= 0 && number <= 2) return flows[number];
  if (setting_code(key, "yes") >= 0 && (number == 0 || number == 1)) return number ? "yes" : "no";
  return std::to_string(number);
}

int32_t ktSetPortPrefs(int32_t h, int32_t name, int32_t text, int32_t number) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view key, value;
  bool given;
  if (!arg_string(name, &key) || !arg_optional_string(text, &value, &given)) return KT_E_BADARG;
  int index = port_key_index(key);
  if (index < 0) return KT_E_NOTFOUND;
  const char *canonical = port_keys[index];
  return set_key(*s, canonical, given ? std::string(value) : number_as_text(canonical, number));
}

int32_t ktSetStripTo7Bits(int32_t h, int32_t on) { return session_set_flag(h, "StripTo7Bits", on); }

// The settings of the ASCII ids KT_AS_LINEEND ... KT_AS_TABWIDTH.
static const char *const ascii_keys[] = {"",          "LineEnd",  "AddLF",   "CharDelay",
                                         "LineDelay", "WaitChar", "TabWidth"};

// The line end in force as LineEnd names it: "telnet" is one of the others at any time.
static const char *line_end_name(const std::string &end) {
  return end == "\n" ? "lf" : end == "\r\n" ? "crlf" : "cr";
}

int32_t ktGetAsciiSettings(int32_t h, int32_t id, int32_t pvalue) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (id < KT_AS_LINEEND || id > KT_AS_TABWIDTH) return KT_E_BADARG;
  std::string v = session_setting(*s, ascii_keys[id]);
  int32_t n;
  if (id == KT_AS_WAITCHAR) n = v.empty() ? 0 : static_cast<unsigned char>(v[0]);
  else if (id == KT_AS_LINEEND) n = setting_code("LineEnd", line_end_name(session_line_end(*s)));
  else if (id == KT_AS_ADDLF) n = setting_code(ascii_keys[id], v);
  else n = static_cast<int32_t>(std::strtol(v.c_str(), nullptr, 10));
  return put_int(pvalue, n);
}

int32_t ktSetAsciiSettings(int32_t h, int32_t id, int32_t value) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  static const char *const line_ends[] = {"cr", "lf", "crlf"};  // by KT_LE_...
  switch (id) {
  case KT_AS_LINEEND:
    if (value < KT_LE_CR || value > KT_LE_CRLF) return KT_E_BADARG;
    return set_key(*s, "LineEnd", line_ends[value]);
  case KT_AS_WAITCHAR:
    if (value < 0 || value > 255) return KT_E_BADARG;
    s->settings.set("WaitChar", value ? std::string(1, static_cast<char>(value)) : "");
    return KT_OK;
  default:
    if (id < KT_AS_ADDLF || id > KT_AS_TABWIDTH) return KT_E_BADARG;
    return set_key(*s, ascii_keys[id], number_as_text(ascii_keys[id], value));
  }
}
