// prompt.h: message boxes, input prompts and the entry picker, asked on the terminal (standard
// error, answered from standard input) or answered unattended, each answer then told on standard
// error as one line "host: message box "TITLE": OK (unattended)".
#ifndef HOST_PROMPT_H
#define HOST_PROMPT_H

#include <cstdint>
#include <string>
#include <vector>

struct Box {
  std::string text, title;
  std::vector<int> answers;  // the buttons' answer ids (1 OK ... 7 No)
  int preset;                // the default answer id
  int icon;                  // 0 none, 1 info, 2 warning, 3 error, 4 question
};

// The buttons, default and icon of ktMessageBox: false when one is out of range.
bool box_make(int32_t buttons, int32_t preset, int32_t icon, Box *box);
// The answer id; the default when the timeout (ms, -1 none) passes; KT_E_CANCELLED on Escape or
// at the end of input.
int32_t box_ask(const Box &box, int32_t timeout);
// The answer of the answers file (null: none), else the default.
int32_t box_unattended(const Box &box, const std::string *answer);

struct Input {
  std::string prompt, title;
  int flags;           // KT_IN_...
  std::string preset;  // the default with KT_IN_PRESET
};

// A line into *line: KT_OK, KT_E_CANCELLED, or KT_E_TIMEOUT when no preset stands in.
int32_t input_ask(const Input &in, int32_t timeout, std::string *line);
int32_t input_unattended(const Input &in, const std::string *answer, std::string *line);

// An index into 'names', or KT_E_CANCELLED; a timeout takes the entry 'preset' (empty: none).
int pick_ask(const std::string &title, const std::vector<std::string> &names, const std::string &preset,
             int32_t timeout);
int pick_unattended(const std::string &title, const std::vector<std::string> &names,
                    const std::string *answer);

// The terminal's modes when the run started, given back at its end.
void prompt_save_terminal();
void prompt_restore_terminal();

#endif
