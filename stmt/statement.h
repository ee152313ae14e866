// The statement executor. In the checking pass (executing clear) it reads a function body once
// from the lexer, checks it, enters labels and writes control links into the recorded Tokens; when
// the function runs it replays the body and every branch, loop turn, dispatch, break and goto is a
// seek to a stored link.
#pragma once
#include "eval/value.h"

struct Token;

extern int stmt_level;       // depth of nested statement activations
extern bool return_flag;     // a return was executed; every statement sequence stops
extern bool break_flag;      // a break was executed; the innermost loop or switch ends
extern Token *goto_target;   // a goto was executed; statements stop until run_body seeks here

// Handles one statement starting with token 'code' (0: read it).
void statement(int code, Value *value);
// The checking pass of a function body whose '{' is the current token.
void check_function_body(Value *value);
