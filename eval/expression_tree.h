// Expression trees: the recorded tokens of an expression parsed once more into a tree of
// operations, with the grouping rules of the token-walking evaluator. The register compiler
// (eval/register_code.h) reads its expressions through these trees. A tree is made at the first
// request and kept with the expression's first Token.
#pragma once
#include <vector>

#include "decl/symbols.h"
#include "source/token.h"

// The arguments a call of a tree may have.
constexpr int MAX_TREE_ARGS = 16;

enum NodeKind : std::uint8_t {
  NK_CONST,    // a constant: the Value of its token
  NK_NAME,     // a variable, enumeration constant or member name
  NK_GROUP,    // '(' a ')'
  NK_UNARY,    // op a, for '!' and '-'
  NK_ADDRESS,  // '&' a
  NK_DEREF,    // '*' a
  NK_BINARY,   // a op b
  NK_ASSIGN,   // a '=' b
  NK_PREFIX,   // '++' a or '--' a (op: the increment flags)
  NK_POSTFIX,  // a '++' or a '--' (op: the increment flags)
  NK_INDEX,    // a '[' b ']'
  NK_DOT,      // a '.' sym
  NK_ARROW,    // a '->' sym
  NK_CALL,     // sym '(' args ')'
  NK_BUILTIN,  // the built-in of token '(' args ')'
  NK_CAST,     // '(' type ')' a (type: the type)
  NK_SIZEOF,   // sizeof '(' type ')' (op: its size), or sizeof a (op: -1)
};

struct TreeNode {
  NodeKind kind;
  int op = 0;
  int line = 0;        // the line messages name while this operation runs
  int close_line = 0;  // a call: the line of its ')', where the walker makes the call
  const Token *token = nullptr;
  Symbol *sym = nullptr;
  TypeDesc type;  // a cast's type
  TreeNode *a = nullptr;
  TreeNode *b = nullptr;
  std::vector<TreeNode *> args;
};

struct ExpressionTree {
  TreeNode *root;
  Token *start;  // the expression's first token
  Token *end;    // the token that ends the expression
};

// The tree of the expression starting at 'start', made now if it has none yet; null for an
// expression with constructs the trees do not cover (a cast to an array or function type, a
// struct defined inside an expression, ...).
const ExpressionTree *expression_tree(Token *start);
