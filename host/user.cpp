// user.cpp: interactive and unattended users; the functions of user interaction and of the host's
// (absent) windows.
#include "user.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host.h"
#include "io.h"
#include "phonebook.h"
#include "prompt.h"
#include "session.h"

static bool interactive = false;
static std::string answers_path;
static std::string startup_entry;
static int32_t message_timers[2] = {-1, -1};  // message boxes, input prompts (by KT_TIMER_...)
static int window_bits[2];                    // KT_WB_... of the host and phonebook windows (KT_WIN_...)

void user_start(const StartupItems &items) {
  interactive = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  std::string mode = items.mode.empty() ? host_setting("Host", "Mode", "") : items.mode;
  if (same_name(mode, "interactive")) interactive = true;
  else if (same_name(mode, "unattended")) interactive = false;
  else if (!mode.empty()) host_say("mode \"" + mode + "\" is neither interactive nor unattended: ignored");
  answers_path = items.answers.empty() ? host_setting("Host", "Answers", "") : items.answers;
  std::string text;
  if (!answers_path.empty() && !ini_read_file(answers_path, &text))
    host_say("cannot read the answers file " + answers_path + ": " + std::strerror(errno));
  startup_entry = items.entry;
  window_bits[KT_WIN_HOST] = interactive ? KT_WB_VISIBLE | KT_WB_ACTIVE : 0;
  if (interactive) prompt_save_terminal();
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

void user_end() { prompt_restore_terminal(); }

// The answers file's answer for 'title' in 'section' (key '*' for any title), or false.
static bool answer_for(const char *section, const std::string &title, std::string *answer) {
  std::string text;
  if (answers_path.empty() || !ini_read_file(answers_path, &text)) return false;
  for (const IniSection &s : ini_parse(text)) {
    if (!same_name(s.name, section)) continue;
    const std::string *v = s.keys.find(title);
    if (!v) v = s.keys.find("*");
    if (v) *answer = *v;
    return v != nullptr;
  }
  return false;
}

// A timeout of 0 means the message timer of 'which'.
static int32_t prompt_timeout(int32_t timeout, int which) {
  return timeout == 0 ? message_timers[which] : timeout;
}

int32_t ktMessageBox(int32_t text, int32_t title, int32_t buttons, int32_t preset, int32_t timeout,
                     int32_t icon) {
  if (int32_t r = host_enter()) return r;
  std::string_view message, heading;
  bool given;
  if (!arg_string(text, &message) || !arg_optional_string(title, &heading, &given)) return KT_E_BADARG;
  Box box;
  if (!box_make(buttons, preset, icon, &box)) return KT_E_BADARG;
  box.text.assign(message);
  box.title.assign(heading);
  if (interactive) return box_ask(box, prompt_timeout(timeout, KT_TIMER_MESSAGE));
  std::string answer;
  bool answered = answer_for("MessageBox", box.title, &answer);
  return box_unattended(box, answered ? &answer : nullptr);
}

int32_t ktGetInput(int32_t buf, int32_t size16, int32_t flags16, int32_t prompt, int32_t title,
                   int32_t timeout) {
  if (int32_t r = host_enter()) return r;
  std::string_view asked, heading;
  bool given;
  if (!arg_optional_string(prompt, &asked, &given) || !arg_optional_string(title, &heading, &given) ||
      size16 < 1 || flags16 > (KT_IN_HIDDEN | KT_IN_NUMBER | KT_IN_PRESET))
    return KT_E_BADARG;
  char *out = script_buffer(buf, static_cast<uint32_t>(size16));
  if (!out) return KT_E_BADARG;
  Input in{std::string(asked), std::string(heading), flags16, {}};
  if (flags16 & KT_IN_PRESET) in.preset.assign(out, strnlen(out, static_cast<size_t>(size16)));
  std::string line;
  int32_t r;
  if (interactive) {
    r = input_ask(in, prompt_timeout(timeout, KT_TIMER_INPUT), &line);
  } else {
    std::string answer;
    bool answered = answer_for("Input", in.title, &answer);
    r = input_unattended(in, answered ? &answer : nullptr, &line);
  }
  return r < 0 ? r : put_string(buf, size16, line);
}

int32_t ktGetSelectedPhonebookEntry(int32_t title, int32_t buf, int32_t size, int32_t timeout) {
  if (int32_t r = host_enter()) return r;
  std::string_view heading;
  bool given;
  if (!arg_optional_string(title, &heading, &given) || size < 0) return KT_E_BADARG;
  std::string shown = given ? std::string(heading) : "Select a phonebook entry";
  std::vector<std::string> names;
  for (const IniSection &s : phonebook_entries()) names.push_back(s.name);
  int index;
  if (interactive) {
    index = pick_ask(shown, names, startup_entry, timeout);
  } else {
    std::string answer = startup_entry;
    bool answered = answer_for("Select", shown, &answer);
    index = pick_unattended(shown, names, answered || !answer.empty() ? &answer : nullptr);
  }
  if (index < 0) return index;
  int32_t r = put_string(buf, size, names[static_cast<size_t>(index)]);
  return r < 0 ? r : index;
}

int32_t ktSetMessageTimer(int32_t which, int32_t ms) {
  if (int32_t r = host_enter()) return r;
  if (which != KT_TIMER_MESSAGE && which != KT_TIMER_INPUT) return KT_E_BADARG;
  message_timers[which] = ms < 0 ? -1 : ms;
  return KT_OK;
}

static int32_t block_keys(int32_t h, bool blocked) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  s->keys_blocked = blocked;
  return KT_OK;
}

int32_t ktBlockRemoteInput(int32_t h) { return block_keys(h, true); }
int32_t ktReleaseRemoteInput(int32_t h) { return block_keys(h, false); }

static int32_t size_window(int which, int32_t state, int32_t activate) {
  if (int32_t r = host_enter()) return r;
  if (state < KT_WS_RESTORE || state > KT_WS_SHOW || activate < 0 || activate > 1) return KT_E_BADARG;
  int &bits = window_bits[which];
  switch (state) {
  case KT_WS_RESTORE: bits = (bits & KT_WB_ACTIVE) | KT_WB_VISIBLE; break;
  case KT_WS_MINIMIZE: bits = (bits & KT_WB_ACTIVE) | KT_WB_VISIBLE | KT_WB_MINIMIZED; break;
  case KT_WS_MAXIMIZE: bits = (bits & KT_WB_ACTIVE) | KT_WB_VISIBLE | KT_WB_MAXIMIZED; break;
  case KT_WS_HIDE: bits &= ~(KT_WB_VISIBLE | KT_WB_ACTIVE); break;
  case KT_WS_SHOW: bits |= KT_WB_VISIBLE; break;
  }
  if (activate) bits |= KT_WB_ACTIVE | KT_WB_VISIBLE;
  return KT_OK;
}

int32_t ktSizeRavelto(int32_t state, int32_t activate) { return size_window(KT_WIN_HOST, state, activate); }
int32_t ktSizePhonebook(int32_t state, int32_t activate) {
  return size_window(KT_WIN_PHONEBOOK, state, activate);
}

int32_t ktGetWindowStateBits(int32_t which) {
  if (int32_t r = host_enter()) return r;
  if (which != KT_WIN_HOST && which != KT_WIN_PHONEBOOK) return KT_E_BADARG;
  return window_bits[which];
}

int32_t ktGetHWND(int32_t which) {
  if (int32_t r = host_enter()) return r;
  if (which != KT_WIN_HOST && which != KT_WIN_PHONEBOOK) return KT_E_BADARG;
  const char *id = which == KT_WIN_HOST ? std::getenv("WINDOWID") : nullptr;
  return id ? static_cast<int32_t>(std::strtol(id, nullptr, 10)) : 0;
}
