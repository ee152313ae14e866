#include "eval/operations.h"

#include "decl/symbols.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"

// The ranks of C's operators. Some of them never reach the operator loop: '%', '&&', '||' and
// '?' are not tokens of the script language (the lexer reports them), and the unary and postfix
// operators are taken by unary_expression; role_of() leaves all of those out.
// clang-format off
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

// What the operator loop does with 'code': the binary operators apply at their rank.
static std::int8_t role_of(int code) {
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
// clang-format on

// operator_role for every code from 0 to 255 (other codes are bad syntax).
static const struct RoleTable {
  std::int8_t role[256];
  RoleTable() {
    for (int c = 0; c < 256; ++c) role[c] = role_of(c);
  }
} roles;

int operator_role(int code) { return code >= 0 && code < 256 ? roles.role[code] : static_cast<int>(OP_BAD); }

bool is_postfix(int code) {
  return code == '(' || code == '[' || code == '.' || code == LEX_ARROW || code == LEX_INC || code == LEX_DEC;
}

bool starts_operand(int code) {
  switch (code) {
  case LEX_SYMBOL:
  case LEX_CONSTANT:
  case LEX_BUILTIN:
  case '+':
  case '-':
  case '!':
  case '~':
  case '&':
  case LEX_ADDR:
  case '*':
  case LEX_DEREF:
  case LEX_INC:
  case LEX_DEC:
  case LEX_SIZEOF:
  case '(': return true;
  default: return false;
  }
}

void set_int_result(Value *v, std::int32_t i) {
  v->type = TY_INT;
  v->next = nullptr;
  v->aux = 0;
  v->imm.i = i;
}

void report(int id) { error(id); }

std::int32_t integer_divide(std::int32_t a, std::int32_t b) {
  if (b == 0) {
    // Division by zero gives 0; the running pass reports it.
    if (executing) error(MSG_BAD_OPERAND, "/");
    return 0;
  }
  if (b == -1) return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a));
  return a / b;
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

void mixed_operation(int op, Value *v, const Value *r) {
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
  case TY_ENUM:
  case TY_STRUCT:
  case TY_UNION:
    if (r->type != l->type || r->aux != l->aux) error(MSG_TYPE_MISMATCH, "");
    break;
  case TY_ARRAY: error(MSG_BAD_LVALUE); break;
  default: break;
  }
}

// ++ and -- on the object at 'place'; flags bit 0: decrement, bit 1: postfix (yield the old value).
void inc_value_any(Value *v, const Place &place, int flags) {
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
  if (!place.object()) {
    error(MSG_BAD_LVALUE);
    return;
  }
  if (!executing || outside_arena(place)) return;
  int c = place.type;
  int step = 1;
  if (c == TY_PTR && v->next) step = td_size(v->next);
  if (flags & 1) step = -step;
  mem_load(v, place.addr, c);
  Word2 old = v->imm;
  int old_type = v->type;
  if (is_floating(c)) v->imm.d += step;
  else
    v->imm.i =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(v->imm.i) + static_cast<std::uint32_t>(step));
  mem_store(v, place.addr, c);
  convert_value(v, c);
  if (flags & 2) {
    v->imm = old;
    v->type = old_type;
  }
}

void bad_subscript(const Value *v) {
  error(MSG_BAD_SUBSCRIPT);
  if (trace_exp) print_td_chain(v);
}

void bad_index(const Value *v) { error(MSG_TYPE_MISMATCH, type_name(v->type)); }

Place load_identifier(Value *v, Symbol *sym) {
  v->set_head(*sym);
  if (sym->stg == STG_MEMBER || sym->stg == STG_ENUM_CONST) {
    v->imm.i = sym->offset;
    return Place{};
  }
  if (sym->type == TY_FUNC || sym->type == TY_NONE) {
    // A function (or a name not declared yet) is called, never loaded; the call takes it from
    // the token. Used as a value it is 0, never the address of its Symbol.
    if (executing) v->imm = v->ext = Word2{};
    else unknown_value(v);
    return Place{};
  }
  std::uint32_t addr = var_address(sym);
  // A load that fails keeps the value it had: 0, not the name's Symbol that its token held.
  v->imm = v->ext = Word2{};
  if (sym->type == TY_ARRAY) v->imm.i = static_cast<std::int32_t>(addr);
  else mem_load(v, addr, sym->type);
  return Place{addr, sym->type, sym};
}

void address_of(Value *v, const Place &place) {
  if (!place.object()) error(MSG_BAD_LVALUE);
  v->type = TY_PTR;
  v->next = place.td;
  v->imm.i = static_cast<std::int32_t>(place.addr);
}

Place dereference(Value *v) {
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

static bool is_scalar(int code) {
  return is_integer(code) || is_floating(code) || code == TY_PTR || code == TY_ARRAY;
}

void unary_arithmetic(int op, Value *v) {
  switch (op) {
  case '!':
    if (!is_scalar(v->type)) error(MSG_NON_INTEGRAL_OPERAND);
    else set_int_result(v, !value_true(*v));
    break;
  case '~':
    if (!is_integer(v->type)) error(MSG_NON_INTEGRAL_OPERAND);
    else v->imm.i = ~v->imm.i;
    break;
  case '-':
    if (is_floating(v->type)) v->imm.d = -v->imm.d;
    else v->imm.i = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v->imm.i));
    break;
  default: break;
  }
}
