// Expression plans. The first time a replayed expression runs, its recorded tokens are parsed once
// more into a small tree of operations, kept with the expression's first Token; later runs apply
// the same operations (eval/operations.h) without reading a token. Expressions with constructs the
// plans do not cover (casts, sizeof, ...) keep running through the token-walking evaluator, as
// do all expressions while the expression trace is on.
#pragma once

struct Token;
struct Value;

// Evaluates the expression starting at 'start' into 'v' by its plan and leaves the token stream
// where the token-walking evaluator leaves it (the token that ended the expression current).
// False, with nothing done, when the expression has no plan.
bool run_plan(Token *start, Value *v);

struct Plan;
// The plan of the expression starting at 'start', made now if it has none yet; null when the
// expression has no plan.
const Plan *expression_plan(Token *start);
// The token that ends the planned expression.
Token *plan_end(const Plan *plan);
// Evaluates a plan into 'v' without moving the token stream.
void evaluate_plan(const Plan *plan, Value *v);
