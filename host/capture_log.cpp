// capture_log.cpp: capture files and logs.
#include "capture_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "host.h"

namespace {
// Text filter states: in data, after ESC, in a control sequence (ESC [), in a string that ends
// with BEL or ESC \ (OSC, DCS, ...), after ESC inside such a string, after ESC and intermediates.
enum { F_DATA, F_ESC, F_CSI, F_STRING, F_STRING_ESC, F_ESC_INTER };
}  // namespace

static void filter_byte(TextFilter &f, unsigned char c, std::string &out) {
  switch (f.state) {
  case F_DATA:
    if (c == 0x1b) f.state = F_ESC;
    else if (c != 0) out += static_cast<char>(c);
    return;
  case F_ESC:
    if (c == '[') f.state = F_CSI;
    else if (c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_') f.state = F_STRING;
    else if (c >= 0x20 && c <= 0x2f) f.state = F_ESC_INTER;
    else f.state = F_DATA;
    return;
  case F_CSI:
    if (c >= 0x40 && c <= 0x7e) f.state = F_DATA;
    return;
  case F_STRING:
    if (c == 0x07) f.state = F_DATA;
    else if (c == 0x1b) f.state = F_STRING_ESC;
    return;
  case F_STRING_ESC: f.state = c == '\\' ? F_DATA : F_STRING; return;
  case F_ESC_INTER:
    if (c >= 0x30 && c <= 0x7e) f.state = F_DATA;
    return;
  }
}

std::string text_filter(TextFilter &f, std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (char ch : in) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (f.pending_cr) {
      f.pending_cr = false;
      if (c == '\n') {
        out += '\n';
        continue;
      }
      out += '\r';
    }
    if (c == '\r' && f.state == F_DATA) f.pending_cr = true;
    else filter_byte(f, c, out);
  }
  return out;
}

std::string text_filter_end(TextFilter &f) {
  bool cr = f.pending_cr;
  f = TextFilter{};
  return cr ? "\r" : "";
}

int32_t capture_begin(Capture &c, const std::string &path, int flags) {
  int mode = O_WRONLY | O_CREAT | O_CLOEXEC | ((flags & KT_CAP_APPEND) ? O_APPEND : O_TRUNC);
  int fd = open(path.c_str(), mode, 0644);
  if (fd < 0) {
    note_errno(errno);
    return KT_E_IO;
  }
  c.fd = fd;
  c.path = path;
  c.text = flags & KT_CAP_TEXT;
  c.paused = false;
  c.error = 0;
  c.filter = TextFilter{};
  return KT_OK;
}

static bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool capture_write(Capture &c, std::string_view bytes) {
  if (c.fd < 0 || c.paused) return true;
  bool ok = c.text ? write_all(c.fd, text_filter(c.filter, bytes)) : write_all(c.fd, bytes);
  if (ok) return true;
  c.error = errno ? errno : EIO;
  note_errno(c.error);
  close(c.fd);
  c.fd = -1;
  return false;
}

int32_t capture_stop(Capture &c) {
  if (c.fd >= 0) {
    if (c.text) write_all(c.fd, text_filter_end(c.filter));
    close(c.fd);
    c.fd = -1;
  }
  int error = c.error;
  c.error = 0;
  c.paused = false;
  return error ? KT_E_IO : KT_OK;
}

bool capture_on(const Capture &c) { return c.fd >= 0; }

int32_t log_open(Log &log, const std::string &path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    note_errno(errno);
    return KT_E_IO;
  }
  log_close(log);
  log.fd = fd;
  log.path = path;
  return KT_OK;
}

void log_close(Log &log) {
  if (log.fd >= 0) close(log.fd);
  log.fd = -1;
  log.path.clear();
}

void log_line(Log &log, std::string_view session_name, std::string_view text) {
  if (log.fd < 0) return;
  char stamp[32];
  time_t now = time(nullptr);
  tm local;
  localtime_r(&now, &local);
  strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::string line = std::string(stamp) + " [" + std::string(session_name) + "] ";
  line.append(text);
  line += '\n';
  write_all(log.fd, line);
}

std::string log_quote(std::string_view text) {
  std::string out = "\"";
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '"' || c == '\\') (out += '\\') += ch;
    else if (c < 0x20 || c == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}
