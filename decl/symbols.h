// The symbol table. Every name of a script is a Symbol, created when the lexer first reads it.
// Where lookups search and where new symbols go is steered by scope_level, cur_stg and declaring,
// which the parsers set. While a body runs no lookup happens: replayed tokens carry their Symbols.
#pragma once
#include "decl/types.h"
#include "shell/modes.h"

struct Token;

// Storage classes.
enum Storage : int {
  STG_AUTO = 0,    // parameter or local, relative to the frame base
  STG_GLOBAL = 1,  // global variable or function
  STG_EXTERN = 2,
  STG_STATIC = 3,
  STG_TYPEDEF = 4,
  STG_MEMBER = 5,
  STG_TAG = 6,  // struct, union or enum tag; also selects the tag table
  STG_ENUM_CONST = 7,
  STG_LABEL = 8,  // goto label; also selects the label list
};

// Levels a function's scope array holds (parameters, body, nested blocks and struct bodies).
constexpr int MAX_SCOPE_LEVELS = 320;

struct Symbol : TypeDesc {
  int stg = STG_AUTO;
  // Global: arena offset. Parameter: offset above the frame base. Local: offset below it.
  // Member: byte offset. Enum constant: its value. Function: frame size (0 or negative).
  int offset = 0;
  char *name = nullptr;
  Symbol *link = nullptr;         // next symbol of the same list
  int ret_type = 0;               // function: code of the return type (its chain goes on at next)
  Token *body = nullptr;          // function: the Token of the '{' that opens the body
  bool body_errors = false;       // function: checking the body reported errors
  struct RegisterCode *code = nullptr;  // function: its compiled body (eval/register_code.h)
  Symbol **scopes = nullptr;      // function: its scope-list heads, parameters first
  Symbol *members = nullptr;      // struct or union tag: the member list
  Token *label_target = nullptr;  // label: the first Token of the labelled statement
};

extern int scope_level;
extern int cur_stg;
extern bool declaring;
extern Symbol *cur_function;
extern Symbol *cur_struct;
extern int frame_offset;
// Counts the symbols that a declaration read from the source has given storage or a type: code
// compiled from a body before a later one (which may move a global, retype it or change an
// enumeration value) is compiled again.
extern unsigned declaration_epoch;

// Changes cur_stg (the tag class also marks the lookup mode, for the trace).
void set_cur_stg(int stg);
// Gives cur_stg back, through set_cur_stg, when the scope ends.
class RestoreStg {
public:
  RestoreStg() : saved_(cur_stg) {}
  ~RestoreStg() { set_cur_stg(saved_); }
  RestoreStg(const RestoreStg &) = delete;
  RestoreStg &operator=(const RestoreStg &) = delete;

private:
  int saved_;
};

// Looks 'name' up: in the member list after begin_member_lookup(), in the level-0 table for tags
// and labels, else from scope_level down to 0 (only scope_level itself while declaring). 1 with
// the symbol in '*out', or 0 with null.
int sym_find(const char *name, Symbol **out);
// A new symbol 'name' at the end of the table of scope_level (of level 0 unless declaring), with
// cur_stg as its storage class.
Symbol *sym_enter(const char *name);
// A new symbol with a made-up name ("@tempN"), for the parsers' unnamed types.
Symbol *sym_temp();
// The next lookup searches the members of the tag in td's aux.
void begin_member_lookup(const TypeDesc *td);
// The head of the symbol list of scope 'level': globals at 0, then the levels of the function
// being read.
Symbol **scope_table(int level);

// A block opened while a body is read: the next level, a fresh list (levels 1 and 2, the
// parameters and the body, start a new frame layout).
void enter_scope_reading();
// Back to the enclosing level; leaving a function's parameter level keeps its lists with it.
void leave_scope_reading();
// A block's scope. A replayed body looks nothing up, so there a scope is only a level.
inline void enter_scope() {
  if (replaying) ++scope_level;
  else enter_scope_reading();
}
inline void leave_scope() {
  if (replaying && !trace_stmt) --scope_level;
  else leave_scope_reading();
}
// Leaves the level of a struct or union body and hands over its member list.
Symbol *leave_struct_scope();
// The tag whose members are being declared.
void set_cur_struct(Symbol *tag);

// Gives 'sym' its storage by cur_stg and the level: a member the next offset of cur_struct, a
// global or static arena bytes, a parameter the next offset above the frame base, a local the
// next below it.
void sym_allocate(Symbol *sym);
// Lays out the parameter list from 'first' on, from offset 0.
void allocate_params(Symbol *first);

// The first parameter of 'fn' (null when it has none).
Symbol *first_param(Symbol *fn);

void print_sym(const Symbol *sym, int depth);
void print_stg(const Symbol *sym);
