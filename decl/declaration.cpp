#include "decl/declaration.h"

#include "decl/types.h"
#include "eval/expression.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "source/token_stream.h"
#include "stmt/statement.h"

TypeDesc last_base_type;

// Stars read by the last declarator that named no symbol.
static int abstract_stars = 0;

// What the specifier list of one declaration gave.
namespace {
struct Specifiers {
  TypeDesc base;
  bool is_unsigned = false;
  bool is_typedef = false;
  bool from_typedef = false;
  Symbol *tag = nullptr;
};
}  // namespace

// Reads the token after a struct or enum keyword and returns the tag it names (an anonymous one
// for a body without a name, null when there is neither).
static Symbol *read_tag(int tag_code, Value *value) {
  int t;
  {
    RestoreStg stg;
    set_cur_stg(STG_TAG);
    t = next_token(value);
  }
  Symbol *tag;
  if (t == '{') {
    // A body replayed keeps the anonymous tag made when it was checked.
    if (replaying) return tell_token()->value.imm.sym;
    tag = sym_temp();
  } else if (t == LEX_SYMBOL) {
    tag = value->imm.sym;
    t = next_token(value);
  } else {
    syntax_error(t);
    return nullptr;
  }
  if (tag->type != TY_NONE && tag->type != tag_code) error(MSG_REDEFINITION, tag->name);
  if (!replaying && !(tag->type == tag_code && t != '{')) set_sym_type(tag, tag_code, 0);
  return tag;
}

// The link slot where a struct body's '{' and a nested function declaration's '(' keep the last
// token of what reading them took, which a replay passes over.
constexpr int READ_END = 0;

// A replayed body checked before is passed over by the link its '{' keeps.
static void pass_over_body() {
  Token *close = tell_token()->jump[READ_END];
  if (!close) return;
  seek_token(close);
  skip_token();
}

// After a tag: whether a body follows that is to be read now. Without one the token after the
// tag is pushed back; a replayed body is passed over.
static bool body_to_read() {
  if (current_code() != '{') {
    unget_token();
    return false;
  }
  if (replaying) {
    pass_over_body();
    return false;
  }
  return true;
}

// Records the body's end and anonymous tag in its '{' for later runs.
static void mark_body(Token *open, Symbol *tag) {
  open->jump[READ_END] = tell_token();
  open->value.imm.sym = tag;
}

// struct-or-union-specifier -> (struct | union) [name] ['{' {declaration} '}']
static Symbol *struct_specifier(int code, Symbol *outer, Value *value) {
  RestoreStg stg;
  Symbol *tag = read_tag(code == TY_STRUCT ? TY_STAG : TY_UTAG, value);
  if (!body_to_read()) return tag;
  Token *open = tell_token();
  enter_scope();
  set_cur_stg(STG_MEMBER);
  set_cur_struct(tag);
  // Every token of the body is read with declaring clear, so typedef names are found in all levels.
  declaring = false;
  int t = next_token(value);
  while (t != '}' && t != LEX_EOF) {
    if (declaration(t, value, tag) && (current_code() == '}' || current_code() == LEX_EOF)) break;
    t = next_token(value);
  }
  declaring = true;
  Symbol *members = leave_struct_scope();
  if (tag) tag->members = members;
  mark_body(open, tag);
  set_cur_struct(outer);
  return tag;
}

// The value after an enum constant's: 32-bit words wrap, as the script's arithmetic does.
static int following(int value) { return static_cast<int>(static_cast<std::uint32_t>(value) + 1u); }

// Reads "= value" after an enum constant, or takes the next value.
static int enum_value(Symbol *constant, int t, int &next_value) {
  if (t == '=') {
    declaring = false;
    unsigned unknown = unknown_values;
    Value v;
    list_value_expression(&v);
    declaring = true;
    if (!executing && unknown_values != unknown) {
      error(MSG_NON_INTEGRAL_EXPRESSION);
      v.imm.i = 0;
    }
    if (constant) constant->offset = v.imm.i;
    next_value = following(v.imm.i);
    return current_code();
  }
  if (t == ',' || t == '}') {
    if (constant) constant->offset = next_value;
    next_value = following(next_value);
    return t;
  }
  return t;
}

// enum-specifier -> enum [name] ['{' name ['=' expression] {',' name ['=' expression]} '}']
static Symbol *enum_specifier(Value *value) {
  RestoreStg stg;
  Symbol *tag = read_tag(TY_ETAG, value);
  if (!body_to_read()) return tag;
  Token *open = tell_token();
  set_cur_stg(STG_ENUM_CONST);
  int next_value = 0;
  for (int t = next_token(value); t != '}' && t != LEX_EOF; t = next_token(value)) {
    if (t != LEX_SYMBOL) {
      syntax_error(t);
      continue;
    }
    Symbol *constant = value->imm.sym;
    if (constant->type == TY_NONE) {
      constant->stg = STG_ENUM_CONST;
      set_sym_type(constant, TY_ENUM, tag_aux(tag));
    } else {
      error(MSG_REDEFINITION, constant->name);
    }
    t = enum_value(constant, next_token(value), next_value);
    if (t == '}' || t == LEX_EOF) break;
    if (t != ',') syntax_error(t);
  }
  mark_body(open, tag);
  return tag;
}

// The type keyword 'code' applied to the specifiers; false when it is none.
bool add_type_keyword(int code, int &type, bool &is_unsigned) {
  switch (code) {
  case LEX_VOID: type = TY_VOID; return true;
  case LEX_CHAR: type = is_unsigned ? TY_UCHAR : TY_CHAR; return true;
  case LEX_SHORT: type = is_unsigned ? TY_USHORT : TY_SHORT; return true;
  case LEX_INT:
    if (type == TY_NONE) type = is_unsigned ? TY_UINT : TY_INT;
    return true;
  case LEX_LONG: type = is_unsigned ? TY_ULONG : TY_LONG; return true;
  case LEX_DOUBLE: type = TY_DOUBLE; return true;
  case LEX_FLOAT: type = TY_FLOAT; return true;
  case LEX_SIGNED: return true;
  case LEX_UNSIGNED:
    is_unsigned = true;
    type = TY_UINT;
    return true;
  default: return false;
  }
}

static bool type_keyword(int code, Specifiers &s) {
  switch (code) {
  case LEX_STATIC: set_cur_stg(STG_STATIC); return true;
  case LEX_EXTERN: set_cur_stg(STG_EXTERN); return true;
  case LEX_TYPEDEF: s.is_typedef = true; return true;
  default: return add_type_keyword(code, s.base.type, s.is_unsigned);
  }
}

// A struct, union or enum specifier; ends on the token after it.
static int tag_specifier(int code, Specifiers &s, Symbol *outer, Value *value) {
  if (s.base.type != TY_NONE) error(MSG_BAD_TYPE_DECLARATION);
  if (code == LEX_ENUM) {
    s.base.type = TY_ENUM;
    s.tag = enum_specifier(value);
  } else {
    s.base.type = code == LEX_STRUCT ? TY_STRUCT : TY_UNION;
    s.tag = struct_specifier(s.base.type, outer, value);
  }
  return next_token(value);
}

// specifiers -> {static | extern | typedef | type keyword} [typedef-name | struct | union | enum]
// Returns the number of specifier tokens; the current token is then the first of the declarator.
static int specifiers(int t, Specifiers &s, Symbol *outer, Value *value) {
  int handled = 0;
  for (;; ++handled, t = next_token(value)) {
    if (t == LEX_SYMBOL && value->imm.sym->stg == STG_TYPEDEF) {
      s.base.set_head(*value->imm.sym);
      s.from_typedef = true;
      next_token(value);
      return handled + 1;
    }
    if (t == LEX_STRUCT || t == LEX_UNION || t == LEX_ENUM) {
      tag_specifier(t, s, outer, value);
      ++handled;
      break;
    }
    if (!type_keyword(t, s)) break;
  }
  if (handled == 0) return 0;
  if (s.base.type == TY_NONE) s.base.type = TY_INT;
  s.base.next = nullptr;
  s.base.aux = tag_aux(s.tag);
  return handled;
}

// declarator -> {'*'} name; the stars go on top of 'base' innermost first.
static Symbol *declarator(int t, Value *value, const TypeDesc *base) {
  NestingGuard guard;
  if (t == '*' || t == LEX_DEREF) {
    Symbol *sym = declarator(next_token(value), value, base);
    if (!sym) ++abstract_stars;
    else if (!executing) add_sym_type(sym, TY_PTR, 0);
    return sym;
  }
  if (t != LEX_SYMBOL) return nullptr;
  Symbol *sym = value->imm.sym;
  if (!executing) set_sym_td(sym, base);
  next_token(value);
  return sym;
}

// dims -> {'[' expression ']'}; returns the token after the last dimension.
static int array_dims(Symbol *sym, Value *value) {
  NestingGuard guard;
  int t = current_code();
  if (t != '[') return t;
  unsigned unknown = unknown_values;
  Value size;
  expression(0, &size, 0);
  bool known = unknown_values == unknown;
  if (current_code() != ']') error(MSG_EXPECTED, ']');
  next_token(value);
  int r = array_dims(sym, value);
  if (!executing) {
    if (size.type != TY_INT || !known) error(MSG_NON_INTEGRAL_EXPRESSION);
    add_sym_type(sym, TY_ARRAY, known ? size.imm.i : 0);
  }
  return r;
}

// Reads the parameter names after '('; returns the first parameter.
static Symbol *parameter_names(Value *value) {
  Symbol *first = nullptr;
  int t = next_token(value);
  while (t != ')') {
    if (t != LEX_SYMBOL) {
      syntax_error(t);
      break;
    }
    Symbol *param = value->imm.sym;
    if (!first) first = param;
    if (!executing) set_sym_type(param, TY_INT, 0);
    t = next_token(value);
    if (t != ',') break;
    t = next_token(value);
  }
  if (current_code() != ')') error(MSG_BAD_ARGUMENT);
  return first;
}

// The body of a function definition: checked once, recorded, closed by LEX_FUNC_END.
static void function_body(Symbol *fn, Value *value) {
  fn->body = tell_token();
  int errors = error_count;
  check_function_body(value);
  fn->body_errors = error_count != errors;
  set_cur_stg(STG_GLOBAL);
  declaring = true;
  fn->offset = frame_offset;
  leave_scope();
  record_token(LEX_FUNC_END, value);
}

static void read_function_declaration(Symbol *fn, Value *value) {
  Restore<Symbol *> outer_function(cur_function);
  int outer_frame = frame_offset;
  fn->ret_type = fn->type;
  set_sym_type(fn, TY_FUNC, 0);
  cur_function = fn;
  enter_scope();
  set_cur_stg(STG_AUTO);
  Symbol *first = parameter_names(value);
  // The token after ')' is looked up in all levels, so that it may be a typedef name.
  declaring = false;
  int t = next_token(value);
  declaring = true;
  if (t == ';') {
    leave_scope();
    frame_offset = outer_frame;
    return;
  }
  if (scope_level > 1) error(MSG_NESTED_FUNCTION);
  while (declaration(t, value, nullptr)) t = next_token(value);
  allocate_params(first);
  if (t != '{') {
    error(MSG_EXPECTED, '{');
    leave_scope();
  } else {
    // A second definition is reported; the later one is the function from then on.
    if (fn->body) error(MSG_REDEFINITION, fn->name);
    function_body(fn, value);
  }
  // A definition nested in a body (reported) leaves the outer body's frame layout as it was.
  if (outer_function.saved()) frame_offset = outer_frame;
}

// function -> declarator '(' [name {',' name}] ')' (';' | {declaration} '{' body '}')
// A prototype or definition inside a body is read when the body is checked, and its '(' then
// links to the last token that reading took: a run passes over exactly those tokens, however
// the reading ended (a prototype's ';', a body's end, or the token where an error stopped it).
// A definition may also turn up where nothing is recorded or something runs (a cast in a top-level
// expression or a global's initialiser): it is still recorded and only checked, as any other.
static void function_declaration(Symbol *fn, Value *value) {
  if (!replaying) {
    Token *open = recorded_token();
    Restore<bool> outer_recording(recording);
    Restore<bool> outer_executing(executing);
    recording = true;
    executing = false;
    read_function_declaration(fn, value);
    if (open) open->jump[READ_END] = tell_token();
    return;
  }
  Token *open = tell_token();
  if (open && open->jump[READ_END]) {
    seek_token(open->jump[READ_END]);
    skip_token();
  }
}

// '=' expression. Globals and statics are set once, when their declaration is read (the
// initialiser is evaluated then, as a top-level expression is); locals each time theirs runs.
// Otherwise, and in a check, the initialiser is only parsed.
static int initialiser(Symbol *sym) {
  bool once = scope_level == 0 || sym->stg == STG_STATIC || sym->stg == STG_EXTERN;
  bool store = once ? !executing && !check_only : executing;
  Restore<bool> outer_executing(executing);
  declaring = false;
  executing = store;
  Value v;
  expression(0, &v, 0);
  if (store) mem_store(&v, var_address(sym), sym->type);
  declaring = true;
  return current_code();
}

// The declarators of one declaration, after its specifiers.
static void declarator_list(Specifiers &s, Value *value) {
  for (;;) {
    abstract_stars = 0;
    Symbol *sym = declarator(current_code(), value, &s.base);
    if (!sym) {
      int t = current_code();
      if (t != ';' && t != ')') syntax_error(t);
      last_base_type = pointer_type(s.base, abstract_stars);
      return;
    }
    int t = array_dims(sym, value);
    if (!executing) sym_allocate(sym);
    if (s.is_typedef) sym->stg = STG_TYPEDEF;
    last_base_type = s.base;
    if (t == '=') t = initialiser(sym);
    if (t == ',') {
      next_token(value);
      continue;
    }
    if (t == '(') function_declaration(sym, value);
    else if (t != ';') error(MSG_EXPECTED, ';');
    return;
  }
}

int declaration(int code, Value *value, Symbol *outer) {
  if (!starts_declaration(code, value)) {
    declaring = false;
    return 0;
  }
  NestingGuard guard;
  declaring = true;
  int saved_stg = cur_stg;
  Specifiers s;
  if (!specifiers(code, s, outer, value)) {
    declaring = false;
    return 0;
  }
  declarator_list(s, value);
  // Inside a body, static and extern hold for their own declaration only.
  if (scope_level >= 2) set_cur_stg(saved_stg);
  declaring = false;
  return 1;
}
