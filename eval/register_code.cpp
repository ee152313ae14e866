// The machine that runs register code: one dispatch loop over the instructions of
// eval/register_insn.h, which runs calls of compiled functions itself, without recursion.
#include "eval/register_code.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "builtins/builtin_table.h"
#include "decl/declaration.h"
#include "eval/call.h"
#include "eval/expression.h"
#include "eval/expression_tree.h"
#include "eval/operations.h"
#include "eval/register_insn.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "shell/run_end.h"
#include "source/lexer.h"
#include "source/token_stream.h"
#include "stmt/statement.h"

using namespace regcode;

namespace {

enum Exit { EXIT_TYPED, EXIT_VALUE, EXIT_END };

// The temporaries of the compiled activations, stacked.
std::int32_t reg_stack[MAX_TEMPS * (MAX_CALL_DEPTH + 1)];
int reg_top = 0;

inline std::int32_t rd(std::uint8_t *const *bases, std::uint8_t base, std::int32_t off) {
  std::int32_t x;
  std::memcpy(&x, bases[base] + off, 4);
  return x;
}
inline void wr(std::uint8_t *const *bases, std::uint8_t base, std::int32_t off, std::int32_t x) {
  std::memcpy(bases[base] + off, &x, 4);
}

inline double rdd(std::uint8_t *const *bases, std::uint8_t base, std::int32_t off) {
  double x;
  std::memcpy(&x, bases[base] + off, 8);
  return x;
}
inline void wrd(std::uint8_t *const *bases, std::uint8_t base, std::int32_t off, double x) {
  std::memcpy(bases[base] + off, &x, 8);
}

inline std::int32_t load_word(const std::uint8_t *p) {
  std::int32_t x;
  std::memcpy(&x, p, 4);
  return x;
}
inline void store_word(std::uint8_t *p, std::int32_t x) { std::memcpy(p, &x, 4); }

inline std::int32_t wrap_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Reads an object of 'kind' at p, as a load gives it.
inline std::int32_t read_kind(const std::uint8_t *p, int kind) {
  switch (kind) {
  case K_CHAR: return static_cast<std::int8_t>(*p);
  case K_UCHAR: return *p;
  case K_SHORT: {
    std::int16_t s;
    std::memcpy(&s, p, 2);
    return s;
  }
  case K_USHORT: {
    std::uint16_t s;
    std::memcpy(&s, p, 2);
    return s;
  }
  default: {
    std::int32_t w;
    std::memcpy(&w, p, 4);
    return w;
  }
  }
}
inline void write_kind(std::uint8_t *p, int kind, std::int32_t x) {
  if (kind == K_WORD) std::memcpy(p, &x, 4);
  else if (kind <= K_UCHAR) *p = static_cast<std::uint8_t>(x);
  else {
    std::uint16_t s = static_cast<std::uint16_t>(x);
    std::memcpy(p, &s, 2);
  }
}

// ++ or -- of the object at p; the value of the expression.
inline std::int32_t increment_at(std::uint8_t *p, std::uint8_t k, std::int32_t step) {
  int kind = k & 15;
  std::int32_t old = read_kind(p, kind);
  write_kind(p, kind, wrap_add(old, step));
  return (k & K_POSTFIX) ? old : read_kind(p, kind);
}

void report_overflow(int line) {
  line_counter = line;
  error(MSG_MEMORY_OVERFLOW);
}

bool frame_fits(const RegisterCode &rc, std::int32_t frame) {
  return frame + rc.frame_low >= 0 && frame + rc.frame_high <= ARENA_SIZE;
}

// A script call that execute() runs itself: the caller's state, given back at the return.
// (return_flag is clear at every compiled call: a return leaves the code at once.)
struct Frame {
  const RegisterCode *rc;
  const Insn *call;  // the caller's CALL
  Value *wv;
  std::uint8_t *rp;  // the caller's temporaries
  std::int32_t saved_sp, outer_frame;
};
// The working Values of the calls that execute() runs itself, by call depth.
Value frame_values[MAX_CALL_DEPTH + 2];

// Whether the call of 'fn' with its arguments pushed (its frame base at 'frame') can run as
// register code inside the caller's execute(); every other call goes through call_function, which
// reports what is wrong.
inline bool enterable(const Symbol *fn, const RegisterCode *rc, std::int32_t frame) {
  return rc && call_depth < MAX_CALL_DEPTH && frame + fn->offset >= arena_top &&
         frame + rc->frame_high <= ARENA_SIZE;
}

// A call's result at the CALL's destination: a double for a function that returns one, else a
// word.
inline void put_result(std::uint8_t *const *bases, const Insn *call, const Value &v) {
  if (reinterpret_cast<const Symbol *>(call->x)->ret_type == TY_DOUBLE)
    wrd(bases, call->bd, call->d, v.imm.d);
  else wr(bases, call->bd, call->d, v.imm.i);
}

Value call_through_walker(Symbol *fn) {
  Value v;
  v.set_head(*fn);
  call_function(fn, &v);
  return v;
}

// A built-in called with its argument words (the words from 'count' on are 0): straight when it
// can be called and its words fit, as run_builtin calls it; else through builtin_with_words,
// which reports what is wrong.
inline BuiltinResult builtin_from_words(int row, std::int32_t *words, int count) {
  BuiltinFn fn = builtin_table[row].function;
  BuiltinResult r;
  if (fn && builtin_argc + count <= BUILTIN_ARG_WORDS) [[likely]] {
    r = fn(words);
    check_requested_end();
    return r;
  }
  Value v;
  v.type = builtin_table[row].return_type;
  builtin_with_words(row, words, count, &v);
  if (v.type == TY_DOUBLE) r.d = v.imm.d;
  else r.i = v.imm.i;
  return r;
}

// Dispatch by computed goto where the compiler has it; OXEL_SWITCH_DISPATCH builds the portable
// switch instead (the same handlers).
#if (defined(__GNUC__) || defined(__clang__)) && !defined(OXEL_SWITCH_DISPATCH)
#define RC_THREADED 1
#endif

inline std::uint8_t *const_base(const RegisterCode *rc) {
  return reinterpret_cast<std::uint8_t *>(const_cast<std::int32_t *>(rc->consts.data()));
}

// Runs register code from its start; calls of compiled functions run here too, without recursion.
// A typed return from the body that execute() entered leaves its value in 'wv'.
Exit execute(const RegisterCode *rc, Value *wv) {
  // The calls this run makes itself; a call through the walker that comes back here runs in an
  // execute() of its own. (A local array: the machine's stores to script memory cannot reach it.)
  Frame frames[MAX_CALL_DEPTH + 1];
  int frame_count = 0;
  std::int32_t *regs = reg_stack + reg_top;
  reg_top += rc->temps;
  std::uint8_t *bases[4] = {arena_bytes + frame_base, arena_bytes, reinterpret_cast<std::uint8_t *>(regs),
                            const_base(rc)};
  const Insn *code = rc->code.data();
  const Insn *pc = code;
  int entry_level = scope_level;
  Value *outer_value = wv;
  // A call being made: the stack before its arguments, the callee's frame base after them.
  std::int32_t call_sp = 0, call_frame = 0;

  std::int32_t ret = 0;
  double dret = 0.0;
  const TypeDesc *ret_head = nullptr;
  Exit exit = EXIT_END;
  // The frame and the temporaries, for the variants of the hot instructions.
  std::uint8_t *fp = bases[0];
  std::uint8_t *rp = bases[2];
// Back in the caller of a compiled call that returned: its frame, stack, code and bases again.
#define RESUME_CALLER(f)                      \
  do {                                        \
    --call_depth;                             \
    frame_base = (f).outer_frame;             \
    stack_ptr = (f).saved_sp;                 \
    rc = (f).rc;                              \
    code = rc->code.data();                   \
    wv = (f).wv;                              \
    bases[0] = fp = arena_bytes + frame_base; \
    bases[2] = rp = (f).rp;                   \
    bases[3] = const_base(rc);                \
    pc = (f).call;                            \
  } while (0)
// A return from a call that execute() made itself: the run may end here, as the walker checks
// after every body; then the caller goes on, with 'store' giving it the result.
#define RETURN_INTO_CALLER(store)           \
  do {                                      \
    if (requested_end) [[unlikely]] {       \
      line_counter = LINE();                \
      end_requested_run();                  \
    }                                       \
    reg_top -= rc->temps;                   \
    const Frame &f = frames[--frame_count]; \
    RESUME_CALLER(f);                       \
    store;                                  \
    NEXT();                                 \
  } while (0)
#define R(f) rd(bases, pc->b##f, pc->f)
#define W(x) wr(bases, pc->bd, pc->d, (x))
// The script address a + x of a memory instruction.
#define MEM_ADDR() static_cast<std::uint32_t>(wrap_add(R(a), static_cast<std::int32_t>(pc->x)))
// A load that failed: error 102 at the instruction's line, and d keeps what b holds (the value the
// walker's Value had before the load).
#define FAILED_LOAD()         \
  do {                        \
    std::int32_t fail = R(b); \
    report_overflow(LINE());  \
    W(fail);                  \
  } while (0)
#define LINE() (rc->lines[static_cast<std::size_t>(pc - code)])
#ifdef RC_THREADED
#define RC_LABEL(name) &&L_##name,
  static void *const labels[] = {RC_OPS(RC_LABEL)};
#undef RC_LABEL
#define OP(name) L_##name
#define NEXT()            \
  do {                    \
    ++pc;                 \
    goto *labels[pc->op]; \
  } while (0)
#define JUMP(t)           \
  do {                    \
    pc = code + (t);      \
    goto *labels[pc->op]; \
  } while (0)
  goto *labels[pc->op];
#else
#define OP(name) case regcode::OP_##name
#define NEXT()     \
  do {             \
    ++pc;          \
    goto dispatch; \
  } while (0)
#define JUMP(t)      \
  do {               \
    pc = code + (t); \
    goto dispatch;   \
  } while (0)
dispatch:
  switch (pc->op) {
#endif
// The integer operations of the machine with what each computes from its operands a and b, as
// the walker's integer_operation does: one list for every operand-kind variant and the generic form.
#define RC_ARITHMETIC(X)                                                                                   \
  X(ADD, wrap_add(a, b))                                                                                   \
  X(SUB, static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b)))         \
  X(MUL, static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b)))         \
  X(AND, a &b)                                                                                             \
  X(OR, a | b)                                                                                             \
  X(XOR, a ^ b)                                                                                            \
  X(SHL, static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (static_cast<std::uint32_t>(b) & 31))) \
  X(SHR, a >> (static_cast<std::uint32_t>(b) & 31))
#define RC_COMPARISONS(X) X(LT, a < b) X(GT, a > b) X(LE, a <= b) X(GE, a >= b) X(EQ, a == b) X(NE, a != b)
#define RC_BRANCHES(X) X(JLT, a < b) X(JGT, a > b) X(JLE, a <= b) X(JGE, a >= b) X(JEQ, a == b) X(JNE, a != b)
#define BINARY(name, expr)           \
  OP(name) : {                       \
    std::int32_t a = R(a), b = R(b); \
    W(expr);                         \
    NEXT();                          \
  }
#define LOOP_CHECK()                         \
  if (pc->k && requested_end) [[unlikely]] { \
    line_counter = LINE();                   \
    end_requested_run();                     \
  }
#define BRANCH(name, cond)           \
  OP(name) : {                       \
    LOOP_CHECK();                    \
    std::int32_t a = R(a), b = R(b); \
    if (cond) JUMP(pc->x);           \
    NEXT();                          \
  }
#define RD_F(f) load_word(fp + pc->f)
#define RD_R(f) load_word(rp + pc->f)
#define RD_K(f) (pc->f)
#define WR_F(x) store_word(fp + pc->d, (x))
#define WR_R(x) store_word(rp + pc->d, (x))
#define BIN_V(name, expr, D, A, B)             \
  OP(name##_##D##_##A##B) : {                  \
    std::int32_t a = RD_##A(a), b = RD_##B(b); \
    WR_##D(expr);                              \
    NEXT();                                    \
  }
#define BIN_AB(name, expr, D) \
  BIN_V(name, expr, D, F, F)  \
  BIN_V(name, expr, D, F, R)  \
  BIN_V(name, expr, D, F, K) BIN_V(name, expr, D, R, F) BIN_V(name, expr, D, R, R) BIN_V(name, expr, D, R, K)
#define BIN_ALL(name, expr) BIN_AB(name, expr, F) BIN_AB(name, expr, R)
#define BR_V(name, cond, A, B, CHECK)          \
  OP(name##_##A##B) : {                        \
    CHECK;                                     \
    std::int32_t a = RD_##A(a), b = RD_##B(b); \
    if (cond) JUMP(pc->x);                     \
    NEXT();                                    \
  }
#define BR_KINDS(name, cond, CHECK) \
  BR_V(name, cond, F, F, CHECK)     \
  BR_V(name, cond, F, R, CHECK)     \
  BR_V(name, cond, F, K, CHECK)     \
  BR_V(name, cond, R, F, CHECK) BR_V(name, cond, R, R, CHECK) BR_V(name, cond, R, K, CHECK)
#define BR_ALL(name, cond) BR_KINDS(name, cond, (void)0) BR_KINDS(name##C, cond, LOOP_CHECK())
  RC_ARITHMETIC(BIN_ALL)
  RC_COMPARISONS(BIN_ALL)
  RC_BRANCHES(BR_ALL)
  OP(MOV_FF) : WR_F(RD_F(a));
  NEXT();
  OP(MOV_FR) : WR_F(RD_R(a));
  NEXT();
  OP(MOV_FK) : WR_F(RD_K(a));
  NEXT();
  OP(MOV_RF) : WR_R(RD_F(a));
  NEXT();
  OP(MOV_RR) : WR_R(RD_R(a));
  NEXT();
  OP(MOV_RK) : WR_R(RD_K(a));
  NEXT();
  OP(INCW_F) : {
    std::uint8_t *p = fp + pc->a;
    std::int32_t old = load_word(p);
    std::int32_t now = wrap_add(old, static_cast<std::int32_t>(pc->x));
    store_word(p, now);
    WR_R((pc->k & K_POSTFIX) ? old : now);
    NEXT();
  }
  OP(MOV) : W(R(a));
  NEXT();
  RC_ARITHMETIC(BINARY)
  RC_COMPARISONS(BINARY)
  OP(DIV) : {
    std::int32_t a = R(a), b = R(b);
    if (b == 0) line_counter = LINE();
    W(integer_divide(a, b));
    NEXT();
  }
  OP(NEG) : W(static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(R(a))));
  NEXT();
  OP(LNOT) : W(R(a) == 0);
  NEXT();
  OP(JMP) : LOOP_CHECK();
  JUMP(pc->x);
  OP(JT) : LOOP_CHECK();
  if (R(a)) JUMP(pc->x);
  NEXT();
  OP(JF) : LOOP_CHECK();
  if (!R(a)) JUMP(pc->x);
  NEXT();
  BRANCH(JLT, a < b)
  BRANCH(JGT, a > b)
  BRANCH(JLE, a <= b)
  BRANCH(JGE, a >= b)
  BRANCH(JEQ, a == b)
  BRANCH(JNE, a != b)
  OP(LD8S) : W(static_cast<std::int8_t>(bases[pc->ba][pc->a]));
  NEXT();
  OP(LD8U) : W(bases[pc->ba][pc->a]);
  NEXT();
  OP(LD16S) : W(read_kind(bases[pc->ba] + pc->a, K_SHORT));
  NEXT();
  OP(LD16U) : W(read_kind(bases[pc->ba] + pc->a, K_USHORT));
  NEXT();
  OP(ST8) : bases[pc->bd][pc->d] = static_cast<std::uint8_t>(R(a));
  NEXT();
  OP(ST16) : write_kind(bases[pc->bd] + pc->d, K_SHORT, R(a));
  NEXT();
  OP(SX8) : W(static_cast<std::int8_t>(R(a)));
  NEXT();
  OP(ZX8) : W(static_cast<std::uint8_t>(R(a)));
  NEXT();
  OP(SX16) : W(static_cast<std::int16_t>(R(a)));
  NEXT();
  OP(ZX16) : W(static_cast<std::uint16_t>(R(a)));
  NEXT();
  OP(LEA) : W(static_cast<std::int32_t>(arena_base + static_cast<std::uint32_t>(frame_base + pc->x)));
  NEXT();
  OP(ADDR) : W(wrap_add(R(a), static_cast<std::int32_t>(pc->x)));
  NEXT();
  OP(IDXA)
      : W(static_cast<std::int32_t>(static_cast<std::uint32_t>(R(a)) +
                                    static_cast<std::uint32_t>(pc->x) * static_cast<std::uint32_t>(R(b))));
  NEXT();
// The loads of each width and signedness: the instruction's name after its family's prefix, the
// kind of object and its size.
#define RC_LOAD_KINDS(X, prefix) \
  X(prefix##8S, K_CHAR, 1)       \
  X(prefix##8U, K_UCHAR, 1) X(prefix##16S, K_SHORT, 2) X(prefix##16U, K_USHORT, 2) X(prefix##32, K_WORD, 4)
#define LOAD_MEMORY(name, kind, size)                                               \
  OP(name) : {                                                                      \
    std::uint32_t addr = MEM_ADDR();                                                \
    if (const std::uint8_t *p = arena_ptr(addr, size)) {                            \
      W(read_kind(p, kind));                                                        \
    } else {                                                                        \
      if (pc->k) report_overflow(LINE()); /* an assignment's dead load merged in */ \
      FAILED_LOAD();                                                                \
    }                                                                               \
    NEXT();                                                                         \
  }
  RC_LOAD_KINDS(LOAD_MEMORY, LDM)
#define LOAD_INDEXED(name, kind, size)                                                         \
  OP(name) : {                                                                                 \
    std::int32_t base = R(a);                                                                  \
    std::uint32_t addr = static_cast<std::uint32_t>(base) +                                    \
                         static_cast<std::uint32_t>(pc->x) * static_cast<std::uint32_t>(R(b)); \
    if (const std::uint8_t *p = arena_ptr(addr, size)) {                                       \
      W(read_kind(p, kind));                                                                   \
    } else {                                                                                   \
      report_overflow(LINE());                                                                 \
      W(base);                                                                                 \
    }                                                                                          \
    NEXT();                                                                                    \
  }
  RC_LOAD_KINDS(LOAD_INDEXED, LDX)
#define STORE_INDEXED(name, kind, size)                                                        \
  OP(name) : {                                                                                 \
    std::uint32_t addr = static_cast<std::uint32_t>(R(a)) +                                    \
                         static_cast<std::uint32_t>(pc->x) * static_cast<std::uint32_t>(R(b)); \
    if (std::uint8_t *p = arena_ptr(addr, size)) write_kind(p, kind, R(d));                    \
    else report_overflow(LINE());                                                              \
    NEXT();                                                                                    \
  }
  STORE_INDEXED(STX8, K_CHAR, 1)
  STORE_INDEXED(STX16, K_SHORT, 2)
  STORE_INDEXED(STX32, K_WORD, 4)
  OP(CHKM) : {
    std::int32_t addr = wrap_add(R(a), static_cast<std::int32_t>(pc->x));
    if (arena_ptr(static_cast<std::uint32_t>(addr), 1)) W(addr);
    else FAILED_LOAD();
    NEXT();
  }
  OP(PROBE) : {
    std::uint32_t addr = MEM_ADDR();
    if (!arena_ptr(addr, static_cast<std::uint32_t>(pc->b))) report_overflow(LINE());
    NEXT();
  }
#define STORE_MEMORY(name, kind, size)                                      \
  OP(name) : {                                                              \
    std::uint32_t addr = MEM_ADDR();                                        \
    if (std::uint8_t *p = arena_ptr(addr, size)) write_kind(p, kind, R(b)); \
    NEXT();                                                                 \
  }
  STORE_MEMORY(STM8, K_CHAR, 1)
  STORE_MEMORY(STM16, K_SHORT, 2)
  STORE_MEMORY(STM32, K_WORD, 4)
  OP(INC) : W(increment_at(bases[pc->ba] + pc->a, pc->k, static_cast<std::int32_t>(pc->x)));
  NEXT();
  OP(INCM) : {
    std::uint32_t addr = static_cast<std::uint32_t>(R(a));
    if (std::uint8_t *p = arena_ptr(addr, static_cast<std::uint32_t>(kind_size(pc->k & 15)))) {
      W(increment_at(p, pc->k, static_cast<std::int32_t>(pc->x)));
    } else {
      FAILED_LOAD();
    }
    NEXT();
  }
  OP(CALL) : {
    call_sp = stack_ptr;
    call_frame = call_sp - pc->k;
    if (call_frame < arena_top) goto push_slowly;
    // Every argument fits: stored straight into the callee's frame.
    const Arg *args = rc->args.data() + pc->a;
    std::uint8_t *p = arena_bytes + call_sp;
    if (pc->ba) {
      for (int i = pc->b - 1; i >= 0; --i) {
        p -= 4;
        store_word(p, rd(bases, args[i].op.base, args[i].op.off));
      }
    } else {
      for (int i = pc->b - 1; i >= 0; --i) {
        p -= args[i].size;
        if (args[i].kind == K_DOUBLE) std::memcpy(p, bases[args[i].op.base] + args[i].op.off, 8);
        else write_kind(p, args[i].kind, rd(bases, args[i].op.base, args[i].op.off));
      }
    }
    stack_ptr = call_frame;
    goto enter;
  }
#define CALL_ONE(name, base)                                         \
  OP(name) : {                                                       \
    call_sp = stack_ptr;                                             \
    call_frame = call_sp - 4;                                        \
    if (call_frame < arena_top) goto push_slowly;                    \
    store_word(arena_bytes + call_frame, load_word((base) + pc->b)); \
    stack_ptr = call_frame;                                          \
    goto enter;                                                      \
  }
  CALL_ONE(CALL1_F, fp)
  CALL_ONE(CALL1_R, rp)
push_slowly : {
  // Not every argument fits: pushed one by one, as the walker pushes them, with its reports.
  const Arg *args = rc->args.data() + pc->a;
  line_counter = LINE();
  for (int i = (pc->op == OP_CALL ? pc->b : 1) - 1; i >= 0; --i) {
    Value v;
    v.type = args[i].kind == K_DOUBLE ? TY_DOUBLE : TY_INT;
    std::memcpy(&v.imm, bases[args[i].op.base] + args[i].op.off, args[i].kind == K_DOUBLE ? 8 : 4);
    push_arg(&v, args[i].type);
  }
  call_frame = stack_ptr;
}
enter : {
  // The arguments are pushed (the frame base at call_frame): into the callee, or through the
  // walker, which reports what is wrong at the line of the call.
  Symbol *fn = reinterpret_cast<Symbol *>(pc->x);
  const RegisterCode *callee = fn->code;
  if (!enterable(fn, callee, call_frame)) {
    line_counter = LINE();
    Value r = call_through_walker(fn);
    stack_ptr = call_sp;
    put_result(bases, pc, r);
    NEXT();
  }
  frames[frame_count++] = Frame{rc, pc, wv, rp, call_sp, frame_base};
  frame_base = call_frame;
  stack_ptr = call_frame + fn->offset;
  ++call_depth;
  rc = callee;
  code = rc->code.data();
  std::int32_t *callee_regs = reg_stack + reg_top;
  reg_top += rc->temps;
  bases[0] = fp = arena_bytes + call_frame;
  bases[2] = rp = reinterpret_cast<std::uint8_t *>(callee_regs);
  bases[3] = const_base(rc);
  if (rc->uses_value) {
    wv = &frame_values[call_depth];
    *wv = Value{};
  }
  JUMP(0);
}
  OP(BUILTIN) : {
    const Arg *args = rc->args.data() + pc->a;
    std::int32_t words[BUILTIN_ARG_WORDS];
    std::memset(words, 0, sizeof(std::int32_t) * BUILTIN_WORDS);  // what a built-in reads
    for (int i = 0; i < pc->b; ++i) words[i] = rd(bases, args[i].op.base, args[i].op.off);
    line_counter = LINE();
    W(builtin_from_words(static_cast<int>(pc->x), words, pc->b).i);
    NEXT();
  }
  OP(BUILTIND) : {
    // A double argument takes two words; k set: the result is a double.
    const Arg *args = rc->args.data() + pc->a;
    std::int32_t words[BUILTIN_ARG_WORDS];
    std::memset(words, 0, sizeof(std::int32_t) * BUILTIN_WORDS);  // what a built-in reads
    int count = 0;
    for (int i = 0; i < pc->b; ++i) {
      if (args[i].kind == K_DOUBLE) {
        std::memcpy(&words[count], bases[args[i].op.base] + args[i].op.off, 8);
        count += 2;
      } else {
        words[count++] = rd(bases, args[i].op.base, args[i].op.off);
      }
    }
    line_counter = LINE();
    BuiltinResult r = builtin_from_words(static_cast<int>(pc->x), words, count);
    if (pc->k) wrd(bases, pc->bd, pc->d, r.d);
    else W(r.i);
    NEXT();
  }
  OP(RET_F) : ret = load_word(fp + pc->a);
  goto returned;
  OP(RET_R) : ret = load_word(rp + pc->a);
  goto returned;
  OP(RET) : ret = R(a);
returned : {
  // Back into a compiled caller (return_flag is clear), whose own instructions set the line of
  // whatever they report; the result goes to the CALL's temporary.
  if (frame_count != 0) {
    RETURN_INTO_CALLER(store_word(rp + pc->d, ret));
  }
  ret_head = reinterpret_cast<const TypeDesc *>(pc->x);
  exit = EXIT_TYPED;
  goto leave;
}
  OP(RETD) : {
    dret = rdd(bases, pc->ba, pc->a);
    if (frame_count != 0) {
      RETURN_INTO_CALLER(std::memcpy(rp + pc->d, &dret, 8));
    }
    ret_head = reinterpret_cast<const TypeDesc *>(pc->x);
    exit = EXIT_TYPED;
    goto leave;
  }
  OP(RETV) : {
    exit = EXIT_VALUE;
    goto leave;
  }
  OP(RETVOID) : {
    wv->type = TY_VOID;
    wv->imm.i = 0;
    exit = EXIT_VALUE;
    goto leave;
  }
  OP(END) : {
    exit = EXIT_END;
    goto leave;
  }
  OP(WALK) : {
    scope_level = entry_level + pc->a;
    seek_token(reinterpret_cast<Token *>(pc->x));
    statement(0, wv);
    scope_level = entry_level;
    if (return_flag) {
      exit = EXIT_VALUE;
      goto leave;
    }
    if (goto_target) {
      // A goto of the walked statement: on at its label, after the walker's interrupt check.
      auto target = std::find_if(rc->targets.begin(), rc->targets.end(),
                                 [](const auto &t) { return t.first == goto_target; });
      goto_target = nullptr;
      check_requested_end();
      if (target != rc->targets.end()) JUMP(target->second);
    }
    if (break_flag && pc->b >= 0) {
      break_flag = false;
      JUMP(pc->b);
    }
    NEXT();
  }
  OP(DECLARE) : {
    scope_level = entry_level + pc->a;
    seek_token(reinterpret_cast<Token *>(pc->x));
    int c = next_token(wv);
    declaration(c, wv, nullptr);
    scope_level = entry_level;
    NEXT();
  }
  OP(DMOV) : {
    wrd(bases, pc->bd, pc->d, rdd(bases, pc->ba, pc->a));
    NEXT();
  }
  OP(DNEG) : {
    wrd(bases, pc->bd, pc->d, -rdd(bases, pc->ba, pc->a));
    NEXT();
  }
  OP(D2I) : {
    W(double_to_word(rdd(bases, pc->ba, pc->a)));
    NEXT();
  }
  OP(DBIN) : {
    double a = (pc->k & 1) ? static_cast<double>(R(a)) : rdd(bases, pc->ba, pc->a);
    double b = (pc->k & 2) ? static_cast<double>(R(b)) : rdd(bases, pc->bb, pc->b);
    switch (pc->x) {
    case '+': wrd(bases, pc->bd, pc->d, a + b); break;
    case '-': wrd(bases, pc->bd, pc->d, a - b); break;
    case '*': wrd(bases, pc->bd, pc->d, a * b); break;
    case '/': wrd(bases, pc->bd, pc->d, a / b); break;
    case '<': W(a < b); break;
    case '>': W(a > b); break;
    case LEX_LE: W(a <= b); break;
    case LEX_GE: W(a >= b); break;
    case LEX_EQ: W(a == b); break;
    default: W(a != b); break;
    }
    NEXT();
  }
  OP(DTEST) : {
    bool truth = rdd(bases, pc->ba, pc->a) != 0.0;
    W(pc->k ? !truth : truth);
    NEXT();
  }
  OP(DST) : {
    wrd(bases, pc->bd, pc->d, pc->k ? static_cast<double>(R(a)) : rdd(bases, pc->ba, pc->a));
    NEXT();
  }
  OP(DSET) : {
    wv->set_head(*reinterpret_cast<const TypeDesc *>(pc->x));
    wv->imm.d = rdd(bases, pc->ba, pc->a);
    wv->ext = Word2{};
    NEXT();
  }
// The loads of a double and of a float from memory, each into a double; a failed load keeps the
// previous value's word, as the walker's Value keeps it.
#define LOAD_FLOATING(name, type)                                \
  OP(name) : {                                                   \
    std::uint32_t addr = MEM_ADDR();                             \
    if (const std::uint8_t *p = arena_ptr(addr, sizeof(type))) { \
      type x;                                                    \
      std::memcpy(&x, p, sizeof x);                              \
      wrd(bases, pc->bd, pc->d, x);                              \
    } else {                                                     \
      std::int32_t fail[2] = {R(b), 0};                          \
      report_overflow(LINE());                                   \
      std::memcpy(bases[pc->bd] + pc->d, fail, 8);               \
    }                                                            \
    NEXT();                                                      \
  }
  LOAD_FLOATING(LDMD, double)
  LOAD_FLOATING(LDMF, float)
  OP(LDF) : {
    float f;
    std::memcpy(&f, bases[pc->ba] + pc->a, 4);
    wrd(bases, pc->bd, pc->d, f);
    NEXT();
  }
  OP(D2F) : {
    double x = pc->k ? static_cast<double>(R(a)) : rdd(bases, pc->ba, pc->a);
    wrd(bases, pc->bd, pc->d, double_to_float(x));
    NEXT();
  }
  OP(STF) : {
    float f = static_cast<float>(rdd(bases, pc->ba, pc->a));
    std::memcpy(bases[pc->bd] + pc->d, &f, 4);
    NEXT();
  }
  OP(STMF) : {
    std::uint32_t addr = MEM_ADDR();
    if (std::uint8_t *p = arena_ptr(addr, 4)) {
      float f = static_cast<float>(rdd(bases, pc->bb, pc->b));
      std::memcpy(p, &f, 4);
    }
    NEXT();
  }
  OP(STMD) : {
    std::uint32_t addr = MEM_ADDR();
    if (std::uint8_t *p = arena_ptr(addr, 8)) std::memcpy(p, bases[pc->bb] + pc->b, 8);
    NEXT();
  }
  OP(EVAL) : {
    seek_token(reinterpret_cast<const ExpressionTree *>(pc->x)->start);
    expression(0, wv, 0);
    NEXT();
  }
  OP(JTV) : if (value_true(*wv)) JUMP(pc->x);
  NEXT();
  OP(JFV) : if (!value_true(*wv)) JUMP(pc->x);
  NEXT();
  OP(CHECK) : if (requested_end) {
    line_counter = LINE();
    end_requested_run();
  }
  NEXT();
  OP(SWITCH) : {
    const SwitchTable *t = reinterpret_cast<const SwitchTable *>(pc->x);
    std::int32_t value = R(a);
    if (!t->dense.empty()) {
      std::uint32_t i = static_cast<std::uint32_t>(value) - static_cast<std::uint32_t>(t->low);
      JUMP(i < t->dense.size() ? t->dense[i] : t->none);
    }
    auto it = std::lower_bound(t->cases.begin(), t->cases.end(), std::make_pair(value, INT32_MIN));
    JUMP(it != t->cases.end() && it->first == value ? it->second : t->none);
  }
#ifndef RC_THREADED
}
#endif
leave :
    // A return: the run may end here, as the walker checks after every body; then the caller's
    // frame comes back, or execute() returns to call_function.
    line_counter = LINE();
check_requested_end();
reg_top -= rc->temps;
if (frame_count == 0) {
  if (exit == EXIT_TYPED) {
    outer_value->set_head(*ret_head);
    if (ret_head->type == TY_DOUBLE) outer_value->imm.d = dret;
    else outer_value->imm.i = ret;
    outer_value->ext = Word2{};
  }
  return exit;
}
{
  // Back into a compiled caller: the value a walked return left, or 0 of the return type.
  const Frame &f = frames[--frame_count];
  Value r;
  if (exit == EXIT_VALUE) r = *wv;
  return_flag = false;
  RESUME_CALLER(f);
  put_result(bases, pc, r);
  NEXT();
}
#undef RESUME_CALLER
#undef RETURN_INTO_CALLER
#undef R
#undef W
#undef MEM_ADDR
#undef FAILED_LOAD
#undef LINE
#undef OP
#undef NEXT
#undef JUMP
}

}  // namespace

bool run_compiled_body(Symbol *fn, Value *v) {
  if (!compiled_code || trace_stmt || trace_exp || trace_lex || !executing) return false;
  if (!code_is_current()) {
    if (call_depth > 0) return false;
    drop_code();
  }
  RegisterCode *rc = code_of(fn);
  if (!rc || !frame_fits(*rc, frame_base)) return false;
  ++call_depth;
  Exit exit = execute(rc, v);
  --call_depth;
  return_flag = exit != EXIT_END;
  return true;
}
