// The operations of expressions on Values: arithmetic, assignment, increments, subscripts, member
// access and loads of names. The token-walking evaluator and the compiled expression plans both
// apply them, so that the two give the same values and the same reports.
#pragma once
#include "eval/value.h"
#include "source/token.h"

// The object an operand denotes: its script address (0: none), the declared type code it is
// written as, and the type link it was read through (for '&', sizeof and member lookups).
struct Place {
  std::uint32_t addr = 0;
  int type = TY_NONE;
  TypeDesc *td = nullptr;
};

// What a token in operator position does: ends the expression, assigns, is a binary operator of
// its precedence (above 0), or is bad syntax.
enum OperatorRole : std::int8_t { OP_BAD = 0, OP_END = -1, OP_ASSIGN = -2 };
int operator_role(int code);
bool is_postfix(int code);
bool starts_operand(int code);

void set_int_result(Value *v, std::int32_t i);
// Applies binary operator 'op' to v and r; the result lands in v and keeps v's type head.
void binary_operation(int op, Value *v, const Value *r);
void check_assign(const Value *l, const Value *r);
void assign_value(Value *v, const Place &place, Value *r);
// ++ and -- on the object at 'place'; flags bit 0: decrement, bit 1: postfix.
void inc_value(Value *v, const Place &place, int flags);
// '!', '~' or unary '-' applied to v.
void unary_arithmetic(int op, Value *v);
// v takes the type head its 'next' link points to; false (after 401 while executing) without one.
bool follow(Value *v);

// A subscript: the base address of the operand in v (304 when it is no pointer or array), the
// index's check (601), then the element, loaded into v.
std::uint32_t subscript_base(const Value *v, const Place &place);
void check_index(const Value *v, const Value &index);
Place subscript_element(Value *v, std::uint32_t base, const Value &index);
// Member access: the operand must be a struct or union (801); '->' needs a pointer (800).
bool struct_operand(const Value *v);
bool arrow_operand(Value *v, std::uint32_t *base);
Place member_access(Value *v, std::uint32_t base, Symbol *m);
// The operand named by 'sym': a variable's value (and place), a constant, or a function.
Place load_identifier(Value *v, Symbol *sym);
