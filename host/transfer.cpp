// transfer.cpp: the transfer functions, with the lrzsz programs.
#include "transfer.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host.h"
#include "io.h"
#include "phonebook.h"
#include "session.h"
#include "telnet.h"
#include "user.h"

// After an abort, received data is dropped until the line has been quiet this long.
constexpr int64_t ABORT_QUIET_MS = 500;
// After ZFIN both ways, how long the line stays quiet before rz gets the end of its input.
constexpr int64_t ZFIN_QUIET_MS = 800;
constexpr std::string_view ZFIN = "**\x18" "B08";
// The ZRQINIT header with which a ZMODEM sender starts.
constexpr std::string_view ZRQINIT = "**\x18" "B00";
// After an automatic download that failed, no other starts for this long.
constexpr int64_t ADL_QUIET_MS = 3000;
static const char *const protocol_names[] = {"raw", "ascii", "xmodem", "xmodem-1k", "ymodem", "zmodem", "kermit"};
// The settings of KT_XD_SEND and KT_XD_RECEIVE, and of KT_DIR_UPLOAD and KT_DIR_DOWNLOAD.
static const char *const direction_keys[] = {"SendProtocol", "ReceiveProtocol"};
static const char *const directory_keys[] = {"UploadDir", "DownloadDir"};

static int32_t send_files(Session &s, const std::vector<std::string> &files, int32_t timeout);

bool transfer_running(const Session &s) {
  return program_running(s.xfer.program) || s.xfer.sink >= 0 || s.xfer.source >= 0;
}


static bool is_directory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A relative name joined to the directory setting 'key' (upload or download), when it is set.
static std::string in_directory(const Session &s, const char *key, const std::string &name) {
  std::string dir = session_setting(s, key);
  if (dir.empty() || name.empty() || name[0] == '/') return name;
  return dir + (dir.back() == '/' ? "" : "/") + name;
}

// The command of a protocol program ([Transfer] of ravelto.ini) with the flags of XferFlags that
// it takes.
static std::string command_for(const Session &s, int protocol, bool sending) {
  if (protocol == KT_XP_KERMIT) {  // C-Kermit in remote mode, with the socket on 0 as its line
    long flags = session_number(s, "XferFlags");
    std::string command = host_setting("Transfer", "Kermit", "kermit") + " -Y -B -q -l 0";
    command += flags & KT_XF_ASCII ? " -T" : " -i";
    return command + (sending ? " -s" : " -r");
  }
  static const char *const keys[][2] = {{"XmodemReceive", "XmodemSend"}, {"YmodemReceive", "YmodemSend"},
                                        {"ZmodemReceive", "ZmodemSend"}};
  static const char *const programs[][2] = {{"rx", "sx"}, {"rb", "sb"}, {"rz", "sz"}};
  int which = protocol <= KT_XP_XMODEM_1K ? 0 : protocol == KT_XP_YMODEM ? 1 : 2;
  std::string command = host_setting("Transfer", keys[which][sending], programs[which][sending]) + " -vv";
  long flags = session_number(s, "XferFlags");
  if (protocol == KT_XP_XMODEM_1K && sending) command += " -k";
  if (flags & KT_XF_ASCII) command += " -a";
  if (which == 0) return command;
  if (flags & KT_XF_OVERWRITE) command += " -y";
  if (flags & KT_XF_KEEPPATHS && sending) command += " -f";
  if (flags & KT_XF_RESUME && which == 2) command += " -r";
  return command;
}

// The protocol of a direction, or -1 for an unknown name.
static int protocol_of(const Session &s, int direction) {
  return setting_code(direction_keys[direction], session_setting(s, direction_keys[direction]));
}

// Waits up to 'timeout' for the transfer: its final status, KT_PENDING while it runs on.
static int32_t wait_for(Session &s, int32_t timeout) {
  if (timeout != 0) {
    WaitResult r = io_wait(deadline_after(timeout), [&s](int64_t, int64_t *) { return !transfer_running(s); });
    if (r == WAIT_CANCELLED) return KT_E_CANCELLED;
  }
  return transfer_running(s) ? KT_PENDING : s.xfer.final_status;
}

// Telnet carries the transfer's bytes as they are once binary mode is on both ways.
static void ask_binary(Session &s, bool on) {
  if (!s.telnet_on || s.status != KT_ST_CONNECTED) return;
  for (bool theirs : {false, true}) {
    if (!on && !s.xfer.asked_binary[theirs]) continue;
    std::string ask = telnet_ask(s.telnet, TELNET_BINARY, theirs, on);
    s.xfer.asked_binary[theirs] = on && !ask.empty();
    io_send_raw(s, ask);
  }
}

// Starts 'command' in 'dir' (empty: the current directory); 'file' is the one file of XMODEM.
static int32_t start(Session &s, bool sending, const std::string &command, const std::string &dir,
                     const std::string &file, int32_t timeout) {
  if (s.status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  if (transfer_running(s)) return KT_E_STATE;
  Transfer &x = s.xfer;
  x.sending = sending;
  x.aborted = x.automatic = x.skipped = false;
  // Only a file that the transfer makes is removed when it fails, never one that was there.
  x.file = file, x.partial = sending || access(file.c_str(), F_OK) == 0 ? "" : file;
  x.progress.clear(), x.directory = dir;
  x.tail[0].clear(), x.tail[1].clear(), x.zfin[0] = x.zfin[1] = false, x.last_in_ms = x.started_ms = now_ms();
  x.sender_gone = false;
  x.bytes = x.total = x.files = 0;
  std::string line = (dir.empty() ? "" : "cd " + shell_quote(dir) + " && ") + "exec " + command;
  if (int err = program_start(x.program, line, true)) {
    session_log(s, "transfer not started: " + std::string(std::strerror(err)));
    return host_fail(err);
  }
  session_log(s, "transfer start " + command);
  ask_binary(s, true);
  return wait_for(s, timeout);
}

// The progress line on a terminal, redrawn in place at most ten times a second: the file, bytes
// and share done, the rate and the time left. None when unattended or with KT_XF_QUIET.
static void show_progress(Session &s, bool last) {
  Transfer &x = s.xfer;
  if (!user_interactive() || (session_number(s, "XferFlags") & KT_XF_QUIET)) return;
  int64_t now = now_ms();
  if (last) {
    if (x.shown_ms >= 0) std::fputs("\r\x1b[K", stderr);
    x.shown_ms = -1;
    return;
  }
  if (x.shown_ms >= 0 && now - x.shown_ms < 100) return;
  x.shown_ms = now;
  double seconds = std::max<int64_t>(now - x.started_ms, 1) / 1000.0;
  double rate = x.bytes / seconds;
  long left = rate > 0 && x.total > x.bytes ? static_cast<long>((x.total - x.bytes) / rate) : 0;
  std::fprintf(stderr, "\r%s  %lld/%lld bytes  %d%%  %.0f KB/s  %ld:%02ld left\x1b[K", x.file.c_str(),
               static_cast<long long>(x.bytes), static_cast<long long>(x.total),
               x.total > 0 ? static_cast<int>(x.bytes * 100 / x.total) : 0, rate / 1024, left / 60, left % 60);
  std::fflush(stderr);
}

static void finish(Session &s, int32_t status) {
  Transfer &x = s.xfer;
  show_progress(s, true);
  if (!x.progress.empty()) session_log(s, "transfer: " + x.progress);
  if (status == KT_OK) x.files += !x.file.empty();
  else if (!x.sending && !x.partial.empty() && !(session_number(s, "XferFlags") & KT_XF_RESUME))
    std::remove(x.partial.c_str());
  x.final_status = status;
  x.finished = true;
  if (x.automatic && status != KT_OK) {  // the sender is told, and its retries start nothing
    io_send_raw(s, "\x18\x18\x18\x18\x18\x18\x18\x18\b\b\b\b\b\b\b\b");
    x.adl_quiet_until = now_ms() + ADL_QUIET_MS;
  }
  ask_binary(s, false);
  session_log(s, "transfer end (" + std::to_string(status) + ")");
}

// --- Raw and ASCII ------------------------------------------------------------------------

// The next piece of a raw send (a read of the file), or the next ASCII line: its tabs as blanks
// when TabWidth is set, a CR before its LF dropped, the session's line end added. False at the end
// of the file, or when a read failed.
static bool next_piece(Session &s) {
  Transfer &x = s.xfer;
  size_t lf = std::string::npos;
  while (x.source_text ? (lf = x.source_read.find('\n')) == std::string::npos : x.source_read.empty()) {
    char buffer[16384];
    ssize_t n = read(x.source, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      x.source_failed = n < 0;
      if (n < 0) note_errno(errno);
      if (x.source_failed || x.source_read.empty()) return false;
      break;  // an ASCII file's last line without its LF
    }
    x.source_read.append(buffer, static_cast<size_t>(n));
  }
  if (!x.source_text) {
    x.source_out.swap(x.source_read);
    return true;
  }
  size_t end = lf == std::string::npos ? x.source_read.size() : lf + 1;
  std::string_view line(x.source_read.data(), end);
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  long tab = session_number(s, "TabWidth");
  for (char c : line) c == '\t' && tab > 0 ? x.source_out.append(tab - x.source_out.size() % tab, ' ') : x.source_out += c;
  x.source_out += session_line_end(s);
  x.source_read.erase(0, end);
  return true;
}

static void source_end(Session &s, int32_t status) {
  Transfer &x = s.xfer;
  close(x.source);
  x.source = -1;
  x.source_read.clear(), x.source_out.clear();
  finish(s, status);
}

// Queues what the output queue has room for: a raw send as fast as the connection takes it, an
// ASCII send a line at a time, CharDelay between its characters, and after it WaitChar (for at
// most LineDelay) or LineDelay. The send ends when its last byte is queued.
static void feed_source(Session &s, int64_t now, int64_t *wake) {
  Transfer &x = s.xfer;
  while (x.source >= 0) {
    if (s.status != KT_ST_CONNECTED) return source_end(s, KT_E_NOTCONNECTED);
    if (now < x.source_next_ms) return wake_by(wake, x.source_next_ms);
    if (x.source_wait_until >= 0) {
      std::string wait_char = session_setting(s, "WaitChar");
      size_t from = std::min(x.source_wait_from, s.received.data.size());
      bool seen = !wait_char.empty() && s.received.data.find(wait_char[0], from) != std::string::npos;
      if (!seen && now < x.source_wait_until) return wake_by(wake, x.source_wait_until);
      x.source_wait_until = -1;
    }
    if (x.source_out.empty() && !next_piece(s)) return source_end(s, x.source_failed ? KT_E_IO : KT_OK);
    size_t room = io_room(s);
    if (room == 0) return;  // the queue's draining wakes the service loop again
    long gap = x.source_text ? session_number(s, "CharDelay") : 0;
    size_t n = std::min(gap > 0 ? 1 : room, x.source_out.size());
    io_relay(s, std::string_view(x.source_out).substr(0, n));
    x.source_out.erase(0, n);
    x.bytes += static_cast<int64_t>(n);
    show_progress(s, false);
    if (!x.source_text) continue;
    if (!x.source_out.empty()) {
      x.source_next_ms = now + gap;
      continue;
    }
    long line_gap = session_number(s, "LineDelay");
    if (!session_setting(s, "WaitChar").empty() && line_gap > 0) {
      x.source_wait_from = s.received.data.size();
      x.source_wait_until = now + line_gap;
    } else {
      x.source_next_ms = now + line_gap;
    }
  }
}

static int32_t send_plain(Session &s, int protocol, const std::string &file, int32_t timeout) {
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    note_errno(errno);
    if (fd >= 0) close(fd);
    return KT_E_IO;
  }
  Transfer &x = s.xfer;
  x.source = fd, x.source_text = protocol == KT_XP_ASCII, x.source_failed = false;
  x.source_next_ms = 0, x.source_wait_until = -1;
  x.sending = true;
  x.aborted = x.automatic = x.skipped = false;
  x.file = file, x.partial.clear(), x.progress.clear(), x.started_ms = now_ms();
  x.bytes = x.files = 0, x.total = st.st_size;
  session_log(s, std::string("transfer start ") + protocol_names[protocol] + " " + file);
  int64_t wake = -1;
  feed_source(s, now_ms(), &wake);
  return wait_for(s, timeout);
}

static void sink_end(Session &s) {
  Transfer &x = s.xfer;
  if (x.sink_cr && write(x.sink, "\r", 1) != 1) note_errno(errno);
  int r = close(x.sink);
  x.sink = -1;
  finish(s, r == 0 ? KT_OK : KT_E_IO);
}

bool transfer_sink(Session &s, std::string_view data) {
  Transfer &x = s.xfer;
  if (x.sink < 0) return false;
  x.last_in_ms = now_ms();
  std::string text;
  if (x.sink_text) {  // CR LF becomes LF; a CR that a read cut waits for what follows
    for (char c : data) {
      if (x.sink_cr && c != '\n') text += '\r';
      x.sink_cr = c == '\r';
      if (!x.sink_cr) text += c;
    }
    data = text;
  }
  for (size_t done = 0; done < data.size();) {
    ssize_t n = write(x.sink, data.data() + done, data.size() - done);
    if (n <= 0 && errno == EINTR) continue;
    if (n <= 0) {
      note_errno(errno);
      close(x.sink);
      x.sink = -1;
      finish(s, KT_E_IO);
      return true;
    }
    done += static_cast<size_t>(n);
  }
  x.bytes += static_cast<int64_t>(data.size());
  return true;
}

static int32_t receive_plain(Session &s, int protocol, const std::string &file, int32_t timeout) {
  if (s.status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  Transfer &x = s.xfer;
  int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | (session_number(s, "XferFlags") & KT_XF_RESUME ? O_APPEND : O_TRUNC);
  bool existed = access(file.c_str(), F_OK) == 0;
  x.sink = open(file.c_str(), flags, 0666);
  if (x.sink < 0) {
    note_errno(errno);
    return KT_E_IO;
  }
  x.sending = x.aborted = x.automatic = false;
  x.file = file, x.partial = existed ? "" : file, x.progress.clear(), x.bytes = x.total = 0;
  x.sink_text = protocol == KT_XP_ASCII, x.sink_cr = false;
  x.sink_quiet_ms = std::strtol(host_setting("Transfer", "RawQuietMs", "2000").c_str(), nullptr, 10);
  x.last_in_ms = now_ms();
  session_log(s, std::string("transfer start ") + protocol_names[protocol] + " " + file);
  return wait_for(s, timeout);
}

// lrzsz skips a file that exists (without KT_XF_OVERWRITE) and still exits 0: that is a failure.
void transfer_ended(Session &s) {
  int status = program_reap(s.xfer.program);
  finish(s, s.xfer.aborted ? KT_E_ABORTED : status == 0 && !s.xfer.skipped ? KT_OK : KT_E_XFER);
}

void transfer_line_gone(Session &s) {
  if (!transfer_running(s)) return;
  session_log(s, "transfer: the line is gone, the program's input ends");
  program_end_input(s.xfer.program);
}

static void transfer_watch(Session &s, std::string_view bytes, bool in) {
  Transfer &x = s.xfer;
  if (in) x.last_in_ms = now_ms();
  std::string &tail = x.tail[in];
  tail.append(bytes.substr(bytes.size() > 64 ? bytes.size() - 64 : 0));
  if (tail.find(ZFIN) != std::string::npos) x.zfin[in] = true;
  if (tail.size() > ZFIN.size()) tail.erase(0, tail.size() - ZFIN.size());
}

void transfer_relay(Session &s, std::string *data) {
  if (s.xfer.sender_gone) return data->clear();  // rz's repeats of ZFIN, for nobody
  transfer_watch(s, *data, false);
}

// Bytes of a ZMODEM hex header and what follows one (hex digits, CR, LF with parity, XON).
static bool header_bytes(std::string_view data) {
  return data.find_first_not_of("0123456789abcdef*\x18" "B\r\n\x8a\x11") == std::string_view::npos;
}

size_t transfer_take(Session &s, std::string_view data) {
  Transfer &x = s.xfer;
  size_t taken = 0;
  if (!x.sending && !x.zfin[1]) {
    transfer_watch(s, data, true);
    if (!x.zfin[1]) return data.size();
    size_t at = data.find(ZFIN);  // not there when a read cut the header's start
    at = at == std::string_view::npos ? 0 : at + ZFIN.size();
    while (at < data.size() && header_bytes(data.substr(at, 1))) ++at;
    taken = at;
    data.remove_prefix(at);
    if (data.empty()) return taken;
  } else {
    transfer_watch(s, data, true);
    if (x.sending) return data.size();
  }
  size_t oo = data.find("OO");  // lost at times: the file is whole anyway
  if (oo != std::string_view::npos) return taken + oo + 2;
  if (header_bytes(data)) return taken + data.size();  // the sender said ZFIN again
  x.sender_gone = true;
  return taken;
}

void transfer_timers(Session &s, int64_t now, int64_t *wake) {
  Transfer &x = s.xfer;
  feed_source(s, now, wake);
  if (x.sink >= 0) {
    if (now >= x.last_in_ms + x.sink_quiet_ms || s.status != KT_ST_CONNECTED) sink_end(s);
    else wake_by(wake, x.last_in_ms + x.sink_quiet_ms);
  }
  if (!transfer_running(s) && !x.drop_list.empty() && s.status == KT_ST_CONNECTED) {
    std::string file = x.drop_list.front();
    x.drop_list.erase(x.drop_list.begin());
    int32_t r = send_files(s, {file}, 0);
    if (r != KT_PENDING && r != KT_OK) session_log(s, "drop list: " + file + " not sent (" + std::to_string(r) + ")");
  }
  if (!transfer_running(s) || x.sending || !x.zfin[0] || !x.zfin[1] || x.program.input_ends) return;
  int64_t at = x.last_in_ms + ZFIN_QUIET_MS;
  if (now < at) return wake_by(wake, at);
  program_end_input(x.program);
  x.sender_gone = true;
}

void transfer_stop(Session &s, int32_t status) {
  if (!transfer_running(s)) return;
  if (s.xfer.source >= 0) return source_end(s, status);
  program_stop(s.xfer.program);
  finish(s, status);
}

// "Bytes Sent: N/ T ..." and "Bytes received: N/ T ...": the progress of the file.
static bool progress_piece(Transfer &x, const std::string &piece) {
  long long done, total;
  if (std::sscanf(piece.c_str(), "Bytes %*[^:]: %lld/ %lld", &done, &total) != 2) return false;
  x.bytes = done, x.total = total, x.progress = piece;
  return true;
}

void transfer_errors(Session &s, const std::string &pieces) {
  Transfer &x = s.xfer;
  for (size_t start = 0, end; (end = pieces.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string piece = pieces.substr(start, end - start);
    while (!piece.empty() && piece.back() == ' ') piece.pop_back();
    if (piece.empty()) continue;
    x.skipped = x.skipped || piece.find("skipped") != std::string::npos;
    if (progress_piece(x, piece)) {
      show_progress(s, false);
      continue;
    }
    for (const char *head : {"Sending: ", "Receiving: "}) {  // after other output at times
      size_t at = piece.find(head);
      if (at == std::string::npos) continue;
      if (!x.file.empty()) ++x.files;
      x.file = piece.substr(at + std::strlen(head));
      x.bytes = x.total = 0;
      bool made = !(session_number(s, "XferFlags") & KT_XF_OVERWRITE);  // else rz skips a file that is there
      if (!x.sending && made && x.file.find('/') == std::string::npos)  // rz keeps no sender's folders
        x.partial = (x.directory.empty() ? "" : x.directory + "/") + x.file;
    }
    session_log(s, "transfer: " + piece);
  }
}

// The files of blank-separated names and patterns, relative ones under UploadDir: KT_OK, or
// KT_E_NOTFOUND when one matches nothing.
static int32_t expand(const Session &s, std::string_view names, std::vector<std::string> *files) {
  for (size_t start = 0; start < names.size();) {
    size_t end = names.find(' ', start);
    if (end == std::string_view::npos) end = names.size();
    std::string pattern = in_directory(s, "UploadDir", std::string(names.substr(start, end - start)));
    start = end + 1;
    if (pattern.empty()) continue;
    glob_t found;
    if (glob(pattern.c_str(), GLOB_NOCHECK, nullptr, &found) != 0) return KT_E_NOTFOUND;
    bool readable = true;  // GLOB_NOCHECK gives a pattern that matched nothing as it stands
    for (size_t i = 0; i < found.gl_pathc; ++i) {
      files->push_back(found.gl_pathv[i]);
      readable = readable && access(found.gl_pathv[i], R_OK) == 0;
    }
    globfree(&found);
    if (!readable) return KT_E_NOTFOUND;
  }
  return files->empty() ? KT_E_NOTFOUND : KT_OK;
}

static int32_t send_files(Session &s, const std::vector<std::string> &files, int32_t timeout) {
  int protocol = protocol_of(s, KT_XD_SEND);
  if (protocol < 0) return KT_E_UNSUPPORTED;
  if (files.empty()) return KT_E_NOTFOUND;
  if (files.size() > 1 && protocol <= KT_XP_XMODEM_1K) return KT_E_UNSUPPORTED;
  if (s.status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  if (transfer_running(s)) return KT_E_STATE;
  if (protocol <= KT_XP_ASCII) return send_plain(s, protocol, files[0], timeout);
  std::string command = command_for(s, protocol, true) + (protocol == KT_XP_KERMIT ? "" : " --");
  for (const std::string &f : files) command.append(" ").append(shell_quote(f));
  bool named = protocol <= KT_XP_XMODEM_1K || protocol == KT_XP_KERMIT;  // no "Sending:" from them
  return start(s, true, command, "", named ? files[0] : "", timeout);
}

static int32_t send_names(Session &s, std::string_view names, int32_t timeout) {
  std::vector<std::string> files;
  if (int32_t r = expand(s, names, &files)) return r;
  return send_files(s, files, timeout);
}

// A file to send: the script's string at 'path', under UploadDir when relative, and readable.
static int32_t upload_file(const Session &s, int32_t path, std::string *file) {
  std::string_view name;
  if (!arg_string(path, &name)) return KT_E_BADARG;
  *file = in_directory(s, "UploadDir", std::string(name));
  return access(file->c_str(), R_OK) == 0 ? KT_OK : KT_E_NOTFOUND;
}

int32_t ktXferSend(int32_t h, int32_t path, int32_t timeout) {
  Session *s;
  std::string file;
  if (int32_t r = session_enter(h, &s)) return r;
  if (int32_t r = upload_file(*s, path, &file)) return r;
  return send_files(*s, {file}, timeout);
}

int32_t ktXferSendBatch(int32_t h, int32_t names, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  if (!arg_string(names, &text)) return KT_E_BADARG;
  return send_names(*s, text, timeout);
}

int32_t ktXferReceive(int32_t h, int32_t path, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view given;
  bool named;
  if (!arg_optional_string(path, &given, &named)) return KT_E_BADARG;
  int protocol = protocol_of(*s, KT_XD_RECEIVE);
  if (protocol < 0) return KT_E_UNSUPPORTED;
  if (transfer_running(*s)) return KT_E_STATE;
  if (protocol <= KT_XP_XMODEM_1K) {
    if (given.empty()) return KT_E_BADARG;  // raw, ASCII and XMODEM carry no name
    std::string file = in_directory(*s, "DownloadDir", std::string(given));
    if (protocol <= KT_XP_ASCII) return receive_plain(*s, protocol, file, timeout);
    return start(*s, false, command_for(*s, protocol, false) + " -- " + shell_quote(file), "", file, timeout);
  }
  std::string command = command_for(*s, protocol, false);
  std::string dir = given.empty() ? session_setting(*s, "DownloadDir") : std::string(given);
  if (!dir.empty() && !is_directory(dir)) return KT_E_NOTFOUND;
  return start(*s, false, command, dir, "", timeout);
}

int32_t ktWaitForXfer(int32_t h, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  auto done = [s] {
    return !transfer_running(*s) && (s->xfer.drop_list.empty() || s->status != KT_ST_CONNECTED);
  };
  if (!done() && io_wait(deadline_after(timeout), [&](int64_t, int64_t *) { return done(); }) == WAIT_CANCELLED)
    return KT_E_CANCELLED;
  if (!done()) return KT_E_TIMEOUT;
  return s->xfer.finished ? s->xfer.final_status : KT_E_STATE;
}

int32_t ktGetXferStatus(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return transfer_running(*s) ? KT_XS_RUNNING : KT_XS_IDLE;
}

int32_t ktGetXferFinalStatus(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (transfer_running(*s)) return KT_PENDING;
  return s->xfer.finished ? s->xfer.final_status : KT_E_STATE;
}

// KT_ABORT_NOW: the cancel string to the remote, then the program is stopped; KT_ABORT_DROPLIST:
// the running transfer finishes. Both empty the drop list.
int32_t ktXferAbort(int32_t h, int32_t how) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (how != KT_ABORT_NOW && how != KT_ABORT_DROPLIST) return KT_E_BADARG;
  if (!transfer_running(*s) && s->xfer.drop_list.empty()) return KT_E_STATE;
  s->xfer.drop_list.clear();
  if (how == KT_ABORT_NOW) transfer_abort(*s);
  return KT_OK;
}

// The remote hears the cancel string (CAN x 8, BS x 8) first, so that its program stops sending.
void transfer_abort(Session &s) {
  if (s.xfer.source >= 0) {
    s.xfer.aborted = true;
    return source_end(s, KT_E_ABORTED);
  }
  if (s.xfer.sink >= 0) {
    s.xfer.aborted = true;
    close(s.xfer.sink);
    s.xfer.sink = -1;
    return finish(s, KT_E_ABORTED);
  }
  if (!transfer_running(s)) return;
  session_log(s, "transfer aborted");
  io_send_raw(s, "\x18\x18\x18\x18\x18\x18\x18\x18\b\b\b\b\b\b\b\b");
  s.xfer.aborted = true;
  s.xfer.discard_until = now_ms() + ABORT_QUIET_MS;
  transfer_stop(s, KT_E_ABORTED);
}

size_t transfer_autodownload(Session &s, std::string_view data) {
  Transfer &x = s.xfer;
  bool on =
      x.adl_override == KT_ADL_ON || (x.adl_override == KT_ADL_DEFAULT && session_flag(s, "AutoDownload"));
  if (!on || transfer_running(s) || s.status != KT_ST_CONNECTED || now_ms() < x.adl_quiet_until) {
    x.adl_tail.clear();
    return data.size();
  }
  // A header that a read cut begins in the tail kept from the reads before.
  const size_t cut = ZRQINIT.size() - 1;
  std::string joined = x.adl_tail + std::string(data.substr(0, cut));
  size_t at = joined.find(ZRQINIT), end = std::string_view::npos;
  if (at != std::string::npos) end = at + ZRQINIT.size() - x.adl_tail.size();
  else if ((at = data.find(ZRQINIT)) != std::string_view::npos) end = at + ZRQINIT.size();
  x.adl_tail += data.substr(data.size() > cut ? data.size() - cut : 0);
  if (x.adl_tail.size() > cut) x.adl_tail.erase(0, x.adl_tail.size() - cut);
  // Nothing starts without a header, nor for a sender that cancels at once (the header, then CANs).
  if (end == std::string_view::npos || data.substr(end, 32).find("\x18\x18\x18\x18\x18") != std::string_view::npos)
    return data.size();
  x.adl_tail.clear();
  session_log(s, "automatic download");
  std::string dir = session_setting(s, "DownloadDir");
  if (start(s, false, command_for(s, KT_XP_ZMODEM, false), dir, "", 0) != KT_PENDING) return data.size();
  x.automatic = true;
  x.program.to_program.append(ZRQINIT);  // the header, though a read may have cut it
  return end;
}

bool transfer_discards(Session &s) {
  int64_t now = now_ms();
  if (s.xfer.discard_until < now) return false;
  s.xfer.discard_until = now + ABORT_QUIET_MS;
  return true;
}

int32_t ktXferDropSend(int32_t h, int32_t path) {
  Session *s;
  std::string file;
  if (int32_t r = session_enter(h, &s)) return r;
  if (int32_t r = upload_file(*s, path, &file)) return r;
  if (s->xfer.drop_list.size() >= XFER_LIST_LIMIT) return KT_E_FULL;
  s->xfer.drop_list.push_back(file);
  return KT_PENDING;
}



using FileList = std::vector<std::string> Transfer::*;

// An entry of the send list or the drop list, or with index KT_LIST_COUNT their count.
static int32_t list_entry(int32_t h, FileList which, int32_t index, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  const std::vector<std::string> &list = s->xfer.*which;
  if (index == KT_LIST_COUNT) return static_cast<int32_t>(list.size());
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return KT_E_RANGE;
  return put_string(buf, size, list[static_cast<size_t>(index)]);
}

static int32_t list_clear(int32_t h, FileList which) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  (s->xfer.*which).clear();
  return KT_OK;
}

int32_t ktGetXferDropList(int32_t h, int32_t index, int32_t buf, int32_t size) {
  return list_entry(h, &Transfer::drop_list, index, buf, size);
}
int32_t ktGetXferSendList(int32_t h, int32_t index, int32_t buf, int32_t size) {
  return list_entry(h, &Transfer::send_list, index, buf, size);
}
int32_t ktClearXferDropList(int32_t h) { return list_clear(h, &Transfer::drop_list); }
int32_t ktClearXferSendList(int32_t h) { return list_clear(h, &Transfer::send_list); }

int32_t ktSetAdlOverride(int32_t h, int32_t mode) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (mode < KT_ADL_DEFAULT || mode > KT_ADL_OFF) return KT_E_BADARG;
  s->xfer.adl_override = mode;
  return KT_OK;
}

int32_t ktSetXferProtocol(int32_t h, int32_t direction, int32_t protocol) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (direction < KT_XD_SEND || direction > KT_XD_BOTH || protocol < KT_XP_RAW || protocol > KT_XP_KERMIT)
    return KT_E_BADARG;
  for (int d : {KT_XD_SEND, KT_XD_RECEIVE})
    if (direction == d || direction == KT_XD_BOTH)
      s->settings.set(direction_keys[d], protocol_names[protocol]);
  return KT_OK;
}

int32_t ktGetXferProtocol(int32_t h, int32_t direction) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (direction != KT_XD_SEND && direction != KT_XD_RECEIVE) return KT_E_BADARG;
  return setting_code(direction_keys[direction], session_setting(*s, direction_keys[direction]));
}

int32_t ktSetXferParameters(int32_t h, int32_t bits) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (bits & ~XFER_FLAGS) return KT_E_BADARG;
  s->settings.set("XferFlags", std::to_string(bits));
  return KT_OK;
}

int32_t ktGetXferParameters(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return static_cast<int32_t>(session_number(*s, "XferFlags"));
}

int32_t ktSetXferDirectory(int32_t h, int32_t which, int32_t path) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view dir;
  if ((which != KT_DIR_UPLOAD && which != KT_DIR_DOWNLOAD) || !arg_string(path, &dir)) return KT_E_BADARG;
  if (!is_directory(std::string(dir))) return KT_E_NOTFOUND;
  s->settings.set(directory_keys[which], dir);
  return KT_OK;
}

int32_t ktGetXferDirectory(int32_t h, int32_t which, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (which != KT_DIR_UPLOAD && which != KT_DIR_DOWNLOAD) return KT_E_BADARG;
  return put_string(buf, size, session_setting(*s, directory_keys[which]));
}

int32_t ktXferAddToSendList(int32_t h, int32_t path) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view name;
  if (!arg_string(path, &name)) return KT_E_BADARG;
  if (s->xfer.send_list.size() >= XFER_LIST_LIMIT) return KT_E_FULL;
  s->xfer.send_list.emplace_back(name);
  return static_cast<int32_t>(s->xfer.send_list.size());
}



int32_t ktXferSendFromList(int32_t h, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string names;
  for (const std::string &name : s->xfer.send_list) names += name + " ";
  return send_names(*s, names, timeout);
}

// The list is the interpreter's copy of the script's: 32-bit string addresses, ending with 0.
int32_t ktXferSendList(int32_t h, int32_t list, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::vector<std::string> files;
  for (uint32_t i = 0; i <= XFER_LIST_LIMIT; ++i) {
    const void *entry = host_interface->pointer(static_cast<uint32_t>(list) + 4 * i, 4);
    if (!entry) return KT_E_BADARG;
    int32_t address;
    std::memcpy(&address, entry, 4);
    if (address == 0) return send_files(*s, files, timeout);
    if (int32_t r = upload_file(*s, address, &files.emplace_back())) return r;
  }
  return KT_E_BADARG;
}
