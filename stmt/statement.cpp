#include "stmt/statement.h"

#include <vector>

#include "decl/declaration.h"
#include "decl/symbols.h"
#include "eval/expression.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "shell/run_end.h"
#include "source/lexer.h"
#include "source/token_stream.h"

int stmt_level = 0;
bool return_flag = false;
bool break_flag = false;
Token *goto_target = nullptr;

// Switches whose bodies the checking pass can be inside at once.
constexpr int MAX_SWITCH_NESTING = 15;

static Token *switch_stack[MAX_SWITCH_NESTING];
static int switch_depth = 0;  // may exceed the stack after the overflow was reported
static int breakable = 0;     // loops and switches around the statement being checked

namespace {
struct PendingGoto {
  Symbol *label;
  int line;
};
}  // namespace
static std::vector<PendingGoto> pending_gotos;

static void expect_semicolon() {
  if (current_code() == ';') return;
  error(MSG_EXPECTED, ';');
  next_token(&discard);
}

static void expect_code(int code) {
  if (current_code() != code) error(MSG_EXPECTED, code);
}

// Reads the token after the statement just checked, links it as 'slot' of 'p' and pushes it back.
static void link_next(Token *p, int slot, Value *value) {
  next_token(value);
  p->jump[slot] = tell_token();
  unget_token();
}

// '(' expression ')'; the checking pass reports what is missing.
static void condition(Value *value) {
  if (executing) {
    skip_token();
    expression(0, value, 0);
    return;
  }
  if (next_token(value) != '(') error(MSG_EXPECTED, '(');
  expression(0, value, 0);
  expect_code(')');
}

static void if_statement(Value *value) {
  Token *p = tell_token();
  condition(value);
  if (executing) {
    if (value_true(*value)) statement(0, value);
    else if (p->jump[IF_ELSE]) {
      seek_token(p->jump[IF_ELSE]);
      statement(0, value);
    }
    seek_token(p->jump[IF_END]);
    return;
  }
  p->jump[IF_ELSE] = nullptr;
  statement(0, value);
  if (next_token(value) == LEX_ELSE) {
    int t = next_token(value);
    p->jump[IF_ELSE] = tell_token();
    statement(t, value);
  } else {
    unget_token();
  }
  link_next(p, IF_END, value);
}

// The body of a loop in the checking pass.
static void loop_body(Token *p, Value *value) {
  ++breakable;
  statement(0, value);
  --breakable;
  link_next(p, LOOP_END, value);
}

static void while_statement(Value *value) {
  Token *p = tell_token();
  if (!executing) {
    condition(value);
    loop_body(p, value);
    return;
  }
  for (;;) {
    condition(value);
    if (!value_true(*value)) break;
    statement(0, value);
    check_requested_end();
    if (stopping()) break;
    seek_token(p);
    skip_token();
  }
  break_flag = false;
  seek_token(p->jump[LOOP_END]);
}

static void check_for(Token *p, Value *value) {
  if (next_token(value) != '(') error(MSG_EXPECTED, '(');
  expression(0, value, 0);
  expect_semicolon();
  p->jump[FOR_INIT_END] = tell_token();
  expression(0, value, 0);
  expect_semicolon();
  p->jump[FOR_COND_END] = tell_token();
  expression(0, value, 0);
  expect_code(')');
  p->jump[FOR_STEP_END] = tell_token();
  loop_body(p, value);
}

// Jumps to link 'slot' of 'p' and passes over the token there.
static void jump_past(Token *p, int slot) {
  seek_token(p->jump[slot]);
  skip_token();
}

static void for_statement(Value *value) {
  Token *p = tell_token();
  if (!executing) {
    check_for(p, value);
    return;
  }
  skip_token();
  expression(0, value, 0);
  // An empty condition is true.
  bool always = p->jump[FOR_INIT_END] && p->jump[FOR_INIT_END]->link == p->jump[FOR_COND_END];
  for (;;) {
    jump_past(p, FOR_INIT_END);
    if (!always) {
      expression(0, value, 0);
      if (!value_true(*value)) break;
    }
    jump_past(p, FOR_STEP_END);
    statement(0, value);
    check_requested_end();
    if (stopping()) break;
    jump_past(p, FOR_COND_END);
    expression(0, value, 0);
  }
  break_flag = false;
  seek_token(p->jump[LOOP_END]);
}

static void check_switch(Token *p, Value *value) {
  if (switch_depth < MAX_SWITCH_NESTING) switch_stack[switch_depth] = p;
  else if (switch_depth == MAX_SWITCH_NESTING) error(MSG_OUT_OF_MEMORY);
  ++switch_depth;
  p->jump[SWITCH_END] = p->jump[SWITCH_DEFAULT] = p->jump[SWITCH_CASES] = nullptr;
  condition(value);
  int t = next_token(value);
  bool block = (t == '{');
  if (!block) error(MSG_EXPECTED, '{');
  ++breakable;
  statement(t, value);
  --breakable;
  p->jump[SWITCH_END] = tell_token();
  --switch_depth;
  // A body that is no block never runs: its labels are dropped.
  if (!block) p->jump[SWITCH_DEFAULT] = p->jump[SWITCH_CASES] = nullptr;
}

static Token *case_target(const Token *p, std::int32_t n) {
  for (Token *c = p->jump[SWITCH_CASES]; c; c = c->jump[CASE_NEXT])
    if (c->value.imm.i == n) return c;
  return p->jump[SWITCH_DEFAULT];
}

static void switch_statement(Value *value) {
  Token *p = tell_token();
  if (!executing) {
    check_switch(p, value);
    return;
  }
  condition(value);
  Token *target = case_target(p, value->imm.i);
  if (target) {
    seek_token(target);
    skip_token();
    for (;;) {
      int t = next_token(value);
      if (t == '}' || t == LEX_NULL || t == LEX_FUNC_END) return;
      statement(t, value);
      if (stopping()) break;
    }
    if (!break_flag) return;
  }
  jump_past(p, SWITCH_END);
  break_flag = false;
}

// The switch a case or default label registers with; null (after a report) outside any switch.
static Token *enclosing_switch(int code) {
  if (switch_depth == 0) {
    syntax_error(code);
    return nullptr;
  }
  return switch_depth <= MAX_SWITCH_NESTING ? switch_stack[switch_depth - 1] : nullptr;
}

static void case_label(Value *value) {
  unsigned unknown = unknown_values;
  expression(0, value, 0);
  if (!executing) {
    Token *sw = enclosing_switch(LEX_CASE);
    if (current_code() != ':') syntax_error(LEX_CASE);
    else if (unknown_values != unknown) error(MSG_NON_INTEGRAL_EXPRESSION);
    else if (sw) {
      Token *colon = tell_token();
      colon->value.imm.i = value->imm.i;
      colon->jump[CASE_NEXT] = sw->jump[SWITCH_CASES];
      sw->jump[SWITCH_CASES] = colon;
    }
  }
  statement(0, value);
}

static void default_label(Value *value) {
  if (executing) {
    skip_token();
  } else {
    Token *sw = enclosing_switch(LEX_DEFAULT);
    if (next_token(value) != ':') syntax_error(LEX_DEFAULT);
    else if (sw) sw->jump[SWITCH_DEFAULT] = tell_token();
  }
  statement(0, value);
}

static void labelled_statement(Value *value) {
  Symbol *label = value->imm.sym;
  if (trace_stmt) trace_printf("Label seen!\n");
  if (next_token(value) != ':') syntax_error(LEX_SYMBOL);
  int t = next_token(value);
  if (!executing) label->label_target = tell_token();
  statement(t, value);
}

static void goto_statement(Value *value) {
  int t;
  {
    RestoreStg stg;
    set_cur_stg(STG_LABEL);
    t = next_token(value);
  }
  Symbol *label = t == LEX_SYMBOL ? value->imm.sym : nullptr;
  if (!label) error(MSG_BAD_LABEL_SYNTAX);
  if (executing) {
    if (label && label->label_target) goto_target = label->label_target;
    return;
  }
  if (label && label->type == TY_NONE) {
    set_sym_type(label, TY_LABEL, 0);
  } else if (label && label->type != TY_LABEL) {
    // A name of another kind (a variable of the body's outermost block) is reported here once;
    // it is no label that the end of the body could still find.
    error(MSG_UNKNOWN_LABEL, label->name);
    label = nullptr;
  }
  if (label) pending_gotos.push_back({label, line_counter});
  next_token(value);
  expect_semicolon();
}

static void return_statement(Value *value) {
  int t = next_token(value);
  if (t == ';') {
    value->type = TY_VOID;
    value->imm.i = 0;
  } else {
    expression(t, value, 0);
    expect_semicolon();
  }
  if (executing) return_flag = true;
}

// A break outside any loop or switch is reported when it is checked and marked, and does nothing
// when it runs.
static void break_statement(Value *value) {
  Token *p = tell_token();
  if (!executing && breakable == 0) {
    syntax_error(LEX_BREAK);
    mark_stray_break(p);
  }
  next_token(value);
  expect_semicolon();
  if (executing && !is_stray_break(p)) break_flag = true;
}

// A declaration at the head of a block; false (nothing read) for a token that starts none.
static bool local_declaration(int t, Value *value) {
  if (!starts_declaration(t, value)) {
    declaring = false;
    return false;
  }
  return declaration(t, value, nullptr);
}

// block -> '{' {declaration} {statement} '}'
static void block(Value *value) {
  enter_scope();
  int t = next_token(value);
  while (local_declaration(t, value)) t = next_token(value);
  t = current_code();
  while (t != '}' && t != LEX_EOF) {
    statement(t, value);
    if (stopping()) break;
    if (trace_stmt) trace_printf("tokens after stmt in block: %s,", token_name(current_code()));
    t = next_token(value);
    if (trace_stmt) trace_printf("%s\n", token_name(t));
  }
  leave_scope();
}

static void expression_statement(int code, Value *value) {
  expression(code, value, 0);
  expect_semicolon();
}

static void dispatch(int code, Value *value) {
  switch (code) {
  case LEX_NULL: fatal(MSG_END_OF_TOKEN_LIST);
  case LEX_SYMBOL:
    if (value->imm.sym->stg == STG_LABEL) labelled_statement(value);
    else expression_statement(code, value);
    break;
  case LEX_RETURN: return_statement(value); break;
  case LEX_IF: if_statement(value); break;
  case LEX_FOR: for_statement(value); break;
  case LEX_SWITCH: switch_statement(value); break;
  case ';':
  case LEX_EOF: break;
  case '{': block(value); break;
  case '}':
    if (!executing) expression_statement(code, value);
    break;
  case LEX_WHILE: while_statement(value); break;
  case LEX_CASE: case_label(value); break;
  case LEX_GOTO: goto_statement(value); break;
  case LEX_BREAK: break_statement(value); break;
  case LEX_DEFAULT: default_label(value); break;
  default: expression_statement(code, value); break;
  }
}

void statement(int code, Value *value) {
  NestingGuard guard;
  ++stmt_level;
  if (!executing && stmt_indent)
    for (int i = 0; i < stmt_level; ++i) trace_printf("  ");
  if (code == 0) code = next_token(value);
  if (trace_stmt) trace_printf("First token in stmt lvl %d: %s\n", stmt_level, token_name(code));
  dispatch(code, value);
  if (trace_stmt) trace_printf("Leaving stmt level %d\n", stmt_level);
  --stmt_level;
}

// Reports every goto of the body whose label was never defined, at the goto's line.
static void check_goto_labels() {
  Restore<int> line(line_counter);
  for (const PendingGoto &g : pending_gotos) {
    if (g.label->label_target) continue;
    line_counter = g.line;
    error(MSG_UNKNOWN_LABEL, g.label->name);
  }
  pending_gotos.clear();
}

void check_function_body(Value *value) {
  Restore<int> outer_breakable(breakable);
  Restore<int> outer_switches(switch_depth);
  breakable = switch_depth = 0;
  statement('{', value);
  check_goto_labels();
}
