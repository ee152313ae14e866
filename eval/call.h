// Calls of script functions and built-ins. A script call pushes its arguments on the call stack
// in the script arena and replays the callee's recorded body; a built-in call gathers its
// arguments as 32-bit words and calls the row's adapter with 13 of them.
#pragma once
#include "eval/value.h"

// Words of the built-in argument area.
constexpr int BUILTIN_ARG_WORDS = 32;
// Script calls that can be in progress at once (one resume point each).
constexpr int MAX_CALL_DEPTH = 31;

extern int call_depth;

// The call at '(' of the script function 'fn' (null when the callee is no function); the
// arguments are read up to ')' and the result lands in 'v'.
void script_call(Symbol *fn, const char *name, Value *v);
void call_function(Symbol *fn, Value *v);
void run_body(Value *v);
// The call at '(' of built-in row 'index'; the result lands in 'v'.
void call_builtin(int index, Value *v);

// The argument words of the built-in calls under way (the walker reads a call's arguments before
// it makes it, so calls inside arguments add theirs above).
extern int builtin_argc;
// The call of built-in row 'index' with its arguments evaluated, given as words (the register
// code's calls).
void builtin_with_words(int index, const std::int32_t *words, int count, Value *v);
