// io.cpp: the service pass, the waits' poll loop, the receive path and the output queue.
//
// A received byte goes: telnet decoding -> the logon task or a transfer while it runs (and no further) ->
// 7-bit strip -> remote echo -> receive buffer -> screen (while Display is on) -> capture ->
// local display (standard output).
#include "io.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <tuple>
#include <vector>

#include "connection.h"
#include "host.h"
#include "keyboard.h"
#include "modem.h"
#include "screen.h"
#include "session.h"
#include "transfer.h"

// One read takes at most this much; a pass reads each session at most READS_PER_PASS times, so
// a fast sender cannot keep the others waiting.
constexpr size_t READ_CHUNK = 64 * 1024;
constexpr int READS_PER_PASS = 16;

// Queues bytes that are ready for the wire (no encoding), and writes what the connection takes.
static void queue_raw(Session &s, std::string_view bytes);

// Bytes as the connection carries them.
static std::string for_wire(const Session &s, std::string_view data) {
  return s.telnet_on ? telnet_encode(s.telnet, data) : std::string(data);
}

// Queues what the remote's data made us answer (telnet replies, the emulator's reports, the remote
// echo) without waiting: a remote that sends and does not read cannot make the queue grow past
// OUTPUT_LIMIT, and what does not fit is dropped.
static void queue_answer(Session &s, std::string_view bytes) {
  size_t room = io_room(s);
  if (bytes.size() > room && !s.answers_dropped) session_log(s, "answers dropped: the remote does not read");
  s.answers_dropped = bytes.size() > room;
  queue_raw(s, bytes.substr(0, room));
}

// Data for the logon task or a transfer's program, which takes everything while it runs and its
// input has not ended: how much it took.
static size_t to_program(Session &s, std::string_view data) {
  Program *p = session_program(s);
  if (!p || p->input_ends) return 0;
  size_t taken = p == &s.xfer.program ? transfer_take(s, data) : data.size();
  p->to_program.append(data.substr(0, taken));
  if (taken < data.size()) program_end_input(*p);
  program_write(*p);
  return taken;
}

static void deliver(Session &s, std::string_view data);

void io_receive(Session &s, std::string_view raw) {
  std::string decoded, reply;
  std::string_view data = raw;
  s.bytes_in += raw.size();
  if (s.telnet_on) {
    telnet_decode(s.telnet, raw, decoded, reply);
    if (!reply.empty()) queue_answer(s, reply);
    data = decoded;
  }
  data.remove_prefix(modem_receive(s, data));
  data.remove_prefix(to_program(s, data));
  if (data.empty() || transfer_sink(s, data) || transfer_discards(s)) return;
  // A ZMODEM start with automatic download on: what comes before it goes the usual way, the rest
  // to the receive program.
  size_t start = transfer_autodownload(s, data);
  deliver(s, data.substr(0, start));
  if (start < data.size()) to_program(s, data.substr(start));
}

static void deliver(Session &s, std::string_view data) {
  std::string stripped;
  if (session_flag(s, "StripTo7Bits")) {
    stripped.assign(data);
    for (char &c : stripped) c = static_cast<char>(c & 0x7f);
    data = stripped;
  }
  if (data.empty()) return;
  s.last_byte_ms = now_ms();
  if (session_flag(s, "Echo")) queue_answer(s, for_wire(s, data));
  receive_append(s.received, data);
  if (s.screen && session_flag(s, "Display")) screen_feed(*s.screen, data, session_flag(s, "AddLF"));
  if (!capture_write(s.capture, data))
    session_log(s, std::string("capture stopped: ") + std::strerror(s.capture.error));
  if (!capture_write(s.printer, data))
    session_log(s, std::string("printer capture stopped: ") + std::strerror(s.printer.error));
  if (s.local_display) {
    ssize_t ignored = write(STDOUT_FILENO, data.data(), data.size());
    (void)ignored;
  }
}

// Reads what the connection has now; a closed or failed connection hangs up.
static void read_session(Session &s) {
  static char buffer[READ_CHUNK];
  for (int i = 0; i < READS_PER_PASS && s.fd >= 0; ++i) {
    ssize_t n = read(s.fd, buffer, sizeof buffer);
    if (n > 0) {
      io_receive(s, std::string_view(buffer, static_cast<size_t>(n)));
      if (static_cast<size_t>(n) < sizeof buffer) return;
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    int err = n == 0 ? 0 : errno;
    note_errno(err);
    if (session_kind(s) == KIND_PTY) {
      // The child closed the terminal but may still run: its exit (the pidfd) ends the session.
      s.input_ended = true;
      connection_child_ended(s);
    } else {
      connection_hang_up(s, err ? std::strerror(err) : "closed by the remote");
    }
    return;
  }
}

void io_drain(Session &s) {
  for (int i = 0; i < 64 && s.fd >= 0; ++i) {
    static char buffer[READ_CHUNK];
    ssize_t n = read(s.fd, buffer, sizeof buffer);
    if (n <= 0) return;
    io_receive(s, std::string_view(buffer, static_cast<size_t>(n)));
  }
}

// Writes queued output as far as the connection takes it now.
static void flush(Session &s) {
  while (!s.output.empty() && s.fd >= 0 && (s.status == KT_ST_CONNECTED || program_running(s.logon))) {
    ssize_t n = session_kind(s) == KIND_TCP ? send(s.fd, s.output.data(), s.output.size(), MSG_NOSIGNAL)
                                            : write(s.fd, s.output.data(), s.output.size());
    if (n > 0) {
      s.bytes_out += static_cast<uint64_t>(n);
      s.output.erase(0, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    note_errno(errno);
    connection_hang_up(s, std::strerror(errno));
    return;
  }
}

static void queue_raw(Session &s, std::string_view bytes) {
  s.output.append(bytes);
  flush(s);
}

namespace {
// What a pollfd of the set stands for.
enum Watch {
  W_INTERRUPT,
  W_CONNECTION,
  W_CHILD,
  W_TASK_OUT,
  W_TASK_ERR,
  W_TASK_IN,
  W_TASK_END,
  W_KEYS,
  W_OTHER
};
struct Watched {
  Watch what;
  Session *session;
};
}  // namespace

// The descriptors of the session's program (the logon task or a transfer) in the poll set.
static void watch_program(Session &s, std::vector<pollfd> &fds, std::vector<Watched> &watched) {
  const Program *p = session_program(s);
  if (!p) return;
  // The program's output waits in its pipe while the connection's queue is full.
  int out = s.output.size() < OUTPUT_LIMIT ? p->out : -1;
  for (auto [fd, events, what] :
       {std::tuple{out, POLLIN, W_TASK_OUT}, std::tuple{p->err, POLLIN, W_TASK_ERR},
        std::tuple{p->pidfd, POLLIN, W_TASK_END}}) {
    if (fd < 0) continue;
    fds.push_back({fd, static_cast<short>(events), 0});
    watched.push_back({what, &s});
  }
  if (p->in >= 0 && !p->to_program.empty()) {
    fds.push_back({p->in, POLLOUT, 0});
    watched.push_back({W_TASK_IN, &s});
  }
}

// Moves what the program wrote: its output to the connection, its errors to the log.
static void relay_program(Session &s, Program &p) {
  std::string data, lines;
  program_read(p, &data);
  if (&p == &s.xfer.program) transfer_relay(s, &data);
  io_relay(s, data);
  program_read_errors(p, &lines);
  if (&p == &s.xfer.program) return transfer_errors(s, lines);
  for (size_t start = 0, lf; (lf = lines.find('\n', start)) != std::string::npos; start = lf + 1)
    session_log(s, "logon task: " + lines.substr(start, lf - start));
}

static void service_program(Session &s, Watch what, int fd) {
  Program *p = session_program(s);
  if (!p) return;
  if (what == W_TASK_IN && fd == p->in) program_write(*p);
  if ((what == W_TASK_OUT && fd == p->out) || (what == W_TASK_ERR && fd == p->err)) relay_program(s, *p);
  if (what != W_TASK_END || fd != p->pidfd) return;
  relay_program(s, *p);
  if (p == &s.logon) connection_logon_ended(s);
  else transfer_ended(s);
}

// Polls every session for up to 'timeout' ms (-1: no limit) and services what is ready; true when
// the run was interrupted.
static bool poll_sessions(int timeout, bool watch_interrupt, int watch_fd, bool keys) {
  std::vector<pollfd> fds;
  std::vector<Watched> watched;
  if (watch_fd >= 0 || keys) {
    fds.push_back({keys ? STDIN_FILENO : watch_fd, POLLIN, 0});
    watched.push_back({keys ? W_KEYS : W_OTHER, nullptr});
  }
  int interrupt = host_interrupt_fd();
  if (watch_interrupt && interrupt >= 0) {
    fds.push_back({interrupt, POLLIN, 0});
    watched.push_back({W_INTERRUPT, nullptr});
  }
  for (Session *s : open_sessions()) {
    if (short events = connection_events(*s)) {
      fds.push_back({s->fd, events, 0});
      watched.push_back({W_CONNECTION, s});
    }
    if (s->child_fd >= 0) {
      fds.push_back({s->child_fd, POLLIN, 0});
      watched.push_back({W_CHILD, s});
    }
    watch_program(*s, fds, watched);
  }
  int n = poll(fds.data(), fds.size(), timeout);
  if (n <= 0) return false;
  for (size_t i = 0; i < fds.size(); ++i) {
    short got = fds[i].revents;
    Session *s = watched[i].session;
    if (!got) continue;
    switch (watched[i].what) {
    case W_INTERRUPT: return true;
    case W_CONNECTION:
      if (s->fd != fds[i].fd) break;  // hung up meanwhile
      if (s->status == KT_ST_LISTENING && !modem_talking(*s)) {
        connection_accept(*s);
        break;
      }
      if (s->status == KT_ST_CONNECTING && !program_running(s->logon) && !modem_talking(*s)) {
        connection_finish(*s);
        break;
      }
      if (got & (POLLIN | POLLHUP | POLLERR)) read_session(*s);
      if (got & POLLOUT) flush(*s);
      break;
    case W_CHILD:
      if (s->child_fd == fds[i].fd) connection_child_ended(*s);
      break;
    case W_OTHER: break;
    case W_KEYS:
      if (!keyboard_service()) return true;
      break;
    default: service_program(*s, watched[i].what, fds[i].fd); break;
    }
  }
  return false;
}

// How much of the received data one turn of a wait's loop parses for a screen.
constexpr size_t SCREEN_SLICE = 256 * 1024;

// Parses a slice of each screen's pending data and sends the emulator's answers: true when data
// is still pending.
static bool work_on_screens() {
  bool pending = false;
  for (Session *s : open_sessions()) {
    if (screen_pending(*s->screen)) screen_work(*s->screen, SCREEN_SLICE);
    std::string answer = screen_take_output(*s->screen);
    if (!answer.empty() && s->status == KT_ST_CONNECTED)
      queue_answer(*s, for_wire(*s, answer));
    pending = pending || screen_pending(*s->screen);
  }
  return pending;
}

static void run_timers(int64_t now, int64_t *wake) {
  for (Session *s : open_sessions()) {
    connection_timers(*s, now, wake);
    transfer_timers(*s, now, wake);
  }
}

void io_follow_echo(Session &s) {
  bool echo = session_flag(s, "Echo");
  if (!s.telnet_on || s.status != KT_ST_CONNECTED || echo == s.telnet.echo) return;
  s.telnet.echo = echo;
  queue_raw(s, telnet_ask(s.telnet, TELNET_ECHO, false, echo));
}

int32_t io_pause(int64_t ms) {
  if (ms <= 0) return KT_OK;
  WaitResult r = io_wait(now_ms() + ms, [](int64_t, int64_t *) { return false; });
  return r == WAIT_CANCELLED ? KT_E_CANCELLED : KT_OK;
}

void io_service_pass() {
  for (Session *s : open_sessions()) io_follow_echo(*s);  // Echo may have been set by any key
  int64_t wake = -1;
  run_timers(now_ms(), &wake);
  poll_sessions(0, false, -1, false);
}

WaitResult io_wait(int64_t deadline, const WaitReady &ready, bool interruptible, int watch_fd) {
  // The user's keys go to the remote while a call waits, unless the call reads them itself.
  bool keys = watch_fd < 0 && interruptible && keyboard_active();
  bool was_raw = keys && keyboard_raw(true);
  WaitResult r = WAIT_READY;
  for (;;) {
    int64_t now = now_ms();
    int64_t wake = -1;
    run_timers(now, &wake);
    if (ready(now, &wake)) break;
    if (deadline >= 0 && now >= deadline) {
      r = WAIT_TIMEOUT;
      break;
    }
    if (deadline >= 0 && (wake < 0 || deadline < wake)) wake = deadline;
    int timeout = wake < 0 ? -1 : static_cast<int>(std::max<int64_t>(wake - now, 1));
    // Screens parse what they received while nothing else is to be done.
    if (work_on_screens()) timeout = 0;
    if (poll_sessions(timeout, interruptible, watch_fd, keys)) {
      r = WAIT_CANCELLED;
      break;
    }
  }
  if (keys) keyboard_raw(was_raw);
  return r;
}

int32_t io_send(Session &s, std::string_view bytes) {
  std::string encoded;
  if (s.telnet_on) bytes = encoded = telnet_encode(s.telnet, bytes);
  while (!bytes.empty()) {
    if (s.status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
    size_t room = io_room(s);
    if (room == 0) {
      WaitResult r = io_wait(-1, [&s](int64_t, int64_t *) {
        return s.output.size() < OUTPUT_LIMIT || s.status != KT_ST_CONNECTED;
      });
      if (r == WAIT_CANCELLED) return KT_E_CANCELLED;
      continue;
    }
    size_t n = std::min(room, bytes.size());
    queue_raw(s, bytes.substr(0, n));
    bytes.remove_prefix(n);
  }
  return KT_OK;
}

void io_send_raw(Session &s, std::string_view bytes) {
  if (s.status == KT_ST_CONNECTED) queue_raw(s, bytes);
}

size_t io_room(const Session &s) { return OUTPUT_LIMIT > s.output.size() ? OUTPUT_LIMIT - s.output.size() : 0; }

void io_relay(Session &s, std::string_view bytes) {
  if (!bytes.empty() && s.fd >= 0) queue_raw(s, for_wire(s, bytes));  // with no line, it is dropped
}

void io_show_local(Session &s, std::string_view bytes) {
  if (s.screen) screen_show_local(*s.screen, bytes);
  if (s.local_display) {
    ssize_t ignored = write(STDOUT_FILENO, bytes.data(), bytes.size());
    (void)ignored;
  }
}
