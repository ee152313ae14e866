// keyboard.cpp: the user's keys during waits.
#include "keyboard.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "host.h"
#include "io.h"
#include "session.h"
#include "user.h"

constexpr char ESCAPE_KEY = 0x1d;  // Ctrl-]
constexpr int QUIT_STATUS = 130;

static termios cooked;
static bool raw = false;

bool keyboard_active() { return user_interactive() && isatty(STDIN_FILENO); }

bool keyboard_raw(bool on) {
  bool before = raw;
  if (on == raw || !keyboard_active()) return before;
  if (on) {
    if (tcgetattr(STDIN_FILENO, &cooked) != 0) return before;
    termios t = cooked;
    t.c_lflag &= ~(ICANON | ECHO | IEXTEN);
    t.c_iflag &= ~(IXON | ICRNL | INLCR);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &t);
  } else {
    tcsetattr(STDIN_FILENO, TCSANOW, &cooked);
  }
  raw = on;
  return before;
}

// The escape prompt: false when the call is to be aborted.
static bool escape_prompt() {
  std::fputs("\r\nhost: (c)ontinue, (a)bort the call, (q)uit the script? ", stderr);
  std::fflush(stderr);
  for (;;) {
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {host_interrupt_fd(), POLLIN, 0}};
    if (poll(fds, host_interrupt_fd() >= 0 ? 2 : 1, -1) < 0) continue;
    char key;
    if (fds[1].revents || read(STDIN_FILENO, &key, 1) != 1) return false;
    std::fputs("\r\n", stderr);
    if (key == 'c') return true;
    if (key == 'a') return false;
    if (key == 'q') {
      keyboard_raw(false);
      host_interface->end_run(QUIT_STATUS);
    }
    std::fputs("host: (c)ontinue, (a)bort the call, (q)uit the script? ", stderr);
    std::fflush(stderr);
  }
}

bool keyboard_service() {
  char keys[256];
  ssize_t n = read(STDIN_FILENO, keys, sizeof keys);
  if (n <= 0) return true;
  int32_t error;
  Session *s = session_find(0, &error);
  std::string_view typed(keys, static_cast<size_t>(n));
  size_t escape = typed.find(ESCAPE_KEY);
  std::string_view to_send = typed.substr(0, escape);
  if (s && s->local_display && !s->keys_blocked && s->status == KT_ST_CONNECTED && !to_send.empty())
    io_send(*s, to_send);
  return escape == std::string_view::npos || escape_prompt();
}
