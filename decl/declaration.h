// The declaration parser: storage and type specifiers, declarators with stars and dimensions,
// initialisers, struct, union and enum bodies, and old-style function definitions, whose bodies
// it hands to the statement executor's checking pass. The same code re-reads a block's local
// declarations each time the block runs; then only initialisers are evaluated and stored.
#pragma once
#include "decl/symbols.h"
#include "eval/value.h"
#include "source/token.h"

// The base type of the declaration read last, with the stars of an abstract declarator
// applied (the type of a cast or of sizeof(type)).
extern TypeDesc last_base_type;

// Whether 'code' is a keyword of a type.
inline bool type_keyword(int code) {
  switch (code) {
  case LEX_VOID:
  case LEX_CHAR:
  case LEX_SHORT:
  case LEX_INT:
  case LEX_LONG:
  case LEX_DOUBLE:
  case LEX_FLOAT:
  case LEX_SIGNED:
  case LEX_UNSIGNED:
  case LEX_STRUCT:
  case LEX_UNION:
  case LEX_ENUM: return true;
  default: return false;
  }
}

// The base type 'type' after one more of its keywords, 'code' (unsigned, once read, stays): false
// for a code that is no such keyword.
bool add_type_keyword(int code, int &type, bool &is_unsigned);

// Whether 'code' (with its token's 'value') can start a declaration: a storage or type keyword or
// a typedef name.
inline bool starts_declaration(int code, const Value *value) {
  switch (code) {
  case LEX_STATIC:
  case LEX_EXTERN:
  case LEX_TYPEDEF: return true;
  case LEX_SYMBOL: return value->imm.sym->stg == STG_TYPEDEF;
  default: return type_keyword(code);
  }
}

// Reads a declaration that starts with the current token 'code' (payload in 'value'); 'outer' is
// the struct or union whose body is being read. 0 when 'code' starts none (nothing is read).
int declaration(int code, Value *value, Symbol *outer);
