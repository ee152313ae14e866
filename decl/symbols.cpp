#include "decl/symbols.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "eval/value.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "source/token_stream.h"

int scope_level = 0;
int cur_stg = STG_AUTO;
bool declaring = false;
Symbol *cur_function = nullptr;
Symbol *cur_struct = nullptr;
int frame_offset = 0;

// 0 normal; 1 the next lookup searches member_list only; 2 a tag is being looked up (trace only).
static int find_mode = 0;
static Symbol *member_list = nullptr;
static int temp_count = 0;
static Symbol *param_cursor = nullptr;

static Symbol *global_table = nullptr;
static Symbol *tag_table = nullptr;
// The list heads of levels 1, 2, ... of the function or struct being declared; head 0 holds the
// parameters, head 1 the outermost block of a body and its labels.
static Symbol **level_tables = nullptr;

void set_cur_stg(int stg) {
  cur_stg = stg;
  if (stg == STG_TAG && !replaying) find_mode = 2;
}

Symbol **scope_table(int level) {
  if (!level_tables) {
    level_tables = new (std::nothrow) Symbol *[MAX_SCOPE_LEVELS]();
    if (!level_tables) {
      fatal(MSG_SYMBOL_TABLE_OVERFLOW);
    }
  }
  if (cur_stg == STG_TAG) return &tag_table;
  if (cur_stg == STG_LABEL) return &level_tables[1];
  if (level <= 0) return &global_table;
  if (level > MAX_SCOPE_LEVELS) level = MAX_SCOPE_LEVELS;
  return &level_tables[level - 1];
}

static unsigned address_word(const void *p) {
  return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
}

static Symbol *search_list(Symbol *sym, const char *name) {
  for (; sym; sym = sym->link) {
    if (std::strcmp(sym->name, name) == 0) return sym;
    if (trace_sym > 2) trace_printf("sym_find looks at '%s',", sym->name);
  }
  return nullptr;
}

int sym_find(const char *name, Symbol **out) {
  *out = nullptr;
  if (trace_sym > 2)
    trace_printf("sym_find: '%s', mode %d, &table %x\n", name, find_mode,
                 address_word(scope_table(scope_level)));
  if (find_mode == 1) {
    find_mode = 0;
    *out = search_list(member_list, name);
    return *out != nullptr;
  }
  int start = (cur_stg == STG_TAG || cur_stg == STG_LABEL) ? 0 : scope_level;
  for (int level = start; level >= 0; --level) {
    if (Symbol *sym = search_list(*scope_table(level), name)) {
      if (trace_sym > 2) {
        trace_printf("sym_found '%s'(scope=%d):", name, level);
        print_sym(sym, 0);
      }
      *out = sym;
      return 1;
    }
    if (declaring) break;
  }
  return 0;
}

Symbol *sym_enter(const char *name) {
  int level = declaring ? scope_level : 0;
  Symbol *sym = new (std::nothrow) Symbol;
  if (!sym) {
    fatal(MSG_OUT_OF_MEMORY);
  }
  Symbol **head = scope_table(level);
  if (trace_sym > 2)
    trace_printf("sym_entering %s at scope_level %d, &table %x\n", name, level, address_word(head));
  while (*head) head = &(*head)->link;
  *head = sym;
  size_t n = std::strlen(name) + 1;
  sym->name = new (std::nothrow) char[n];
  if (!sym->name) {
    fatal(MSG_SYMBOL_TABLE_OVERFLOW);
  }
  std::memcpy(sym->name, name, n);
  sym->stg = cur_stg;
  return sym;
}

Symbol *sym_temp() {
  char name[32];
  std::snprintf(name, sizeof name, "@temp%d", temp_count++);
  return sym_enter(name);
}

void begin_member_lookup(const TypeDesc *td) {
  cur_struct = aux_tag(td->aux);
  member_list = cur_struct ? cur_struct->members : nullptr;
  if (!replaying) find_mode = 1;
}

void enter_scope_reading() {
  ++scope_level;
  if (scope_level == 1 || scope_level == 2) frame_offset = 0;
  *scope_table(scope_level) = nullptr;
}

void leave_scope_reading() {
  if (trace_stmt) trace_printf("Leaving scope level %d\n", scope_level);
  --scope_level;
  if (declaring && scope_level == 0 && cur_function) {
    delete[] cur_function->scopes;  // a prototype's parameter list, replaced by the definition's
    cur_function->scopes = level_tables;
    level_tables = nullptr;
  }
}

Symbol *leave_struct_scope() {
  if (trace_stmt) trace_printf("Leaving struct scope level %d\n", scope_level);
  --scope_level;
  Symbol **head = scope_table(scope_level + 1);
  Symbol *list = *head;
  *head = nullptr;
  return list;
}

void set_cur_struct(Symbol *tag) {
  cur_struct = tag;
  if (trace_sym) print_sym(tag, 0);
}

// A struct, a parameter list or a frame that grows past the arena can never be stored: the growth
// is reported (102) once, and the running size then stays just past the arena, so that it is never
// computed further (a frame that large is refused when its function is called).
constexpr int PAST_ARENA = ARENA_SIZE + 1;
static int grown(int from, int size) {
  if (from >= PAST_ARENA) return PAST_ARENA;
  // A size of -1 (a type without a size) was reported already and takes no room.
  std::int64_t to = std::int64_t{from} + (size > 0 ? size : 0);
  if (to <= ARENA_SIZE) return static_cast<int>(to);
  error(MSG_MEMORY_OVERFLOW);
  return PAST_ARENA;
}

unsigned declaration_epoch = 0;

void sym_allocate(Symbol *sym) {
  if (!replaying) ++declaration_epoch;
  sym->stg = cur_stg;
  char text[TRACE_TEXT_BUFFER];
  if (trace_sym > 1) {
    trace_printf("%s", load_message(MSG_SYM_ALLOCATE_BEFORE, text, sizeof text));
    print_sym(sym, 0);
  }
  if (cur_stg == STG_MEMBER) {
    if (cur_struct) {
      sym->offset = static_cast<int>(cur_struct->aux);
      cur_struct->aux = grown(sym->offset, td_size(sym));
    }
  } else if (scope_level == 0) {
    sym->stg = STG_GLOBAL;
    sym->offset = arena_reserve(td_size(sym));
  } else if (scope_level >= 2 && (cur_stg == STG_STATIC || cur_stg == STG_EXTERN)) {
    // A static or extern local lives as long as a global does.
    sym->offset = arena_reserve(td_size(sym));
  } else if (scope_level == 1) {
    sym->offset = frame_offset;
    if (sym->type == TY_ARRAY) sym->type = TY_PTR;
    frame_offset = grown(frame_offset, td_size(sym));
  } else {
    frame_offset = -grown(-frame_offset, td_size(sym));
    sym->offset = frame_offset;
  }
  if (trace_sym) {
    trace_printf("%s", load_message(MSG_SYM_ALLOCATE_AFTER, text, sizeof text));
    print_sym(sym, 0);
  }
}

void allocate_params(Symbol *first) {
  frame_offset = 0;
  for (Symbol *sym = first; sym; sym = sym->link) sym_allocate(sym);
}

// The parameter list of 'fn'; while fn's own body is being checked, the list being defined.
Symbol *first_param(Symbol *fn) {
  if (fn->scopes) param_cursor = fn->scopes[0];
  else if (fn == cur_function && level_tables) param_cursor = level_tables[0];
  else param_cursor = nullptr;
  return param_cursor;
}

void print_stg(const Symbol *sym) {
  switch (sym->stg) {
  case STG_EXTERN: trace_printf("extern "); break;
  case STG_STATIC: trace_printf("static "); break;
  case STG_TYPEDEF: trace_printf("typedef "); break;
  default: break;
  }
}

static void print_function(const Symbol *sym, int depth) {
  trace_printf("%s %s( ", type_name(sym->ret_type), sym->name);
  Symbol *params = sym->scopes ? sym->scopes[0] : nullptr;
  for (Symbol *p = params; p; p = p->link) trace_printf(p == params ? "%s" : ", %s", p->name);
  trace_printf(" )\n");
  for (Symbol *p = params; p; p = p->link) print_sym(p, depth + 1);
  if (trace_sym) trace_printf(" body %x, frame size %d\n", address_word(sym->body), sym->offset);
  if (!sym->body) {
    trace_printf(";\n");
    return;
  }
  if (!executing) list_body(sym->body);
}

void print_sym(const Symbol *sym, int depth) {
  if (!sym) return;
  for (int i = 0; i < depth; ++i) trace_printf("  ");
  print_stg(sym);
  if (sym->type == TY_FUNC) {
    print_function(sym, depth);
    return;
  }
  print_decl(sym, sym, depth);
  if (trace_sym) trace_printf(" stg=%d,offset=%d", sym->stg, sym->offset);
  trace_printf(";\n");
}
