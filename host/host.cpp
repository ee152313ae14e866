// host.cpp: the attach and detach calls, the checks and argument helpers every kt function
// uses, and the functions of initialisation and termination.
#include "host.h"

#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "session.h"
#include "startup.h"

const OxelHost *host_interface = nullptr;

static bool initialised = false;
static int32_t startup_result = 0;
static int last_errno = 0;

// Text of ktGetVersion: the library's version and the level of the semantics it implements.
static const char library_version[] = "librv32auto 1.0";
static const char semantics_version[] = "kt host semantics 1.0";
constexpr int32_t VERSION_NUMBER = 100;

int oxel_host_attach(const OxelHost *host) {
  // A version 1 interpreter cannot give strings, the end of the run or interrupts.
  if (!host || host->version < 2 || host->size < sizeof(OxelHost)) return 1;
  host_interface = host;
  return 0;
}

void oxel_host_detach(int status) {
  if (initialised) sessions_end_run(status);
  initialised = false;
}

bool host_initialised() { return initialised; }

int host_interrupt_fd() { return host_interface ? host_interface->interrupt_fd : -1; }

int32_t host_enter() {
  if (!initialised) return KT_E_NOTINIT;
  sessions_service();
  return KT_OK;
}

bool arg_string(int32_t address, std::string_view *text) {
  bool given;
  return arg_optional_string(address, text, &given) && given;
}

bool arg_optional_string(int32_t address, std::string_view *text, bool *given) {
  *text = {};
  *given = address != 0;
  if (!address) return true;
  uint32_t length = 0;
  const char *s = host_interface->string(static_cast<uint32_t>(address), &length);
  if (!s) return false;
  *text = std::string_view(s, length);
  return true;
}

char *script_buffer(int32_t address, uint32_t size) {
  return static_cast<char *>(host_interface->pointer(static_cast<uint32_t>(address), size));
}

int32_t put_string(int32_t buf, int32_t size, std::string_view text) {
  if (size < 0) return KT_E_BADARG;
  int32_t length = static_cast<int32_t>(text.size());
  if (size == 0) return length;
  char *p = script_buffer(buf, static_cast<uint32_t>(size));
  if (!p) return KT_E_BADARG;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(p, text.data(), n);
  p[n] = '\0';
  return length;
}

int32_t put_int(int32_t address, int32_t value) {
  if (!address) return KT_OK;
  char *p = script_buffer(address, sizeof value);
  if (!p) return KT_E_BADARG;
  std::memcpy(p, &value, sizeof value);
  return KT_OK;
}

int64_t now_ms() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

int64_t deadline_after(int32_t timeout_ms) { return timeout_ms < 0 ? -1 : now_ms() + timeout_ms; }

void note_errno(int err) { last_errno = err; }

int32_t host_fail(int err) {
  note_errno(err);
  return KT_E_FAIL;
}

int host_last_errno() { return last_errno; }

std::string host_errno_text() { return std::strerror(last_errno); }

void host_say(const std::string &text) {
  std::fprintf(stderr, "host: %s\n", text.c_str());
  std::fflush(stderr);
}

// The four words (0, process id, 0, 0) are ignored: the command line came with the attach call.
int32_t ktInitialize(int32_t, int32_t, int32_t, int32_t) {
  if (!host_interface) return KT_E_UNSUPPORTED;
  if (initialised) return startup_result;
  initialised = true;
  startup_result = sessions_start(parse_startup_items(host_interface->command_line));
  return startup_result;
}

int32_t ktTerminate(int32_t mode, int32_t status16) {
  if (int32_t r = host_enter()) return r;
  if (mode != KT_TERM_ORDERLY && mode != KT_TERM_NOW) return KT_E_BADARG;
  if (mode == KT_TERM_NOW) sessions_discard_output();
  host_interface->end_run(status16);
  return KT_OK;  // not reached: end_run does not return
}

int32_t ktGetVersion(int32_t which, int32_t buf, int32_t size) {
  if (int32_t r = host_enter()) return r;
  if (which != KT_VER_HOST && which != KT_VER_LEVEL) return KT_E_BADARG;
  int32_t r = put_string(buf, size, which == KT_VER_HOST ? library_version : semantics_version);
  return r < 0 ? r : VERSION_NUMBER;
}
