// prompt.cpp: the user's prompts on the terminal and unattended.
#include "prompt.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "host.h"
#include "io.h"
#include "phonebook.h"

// By KT_ID_..., KT_MB_... and KT_ICON_...
static const char *const answer_names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
static const int button_sets[][3] = {{KT_ID_OK},
                                     {KT_ID_OK, KT_ID_CANCEL},
                                     {KT_ID_ABORT, KT_ID_RETRY, KT_ID_IGNORE},
                                     {KT_ID_YES, KT_ID_NO, KT_ID_CANCEL},
                                     {KT_ID_YES, KT_ID_NO},
                                     {KT_ID_RETRY, KT_ID_CANCEL}};
static const char *const icon_tags[] = {"", "[info] ", "[warning] ", "[error] ", "[question] "};
constexpr char ESCAPE = 0x1b;

static termios saved_modes;
static bool modes_saved = false;

void prompt_save_terminal() { modes_saved = tcgetattr(STDIN_FILENO, &saved_modes) == 0; }

void prompt_restore_terminal() {
  if (modes_saved) tcsetattr(STDIN_FILENO, TCSANOW, &saved_modes);
}

static void say(const std::string &text) {
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

bool box_make(int32_t buttons, int32_t preset, int32_t icon, Box *box) {
  if (buttons < KT_MB_OK || buttons > KT_MB_RETRYCANCEL || icon < KT_ICON_NONE || icon > KT_ICON_QUESTION)
    return false;
  for (int id : button_sets[buttons])
    if (id) box->answers.push_back(id);
  box->preset = preset == 0 ? box->answers[0] : preset;
  box->icon = icon;
  for (int id : box->answers)
    if (id == box->preset) return true;
  return false;
}

static void tell_unattended(const char *what, const std::string &title, const std::string &answer) {
  host_say(std::string(what) + " \"" + title + "\": " + answer + " (unattended)");
}

int32_t box_unattended(const Box &box, const std::string *answer) {
  int chosen = box.preset;
  for (int id : box.answers)
    if (answer && same_name(*answer, answer_names[id])) chosen = id;
  tell_unattended("message box", box.title, answer_names[chosen]);
  return chosen;
}

// Reads one byte from the terminal, servicing the sessions meanwhile: the byte, -1 at the end of
// input, or a KT_E_... (timeout, interrupt) as a negative value below -1.
static int read_key(int32_t timeout) {
  WaitResult r = io_wait(
      deadline_after(timeout),
      [](int64_t, int64_t *) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        return poll(&p, 1, 0) > 0;
      },
      true, STDIN_FILENO);
  if (r == WAIT_CANCELLED) return KT_E_CANCELLED;
  if (r == WAIT_TIMEOUT) return KT_E_TIMEOUT;
  unsigned char c;
  return read(STDIN_FILENO, &c, 1) == 1 ? c : -1;
}

// The terminal without line editing and echo (a box's key), or without echo (hidden input).
static void terminal_mode(bool single_key, bool echo) {
  termios t;
  if (tcgetattr(STDIN_FILENO, &t) != 0) return;
  if (single_key) t.c_lflag &= ~ICANON;
  else t.c_lflag |= ICANON;
  if (echo) t.c_lflag |= ECHO;
  else t.c_lflag &= ~ECHO;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &t);
}

static char lower(int c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }

static std::string box_text(const Box &box) {
  std::string text =
      std::string(icon_tags[box.icon]) + box.title + (box.title.empty() ? "" : ": ") + box.text + "\n";
  for (int id : box.answers) {
    text += id == box.preset ? "[" : " ";
    text += std::string("(") + answer_names[id][0] + ")" + (answer_names[id] + 1);
    text += id == box.preset ? "] " : "  ";
  }
  return text + "? ";
}

int32_t box_ask(const Box &box, int32_t timeout) {
  terminal_mode(true, false);  // before the question, so that no quick answer is echoed
  say(box_text(box));
  int32_t chosen = 0;
  while (!chosen) {
    int c = read_key(timeout);
    if (c == KT_E_TIMEOUT || c == '\r' || c == '\n') chosen = box.preset;
    else if (c < 0 || c == ESCAPE) chosen = KT_E_CANCELLED;
    for (int id : box.answers)
      if (c > 0 && lower(c) == lower(answer_names[id][0])) chosen = id;
  }
  prompt_restore_terminal();
  say(chosen > 0 ? std::string(answer_names[chosen]) + "\n" : "\n");
  return chosen;
}

static bool digits_only(const std::string &s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int32_t input_unattended(const Input &in, const std::string *answer, std::string *line) {
  bool hidden = in.flags & KT_IN_HIDDEN;
  if (answer) *line = *answer;
  else if (in.flags & KT_IN_PRESET) *line = in.preset;
  bool have = answer || (in.flags & KT_IN_PRESET);
  tell_unattended("input", in.title, !have ? "cancelled" : hidden ? "\"****\"" : "\"" + *line + "\"");
  return have ? KT_OK : KT_E_CANCELLED;
}

// One line from the terminal (without its line end): KT_OK, KT_E_CANCELLED, KT_E_TIMEOUT.
static int32_t read_line(int32_t timeout, std::string *line) {
  line->clear();
  int64_t deadline = deadline_after(timeout);
  for (;;) {
    int32_t left = deadline < 0 ? -1 : static_cast<int32_t>(std::max<int64_t>(deadline - now_ms(), 0));
    int c = read_key(left);
    if (c == '\n' || c == '\r') return KT_OK;
    if (c == -1) return KT_E_CANCELLED;
    if (c < -1) return c;
    *line += static_cast<char>(c);
  }
}

int32_t input_ask(const Input &in, int32_t timeout, std::string *line) {
  bool preset = in.flags & KT_IN_PRESET;
  for (;;) {
    terminal_mode(false, !(in.flags & KT_IN_HIDDEN));
    say((in.title.empty() ? "" : in.title + ": ") + in.prompt + (preset ? " [" + in.preset + "]" : "") + " ");
    int32_t r = read_line(timeout, line);
    prompt_restore_terminal();
    if (in.flags & KT_IN_HIDDEN) say("\n");
    if (r == KT_E_TIMEOUT && preset) *line = in.preset;
    else if (r) return r;
    if (line->empty() && preset) *line = in.preset;
    if (!(in.flags & KT_IN_NUMBER) || digits_only(*line)) return KT_OK;
  }
}

// The index of the entry named 'name' (case ignored), or -1.
static int entry_index(const std::vector<std::string> &names, const std::string &name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (same_name(names[i], name)) return static_cast<int>(i);
  return -1;
}

int pick_unattended(const std::string &title, const std::vector<std::string> &names,
                    const std::string *answer) {
  int index = answer ? entry_index(names, *answer) : -1;
  tell_unattended("select", title, index < 0 ? "cancelled" : names[static_cast<size_t>(index)]);
  return index < 0 ? KT_E_CANCELLED : index;
}

int pick_ask(const std::string &title, const std::vector<std::string> &names, const std::string &preset,
             int32_t timeout) {
  std::string text = title + "\n";
  for (size_t i = 0; i < names.size(); ++i) text += "  " + std::to_string(i + 1) + " " + names[i] + "\n";
  for (;;) {
    terminal_mode(false, true);
    say(text + "number or name: ");
    std::string line;
    int32_t r = read_line(timeout, &line);
    prompt_restore_terminal();
    if (r == KT_E_TIMEOUT && entry_index(names, preset) >= 0) return entry_index(names, preset);
    if (r || line.empty()) return KT_E_CANCELLED;
    int index = digits_only(line) ? std::atoi(line.c_str()) - 1 : entry_index(names, line);
    if (index >= 0 && index < static_cast<int>(names.size())) return index;
  }
}
