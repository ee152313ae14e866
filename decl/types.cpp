#include "decl/types.h"

#include <new>
#include <vector>

#include "decl/symbols.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"

int type_size(int code) {
  if (code == TY_VOID) return 0;
  int size = scalar_size(code);
  if (size < 0) error(MSG_UNKNOWN_TYPE);
  return size;
}

// Sizes are clamped here, far above anything that fits the script arena.
constexpr std::int64_t MAX_TYPE_SIZE = 0x7FFFFFFF;
// Struct members are printed down to this depth (a struct can point to its own kind).
constexpr int MAX_PRINT_DEPTH = 8;

int td_size_any(const TypeDesc *td) {
  switch (td->type) {
  case TY_ARRAY: {
    if (!td->next) return 0;
    std::int64_t element = td_size(td->next);
    if (element < 0) return -1;
    // Both factors are below 2^31, so the product cannot overflow.
    std::int64_t count = td->aux < 0 ? 0 : td->aux > MAX_TYPE_SIZE ? MAX_TYPE_SIZE : td->aux;
    std::int64_t size = element * count;
    return static_cast<int>(size > MAX_TYPE_SIZE ? MAX_TYPE_SIZE : size);
  }
  case TY_STRUCT:
  case TY_UNION: {
    Symbol *tag = aux_tag(td->aux);
    return tag ? static_cast<int>(tag->aux) : 0;
  }
  default: return type_size(td->type);
  }
}

int quiet_size(const TypeDesc *td) {
  if (!td) return -1;
  if (td->type == TY_VOID) return 0;
  int size = scalar_size(td->type);
  if (size >= 0) return size;
  if (td->type == TY_STRUCT || td->type == TY_UNION) return td_size_any(td);
  if (td->type == TY_ARRAY && (!td->next || quiet_size(td->next) >= 0)) return td_size_any(td);
  return -1;
}

const char *type_name(int code) {
  switch (code) {
  case TY_VOID: return "VOID";
  case TY_CHAR: return "char";
  case TY_SHORT: return "short";
  case TY_UCHAR: return "UINT char";
  case TY_USHORT: return "UINT short";
  case TY_UINT: return "UINT int";
  case TY_ULONG: return "UINT LONG";
  case TY_INT: return "int";
  case TY_PTR: return "*";
  case TY_LONG: return "LONG";
  case TY_ENUM: return "enum";
  case TY_FLOAT: return "float";
  case TY_DOUBLE: return "double";
  case TY_ARRAY: return "[]";
  case TY_STRUCT: return "struct";
  case TY_UNION: return "union";
  case TY_STAG: return "<sTag>";
  case TY_UTAG: return "<uTag>";
  default: return "??";
  }
}

void add_sym_type(Symbol *sym, int code, int count) {
  if (trace_sym) trace_printf("add_sym_type: %s: %s, size=%d\n", sym->name, type_name(code), count);
  TypeDesc *link = new (std::nothrow) TypeDesc;
  if (!link) {
    error(MSG_OUT_OF_MEMORY);
    return;
  }
  link->set_head(*sym);
  sym->next = link;
  sym->type = code;
  if (code != TY_ARRAY) return;
  // A bad size leaves no count: the aux word of the link below (a tag, for a struct) is none.
  if (count > 0) {
    sym->aux = count;
  } else {
    sym->aux = 0;
    error(MSG_BAD_ARRAY_SIZE);
  }
}

void set_sym_type(Symbol *sym, int code, std::intptr_t aux) {
  if (!replaying) ++declaration_epoch;
  if (trace_stmt > 1)
    trace_printf("set_sym_type: %s: %s, tag=%d\n", sym->name, type_name(code), static_cast<int>(aux));
  sym->type = code;
  sym->aux = aux;
}

void set_sym_td(Symbol *sym, const TypeDesc *td) { sym->set_head(*td); }

void print_type(const TypeDesc *td, int depth) {
  if ((td->type == TY_PTR || td->type == TY_ARRAY) && td->next) print_type(td->next, depth);
  if (td->type != TY_ARRAY) trace_printf("%s", type_name(td->type));
  if (td->type == TY_STRUCT || td->type == TY_UNION) {
    Symbol *tag = aux_tag(td->aux);
    if (tag && depth < MAX_PRINT_DEPTH) {
      trace_printf("\t%s", tag->name);
      trace_printf(" {\n");
      for (Symbol *m = tag->members; m; m = m->link) print_sym(m, depth + 1);
      trace_printf("  }");
    }
  }
  if (td->type == TY_STAG || td->type == TY_UTAG) trace_printf("(size=%d)", static_cast<int>(td->aux));
}

void print_dims(const TypeDesc *td) {
  for (; td; td = td->next)
    if (td->type == TY_ARRAY) trace_printf("[%d]", static_cast<int>(td->aux));
}

void print_td_chain(const TypeDesc *td) {
  for (; td; td = td->next)
    trace_printf("&td=%x, type=%s, next=%x->\n", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(td)),
                 type_name(td->type), static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(td->next)));
}

void print_decl(const Symbol *sym, const TypeDesc *td, int depth) {
  print_type(td, depth);
  if (sym) trace_printf("\t%s", sym->name);
  if (trace_sym > 1) print_td_chain(td);
  print_dims(td);
}

void print_struct_value() { trace_printf("Sorry, no struct printing yet...\n"); }

const TypeDesc *shared_link(const TypeDesc &td) {
  // Never destroyed: the links stay reachable to the end of the run.
  static std::vector<TypeDesc *> &links = *new std::vector<TypeDesc *>;
  for (TypeDesc *link : links)
    if (link->type == td.type && link->next == td.next && link->aux == td.aux) return link;
  TypeDesc *link = new TypeDesc(td);
  links.push_back(link);
  return link;
}

TypeDesc pointer_type(TypeDesc base, int stars) {
  for (; stars > 0; --stars) base = TypeDesc{TY_PTR, const_cast<TypeDesc *>(shared_link(base)), base.aux};
  return base;
}

bool chains_match(const TypeDesc *a, const TypeDesc *b) {
  for (; a && b; a = a->next, b = b->next) {
    if (a->type == TY_VOID || b->type == TY_VOID) return true;
    if (a->type != b->type) return false;
    if (a->type != TY_PTR && a->type != TY_ARRAY) return true;
  }
  return true;
}
