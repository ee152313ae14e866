// user.cpp: interactive and unattended users; the functions of user interaction.
#include "user.h"

#include <cerrno>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "host.h"
#include "phonebook.h"

static bool interactive = false;
static std::string answers_path;

void user_start(const StartupItems &items) {
  interactive = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  std::string mode = items.mode.empty() ? host_setting("Host", "Mode", "") : items.mode;
  if (same_name(mode, "interactive")) interactive = true;
  else if (same_name(mode, "unattended")) interactive = false;
  answers_path = items.answers.empty() ? host_setting("Host", "Answers", "") : items.answers;
}

bool user_interactive() { return interactive; }

bool user_key_waiting() {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  return interactive && poll(&p, 1, 0) > 0;
}

void user_take_key() {
  char key;
  if (read(STDIN_FILENO, &key, 1) < 0) note_errno(errno);
}

void user_end() {}
