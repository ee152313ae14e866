// connection.cpp: tcp, pty and serial connections; the functions of connecting and dialing.
#include "connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host.h"
#include "io.h"
#include "modem.h"
#include "program.h"
#include "serial.h"
#include "session.h"

// How long a pty child has after SIGHUP before SIGKILL.
constexpr int CHILD_GRACE_MS = 1000;

static int pidfd_open_for(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

// Blocks until 'pid' exits or 'ms' pass; true when it has exited (and is reaped).
static bool reap_within(pid_t pid, int pidfd, int ms, int *status) {
  int64_t deadline = now_ms() + ms;
  for (;;) {
    int raw;
    pid_t r = waitpid(pid, &raw, WNOHANG);
    if (r == pid) {
      *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      return true;
    }
    if (r < 0) return true;  // not our child any more
    int64_t left = deadline - now_ms();
    if (left <= 0) return false;
    pollfd p{pidfd, POLLIN, 0};
    // Without a pidfd there is nothing to wait on: look again a little later.
    if (pidfd < 0) usleep(10000);
    else poll(&p, 1, static_cast<int>(left));
  }
}

static void close_child(Session &s) {
  if (s.child_fd >= 0) close(s.child_fd);
  s.child_fd = -1;
  s.child = -1;
}

// Ends the pty child's process group: SIGHUP, SIGKILL after the grace time.
static void end_child(Session &s) {
  if (s.child <= 0) return;
  kill(-s.child, SIGHUP);
  kill(s.child, SIGHUP);
  if (!reap_within(s.child, s.child_fd, CHILD_GRACE_MS, &s.child_status)) {
    kill(-s.child, SIGKILL);
    kill(s.child, SIGKILL);
    reap_within(s.child, s.child_fd, CHILD_GRACE_MS, &s.child_status);
  }
  close_child(s);
}

void connection_hang_up(Session &s, const std::string &reason) {
  if (s.status == KT_ST_IDLE && s.fd < 0 && s.child <= 0) return;
  bool was_connected = s.status == KT_ST_CONNECTED;
  // The child hears of the hang-up while its terminal is still there for its last words.
  program_stop(s.logon);
  modem_hang_up(s);
  transfer_line_gone(s);
  end_child(s);
  if (s.fd >= 0 && session_kind(s) == KIND_SERIAL) serial_close(s.fd);
  else if (s.fd >= 0) close(s.fd);
  s.fd = -1;
  s.status = KT_ST_IDLE;
  s.output.clear();
  s.redial_at = s.attempt_deadline = -1;
  if (was_connected) session_log(s, "disconnect (" + reason + ")");
}

// tcp: Address:Port, or the dial override "host[:port]".
static void destination_tcp(const Session &s, std::string *host, std::string *port) {
  *host = session_setting(s, "Address");
  *port = session_setting(s, "Port");
  if (s.destination.empty()) return;
  size_t colon = s.destination.rfind(':');
  if (colon == std::string::npos) {
    *host = s.destination;
  } else {
    *host = s.destination.substr(0, colon);
    *port = s.destination.substr(colon + 1);
  }
}

bool connection_set_tcp_destination(Session &s, std::string_view text) {
  size_t colon = text.rfind(':');
  std::string_view host = text.substr(0, colon);
  if (host.empty()) return false;
  if (colon != std::string_view::npos) {
    std::string_view port = text.substr(colon + 1);
    if (!setting_valid("Port", port)) return false;
    s.settings.set("Port", port);
  }
  s.settings.set("Address", host);
  return true;
}

// Starts a non-blocking connect; an error number when it failed at once.
static int start_tcp(Session &s) {
  std::string host, port;
  destination_tcp(s, &host, &port);
  addrinfo hints{}, *found = nullptr;
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  int looked_up = host.empty() ? EAI_NONAME : getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
  if (looked_up != 0 || !found) {
    session_log(s, "cannot look up \"" + host + "\" port " + port + ": " + gai_strerror(looked_up));
    return EHOSTUNREACH;
  }
  int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    freeaddrinfo(found);
    return errno;
  }
  char text[INET6_ADDRSTRLEN] = "";
  const void *addr =
      found->ai_family == AF_INET
          ? static_cast<const void *>(&reinterpret_cast<sockaddr_in *>(found->ai_addr)->sin_addr)
          : &reinterpret_cast<sockaddr_in6 *>(found->ai_addr)->sin6_addr;
  inet_ntop(found->ai_family, addr, text, sizeof text);
  s.peer = std::string(text) + ":" + port;
  int r = connect(fd, found->ai_addr, found->ai_addrlen);
  int err = r == 0 ? 0 : errno;
  freeaddrinfo(found);
  if (r != 0 && err != EINPROGRESS) {
    close(fd);
    return err;
  }
  s.fd = fd;
  if (r == 0) connection_finish(s);
  return 0;
}

// Answer mode: listens on Address:Port (any address when Address is empty) for one caller.
static int start_listening(Session &s) {
  std::string host = session_setting(s, "Address"), port = session_setting(s, "Port");
  addrinfo hints{}, *found = nullptr;
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | AI_PASSIVE;
  if (getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &found) != 0 || !found)
    return EADDRNOTAVAIL;
  int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  int on = 1;
  int err = fd < 0 ? errno : 0;
  if (!err && (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
               bind(fd, found->ai_addr, found->ai_addrlen) != 0 || listen(fd, 1) != 0))
    err = errno;
  freeaddrinfo(found);
  if (err) {
    if (fd >= 0) close(fd);
    return err;
  }
  s.fd = fd;
  s.status = KT_ST_LISTENING;
  s.attempt_deadline = -1;  // a caller may take its time
  session_log(s, "listening on " + (host.empty() ? std::string("*") : host) + ":" + port);
  return 0;
}

static void set_window(winsize *w, const Session &s) {
  std::memset(w, 0, sizeof *w);
  w->ws_row = static_cast<unsigned short>(session_number(s, "Rows"));
  w->ws_col = static_cast<unsigned short>(session_number(s, "Columns"));
}

// In the child: the shell with TERM, LINES and COLUMNS; no descriptor of ours stays open.
[[noreturn]] static void exec_child(const std::string &command, const std::string &term, const winsize &w) {
  setenv("TERM", term.c_str(), 1);
  setenv("LINES", std::to_string(w.ws_row).c_str(), 1);
  setenv("COLUMNS", std::to_string(w.ws_col).c_str(), 1);
  exec_shell(command);
}

static int start_pty(Session &s) {
  std::string command = s.destination.empty() ? session_setting(s, "Command") : s.destination;
  std::string term = session_setting(s, "Terminal");
  winsize w;
  set_window(&w, s);
  int master = -1;
  // Until the child has reset them, the interpreter's signal handlers would run in the child and
  // report an interrupt of the run: signals wait, blocked, until then.
  sigset_t all, before;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &before);
  pid_t pid = forkpty(&master, nullptr, nullptr, &w);
  if (pid == 0) exec_child(command, term, w);
  int err = errno;
  sigprocmask(SIG_SETMASK, &before, nullptr);
  if (pid < 0) return err;
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  s.fd = master;
  s.child = pid;
  s.child_fd = pidfd_open_for(pid);
  if (s.child_fd >= 0) fcntl(s.child_fd, F_SETFD, FD_CLOEXEC);
  s.child_status = -1;
  s.input_ended = false;
  s.peer = "pid " + std::to_string(pid);
  return 0;
}

SerialFormat connection_serial_format(const Session &s) {
  SerialFormat f;
  f.baud = session_number(s, "Baud");
  f.data_bits = static_cast<int>(session_number(s, "DataBits"));
  f.parity = setting_code("Parity", session_setting(s, "Parity"));
  f.stop_bits = static_cast<int>(session_number(s, "StopBits"));
  f.flow = setting_code("Flow", session_setting(s, "Flow"));
  return f;
}

int connection_serial_apply(Session &s) {
  if (session_kind(s) != KIND_SERIAL || s.fd < 0) return 0;
  return serial_apply(s.fd, connection_serial_format(s));
}

void connection_serial_break(Session &s) {
  serial_break(s.fd, static_cast<int>(session_number(s, "BreakMs")));
}

void connection_serial_line(Session &s, int line, bool on) { serial_line(s.fd, line, on); }

// A direct line: the device in the session's format, with DTR and RTS as the settings say.
static int start_serial(Session &s) {
  std::string device = session_setting(s, "Device");
  int fd = serial_open(device, connection_serial_format(s));
  if (fd < 0) return errno;
  s.fd = fd;
  s.peer = device;
  serial_line(fd, TIOCM_DTR, session_flag(s, "DTR"));
  serial_line(fd, TIOCM_RTS, session_flag(s, "RTS"));
  return 0;
}

static void attempt_failed(Session &s, int err, const std::string &why = {});

// The script's data flows from now on.
static void logged_on(Session &s) {
  s.status = KT_ST_CONNECTED;
  s.connected_ms = now_ms();
  s.attempt_deadline = s.redial_at = -1;
  s.attempt_failed = false;
}

// The line is up: the logon task, if there is one, logs on before the script's data flows.
static void connected(Session &s) {
  s.telnet_on = session_kind(s) == KIND_TCP && session_flag(s, "Telnet");
  s.telnet = Telnet{};
  s.telnet.terminal = session_setting(s, "Terminal");
  s.telnet.rows = static_cast<int>(session_number(s, "Rows"));
  s.telnet.columns = static_cast<int>(session_number(s, "Columns"));
  s.telnet.echo = session_flag(s, "Echo");
  if (s.telnet_on && session_flag(s, "Binary"))  // an 8-bit path both ways, as telnet -8 asks for it
    s.output += telnet_ask(s.telnet, TELNET_BINARY, false, true) + telnet_ask(s.telnet, TELNET_BINARY, true, true);
  if (session_kind(s) == KIND_TCP && session_flag(s, "KeepAlive")) {
    int on = 1;
    setsockopt(s.fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  }
  session_log(s, "connect " + s.peer);
  std::string task = session_setting(s, "LogonTask");
  if (task.empty()) return logged_on(s);
  if (int err = program_start(s.logon, task)) return attempt_failed(s, err);
  session_log(s, "logon task " + task);
}

void connection_logon_ended(Session &s) {
  int status = program_reap(s.logon);
  if (status == 0) {
    session_log(s, "logon task succeeded");
    logged_on(s);
  } else {
    attempt_failed(s, ECONNREFUSED, "logon task failed with status " + std::to_string(status));
  }
}

// An attempt failed with 'err' ('why' tells the log, else the error's text): the next redial,
// or IDLE with the failure kept.
static void attempt_failed(Session &s, int err, const std::string &why) {
  note_errno(err);
  program_stop(s.logon);
  if (s.fd >= 0) close(s.fd);
  s.fd = -1;
  end_child(s);
  std::string reason = why.empty() ? std::strerror(err) : why;
  if (s.redials_left > 0) {
    --s.redials_left;
    s.redial_at = now_ms() + session_number(s, "RedialDelay");
    s.attempt_deadline = -1;
    session_log(s, "connect failed (" + reason + "), redialing");
    return;
  }
  s.status = KT_ST_IDLE;
  s.attempt_failed = true;
  s.attempt_deadline = s.redial_at = -1;
  session_log(s, "connect failed (" + reason + ")");
}

static void attempt(Session &s) {
  s.redial_at = -1;
  s.attempt_deadline = now_ms() + session_number(s, "ConnectTimeout");
  int err = 0;
  switch (session_kind(s)) {
  case KIND_TCP: err = session_number(s, "Rings") > 0 ? start_listening(s) : start_tcp(s); break;
  case KIND_PTY: err = start_pty(s); break;
  case KIND_SERIAL: err = start_serial(s); break;
  }
  if (err) attempt_failed(s, err);
  else if (modem_needed(s)) modem_begin(s);
  else if (session_kind(s) != KIND_TCP) connected(s);
}

void connection_start(Session &s) {
  s.status = KT_ST_CONNECTING;
  s.attempt_failed = false;
  s.redials_left = static_cast<int>(session_number(s, "Redial"));
  s.received.data.clear();
  attempt(s);
}

short connection_events(const Session &s) {
  if (s.fd < 0 || s.input_ended) return 0;
  if (s.status == KT_ST_LISTENING || modem_talking(s)) return POLLIN;
  if (s.status == KT_ST_CONNECTING && !program_running(s.logon)) return POLLOUT;
  // The remote's data waits in the kernel while the logon task or a transfer does not read what
  // it has.
  const Program *p = session_program(s);
  bool room = !p || p->to_program.size() < OUTPUT_LIMIT;
  return static_cast<short>((room ? POLLIN : 0) | (s.output.empty() ? 0 : POLLOUT));
}

void connection_modem_connected(Session &s) { connected(s); }

void connection_modem_failed(Session &s, const std::string &why) {
  s.modem.state = MODEM_NONE;
  attempt_failed(s, ECONNREFUSED, why);
}

void connection_accept(Session &s) {
  sockaddr_storage from{};
  socklen_t length = sizeof from;
  int fd = accept4(s.fd, reinterpret_cast<sockaddr *>(&from), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;  // the caller went away: go on listening
  close(s.fd);  // one caller only
  s.fd = fd;
  char host[NI_MAXHOST] = "", port[NI_MAXSERV] = "";
  getnameinfo(reinterpret_cast<sockaddr *>(&from), length, host, sizeof host, port, sizeof port,
              NI_NUMERICHOST | NI_NUMERICSERV);
  s.peer = std::string(host) + ":" + port;
  s.status = KT_ST_CONNECTING;
  connected(s);
  if (!s.telnet_on) return;
  // As a telnet server: character mode and 8 bits each way for a plain telnet client; our echo
  // only when the session echoes.
  s.output += telnet_ask(s.telnet, TELNET_SGA, false, true) + telnet_ask(s.telnet, TELNET_BINARY, false, true) +
              telnet_ask(s.telnet, TELNET_BINARY, true, true);
  if (s.telnet.echo) s.output += telnet_ask(s.telnet, TELNET_ECHO, false, true);
}

void connection_finish(Session &s) {
  int err = 0;
  socklen_t len = sizeof err;
  if (getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
  if (err) attempt_failed(s, err);
  else connected(s);
}

void connection_timers(Session &s, int64_t now, int64_t *wake) {
  if (s.status != KT_ST_CONNECTING) return;
  if (s.redial_at >= 0) {
    if (now >= s.redial_at) attempt(s);
    else wake_by(wake, s.redial_at);
  }
  if (s.status == KT_ST_CONNECTING && s.attempt_deadline >= 0) {
    if (now >= s.attempt_deadline) attempt_failed(s, ETIMEDOUT);
    else wake_by(wake, s.attempt_deadline);
  }
  if (s.status == KT_ST_CONNECTING && s.redial_at >= 0) wake_by(wake, s.redial_at);
}

void connection_child_ended(Session &s) {
  int status = -1;
  if (s.child > 0 && reap_within(s.child, -1, 0, &status)) {
    s.child_status = status;
    close_child(s);
    io_drain(s);
    connection_hang_up(s, "child exited with status " + std::to_string(status));
  }
}

void connection_set_window(Session &s, int rows, int columns) {
  if (session_kind(s) != KIND_PTY || s.fd < 0) return;
  winsize w{};
  w.ws_row = static_cast<unsigned short>(rows);
  w.ws_col = static_cast<unsigned short>(columns);
  ioctl(s.fd, TIOCSWINSZ, &w);
}

// The functions of connecting.

// Connects (or goes on waiting for an attempt under way) and waits up to 'timeout'.
static int32_t connect_and_wait(Session &s, int32_t timeout) {
  if (s.status == KT_ST_CONNECTED) return KT_E_STATE;
  if (s.status == KT_ST_IDLE) connection_start(s);
  auto waiting = [&s] { return s.status == KT_ST_CONNECTING || s.status == KT_ST_LISTENING; };
  WaitResult r = io_wait(deadline_after(timeout), [&](int64_t, int64_t *) { return !waiting(); });
  if (r == WAIT_CANCELLED) return KT_E_CANCELLED;
  if (s.status == KT_ST_CONNECTED) return KT_OK;
  return waiting() ? KT_PENDING : KT_E_CONNECT;
}

int32_t ktConnectSession(int32_t h, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (s->status == KT_ST_IDLE) s->destination.clear();
  return connect_and_wait(*s, timeout);
}

int32_t ktConnectAndDial(int32_t h, int32_t dial, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  bool given;
  if (!arg_optional_string(dial, &text, &given)) return KT_E_BADARG;
  if (s->status == KT_ST_IDLE) s->destination.assign(text);
  return connect_and_wait(*s, timeout);
}

int32_t ktDisconnectSession(int32_t h) {
  if (int32_t r = host_enter()) return r;
  if (h == KT_ALL_SESSIONS) {
    for (Session *s : open_sessions()) connection_hang_up(*s, "by the script");
    return KT_OK;
  }
  int32_t error;
  Session *s = session_find(h, &error);
  if (!s) return error;
  connection_hang_up(*s, "by the script");
  return KT_OK;
}

int32_t ktSkipConnection(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (s->status != KT_ST_CONNECTING) return KT_E_STATE;
  session_log(*s, "attempt skipped");
  // An attempt under way fails as any failure does (its logon task and child end, a redial is
  // counted); a redial that was planned, or the one just counted, starts at once.
  if (s->redial_at < 0) attempt_failed(*s, ECANCELED);
  if (s->redial_at >= 0) attempt(*s);
  return KT_OK;
}

int32_t ktGetConnectionStatus(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return s->status;
}

// Settings that only the modem and answer mode use: kept for the session (and ktSavePhonebook).
static int32_t store_setting(int32_t h, const char *key, const std::string &value) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  s->settings.set(key, value);
  return KT_OK;
}

int32_t ktSetRingsForAnswer(int32_t h, int32_t rings) {
  if (!setting_valid("Rings", std::to_string(rings))) return host_initialised() ? KT_E_BADARG : KT_E_NOTINIT;
  return store_setting(h, "Rings", std::to_string(rings));
}

int32_t ktSetLogonTask(int32_t h, int32_t command) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  bool given;
  if (!arg_optional_string(command, &text, &given)) return KT_E_BADARG;
  if (given && !text.empty()) s->settings.set("LogonTask", text);
  else s->settings.erase("LogonTask");
  return KT_OK;
}

int32_t ktGetRingsForAnswer(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return static_cast<int32_t>(session_number(*s, "Rings"));
}

int32_t ktSetPulseTone(int32_t h, int32_t pulse) {
  if (pulse != KT_DIAL_TONE && pulse != KT_DIAL_PULSE) return host_initialised() ? KT_E_BADARG : KT_E_NOTINIT;
  return store_setting(h, "Dial", pulse == KT_DIAL_PULSE ? "pulse" : "tone");
}
