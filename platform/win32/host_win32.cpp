// The host automation library on Win32: RV32AUTO.DLL, loaded with LoadLibraryA at the first
// call of a kt built-in (the executable's folder is searched first). Its functions use the
// standard calling convention and are found by their plain names. Script addresses are real
// addresses here; a library that exports oxel_host_attach is still handed the interpreter's
// description once, after loading.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#define OXEL_HOST_NO_PROTOTYPES
#include "eval/value.h"
#include "include/oxel_host.h"
#include "platform/platform.h"
#include "platform/win32/win32_shell.h"

static const char library_name[] = "RV32AUTO.DLL";

static HMODULE library = nullptr;
static bool load_tried = false;

static void *OXEL_HOST_CALL script_pointer(std::uint32_t address, std::uint32_t size) {
  return arena_ptr(address, size);
}

static void OXEL_HOST_CALL host_trace(const char *text) {
  if (text) plat_trace(text);
}

static void load_library() {
  load_tried = true;
  library = LoadLibraryA(library_name);
  if (!library) return;
  // The DLL interface is that of version 1: the record ends after 'trace', the attach result is
  // not looked at and there is no detach call.
  static OxelHost host;
  host.size = offsetof(OxelHost, string);
  host.version = 1;
  host.pointer = script_pointer;
  host.command_line = win32_command_line;
  host.trace = host_trace;
  FARPROC attach = GetProcAddress(library, OXEL_HOST_ATTACH_NAME);
  if (attach) reinterpret_cast<OxelHostAttach>(reinterpret_cast<void *>(attach))(&host);
}

PlatHostFunction plat_host_function(const char *name) {
  if (!load_tried) load_library();
  if (!library) return nullptr;
  return reinterpret_cast<PlatHostFunction>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}

// A __stdcall function pops its own arguments, so each count needs a pointer of its own type.
std::int32_t plat_host_call(PlatHostFunction function, const std::int32_t *w, int count) {
  using W = std::int32_t;
  void *f = reinterpret_cast<void *>(function);
  switch (count) {
  case 0: return reinterpret_cast<W(__stdcall *)()>(f)();
  case 1: return reinterpret_cast<W(__stdcall *)(W)>(f)(w[0]);
  case 2: return reinterpret_cast<W(__stdcall *)(W, W)>(f)(w[0], w[1]);
  case 3: return reinterpret_cast<W(__stdcall *)(W, W, W)>(f)(w[0], w[1], w[2]);
  case 4: return reinterpret_cast<W(__stdcall *)(W, W, W, W)>(f)(w[0], w[1], w[2], w[3]);
  case 5: return reinterpret_cast<W(__stdcall *)(W, W, W, W, W)>(f)(w[0], w[1], w[2], w[3], w[4]);
  case 6: return reinterpret_cast<W(__stdcall *)(W, W, W, W, W, W)>(f)(w[0], w[1], w[2], w[3], w[4], w[5]);
  case 7:
    return reinterpret_cast<W(__stdcall *)(W, W, W, W, W, W, W)>(f)(w[0], w[1], w[2], w[3], w[4], w[5], w[6]);
  default: return 0;
  }
}

// The instance handle, the previous-instance handle and the address of the command line, as
// WinMain received them.
void plat_host_startup_values(std::int32_t values[3]) {
  values[0] = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(win32_instance));
  values[1] = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(win32_previous_instance));
  values[2] = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(win32_command_line));
}
