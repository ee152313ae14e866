// The lexer: turns the bytes of the current source file into tokens on demand. It expands macros
// by pushing their bodies back into the input, carries out directives, resolves every name to a
// keyword, a built-in or a Symbol as it reads it, and places string constants in the script arena.
#pragma once
#include "eval/value.h"

struct PlatFile;

// A source file being read, with its read buffer.
struct InputFile;

// What read_char() gives at the end of the input (distinct from every byte).
constexpr int END_OF_INPUT = -256;

extern InputFile *input_handle;  // the file being read; switched by the include machinery
extern int line_counter;         // +1 per CR, +1 per LF after a CR, +2 per lone LF
extern bool line_end_tokens;     // line ends are delivered as tokens (top-level expressions)

// Wraps an opened platform file for reading; null when 'file' is null.
InputFile *input_open(PlatFile *file);
void input_close(InputFile *in);

int lex_token(Value *value);
int read_char();
void unread_char(int c);
// Pushes 'text' back so that it is read next, in its own order; false when it does not fit.
bool unread_text(const char *text);
int read_escape(int c);
// 'c' as a message shows it: line ends, NUL and the end of the input as a blank, so that every
// message stays one line.
int shown_char(int c);
// Counts one line-end character 'c' and pumps messages.
void count_line(int c);
