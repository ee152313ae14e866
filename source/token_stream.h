// The token stream: every parser reads tokens through next_token(). Tokens come from the lexer
// (and are appended to the TokenList while recording) or, while replaying, from the TokenList.
// One token can be pushed back. Replaying is the interpreter's hot path, so its common case is
// inline here.
#pragma once
#include "shell/modes.h"
#include "source/lexer.h"
#include "source/token.h"

// The stream's position; only the token stream's functions change it.
struct StreamPosition {
  Token *cursor = nullptr;   // the next Token a replay delivers
  Token *current = nullptr;  // the Token of the token last delivered or recorded
  int code = 0;              // the code of the token last delivered
  bool held = false;         // a token is pushed back
  Token *pushed = nullptr;   // the Token pushed back
  // A token read from the lexer without recording has no Token; it is kept by value (in
  // token_stream.cpp), so that it can be pushed back as well.
  bool current_is_loose = false;
  bool loose_pushed = false;
};
extern StreamPosition stream;

// Whether a replayed token of 'code' hands its Value to the reader.
inline bool token_copies_value(int code) {
  switch (code) {
  case LEX_SYMBOL:
  case LEX_CONSTANT:
  case LEX_BUILTIN:
  case LEX_IF:
  case LEX_FOR:
  case LEX_WHILE: return true;
  default: return false;
  }
}

// next_token() when the token does not come from the TokenList's cursor: from the lexer (recorded
// while recording), the push-back slot, or past the end of a replay.
int next_token_slow(Value *value);

// Delivers the next token: returns its code, copies its Value into 'value' for the codes that
// carry one, makes it the current token and sets line_counter to its line while replaying.
inline int next_token(Value *value) {
  Token *t = stream.cursor;
  if (!replaying || stream.held || !t) return next_token_slow(value);
  stream.current = t;
  line_counter = t->line;
  if (token_copies_value(t->code)) *value = t->value;
  stream.cursor = t->link;
  return stream.code = t->code;
}

// Pushes the current token back; the next next_token() delivers it again, value included.
void unget_token();
inline int current_code() { return stream.code; }
inline Token *tell_token() { return stream.current; }
// The current token's Token, or null while the current token was read without recording.
inline Token *recorded_token() { return stream.current_is_loose ? nullptr : stream.current; }
inline void seek_token(Token *token) {
  stream.current = stream.cursor = token;
  stream.held = stream.loose_pushed = stream.current_is_loose = false;
  stream.pushed = nullptr;
  stream.code = 0;
}

// Ends a replay that began while the lexer was read: reading goes on from the lexer, with
// 'current' the current Token again.
void resume_lexing(Token *current);
void trace_skip(int code);
// While replaying: passes over the token at the cursor without delivering its Value.
inline void skip_token() {
  Token *t = stream.cursor;
  if (!t) {
    stream.code = 0;
    return;
  }
  stream.current = t;
  stream.current_is_loose = false;
  stream.code = t->code;
  stream.cursor = t->link;
  if (trace_lex) trace_skip(t->code);
}
void record_token(int code, const Value *value);
int replay_token(Value *value);
// The next Token a replay delivers.
inline Token *replay_cursor() { return stream.cursor; }
