// Values and script memory. A Value is the operand and result record of evaluation and the payload
// of every Token. Script data lives in one 16 KiB arena addressed by 32-bit script addresses;
// arena_ptr() is the one place that turns a script address into a native pointer.
#pragma once
#include <cstdint>

#include <cstring>

#include "decl/symbols.h"
#include "decl/types.h"

extern bool executing;
extern int trace_exp;

union Word2 {
  std::int32_t i;  // integers, characters, enums, script addresses
  double d;        // TY_FLOAT and TY_DOUBLE
  Symbol *sym;     // an identifier token before evaluation; a function name
};

struct Value : TypeDesc {
  std::int32_t spare = 0;
  Word2 imm{};
  Word2 ext{};
};

// Where tokens go that are read only to be passed over; nothing reads it.
extern Value discard;

// The low 32 bits of 'd' truncated toward zero (0 for infinities and NaN).
std::int32_t double_to_word(double d);
// 'd' rounded to a float (infinite beyond the float range).
float double_to_float(double d);

// A Value's truth: non-zero, for floating values as a double.
inline bool value_true(const Value &v) { return is_floating(v.type) ? v.imm.d != 0.0 : v.imm.i != 0; }

constexpr int ARENA_SIZE = 16384;

extern std::uint32_t arena_base;   // script address of the arena's first byte
extern std::int32_t arena_top;     // offset of the next free byte at the bottom
extern std::int32_t stack_ptr;     // offset of the top of the call stack (grows down)
extern std::int32_t frame_base;    // offset of the running function's frame

extern std::uint8_t *arena_bytes;  // the arena's ARENA_SIZE bytes

// Sets up the arena; called once before anything is read. 'block' (ARENA_SIZE zero bytes that
// the platform has placed) replaces the built-in block when it is given.
void arena_init(void *block = nullptr);

// The native pointer to 'size' bytes at script address 'addr'; null when any of them lies outside.
// This is the one place where script addresses become native pointers.
inline std::uint8_t *arena_ptr(std::uint32_t addr, std::uint32_t size) {
  std::uint32_t offset = addr - arena_base;
  if (offset >= ARENA_SIZE || size > ARENA_SIZE - offset) return nullptr;
  return arena_bytes + offset;
}
// Reserves 'n' bytes at the bottom; returns their offset, or -1 (after error 102) when they do
// not fit below the call stack.
std::int32_t arena_reserve(std::int32_t n);
// arena_reserve as a script address (0 when the bytes do not fit).
std::uint32_t arena_alloc(std::int32_t n);

std::uint32_t var_address_checked(const Symbol *sym);
void mem_load_any(Value *v, std::uint32_t addr, int code);

// The checking pass reads no memory and calls nothing, so an operand read from memory or given by
// a call has no value there. It stands as a non-zero number (a variable is no null pointer
// constant) and is counted in 'unknown_values', so that what needs a constant (an array size,
// an enum value, a case label) can tell that it got none.
extern unsigned unknown_values;
void unknown_value(Value *v);
void mem_store_any(const Value *v, std::uint32_t addr, int code);

// The address of a variable: a frame offset for automatic ones, an arena offset for the rest.
inline std::uint32_t var_address(const Symbol *sym) {
  std::int32_t offset = sym->offset + (sym->stg == STG_AUTO ? frame_base : 0);
  if (trace_exp || offset > ARENA_SIZE - 1) return var_address_checked(sym);
  return arena_base + static_cast<std::uint32_t>(offset);
}

inline bool is_word_type(int code) { return code == TY_INT || code == TY_PTR || code == TY_LONG; }

// Loads the value of type 'code' at 'addr' into v (only while executing); the common case of a
// word inside the arena is handled here, the rest by mem_load_any.
inline void mem_load(Value *v, std::uint32_t addr, int code) {
  std::uint8_t *p;
  if (executing && !trace_exp) {
    if (is_word_type(code) && (p = arena_ptr(addr, 4))) {
      std::memcpy(&v->imm.i, p, 4);
      return;
    }
    if (code == TY_CHAR && (p = arena_ptr(addr, 1))) {
      v->imm.i = static_cast<std::int8_t>(*p);
      v->type = TY_INT;
      return;
    }
  }
  mem_load_any(v, addr, code);
}

// Stores v as type 'code' at 'addr'.
inline void mem_store(const Value *v, std::uint32_t addr, int code) {
  std::uint8_t *p;
  if (!is_floating(v->type) && !trace_exp) {
    if (is_word_type(code) && (p = arena_ptr(addr, 4))) {
      std::memcpy(p, &v->imm.i, 4);
      return;
    }
    if ((code == TY_CHAR || code == TY_UCHAR) && (p = arena_ptr(addr, 1))) {
      *p = static_cast<std::uint8_t>(v->imm.i);
      return;
    }
  }
  mem_store_any(v, addr, code);
}
// Lowers stack_ptr by the size of 'code' and stores 'v' there; false when the stack is full.
bool push_arg(const Value *v, int code);
// Converts the Value to what a store of type 'code' writes, as a loaded value of that type.
inline void convert_value(Value *v, int code) {
  bool floating = is_floating(v->type);
  std::int32_t i = floating ? double_to_word(v->imm.d) : v->imm.i;
  switch (code) {
  case TY_CHAR: v->imm.i = static_cast<std::int8_t>(i); v->type = TY_INT; break;
  case TY_UCHAR: v->imm.i = static_cast<std::uint8_t>(i); v->type = TY_INT; break;
  case TY_SHORT: v->imm.i = static_cast<std::int16_t>(i); v->type = TY_INT; break;
  case TY_USHORT: v->imm.i = static_cast<std::uint16_t>(i); v->type = TY_INT; break;
  case TY_UINT: case TY_INT: case TY_ENUM: case TY_ULONG: case TY_LONG: case TY_PTR:
    v->imm.i = i;
    v->type = code;
    break;
  case TY_FLOAT:
    v->imm.d = double_to_float(floating ? v->imm.d : static_cast<double>(i));
    v->type = TY_FLOAT;
    break;
  case TY_DOUBLE:
    if (!floating) v->imm.d = static_cast<double>(i);
    v->type = TY_DOUBLE;
    break;
  default: break;
  }
}


void print_value(const Value *v);
void print_quoted(const char *s);
struct Token;
void list_body(const Token *first);
void print_indent(int n);
