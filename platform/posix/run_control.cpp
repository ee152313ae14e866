#include "platform/posix/run_control.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>

#include "platform/platform.h"
#include "platform/posix/host_posix.h"
#include "shell/run_end.h"

static int interrupt_pipe[2] = {-1, -1};
static timer_t kick_timer;
static bool have_timer = false;
static termios saved_modes;
static bool have_modes = false;
static volatile std::sig_atomic_t ending = 0;
static int interrupts = 0;  // only the handler, with the other signals blocked, counts

static const int handled_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGALRM};
constexpr long KICK_NANOSECONDS = 100 * 1000 * 1000;

int posix_interrupt_fd() { return interrupt_pipe[0]; }

// Async-signal-safe: tcsetattr and tcgetpgrp are. A process in the background leaves the
// terminal alone (it would be stopped by SIGTTOU).
static void restore_terminal() {
  if (have_modes && tcgetpgrp(STDIN_FILENO) == getpgrp()) tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
}

static void arm_timer(time_t seconds, long interval_ns) {
  if (!have_timer) return;
  itimerspec spec{};
  spec.it_value.tv_sec = seconds;
  spec.it_value.tv_nsec = seconds ? 0 : interval_ns;
  spec.it_interval.tv_nsec = interval_ns;
  timer_settime(kick_timer, 0, &spec, nullptr);
}

static void request_end(int status) {
  requested_end = status;
  ssize_t ignored = write(interrupt_pipe[1], "!", 1);
  (void)ignored;
  arm_timer(0, KICK_NANOSECONDS);
}

static void on_signal(int sig) {
  int saved_errno = errno;
  if (sig == SIGALRM) {
    // The time limit, or a kick that breaks off a blocking call.
    if (!requested_end && !ending) request_end(STATUS_TIME_LIMIT);
  } else if (interrupts++ > 0) {
    restore_terminal();
    _exit(requested_end ? requested_end : STATUS_SIGNAL_BASE + sig);
  } else if (ending) {
    // Ending already: the host's clean-up waits are cut short; the status stays.
    ssize_t ignored = write(interrupt_pipe[1], "!", 1);
    (void)ignored;
  } else if (!requested_end) {
    request_end(STATUS_SIGNAL_BASE + sig);
  }
  errno = saved_errno;
}

// Without SA_RESTART, so that a blocking read returns EINTR and the run can end. SIGINT and SIGHUP
// that were ignored when oxel started stay ignored, as shells expect of a background job (`&`,
// nohup): a Ctrl-C meant for the foreground job must not end it.
static void install_handlers() {
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  for (int sig : handled_signals) sigaddset(&action.sa_mask, sig);
  for (int sig : handled_signals) {
    struct sigaction before {};
    bool may_stay = sig == SIGINT || sig == SIGHUP;
    if (may_stay && sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
}

void posix_start_run(int time_limit) {
  if (pipe2(interrupt_pipe, O_CLOEXEC | O_NONBLOCK) != 0) interrupt_pipe[0] = interrupt_pipe[1] = -1;
  have_modes = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_modes) == 0;
  sigevent event{};
  event.sigev_notify = SIGEV_SIGNAL;
  event.sigev_signo = SIGALRM;
  have_timer = timer_create(CLOCK_MONOTONIC, &event, &kick_timer) == 0;
  install_handlers();
  time_limit_seconds = time_limit;
  if (time_limit > 0) arm_timer(time_limit, KICK_NANOSECONDS);
}

void plat_run_ending() {
  ending = 1;
  if (have_timer) {
    itimerspec off{};
    timer_settime(kick_timer, 0, &off, nullptr);
  }
}

void plat_run_ended(int status) {
  posix_host_detach(status);
  restore_terminal();
}

void plat_error_line(const char *message) {
  std::fprintf(stderr, "C Interpreter Error: %s\n", message);
  std::fflush(stderr);
}
