// The host automation library on POSIX: a shared library loaded with dlopen at the first call
// of a kt built-in, chosen by --host=PATH, else by $OXEL_HOST, else librv32auto.so in the
// executable's folder. Its functions take 32-bit words and use the C calling convention. Script
// addresses are no native addresses here, so a library may export oxel_host_attach, which is
// called once after loading with the way to reach script memory, the command line and the end
// of the run; oxel_host_detach, when exported, is called once when the run ends.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define OXEL_HOST_NO_PROTOTYPES
#include "eval/value.h"
#include "include/oxel_host.h"
#include "platform/platform.h"
#include "platform/posix/host_posix.h"
#include "platform/posix/run_control.h"
#include "shell/run_end.h"

static const char default_library[] = "librv32auto.so";

static std::string library_option;
static std::string command_line;
static void *library = nullptr;
static bool load_tried = false;
static OxelHostDetach detach = nullptr;

void posix_set_host_library(const char *path) { library_option = path ? path : ""; }
void posix_set_host_command_line(const char *text) { command_line = text ? text : ""; }

static void *script_pointer(std::uint32_t address, std::uint32_t size) { return arena_ptr(address, size); }

static const char *script_string(std::uint32_t address, std::uint32_t *length) {
  if (length) *length = 0;
  const std::uint8_t *p = arena_ptr(address, 1);
  if (!p) return nullptr;
  std::uint32_t room = ARENA_SIZE - (address - arena_base);
  const void *nul = std::memchr(p, 0, room);
  if (!nul) return nullptr;
  if (length) *length = static_cast<std::uint32_t>(static_cast<const std::uint8_t *>(nul) - p);
  return reinterpret_cast<const char *>(p);
}

static void host_trace(const char *text) {
  if (text) plat_trace(text);
}

static void host_end_run(int status) { end_run(status); }

// A path, not a name for the loader's search: a bare name is a file in the current directory.
static std::string as_path(const std::string &name) {
  return name.find('/') == std::string::npos ? "./" + name : name;
}

static bool library_chosen() {
  const char *env = std::getenv("OXEL_HOST");
  return !library_option.empty() || (env && *env);
}

static std::string library_path() {
  if (!library_option.empty()) return as_path(library_option);
  const char *env = std::getenv("OXEL_HOST");
  if (env && *env) return as_path(env);
  char dir[4096];
  plat_module_dir(dir, sizeof dir);
  return std::string(dir) + default_library;
}

static const OxelHost *host_record() {
  static OxelHost host;
  host.size = sizeof host;
  host.version = OXEL_HOST_VERSION;
  host.pointer = script_pointer;
  host.command_line = command_line.c_str();
  host.trace = host_trace;
  host.string = script_string;
  host.end_run = host_end_run;
  host.interrupt_fd = posix_interrupt_fd();
  return &host;
}

// A library built for version 2 or later says so, or exports the detach call that only those
// know; a version 1 attach returns nothing, so its result is not read.
static bool speaks_version_2() {
  const void *version = dlsym(library, OXEL_HOST_INTERFACE_NAME);
  if (version && *static_cast<const std::uint32_t *>(version) >= 2) return true;
  return dlsym(library, OXEL_HOST_DETACH_NAME) != nullptr;
}

// Calls the attach function; false when the library refuses.
static bool attach(const std::string &path) {
  void *function = dlsym(library, OXEL_HOST_ATTACH_NAME);
  if (!function) return true;
  bool counts = speaks_version_2();
  int answer = reinterpret_cast<OxelHostAttach>(function)(host_record());
  if (!counts || answer == 0) return true;
  std::fprintf(stderr, "oxel: host library %s: refused to attach (%d)\n", path.c_str(), answer);
  return false;
}

static void load_library() {
  load_tried = true;
  std::string path = library_path();
  library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char *reason = dlerror();
    if (!OXEL_REFERENCE_HOST && !library_chosen())
      reason = "not built, as libvterm was missing: install libvterm-dev (Debian) and build oxel again";
    std::fprintf(stderr, "oxel: host library %s: %s\n", path.c_str(), reason ? reason : "not loaded");
    return;
  }
  if (!attach(path)) {
    dlclose(library);
    library = nullptr;
    return;
  }
  detach = reinterpret_cast<OxelHostDetach>(dlsym(library, OXEL_HOST_DETACH_NAME));
}

void posix_host_detach(int status) {
  OxelHostDetach call = detach;
  detach = nullptr;
  if (call) call(status);
}

PlatHostFunction plat_host_function(const char *name) {
  if (!load_tried) load_library();
  if (!library) return nullptr;
  return reinterpret_cast<PlatHostFunction>(dlsym(library, name));
}

std::int32_t plat_host_call(PlatHostFunction function, const std::int32_t *w, int count) {
  using W = std::int32_t;
  switch (count) {
  case 0: return reinterpret_cast<W (*)()>(function)();
  case 1: return reinterpret_cast<W (*)(W)>(function)(w[0]);
  case 2: return reinterpret_cast<W (*)(W, W)>(function)(w[0], w[1]);
  case 3: return reinterpret_cast<W (*)(W, W, W)>(function)(w[0], w[1], w[2]);
  case 4: return reinterpret_cast<W (*)(W, W, W, W)>(function)(w[0], w[1], w[2], w[3]);
  case 5: return reinterpret_cast<W (*)(W, W, W, W, W)>(function)(w[0], w[1], w[2], w[3], w[4]);
  case 6: return reinterpret_cast<W (*)(W, W, W, W, W, W)>(function)(w[0], w[1], w[2], w[3], w[4], w[5]);
  case 7:
    return reinterpret_cast<W (*)(W, W, W, W, W, W, W)>(function)(w[0], w[1], w[2], w[3], w[4], w[5], w[6]);
  default: return 0;
  }
}

// There are no instance handles: the process id stands for the instance, there never is a
// previous instance, and the command line reaches the library through the attach call.
void plat_host_startup_values(std::int32_t values[3]) {
  values[0] = static_cast<std::int32_t>(getpid());
  values[1] = 0;
  values[2] = 0;
}
