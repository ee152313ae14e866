// Type descriptors: a type is a chain of links, outermost constructor first, base type last.
// The first link of a chain is embedded in its owner (a Symbol or a Value, both derive from
// TypeDesc); the further links are heap records that are never changed once linked and never freed.
#pragma once
#include <cstdint>

struct Symbol;

enum TypeCode : int {
  TY_NONE = 0,
  TY_VOID = 1,
  TY_CHAR = 2,
  TY_SHORT = 3,
  TY_UCHAR = 4,
  TY_USHORT = 5,
  TY_UINT = 6,
  TY_ULONG = 7,
  TY_INT = 8,
  TY_PTR = 9,
  TY_LONG = 10,
  TY_ENUM = 11,
  TY_FLOAT = 12,
  TY_DOUBLE = 13,
  TY_ARRAY = 14,
  TY_STRUCT = 15,
  TY_UNION = 16,
  TY_FUNC = 18,
  TY_LABEL = 19,
  TY_ETAG = 20,
  TY_STAG = 21,
  TY_UTAG = 22,
};

struct TypeDesc {
  int type = TY_NONE;
  // The link this one is built on: pointee, array element, the rest of a return type.
  TypeDesc *next = nullptr;
  // By code: the element count (TY_ARRAY), the tag Symbol (TY_STRUCT, TY_UNION, TY_ENUM, and
  // pointers pushed on them), the recorded size (TY_STAG, TY_UTAG); 0 for plain scalars.
  std::intptr_t aux = 0;

  const TypeDesc &head() const { return *this; }
  void set_head(const TypeDesc &td) {
    type = td.type;
    next = td.next;
    aux = td.aux;
  }
};

inline Symbol *aux_tag(std::intptr_t aux) { return reinterpret_cast<Symbol *>(aux); }
inline std::intptr_t tag_aux(Symbol *tag) { return reinterpret_cast<std::intptr_t>(tag); }

inline bool is_floating(int code) { return code == TY_FLOAT || code == TY_DOUBLE; }
// The codes that hold a 32-bit integer in a loaded Value.
inline bool is_integer(int code) {
  return (code >= TY_CHAR && code <= TY_INT) || code == TY_LONG || code == TY_ENUM;
}

// Byte size of the type starting at 'td' (-1 and error 401 for codes without a size).
int td_size_any(const TypeDesc *td);
// Size of a scalar code (functions count as their address); -1 for every other code.
inline int scalar_size(int code) {
  switch (code) {
  case TY_CHAR:
  case TY_UCHAR: return 1;
  case TY_SHORT:
  case TY_USHORT: return 2;
  case TY_UINT:
  case TY_ULONG:
  case TY_INT:
  case TY_PTR:
  case TY_LONG:
  case TY_ENUM:
  case TY_FLOAT:
  case TY_FUNC: return 4;
  case TY_DOUBLE: return 8;
  default: return -1;
  }
}
inline int td_size(const TypeDesc *td) {
  int size = scalar_size(td->type);
  return size >= 0 ? size : td_size_any(td);
}
// The size td_size gives when it gives one without a report; -1 for every other type.
int quiet_size(const TypeDesc *td);
// Size of a single type code (-1 and error 401 when it has none).
int type_size(int code);
// Display name of a type code.
const char *type_name(int code);

// Pushes a new outermost link 'code' on sym's chain; 'count' is the element count of TY_ARRAY.
void add_sym_type(Symbol *sym, int code, int count);
// Overwrites the type and aux words of sym's first link.
void set_sym_type(Symbol *sym, int code, std::intptr_t aux);
// Copies 'td' into sym's first link.
void set_sym_td(Symbol *sym, const TypeDesc *td);

// Debug printers; all write through trace_printf.
void print_type(const TypeDesc *td, int depth);
void print_dims(const TypeDesc *td);
void print_td_chain(const TypeDesc *td);
void print_decl(const Symbol *sym, const TypeDesc *td, int depth);
void print_struct_value();

// A shared heap link equal to 'td', for pointer types made on the fly (casts, sizeof); the same
// link is handed out for equal types, so repeated casts allocate nothing.
const TypeDesc *shared_link(const TypeDesc &td);
// 'base' with 'stars' pointer links pushed on it.
TypeDesc pointer_type(TypeDesc base, int stars);

// Whether pointee chains 'a' and 'b' agree link by link as far as both go (a void pointee
// agrees with any, an unknown one with every chain).
bool chains_match(const TypeDesc *a, const TypeDesc *b);
