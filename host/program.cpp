// program.cpp: programs tied to a session.
#include "program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "host.h"

// How long a program has after SIGTERM before SIGKILL.
constexpr int STOP_GRACE_MS = 2000;

static void close_fd(int &fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

static void close_all(Program &p) {
  close_fd(p.in);
  close_fd(p.out);
  close_fd(p.err);
  close_fd(p.pidfd);
  p.pid = -1;
  p.input_ends = false;
  p.to_program.clear();
  p.err_line.clear();
}

// In the child: the pipes on 0, 1 and 2, default signals, nothing else open.
[[noreturn]] static void exec_program(const std::string &command, int in, int out, int err) {
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  exec_shell(command);
}

[[noreturn]] void exec_shell(const std::string &command) {
  for (int sig = 1; sig < NSIG; ++sig) signal(sig, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  syscall(SYS_close_range, 3, ~0U, 0);
  execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
  _exit(127);
}

// Two pipes, or one socketpair whose ends serve both ways (our output end is a copy).
static int make_channels(int in[2], int out[2], bool socket) {
  if (!socket) {
    if (pipe2(in, O_CLOEXEC) != 0) return errno;
    if (pipe2(out, O_CLOEXEC) == 0) return 0;
  } else {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return errno;
    in[0] = pair[1], in[1] = pair[0], out[1] = fcntl(pair[1], F_DUPFD_CLOEXEC, 0);
    out[0] = fcntl(pair[0], F_DUPFD_CLOEXEC, 0);
    if (out[0] >= 0 && out[1] >= 0) return 0;
  }
  int e = errno;
  for (int fd : {in[0], in[1], out[0], out[1]})
    if (fd >= 0) close(fd);
  return e;
}

int program_start(Program &p, const std::string &command, bool socket) {
  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2];
  if (int e = make_channels(in, out, socket)) return e;
  if (pipe2(err, O_CLOEXEC) != 0) {
    int e = errno;
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    return e;
  }
  // Signals wait until the child has reset the interpreter's handlers (see the pty child).
  sigset_t all, before;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &before);
  pid_t pid = fork();
  if (pid == 0) exec_program(command, in[0], out[1], err[1]);
  int e = errno;
  sigprocmask(SIG_SETMASK, &before, nullptr);
  for (int fd : {in[0], out[1], err[1]}) close(fd);
  if (pid < 0) {
    for (int fd : {in[1], out[0], err[0]}) close(fd);
    return e;
  }
  p.pid = pid;
  p.in = in[1];
  p.out = out[0];
  p.err = err[0];
  for (int fd : {p.in, p.out, p.err}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  p.pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (p.pidfd >= 0) fcntl(p.pidfd, F_SETFD, FD_CLOEXEC);
  return 0;
}

bool program_running(const Program &p) { return p.pid > 0; }

std::string shell_quote(std::string_view text) {
  std::string out = "'";
  for (char c : text) c == '\'' ? out += "'\\''" : out += c;
  return out + "'";
}

static int decode_status(int raw);

int program_run(const std::string &command) {
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_RDWR);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, fd);
    exec_shell(command);
  }
  int raw = 0;
  if (pid < 0 || waitpid(pid, &raw, 0) != pid) return -1;
  return decode_status(raw);
}

// Writes to the program's standard input. A program that has exited makes the write fail with
// EPIPE: the SIGPIPE that comes with it is held back and taken, as it would end the run.
static ssize_t write_to_program(int fd, const std::string &data) {
  sigset_t pipe_signal, before;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  sigprocmask(SIG_BLOCK, &pipe_signal, &before);
  ssize_t n = write(fd, data.data(), data.size());
  int err = errno;
  if (n < 0 && err == EPIPE && !sigismember(&before, SIGPIPE)) {
    timespec now{0, 0};
    sigtimedwait(&pipe_signal, nullptr, &now);
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  errno = err;
  return n;
}

void program_end_input(Program &p) {
  p.input_ends = true;
  program_write(p);
}

void program_write(Program &p) {
  if (p.in >= 0 && p.to_program.empty() && p.input_ends) {
    shutdown(p.in, SHUT_WR);  // a socket's other descriptor, the output, stays open
    close_fd(p.in);
  }
  while (p.in >= 0 && !p.to_program.empty()) {
    ssize_t n = write_to_program(p.in, p.to_program);
    if (n > 0) {
      p.to_program.erase(0, static_cast<size_t>(n));
      if (p.to_program.empty() && p.input_ends) return program_write(p);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    close_fd(p.in);  // it stopped reading: what it did not take is dropped
    p.to_program.clear();
  }
}

bool program_read(Program &p, std::string *data) {
  char buffer[4096];
  for (size_t taken = 0; taken < 64 * 1024; taken += sizeof buffer) {  // a busy writer has to wait its turn
    ssize_t n = p.out >= 0 ? read(p.out, buffer, sizeof buffer) : 0;
    if (n > 0) {
      data->append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    close_fd(p.out);
    return false;
  }
  return true;
}

void program_read_errors(Program &p, std::string *lines) {
  char buffer[4096];
  ssize_t n = -1;
  while (p.err >= 0 && (n = read(p.err, buffer, sizeof buffer)) != 0) {
    if (n < 0) {
      if (errno != EAGAIN && errno != EINTR) close_fd(p.err);
      break;
    }
    p.err_line.append(buffer, static_cast<size_t>(n));
  }
  if (n == 0) close_fd(p.err);
  for (char &c : p.err_line)
    if (c == '\r') c = '\n';  // progress pieces end with CR
  size_t lf = p.err_line.rfind('\n');
  if (lf == std::string::npos && p.err_line.size() > 4096) p.err_line += '\n', lf = p.err_line.size() - 1;
  if (lf == std::string::npos) return;
  lines->append(p.err_line, 0, lf + 1);
  p.err_line.erase(0, lf + 1);
}

static int decode_status(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }

int program_reap(Program &p) {
  int raw = 0;
  int status = waitpid(p.pid, &raw, 0) == p.pid ? decode_status(raw) : -1;
  close_all(p);
  return status;
}

// Waits up to 'ms' for the program to exit; true when it has been reaped.
static bool reaped_within(Program &p, int ms) {
  int64_t deadline = now_ms() + ms;
  for (;;) {
    int raw;
    pid_t r = waitpid(p.pid, &raw, WNOHANG);
    if (r != 0) return true;
    int64_t left = deadline - now_ms();
    if (left <= 0) return false;
    pollfd fd{p.pidfd, POLLIN, 0};
    if (p.pidfd < 0) usleep(10000);  // nothing to wait on: look again a little later
    else poll(&fd, 1, static_cast<int>(left));
  }
}

void program_stop(Program &p) {
  if (p.pid <= 0) return;
  kill(p.pid, SIGTERM);
  if (!reaped_within(p, STOP_GRACE_MS)) {
    kill(p.pid, SIGKILL);
    reaped_within(p, STOP_GRACE_MS);
  }
  close_all(p);
}
