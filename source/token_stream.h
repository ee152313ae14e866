// The token stream: every parser reads tokens through next_token(). Tokens come from the lexer
// (and are appended to the TokenList while recording) or, while replaying, from the TokenList.
// One token can be pushed back.
#pragma once
#include "source/token.h"

extern bool recording;  // tokens delivered fresh by the lexer are appended to the TokenList
extern bool replaying;  // tokens come from the TokenList (set by calls of script functions)

int next_token(Value *value);
// Pushes the current token back; the next next_token() delivers it again, value included.
void unget_token();
int current_code();
Token *tell_token();
void seek_token(Token *token);
void skip_token();
void record_token(int code, const Value *value);
int replay_token(Value *value);
// The next Token a replay delivers.
Token *replay_cursor();
// The first Token of the TokenList.
Token *token_list_head();
// Empties the stream state (for tests); the TokenList itself is kept.
void token_stream_reset();
