// Token codes, the Token record of the TokenList, and the token-name table with its two lookups.
// One-character tokens are coded by their character; keywords and two-character operators take
// the codes from 0x80 on. ORDER: token_table in token.cpp lists the spellings in a fixed order.
#pragma once
#include "eval/value.h"

enum TokenCode : int {
  LEX_NULL = 0,
  LEX_SYMBOL = 1,
  LEX_CONSTANT = 2,
  LEX_BUILTIN = 3,
  LEX_RETURN = 4,
  LEX_IF = 5,
  LEX_ELSE = 6,
  LEX_FOR = 7,
  LEX_SWITCH = 8,
  LEX_WHILE = 0x80,
  LEX_CASE = 0x81,
  LEX_GOTO = 0x82,
  LEX_STATIC = 0x83,
  LEX_EXTERN = 0x84,
  LEX_VOID = 0x85,
  LEX_CHAR = 0x86,
  LEX_SHORT = 0x87,
  LEX_INT = 0x88,
  LEX_LONG = 0x89,
  LEX_DOUBLE = 0x8A,
  LEX_FLOAT = 0x8B,
  LEX_SIGNED = 0x8C,
  LEX_UNSIGNED = 0x8D,
  LEX_SHL = 0x8E,
  LEX_SHR = 0x8F,
  LEX_EQ = 0x90,
  LEX_NE = 0x91,
  LEX_GE = 0x92,
  LEX_LE = 0x93,
  LEX_INC = 0x94,
  LEX_DEC = 0x95,
  LEX_ADDR = 0x96,
  LEX_DEREF = 0x97,
  LEX_ANDAND = 0x98,
  LEX_OROR = 0x99,
  LEX_ARROW = 0x9A,
  LEX_SIZEOF = 0x9B,
  LEX_BREAK = 0x9C,
  LEX_CONTINUE = 0x9D,
  LEX_LIST = 0x9E,
  LEX_RUN = 0x9F,
  LEX_EDIT = 0xA0,
  LEX_TYPEDEF = 0xA1,
  LEX_STRUCT = 0xA2,
  LEX_UNION = 0xA3,
  LEX_ENUM = 0xA4,
  LEX_DEFAULT = 0xA5,
  LEX_FUNC_END = 0xA6,
  LEX_EOF = 0xA7,
};

// Number of control links a Token can carry (see stmt/statement.cpp for their use).
constexpr int TOKEN_LINKS = 4;

struct ExpressionTree;

struct Token {
  Token *link = nullptr;  // next Token of the list
  int code = LEX_NULL;
  int line = 0;  // line_counter when the token was recorded
  Value value;
  // Control links written by the checking pass of if, while, for, switch and case labels.
  Token *jump[TOKEN_LINKS] = {};
  // The tree of the expression that starts here, once the register compiler asked for it
  // (eval/expression_tree.h).
  ExpressionTree *tree = nullptr;
};

// Display text of a code; a code without a name gives its low byte as a one-character text
// (valid until the next such call).
const char *token_name(int code);
// Code of a keyword spelling, or 0.
int keyword_code(const char *text);
