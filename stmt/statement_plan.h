// Statement plans. A replayed statement built only of expressions, if, while, for, blocks without
// declarations, return and break is compiled at its first run into a small tree over expression
// plans (eval/plan.h), kept with its first Token; later runs follow the tree instead of the
// tokens and their links. Every other statement, and every statement while a trace is on, runs
// through the statement executor.
#pragma once

struct Token;
struct Value;

// Runs the statement starting at 'start' by its plan and leaves the token stream so that the next
// token read is the first one after the statement. False, with nothing done, without a plan.
bool run_statement_plan(Token *start, Value *value);
