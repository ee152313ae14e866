#include "eval/plan.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "decl/declaration.h"
#include "eval/call.h"
#include "eval/operations.h"
#include "shell/diagnostics.h"
#include "source/token_stream.h"

#include "eval/plan_tree.h"

// Every expression whose plan could not be made points here.
static Plan no_plan{nullptr, nullptr};

// The compiler reads the recorded tokens from 'at' on; every node it makes is kept in 'made', so
// that a compile that fails can give them all back.
static Token *at = nullptr;
static std::vector<std::unique_ptr<PlanNode>> made;

static int code() { return at ? at->code : LEX_NULL; }

static void advance() {
  if (at) at = at->link;
}

static PlanNode *make(PlanKind kind, int line) {
  made.push_back(std::make_unique<PlanNode>());
  PlanNode *n = made.back().get();
  n->kind = kind;
  n->line = line;
  return n;
}

static int line_here() { return at ? at->line : 0; }

static PlanNode *compile_expression(int min);

// '(' [expression {',' expression}] [','] ')' of a call; false for what plans do not cover.
static bool compile_arguments(PlanNode *call) {
  advance();
  if (code() == ')') {
    call->close_line = line_here();
    advance();
    return true;
  }
  for (;;) {
    if (call->args.size() == MAX_PLAN_ARGS) return false;
    PlanNode *arg = compile_expression(0);
    if (!arg) return false;
    call->args.push_back(arg);
    if (code() == ',') {
      advance();
      if (code() != ')') continue;
    }
    if (code() != ')') return false;
    call->close_line = line_here();
    advance();
    return true;
  }
}

// name {'[' expression ']' | '.' member | '->' member | '++' | '--'}, or name '(' args ')'
static PlanNode *compile_name() {
  Symbol *sym = at->value.imm.sym;
  PlanNode *n = make(PK_NAME, line_here());
  n->sym = sym;
  advance();
  if (sym->type == TY_FUNC) {
    if (code() != '(') return nullptr;
    n->kind = PK_CALL;
    if (!compile_arguments(n)) return nullptr;
    n->line = line_here();
    return is_postfix(code()) ? nullptr : n;
  }
  if (sym->type == TY_NONE) return nullptr;
  if (sym->stg == STG_MEMBER || sym->stg == STG_ENUM_CONST) return is_postfix(code()) ? nullptr : n;
  if (is_word_type(sym->type) && (sym->stg == STG_AUTO || sym->stg == STG_GLOBAL)) {
    n->kind = PK_WORD;
    n->op = sym->stg == STG_AUTO;
  }
  for (;;) {
    int t = code();
    PlanNode *x;
    if (t == '[') {
      advance();
      x = make(PK_INDEX, 0);
      x->b = compile_expression(0);
      if (!x->b || code() != ']') return nullptr;
    } else if (t == '.' || t == LEX_ARROW) {
      advance();
      if (code() != LEX_SYMBOL || at->value.imm.sym->stg != STG_MEMBER) return nullptr;
      x = make(t == '.' ? PK_DOT : PK_ARROW, 0);
      x->sym = at->value.imm.sym;
    } else if (t == LEX_INC || t == LEX_DEC) {
      x = make(PK_POSTFIX, 0);
      x->op = t == LEX_DEC ? 1 : 0;
    } else if (t == '(') {
      return nullptr;
    } else {
      return n;
    }
    x->a = n;
    x->line = line_here();
    advance();
    n = x;
  }
}

// The integer type that the keywords from 'at' on name, up to a ')' (which is left current), as
// the declaration parser reads them; TY_NONE, with 'at' unchanged, for any other type name.
static int integer_type_name() {
  Token *start = at;
  int type = TY_NONE;
  bool is_unsigned = false;
  for (;; advance()) {
    switch (code()) {
    case LEX_CHAR: type = is_unsigned ? TY_UCHAR : TY_CHAR; continue;
    case LEX_SHORT: type = is_unsigned ? TY_USHORT : TY_SHORT; continue;
    case LEX_INT:
      if (type == TY_NONE) type = is_unsigned ? TY_UINT : TY_INT;
      continue;
    case LEX_LONG: type = is_unsigned ? TY_ULONG : TY_LONG; continue;
    case LEX_SIGNED: continue;
    case LEX_UNSIGNED:
      is_unsigned = true;
      type = TY_UINT;
      continue;
    case ')':
      if (at != start) return type == TY_NONE ? TY_INT : type;
      break;
    default: break;
    }
    at = start;
    return TY_NONE;
  }
}

// A variable whose size the walker finds without a report.
static bool sized_variable(const Symbol *sym) {
  if (sym->stg != STG_AUTO && sym->stg != STG_GLOBAL && sym->stg != STG_STATIC) return false;
  const TypeDesc *td = sym;
  while (td && td->type == TY_ARRAY) td = td->next;
  return td && (scalar_size(td->type) >= 0 || td->type == TY_STRUCT || td->type == TY_UNION);
}

static PlanNode *compile_unary() {
  NestingGuard guard;
  int t = code();
  int line = line_here();
  switch (t) {
  case LEX_SYMBOL: return compile_name();
  case LEX_CONSTANT: {
    PlanNode *n = make(PK_CONST, line);
    n->token = at;
    advance();
    return is_postfix(code()) ? nullptr : n;
  }
  case LEX_BUILTIN: {
    PlanNode *n = make(PK_BUILTIN, line);
    n->token = at;
    advance();
    if (code() != '(' || !compile_arguments(n)) return nullptr;
    n->line = line_here();
    return is_postfix(code()) ? nullptr : n;
  }
  case '+': advance(); return compile_unary();
  case '!':
  case '~':
  case '-': {
    advance();
    PlanNode *n = make(PK_UNARY, line);
    n->op = t;
    n->a = compile_unary();
    return n->a ? n : nullptr;
  }
  case '&':
  case LEX_ADDR:
  case '*':
  case LEX_DEREF: {
    advance();
    PlanNode *n = make(t == '&' || t == LEX_ADDR ? PK_ADDRESS : PK_DEREF, line);
    n->a = compile_unary();
    n->line = line_here();
    return n->a ? n : nullptr;
  }
  case LEX_INC:
  case LEX_DEC: {
    advance();
    if (code() != LEX_SYMBOL) return nullptr;
    PlanNode *n = make(PK_PREFIX, line);
    n->op = t == LEX_DEC ? 1 : 0;
    n->a = compile_name();
    return n->a ? n : nullptr;
  }
  case LEX_SIZEOF: {
    advance();
    bool paren = code() == '(';
    if (paren) advance();
    PlanNode *n = make(PK_SIZEOF, line);
    if (int type = paren ? integer_type_name() : TY_NONE) {
      TypeDesc td{type, nullptr, 0};
      n->op = td_size(&td);
    } else {
      // A variable, loaded as the walker loads it, and sized by its declared type.
      if (code() != LEX_SYMBOL || !sized_variable(at->value.imm.sym)) return nullptr;
      n->a = make(PK_NAME, line_here());
      n->a->sym = at->value.imm.sym;
      n->op = td_size(n->a->sym);
      advance();
      if (!paren) return is_postfix(code()) ? nullptr : n;
    }
    if (code() != ')') return nullptr;
    advance();
    return is_postfix(code()) ? nullptr : n;
  }
  case '(': {
    advance();
    if (int type = at ? integer_type_name() : TY_NONE) {
      advance();
      PlanNode *n = make(PK_CAST, line);
      n->op = type;
      n->a = compile_unary();
      n->line = line_here();
      return n->a ? n : nullptr;
    }
    if (!at || starts_declaration(at->code, &at->value)) return nullptr;
    PlanNode *inner = compile_expression(0);
    if (!inner || code() != ')') return nullptr;
    advance();
    // Only an operand that denotes an object needs the group, which makes it none.
    bool object = inner->kind == PK_NAME || inner->kind == PK_WORD || inner->kind == PK_INDEX ||
                  inner->kind == PK_DOT || inner->kind == PK_ARROW || inner->kind == PK_PREFIX ||
                  inner->kind == PK_DEREF;
    if (!object) return inner;
    PlanNode *n = make(PK_GROUP, line);
    n->a = inner;
    return n;
  }
  default: return nullptr;
  }
}

// The same grammar and grouping as the token-walking evaluator: operators above 'min' bind here,
// and '=' takes the rest of the expression whatever 'min' is.
static PlanNode *compile_expression(int min) {
  NestingGuard guard;
  if (min > 0 && !starts_operand(code())) return nullptr;
  PlanNode *n = compile_unary();
  while (n) {
    int t = code();
    int role = operator_role(t);
    if (role == OP_END) return n;
    if (role == OP_BAD) return nullptr;
    if (role == OP_ASSIGN) {
      advance();
      PlanNode *x = make(PK_ASSIGN, 0);
      x->a = n;
      x->b = compile_expression(2);
      x->line = line_here();
      if (n->kind == PK_WORD) {
        x->kind = PK_ASSIGN_NAME;
        x->sym = n->sym;
      }
      return x->b ? x : nullptr;
    }
    if (role <= min) return n;
    advance();
    PlanNode *x = make(PK_BINARY, 0);
    x->op = t;
    x->a = n;
    x->b = compile_expression(role);
    x->line = line_here();
    if (x->b && x->b->kind == PK_CONST) x->kind = PK_BINARY_CONST;
    n = x->b ? x : nullptr;
  }
  return nullptr;
}

static Plan *compile(Token *start) {
  at = start;
  PlanNode *root = compile_expression(0);
  if (!root || operator_role(code()) != OP_END) {
    made.clear();
    return &no_plan;
  }
  for (std::unique_ptr<PlanNode> &n : made) n.release();
  made.clear();
  return new Plan{root, at};
}

// Evaluates the arguments of 'n' into 'args', in order.
static void evaluate_arguments(const PlanNode *n, Value *args);
static Place evaluate_call(const PlanNode *n, Value *v);

// A name other than a word variable (PK_WORD); an array is its address.
static Place load_name(Value *v, Symbol *sym) {
  if (sym->type == TY_ARRAY && (sym->stg == STG_AUTO || sym->stg == STG_GLOBAL)) {
    std::uint32_t addr = var_address(sym);
    v->set_head(*sym);
    v->imm.i = static_cast<std::int32_t>(addr);
    return Place{addr, TY_ARRAY, sym};
  }
  return load_identifier(v, sym);
}

static Place evaluate(const PlanNode *n, Value *v);

// A word-sized local or global, loaded in place.
static inline Place load_word(const PlanNode *n, Value *v) {
  Symbol *sym = n->sym;
  std::uint32_t addr = arena_base + static_cast<std::uint32_t>(sym->offset + (n->op ? frame_base : 0));
  if (std::uint8_t *p = arena_ptr(addr, 4)) {
    v->set_head(*sym);
    std::memcpy(&v->imm.i, p, 4);
    return Place{addr, sym->type, sym};
  }
  line_counter = n->line;
  return load_identifier(v, sym);
}

// An operand; the most common one, a word variable, without a further dispatch.
static inline Place operand(const PlanNode *n, Value *v) {
  return n->kind == PK_WORD ? load_word(n, v) : evaluate(n, v);
}

static Place evaluate(const PlanNode *n, Value *v) {
  line_counter = n->line;
  switch (n->kind) {
  case PK_CONST: *v = n->token->value; return Place{};
  case PK_NAME: return load_name(v, n->sym);
  case PK_WORD: return load_word(n, v);
  case PK_GROUP: operand(n->a, v); return Place{};
  case PK_UNARY:
    operand(n->a, v);
    unary_arithmetic(n->op, v);
    return Place{};
  case PK_ADDRESS: {
    Place place = operand(n->a, v);
    line_counter = n->line;  // an operand that called a function left the callee's line
    address_of(v, place);
    return Place{};
  }
  case PK_DEREF:
    operand(n->a, v);
    line_counter = n->line;
    return dereference(v);
  case PK_BINARY: {
    operand(n->a, v);
    Value r;
    operand(n->b, &r);
    line_counter = n->line;
    binary_operation(n->op, v, &r);
    return Place{};
  }
  case PK_BINARY_CONST:
    operand(n->a, v);
    line_counter = n->line;
    binary_operation(n->op, v, &n->b->token->value);
    return Place{};
  case PK_ASSIGN: {
    Place place = operand(n->a, v);
    Value r;
    operand(n->b, &r);
    line_counter = n->line;
    assign_value(v, place, &r);
    return Place{};
  }
  case PK_ASSIGN_NAME: {
    // Storing an integer into a word needs no conversion, and the value the left side loads
    // first is replaced by the assigned one: only the store is made.
    Symbol *sym = n->sym;
    Value r;
    operand(n->b, &r);
    line_counter = n->line;
    std::uint32_t addr = var_address(sym);
    std::uint8_t *p = arena_ptr(addr, 4);
    if (!p || is_floating(r.type)) {
      Place place = operand(n->a, v);
      assign_value(v, place, &r);
      return Place{};
    }
    std::memcpy(p, &r.imm.i, 4);
    v->set_head(*sym);
    v->imm = r.imm;
    v->ext = r.ext;
    return Place{};
  }
  case PK_PREFIX: {
    Place place = operand(n->a, v);
    inc_value(v, place, n->op);
    return place;
  }
  case PK_POSTFIX: inc_value(v, operand(n->a, v), n->op | 2); return Place{};
  case PK_INDEX: {
    std::uint32_t base = subscript_base(v, operand(n->a, v));
    Value index;
    operand(n->b, &index);
    line_counter = n->line;
    check_index(v, index);
    return subscript_element(v, base, index);
  }
  case PK_DOT: {
    Place place = operand(n->a, v);
    line_counter = n->line;
    if (!struct_operand(v)) return Place{};
    return member_access(v, place.addr, n->sym);
  }
  case PK_ARROW: {
    operand(n->a, v);
    line_counter = n->line;
    std::uint32_t base;
    if (!arrow_operand(v, &base) || !struct_operand(v)) return Place{};
    return member_access(v, base, n->sym);
  }
  case PK_CALL:
  case PK_BUILTIN: return evaluate_call(n, v);
  case PK_CAST:
    operand(n->a, v);
    if (v->type != TY_STRUCT && v->type != TY_UNION) convert_value(v, n->op);
    v->set_head(TypeDesc{n->op, nullptr, 0});
    return Place{};
  case PK_SIZEOF:
    if (n->a) operand(n->a, v);
    set_int_result(v, n->op);
    return Place{};
  }
  return Place{};
}

// Calls: the arguments first, left to right, into Values made only for as many as there are. Kept
// out of evaluate, whose frame stays small for the common operations.
[[gnu::noinline]] static Place evaluate_call(const PlanNode *n, Value *v) {
  alignas(Value) unsigned char storage[sizeof(Value) * MAX_PLAN_ARGS];
  Value *args = reinterpret_cast<Value *>(storage);
  evaluate_arguments(n, args);
  line_counter = n->line;
  if (n->kind == PK_BUILTIN) {
    *v = n->token->value;
    builtin_with_values(v->imm.i, args, static_cast<int>(n->args.size()), v);
  } else {
    v->set_head(*n->sym);
    call_with_values(n->sym, args, static_cast<int>(n->args.size()), v);
  }
  return Place{};
}

static void evaluate_arguments(const PlanNode *n, Value *args) {
  for (std::size_t i = 0; i < n->args.size(); ++i) {
    new (&args[i]) Value();
    evaluate(n->args[i], &args[i]);
  }
}

const Plan *expression_plan(Token *start) {
  if (!start->plan) start->plan = compile(start);
  return start->plan == &no_plan ? nullptr : start->plan;
}

Token *plan_end(const Plan *plan) { return plan->end; }

void evaluate_plan(const Plan *plan, Value *v) { evaluate(plan->root, v); }

bool run_plan(Token *start, Value *v) {
  const Plan *plan = expression_plan(start);
  if (!plan) return false;
  evaluate(plan->root, v);
  take_token(plan->end);
  return true;
}
