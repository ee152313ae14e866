#include "shell/driver.h"

#include <cstring>

#include "decl/declaration.h"
#include "decl/symbols.h"
#include "eval/call.h"
#include "eval/expression.h"
#include "platform/platform.h"
#include "shell/diagnostics.h"
#include "shell/run_end.h"
#include "source/lexer.h"
#include "source/token_stream.h"

int trace_lex = 0;
int trace_exp = 0;
int trace_sym = 0;
int trace_stmt = 0;
bool stmt_indent = false;
bool run_requested = false;
bool executing = false;
bool check_only = false;

// Highest scope level that @list shows.
constexpr int LISTED_LEVELS = 31;

static const char *source_files[MAX_SOURCE_FILES];
static int source_count = 0;
static bool input_exhausted = false;

void push_source_file(const char *name) {
  if (source_count == MAX_SOURCE_FILES) {
    fatal(MSG_TOO_MANY_FILES);
  }
  source_files[source_count++] = name;
}

// The end of the input: main runs once, unless a declaration is still open.
static void input_ended() {
  if (input_exhausted) return;
  input_exhausted = true;
  if (scope_level > 0) {
    error(MSG_UNEXPECTED_EOF);
    return;
  }
  if (!run_requested) {
    stmt_indent = true;
    return;
  }
  run_main();
  plat_post_quit();
}

InputFile *open_next_source() {
  if (source_count == 0) {
    input_ended();
    return nullptr;
  }
  const char *name = source_files[--source_count];
  InputFile *in = input_open(plat_open(name));
  if (!in) {
    fatal(MSG_CANT_OPEN, name);
  }
  return in;
}

void run_main() {
  Symbol *fn;
  if (!sym_find("main", &fn)) {
    error(MSG_NO_MAIN);
    return;
  }
  // The end of the input can come in the middle of a top-level expression, so the modes are
  // restored rather than reset.
  bool was_recording = recording;
  bool was_executing = executing;
  recording = false;
  executing = true;
  Value result;
  call_function(fn, &result);
  recording = was_recording;
  executing = was_executing;
}

static void parse_option(const char *arg) {
  if (std::strcmp(arg, "-dlex") == 0) ++trace_lex;
  else if (std::strcmp(arg, "-dexp") == 0) ++trace_exp;
  else if (std::strcmp(arg, "-dsym") == 0) ++trace_sym;
  else if (std::strcmp(arg, "-dstmt") == 0) {
    ++trace_stmt;
    stmt_indent = true;
  } else if (std::strcmp(arg, "-run") == 0) run_requested = true;
  else error(MSG_UNKNOWN_OPTION, arg);
}

static void list_symbols() {
  for (int level = LISTED_LEVELS; level >= 0; --level)
    for (Symbol *sym = *scope_table(level); sym; sym = sym->link) print_sym(sym, level);
}

static void print_result(const Value &v) {
  switch (v.type) {
  case TY_DOUBLE:
  case TY_FLOAT: trace_printf("%g\n", v.imm.d); break;
  case TY_STRUCT: print_struct_value(); break;
  case TY_VOID: break;
  default: trace_printf("%d\n", v.imm.i); break;
  }
}

// A top-level expression ends at the end of its line and is evaluated at once; a check only
// checks it, as it checks function bodies.
static void top_level_expression(int code, Value *value) {
  // Only a name, a constant or a built-in hands the expression its Value; after any other first
  // token the Value holds what earlier tokens left there, so the expression starts from the int 0.
  if (code != LEX_SYMBOL && code != LEX_CONSTANT && code != LEX_BUILTIN) set_int_result(value, 0);
  line_end_tokens = true;
  executing = !check_only;
  recording = false;
  expression(code, value, 0);
  executing = false;
  recording = true;
  line_end_tokens = false;
  if (!check_only) print_result(*value);
}

void interpreter_main(int argc, const char *const *argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-') parse_option(argv[i]);
    else push_source_file(argv[i]);
  }
  input_handle = open_next_source();
  recording = true;
  Value value;
  for (;;) {
    check_requested_end();
    int code = next_token(&value);
    switch (code) {
    case LEX_LIST:
      if (!check_only) list_symbols();
      break;
    case LEX_RUN:
      if (check_only) return;
      trace_printf("Calling main...\n");
      run_main();
      plat_post_quit();
      return;
    case LEX_EDIT: break;
    case LEX_EOF: return;
    default:
      if (!declaration(code, &value, nullptr)) top_level_expression(code, &value);
      break;
    }
  }
}
