// The statement executor. In the checking pass (executing clear) it reads a function body once
// from the lexer, checks it, enters labels and writes control links into the recorded Tokens; when
// the function runs it replays the body and every branch, loop turn, dispatch, break and goto is a
// seek to a stored link.
#pragma once
#include "eval/value.h"
#include "source/token.h"

// Control links, by the keyword Token that keeps them:
//   if:     IF_END (first token after the statement), IF_ELSE (first token of the else branch)
//   while:  LOOP_END (first token after the statement)
//   for:    FOR_INIT_END, FOR_COND_END (the two ';'), FOR_STEP_END (the ')'), LOOP_END
//   switch: SWITCH_END (the body's '}'), SWITCH_DEFAULT (the ':' after default),
//           SWITCH_CASES (the ':' of the case label met last)
//   ':' of a case label: CASE_NEXT (the ':' of the label met before it); its value is in imm.
//   break:  BREAK_STRAY (the break itself, for a break outside any loop or switch)
// A for loop runs as:
//   init; FOR_INIT_END: if (!cond) goto LOOP_END; FOR_STEP_END: body; FOR_COND_END: step;
//   goto FOR_INIT_END
// clang-format off
enum LinkSlot {
  IF_END = 0, IF_ELSE = 1,
  FOR_INIT_END = 0, FOR_STEP_END = 1, FOR_COND_END = 2, LOOP_END = 3,
  SWITCH_END = 0, SWITCH_DEFAULT = 1, SWITCH_CASES = 2,
  CASE_NEXT = 1,
  BREAK_STRAY = 0,
};
// clang-format on

extern int stmt_level;      // depth of nested statement activations
extern bool return_flag;    // a return was executed; every statement sequence stops
extern bool break_flag;     // a break was executed; the innermost loop or switch ends
extern Token *goto_target;  // a goto was executed; statements stop until run_body seeks here

// A return, break or goto ran: the statement sequence around it stops.
inline bool stopping() { return return_flag || break_flag || goto_target; }
inline void mark_stray_break(Token *p) { p->jump[BREAK_STRAY] = p; }
inline bool is_stray_break(const Token *p) { return p->jump[BREAK_STRAY] == p; }

// Handles one statement starting with token 'code' (0: read it).
void statement(int code, Value *value);
// The checking pass of a function body whose '{' is the current token.
void check_function_body(Value *value);
