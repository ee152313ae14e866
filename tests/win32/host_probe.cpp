// RV32AUTO.DLL for the test of its loading and calling: each function writes what it received to the
// debugger channel, with the strings at the addresses it was handed (real addresses on Win32).
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "oxel_host.h"

#define PROBE extern "C" OXEL_HOST_EXPORT std::int32_t OXEL_HOST_CALL
#define SAY(...) (std::snprintf(text, sizeof text, __VA_ARGS__), OutputDebugStringA(text))
#define AT(address) reinterpret_cast<const char *>(static_cast<std::uintptr_t>(address))
using I = std::int32_t;
static char text[512];

// 0, the instance handle, the previous instance, the address of the command line.
PROBE ktInitialize(I zero, I instance, I previous, I line) {
  bool own = instance == static_cast<I>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
  return SAY("ktInitialize %d %s %d \"%s\"\r\n", zero, own ? "instance" : "other", previous, AT(line)), 11;
}
PROBE ktTypeText(I session, I text_, I length) {
  return SAY("ktTypeText %d \"%.*s\"\r\n", session, length, AT(text_)), 22;
}
PROBE ktGetPortPrefs(I a, I b, I c, I d, I e, I f, I g) {
  return SAY("ktGetPortPrefs %d %d %d %d %d %d %d\r\n", a, b, c, d, e, f, g), 33;
}
PROBE ktSleep(I a, I b) { return SAY("ktSleep %d %d\r\n", a, b), a + b; }
