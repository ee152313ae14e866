#include "source/token_stream.h"

#include <new>

#include "shell/diagnostics.h"
#include "shell/driver.h"
#include "source/lexer.h"

bool recording = false;
bool replaying = false;

static Token *list_head = nullptr;
static Token *list_tail = nullptr;
static Token *current = nullptr;
static Token *previous = nullptr;
static Token *pushed = nullptr;
static Token *cursor = nullptr;
static int code_now = LEX_NULL;

// A token read from the lexer without recording has no Token; it is kept here by value so that
// it can be pushed back as well.
static Token loose;
static bool current_is_loose = false;
static bool loose_pushed = false;

Token *token_list_head() { return list_head; }

void token_stream_reset() {
  current = previous = pushed = cursor = nullptr;
  code_now = LEX_NULL;
  current_is_loose = loose_pushed = false;
  recording = replaying = false;
}

static bool never_recorded(int code) {
  return code == LEX_LIST || code == LEX_RUN || code == LEX_EOF;
}

int replay_token(Value *value) {
  Token *t = cursor;
  if (!t) return LEX_NULL;
  current = t;
  current_is_loose = false;
  line_counter = t->line;
  switch (t->code) {
  case LEX_SYMBOL: case LEX_CONSTANT: case LEX_BUILTIN: case LEX_IF: case LEX_FOR: case LEX_WHILE:
    *value = t->value;
    break;
  default: break;
  }
  cursor = t->link;
  return t->code;
}

int next_token(Value *value) {
  if (loose_pushed) {
    loose_pushed = false;
    current_is_loose = true;
    *value = loose.value;
    return code_now = loose.code;
  }
  if (pushed) {
    current = pushed;
    pushed = nullptr;
    current_is_loose = false;
    *value = current->value;
    return code_now = current->code;
  }
  if (replaying) return code_now = replay_token(value);
  code_now = lex_token(value);
  if (recording && !never_recorded(code_now)) {
    record_token(code_now, value);
    current_is_loose = false;
  } else {
    loose.code = code_now;
    loose.value = *value;
    current_is_loose = true;
  }
  return code_now;
}

void unget_token() {
  if (current_is_loose) {
    loose_pushed = true;
    return;
  }
  pushed = current;
  current = previous;
}

int current_code() { return code_now; }

Token *tell_token() { return current; }

Token *replay_cursor() { return cursor; }

void seek_token(Token *token) {
  current = cursor = token;
  pushed = nullptr;
  loose_pushed = current_is_loose = false;
  code_now = LEX_NULL;
}

void skip_token() {
  Token *t = cursor;
  if (!t) {
    code_now = LEX_NULL;
    return;
  }
  current = t;
  current_is_loose = false;
  code_now = t->code;
  cursor = t->link;
  if (trace_lex) trace_message(MSG_SKIPPING_TOKEN, token_name(t->code));
}

// Tokens are appended at the tail of the list, wherever the current Token stands after a replay.
void record_token(int code, const Value *value) {
  previous = current;
  if (never_recorded(code)) return;
  Token *t = new (std::nothrow) Token;
  if (!t) {
    error(MSG_OUT_OF_MEMORY);
    return;
  }
  t->line = line_counter;
  t->code = code;
  t->value = *value;
  if (list_tail) list_tail->link = t;
  else list_head = t;
  list_tail = t;
  current = t;
}
