// phonebook.cpp: INI files, ravelto.ini, the phonebook and the defaults of session settings.
#include "phonebook.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "host.h"
#include "serial.h"
#include "transfer.h"

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

const std::string *Settings::find(std::string_view key) const {
  for (const auto &item : items)
    if (same_name(item.first, key)) return &item.second;
  return nullptr;
}

void Settings::set(std::string_view key, std::string_view value) {
  for (auto &item : items) {
    if (same_name(item.first, key)) {
      item.second = value;
      return;
    }
  }
  items.emplace_back(key, value);
}

void Settings::erase(std::string_view key) {
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (same_name(it->first, key)) {
      items.erase(it);
      return;
    }
  }
}

static std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Calls line(text, start, end) for each line; 'end' includes its line feed.
template <typename F> static void each_line(std::string_view text, F line) {
  for (size_t start = 0; start < text.size();) {
    size_t lf = text.find('\n', start);
    size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
    line(text.substr(start, end - start), start, end);
    start = end;
  }
}

// The name of a section header line, or false.
static bool section_header(std::string_view line, std::string_view *name) {
  line = trim(line.substr(0, line.find('\n')));
  if (line.size() < 2 || line.front() != '[') return false;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  *name = trim(line.substr(1, close - 1));
  return true;
}

std::vector<IniSection> ini_parse(std::string_view text) {
  std::vector<IniSection> sections;
  each_line(text, [&](std::string_view line, size_t, size_t) {
    std::string_view name;
    if (section_header(line, &name)) {
      sections.push_back({std::string(name), {}});
      return;
    }
    std::string_view t = trim(line.substr(0, line.find('\n')));
    if (t.empty() || t.front() == ';' || sections.empty()) return;
    size_t eq = t.find('=');
    std::string_view key = trim(t.substr(0, eq));
    std::string_view value = eq == std::string_view::npos ? "" : trim(t.substr(eq + 1));
    if (!key.empty() && !sections.back().keys.find(key)) sections.back().keys.set(key, value);
  });
  return sections;
}

// The lines of 'text', each with its line feed.
static std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  each_line(text, [&](std::string_view line, size_t, size_t) { lines.push_back(line); });
  return lines;
}

static bool blank_or_comment(std::string_view line) {
  std::string_view t = trim(line.substr(0, line.find('\n')));
  return t.empty() || t.front() == ';';
}

std::string ini_replace_section(std::string_view text, std::string_view name, const Settings &keys) {
  std::vector<std::string_view> lines = lines_of(text);
  size_t begin = lines.size(), end = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view header;
    if (!section_header(lines[i], &header)) continue;
    if (begin < lines.size()) {
      end = i;
      break;
    }
    if (same_name(header, name)) begin = i;
  }
  std::string section = "[";  // not "[" + string: GCC 12 warns of an overlap there (-Wrestrict)
  section.append(name).append("]\n");
  for (const auto &[k, v] : keys.items) section += k + "=" + v + "\n";
  std::string out;
  if (begin == lines.size()) {
    out.assign(text);
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + (out.empty() ? "" : "\n") + section;
  }
  // Blank lines and comments that end the old section belong to what follows it.
  while (end > begin + 1 && blank_or_comment(lines[end - 1])) --end;
  for (size_t i = 0; i < begin; ++i) out += lines[i];
  out += section;
  for (size_t i = end; i < lines.size(); ++i) out += lines[i];
  return out;
}

std::string settings_file(const std::string &name) {
  std::vector<std::string> dirs;
  const char *env = std::getenv("RAVELTO_DIR");
  if (env && *env) dirs.push_back(env);
  const char *xdg = std::getenv("XDG_CONFIG_HOME");
  const char *home = std::getenv("HOME");
  if (xdg && *xdg) dirs.push_back(std::string(xdg) + "/ravelto");
  else if (home && *home) dirs.push_back(std::string(home) + "/.config/ravelto");
  for (const std::string &d : dirs) {
    std::string path = d + "/" + name;
    if (access(path.c_str(), F_OK) == 0) return path;
  }
  return dirs.empty() ? name : dirs.front() + "/" + name;
}

// The whole file, or false when it cannot be read (*missing tells whether it does not exist).
// The whole file; false with errno set when it cannot be read (*missing: it does not exist).
static bool read_file(const std::string &path, std::string *text, bool *missing) {
  *missing = false;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *missing = errno == ENOENT;
    return false;
  }
  std::string all;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n > 0) all.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR) break;
  }
  int err = errno;
  close(fd);
  if (n < 0) {
    errno = err;
    return false;
  }
  *text = std::move(all);
  return true;
}

bool ini_read_file(const std::string &path, std::string *text) {
  bool missing;
  return read_file(path, text, &missing);
}

std::string host_setting(std::string_view section, std::string_view key, std::string_view fallback) {
  std::string text;
  bool missing;
  if (!read_file(settings_file("ravelto.ini"), &text, &missing)) return std::string(fallback);
  for (const IniSection &s : ini_parse(text)) {
    if (!same_name(s.name, section)) continue;
    if (const std::string *v = s.keys.find(key)) return *v;
  }
  return std::string(fallback);
}

static std::string book_path;
static bool book_named = false;
static std::vector<IniSection> book;

int phonebook_load(const std::string &path, bool named) {
  std::string text;
  bool missing;
  bool failed = !read_file(path, &text, &missing) && (named || !missing);
  if (failed) note_errno(errno);
  if (failed && !book_path.empty()) return -1;  // a failed reload keeps the phonebook in use
  book_path = path;
  book_named = named;
  book = ini_parse(text);
  return failed ? -1 : static_cast<int>(book.size());
}

bool phonebook_named() { return book_named; }
const std::string &phonebook_path() { return book_path; }
const std::vector<IniSection> &phonebook_entries() { return book; }

const IniSection *phonebook_find(std::string_view name) {
  for (const IniSection &s : book)
    if (same_name(s.name, name)) return &s;
  return nullptr;
}

bool phonebook_store(std::string_view name, const Settings &keys) {
  std::string text;
  bool missing;
  if (!read_file(book_path, &text, &missing) && !missing) {
    note_errno(errno);
    return false;
  }
  std::string out = ini_replace_section(text, name, keys);
  std::string temp = book_path + ".tmp" + std::to_string(getpid());
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    note_errno(errno);
    return false;
  }
  bool ok = write(fd, out.data(), out.size()) == static_cast<ssize_t>(out.size());
  int err = errno;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temp.c_str(), book_path.c_str()) == 0) {
    book = ini_parse(out);
    return true;
  }
  note_errno(ok ? errno : err);
  unlink(temp.c_str());
  return false;
}

namespace {
struct KeyDefault {
  const char *key;
  const char *value;
};
}  // namespace

// The keys of a session with their defaults; Capture and LineEnd depend on the session.
static const KeyDefault key_defaults[] = {
    {"Kind", "tcp"},
    {"Address", ""},
    {"Port", "23"},
    {"Telnet", "yes"},
    {"Binary", "no"},
    {"Command", "/bin/sh"},
    {"Device", ""},
    {"Number", ""},
    {"Dial", "tone"},
    {"ModemInit", ""},
    {"Baud", "9600"},
    {"DataBits", "8"},
    {"Parity", "none"},
    {"StopBits", "1"},
    {"Flow", "none"},
    {"DTR", "on"},
    {"RTS", "on"},
    {"BreakMs", "250"},
    {"KeepAlive", "no"},
    {"Rings", "0"},
    {"ConnectTimeout", "30000"},
    {"Redial", "0"},
    {"RedialDelay", "5000"},
    {"Terminal", "xterm"},
    {"Rows", "24"},
    {"Columns", "80"},
    {"LineEnd", nullptr},
    {"AddLF", "no"},
    {"CharDelay", "0"},
    {"LineDelay", "0"},
    {"WaitChar", ""},
    {"TabWidth", "0"},
    {"Echo", "no"},
    {"LocalEcho", "no"},
    {"StripTo7Bits", "no"},
    {"Display", "yes"},
    {"AutoDownload", "no"},
    {"Capture", nullptr},
    {"Log", ""},
    {"LogonTask", ""},
    {"SendProtocol", "zmodem"},
    {"ReceiveProtocol", "zmodem"},
    {"XferFlags", "0"},
    {"UploadDir", ""},
    {"DownloadDir", ""},
};

bool is_known_key(std::string_view key) {
  for (const KeyDefault &d : key_defaults)
    if (same_name(d.key, key)) return true;
  return false;
}

std::string setting_text(const Settings &s, std::string_view key, std::string_view session_name) {
  if (const std::string *v = s.find(key)) return *v;
  if (same_name(key, "LineEnd")) {
    if (!same_name(setting_text(s, "Kind", session_name), "tcp")) return "cr";
    return setting_code("Telnet", setting_text(s, "Telnet", session_name)) == 1 ? "telnet" : "crlf";
  }
  if (same_name(key, "Capture")) {  // an ad-hoc name such as pty:/bin/sh is no file name as it stands
    std::string file = std::string(session_name) + ".cap";
    std::replace(file.begin(), file.end(), '/', '_');
    return file;
  }
  for (const KeyDefault &d : key_defaults)
    if (same_name(d.key, key)) return d.value;
  return {};
}

long setting_number(const Settings &s, std::string_view key) {
  return std::strtol(setting_text(s, key, "").c_str(), nullptr, 10);
}

bool setting_on(const Settings &s, std::string_view key) {
  std::string v = setting_text(s, key, "");
  return same_name(v, "yes") || same_name(v, "on") || v == "1" || same_name(v, "true");
}

namespace {
// The names an enumerated key takes, in the order of their codes.
struct Names {
  const char *key;
  const char *names[7];
};
// The numbers a numeric key takes.
struct Range {
  const char *key;
  long low, high;
};
}  // namespace

static const Names key_names[] = {
    {"Kind", {"tcp", "pty", "serial"}},
    {"Parity", {"none", "odd", "even", "mark", "space"}},
    {"Flow", {"none", "xonxoff", "rtscts"}},
    {"Dial", {"tone", "pulse"}},
    {"LineEnd", {"cr", "lf", "crlf", "telnet"}},
    {"SendProtocol", {"raw", "ascii", "xmodem", "xmodem-1k", "ymodem", "zmodem", "kermit"}},
    {"ReceiveProtocol", {"raw", "ascii", "xmodem", "xmodem-1k", "ymodem", "zmodem", "kermit"}},
};
static const char *const flag_keys[] = {"Telnet",       "Binary", "KeepAlive", "AddLF",        "Echo", "LocalEcho",
                                        "StripTo7Bits", "Display",   "AutoDownload", "DTR",  "RTS"};
static const Range key_ranges[] = {
    {"Port", 1, 65535},      {"DataBits", 5, 8},
    {"StopBits", 1, 2},      {"BreakMs", 0, 60000},
    {"Rings", 0, 255},       {"ConnectTimeout", 0, 86400000},
    {"Redial", 0, 1000},     {"RedialDelay", 0, 86400000},
    {"Rows", 2, 500},        {"Columns", 10, 1000},
    {"CharDelay", 0, 60000}, {"LineDelay", 0, 60000},
    {"TabWidth", 0, 64},     {"XferFlags", 0, XFER_FLAGS},
};

static bool is_number(std::string_view v, long *n) {
  if (v.empty() || v.size() > 10) return false;
  long r = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return false;
    r = r * 10 + (c - '0');
  }
  *n = r;
  return true;
}

int setting_code(std::string_view key, std::string_view value) {
  for (const char *k : flag_keys) {
    if (!same_name(k, key)) continue;
    if (same_name(value, "yes") || same_name(value, "on") || value == "1" || same_name(value, "true"))
      return 1;
    if (same_name(value, "no") || same_name(value, "off") || value == "0" || same_name(value, "false"))
      return 0;
    return -1;
  }
  for (const Names &n : key_names) {
    if (!same_name(n.key, key)) continue;
    for (int i = 0; i < 7 && n.names[i]; ++i)
      if (same_name(n.names[i], value)) return i;
    return -1;
  }
  return -1;
}

bool setting_valid(std::string_view key, std::string_view value) {
  for (const Range &r : key_ranges) {
    long n;
    if (same_name(r.key, key)) return is_number(value, &n) && n >= r.low && n <= r.high;
  }
  for (const char *k : flag_keys)
    if (same_name(k, key)) return setting_code(key, value) >= 0;
  for (const Names &n : key_names)
    if (same_name(n.key, key)) return setting_code(key, value) >= 0;
  if (same_name(key, "WaitChar")) return value.size() <= 1;
  speed_t speed;
  long n;
  if (same_name(key, "Baud")) return is_number(value, &n) && serial_speed(n, &speed);
  return true;
}
