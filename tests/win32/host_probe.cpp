// A host library for the Win32 tests of the loading and calling of RV32AUTO.DLL: each function
// writes what it received to the debugger channel, with the strings it finds at the addresses
// it was handed (script addresses are real addresses on Win32), and returns a fixed result.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "oxel_host.h"

#define PROBE extern "C" OXEL_HOST_EXPORT std::int32_t OXEL_HOST_CALL

static void say(const char *format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  OutputDebugStringA(text);
}

static const char *text_at(std::int32_t address) {
  return reinterpret_cast<const char *>(static_cast<std::uintptr_t>(address));
}

// 0, the instance handle, the previous instance, the address of the command line.
PROBE ktInitialize(std::int32_t zero, std::int32_t instance, std::int32_t previous, std::int32_t line) {
  bool own =
      instance == static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
  say("ktInitialize %d %s %d \"%s\"\r\n", zero, own ? "instance" : "other", previous, text_at(line));
  return 11;
}

PROBE ktTypeText(std::int32_t session, std::int32_t text, std::int32_t length) {
  say("ktTypeText %d \"%.*s\"\r\n", session, length, text_at(text));
  return 22;
}

PROBE ktGetPortPrefs(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e,
                     std::int32_t f, std::int32_t g) {
  say("ktGetPortPrefs %d %d %d %d %d %d %d\r\n", a, b, c, d, e, f, g);
  return 33;
}

PROBE ktSleep(std::int32_t a, std::int32_t b) {
  say("ktSleep %d %d\r\n", a, b);
  return a + b;
}
