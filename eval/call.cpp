#include "eval/call.h"

#include <cstring>

#include "builtins/builtin_table.h"
#include "decl/symbols.h"
#include "eval/expression.h"
#include "eval/register_code.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "shell/run_end.h"
#include "source/lexer.h"
#include "source/token_stream.h"
#include "stmt/statement.h"

int call_depth = 0;

static std::int32_t builtin_args[BUILTIN_ARG_WORDS];
int builtin_argc = 0;

// Whether an argument of type 'arg' may be passed for 'param', as C converts it implicitly.
static bool argument_fits(const Symbol *param, const Value &arg) {
  int p = param->type;
  int a = arg.type;
  if (is_integer(p) || is_floating(p)) return is_integer(a) || is_floating(a);
  switch (p) {
  case TY_PTR:
    if (a == TY_PTR || a == TY_ARRAY) return chains_match(param->next, arg.next);
    return is_integer(a) && arg.imm.i == 0;
  case TY_STRUCT:
  case TY_UNION: return a == p && arg.aux == param->aux;
  default: return a == p;
  }
}

// Reads the argument after the current token and the ones after it, matching them with the
// parameters from 'param' on; pushes them on the way back, so the first ends lowest.
static void push_args_from(Symbol *param, bool check) {
  Value arg;
  int t = next_token(&arg);
  if (t == ')') return;
  expression(t, &arg, 0);
  if (check && !executing) {
    if (!param) error(MSG_BAD_ARGUMENT);
    else if (!argument_fits(param, arg)) error(MSG_TYPE_MISMATCH, type_name(param->type));
  }
  if (current_code() == ',') push_args_from(param ? param->link : nullptr, check);
  if (!executing) return;
  int type = param ? param->type : arg.type;
  if (type == TY_ARRAY) type = TY_PTR;
  push_arg(&arg, type);
}

// Argument checks apply to functions and to names not declared yet (whose every argument is
// then reported, as they have no parameters).
static void push_args(Symbol *fn) {
  bool check = fn && (fn->type == TY_FUNC || fn->type == TY_NONE);
  push_args_from(check ? first_param(fn) : nullptr, check);
  if (current_code() != ')') error(MSG_EXPECTED, ')');
}

static void set_result(Value *v, int type) {
  v->type = type;
  v->next = nullptr;
  v->aux = 0;
  v->imm.d = 0.0;
  v->ext.d = 0.0;
}

void script_call(Symbol *fn, const char *name, Value *v) {
  Restore<std::int32_t> stack(stack_ptr);
  push_args(fn);
  if (!executing) {
    // The checking pass types a call by the function's declared return type.
    if (fn && fn->type == TY_FUNC) v->set_head(TypeDesc{fn->ret_type, fn->next, 0});
    else v->type = fn ? fn->type : TY_NONE;
  } else if (!fn) {
    error(MSG_UNKNOWN_FUNCTION, name);
    set_result(v, TY_INT);
  } else {
    v->type = fn->type;
    call_function(fn, v);
  }
  if (trace_exp) {
    trace_printf("fn return val is:");
    print_value(v);
  }
}

void call_function(Symbol *fn, Value *v) {
  if (trace_stmt) {
    trace_message(MSG_CALLING, fn->name);
    print_sym(fn, 0);
  }
  if (fn->type != TY_FUNC || !fn->body) {
    error(MSG_UNKNOWN_FUNCTION, fn->name);
    set_result(v, TY_INT);
    return;
  }
  // The frame: arguments above frame_base, locals below, stack_ptr at the lowest local.
  std::int32_t frame = stack_ptr;
  if (call_depth >= MAX_CALL_DEPTH || frame + fn->offset < arena_top) {
    error(MSG_MEMORY_OVERFLOW);
    set_result(v, fn->ret_type);
    return;
  }
  bool was_replaying = replaying;
  Token *cursor = replay_cursor();
  Token *current = tell_token();
  Restore<bool> outer_return(return_flag);
  Restore<std::int32_t> outer_frame(frame_base);
  int saved_line = line_counter;
  replaying = true;
  frame_base = frame;
  stack_ptr = frame + fn->offset;
  seek_token(fn->body);
  if (!run_compiled_body(fn, v)) run_body(v);
  if (trace_stmt) trace_message(MSG_RETURNED_FROM_CALL);
  // A function that ends without return gives 0 of its return type.
  if (!return_flag) set_result(v, fn->ret_type);
  if (was_replaying) {
    seek_token(cursor);
  } else {
    resume_lexing(current);
    line_counter = saved_line;
  }
  if (fn->ret_type == TY_VOID) v->type = TY_VOID;
}

void run_body(Value *v) {
  ++call_depth;
  int entry_level = stmt_level;
  for (;;) {
    if (return_flag) break;
    if (goto_target) {
      // A goto abandoned the statements it was in; reading goes on at its label.
      seek_token(goto_target);
      goto_target = nullptr;
      stmt_level = entry_level;
    }
    int t = next_token(v);
    if (t == LEX_FUNC_END) break;
    statement(t, v);
    check_requested_end();
  }
  --call_depth;
}

// Stores one argument as words; false when the area is full.
static bool store_argument(const Value &arg) {
  int words = is_floating(arg.type) ? 2 : 1;
  if (builtin_argc + words > BUILTIN_ARG_WORDS) return false;
  if (words == 2) std::memcpy(&builtin_args[builtin_argc], &arg.imm.d, sizeof arg.imm.d);
  else builtin_args[builtin_argc] = arg.imm.i;
  builtin_argc += words;
  return true;
}

static void trace_builtin_call(int index, int first) {
  trace_message(MSG_CALLING_BUILTIN, builtin_name(index));
  for (int i = builtin_argc - 1; i >= first; --i) trace_printf("%x,", static_cast<unsigned>(builtin_args[i]));
  trace_printf(")\n");
}

static void run_builtin(int index, int first, Value *v) {
  BuiltinFn fn = builtin_function(index);
  if (!fn) {
    error(MSG_UNKNOWN_FUNCTION, builtin_name(index));
    set_result(v, v->type);
    return;
  }
  // Words the call did not fill are 0, never what an earlier call left there.
  std::int32_t words[BUILTIN_WORDS] = {};
  int passed = builtin_argc - first;
  std::memcpy(words, &builtin_args[first],
              sizeof(std::int32_t) * (passed < BUILTIN_WORDS ? passed : BUILTIN_WORDS));
  BuiltinResult r = fn(words);
  if (v->type == TY_DOUBLE) v->imm.d = r.d;
  else v->imm.i = r.i;
  check_requested_end();
}

// Stores one more argument from 'first' on; 'full' turns true (after a report) when it does not fit.
static void add_argument(const Value &arg, bool &full) {
  if (full || store_argument(arg)) return;
  full = true;
  error(MSG_MEMORY_OVERFLOW);
}

// The call of row 'index' once its argument words from 'first' on are stored.
static void finish_builtin(int index, int first, bool full, Value *v) {
  if (trace_exp) trace_builtin_call(index, first);
  // A built-in's result carries no pointee type.
  v->next = nullptr;
  v->aux = 0;
  if (full) set_result(v, v->type);
  else if (executing) run_builtin(index, first, v);
  else unknown_value(v);
  builtin_argc = first;
}

void call_builtin(int index, Value *v) {
  int first = builtin_argc;
  bool full = false;
  Value arg;
  int t = next_token(&arg);
  while (t != ')') {
    expression(t, &arg, 0);
    add_argument(arg, full);
    if (current_code() != ',') break;
    t = next_token(&arg);
  }
  if (current_code() != ')') error(MSG_EXPECTED, ')');
  finish_builtin(index, first, full, v);
}

void builtin_with_words(int index, const std::int32_t *words, int count, Value *v) {
  int first = builtin_argc;
  bool full = false;
  for (int i = 0; i < count && !full; ++i) {
    if (builtin_argc + 1 > BUILTIN_ARG_WORDS) {
      full = true;
      error(MSG_MEMORY_OVERFLOW);
    } else {
      builtin_args[builtin_argc++] = words[i];
    }
  }
  finish_builtin(index, first, full, v);
}
