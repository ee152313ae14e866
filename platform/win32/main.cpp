// The Win32 program: a GUI process without a main window. WinMain takes the script path out of
// the host's command line "[" text "]" blanks path, runs the driver with "oxel", "-run", path,
// and then takes messages until the quit message that the driver posts after main has returned.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "eval/value.h"
#include "platform/win32/win32_shell.h"
#include "shell/driver.h"
#include "shell/startup.h"

// Driver options (-dlex, -dexp, -dsym, -dstmt) for diagnosing a script, taken from this
// environment variable: words that start with '-' go before the script path. The host never
// sets it.
static std::vector<std::string> driver_options() {
  std::vector<std::string> words;
  char text[1024];
  DWORD n = GetEnvironmentVariableA("OXEL_OPTIONS", text, sizeof text);
  if (n == 0 || n >= sizeof text) return words;
  const char *p = text;
  while (*p) {
    while (*p == ' ' || *p == '\t') ++p;
    const char *start = p;
    while (*p && *p != ' ' && *p != '\t') ++p;
    if (p > start && *start == '-') words.emplace_back(start, p);
  }
  return words;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int) {
  win32_instance = instance;
  win32_previous_instance = previous;
  win32_command_line = command_line;
  char path[PATH_BUFFER];
  if (parse_command_line(command_line, path) != CMDLINE_OK) return 1;
  set_start_paths(path);
  arena_init(win32_arena_block());

  std::vector<std::string> options = driver_options();
  // The driver takes every argument that starts with '-' for an option.
  std::string source = script_path[0] == '-' ? std::string(".\\") + script_path : script_path;
  std::vector<const char *> args{"oxel", "-run"};
  for (const std::string &o : options) args.push_back(o.c_str());
  args.push_back(source.c_str());
  interpreter_main(static_cast<int>(args.size()), args.data());

  // The driver posts the quit message once main has run. When the input ended in the middle of
  // a declaration it runs no main; the process then ends all the same.
  if (!win32_quit_posted()) PostQuitMessage(0);
  while (pump_messages()) {
  }
  return 0;
}
