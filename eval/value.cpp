#include "eval/value.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "builtins/builtin_table.h"
#include "decl/symbols.h"
#include "platform/platform.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "source/token.h"

std::uint32_t arena_base = 0;
std::int32_t arena_top = 0;
std::int32_t stack_ptr = ARENA_SIZE - 1;
std::int32_t frame_base = 0;
Value discard;
unsigned unknown_values = 0;

static std::uint8_t arena_block[ARENA_SIZE];
std::uint8_t *arena_bytes = arena_block;

void arena_init(void *block) {
  if (block) arena_bytes = static_cast<std::uint8_t *>(block);
  arena_base = plat_arena_base(arena_bytes);
}

// Bottom allocations stop where the call stack begins.
std::int32_t arena_reserve(std::int32_t n) {
  if (n < 0) n = 0;
  if (n > stack_ptr - arena_top) {
    error(MSG_MEMORY_OVERFLOW);
    return -1;
  }
  std::int32_t offset = arena_top;
  arena_top += n;
  return offset;
}

std::uint32_t arena_alloc(std::int32_t n) {
  std::int32_t offset = arena_reserve(n);
  return offset < 0 ? 0 : arena_base + static_cast<std::uint32_t>(offset);
}

std::int32_t double_to_word(double d) {
  if (!std::isfinite(d)) return 0;
  double m = std::fmod(std::trunc(d), 4294967296.0);
  if (m < 0) m += 4294967296.0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(m));
}

float double_to_float(double d) {
  if (d > FLT_MAX) return INFINITY;
  if (d < -FLT_MAX) return -INFINITY;
  return static_cast<float>(d);
}

std::uint32_t var_address_checked(const Symbol *sym) {
  std::int32_t offset = sym->offset;
  if (sym->stg == STG_AUTO) offset += frame_base;
  if (trace_exp) {
    trace_printf("sym(%d) at %x: ", static_cast<int>(reinterpret_cast<std::uintptr_t>(sym)), offset);
    print_sym(sym, 0);
  }
  if (offset > ARENA_SIZE - 1) {
    if (executing) error(MSG_MEMORY_OVERFLOW);
    offset = 0;
  }
  return arena_base + static_cast<std::uint32_t>(offset);
}

// Bytes that a load or store of 'code' touches; 0 for codes that are not loaded (aggregates,
// whose address is the value) and -1 for unknown codes.
static int access_size(int code) {
  if (code == TY_ARRAY || code == TY_STRUCT || code == TY_UNION) return 0;
  return scalar_size(code);
}

template <typename T> static T read_as(const std::uint8_t *p) {
  T x;
  std::memcpy(&x, p, sizeof x);
  return x;
}

template <typename T> static void write_as(std::uint8_t *p, T x) { std::memcpy(p, &x, sizeof x); }

void unknown_value(Value *v) {
  v->imm = Word2{};
  v->ext = Word2{};
  if (is_floating(v->type)) v->imm.d = 1.0;
  else v->imm.i = 1;
  ++unknown_values;
}

void mem_load_any(Value *v, std::uint32_t addr, int code) {
  if (!executing) {
    unknown_value(v);
    return;
  }
  int size = access_size(code);
  std::uint8_t *p = arena_ptr(addr, size > 0 ? size : 1);
  if (!p) {
    error(MSG_MEMORY_OVERFLOW);
    if (is_floating(code)) {
      // The value keeps the previous word; the rest of a double is no leftover of a host pointer.
      std::int32_t word = v->imm.i;
      v->imm.d = 0.0;
      v->imm.i = word;
    }
    return;
  }
  switch (code) {
  case TY_CHAR:
    v->imm.i = read_as<std::int8_t>(p);
    v->type = TY_INT;
    break;
  case TY_SHORT:
    v->imm.i = read_as<std::int16_t>(p);
    v->type = TY_INT;
    break;
  case TY_UCHAR:
    v->imm.i = read_as<std::uint8_t>(p);
    v->type = TY_INT;
    break;
  case TY_USHORT:
    v->imm.i = read_as<std::uint16_t>(p);
    v->type = TY_INT;
    break;
  case TY_FLOAT: v->imm.d = read_as<float>(p); break;
  case TY_DOUBLE: v->imm.d = read_as<double>(p); break;
  case TY_ARRAY:
  case TY_STRUCT:
  case TY_UNION: v->imm.i = static_cast<std::int32_t>(addr); break;
  default:
    if (size != 4) {
      error(MSG_UNKNOWN_TYPE);
      return;
    }
    v->imm.i = read_as<std::int32_t>(p);
    break;
  }
  if (trace_exp) {
    trace_printf("asg mem (%x) type = %d to value:", addr - arena_base, code);
    print_value(v);
  }
}

// Writes the floating 'd' as 'code'; false for codes a double is not stored into.
static bool store_double(std::uint8_t *p, double d, int code) {
  switch (code) {
  case TY_CHAR: write_as<std::int8_t>(p, static_cast<std::int8_t>(double_to_word(d))); return true;
  case TY_SHORT:
  case TY_USHORT: write_as<std::int16_t>(p, static_cast<std::int16_t>(double_to_word(d))); return true;
  case TY_UINT:
  case TY_INT:
  case TY_ENUM:
  case TY_ULONG:
  case TY_LONG: write_as<std::int32_t>(p, double_to_word(d)); return true;
  case TY_FLOAT: write_as<float>(p, double_to_float(d)); return true;
  case TY_DOUBLE: write_as<double>(p, d); return true;
  default: return false;
  }
}

static bool store_word(std::uint8_t *p, std::int32_t i, int code) {
  switch (code) {
  case TY_CHAR:
  case TY_UCHAR: write_as<std::int8_t>(p, static_cast<std::int8_t>(i)); return true;
  case TY_SHORT:
  case TY_USHORT: write_as<std::int16_t>(p, static_cast<std::int16_t>(i)); return true;
  case TY_UINT:
  case TY_INT:
  case TY_ENUM:
  case TY_ULONG:
  case TY_LONG:
  case TY_PTR:
  case TY_FUNC: write_as<std::int32_t>(p, i); return true;
  case TY_FLOAT: write_as<float>(p, static_cast<float>(i)); return true;
  case TY_DOUBLE: write_as<double>(p, static_cast<double>(i)); return true;
  default: return false;
  }
}

void mem_store_any(const Value *v, std::uint32_t addr, int code) {
  int size = access_size(code);
  std::uint8_t *p = arena_ptr(addr, size > 0 ? size : 1);
  if (!p) {
    if (executing) error(MSG_MEMORY_OVERFLOW);
    return;
  }
  bool stored = is_floating(v->type) ? store_double(p, v->imm.d, code) : store_word(p, v->imm.i, code);
  if (!stored) {
    error(MSG_UNKNOWN_TYPE);
    return;
  }
  if (trace_exp) {
    trace_printf("asg value to mem (%x) type = %s:", addr - arena_base, type_name(code));
    print_value(v);
  }
}

bool push_arg(const Value *v, int code) {
  int size = type_size(code);
  if (size < 0) return true;
  if (stack_ptr - size < arena_top) {
    error(MSG_MEMORY_OVERFLOW);
    return false;
  }
  stack_ptr -= size;
  if (trace_exp) {
    trace_printf("pushing arg at mem address %x: ", static_cast<unsigned>(stack_ptr));
    print_value(v);
  }
  mem_store(v, arena_base + static_cast<std::uint32_t>(stack_ptr), code);
  return true;
}

void print_quoted(const char *s) {
  std::putchar('"');
  for (; *s; ++s) {
    switch (*s) {
    case '\b': std::fputs("\\b", stdout); break;
    case '\t': std::fputs("\\t", stdout); break;
    case '\n': std::fputs("\\n", stdout); break;
    case '\f': std::fputs("\\f", stdout); break;
    default: std::putchar(*s); break;
    }
  }
  std::putchar('"');
}

// Quotes the string at script address 'addr', up to its NUL or the end of the arena.
static void print_script_string(std::uint32_t addr) {
  std::uint8_t *p = arena_ptr(addr, 1);
  if (!p) return;
  std::uint32_t room = ARENA_SIZE - (addr - arena_base);
  char buf[ARENA_SIZE + 1];
  std::uint32_t n = 0;
  while (n < room && p[n]) {
    buf[n] = static_cast<char>(p[n]);
    ++n;
  }
  buf[n] = '\0';
  print_quoted(buf);
}

void print_value(const Value *v) {
  switch (v->type) {
  case TY_PTR:
    trace_printf("&=%x", static_cast<unsigned>(v->imm.i));
    if (v->next && v->next->type == TY_CHAR) print_script_string(static_cast<std::uint32_t>(v->imm.i));
    break;
  case TY_DOUBLE:
  case TY_FLOAT: trace_printf("%#g ", v->imm.d); break;
  case TY_FUNC: trace_printf("func"); break;
  default: trace_printf("%d ", v->imm.i); break;
  }
}

void print_indent(int n) {
  trace_printf("\n");
  for (int i = 0; i < n; ++i) trace_printf("  ");
}

// Prints one token of a body listing; false at the closing brace of the body.
static bool list_token(const Token *t, int &depth, int &semis_to_pass) {
  int following = t->link ? t->link->code : 0;
  switch (t->code) {
  case LEX_SYMBOL: trace_printf("%s ", t->value.imm.sym->name); return true;
  case LEX_CONSTANT: print_value(&t->value); return true;
  case LEX_BUILTIN: trace_printf("%s ", builtin_name(t->value.imm.i)); return true;
  case LEX_FOR: semis_to_pass = 2; break;
  default: break;
  }
  if (t->code == '{') {
    if (depth > 0) print_indent(depth);
    ++depth;
  }
  trace_printf("%s ", token_name(t->code));
  if (t->code == ';' && semis_to_pass > 0) {
    --semis_to_pass;
    return true;
  }
  if (t->code == '}' && depth == 0) {
    trace_printf("\n\n");
    return false;
  }
  if (t->code == ';' || t->code == '}') {
    if (following == '}') --depth;
    print_indent(depth);
  }
  return true;
}

void list_body(const Token *first) {
  int depth = 0;
  int semis_to_pass = 0;
  for (const Token *t = first; t && t->code != LEX_FUNC_END; t = t->link)
    if (!list_token(t, depth, semis_to_pass)) return;
}
