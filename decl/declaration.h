// The declaration parser: storage and type specifiers, declarators with stars and dimensions,
// initialisers, struct, union and enum bodies, and old-style function definitions, whose bodies
// it hands to the statement executor's checking pass. The same code re-reads a block's local
// declarations each time the block runs; then only initialisers are evaluated and stored.
#pragma once
#include "decl/symbols.h"
#include "eval/value.h"

// The base type of the declaration read last, with the stars of an abstract declarator
// applied (the type of a cast or of sizeof(type)).
extern TypeDesc last_base_type;

// Reads a declaration that starts with the current token 'code' (payload in 'value'); 'outer' is
// the struct or union whose body is being read. 0 when 'code' starts none (nothing is read).
int declaration(int code, Value *value, Symbol *outer);
