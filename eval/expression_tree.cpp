#include "eval/expression_tree.h"

#include <vector>

#include "decl/declaration.h"
#include "eval/operations.h"
#include "shell/blocks.h"
#include "shell/diagnostics.h"

// Every expression whose tree could not be made points here.
static ExpressionTree no_tree{nullptr, nullptr, nullptr};

// The compiler reads the recorded tokens from 'at' on.
static Token *at = nullptr;

// Nodes live as long as the tokens that keep their trees; a compile that fails gives back the
// ones it took.
static Blocks<TreeNode, 128> nodes;

static int code() { return at ? at->code : LEX_NULL; }

static void advance() {
  if (at) at = at->link;
}

static TreeNode *make(NodeKind kind, int line) {
  TreeNode *n = nodes.take();
  if (!n) fatal(MSG_OUT_OF_MEMORY);
  n->kind = kind;
  n->line = line;
  return n;
}

static int line_here() { return at ? at->line : 0; }

static TreeNode *compile_expression(int min);

// '(' [expression {',' expression}] [','] ')' of a call; false for what the trees do not cover.
static bool compile_arguments(TreeNode *call) {
  advance();
  if (code() == ')') {
    call->close_line = line_here();
    advance();
    return true;
  }
  for (;;) {
    if (call->args.size() == MAX_TREE_ARGS) return false;
    TreeNode *arg = compile_expression(0);
    if (!arg) return false;
    call->args.push_back(arg);
    if (code() == ',') {
      advance();
      if (code() != ')') continue;
    }
    if (code() != ')') return false;
    call->close_line = line_here();
    advance();
    return true;
  }
}

// The postfix operators after an operand n: '[' expression ']', '.' member, '->' member, '++',
// '--'; after a call only '[' and '->' (which need no object).
static TreeNode *compile_postfix(TreeNode *n, bool after_call) {
  for (;;) {
    int t = code();
    TreeNode *x;
    if (t == '[') {
      advance();
      x = make(NK_INDEX, 0);
      x->b = compile_expression(0);
      if (!x->b || code() != ']') return nullptr;
    } else if (t == LEX_ARROW || (t == '.' && !after_call)) {
      advance();
      if (code() != LEX_SYMBOL || at->value.imm.sym->stg != STG_MEMBER) return nullptr;
      x = make(t == '.' ? NK_DOT : NK_ARROW, 0);
      x->sym = at->value.imm.sym;
    } else if ((t == LEX_INC || t == LEX_DEC) && !after_call) {
      x = make(NK_POSTFIX, 0);
      x->op = t == LEX_DEC ? 1 : 0;
    } else if (is_postfix(t)) {
      return nullptr;
    } else {
      return n;
    }
    x->a = n;
    x->line = line_here();
    advance();
    n = x;
    after_call = false;
  }
}

// name {postfix}, or name '(' args ')' {postfix}
static TreeNode *compile_name() {
  Symbol *sym = at->value.imm.sym;
  TreeNode *n = make(NK_NAME, line_here());
  n->sym = sym;
  advance();
  if (sym->type == TY_FUNC) {
    if (code() != '(') return nullptr;
    n->kind = NK_CALL;
    if (!compile_arguments(n)) return nullptr;
    n->line = line_here();
    return compile_postfix(n, true);
  }
  if (sym->type == TY_NONE) return nullptr;
  if (sym->stg == STG_MEMBER || sym->stg == STG_ENUM_CONST) return is_postfix(code()) ? nullptr : n;
  return compile_postfix(n, false);
}

// The type that the tokens from 'at' on name, up to a ')' (which is left current), as the
// declaration parser reads a type name: keywords, or a struct, union or enum tag, or a typedef
// name, then stars. False, with 'at' unchanged, for any other type name.
static bool type_name(TypeDesc *to) {
  Token *start = at;
  TypeDesc base;
  bool is_unsigned = false, keywords = false;
  for (; add_type_keyword(code(), base.type, is_unsigned); advance()) keywords = true;
  if (!keywords) {
    int c = code();
    if (c == LEX_STRUCT || c == LEX_UNION || c == LEX_ENUM) {
      advance();
      static const int tags[][2] = {{TY_STRUCT, TY_STAG}, {TY_UNION, TY_UTAG}, {TY_ENUM, TY_ETAG}};
      int k = c == LEX_STRUCT ? 0 : c == LEX_UNION ? 1 : 2;
      if (code() != LEX_SYMBOL || at->value.imm.sym->type != tags[k][1]) {
        at = start;
        return false;
      }
      base = TypeDesc{tags[k][0], nullptr, tag_aux(at->value.imm.sym)};
      advance();
    } else if (c == LEX_SYMBOL && at->value.imm.sym->stg == STG_TYPEDEF) {
      base.set_head(*at->value.imm.sym);
      advance();
    } else {
      at = start;
      return false;
    }
  } else if (base.type == TY_NONE) {
    base.type = TY_INT;
  }
  int stars = 0;
  for (; code() == '*' || code() == LEX_DEREF; advance()) ++stars;
  if (code() != ')') {
    at = start;
    return false;
  }
  *to = pointer_type(base, stars);
  return true;
}

static TreeNode *compile_unary() {
  NestingGuard guard;
  int t = code();
  int line = line_here();
  switch (t) {
  case LEX_SYMBOL: return compile_name();
  case LEX_CONSTANT: {
    TreeNode *n = make(NK_CONST, line);
    n->token = at;
    advance();
    return is_postfix(code()) ? nullptr : n;
  }
  case LEX_BUILTIN: {
    TreeNode *n = make(NK_BUILTIN, line);
    n->token = at;
    advance();
    if (code() != '(' || !compile_arguments(n)) return nullptr;
    n->line = line_here();
    return compile_postfix(n, true);
  }
  case '+': advance(); return compile_unary();
  case '!':
  case '-': {
    advance();
    TreeNode *n = make(NK_UNARY, line);
    n->op = t;
    n->a = compile_unary();
    return n->a ? n : nullptr;
  }
  case '&':
  case LEX_ADDR:
  case '*':
  case LEX_DEREF: {
    advance();
    TreeNode *n = make(t == '&' || t == LEX_ADDR ? NK_ADDRESS : NK_DEREF, line);
    n->a = compile_unary();
    n->line = line_here();
    return n->a ? n : nullptr;
  }
  case LEX_INC:
  case LEX_DEC: {
    advance();
    if (code() != LEX_SYMBOL) return nullptr;
    TreeNode *n = make(NK_PREFIX, line);
    n->op = t == LEX_DEC ? 1 : 0;
    n->a = compile_name();
    return n->a ? n : nullptr;
  }
  case LEX_SIZEOF: {
    advance();
    bool paren = code() == '(';
    if (paren) advance();
    TreeNode *n = make(NK_SIZEOF, line);
    TypeDesc td;
    if (paren && type_name(&td)) {
      n->op = quiet_size(&td);
      if (n->op < 0) return nullptr;
    } else {
      // An operand, evaluated as the walker evaluates it; the compiler finds its size.
      n->op = -1;
      n->a = paren ? compile_expression(0) : compile_unary();
      if (!n->a) return nullptr;
      if (!paren) return n;
    }
    if (code() != ')') return nullptr;
    advance();
    return is_postfix(code()) ? nullptr : n;
  }
  case '(': {
    advance();
    TypeDesc to;
    if (at && type_name(&to)) {
      advance();
      TreeNode *n = make(NK_CAST, line);
      n->type = to;
      n->a = compile_unary();
      n->line = line_here();
      return n->a ? n : nullptr;
    }
    if (!at || starts_declaration(at->code, &at->value)) return nullptr;
    TreeNode *inner = compile_expression(0);
    if (!inner || code() != ')') return nullptr;
    advance();
    // Only an operand that denotes an object needs the group, which makes it none.
    bool object = inner->kind == NK_NAME || inner->kind == NK_INDEX || inner->kind == NK_DOT ||
                  inner->kind == NK_ARROW || inner->kind == NK_PREFIX || inner->kind == NK_DEREF;
    if (!object) return inner;
    TreeNode *n = make(NK_GROUP, line);
    n->a = inner;
    return n;
  }
  default: return nullptr;
  }
}

// The same grammar and grouping as the token-walking evaluator: operators above 'min' bind here,
// and '=' takes the rest of the expression whatever 'min' is.
static TreeNode *compile_expression(int min) {
  NestingGuard guard;
  if (min > 0 && !starts_operand(code())) return nullptr;
  TreeNode *n = compile_unary();
  while (n) {
    int t = code();
    int role = operator_role(t);
    if (role == OP_END) return n;
    if (role == OP_BAD) return nullptr;
    if (role == OP_ASSIGN) {
      advance();
      TreeNode *x = make(NK_ASSIGN, 0);
      x->a = n;
      x->b = compile_expression(2);
      x->line = line_here();
      return x->b ? x : nullptr;
    }
    if (role <= min) return n;
    advance();
    TreeNode *x = make(NK_BINARY, 0);
    x->op = t;
    x->a = n;
    x->b = compile_expression(role);
    x->line = line_here();
    n = x->b ? x : nullptr;
  }
  return nullptr;
}

static ExpressionTree *compile(Token *start) {
  at = start;
  auto mark = nodes.mark();
  TreeNode *root = compile_expression(0);
  if (!root || operator_role(code()) != OP_END) {
    nodes.give_back(mark);
    return &no_tree;
  }
  return new ExpressionTree{root, start, at};
}

const ExpressionTree *expression_tree(Token *start) {
  if (!start->tree) start->tree = compile(start);
  return start->tree == &no_tree ? nullptr : start->tree;
}
