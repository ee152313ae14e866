// The instructions of register code (eval/register_code.h), as the compiler
// (eval/register_compiler.cpp) makes them and the machine (eval/register_code.cpp) runs them.
#pragma once
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "decl/symbols.h"
#include "source/token.h"

// Temporaries one compiled body may use; a body that needs more is not compiled.
constexpr int MAX_TEMPS = 1024;

namespace regcode {

// Where an operand lies: a frame slot (offset from frame_base), a global (offset in the arena),
// a temporary or a constant; its offset is a byte offset from that base.
enum Base : std::uint8_t { B_FRAME, B_ARENA, B_TEMP, B_CONST };

struct Operand {
  std::int32_t off = 0;
  std::uint8_t base = B_CONST;
};

// The instructions. d, a and b are operands (their bases in bd, ba, bb) unless said otherwise;
// x is an immediate, a jump target or a pointer.
//   MOV           d = a
//   ADD..NE       d = a op b, integer arithmetic as the walker's integer_operation
//   NEG LNOT      d = -a, !a
//   JMP           jump to x; JT/JF on a; Jcc when a cc b
//   LD8S..LD16U   d = the char or short in slot a; ST8 ST16: slot d = a truncated
//   SX8..ZX16     d = a converted as a store of char, unsigned char, short, unsigned short
//   LEA           d = script address of frame offset x; ADDR: d = a + x; IDXA: d = a + b * x
//   LDM*          d = memory at script address a + x, or (after error 102) b; k set: the dead load
//                 of an assignment merged in, which reports first
//   CHKM          d = a + x when that byte is in the arena, else (after 102) b
//   PROBE         error 102 when the b bytes at a + x are outside the arena (a dead load)
//   STM*          memory at a + x = b, skipped when outside the arena
//   INC           slot a += x (k: kind, bit 4: postfix), d = the new or old value
//   INCM          the same at script address a, or (after 102) d = b
//   CALL          d = script function x with argument list a (b arguments; k: their bytes, ba:
//                 set when all are words)
//   BUILTIN       d = built-in row x with argument list a (b arguments); BUILTIND: the same when
//                 an argument or the result is a double (k set: the result)
//   RET           return a with head x; RETD: the same for a double; RETV: return the working
//                 Value; RETVOID: return;
//   END           the body ran to its end
//   WALK          the statement at token x through the walker (a: block depth, b: break target)
//   EVAL          the expression whose tree is x into the working Value, through the walker;
//                 JTV/JFV: jump to x on its truth
//   CHECK         ends the run when an interrupt or the time limit asks
//   SWITCH        jump by table x on a
//   LDX*          d = memory at script address a + b * x, or (after error 102) a
//   STX*          memory at a + b * x = d, or error 102 when outside the arena
//   DECLARE       the declaration at token x through the declaration parser (a: block depth)
// Doubles take 8 bytes at their operand (two temporaries, two constant words):
//   DMOV          d = a; DNEG: d = -a; D2I: d = the int a converts to (as a store makes it)
//   DBIN          d = a op b, op the character or token code x, as the walker's mixed_operation
//                 (k bit 0: a is an int, bit 1: b is an int); a comparison makes an int
//   DTEST         d = the truth of a (k set: its negation)
//   DST           slot d = a (k set: a is an int, converted)
//   DSET          the working Value = a with head x
//   LDMD          d = the double at script address a + x, or (after error 102) the word b
//   STMD          the double at script address a + x = b, skipped when outside the arena
// Floats are doubles in temporaries; in memory they take 4 bytes:
//   LDF           d = the float in slot a; LDMF: at script address a + x, as LDMD
//   D2F           d = a rounded to a float, as a store of a float rounds it (k set: a is an int)
//   STF           slot d = the float a; STMF: at script address a + x = b, as STMD
// A jump back of a loop with k set first ends the run when an interrupt or the time limit asks.
// clang-format off
#define RC_OPS(X)                                                                                  \
  X(MOV)                                                                                           \
  X(ADD) X(SUB) X(MUL) X(DIV) X(AND) X(OR) X(XOR) X(SHL) X(SHR)                                    \
  X(LT) X(GT) X(LE) X(GE) X(EQ) X(NE) X(NEG) X(LNOT)                                        \
  X(JMP) X(JT) X(JF) X(JLT) X(JGT) X(JLE) X(JGE) X(JEQ) X(JNE)                                     \
  X(LD8S) X(LD8U) X(LD16S) X(LD16U) X(ST8) X(ST16) X(SX8) X(ZX8) X(SX16) X(ZX16)                   \
  X(LEA) X(ADDR) X(IDXA) X(LDM8S) X(LDM8U) X(LDM16S) X(LDM16U) X(LDM32) X(CHKM) X(PROBE)           \
  X(STM8) X(STM16) X(STM32) X(INC) X(INCM)                                                         \
  X(CALL) X(BUILTIN) X(RET) X(RETD) X(RETV) X(RETVOID) X(END)                                      \
  X(WALK) X(EVAL) X(JTV) X(JFV) X(CHECK) X(SWITCH) X(INCW_F)                                       \
  X(LDX8S) X(LDX8U) X(LDX16S) X(LDX16U) X(LDX32) X(STX8) X(STX16) X(STX32) X(DECLARE)              \
  X(DMOV) X(DNEG) X(D2I) X(DBIN) X(DTEST) X(DST) X(DSET) X(LDMD) X(STMD)                           \
  X(LDF) X(LDMF) X(D2F) X(STF) X(STMF) X(BUILTIND)                                                 \
  RC_VARIANTS_3(X, ADD) RC_VARIANTS_3(X, SUB) RC_VARIANTS_3(X, MUL) RC_VARIANTS_3(X, AND)          \
  RC_VARIANTS_3(X, OR) RC_VARIANTS_3(X, XOR) RC_VARIANTS_3(X, SHL) RC_VARIANTS_3(X, SHR)           \
  RC_VARIANTS_3(X, LT) RC_VARIANTS_3(X, GT) RC_VARIANTS_3(X, LE) RC_VARIANTS_3(X, GE)              \
  RC_VARIANTS_3(X, EQ) RC_VARIANTS_3(X, NE)                                                        \
  RC_VARIANTS_2(X, JLT) RC_VARIANTS_2(X, JGT) RC_VARIANTS_2(X, JLE) RC_VARIANTS_2(X, JGE)          \
  RC_VARIANTS_2(X, JEQ) RC_VARIANTS_2(X, JNE)                                                      \
  RC_VARIANTS_2(X, JLTC) RC_VARIANTS_2(X, JGTC) RC_VARIANTS_2(X, JLEC) RC_VARIANTS_2(X, JGEC)      \
  RC_VARIANTS_2(X, JEQC) RC_VARIANTS_2(X, JNEC)                                                    \
  X(MOV_FF) X(MOV_FR) X(MOV_FK) X(MOV_RF) X(MOV_RR) X(MOV_RK)                                      \
  X(RET_F) X(RET_R) X(CALL1_F) X(CALL1_R)
// clang-format on

// The variants of the hot instructions by operand kind, in the order d, a, b: F a frame slot, R a
// temporary, K an immediate held in the instruction; JccC: the jump back of a loop, with its
// interrupt check. INCW_F: INC of a word in a frame slot. RET_F, RET_R: RET of a slot or a
// temporary. CALL1_F, CALL1_R: CALL with one word argument, a slot or a temporary at offset b.
#define RC_VARIANTS_2(X, n) X(n##_FF) X(n##_FR) X(n##_FK) X(n##_RF) X(n##_RR) X(n##_RK)
#define RC_VARIANTS_3(X, n) RC_VARIANTS_2(X, n##_F) RC_VARIANTS_2(X, n##_R)

enum Op : std::uint16_t {
#define RC_ENUM(name) OP_##name,
  RC_OPS(RC_ENUM)
#undef RC_ENUM
};

struct Insn {
  Op op;
  std::uint8_t bd = B_TEMP, ba = B_CONST, bb = B_CONST;
  std::uint8_t k = 0;
  std::int32_t d = 0, a = 0, b = 0;
  std::intptr_t x = 0;
};

// Kinds of an increment or a sub-word access.
// K_DOUBLE: a built-in's double argument, two words.
enum Kind : std::uint8_t { K_WORD, K_CHAR, K_UCHAR, K_SHORT, K_USHORT, K_DOUBLE };
constexpr std::uint8_t K_POSTFIX = 16;

// An argument of a call: where its value is and the type it is pushed as.
struct Arg {
  Operand op;
  int type = TY_INT;
  int size = 4;
  int kind = K_WORD;
};

struct SwitchTable {
  std::int32_t low = 0;
  std::vector<std::int32_t> dense;                           // targets by value - low
  std::vector<std::pair<std::int32_t, std::int32_t>> cases;  // sorted (value, target)
  std::int32_t none = 0;                                     // where no case matches
};

inline int kind_size(int kind) { return kind == K_WORD ? 4 : kind <= K_UCHAR ? 1 : 2; }

}  // namespace regcode

struct RegisterCode {
  std::vector<regcode::Insn> code;
  std::vector<int> lines;  // line_counter of each instruction
  std::vector<std::int32_t> consts;
  std::vector<regcode::Arg> args;
  std::vector<std::unique_ptr<TypeDesc>> heads;
  std::vector<std::unique_ptr<regcode::SwitchTable>> tables;
  Token *body = nullptr;
  int temps = 0;
  // The frame slots the code touches, relative to frame_base.
  std::int32_t frame_low = 0, frame_high = 0;
  // Every return gives an integer or a double of the declared return type with no pointee:
  // callers can use the result as a typed value.
  bool typed_result = false;
  // Every return gives an integer or a pointer (whatever its type head): callers can use the
  // result as a word.
  bool word_result = false;
  // Something in the body uses the working Value (walker, returns of it).
  bool uses_value = false;
  // The body did not compile: the walker runs it.
  bool failed = false;
  // Where each labelled statement starts, for a goto that a walked statement makes.
  std::vector<std::pair<const Token *, std::int32_t>> targets;
};

// The register code of 'fn', compiled now when it has none yet; null when its body does not
// compile.
RegisterCode *code_of(Symbol *fn);
// Code holds the offsets, types and values of the names it took from their declarations: after
// a declaration has been read (which may move a global, retype it, change an enumeration value or
// define a function again), all of it is dropped, to be compiled again at the next calls. Only
// when no script code runs (declarations are read at the top level, between calls).
bool code_is_current();
void drop_code();
