// The tree of an expression plan, as eval/plan.cpp makes it. The register compiler
// (eval/register_code.h) reads the same trees, so that both take the walker's grouping from one
// parser.
#pragma once
#include <vector>

#include "decl/symbols.h"
#include "source/token.h"

enum PlanKind : std::uint8_t {
  PK_CONST,         // a constant: the Value of its token
  PK_NAME,          // a variable, enumeration constant or member name
  PK_WORD,          // a word-sized local or global variable (op: 1 for a local)
  PK_GROUP,         // '(' a ')'
  PK_UNARY,         // op a, for '!', '~' and '-'
  PK_ADDRESS,       // '&' a
  PK_DEREF,         // '*' a
  PK_BINARY,        // a op b
  PK_BINARY_CONST,  // a op b, b a constant
  PK_ASSIGN,        // a '=' b
  PK_ASSIGN_NAME,   // sym '=' b, sym a word-sized local or global
  PK_PREFIX,        // '++' a or '--' a (op: the increment flags)
  PK_POSTFIX,       // a '++' or a '--' (op: the increment flags)
  PK_INDEX,         // a '[' b ']'
  PK_DOT,           // a '.' sym
  PK_ARROW,         // a '->' sym
  PK_CALL,          // sym '(' args ')'
  PK_BUILTIN,       // the built-in of token '(' args ')'
  PK_CAST,          // '(' integer type ')' a (op: the type code)
  PK_SIZEOF,        // sizeof '(' integer type ')', or sizeof a, a a variable (op: the size)
};

struct PlanNode {
  PlanKind kind;
  int op = 0;
  int line = 0;  // the line messages name while this operation runs
  int close_line = 0;  // a call: the line of its ')', where the walker makes the call
  const Token *token = nullptr;
  Symbol *sym = nullptr;
  PlanNode *a = nullptr;
  PlanNode *b = nullptr;
  std::vector<PlanNode *> args;
};

struct Plan {
  PlanNode *root;
  Token *end;  // the token that ends the expression
};

