// Start-up: the host-style command line "[" text "]" blanks path, and the paths that the include
// search and the error dialog use. Shared by the POSIX program and the Win32 WinMain.
#pragma once

// Size of the path buffers (at most PATH_BUFFER-1 characters).
constexpr int PATH_BUFFER = 256;

extern char script_path[PATH_BUFFER];  // the script path from the command line
extern char script_dir[PATH_BUFFER];   // script_path up to and including its last separator
extern char module_dir[PATH_BUFFER];   // the executable's directory with a final separator

enum CommandLineResult { CMDLINE_OK, CMDLINE_NO_BRACKETS, CMDLINE_PATH_TOO_LONG };

// Takes the script path out of 'command_line' into 'path' (PATH_BUFFER bytes): after the first "["
// the first "]", then the spaces after it; the rest, verbatim, is the path.
CommandLineResult parse_command_line(const char *command_line, char *path);

// Sets script_path and script_dir from 'path', and module_dir from the platform.
void set_start_paths(const char *path);

// One step of the message pump: 0 once the quit message has been seen, else 1.
int pump_messages();
