// The host automation library on POSIX: a shared library loaded with dlopen at the first call
// of a kt built-in, chosen by --host=PATH, else by $OXEL_HOST, else librv32auto.so in the
// executable's folder. Its functions take 32-bit words and use the C calling convention. Script
// addresses are no native addresses here, so a library may export oxel_host_attach, which is
// called once after loading with the way to reach script memory and the command line.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#define OXEL_HOST_NO_PROTOTYPES
#include "eval/value.h"
#include "include/oxel_host.h"
#include "platform/platform.h"
#include "platform/posix/host_posix.h"

static const char default_library[] = "librv32auto.so";

static std::string library_option;
static std::string command_line;
static void *library = nullptr;
static bool load_tried = false;

void posix_set_host_library(const char *path) { library_option = path ? path : ""; }
void posix_set_host_command_line(const char *text) { command_line = text ? text : ""; }

static void *script_pointer(std::uint32_t address, std::uint32_t size) {
  return arena_ptr(address, size);
}

static void host_trace(const char *text) {
  if (text) plat_trace(text);
}

static std::string library_path() {
  if (!library_option.empty()) return library_option;
  const char *env = std::getenv("OXEL_HOST");
  if (env && *env) return env;
  char dir[4096];
  plat_module_dir(dir, sizeof dir);
  return std::string(dir) + default_library;
}

static void load_library() {
  load_tried = true;
  library = dlopen(library_path().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return;
  static OxelHost host;
  host.size = sizeof host;
  host.version = OXEL_HOST_VERSION;
  host.pointer = script_pointer;
  host.command_line = command_line.c_str();
  host.trace = host_trace;
  if (void *attach = dlsym(library, OXEL_HOST_ATTACH_NAME))
    reinterpret_cast<OxelHostAttach>(attach)(&host);
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
  case 6:
    return reinterpret_cast<W (*)(W, W, W, W, W, W)>(function)(w[0], w[1], w[2], w[3], w[4], w[5]);
  case 7:
    return reinterpret_cast<W (*)(W, W, W, W, W, W, W)>(function)(w[0], w[1], w[2], w[3], w[4],
                                                                  w[5], w[6]);
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
