#include "stmt/statement_plan.h"

#include <memory>
#include <vector>

#include "decl/declaration.h"
#include "eval/operations.h"
#include "eval/plan.h"
#include "shell/diagnostics.h"
#include "shell/run_end.h"
#include "source/token_stream.h"
#include "stmt/statement.h"

namespace {

enum StatementKind : std::uint8_t {
  SK_EMPTY,   // ';'
  SK_EXPR,    // expression ';'
  SK_RETURN,  // return [expression] ';'
  SK_BREAK,   // break ';' inside a loop or switch
  SK_IF,      // if '(' cond ')' body [else other]
  SK_WHILE,   // while '(' cond ')' body
  SK_FOR,     // for '(' [init] ';' [cond] ';' [step] ')' body
  SK_BLOCK,   // '{' {statement} '}' without declarations
};

struct Stmt {
  StatementKind kind;
  const Plan *expr = nullptr;  // the expression, the return value or the condition (null: none)
  const Plan *init = nullptr;
  const Plan *step = nullptr;
  Stmt *body = nullptr;
  Stmt *other = nullptr;
  std::vector<Stmt *> list;
  Token *after = nullptr;  // the first token after the statement
};

}  // namespace

struct StatementPlan {
  Stmt *root;
};

// Every statement whose plan could not be made points here.
static StatementPlan no_statement_plan{nullptr};

// The statements made by the compile under way, given back when it fails.
static std::vector<std::unique_ptr<Stmt>> made;

static Stmt *make(StatementKind kind) {
  made.push_back(std::make_unique<Stmt>());
  made.back()->kind = kind;
  return made.back().get();
}

// The plan of the expression at 'start', which must end at a token of code 'end'.
static const Plan *expression_to(Token *start, int end) {
  if (!start) return nullptr;
  const Plan *plan = expression_plan(start);
  return plan && plan_end(plan)->code == end ? plan : nullptr;
}

static Stmt *compile_statement(Token *t);

// '(' cond ')' body, for if and while; 's' gets the condition and the body.
static bool compile_condition_body(Token *keyword, Stmt *s) {
  Token *open = keyword->link;
  if (!open || open->code != '(') return false;
  s->expr = expression_to(open->link, ')');
  if (!s->expr) return false;
  s->body = compile_statement(plan_end(s->expr)->link);
  return s->body != nullptr;
}

// One clause of a for: empty when it starts at its end, else an expression ending there.
static bool compile_clause(Token *start, Token *end, const Plan **clause) {
  if (!start || !end) return false;
  if (start == end) return true;
  *clause = expression_to(start, end->code);
  return *clause && plan_end(*clause) == end;
}

static Stmt *compile_for(Token *t) {
  Stmt *s = make(SK_FOR);
  Token *init_end = t->jump[FOR_INIT_END];
  Token *step_end = t->jump[FOR_STEP_END];
  Token *cond_end = t->jump[FOR_COND_END];
  Token *open = t->link;
  if (!open || open->code != '(' || !init_end || !cond_end || !step_end) return nullptr;
  if (!compile_clause(open->link, init_end, &s->init) ||
      !compile_clause(init_end->link, cond_end, &s->expr) ||
      !compile_clause(cond_end->link, step_end, &s->step))
    return nullptr;
  s->body = compile_statement(step_end->link);
  s->after = t->jump[LOOP_END];
  return s->body ? s : nullptr;
}

static Stmt *compile_block(Token *t) {
  Stmt *s = make(SK_BLOCK);
  Token *x = t->link;
  if (!x || starts_declaration(x->code, &x->value)) return nullptr;
  while (x && x->code != '}') {
    Stmt *inner = compile_statement(x);
    if (!inner) return nullptr;
    s->list.push_back(inner);
    x = inner->after;
  }
  if (!x) return nullptr;
  s->after = x->link;
  return s;
}

// The same statements, in the same shapes, as the executor runs; null for all others.
static Stmt *compile_statement(Token *t) {
  NestingGuard guard;
  if (!t) return nullptr;
  switch (t->code) {
  case ';': {
    Stmt *s = make(SK_EMPTY);
    s->after = t->link;
    return s;
  }
  case LEX_RETURN: {
    Stmt *s = make(SK_RETURN);
    Token *n = t->link;
    if (n && n->code != ';') {
      s->expr = expression_to(n, ';');
      if (!s->expr) return nullptr;
      n = plan_end(s->expr);
    }
    if (!n || n->code != ';') return nullptr;
    s->after = n->link;
    return s;
  }
  case LEX_BREAK: {
    // A break outside any loop or switch does nothing.
    Token *n = t->link;
    if (is_stray_break(t) || !n || n->code != ';') return nullptr;
    Stmt *s = make(SK_BREAK);
    s->after = n->link;
    return s;
  }
  case LEX_IF: {
    Stmt *s = make(SK_IF);
    if (!compile_condition_body(t, s)) return nullptr;
    if (t->jump[IF_ELSE] && !(s->other = compile_statement(t->jump[IF_ELSE]))) return nullptr;
    s->after = t->jump[IF_END];
    return s;
  }
  case LEX_WHILE: {
    Stmt *s = make(SK_WHILE);
    if (!compile_condition_body(t, s)) return nullptr;
    s->after = t->jump[LOOP_END];
    return s;
  }
  case LEX_FOR: return compile_for(t);
  case '{': return compile_block(t);
  case LEX_SYMBOL:
    if (t->value.imm.sym->stg == STG_LABEL) return nullptr;
    break;
  default:
    if (!starts_operand(t->code)) return nullptr;
    break;
  }
  Stmt *s = make(SK_EXPR);
  s->expr = expression_to(t, ';');
  if (!s->expr) return nullptr;
  s->after = plan_end(s->expr)->link;
  return s;
}

static StatementPlan *compile(Token *start) {
  Stmt *root = compile_statement(start);
  if (!root || !root->after) {
    made.clear();
    return &no_statement_plan;
  }
  for (std::unique_ptr<Stmt> &s : made) s.release();
  made.clear();
  return new StatementPlan{root};
}

static void run(const Stmt *s, Value *v);

// A loop's turn after its condition held: the body, then whether the loop goes on.
// One turn of a loop's body; a loop also ends where an interrupt ends the run.
static bool turn(const Stmt *s, Value *v) {
  run(s->body, v);
  check_requested_end();
  return !stopping();
}

static void run(const Stmt *s, Value *v) {
  switch (s->kind) {
  case SK_EMPTY: return;
  case SK_EXPR: evaluate_plan(s->expr, v); return;
  case SK_RETURN:
    if (s->expr) {
      evaluate_plan(s->expr, v);
    } else {
      v->type = TY_VOID;
      v->imm.i = 0;
    }
    return_flag = true;
    return;
  case SK_BREAK: break_flag = true; return;
  case SK_IF:
    evaluate_plan(s->expr, v);
    if (value_true(*v)) run(s->body, v);
    else if (s->other) run(s->other, v);
    return;
  case SK_WHILE:
    for (;;) {
      evaluate_plan(s->expr, v);
      if (!value_true(*v) || !turn(s, v)) break;
    }
    break_flag = false;
    return;
  case SK_FOR:
    if (s->init) evaluate_plan(s->init, v);
    for (;;) {
      if (s->expr) {
        evaluate_plan(s->expr, v);
        if (!value_true(*v)) break;
      }
      if (!turn(s, v)) break;
      if (s->step) evaluate_plan(s->step, v);
    }
    break_flag = false;
    return;
  case SK_BLOCK:
    ++scope_level;
    for (const Stmt *inner : s->list) {
      run(inner, v);
      if (stopping()) break;
    }
    --scope_level;
    return;
  }
}

bool run_statement_plan(Token *start, Value *value) {
  if (!start->statement_plan) start->statement_plan = compile(start);
  StatementPlan *plan = start->statement_plan;
  if (plan == &no_statement_plan) return false;
  run(plan->root, value);
  seek_token(plan->root->after);
  return true;
}
