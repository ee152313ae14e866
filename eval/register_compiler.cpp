// The register compiler: a checked function body, read statement by statement and through the
// expression trees, into typed instructions (eval/register_insn.h).
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "decl/declaration.h"
#include "eval/call.h"
#include "eval/expression_tree.h"
#include "eval/operations.h"
#include "eval/register_insn.h"
#include "shell/diagnostics.h"
#include "source/lexer.h"
#include "stmt/statement.h"

using namespace regcode;

// Callees compiled ahead of their first call while a caller compiles (a chain of calls).
constexpr int MAX_COMPILE_NESTING = 16;

// The code of a body that does not compile, and of bodies being compiled (which point to one
// for them all): its frame reaches past any arena, so that no call enters it.
static RegisterCode *unreachable_frame(RegisterCode *rc) {
  rc->frame_high = ARENA_SIZE + 1;
  rc->failed = true;
  return rc;
}
static RegisterCode compiling_code;
static RegisterCode &compiling = *unreachable_frame(&compiling_code);

namespace {

inline bool word_load(int type) {
  switch (type) {
  case TY_INT:
  case TY_LONG:
  case TY_PTR:
  case TY_UINT:
  case TY_ULONG:
  case TY_ENUM: return true;
  default: return false;
  }
}

// The kind of a scalar integer object, or -1.
inline int object_kind(int type) {
  if (word_load(type)) return K_WORD;
  switch (type) {
  case TY_CHAR: return K_CHAR;
  case TY_UCHAR: return K_UCHAR;
  case TY_SHORT: return K_SHORT;
  case TY_USHORT: return K_USHORT;
  default: return -1;
  }
}

// The instructions for an integer object of each kind (K_WORD, K_CHAR, K_UCHAR, K_SHORT,
// K_USHORT): its load from a slot, from memory and by subscript; its store to memory and by
// subscript; the conversion of a value as its store converts it.
constexpr Op SLOT_LOADS[] = {OP_MOV, OP_LD8S, OP_LD8U, OP_LD16S, OP_LD16U};
constexpr Op MEMORY_LOADS[] = {OP_LDM32, OP_LDM8S, OP_LDM8U, OP_LDM16S, OP_LDM16U};
constexpr Op INDEXED_LOADS[] = {OP_LDX32, OP_LDX8S, OP_LDX8U, OP_LDX16S, OP_LDX16U};
constexpr Op MEMORY_STORES[] = {OP_STM32, OP_STM8, OP_STM8, OP_STM16, OP_STM16};
constexpr Op INDEXED_STORES[] = {OP_STX32, OP_STX8, OP_STX8, OP_STX16, OP_STX16};
constexpr Op CONVERTS[] = {OP_MOV, OP_SX8, OP_ZX8, OP_SX16, OP_ZX16};

inline bool aggregate(int type) { return type == TY_ARRAY || type == TY_STRUCT || type == TY_UNION; }

// An object that compiled code reaches in memory: an integer, a double or an aggregate.
inline bool memory_object(int type) { return object_kind(type) >= 0 || is_floating(type) || aggregate(type); }

// The head a loaded object of declared head 'td' has.
TypeDesc loaded_head(const TypeDesc &td) {
  TypeDesc h;
  h.set_head(td);
  int kind = object_kind(td.type);
  if (kind > K_WORD) h.type = TY_INT;
  return h;
}

bool same_head(const TypeDesc &a, const TypeDesc &b) {
  return a.type == b.type && a.next == b.next && a.aux == b.aux;
}

// A compiled operand. 'val' is its value once loaded; a place is the object it denotes.
enum PlaceKind : std::uint8_t { P_NONE, P_SLOT, P_MEM };
struct Res {
  Operand val;
  TypeDesc head;
  bool loaded = true;
  PlaceKind place = P_NONE;
  Operand slot;  // P_SLOT: the object's first byte
  Operand addr;  // P_MEM: script address, plus disp
  std::int32_t disp = 0;
  Operand fail;                   // P_MEM: what a failed load leaves
  std::int64_t idx = -1;          // P_MEM: the IDXA instruction that made addr
  const TypeDesc *ptd = nullptr;  // the object's declared type
  // A word whose type head only the running code knows (the result of a call whose returns
  // differ in it): what the head decides (a read through it, its size, a return of it) runs in
  // the walker.
  bool opaque = false;
};

bool has_effects(const TreeNode *n) {
  if (!n) return false;
  switch (n->kind) {
  case NK_ASSIGN:
  case NK_PREFIX:
  case NK_POSTFIX:
  case NK_CALL:
  case NK_BUILTIN: return true;
  default: break;
  }
  if (has_effects(n->a) || has_effects(n->b)) return true;
  for (const TreeNode *arg : n->args)
    if (has_effects(arg)) return true;
  return false;
}

// What the compiler may do with an instruction: let it write its result straight to a variable
// (VALUE: it only computes d from its operands, and may report), and move an interrupt check
// across it (SILENT: it can neither report nor be seen from outside the script's memory).
enum Trait { VALUE = 1, SILENT = 2 };
int traits(Op op) {
  switch (op) {
  case OP_ADD:
  case OP_SUB:
  case OP_MUL:
  case OP_AND:
  case OP_OR:
  case OP_XOR:
  case OP_SHL:
  case OP_SHR:
  case OP_LT:
  case OP_GT:
  case OP_LE:
  case OP_GE:
  case OP_EQ:
  case OP_NE:
  case OP_NEG:
  case OP_LNOT:
  case OP_LD8S:
  case OP_LD8U:
  case OP_LD16S:
  case OP_LD16U:
  case OP_SX8:
  case OP_ZX8:
  case OP_SX16:
  case OP_ZX16:
  case OP_LEA:
  case OP_ADDR:
  case OP_IDXA: return VALUE | SILENT;
  case OP_DIV:
  case OP_LDM8S:
  case OP_LDM8U:
  case OP_LDM16S:
  case OP_LDM16U:
  case OP_LDM32:
  case OP_CHKM: return VALUE;
  case OP_MOV:
  case OP_ST8:
  case OP_ST16:
  case OP_INC: return SILENT;
  default: return 0;
  }
}

// The variant of a generic instruction for its operand kinds (immediates moved into it), or the
// instruction unchanged.
int kind_index(std::uint8_t base) { return base == B_FRAME ? 0 : base == B_TEMP ? 1 : -1; }
void specialise(Insn &in, const std::vector<std::int32_t> &consts, const std::vector<Arg> &args) {
  static const Op binaries[][2] = {{OP_ADD, OP_ADD_F_FF}, {OP_SUB, OP_SUB_F_FF}, {OP_MUL, OP_MUL_F_FF},
                                   {OP_AND, OP_AND_F_FF}, {OP_OR, OP_OR_F_FF},   {OP_XOR, OP_XOR_F_FF},
                                   {OP_SHL, OP_SHL_F_FF}, {OP_SHR, OP_SHR_F_FF}, {OP_LT, OP_LT_F_FF},
                                   {OP_GT, OP_GT_F_FF},   {OP_LE, OP_LE_F_FF},   {OP_GE, OP_GE_F_FF},
                                   {OP_EQ, OP_EQ_F_FF},   {OP_NE, OP_NE_F_FF}};
  static const Op branches[][3] = {{OP_JLT, OP_JLT_FF, OP_JLTC_FF}, {OP_JGT, OP_JGT_FF, OP_JGTC_FF},
                                   {OP_JLE, OP_JLE_FF, OP_JLEC_FF}, {OP_JGE, OP_JGE_FF, OP_JGEC_FF},
                                   {OP_JEQ, OP_JEQ_FF, OP_JEQC_FF}, {OP_JNE, OP_JNE_FF, OP_JNEC_FF}};
  auto second = [&](int *k) {
    if (in.bb == B_CONST) {
      in.b = consts[static_cast<std::size_t>(in.b / 4)];
      *k = 2;
      return true;
    }
    *k = kind_index(in.bb);
    return *k >= 0;
  };
  int d = kind_index(in.bd), a = kind_index(in.ba), b;
  if (in.op == OP_RET && a >= 0) {
    in.op = a == 0 ? OP_RET_F : OP_RET_R;
    return;
  }
  if (in.op == OP_CALL && in.ba && in.b == 1) {
    // One word argument, from a slot or a temporary, whose offset the instruction holds.
    const Operand &arg = args[static_cast<std::size_t>(in.a)].op;
    int k = kind_index(arg.base);
    if (k < 0) return;
    in.op = k == 0 ? OP_CALL1_F : OP_CALL1_R;
    in.b = arg.off;
    return;
  }
  if (in.op == OP_INC && in.ba == B_FRAME && (in.k & 15) == K_WORD && in.bd == B_TEMP) {
    in.op = OP_INCW_F;
    return;
  }
  if (in.op == OP_MOV && d >= 0) {
    int k = in.ba == B_CONST ? 2 : kind_index(in.ba);
    if (k < 0) return;
    if (k == 2) in.a = consts[static_cast<std::size_t>(in.a / 4)];
    in.op = static_cast<Op>(OP_MOV_FF + d * 3 + k);
    return;
  }
  for (const auto &v : binaries) {
    if (in.op != v[0]) continue;
    if (d < 0 || a < 0 || !second(&b)) return;
    in.op = static_cast<Op>(v[1] + d * 6 + a * 3 + b);
    return;
  }
  for (const auto &v : branches) {
    if (in.op != v[0]) continue;
    if (a < 0 || !second(&b)) return;
    in.op = static_cast<Op>(v[in.k ? 2 : 1] + a * 3 + b);
    return;
  }
}

bool is_comparison(int op) {
  return op == '<' || op == '>' || op == LEX_LE || op == LEX_GE || op == LEX_EQ || op == LEX_NE;
}

Op binary_op(int op) {
  switch (op) {
  case '+': return OP_ADD;
  case '-': return OP_SUB;
  case '*': return OP_MUL;
  case '/': return OP_DIV;
  case '&': return OP_AND;
  case '|': return OP_OR;
  case '^': return OP_XOR;
  case LEX_SHL: return OP_SHL;
  case LEX_SHR: return OP_SHR;
  case '<': return OP_LT;
  case '>': return OP_GT;
  case LEX_LE: return OP_LE;
  case LEX_GE: return OP_GE;
  case LEX_EQ: return OP_EQ;
  default: return OP_NE;
  }
}

// The branch taken when 'op' holds (when = true) or fails.
Op branch_op(int op, bool when) {
  if (!when) {
    switch (op) {
    case '<': op = LEX_GE; break;
    case '>': op = LEX_LE; break;
    case LEX_LE: op = '>'; break;
    case LEX_GE: op = '<'; break;
    case LEX_EQ: op = LEX_NE; break;
    default: op = LEX_EQ; break;
    }
  }
  switch (op) {
  case '<': return OP_JLT;
  case '>': return OP_JGT;
  case LEX_LE: return OP_JLE;
  case LEX_GE: return OP_JGE;
  case LEX_EQ: return OP_JEQ;
  default: return OP_JNE;
  }
}

// A loop or switch that a break leaves: the jumps to patch with its end.
struct Breakable {
  std::vector<std::size_t> jumps;
  std::vector<std::size_t> walks;  // walked statements whose break lands there
};

class Compiler {
public:
  // How the body's calls of itself are taken: with its declared head, as words, or untyped.
  enum SelfCalls { SELF_EXACT, SELF_WORD, SELF_NONE };
  Compiler(Symbol *fn, RegisterCode *rc, SelfCalls self) : fn_(fn), rc_(rc), self_(self) {}

  bool body();
  bool used_self() const { return used_self_; }

private:
  Symbol *fn_;
  RegisterCode *rc_;
  SelfCalls self_;
  bool used_self_ = false;
  bool dynamic_return_ = false;
  bool typed_ok_ = true;
  bool words_ok_ = true;
  int temps_ = 0;
  int line_ = 0;
  std::vector<Breakable *> breakables_;
  // Labels (all of them statements of the body's own block) and the gotos to patch.
  std::vector<std::pair<const Symbol *, std::int32_t>> labels_;
  std::vector<std::pair<const Symbol *, std::size_t>> gotos_;

  // --- emitting ---
  std::size_t emit(Op op, int line) {
    Insn in;
    in.op = op;
    rc_->code.push_back(in);
    rc_->lines.push_back(line);
    return rc_->code.size() - 1;
  }
  Insn &at(std::size_t i) { return rc_->code[i]; }
  std::int32_t here() const { return static_cast<std::int32_t>(rc_->code.size()); }
  void set_d(std::size_t i, Operand o) {
    at(i).d = o.off;
    at(i).bd = o.base;
  }
  void set_a(std::size_t i, Operand o) {
    at(i).a = o.off;
    at(i).ba = o.base;
  }
  void set_b(std::size_t i, Operand o) {
    at(i).b = o.off;
    at(i).bb = o.base;
  }
  Operand temp() {
    Operand o{4 * temps_++, B_TEMP};
    if (temps_ > rc_->temps) rc_->temps = temps_;
    return o;
  }
  Operand constant(std::int32_t value) {
    for (std::size_t i = 0; i < rc_->consts.size(); ++i)
      if (rc_->consts[i] == value) return Operand{static_cast<std::int32_t>(4 * i), B_CONST};
    rc_->consts.push_back(value);
    return Operand{static_cast<std::int32_t>(4 * (rc_->consts.size() - 1)), B_CONST};
  }
  // The script address of a global (a constant) or of a frame slot (computed at run time).
  Operand slot_address(Operand slot) {
    if (slot.base == B_ARENA)
      return constant(static_cast<std::int32_t>(arena_base + static_cast<std::uint32_t>(slot.off)));
    Operand v = temp();
    std::size_t i = emit(OP_LEA, line_);
    set_d(i, v);
    at(i).x = slot.off;
    return v;
  }
  // Two temporaries for a double.
  Operand double_temp() {
    Operand o{4 * temps_, B_TEMP};
    temps_ += 2;
    if (temps_ > rc_->temps) rc_->temps = temps_;
    return o;
  }
  Operand double_constant(double value) {
    std::int32_t w[2];
    std::memcpy(w, &value, 8);
    rc_->consts.push_back(w[0]);
    rc_->consts.push_back(w[1]);
    return Operand{static_cast<std::int32_t>(4 * (rc_->consts.size() - 2)), B_CONST};
  }
  // The int that a double operand converts to, as a store of an integer type takes it.
  Operand to_word(Operand d) {
    Operand t = temp();
    op3(OP_D2I, t, d, Operand{}, line_);
    return t;
  }
  const TypeDesc *keep_head(const TypeDesc &h) {
    rc_->heads.push_back(std::make_unique<TypeDesc>());
    rc_->heads.back()->set_head(h);
    return rc_->heads.back().get();
  }
  bool indexed_last(const Res &r) const {
    return r.idx >= 0 && r.disp == 0 && static_cast<std::size_t>(r.idx) + 1 == rc_->code.size() &&
           rc_->code.back().op == OP_IDXA;
  }
  static bool same_operand(std::int32_t off, std::uint8_t base, Operand o) {
    return off == o.off && base == o.base;
  }
  void note_frame(std::int32_t off, int size) {
    rc_->frame_low = std::min(rc_->frame_low, off);
    rc_->frame_high = std::max(rc_->frame_high, off + size);
  }
  std::size_t op3(Op op, Operand d, Operand a, Operand b, int line) {
    std::size_t i = emit(op, line);
    set_d(i, d);
    set_a(i, a);
    set_b(i, b);
    return i;
  }
  // A value that a later operand's side effects cannot change.
  void stabilise(Res &r) {
    if (r.val.base == B_TEMP || r.val.base == B_CONST) return;
    bool dbl = is_floating(r.head.type);
    Operand t = dbl ? double_temp() : temp();
    op3(dbl ? OP_DMOV : OP_MOV, t, r.val, Operand{}, line_);
    r.val = t;
  }

  // --- expressions ---
  bool name(const TreeNode *n, Res &r);
  bool load(Res &r);
  bool expr(const TreeNode *n, Res &r);
  bool rvalue(const TreeNode *n, Res &r) { return expr(n, r) && load(r); }
  bool index(const TreeNode *n, Res &r);
  bool member(const TreeNode *n, Res &r);
  bool assign(const TreeNode *n, Res &r, bool want);
  bool assign_floating(const TreeNode *n, Res &l, Res &r);
  Operand stored_value(int kind, Operand v, bool want);
  std::size_t dead_load(const TreeNode *n, Res &l, int size);
  bool merge_dead_load(std::size_t probe);
  bool increment(const TreeNode *n, Res &r, bool postfix);
  bool call(const TreeNode *n, Res &r, bool want);
  bool arguments(const TreeNode *n, std::vector<Arg> &args, Symbol *fn);
  bool binary(const TreeNode *n, Res &r);
  bool floating(int op, const Res &a, const Res &b, Res &r);
  bool cast(const TreeNode *n, Res &r);
  bool typed_root(const TreeNode *n, Res &r, bool want);

  // --- statements ---
  void expression(const ExpressionTree *tree, bool want_value);
  void condition(const ExpressionTree *tree, bool when, std::vector<std::size_t> &jumps);
  void walk(Token *t, int depth);
  Token *walk_statement(Token *t, Token *after, int depth);
  // Drops the instructions from 'mark' on (a form that did not compile).
  void rewind(std::size_t mark) {
    rc_->code.resize(mark);
    rc_->lines.resize(mark);
  }
  void evaluate_by_walker(const ExpressionTree *tree, int line);
  Token *statement(Token *t, int depth);
  Token *block(Token *open, int depth);
  Token *if_statement(Token *t, int depth);
  Token *while_statement(Token *t, int depth);
  void loop_tail(const ExpressionTree *step, const ExpressionTree *cond, std::int32_t top, int check_line,
                 int line);
  Token *for_statement(Token *t, int depth);
  Token *switch_statement(Token *t, int depth);
  Token *return_statement(Token *t, int depth);
  Token *expression_statement(Token *t, int depth);
  void patch(const std::vector<std::size_t> &jumps, std::int32_t target) {
    for (std::size_t j : jumps) at(j).x = target;
  }
  void close_breakable(Breakable &b, std::int32_t target) {
    patch(b.jumps, target);
    for (std::size_t w : b.walks) at(w).b = target;
  }
  // The end of a loop: the exit, and where a break lands (a break leaves after an interrupt
  // check, as the walker checks after every turn of the body).
  void close_loop(Breakable &b, int line) {
    if (b.jumps.empty() && b.walks.empty()) return;
    std::size_t skip = emit(OP_JMP, line);
    close_breakable(b, here());
    emit(OP_CHECK, line);
    at(skip).x = here();
  }
};

// A name: a slot for variables of the frame and of the arena, a constant for enumeration values.
bool Compiler::name(const TreeNode *n, Res &r) {
  Symbol *sym = n->sym;
  if (sym->stg == STG_ENUM_CONST || sym->stg == STG_MEMBER) {
    r.head.set_head(*sym);
    r.val = constant(sym->offset);
    return true;
  }
  if (sym->stg != STG_AUTO && sym->stg != STG_GLOBAL && sym->stg != STG_STATIC) return false;
  int size = quiet_size(sym);
  if (!memory_object(sym->type) || size < 0) return false;
  if (sym->stg == STG_AUTO) {
    r.slot = Operand{sym->offset, B_FRAME};
    note_frame(sym->offset, size > 0 ? size : 1);
  } else {
    if (sym->offset < 0 || sym->offset > ARENA_SIZE - (size > 0 ? size : 1)) return false;
    r.slot = Operand{sym->offset, B_ARENA};
  }
  r.place = P_SLOT;
  r.ptd = sym;
  r.head = loaded_head(*sym);
  r.loaded = false;
  return true;
}

// The value of a pending object: loaded from its slot or from memory.
bool Compiler::load(Res &r) {
  if (r.loaded) return true;
  r.loaded = true;
  int type = r.ptd->type;
  if (r.place == P_SLOT) {
    if (aggregate(type)) {
      // An aggregate's value is its address.
      r.val = slot_address(r.slot);
      return true;
    }
    int kind = object_kind(type);
    if (kind == K_WORD || type == TY_DOUBLE) {
      r.val = r.slot;
      return true;
    }
    if (type == TY_FLOAT) {
      r.val = double_temp();
      op3(OP_LDF, r.val, r.slot, Operand{}, line_);
      return true;
    }
    r.val = temp();
    op3(SLOT_LOADS[kind], r.val, r.slot, Operand{}, line_);
    return true;
  }
  // P_MEM
  if (is_floating(type)) {
    r.val = double_temp();
    std::size_t i = op3(type == TY_FLOAT ? OP_LDMF : OP_LDMD, r.val, r.addr, r.fail, line_);
    at(i).x = r.disp;
    return true;
  }
  Operand d = temp();
  if (aggregate(type)) {
    std::size_t i = op3(OP_CHKM, d, r.addr, r.fail, line_);
    at(i).x = r.disp;
  } else if (indexed_last(r) && same_operand(at(static_cast<std::size_t>(r.idx)).a,
                                             at(static_cast<std::size_t>(r.idx)).ba, r.fail)) {
    // The subscript's address and the load in one instruction.
    Insn &in = at(static_cast<std::size_t>(r.idx));
    in.op = INDEXED_LOADS[object_kind(type)];
    in.d = d.off;
    in.bd = d.base;
  } else {
    std::size_t i = op3(MEMORY_LOADS[object_kind(type)], d, r.addr, r.fail, line_);
    at(i).x = r.disp;
  }
  r.val = d;
  return true;
}

// a[i]: the element as a memory object, whose failed load leaves the base.
bool Compiler::index(const TreeNode *n, Res &r) {
  Res base;
  if (!expr(n->a, base)) return false;
  bool array_in_memory = base.place == P_MEM && base.head.type == TY_ARRAY;
  if (!load(base)) return false;
  Operand loaded = base.val;
  if (array_in_memory) {
    // An array element of memory is subscripted from its place, whatever its load gave.
    base.val = base.addr;
    if (base.disp != 0) {
      base.val = temp();
      std::size_t k = op3(OP_ADDR, base.val, base.addr, Operand{}, line_);
      at(k).x = base.disp;
    }
  }
  if (base.head.type != TY_PTR && base.head.type != TY_ARRAY) return false;
  const TypeDesc *element = base.head.next;
  if (!element) return false;
  int size = quiet_size(element);
  if (size < 0 || !memory_object(element->type)) return false;
  if (has_effects(n->b)) stabilise(base);
  Res i;
  if (!rvalue(n->b, i)) return false;
  int it = i.head.type;
  if (it != TY_INT && (it < TY_CHAR || it > TY_USHORT)) return false;
  line_ = n->line;
  Operand addr = temp();
  std::size_t k = op3(OP_IDXA, addr, base.val, i.val, line_);
  at(k).x = size;
  r = Res{};
  r.place = P_MEM;
  r.addr = addr;
  r.fail = loaded;
  r.idx = static_cast<std::int64_t>(k);
  r.ptd = element;
  r.head = loaded_head(*element);
  r.loaded = false;
  return true;
}

// a.m and p->m.
bool Compiler::member(const TreeNode *n, Res &r) {
  Symbol *m = n->sym;
  if (!memory_object(m->type)) return false;
  Res s;
  if (!expr(n->a, s)) return false;
  // A struct reached through memory and a pointer are loaded at their own line.
  if (n->kind == NK_ARROW || s.place == P_MEM) load(s);
  line_ = n->line;
  if (n->kind == NK_DOT) {
    if (s.place == P_NONE || (s.head.type != TY_STRUCT && s.head.type != TY_UNION)) return false;
    int size = quiet_size(m);
    if (size < 0) return false;
    if (s.place == P_SLOT) {
      // A member of a variable is a slot of its own.
      r = Res{};
      r.place = P_SLOT;
      r.slot = Operand{s.slot.off + m->offset, s.slot.base};
      if (r.slot.base == B_FRAME) note_frame(r.slot.off, size > 0 ? size : 1);
      else if (r.slot.off < 0 || r.slot.off > ARENA_SIZE - (size > 0 ? size : 1)) return false;
    } else {
      // The struct was loaded (a check of its first byte); the member is found from its place.
      r = Res{};
      r.place = P_MEM;
      r.addr = s.addr;
      r.disp = s.disp + m->offset;
      r.fail = s.val;
    }
  } else {
    if (s.head.type != TY_PTR || !s.head.next) return false;
    int pointee = s.head.next->type;
    if (pointee != TY_STRUCT && pointee != TY_UNION) return false;
    r = Res{};
    r.place = P_MEM;
    r.addr = s.val;
    r.disp = m->offset;
    r.fail = s.val;
  }
  r.ptd = m;
  r.head = loaded_head(*m);
  r.loaded = false;
  return true;
}

bool Compiler::binary(const TreeNode *n, Res &r) {
  Res a, b;
  if (!rvalue(n->a, a)) return false;
  if (has_effects(n->b)) stabilise(a);
  if (!rvalue(n->b, b)) return false;
  line_ = n->line;
  r = Res{};
  r.head = a.head;
  r.opaque = a.opaque;
  if (is_floating(a.head.type) || is_floating(b.head.type)) return floating(n->op, a, b, r);
  r.val = temp();
  op3(binary_op(n->op), r.val, a.val, b.val, line_);
  return true;
}

// A binary operator with a floating operand (a float is a double here): an int operand is
// converted, a comparison gives an int, and the result keeps a floating left operand's head.
bool Compiler::floating(int op, const Res &a, const Res &b, Res &r) {
  bool af = is_floating(a.head.type), bf = is_floating(b.head.type);
  if ((!af && !is_integer(a.head.type)) || (!bf && !is_integer(b.head.type))) return false;
  bool compare = is_comparison(op);
  if (!compare && op != '+' && op != '-' && op != '*' && op != '/') return false;
  if (compare) {
    r.head = TypeDesc{TY_INT, nullptr, 0};
    r.val = temp();
  } else {
    if (!af) r.head.type = TY_DOUBLE;
    r.val = double_temp();
  }
  std::size_t i = op3(OP_DBIN, r.val, a.val, b.val, line_);
  at(i).x = op;
  at(i).k = static_cast<std::uint8_t>((af ? 0 : 1) | (bf ? 0 : 2));
  return true;
}

// x = e: the left side's place first (a dead load of memory can report), then e, then the store.
bool Compiler::assign(const TreeNode *n, Res &r, bool want) {
  Res l;
  if (!expr(n->a, l) || l.place == P_NONE) return false;
  if (is_floating(l.ptd->type)) return assign_floating(n, l, r);
  int kind = object_kind(l.ptd->type);
  if (kind < 0) return false;
  std::size_t probe = l.place == P_MEM ? dead_load(n, l, kind_size(kind)) : 0;
  Res v;
  if (!rvalue(n->b, v)) return false;
  if (l.place == P_MEM && merge_dead_load(probe)) probe = SIZE_MAX;
  line_ = n->line;
  if (is_floating(v.head.type)) {
    // Stored as the int it converts to; no such store exists for unsigned char and pointers.
    int type = l.ptd->type;
    if (type == TY_UCHAR || type == TY_PTR) return false;
    v.val = to_word(v.val);
    v.head = TypeDesc{TY_INT, nullptr, 0};
  }
  if (l.place == P_MEM && probe != SIZE_MAX && probe + 1 == rc_->code.size() && l.idx >= 0 &&
      static_cast<std::size_t>(l.idx) + 1 == probe && l.disp == 0) {
    // Nothing runs between the dead load and the store: a subscript stores in one instruction,
    // which reports where the dead load would.
    rc_->code.pop_back();
    rc_->lines.pop_back();
    Insn &in = at(static_cast<std::size_t>(l.idx));
    in.op = INDEXED_STORES[kind];
    in.d = v.val.off;
    in.bd = v.val.base;
    r = Res{};
    r.head = l.head;
    r.val = stored_value(kind, v.val, want);
    return true;
  }
  r = Res{};
  r.head = l.head;
  if (l.place == P_SLOT) {
    if (kind == K_WORD) {
      // The last instruction made the value in a temporary: it writes the variable instead.
      bool retarget = false;
      if (v.val.base == B_TEMP && !rc_->code.empty()) {
        Insn &last = rc_->code.back();
        retarget = (traits(last.op) & VALUE) && last.bd == B_TEMP && last.d == v.val.off;
        if (retarget) {
          last.d = l.slot.off;
          last.bd = l.slot.base;
        }
      }
      if (!retarget) op3(OP_MOV, l.slot, v.val, Operand{}, line_);
      r.val = l.slot;
      return true;
    }
    op3(kind <= K_UCHAR ? OP_ST8 : OP_ST16, l.slot, v.val, Operand{}, line_);
    // Read back, the slot holds the converted value.
    if (want) {
      r.val = temp();
      op3(SLOT_LOADS[kind], r.val, l.slot, Operand{}, line_);
    }
    return true;
  }
  std::size_t i = op3(MEMORY_STORES[kind], Operand{}, l.addr, v.val, line_);
  at(i).x = l.disp;
  r.val = stored_value(kind, v.val, want);
  return true;
}

// The value of an assignment of 'v' to an object of 'kind' in memory: v converted as the store
// converts it (nothing when the value is dropped).
Operand Compiler::stored_value(int kind, Operand v, bool want) {
  if (kind == K_WORD || !want) return v;
  Operand r = temp();
  op3(CONVERTS[kind], r, v, Operand{}, line_);
  return r;
}

// The load of the memory object l that its assignment n makes first, for its report only (the
// PROBE instruction); an address that the right side could change is kept.
std::size_t Compiler::dead_load(const TreeNode *n, Res &l, int size) {
  std::size_t probe = op3(OP_PROBE, Operand{}, l.addr, Operand{}, line_);
  at(probe).x = l.disp;
  at(probe).b = size;
  if (has_effects(n->b)) {
    Res a;
    a.val = l.addr;
    stabilise(a);
    l.addr = a.val;
  }
  return probe;
}

// p->f = p->f ...: when the right side starts with the load that the dead load makes, at the same
// line, that load reports twice (the walker's two reports) and the dead load goes.
bool Compiler::merge_dead_load(std::size_t probe) {
  if (probe + 1 >= rc_->code.size() || rc_->lines[probe] != rc_->lines[probe + 1]) return false;
  const Insn &dead = at(probe), &next = at(probe + 1);
  for (int kind = K_WORD; kind <= K_USHORT; ++kind) {
    if (next.op != MEMORY_LOADS[kind] || dead.b != kind_size(kind) || next.a != dead.a ||
        next.ba != dead.ba || next.x != dead.x)
      continue;
    rc_->code.erase(rc_->code.begin() + static_cast<std::ptrdiff_t>(probe));
    rc_->lines.erase(rc_->lines.begin() + static_cast<std::ptrdiff_t>(probe));
    at(probe).k = 1;
    return true;
  }
  return false;
}

// A double or float object takes an int or a floating value; a float keeps it rounded to a
// float, which is the assignment's value.
bool Compiler::assign_floating(const TreeNode *n, Res &l, Res &r) {
  bool single = l.ptd->type == TY_FLOAT;
  if (l.place == P_MEM) dead_load(n, l, single ? 4 : 8);
  Res v;
  if (!rvalue(n->b, v)) return false;
  bool word = is_integer(v.head.type);
  if (!word && !is_floating(v.head.type)) return false;
  line_ = n->line;
  r = Res{};
  r.head = l.head;
  if (single) {
    r.val = double_temp();
    std::size_t i = op3(OP_D2F, r.val, v.val, Operand{}, line_);
    at(i).k = word;
    if (l.place == P_SLOT) {
      op3(OP_STF, l.slot, r.val, Operand{}, line_);
    } else {
      i = op3(OP_STMF, Operand{}, l.addr, r.val, line_);
      at(i).x = l.disp;
    }
    return true;
  }
  if (l.place == P_SLOT) {
    std::size_t i = op3(OP_DST, l.slot, v.val, Operand{}, line_);
    at(i).k = word;
    r.val = l.slot;
    return true;
  }
  r.val = v.val;
  if (word) {
    r.val = double_temp();
    std::size_t i = op3(OP_DST, r.val, v.val, Operand{}, line_);
    at(i).k = 1;
  }
  std::size_t i = op3(OP_STMD, Operand{}, l.addr, r.val, line_);
  at(i).x = l.disp;
  return true;
}

bool Compiler::increment(const TreeNode *n, Res &r, bool postfix) {
  Res p;
  if (!expr(n->a, p) || p.place == P_NONE) return false;
  int kind = object_kind(p.ptd->type);
  if (kind < 0) return false;
  std::int32_t step = 1;
  if (p.ptd->type == TY_PTR && p.head.next) {
    step = quiet_size(p.head.next);
    if (step < 0) return false;
  }
  if (n->op & 1) step = -step;
  r = Res{};
  r.head = p.head;
  r.val = temp();
  if (p.place == P_SLOT) {
    std::size_t i = op3(OP_INC, r.val, p.slot, Operand{}, line_);
    at(i).k = static_cast<std::uint8_t>(kind | (postfix ? K_POSTFIX : 0));
    at(i).x = step;
    return true;
  }
  Operand addr = p.addr;
  if (p.disp != 0) {
    addr = temp();
    std::size_t i = op3(OP_ADDR, addr, p.addr, Operand{}, line_);
    at(i).x = p.disp;
  }
  std::size_t i = op3(OP_INCM, r.val, addr, p.fail, line_);
  at(i).k = static_cast<std::uint8_t>(kind | (postfix ? K_POSTFIX : 0));
  at(i).x = step;
  return true;
}

// The arguments of a call, left to right, each as its parameter's type.
bool Compiler::arguments(const TreeNode *n, std::vector<Arg> &args, Symbol *fn) {
  std::vector<Res> values(n->args.size());
  for (std::size_t i = 0; i < n->args.size(); ++i) {
    if (!rvalue(n->args[i], values[i])) return false;
    bool later_effects = false;
    for (std::size_t j = i + 1; j < n->args.size(); ++j)
      later_effects = later_effects || has_effects(n->args[j]);
    if (later_effects) stabilise(values[i]);
  }
  Symbol *param = fn ? first_param(fn) : nullptr;
  for (std::size_t i = 0; i < values.size(); ++i) {
    Arg a;
    a.op = values[i].val;
    if (is_floating(values[i].head.type)) {
      a.type = TY_DOUBLE;
      a.kind = K_DOUBLE;
      a.size = 8;
    }
    if (fn) {
      // Pushed as the parameter's type, converted as a store of it would convert.
      a.type = param ? param->type : values[i].head.type;
      if (a.type == TY_ARRAY) a.type = TY_PTR;
      bool from_double = is_floating(values[i].head.type);
      if (a.type == TY_DOUBLE) {
        if (!from_double) {
          if (!is_integer(values[i].head.type)) return false;
          a.op = double_temp();
          std::size_t k = op3(OP_DST, a.op, values[i].val, Operand{}, line_);
          at(k).k = 1;
        }
        a.kind = K_DOUBLE;
        a.size = 8;
      } else {
        if (object_kind(a.type) < 0) return false;
        if (from_double) {
          if (a.type == TY_UCHAR || a.type == TY_PTR) return false;
          a.op = to_word(a.op);
        }
        a.kind = object_kind(a.type);
        a.size = kind_size(a.kind);
      }
      if (param) param = param->link;
    }
    args.push_back(a);
  }
  return true;
}

// Whether callers of 'fn' may take its result as typed: a word or a double of its declared head,
// or a pointer whose pointee they leave to the walker.
static bool proved_result(const RegisterCode &rc, const Symbol *fn) {
  return rc.typed_result || ((is_integer(fn->ret_type) || fn->ret_type == TY_PTR) && rc.word_result);
}

// The compiles under way: a caller's compile compiles its callees ahead.
static int compile_nesting = 0;

bool Compiler::call(const TreeNode *n, Res &r, bool want) {
  std::vector<Arg> args;
  r = Res{};
  if (n->kind == NK_BUILTIN) {
    const Value &row = n->token->value;
    if (row.type == TY_FLOAT) return false;
    if (!arguments(n, args, nullptr)) return false;
    int words = 0;
    for (const Arg &a : args) words += a.kind == K_DOUBLE ? 2 : 1;
    bool doubles = row.type == TY_DOUBLE || words > static_cast<int>(args.size());
    if (words > BUILTIN_ARG_WORDS) return false;
    r.head.type = row.type;
    r.val = row.type == TY_DOUBLE ? double_temp() : temp();
    line_ = n->close_line;
    std::size_t i = emit(doubles ? OP_BUILTIND : OP_BUILTIN, line_);
    at(i).k = row.type == TY_DOUBLE;
    set_d(i, r.val);
    at(i).a = static_cast<std::int32_t>(rc_->args.size());
    at(i).b = static_cast<std::int32_t>(args.size());
    at(i).x = row.imm.i;
    rc_->args.insert(rc_->args.end(), args.begin(), args.end());
    return true;
  }
  Symbol *fn = n->sym;
  if (fn->type != TY_FUNC || !fn->body) return false;
  if (want) {
    // The result is typed only when the callee's returns are proved to be.
    if (!is_integer(fn->ret_type) && fn->ret_type != TY_PTR && fn->ret_type != TY_DOUBLE) return false;
    if (fn == fn_) {
      if (self_ == SELF_NONE) return false;
      used_self_ = true;
      r.opaque = self_ == SELF_WORD;
    } else {
      RegisterCode *callee = code_of(fn);
      if (!callee || !proved_result(*callee, fn)) return false;
      r.opaque = !callee->typed_result;
    }
  }
  if (!arguments(n, args, fn)) return false;
  r.head.type = fn->ret_type;
  r.val = fn->ret_type == TY_DOUBLE ? double_temp() : temp();
  line_ = n->close_line;
  std::size_t i = emit(OP_CALL, line_);
  set_d(i, r.val);
  at(i).a = static_cast<std::int32_t>(rc_->args.size());
  at(i).b = static_cast<std::int32_t>(args.size());
  at(i).x = reinterpret_cast<std::intptr_t>(fn);
  int bytes = 0;
  bool words = true;
  for (const Arg &a : args) {
    bytes += a.size;
    words = words && a.kind == K_WORD;
  }
  at(i).k = static_cast<std::uint8_t>(bytes);
  at(i).ba = words;  // every argument is a word
  rc_->args.insert(rc_->args.end(), args.begin(), args.end());
  return true;
}

bool Compiler::expr(const TreeNode *n, Res &r) {
  line_ = n->line;
  switch (n->kind) {
  case NK_CONST: {
    const Value &c = n->token->value;
    if (c.type == TY_FLOAT) return false;
    r = Res{};
    r.head.set_head(c);
    r.val = c.type == TY_DOUBLE ? double_constant(c.imm.d) : constant(c.imm.i);
    return true;
  }
  case NK_NAME: r = Res{}; return name(n, r);
  case NK_GROUP: {
    if (!rvalue(n->a, r)) return false;
    r.place = P_NONE;
    return true;
  }
  case NK_UNARY: {
    Res a;
    if (!rvalue(n->a, a)) return false;
    int t = a.head.type;
    r = Res{};
    line_ = n->line;
    if (is_floating(t)) {
      if (n->op == '-') {
        r.head = a.head;
        r.val = double_temp();
        op3(OP_DNEG, r.val, a.val, Operand{}, line_);
      } else {
        r.head = TypeDesc{TY_INT, nullptr, 0};
        r.val = temp();
        std::size_t i = op3(OP_DTEST, r.val, a.val, Operand{}, line_);
        at(i).k = 1;
      }
      return true;
    }
    r.val = temp();
    if (n->op == '-') {
      r.head = a.head;
      r.opaque = a.opaque;
      op3(OP_NEG, r.val, a.val, Operand{}, line_);
    } else {
      if (!is_integer(t) && t != TY_PTR && t != TY_ARRAY) return false;
      r.head = TypeDesc{TY_INT, nullptr, 0};
      op3(OP_LNOT, r.val, a.val, Operand{}, line_);
    }
    return true;
  }
  case NK_ADDRESS: {
    Res a;
    if (!expr(n->a, a) || a.place == P_NONE) return false;
    r = Res{};
    r.head = TypeDesc{TY_PTR, const_cast<TypeDesc *>(a.ptd), a.head.aux};
    if (a.place == P_SLOT) {
      r.val = slot_address(a.slot);
      return true;
    }
    // The operand is loaded first, as the walker does: only its report counts.
    int size = aggregate(a.ptd->type) ? 1 : scalar_size(a.ptd->type);
    std::size_t i = op3(OP_PROBE, Operand{}, a.addr, Operand{}, line_);
    at(i).x = a.disp;
    at(i).b = size;
    r.val = temp();
    i = op3(OP_ADDR, r.val, a.addr, Operand{}, line_);
    at(i).x = a.disp;
    return true;
  }
  case NK_DEREF: {
    Res p;
    if (!rvalue(n->a, p)) return false;
    if ((p.head.type != TY_PTR && p.head.type != TY_ARRAY) || !p.head.next) return false;
    const TypeDesc *pointee = p.head.next;
    if (!memory_object(pointee->type)) return false;
    if (aggregate(pointee->type) && quiet_size(pointee) < 0) return false;
    line_ = n->line;
    r = Res{};
    r.place = P_MEM;
    r.addr = p.val;
    r.fail = p.val;
    r.ptd = pointee;
    r.head = loaded_head(*pointee);
    r.loaded = false;
    return true;
  }
  case NK_BINARY: return binary(n, r);
  case NK_ASSIGN: return assign(n, r, true);
  case NK_PREFIX: return increment(n, r, false);
  case NK_POSTFIX: return increment(n, r, true);
  case NK_INDEX: return index(n, r);
  case NK_DOT:
  case NK_ARROW: return member(n, r);
  case NK_CALL:
  case NK_BUILTIN: return call(n, r, true);
  case NK_SIZEOF: {
    // An operand is evaluated, as the walker evaluates it; an object counts by its declared type.
    int size = n->op;
    if (n->a) {
      Res a;
      if (!expr(n->a, a) || a.opaque) return false;
      size = quiet_size(a.place != P_NONE ? a.ptd : &a.head);
      if (size < 0 || !load(a)) return false;
    }
    r = Res{};
    r.head.type = TY_INT;
    r.val = constant(size);
    return true;
  }
  case NK_CAST: return cast(n, r);
  }
  return false;
}

// A value converted as a store of the cast's type would convert it, with that type as its head.
bool Compiler::cast(const TreeNode *n, Res &r) {
  Res a;
  if (!rvalue(n->a, a)) return false;
  int from = a.head.type;
  if (!is_integer(from) && from != TY_PTR && from != TY_ARRAY && !is_floating(from)) return false;
  int to = n->type.type;
  r = Res{};
  r.head = n->type;
  if (to == TY_FLOAT) {
    r.val = double_temp();
    std::size_t i = op3(OP_D2F, r.val, a.val, Operand{}, n->line);
    at(i).k = !is_floating(from);
    return true;
  }
  if (to == TY_DOUBLE) {
    r.val = a.val;
    if (!is_floating(from)) {
      r.val = double_temp();
      std::size_t i = op3(OP_DST, r.val, a.val, Operand{}, n->line);
      at(i).k = 1;
    }
    return true;
  }
  int kind = object_kind(to);
  if (kind < 0) return false;
  if (is_floating(from)) a.val = to_word(a.val);
  if (kind == K_WORD) {
    r.val = a.val;
    return true;
  }
  r.val = temp();
  op3(CONVERTS[kind], r.val, a.val, Operand{}, n->line);
  return true;
}

// The root of a statement's expression; 'want' is false where its value is dropped.
bool Compiler::typed_root(const TreeNode *n, Res &r, bool want) {
  switch (n->kind) {
  case NK_ASSIGN: return assign(n, r, want);
  case NK_CALL:
  case NK_BUILTIN: return call(n, r, want);
  default: return rvalue(n, r);
  }
}

// An expression statement (or a for clause): typed code, else the walker's evaluation.
void Compiler::expression(const ExpressionTree *tree, bool want_value) {
  std::size_t mark = rc_->code.size();
  temps_ = 0;
  Res r;
  if (typed_root(tree->root, r, want_value) && load(r)) return;
  rewind(mark);
  evaluate_by_walker(tree, tree->root->line);
}

// The expression of 'tree' through the walker's evaluator, into the working Value.
void Compiler::evaluate_by_walker(const ExpressionTree *tree, int line) {
  std::size_t i = emit(OP_EVAL, line);
  at(i).x = reinterpret_cast<std::intptr_t>(tree);
  rc_->uses_value = true;
}

// Jumps (to patch) taken when the condition's truth is 'when'.
void Compiler::condition(const ExpressionTree *tree, bool when, std::vector<std::size_t> &jumps) {
  std::size_t mark = rc_->code.size();
  temps_ = 0;
  const TreeNode *n = tree->root;
  if (n->kind == NK_BINARY && is_comparison(n->op)) {
    Res a, b;
    bool ok = rvalue(n->a, a);
    if (ok && has_effects(n->b)) stabilise(a);
    if (ok && rvalue(n->b, b) && !is_floating(a.head.type) && !is_floating(b.head.type)) {
      jumps.push_back(op3(branch_op(n->op, when), Operand{}, a.val, b.val, n->line));
      return;
    }
    rewind(mark);
    temps_ = 0;
  }
  Res r;
  if (rvalue(n, r)) {
    if (is_floating(r.head.type)) {
      // A floating condition's truth as an int.
      Operand t = temp();
      op3(OP_DTEST, t, r.val, Operand{}, n->line);
      r.val = t;
    }
    jumps.push_back(op3(when ? OP_JT : OP_JF, Operand{}, r.val, Operand{}, n->line));
    return;
  }
  rewind(mark);
  evaluate_by_walker(tree, n->line);
  jumps.push_back(emit(when ? OP_JTV : OP_JFV, n->line));
}

void Compiler::walk(Token *t, int depth) {
  std::size_t i = emit(OP_WALK, t->line);
  at(i).x = reinterpret_cast<std::intptr_t>(t);
  at(i).a = depth;
  at(i).b = -1;
  if (!breakables_.empty()) breakables_.back()->walks.push_back(i);
  rc_->uses_value = true;
}

// The token after the ';' that ends the expression at 't' (null when none is found before a brace).
static Token *after_semicolon(Token *t) {
  int depth = 0;
  for (; t; t = t->link) {
    switch (t->code) {
    case '(':
    case '[': ++depth; break;
    case ')':
    case ']': --depth; break;
    case ';':
      if (depth == 0) return t->link;
      break;
    case '{':
    case '}':
    case LEX_FUNC_END:
    case LEX_EOF: return nullptr;
    default: break;
    }
  }
  return nullptr;
}

// Whether the tokens from 'first' up to 'end' hold a return (a walked statement that returns
// makes the body's result untyped).
static bool holds_return(const Token *first, const Token *end) {
  for (const Token *t = first; t && t != end; t = t->link)
    if (t->code == LEX_RETURN) return true;
  return false;
}

// The compound statement from 't' up to 'after' through the walker; a return inside it makes the
// body's result untyped.
Token *Compiler::walk_statement(Token *t, Token *after, int depth) {
  walk(t, depth);
  dynamic_return_ = dynamic_return_ || holds_return(t, after);
  return after;
}

// The line of the last token from 'first' up to 'after' (the token a loop's body ends with, where
// the walker checks for an interrupt).
static int last_line_of(const Token *first, const Token *after) {
  int line = first ? first->line : 0;
  for (const Token *t = first; t && t != after; t = t->link) line = t->line;
  return line;
}

// The tree of the expression at 'start', which must end at a token of code 'end'.
static const ExpressionTree *tree_to(Token *start, int end) {
  if (!start) return nullptr;
  const ExpressionTree *tree = expression_tree(start);
  return tree && tree->end->code == end ? tree : nullptr;
}

Token *Compiler::expression_statement(Token *t, int depth) {
  if (!starts_operand(t->code)) return nullptr;
  const ExpressionTree *tree = tree_to(t, ';');
  if (tree) {
    expression(tree, false);
    return tree->end->link;
  }
  Token *after = after_semicolon(t);
  if (after) walk(t, depth);
  return after;
}

Token *Compiler::return_statement(Token *t, int depth) {
  Token *n = t->link;
  if (!n) return nullptr;
  if (n->code == ';') {
    emit(OP_RETVOID, n->line);
    dynamic_return_ = true;
    rc_->uses_value = true;
    return n->link;
  }
  const ExpressionTree *tree = tree_to(n, ';');
  if (!tree) {
    Token *after = after_semicolon(n);
    if (!after) return nullptr;
    walk(t, depth);
    dynamic_return_ = true;
    return after;
  }
  std::size_t mark = rc_->code.size();
  temps_ = 0;
  Res r;
  bool ok = rvalue(tree->root, r);
  if (ok && fn_->ret_type == TY_DOUBLE && same_head(r.head, TypeDesc{TY_DOUBLE, nullptr, 0})) {
    int line = tree->end->line;
    std::size_t i = op3(OP_RETD, Operand{}, r.val, Operand{}, line);
    at(i).x = reinterpret_cast<std::intptr_t>(keep_head(r.head));
    words_ok_ = false;
  } else if (ok && is_floating(r.head.type)) {
    // Any other double or float goes back in the working Value, as an untyped result.
    int line = tree->end->line;
    std::size_t i = op3(OP_DSET, Operand{}, r.val, Operand{}, line);
    at(i).x = reinterpret_cast<std::intptr_t>(keep_head(r.head));
    emit(OP_RETV, line);
    dynamic_return_ = true;
    rc_->uses_value = true;
  } else if (ok && !r.opaque) {
    int line = tree->end->line;
    std::size_t i = op3(OP_RET, Operand{}, r.val, Operand{}, line);
    at(i).x = reinterpret_cast<std::intptr_t>(keep_head(r.head));
    if (!same_head(r.head, TypeDesc{fn_->ret_type, nullptr, 0})) typed_ok_ = false;
  } else {
    rewind(mark);
    evaluate_by_walker(tree, tree->root->line);
    emit(OP_RETV, tree->end->line);
    dynamic_return_ = true;
  }
  return tree->end->link;
}

Token *Compiler::if_statement(Token *t, int depth) {
  Token *open = t->link;
  Token *after = t->jump[IF_END];
  const ExpressionTree *cond = open && open->code == '(' ? tree_to(open->link, ')') : nullptr;
  if (!cond) return after ? walk_statement(t, after, depth) : nullptr;
  std::vector<std::size_t> to_else;
  condition(cond, false, to_else);
  if (!statement(cond->end->link, depth)) return nullptr;
  if (t->jump[IF_ELSE]) {
    std::size_t skip = emit(OP_JMP, t->line);
    patch(to_else, here());
    if (!statement(t->jump[IF_ELSE], depth)) return nullptr;
    at(skip).x = here();
  } else {
    patch(to_else, here());
  }
  return after;
}

// The end of a loop's turn: the interrupt check the walker makes after the body, the step, and
// the jump back while the condition holds. When the step and the test can neither report nor be
// seen, the check moves into the jump back.
void Compiler::loop_tail(const ExpressionTree *step, const ExpressionTree *cond, std::int32_t top,
                         int check_line, int line) {
  std::size_t mark = rc_->code.size();
  if (step) expression(step, false);
  std::vector<std::size_t> back;
  if (cond) condition(cond, true, back);
  else back.push_back(emit(OP_JMP, line));
  std::size_t last = rc_->code.size() - 1;
  bool fuse = back.size() == 1 && back[0] == last;
  for (std::size_t i = mark; fuse && i < last; ++i) fuse = traits(at(i).op) & SILENT;
  Op op = at(last).op;
  fuse = fuse && (op == OP_JMP || op == OP_JT || op == OP_JF || (op >= OP_JLT && op <= OP_JNE));
  if (fuse) {
    at(last).k = 1;
    rc_->lines[last] = check_line;
  } else {
    Insn check;
    check.op = OP_CHECK;
    rc_->code.insert(rc_->code.begin() + static_cast<std::ptrdiff_t>(mark), check);
    rc_->lines.insert(rc_->lines.begin() + static_cast<std::ptrdiff_t>(mark), check_line);
    for (std::size_t &j : back) ++j;
  }
  patch(back, top);
}

// while (c) s:   if (!c) goto out; top: s; check; if (c) goto top; out:
Token *Compiler::while_statement(Token *t, int depth) {
  Token *open = t->link;
  Token *after = t->jump[LOOP_END];
  const ExpressionTree *cond = open && open->code == '(' ? tree_to(open->link, ')') : nullptr;
  if (!after) return nullptr;
  if (!cond) return walk_statement(t, after, depth);
  std::vector<std::size_t> exits;
  condition(cond, false, exits);
  std::int32_t top = here();
  Breakable b;
  breakables_.push_back(&b);
  Token *end = statement(cond->end->link, depth);
  breakables_.pop_back();
  if (!end) return nullptr;
  int last_line = last_line_of(cond->end->link, after);
  loop_tail(nullptr, cond, top, last_line, t->line);
  close_loop(b, last_line);
  patch(exits, here());
  return after;
}

// for (i; c; s) b:   i; if (!c) goto out; top: b; check; s; if (c) goto top; out:
Token *Compiler::for_statement(Token *t, int depth) {
  Token *open = t->link;
  Token *init_end = t->jump[FOR_INIT_END];
  Token *cond_end = t->jump[FOR_COND_END];
  Token *step_end = t->jump[FOR_STEP_END];
  Token *after = t->jump[LOOP_END];
  if (!open || open->code != '(' || !init_end || !cond_end || !step_end || !after) return nullptr;
  auto clause = [](Token *start, Token *end, const ExpressionTree **tree) {
    if (!start) return false;
    if (start == end) return true;
    *tree = tree_to(start, end->code);
    return *tree && (*tree)->end == end;
  };
  const ExpressionTree *init = nullptr, *cond = nullptr, *step = nullptr;
  if (!clause(open->link, init_end, &init) || !clause(init_end->link, cond_end, &cond) ||
      !clause(cond_end->link, step_end, &step))
    return walk_statement(t, after, depth);
  if (init) expression(init, false);
  std::vector<std::size_t> exits;
  if (cond) condition(cond, false, exits);
  std::int32_t top = here();
  Breakable b;
  breakables_.push_back(&b);
  Token *end = statement(step_end->link, depth);
  breakables_.pop_back();
  if (!end) return nullptr;
  int last_line = last_line_of(step_end->link, after);
  loop_tail(step, cond, top, last_line, t->line);
  close_loop(b, last_line);
  patch(exits, here());
  return after;
}

// The ':' after a case's constant expression; null when the label holds anything but constants,
// enumeration constants and operators (a label that runs nothing when the sequence passes it).
static Token *case_colon(Token *t) {
  for (Token *x = t->link; x; x = x->link) {
    switch (x->code) {
    case ':': return x;
    case LEX_SYMBOL:
      if (x->value.imm.sym->stg != STG_ENUM_CONST) return nullptr;
      break;
    case LEX_CONSTANT:
    case '(':
    case ')':
    case '+':
    case '-':
    case '!':
    case '*':
    case '/':
    case '&':
    case '|':
    case '^':
    case LEX_SHL:
    case LEX_SHR: break;
    default: return nullptr;
    }
  }
  return nullptr;
}

// switch (c) { ... }: a table from the case values to the statements, which run in sequence.
Token *Compiler::switch_statement(Token *t, int depth) {
  Token *open = t->link;
  Token *end = t->jump[SWITCH_END];
  if (!end) return nullptr;
  Token *after = end->link;
  const ExpressionTree *cond = open && open->code == '(' ? tree_to(open->link, ')') : nullptr;
  Token *body = cond ? cond->end->link : nullptr;
  std::size_t mark = rc_->code.size();
  bool dynamic = dynamic_return_;
  bool ok = cond && body && body->code == '{';
  std::vector<std::pair<Token *, std::int32_t>> labels;  // each ':' and where its statement starts
  std::size_t dispatch = 0;
  Breakable b;
  if (ok) {
    temps_ = 0;
    Res c;
    ok = rvalue(cond->root, c) && !is_floating(c.head.type);
    if (ok) {
      dispatch = op3(OP_SWITCH, Operand{}, c.val, Operand{}, cond->root->line);
      breakables_.push_back(&b);
      Token *x = body->link;
      while (ok && x && x != end) {
        if (x->code == LEX_CASE || x->code == LEX_DEFAULT) {
          Token *colon = x->code == LEX_CASE ? case_colon(x) : x->link;
          if (!colon || colon->code != ':') {
            ok = false;
            break;
          }
          labels.emplace_back(colon, here());
          x = colon->link;
          continue;
        }
        if (starts_declaration(x->code, &x->value)) {
          ok = false;
          break;
        }
        x = statement(x, depth);
        if (!x) {
          breakables_.pop_back();
          return nullptr;
        }
      }
      breakables_.pop_back();
      ok = ok && x == end;
    }
  }
  auto target_of = [&labels](const Token *colon) -> std::int32_t {
    for (const auto &l : labels)
      if (l.first == colon) return l.second;
    return -1;
  };
  auto table = std::make_unique<SwitchTable>();
  if (ok) {
    std::vector<std::int32_t> seen;
    for (Token *c = t->jump[SWITCH_CASES]; c && ok; c = c->jump[CASE_NEXT]) {
      std::int32_t target = target_of(c);
      if (target < 0) ok = false;
      std::int32_t value = c->value.imm.i;
      if (std::find(seen.begin(), seen.end(), value) != seen.end()) continue;
      seen.push_back(value);
      table->cases.emplace_back(value, target);
    }
    table->none = here();
    if (t->jump[SWITCH_DEFAULT]) {
      table->none = target_of(t->jump[SWITCH_DEFAULT]);
      if (table->none < 0) ok = false;
    }
  }
  if (!ok) {
    rewind(mark);
    dynamic_return_ = dynamic;
    return walk_statement(t, after, depth);
  }
  std::sort(table->cases.begin(), table->cases.end());
  if (!table->cases.empty()) {
    std::int64_t low = table->cases.front().first, high = table->cases.back().first;
    if (high - low < 256 && high - low < 4 * static_cast<std::int64_t>(table->cases.size()) + 16) {
      table->low = static_cast<std::int32_t>(low);
      table->dense.assign(static_cast<std::size_t>(high - low + 1), table->none);
      for (const auto &c : table->cases) table->dense[static_cast<std::size_t>(c.first - low)] = c.second;
    }
  }
  close_breakable(b, here());
  at(dispatch).x = reinterpret_cast<std::intptr_t>(table.get());
  rc_->tables.push_back(std::move(table));
  return after;
}

// A declaration that does nothing when it runs: names, stars, commas and constant array sizes.
static Token *inert_declaration(Token *t) {
  for (Token *x = t; x; x = x->link) {
    switch (x->code) {
    case ';': return x->link;
    case LEX_SYMBOL:
    case LEX_CONSTANT:
    case '*':
    case LEX_DEREF:
    case ',':
    case '[':
    case ']': break;
    default:
      if (!type_keyword(x->code)) return nullptr;
    }
  }
  return nullptr;
}

// The token after the ';' that ends the declaration at 't'.
static Token *after_declaration(Token *t) {
  int depth = 0;
  for (Token *x = t; x; x = x->link) {
    switch (x->code) {
    case '(':
    case '[':
    case '{': ++depth; break;
    case ')':
    case ']':
    case '}':
      if (--depth < 0) return nullptr;
      break;
    case ';':
      if (depth == 0) return x->link;
      break;
    case LEX_FUNC_END:
    case LEX_EOF: return nullptr;
    default: break;
    }
  }
  return nullptr;
}

Token *Compiler::block(Token *open, int depth) {
  Token *x = open->link;
  while (x && starts_declaration(x->code, &x->value)) {
    if (Token *after = inert_declaration(x)) {
      x = after;
      continue;
    }
    // One that runs (an initialiser, a type defined here) runs through the declaration parser.
    Token *after = after_declaration(x);
    if (!after) return nullptr;
    std::size_t i = emit(OP_DECLARE, x->line);
    at(i).x = reinterpret_cast<std::intptr_t>(x);
    at(i).a = depth;
    rc_->uses_value = true;
    x = after;
  }
  while (x && x->code != '}') {
    // Labels are taken in the body's own block only, where a goto that lands on one goes on
    // with the statements after it, as the walker does.
    while (open == fn_->body && x->code == LEX_SYMBOL && x->value.imm.sym->stg == STG_LABEL && x->link &&
           x->link->code == ':') {
      labels_.emplace_back(x->value.imm.sym, here());
      rc_->targets.emplace_back(x->link->link, here());
      x = x->link->link;
      if (!x) return nullptr;
    }
    x = statement(x, depth);
  }
  return x ? x->link : nullptr;
}

Token *Compiler::statement(Token *t, int depth) {
  if (!t) return nullptr;
  switch (t->code) {
  case ';': return t->link;
  case '{': return block(t, depth + 1);
  case LEX_IF: return if_statement(t, depth);
  case LEX_WHILE: return while_statement(t, depth);
  case LEX_FOR: return for_statement(t, depth);
  case LEX_SWITCH: return switch_statement(t, depth);
  case LEX_RETURN: return return_statement(t, depth);
  case LEX_BREAK: {
    Token *n = t->link;
    if (!n || n->code != ';') return nullptr;
    if (is_stray_break(t)) return n->link;
    if (breakables_.empty()) return nullptr;
    breakables_.back()->jumps.push_back(emit(OP_JMP, t->line));
    return n->link;
  }
  case LEX_SYMBOL:
    if (t->value.imm.sym->stg == STG_LABEL) return nullptr;
    return expression_statement(t, depth);
  case LEX_GOTO: {
    // The walker checks for an interrupt before it goes on at the label.
    Token *name = t->link;
    if (!name || name->code != LEX_SYMBOL || name->value.imm.sym->stg != STG_LABEL || !name->link ||
        name->link->code != ';')
      return nullptr;
    std::size_t i = emit(OP_JMP, name->line);
    at(i).k = 1;
    gotos_.emplace_back(name->value.imm.sym, i);
    return name->link->link;
  }
  default: return expression_statement(t, depth);
  }
}

bool Compiler::body() {
  Token *open = fn_->body;
  if (!open || open->code != '{' || fn_->body_errors) return false;
  Token *end = block(open, 1);
  if (!end || end->code != LEX_FUNC_END) return false;
  for (const auto &g : gotos_) {
    auto label =
        std::find_if(labels_.begin(), labels_.end(), [&g](const auto &l) { return l.first == g.first; });
    if (label == labels_.end()) return false;
    at(g.second).x = label->second;
  }
  emit(regcode::OP_END, last_line_of(open, end));
  // Locals lie inside the frame that call_function checks; the arguments above it are checked
  // at each call.
  if (rc_->temps > MAX_TEMPS || rc_->frame_low < fn_->offset) return false;
  for (Insn &in : rc_->code) specialise(in, rc_->consts, rc_->args);
  rc_->typed_result = typed_ok_ && !dynamic_return_ &&
                      (is_integer(fn_->ret_type) || fn_->ret_type == TY_PTR || fn_->ret_type == TY_DOUBLE);
  rc_->word_result = words_ok_ && !dynamic_return_;
  rc_->body = open;
  return true;
}

}  // namespace

// The functions that have code (compiled or failed), for dropping it all at once.
static std::vector<Symbol *> with_code;
static unsigned code_epoch = 0;

bool code_is_current() { return code_epoch == declaration_epoch; }

void drop_code() {
  for (Symbol *fn : with_code) {
    if (fn->code != &compiling) delete fn->code;
    fn->code = nullptr;
  }
  with_code.clear();
  code_epoch = declaration_epoch;
}

RegisterCode *code_of(Symbol *fn) {
  if (!code_is_current()) drop_code();
  if (fn->code) return fn->code->failed ? nullptr : fn->code;
  if (compile_nesting >= MAX_COMPILE_NESTING) return nullptr;
  ++compile_nesting;
  fn->code = &compiling;
  std::unique_ptr<RegisterCode> rc;
  bool ok = false;
  // The body's calls of itself are first taken as typed; when its returns turn out not to be,
  // it is compiled again taking them as words, and then untyped.
  for (Compiler::SelfCalls self : {Compiler::SELF_EXACT, Compiler::SELF_WORD, Compiler::SELF_NONE}) {
    rc = std::make_unique<RegisterCode>();
    Compiler c(fn, rc.get(), self);
    ok = c.body();
    bool proved = self == Compiler::SELF_EXACT ? rc->typed_result : proved_result(*rc, fn);
    if (!ok || !c.used_self() || proved) break;
  }
  --compile_nesting;
  // A body that does not compile is not tried again until it or a declaration changes.
  if (!ok) rc = std::unique_ptr<RegisterCode>(unreachable_frame(new RegisterCode));
  rc->body = fn->body;
  fn->code = rc.release();
  with_code.push_back(fn);
  return ok ? fn->code : nullptr;
}
