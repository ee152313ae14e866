#include "eval/expression.h"

#include "builtins/builtin_table.h"
#include "decl/declaration.h"
#include "decl/symbols.h"
#include "eval/call.h"
#include "shell/diagnostics.h"
#include "shell/driver.h"
#include "source/lexer.h"
#include "source/token_stream.h"

void syntax_error(int code) { error(MSG_BAD_SYNTAX, token_name(code)); }

void expect_token(int code) {
  if (current_code() != code) syntax_error(current_code());
}

static int precedence(int code) {
  switch (code) {
  case '(': case '.': case '[': case LEX_ARROW: return 15;
  case '!': case '~': case LEX_INC: case LEX_DEC: case LEX_ADDR: case LEX_DEREF: case LEX_SIZEOF:
    return 14;
  case '*': case '/': case '%': return 13;
  case '+': case '-': return 12;
  case LEX_SHL: case LEX_SHR: return 11;
  case '<': case '>': case LEX_LE: case LEX_GE: return 10;
  case LEX_EQ: case LEX_NE: return 9;
  case '&': return 8;
  case '^': return 7;
  case '|': return 6;
  case LEX_ANDAND: return 5;
  case LEX_OROR: return 4;
  case '?': return 3;
  case '=': return 2;
  default: return 0;
  }
}

// What a token in operator position does: ends the expression, assigns, is a binary operator of
// its precedence, or is bad syntax.
enum OperatorRole : std::int8_t { OP_BAD = 0, OP_END = -1, OP_ASSIGN = -2 };

static std::int8_t operator_role(int code) {
  switch (code) {
  case '\n': case '\r': case '(': case ')': case ',': case ':': case ';': case ']': case LEX_EOF:
    return OP_END;
  case '=': return OP_ASSIGN;
  case '*': case '/': case '+': case '-': case LEX_SHL: case LEX_SHR: case '<': case '>':
  case LEX_LE: case LEX_GE: case LEX_EQ: case LEX_NE: case '&': case '^': case '|':
    return static_cast<std::int8_t>(precedence(code));
  default: return OP_BAD;
  }
}

// operator_role for every code from 0 to 255 (other codes are bad syntax).
static const struct RoleTable {
  std::int8_t role[256];
  RoleTable() {
    for (int c = 0; c < 256; ++c) role[c] = operator_role(c);
  }
} roles;

static void set_int_result(Value *v, std::int32_t i) {
  v->type = TY_INT;
  v->next = nullptr;
  v->aux = 0;
  v->imm.i = i;
}

// Integer operators on signed 32-bit values that wrap.
static void integer_operation(int op, Value *v, std::int32_t b) {
  std::int32_t a = v->imm.i;
  std::uint32_t ua = static_cast<std::uint32_t>(a);
  std::uint32_t ub = static_cast<std::uint32_t>(b);
  std::int32_t &r = v->imm.i;
  switch (op) {
  case '+': r = static_cast<std::int32_t>(ua + ub); break;
  case '-': r = static_cast<std::int32_t>(ua - ub); break;
  case '*': r = static_cast<std::int32_t>(ua * ub); break;
  case '/':
    if (b == 0) {
      // Division by zero gives 0; the running pass reports it.
      if (executing) error(MSG_BAD_OPERAND, "/");
      r = 0;
    } else if (b == -1) {
      r = static_cast<std::int32_t>(0u - ua);
    } else {
      r = a / b;
    }
    break;
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

// Floating operators; comparisons give a TY_INT 1 or 0.
static void floating_operation(int op, Value *v, double b) {
  double a = v->imm.d;
  switch (op) {
  case '+': v->imm.d = a + b; break;
  case '-': v->imm.d = a - b; break;
  case '*': v->imm.d = a * b; break;
  case '/': v->imm.d = a / b; break;
  case '<': set_int_result(v, a < b); break;
  case '>': set_int_result(v, a > b); break;
  case LEX_LE: set_int_result(v, a <= b); break;
  case LEX_GE: set_int_result(v, a >= b); break;
  case LEX_EQ: set_int_result(v, a == b); break;
  case LEX_NE: set_int_result(v, a != b); break;
  default: break;
  }
}

static bool integer_only(int op) {
  return op == '&' || op == '^' || op == '|' || op == LEX_SHL || op == LEX_SHR;
}

// Applies binary operator 'op' to v and r; the result lands in v and keeps v's type head.
static void binary_operation(int op, Value *v, const Value *r) {
  bool vf = is_floating(v->type);
  bool rf = is_floating(r->type);
  if ((vf || rf) && integer_only(op)) {
    error(MSG_NON_INTEGRAL_OPERAND);
    return;
  }
  if (rf && !vf) {
    v->imm.d = static_cast<double>(v->imm.i);
    v->type = TY_DOUBLE;
    vf = true;
  }
  if (vf) floating_operation(op, v, rf ? r->imm.d : static_cast<double>(r->imm.i));
  else integer_operation(op, v, r->imm.i);
}

static void pointer_check(const Value *l, const Value *r) {
  if (chains_match(l->next, r->next)) return;
  error(MSG_TYPE_MISMATCH, "");
  if (trace_exp) {
    trace_printf("lhs:");
    print_td_chain(l->next);
    trace_printf("rhs:");
    print_td_chain(r->next);
  }
}

void check_assign(const Value *l, const Value *r) {
  switch (l->type) {
  case TY_PTR:
    if (r->type == TY_PTR || r->type == TY_ARRAY) pointer_check(l, r);
    else if (r->type != TY_INT && r->imm.i != 0) error(MSG_TYPE_MISMATCH, "");
    break;
  case TY_ENUM: case TY_STRUCT: case TY_UNION:
    if (r->type != l->type || r->aux != l->aux) error(MSG_TYPE_MISMATCH, "");
    break;
  case TY_ARRAY: error(MSG_BAD_LVALUE); break;
  default: break;
  }
}

// '=' with the left operand in v at 'place': the value is the right side converted to the left
// side's declared type, as it is stored.
static void assignment(Value *v, const Place &place) {
  Value r;
  expression(0, &r, 2);
  if (!place.addr) {
    error(MSG_BAD_LVALUE);
    return;
  }
  if (!executing) {
    check_assign(v, &r);
    return;
  }
  mem_store(&r, place.addr, place.type);
  convert_value(&r, place.type);
  v->imm = r.imm;
  v->ext = r.ext;
}

static Place unary_expression(int &t, Value *v);
static Place primary(int &t, Value *v);
static Place identifier(Value *v);

// ++ and -- on the object at 'place'; flags bit 0: decrement, bit 1: postfix (yield the old value).
static void inc_value(Value *v, const Place &place, int flags) {
  const char *op = (flags & 1) ? "--" : "++";
  if (trace_exp) {
    trace_printf("inc_value: m=%x, ", place.addr);
    print_decl(nullptr, v, 0);
    print_value(v);
  }
  if (v->type == TY_NONE) {
    error(MSG_BAD_OPERAND, op);
    return;
  }
  if (!place.addr) {
    error(MSG_BAD_LVALUE);
    return;
  }
  if (!executing) return;
  int c = place.type;
  int step = 1;
  if (c == TY_PTR && v->next) step = td_size(v->next);
  if (flags & 1) step = -step;
  mem_load(v, place.addr, c);
  Value old = *v;
  if (is_floating(c)) v->imm.d += step;
  else v->imm.i = static_cast<std::int32_t>(static_cast<std::uint32_t>(v->imm.i) + static_cast<std::uint32_t>(step));
  mem_store(v, place.addr, c);
  convert_value(v, c);
  if (flags & 2) *v = old;
}

// The type head of the link 'td' points to, or a report when there is none.
static bool follow(Value *v) {
  if (v->next) {
    v->set_head(*v->next);
    return true;
  }
  if (executing) error(MSG_UNKNOWN_TYPE);
  return false;
}

// '[' index ']' after an operand.
static Place subscript(Value *v, const Place &place) {
  std::uint32_t base = place.addr;
  if (v->type == TY_PTR) base = static_cast<std::uint32_t>(v->imm.i);
  else if (v->type != TY_ARRAY) {
    error(MSG_BAD_SUBSCRIPT);
    if (trace_exp) print_td_chain(v);
  }
  Value index;
  expression(0, &index, 0);
  if (!is_integer(index.type)) error(MSG_TYPE_MISMATCH, type_name(v->type));
  if (current_code() != ']') error(MSG_EXPECTED, ']');
  TypeDesc *element = v->next;
  if (!follow(v)) return Place{};
  if (trace_exp) trace_printf("array ref (%x)[%d]\n", base, index.imm.i);
  std::uint32_t addr = base + static_cast<std::uint32_t>(td_size(element)) * static_cast<std::uint32_t>(index.imm.i);
  mem_load(v, addr, v->type);
  return Place{addr, element->type, element};
}

// '.' name after a struct operand at 'base' (for '->', the pointer's value).
static Place member(Value *v, std::uint32_t base) {
  if (v->type != TY_STRUCT && v->type != TY_UNION) {
    error(MSG_DOT_NEEDS_STRUCT);
    next_token(&discard);
    return Place{};
  }
  begin_member_lookup(v);
  Value name;
  int t = next_token(&name);
  if (t != LEX_SYMBOL || name.imm.sym->stg != STG_MEMBER) {
    error(MSG_UNKNOWN_MEMBER, t == LEX_SYMBOL ? name.imm.sym->name : token_name(t));
    return Place{};
  }
  Symbol *m = name.imm.sym;
  std::uint32_t addr = base + static_cast<std::uint32_t>(m->offset);
  v->set_head(*m);
  if (m->type != TY_STRUCT && m->type != TY_UNION) mem_load(v, addr, m->type);
  else v->imm.i = static_cast<std::int32_t>(addr);
  return Place{addr, m->type, m};
}

static Place arrow(Value *v) {
  if (v->type != TY_PTR) error(MSG_ARROW_NEEDS_POINTER);
  std::uint32_t base = static_cast<std::uint32_t>(v->imm.i);
  if (v->type != TY_PTR || !follow(v)) {
    next_token(&discard);
    return Place{};
  }
  return member(v, base);
}

// post -> { '(' args ')' | '[' expression ']' | '.' name | '->' name | '++' | '--' }
static Place post_op(int &t, Value *v, Place place, Symbol *named) {
  if (trace_exp) trace_printf("In post_op: ");
  for (;; t = next_token(&discard)) {
    if (trace_exp) trace_printf("post_op looks at: '%s'\n", token_name(t));
    switch (t) {
    case '(':
      script_call(v->type == TY_FUNC || v->type == TY_NONE ? named : nullptr, named ? named->name : "(", v);
      place = Place{};
      break;
    case '[': place = subscript(v, place); break;
    case LEX_INC:
    case LEX_DEC:
      // The value of a postfix increment is no object.
      inc_value(v, place, t == LEX_INC ? 2 : 3);
      place = Place{};
      break;
    case LEX_ARROW: place = arrow(v); break;
    case '.': place = member(v, place.addr); break;
    default:
      // A name that was never declared is only good for a call.
      if (named && named->type == TY_NONE && executing) error(MSG_UNKNOWN_TYPE);
      if (trace_exp) trace_printf("leaving post_op with &=%x\n", place.addr);
      return place;
    }
    named = nullptr;
  }
}

// An identifier as an operand.
static Place identifier(Value *v) {
  Symbol *sym = v->imm.sym;
  v->set_head(*sym);
  if (sym->stg == STG_MEMBER || sym->stg == STG_ENUM_CONST) {
    v->imm.i = sym->offset;
    return Place{};
  }
  if (sym->type == TY_FUNC || sym->type == TY_NONE) {
    // A function (or a name not declared yet) is called, never loaded.
    v->imm.sym = sym;
    return Place{};
  }
  std::uint32_t addr = var_address(sym);
  if (sym->type == TY_ARRAY) v->imm.i = static_cast<std::int32_t>(addr);
  else mem_load(v, addr, sym->type);
  return Place{addr, sym->type, sym};
}

// primary -> name post | constant post | builtin '(' args ')' post
static Place primary(int &t, Value *v) {
  if (trace_exp) trace_printf("In primary: 1st token = '%s'\n", token_name(t));
  Place place;
  Symbol *named = nullptr;
  switch (t) {
  case LEX_SYMBOL:
    named = v->imm.sym;
    place = identifier(v);
    break;
  case LEX_CONSTANT: break;
  case LEX_BUILTIN: {
    int index = v->imm.i;
    if (next_token(&discard) != '(') {
      syntax_error(LEX_BUILTIN);
      return Place{};
    }
    call_builtin(index, v);
    break;
  }
  default: return Place{};
  }
  t = next_token(&discard);
  place = post_op(t, v, place, named);
  if (trace_exp) {
    trace_printf("leaving primary with val=: ");
    print_value(v);
    trace_printf("\n");
  }
  return place;
}

// Converts v to the cast type 'to' (its head becomes that type).
static void cast_value(Value *v, const TypeDesc &to) {
  if (executing && v->type != TY_STRUCT && v->type != TY_UNION) convert_value(v, to.type);
  v->set_head(to);
}

// '(' type ')' unary, or '(' expression ')'.
static Place parenthesis(int &t, Value *v) {
  NestingGuard guard;
  t = next_token(v);
  if (declaration(t, v, nullptr)) {
    TypeDesc to = last_base_type;
    expect_token(')');
    t = next_token(v);
    unary_expression(t, v);
    cast_value(v, to);
    return Place{};
  }
  expression(t, v, 0);
  expect_token(')');
  t = next_token(&discard);
  return Place{};
}

// sizeof unary, or sizeof '(' type ')'.
static void size_of(int &t, Value *v) {
  NestingGuard guard;
  t = next_token(v);
  Place place;
  if (t == '(') {
    t = next_token(v);
    if (declaration(t, v, nullptr)) v->set_head(last_base_type);
    else expression_place(t, v, &place);
    expect_token(')');
    t = next_token(&discard);
  } else {
    place = unary_expression(t, v);
  }
  // The declared type of an object counts, not the type it loads as.
  int size = place.td ? td_size(place.td) : td_size(v);
  set_int_result(v, size);
}

static bool is_scalar(int code) {
  return is_integer(code) || is_floating(code) || code == TY_PTR || code == TY_ARRAY;
}

static Place unary_operator(int op, int &t, Value *v) {
  NestingGuard guard;
  t = next_token(v);
  Place place = unary_expression(t, v);
  switch (op) {
  case '!':
    if (!is_scalar(v->type)) error(MSG_NON_INTEGRAL_OPERAND);
    else set_int_result(v, !value_true(*v));
    return Place{};
  case '~':
    if (!is_integer(v->type)) error(MSG_NON_INTEGRAL_OPERAND);
    else v->imm.i = ~v->imm.i;
    return Place{};
  case '-':
    if (is_floating(v->type)) v->imm.d = -v->imm.d;
    else v->imm.i = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v->imm.i));
    return Place{};
  case LEX_ADDR:
    if (!place.addr) error(MSG_BAD_LVALUE);
    v->type = TY_PTR;
    v->next = place.td;
    v->imm.i = static_cast<std::int32_t>(place.addr);
    return Place{};
  default: break;
  }
  // Indirection.
  if (v->type != TY_PTR && v->type != TY_ARRAY) {
    error(MSG_BAD_OPERAND, "*");
    return Place{};
  }
  std::uint32_t addr = static_cast<std::uint32_t>(v->imm.i);
  TypeDesc *pointee = v->next;
  if (!follow(v)) return Place{};
  if (trace_exp) trace_printf("pointer deref (%x)\n", addr);
  mem_load(v, addr, v->type);
  return Place{addr, pointee->type, pointee};
}

// unary -> primary | ('+' | '-' | '!' | '~' | '&' | '*') unary | ('++' | '--') primary
//        | sizeof unary | sizeof '(' type ')' | '(' type ')' unary | '(' expression ')'
static Place unary_expression(int &t, Value *v) {
  for (;;) {
    if (trace_exp) trace_printf("In unary_expression: 1st token = '%s'\n", token_name(t));
    switch (t) {
    case LEX_SYMBOL: case LEX_CONSTANT: case LEX_BUILTIN: return primary(t, v);
    case '+': t = next_token(v); continue;
    case '!': case '~': case '-': return unary_operator(t, t, v);
    case '&': case LEX_ADDR: return unary_operator(LEX_ADDR, t, v);
    case '*': case LEX_DEREF: return unary_operator('*', t, v);
    case LEX_INC: case LEX_DEC: {
      int flags = t == LEX_DEC ? 1 : 0;
      t = next_token(v);
      Place place = primary(t, v);
      inc_value(v, place, flags);
      return place;
    }
    case LEX_SIZEOF: size_of(t, v); return Place{};
    case '(': return parenthesis(t, v);
    default: return Place{};
    }
  }
}


static bool is_postfix(int code) {
  return code == '(' || code == '[' || code == '.' || code == LEX_ARROW || code == LEX_INC || code == LEX_DEC;
}

// The most common operand of a replayed body: a constant or a variable that no postfix operator
// follows. It is read here without the general operand parsers; false for every other operand.
static bool simple_operand(int t, Value *v, Place &place) {
  if (t != LEX_SYMBOL && t != LEX_CONSTANT) return false;
  Token *next = stream.cursor;
  if (!replaying || stream.held || !next || is_postfix(next->code) || trace_exp) return false;
  if (t == LEX_SYMBOL) {
    int type = v->imm.sym->type;
    if (type == TY_NONE || type == TY_FUNC) return false;
    place = identifier(v);
  }
  next_token(&discard);
  return true;
}

static bool starts_operand(int code) {
  switch (code) {
  case LEX_SYMBOL: case LEX_CONSTANT: case LEX_BUILTIN: case '+': case '-': case '!': case '~':
  case '&': case LEX_ADDR: case '*': case LEX_DEREF: case LEX_INC: case LEX_DEC: case LEX_SIZEOF:
  case '(':
    return true;
  default: return false;
  }
}

// Set while an enumeration value is read: its list's '}' ends it too.
static bool brace_ends = false;

static int expression_at(int first, Value *v, int min, Place *single) {
  NestingGuard guard;
  int t = first ? first : next_token(v);
  // The operand of an operator may not be empty (a whole expression may).
  if (min > 0 && !starts_operand(t)) {
    syntax_error(t);
    return 0;
  }
  Place place;
  if (!simple_operand(t, v, place)) place = unary_expression(t, v);
  if (trace_exp) trace_printf("In expression (prec %d): ", min);
  bool operated = false;
  for (;;) {
    t = current_code();
    if (trace_exp) trace_printf(" exp looks at %s\n", token_name(t));
    int prec = t >= 0 && t < 256 ? roles.role[t] : static_cast<int>(OP_BAD);
    if (prec == OP_END) break;
    if (prec == OP_ASSIGN) {
      assignment(v, place);
      operated = true;
      break;
    }
    if (prec == OP_BAD) {
      if (t == '}' && brace_ends) break;
      syntax_error(t);
      return 0;
    }
    if (prec <= min) break;
    Value r;
    expression_at(0, &r, prec, nullptr);
    binary_operation(t, v, &r);
    operated = true;
    place = Place{};
  }
  if (single) *single = operated ? Place{} : place;
  return 1;
}

int expression(int first, Value *v, int min) { return expression_at(first, v, min, nullptr); }

int expression_place(int first, Value *v, Place *place) { return expression_at(first, v, 0, place); }

int list_value_expression(Value *v) {
  bool saved = brace_ends;
  brace_ends = true;
  int ok = expression_at(0, v, 0, nullptr);
  brace_ends = saved;
  return ok;
}
