// Register code: the compiled form of a function body. At a function's first call (no trace on,
// compiled code not turned off) its checked, recorded body is compiled once into a flat array of
// typed instructions whose operands are frame slots, arena offsets of globals, constants and
// temporary registers; from then on every call runs that array instead of replaying tokens. The
// expression trees (eval/expression_tree.h) are the front end, so that the grouping rules stay
// those of the walker.
//
// Ints, chars, shorts, pointers, doubles and floats compile, in variables and through memory,
// and so do casts to them, sizeof and calls whose results are proved to be words or doubles; what
// the compiler cannot type (struct copies, a read through a call's result whose pointee only the
// running code knows, ...) still runs inside the compiled body, through the walker: an expression
// by the token-walking evaluator, a statement by the statement executor. Labels compile when they are
// statements of the body's own block (a body with a label anywhere else is not compiled), and a goto is a
// jump. Every operation that can report takes a slow path that reports as the walker does, with line_counter
// set from the instruction's line, so that values, messages and lines are the walker's.
#pragma once

struct Symbol;
struct Value;

// Runs the body of 'fn', whose frame call_function has just set up, as register code; false, with
// nothing run, when the body does not compile or its frame does not lie inside the arena. True
// after the body ended: 'v' holds the returned value, and return_flag is set when a return ran
// (clear when the body ran to its end).
bool run_compiled_body(Symbol *fn, Value *v);
