// The operations of expressions on Values: arithmetic, assignment, increments, subscripts, member
// access and loads of names, as the token-walking evaluator applies them. The register code
// (eval/register_code.h) shares the integer division and the conversions, so that both give the
// same values and the same reports.
#pragma once
#include "eval/value.h"
#include "shell/diagnostics.h"
#include "source/token.h"

// The object an operand denotes: its script address, the declared type code it is written as,
// and the type link it was read through (for '&', sizeof and member lookups). An operand that
// denotes no object has no link; an object's address can be anything a pointer holds, 0 included.
struct Place {
  std::uint32_t addr = 0;
  int type = TY_NONE;
  TypeDesc *td = nullptr;

  bool object() const { return td != nullptr; }
};

// Whether the scalar object at 'place' lies outside the arena. An object is loaded when it is
// read as an operand, and that load has reported 102 already: a store or an increment of it is
// skipped without a second report.
inline bool outside_arena(const Place &place) {
  int size = scalar_size(place.type);
  return size > 0 && !arena_ptr(place.addr, static_cast<std::uint32_t>(size));
}

// What a token in operator position does: ends the expression, assigns, is a binary operator of
// its precedence (above 0), or is bad syntax.
enum OperatorRole : std::int8_t { OP_BAD = 0, OP_END = -1, OP_ASSIGN = -2 };
int operator_role(int code);
bool is_postfix(int code);
bool starts_operand(int code);

// Reports message 'id' (for the inline operations here).
void report(int id);

void set_int_result(Value *v, std::int32_t i);

std::int32_t integer_divide(std::int32_t a, std::int32_t b);

// Integer operators on signed 32-bit values that wrap.
inline void integer_operation(int op, Value *v, std::int32_t b) {
  std::int32_t a = v->imm.i;
  std::uint32_t ua = static_cast<std::uint32_t>(a);
  std::uint32_t ub = static_cast<std::uint32_t>(b);
  std::int32_t &r = v->imm.i;
  switch (op) {
  case '+': r = static_cast<std::int32_t>(ua + ub); break;
  case '-': r = static_cast<std::int32_t>(ua - ub); break;
  case '*': r = static_cast<std::int32_t>(ua * ub); break;
  case '/': r = integer_divide(a, b); break;
  case '&': r = a & b; break;
  case '^': r = a ^ b; break;
  case '|': r = a | b; break;
  case LEX_SHL: r = static_cast<std::int32_t>(ua << (ub & 31)); break;
  case LEX_SHR: r = a >> (ub & 31); break;
  case '<': r = a < b; break;
  case '>': r = a > b; break;
  case LEX_LE: r = a <= b; break;
  case LEX_GE: r = a >= b; break;
  case LEX_EQ: r = a == b; break;
  case LEX_NE: r = a != b; break;
  default: break;
  }
}

// A binary operator with a floating operand.
void mixed_operation(int op, Value *v, const Value *r);

// Applies binary operator 'op' to v and r; the result lands in v and keeps v's type head.
inline void binary_operation(int op, Value *v, const Value *r) {
  if (is_floating(v->type) || is_floating(r->type)) mixed_operation(op, v, r);
  else integer_operation(op, v, r->imm.i);
}
void check_assign(const Value *l, const Value *r);
// '=' with the left operand in v at 'place' and the right side evaluated into 'r': the value is the
// right side converted to the left side's declared type, as it is stored.
inline void assign_value(Value *v, const Place &place, Value *r) {
  if (!place.object()) {
    report(MSG_BAD_LVALUE);
    return;
  }
  if (!executing) {
    check_assign(v, r);
    return;
  }
  if (!outside_arena(place)) mem_store(r, place.addr, place.type);
  convert_value(r, place.type);
  v->imm = r->imm;
  v->ext = r->ext;
}
// ++ and -- on the object at 'place'; flags bit 0: decrement, bit 1: postfix. The common case of
// a word-sized integer is handled here.
void inc_value_any(Value *v, const Place &place, int flags);
inline void inc_value(Value *v, const Place &place, int flags) {
  std::uint8_t *p;
  if (is_word_type(place.type) && v->type == place.type && executing && !trace_exp &&
      (p = arena_ptr(place.addr, 4))) {
    std::uint32_t step = place.type == TY_PTR && v->next ? static_cast<std::uint32_t>(td_size(v->next)) : 1u;
    std::int32_t old;
    std::memcpy(&old, p, 4);
    std::int32_t now =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(old) + ((flags & 1) ? 0u - step : step));
    std::memcpy(p, &now, 4);
    v->imm.i = (flags & 2) ? old : now;
    return;
  }
  inc_value_any(v, place, flags);
}
// '!', '~' or unary '-' applied to v.
void unary_arithmetic(int op, Value *v);
// '&' of the operand at 'place' (305 when it is no object): v becomes a pointer to it.
void address_of(Value *v, const Place &place);
// '*' of the pointer in v (302 for other operands): v becomes the object it points to.
Place dereference(Value *v);

// v takes the type head its 'next' link points to; false (after 401 while executing) without one.
inline bool follow(Value *v) {
  if (v->next) {
    v->set_head(*v->next);
    return true;
  }
  if (executing) report(MSG_UNKNOWN_TYPE);
  return false;
}

// A subscript: the base address of the operand in v (304 when it is no pointer or array), the
// index's check (601), then the element, loaded into v.
void bad_subscript(const Value *v);
void bad_index(const Value *v);
inline std::uint32_t subscript_base(const Value *v, const Place &place) {
  if (v->type == TY_PTR) return static_cast<std::uint32_t>(v->imm.i);
  if (v->type != TY_ARRAY) bad_subscript(v);
  return place.addr;
}
// An index is an int. The checking pass loads no variable, so a char or short index keeps its
// own code there, where the running pass has loaded it as an int: such codes are taken too.
inline void check_index(const Value *v, const Value &index) {
  if (index.type != TY_INT && (index.type < TY_CHAR || index.type > TY_USHORT)) bad_index(v);
}
inline Place subscript_element(Value *v, std::uint32_t base, const Value &index) {
  TypeDesc *element = v->next;
  if (!follow(v)) return Place{};
  if (trace_exp) trace_printf("array ref (%x)[%d]\n", base, index.imm.i);
  std::uint32_t addr =
      base + static_cast<std::uint32_t>(td_size(element)) * static_cast<std::uint32_t>(index.imm.i);
  mem_load(v, addr, v->type);
  return Place{addr, element->type, element};
}
// Member access: the operand must be a struct or union (801); '->' needs a pointer (800).
inline bool struct_operand(const Value *v) {
  if (v->type == TY_STRUCT || v->type == TY_UNION) return true;
  report(MSG_DOT_NEEDS_STRUCT);
  return false;
}
inline bool arrow_operand(Value *v, std::uint32_t *base) {
  if (v->type != TY_PTR) {
    report(MSG_ARROW_NEEDS_POINTER);
    return false;
  }
  *base = static_cast<std::uint32_t>(v->imm.i);
  return follow(v);
}
inline Place member_access(Value *v, std::uint32_t base, Symbol *m) {
  std::uint32_t addr = base + static_cast<std::uint32_t>(m->offset);
  v->set_head(*m);
  if (m->type != TY_STRUCT && m->type != TY_UNION) mem_load(v, addr, m->type);
  else v->imm.i = static_cast<std::int32_t>(addr);
  return Place{addr, m->type, m};
}
// The operand named by 'sym': a variable's value (and place), a constant, or a function.
Place load_identifier(Value *v, Symbol *sym);
