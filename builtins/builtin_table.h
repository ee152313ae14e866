// The built-in functions: one sorted table of the C-library subset, the interpreter's own
// functions and the host automation bindings. A built-in is known by its row index.
#pragma once
#include <cstdint>

struct Value;

// Argument words a built-in receives on every call.
constexpr int BUILTIN_WORDS = 13;

union BuiltinResult {
  std::int32_t i;
  double d;
};

// An adapter: takes the call's 13 argument words, returns a word or (TY_DOUBLE rows) a double.
using BuiltinFn = BuiltinResult (*)(const std::int32_t *words);

struct BuiltinEntry {
  int return_type;
  const char *name;
  BuiltinFn function;  // null for rows that this build cannot call
};

extern const BuiltinEntry builtin_table[];
extern const int builtin_count;

// Finds 'name'; on a hit sets value's type to the row's return type and its imm to the index.
bool builtin_lookup(const char *name, Value *value);
const char *builtin_name(int index);
BuiltinFn builtin_function(int index);

// The interpreter's own rows (builtins/own.cpp).
BuiltinResult bi_malloc(const std::int32_t *w);
BuiltinResult bi_free(const std::int32_t *w);
BuiltinResult bi_realloc(const std::int32_t *w);
BuiltinResult bi_min(const std::int32_t *w);
BuiltinResult bi_max(const std::int32_t *w);
BuiltinResult bi_GetPrivateProfileString(const std::int32_t *w);
