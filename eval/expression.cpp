#include "eval/expression.h"

#include "builtins/builtin_table.h"
#include "decl/declaration.h"
#include "decl/symbols.h"
#include "eval/call.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "source/lexer.h"
#include "source/token_stream.h"

void syntax_error(int code) { error(MSG_BAD_SYNTAX, token_name(code)); }

void expect_token(int code) {
  if (current_code() != code) syntax_error(current_code());
}

static Place unary_expression(int &t, Value *v);
static Place primary(int &t, Value *v);

// '[' index ']' after an operand.
static Place subscript(Value *v, const Place &place) {
  std::uint32_t base = subscript_base(v, place);
  Value index;
  expression(0, &index, 0);
  check_index(v, index);
  if (current_code() != ']') error(MSG_EXPECTED, ']');
  return subscript_element(v, base, index);
}

// '.' name after a struct operand at 'base' (for '->', the pointer's value).
static Place member(Value *v, std::uint32_t base) {
  if (!struct_operand(v)) {
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
  return member_access(v, base, name.imm.sym);
}

static Place arrow(Value *v) {
  std::uint32_t base;
  if (!arrow_operand(v, &base)) {
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
      if (named && named->type == TY_NONE && executing) {
        error(MSG_UNKNOWN_TYPE);
        set_int_result(v, 0);
      }
      if (trace_exp) trace_printf("leaving post_op with &=%x\n", place.addr);
      return place;
    }
    named = nullptr;
  }
}

// primary -> name post | constant post | builtin '(' args ')' post
static Place primary(int &t, Value *v) {
  if (trace_exp) trace_printf("In primary: 1st token = '%s'\n", token_name(t));
  Place place;
  Symbol *named = nullptr;
  switch (t) {
  case LEX_SYMBOL:
    named = v->imm.sym;
    place = load_identifier(v, named);
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
  // The operand's value is not needed: its size is known whatever it holds.
  Restore<unsigned> unknown(unknown_values);
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

static Place unary_operator(int op, int &t, Value *v) {
  NestingGuard guard;
  t = next_token(v);
  Place place = unary_expression(t, v);
  switch (op) {
  case '!':
  case '~':
  case '-': unary_arithmetic(op, v); return Place{};
  case LEX_ADDR: address_of(v, place); return Place{};
  default: return dereference(v);
  }
}

// unary -> primary | ('+' | '-' | '!' | '~' | '&' | '*') unary | ('++' | '--') primary
//        | sizeof unary | sizeof '(' type ')' | '(' type ')' unary | '(' expression ')'
static Place unary_expression(int &t, Value *v) {
  for (;;) {
    if (trace_exp) trace_printf("In unary_expression: 1st token = '%s'\n", token_name(t));
    switch (t) {
    case LEX_SYMBOL:
    case LEX_CONSTANT:
    case LEX_BUILTIN: return primary(t, v);
    case '+': t = next_token(v); continue;
    case '!':
    case '~':
    case '-': return unary_operator(t, t, v);
    case '&':
    case LEX_ADDR: return unary_operator(LEX_ADDR, t, v);
    case '*':
    case LEX_DEREF: return unary_operator('*', t, v);
    case LEX_INC:
    case LEX_DEC: {
      int flags = t == LEX_DEC ? 1 : 0;
      t = next_token(v);
      Place place = primary(t, v);
      inc_value(v, place, flags);
      return place;
    }
    case LEX_SIZEOF: size_of(t, v); return Place{};
    case '(': return parenthesis(t, v);
    default:
      // A missing operand is the int 0, not what earlier tokens left in the Value.
      set_int_result(v, 0);
      return Place{};
    }
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
  Place place = unary_expression(t, v);
  if (trace_exp) trace_printf("In expression (prec %d): ", min);
  bool operated = false;
  for (;;) {
    t = current_code();
    if (trace_exp) trace_printf(" exp looks at %s\n", token_name(t));
    int prec = operator_role(t);
    if (prec == OP_END) break;
    if (prec == OP_ASSIGN) {
      Value r;
      expression(0, &r, 2);
      assign_value(v, place, &r);
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
  Restore<bool> outer_brace_ends(brace_ends);
  brace_ends = true;
  return expression_at(0, v, 0, nullptr);
}
