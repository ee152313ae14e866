// The host automation bindings. A binding turns the script's argument words into the words of
// the host call (narrowing the 16-bit arguments, adding ktInitialize's start-up values, copying
// ktXferSendList's list), finds the host function at its first call and calls it through the
// platform. A missing library or function reports 403 with the binding's name and gives
// OXEL_HOST_UNAVAILABLE, which no script mistakes for success.
#include "builtins/host_bindings.h"

#include <cstring>

#include "builtins/clib_common.h"
#include "decl/types.h"
#include "eval/value.h"
#define OXEL_HOST_NO_PROTOTYPES
#include "include/oxel_host.h"
#include "platform/platform.h"
#include "shell/diagnostics.h"

namespace {
enum HostIndex {
#define OXEL_HOST_INDEX(name, ...) HB_##name,
  OXEL_HOST_BINDINGS(OXEL_HOST_INDEX, OXEL_HOST_BIT)
#undef OXEL_HOST_INDEX
  HB_COUNT
};
}  // namespace

const HostBinding host_bindings[] = {
#define OXEL_HOST_ROW(name, args, type, low16, signed16, form) \
  {#name, args, type, low16, signed16, form},
    OXEL_HOST_BINDINGS(OXEL_HOST_ROW, OXEL_HOST_BIT)
#undef OXEL_HOST_ROW
};
const int host_binding_count = HB_COUNT;
static_assert(HB_COUNT == 104, "104 host automation bindings");

// The bindings agree with the header that host libraries are written against: the same names,
// the words each function receives (ktInitialize: 0 and three start-up values), narrowings of
// words that exist only.
namespace header_words {
#define OXEL_HOST_WORDS(name, words) constexpr int name = words;
OXEL_HOST_FUNCTIONS(OXEL_HOST_WORDS)
#undef OXEL_HOST_WORDS
#define OXEL_HOST_COUNT(name, words) +1
constexpr int count = 0 OXEL_HOST_FUNCTIONS(OXEL_HOST_COUNT);
#undef OXEL_HOST_COUNT
}  // namespace header_words
static_assert(header_words::count == HB_COUNT, "oxel_host.h lists other functions");
#define OXEL_HOST_CHECK(name, args, type, low16, signed16, form)                           \
  static_assert(header_words::name == ((form) == HOST_INITIALIZE ? 4 : (args)), #name);      \
  static_assert(header_words::name <= PLAT_HOST_MAX_WORDS, #name);                          \
  static_assert((((low16) | (signed16)) >> (args)) == 0 && ((low16) & (signed16)) == 0, #name); \
  static_assert((type) == TY_INT || (type) == TY_LONG, #name);
OXEL_HOST_BINDINGS(OXEL_HOST_CHECK, OXEL_HOST_BIT)
#undef OXEL_HOST_CHECK

// The host functions as found at their first call (null when missing).
static PlatHostFunction found[HB_COUNT];
static bool looked_up[HB_COUNT];

static PlatHostFunction host_function(int index) {
  if (!looked_up[index]) {
    found[index] = plat_host_function(host_bindings[index].name);
    looked_up[index] = true;
  }
  return found[index];
}

// The script argument words of 'b' as the host receives them.
static void narrow(const HostBinding &b, const std::int32_t *w, std::int32_t *words) {
  for (int i = 0; i < b.args; ++i) {
    unsigned bit = 1u << i;
    if (b.low16 & bit) words[i] = static_cast<std::uint16_t>(w[i]);
    else if (b.signed16 & bit) words[i] = static_cast<std::int16_t>(w[i]);
    else words[i] = w[i];
  }
}

// Reads the 0-terminated list at script address 'list' into 'copy': at most HOST_LIST_ENTRIES
// entries and a 0. Returns the number of words of the copy, 0 after 102 when an entry that
// has to be read lies outside the arena.
static int copy_list(std::int32_t list, std::int32_t *copy) {
  int n = 0;
  for (; n < HOST_LIST_ENTRIES; ++n) {
    auto addr = static_cast<std::uint32_t>(list) + 4u * static_cast<std::uint32_t>(n);
    std::uint8_t *entry = arena_ptr(addr, 4);
    if (!entry) {
      error(MSG_MEMORY_OVERFLOW);
      return 0;
    }
    std::memcpy(&copy[n], entry, 4);
    if (copy[n] == 0) break;
  }
  copy[n] = 0;
  return n + 1;
}

// ktXferSendList: the copy of the list lies on the script's call stack, below the running
// frame, for the duration of the call; the host reaches it by its script address like any other.
static BuiltinResult call_with_list(PlatHostFunction fn, std::int32_t *words) {
  std::int32_t copy[HOST_LIST_ENTRIES + 1];
  int count = copy_list(words[1], copy);
  if (count == 0) return word(0);
  std::int32_t bytes = 4 * count;
  if (stack_ptr - bytes < arena_top) {
    error(MSG_MEMORY_OVERFLOW);
    return word(0);
  }
  std::int32_t saved_stack = stack_ptr;
  stack_ptr -= bytes;
  std::memcpy(arena_bytes + stack_ptr, copy, static_cast<std::size_t>(bytes));
  words[1] = static_cast<std::int32_t>(arena_base + static_cast<std::uint32_t>(stack_ptr));
  std::int32_t result = plat_host_call(fn, words, 3);
  stack_ptr = saved_stack;
  return word(result);
}

static BuiltinResult call_host(int index, const std::int32_t *w) {
  const HostBinding &b = host_bindings[index];
  PlatHostFunction fn = host_function(index);
  if (!fn) {
    error(MSG_UNKNOWN_FUNCTION, b.name);
    return word(OXEL_HOST_UNAVAILABLE);
  }
  std::int32_t words[PLAT_HOST_MAX_WORDS];
  switch (b.form) {
  case HOST_INITIALIZE:
    words[0] = 0;
    plat_host_startup_values(&words[1]);
    return word(plat_host_call(fn, words, 4));
  case HOST_SEND_LIST:
    narrow(b, w, words);
    return call_with_list(fn, words);
  case HOST_PLAIN: break;
  }
  narrow(b, w, words);
  return word(plat_host_call(fn, words, b.args));
}

#define OXEL_HOST_DEFINE(name, ...) \
  BuiltinResult bi_##name(const std::int32_t *w) { return call_host(HB_##name, w); }
OXEL_HOST_BINDINGS(OXEL_HOST_DEFINE, OXEL_HOST_BIT)
#undef OXEL_HOST_DEFINE
