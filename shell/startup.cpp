#include "shell/startup.h"

#include <cstring>

#include "platform/platform.h"

char script_path[PATH_BUFFER];
char script_dir[PATH_BUFFER];
char module_dir[PATH_BUFFER];

CommandLineResult parse_command_line(const char *command_line, char *path) {
  std::memset(path, 0, PATH_BUFFER);
  const char *open = std::strchr(command_line, '[');
  if (!open) return CMDLINE_NO_BRACKETS;
  const char *close = std::strchr(open, ']');
  if (!close) return CMDLINE_NO_BRACKETS;
  const char *start = close + 1;
  while (*start == ' ') ++start;
  size_t len = std::strlen(start);
  if (len >= PATH_BUFFER) return CMDLINE_PATH_TOO_LONG;
  std::memcpy(path, start, len);
  return CMDLINE_OK;
}

void set_start_paths(const char *path) {
  std::memset(script_path, 0, sizeof script_path);
  std::memset(script_dir, 0, sizeof script_dir);
  std::strncpy(script_path, path, PATH_BUFFER - 1);
  const char *last = std::strrchr(script_path, plat_dir_separator());
  if (last) std::memcpy(script_dir, script_path, last - script_path + 1);
  plat_module_dir(module_dir, sizeof module_dir);
}

int pump_messages() { return plat_pump_step(); }
