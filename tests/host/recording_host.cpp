// The recording host: a host automation library for tests. Each of the 104 functions writes
// "name(w1, w2, ...)" to the interpreter's trace and returns the result the test chose. A word that
// addresses a printable string of at most 64 characters shows as that string, quoted, with \r, \n
// and \t escaped; ktXferSendList shows its list, [7, 1..100, 0] (runs of three or more as
// first..last); ktInitialize shows "instance" for the process id (POSIX) or module handle (Windows)
// and "command line" for what the platform passes (Windows: the attach call's command line; POSIX: 0).
// Results: the file OXEL_TEST_HOST_RESULTS (default host_results.tmp), read at every call, has lines
// "NAME VALUE" and "* VALUE" for every other function; the default is 0. On POSIX some values act:
// "wait" waits for the interrupt descriptor, writes "interrupted" and gives -11; "raw" puts the
// terminal in raw mode first; "hang" never returns; "end" ends the run with the last word as status.
// The attach call answers OXEL_TEST_HOST_ATTACH (default 0) and, with OXEL_TEST_HOST_SHOW_ATTACH,
// writes the command line; with OXEL_TEST_HOST_SHOW_DETACH the detach call writes
// "oxel_host_detach(STATUS)" to stderr. With RECORDING_HOST_VERSION=1 it is a library of the
// interface's first version: no attach result, no detach call, no ktGetVersion.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if RECORDING_HOST_VERSION == 1
#define OXEL_HOST_NO_PROTOTYPES
#endif
#include "oxel_host.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

static const OxelHost *host = nullptr;

static void write_log(const std::string &line) {
  if (host && host->trace) host->trace(line.c_str());
#ifdef _WIN32
  else OutputDebugStringA(line.c_str());
#else
  else std::fputs(line.c_str(), stderr);
#endif
}

static bool has_version_2() { return host && host->version >= 2 && host->size >= sizeof(OxelHost); }

static void attach(const OxelHost *h) {
  if (h && h->version >= 1 && h->size >= offsetof(OxelHost, string)) host = h;
  const char *show = std::getenv("OXEL_TEST_HOST_SHOW_ATTACH");
  if (host && show && *show)
    write_log(std::string("oxel_host_attach(command line \"") + host->command_line + "\")\r\n");
}

#if RECORDING_HOST_VERSION == 1
extern "C" OXEL_HOST_EXPORT void OXEL_HOST_CALL oxel_host_attach(const OxelHost *h);
extern "C" OXEL_HOST_EXPORT void OXEL_HOST_CALL oxel_host_attach(const OxelHost *h) { attach(h); }
#else
int OXEL_HOST_CALL oxel_host_attach(const OxelHost *h) {
  attach(h);
  const char *answer = std::getenv("OXEL_TEST_HOST_ATTACH");
  return answer ? static_cast<int>(std::strtol(answer, nullptr, 0)) : 0;
}

void OXEL_HOST_CALL oxel_host_detach(int status) {
  const char *show = std::getenv("OXEL_TEST_HOST_SHOW_DETACH");
  if (show && *show) std::fprintf(stderr, "oxel_host_detach(%d)\n", status);
}
#endif

static std::string number(long long n) { return std::to_string(n); }

// The word as the quoted printable string of at most 64 characters at its address, or a number.
static std::string word_text(std::int32_t w) {
  auto at = static_cast<std::uint32_t>(w);
  std::uint32_t length = 0;
  const char *string = nullptr;
  if (has_version_2()) {
    string = host->string(at, &length);
  } else if (host && host->pointer) {
    while (length < 65 && (string = static_cast<const char *>(host->pointer(at + length, 1))) && *string)
      ++length;
    if (string) string -= length;
  }
  if (!string || length > 64) return number(w);
  std::string text = "\"";
  for (std::uint32_t i = 0; i < length; ++i) {
    auto c = static_cast<unsigned char>(string[i]);
    if (c == '\r' || c == '\n' || c == '\t') text += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
    else if (c < ' ' || c > '~') return number(w);
    else text += static_cast<char>(c);
  }
  return text + '"';
}

// The list of 32-bit entries at 'address' up to its 0 entry (at most 1000 entries shown).
static std::string list_text(std::int32_t address) {
  std::vector<std::int32_t> entries;
  for (std::uint32_t at = static_cast<std::uint32_t>(address); entries.empty() || entries.back(); at += 4) {
    const void *p = host && host->pointer && entries.size() < 1000 ? host->pointer(at, 4) : nullptr;
    if (!p) return number(address);
    entries.push_back(0);
    std::memcpy(&entries.back(), p, 4);
  }
  std::string out = "[";
  for (std::size_t i = 0, end; i < entries.size(); i = end + 1) {
    for (end = i; end + 2 < entries.size() && entries[end + 1] == entries[end] + 1LL;) ++end;
    if (end - i < 2) end = i;
    out += number(entries[i]) + (end > i ? ".." + number(entries[end]) : "") +
           (end + 1 < entries.size() ? ", " : "]");
  }
  return out;
}

// ktInitialize's words: 0, the instance, the previous instance, the command line.
static std::string initialize_text(const std::int32_t *w) {
  const char *line = host ? host->command_line : nullptr;
#ifdef _WIN32
  std::int32_t instance =
      static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)));
  bool passed = line && w[3] == static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(line));
#else
  std::int32_t instance = static_cast<std::int32_t>(getpid());
  bool passed = line && w[3] == 0;
#endif
  return number(w[0]) + ", " + (w[1] == instance ? "instance" : number(w[1])) + ", " + number(w[2]) + ", " +
         (passed ? "command line" : number(w[3])) + ")";
}

static std::string chosen_value(const char *name) {
  const char *path = std::getenv("OXEL_TEST_HOST_RESULTS");
  std::FILE *f = std::fopen(path && *path ? path : "host_results.tmp", "r");
  std::string result = "0";
  char key[128], value[64];
  while (f && std::fscanf(f, "%127s %63s", key, value) == 2) {
    if (std::strcmp(key, name) == 0 || std::strcmp(key, "*") == 0) result = value;
    if (std::strcmp(key, name) == 0) break;
  }
  if (f) std::fclose(f);
  return result;
}

static std::int32_t record(const char *name, int count, const std::int32_t *w) {
  std::string line = std::string(name) + "(";
  bool list = std::strcmp(name, "ktXferSendList") == 0;
  if (std::strcmp(name, "ktInitialize") == 0) line += initialize_text(w);
  else {
    for (int i = 0; i < count; ++i) {
      if (i > 0) line += ", ";
      line += i == 1 && list ? list_text(w[i]) : word_text(w[i]);
    }
    line += ")";
  }
  write_log(line + "\r\n");
  std::string value = chosen_value(name);
#ifndef _WIN32
  termios modes;
  if (value == "raw" && tcgetattr(0, &modes) == 0) {
    cfmakeraw(&modes);
    tcsetattr(0, TCSANOW, &modes);
  }
  if ((value == "wait" || value == "raw") && has_version_2()) {
    pollfd p{host->interrupt_fd, POLLIN, 0};
    while (poll(&p, 1, -1) <= 0) {
    }
    write_log("interrupted\r\n");
    return -11;
  }
  if (value == "end" && has_version_2()) host->end_run(count > 0 ? w[count - 1] : 0);
  while (value == "hang") pause();
#endif
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::strtoll(value.c_str(), nullptr, 0)));
}

// The words a, b, ... of a function of n words, each as M makes it: a parameter or its name.
#define WORDS_0(M)
#define WORDS_1(M) M(a)
#define WORDS_2(M) WORDS_1(M), M(b)
#define WORDS_3(M) WORDS_2(M), M(c)
#define WORDS_4(M) WORDS_3(M), M(d)
#define WORDS_5(M) WORDS_4(M), M(e)
#define WORDS_6(M) WORDS_5(M), M(f)
#define WORDS_7(M) WORDS_6(M), M(g)
#define PARAMETER(word) std::int32_t word
#define NAME(word) word
#define DEFINE_HOST_FUNCTION(name, count)                                                  \
  extern "C" OXEL_HOST_EXPORT std::int32_t OXEL_HOST_CALL name(WORDS_##count(PARAMETER)) { \
    const std::int32_t words[] = {0, WORDS_##count(NAME)};                                 \
    return record(#name, count, words + 1);                                                \
  }
#if RECORDING_HOST_VERSION == 1
// The older library has no ktGetVersion: the function goes out under another name. Its header
// gave no prototypes, so they are declared here.
#define ktGetVersion ktGetVersion_left_out
#define DECLARE_HOST_FUNCTION(name, count) \
  extern "C" OXEL_HOST_EXPORT std::int32_t OXEL_HOST_CALL name(WORDS_##count(PARAMETER));
OXEL_HOST_FUNCTIONS(DECLARE_HOST_FUNCTION)
#endif
OXEL_HOST_FUNCTIONS(DEFINE_HOST_FUNCTION)
