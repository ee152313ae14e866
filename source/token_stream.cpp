#include "source/token_stream.h"

#include <new>

#include "shell/blocks.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "source/lexer.h"

StreamPosition stream;

static Token *list_tail = nullptr;
static Token *previous = nullptr;

// Tokens live to the end of the run (with the trees and tags they hold).
static Blocks<Token, 256> tokens;

static Token *new_token() { return tokens.take(); }

static Token loose;

static bool never_recorded(int code) { return code == LEX_LIST || code == LEX_RUN || code == LEX_EOF; }

int replay_token(Value *value) {
  Token *t = stream.cursor;
  if (!t) return LEX_NULL;
  stream.current = t;
  stream.current_is_loose = false;
  line_counter = t->line;
  if (token_copies_value(t->code)) *value = t->value;
  stream.cursor = t->link;
  return t->code;
}

int next_token_slow(Value *value) {
  stream.held = false;
  if (stream.loose_pushed) {
    stream.loose_pushed = false;
    stream.current_is_loose = true;
    *value = loose.value;
    return stream.code = loose.code;
  }
  if (stream.pushed) {
    stream.current = stream.pushed;
    stream.pushed = nullptr;
    stream.current_is_loose = false;
    *value = stream.current->value;
    return stream.code = stream.current->code;
  }
  if (replaying) return stream.code = replay_token(value);
  int code = lex_token(value);
  stream.code = code;
  if (recording && !never_recorded(code)) {
    record_token(code, value);
    stream.current_is_loose = false;
  } else {
    loose.code = code;
    loose.value = *value;
    stream.current_is_loose = true;
  }
  return code;
}

void unget_token() {
  stream.held = true;
  if (stream.current_is_loose) {
    stream.loose_pushed = true;
    return;
  }
  stream.pushed = stream.current;
  stream.current = previous;
}

void resume_lexing(Token *current) {
  replaying = false;
  stream.current = current;
}

void trace_skip(int code) { trace_message(MSG_SKIPPING_TOKEN, token_name(code)); }

// Tokens are appended at the tail of the list, wherever the current Token stands after a replay.
void record_token(int code, const Value *value) {
  previous = stream.current;
  if (never_recorded(code)) return;
  Token *t = new_token();
  if (!t) {
    error(MSG_OUT_OF_MEMORY);
    return;
  }
  t->line = line_counter;
  t->code = code;
  t->value = *value;
  if (list_tail) list_tail->link = t;
  list_tail = t;
  stream.current = t;
}
