// program.h: a program tied to a session (the logon task): '/bin/sh -c COMMAND' with its standard
// input fed from the connection, its standard output going to the connection and its standard
// error to the session's log, all through non-blocking pipes that the I/O loop polls.
#ifndef HOST_PROGRAM_H
#define HOST_PROGRAM_H

#include <sys/types.h>

#include <string>
#include <string_view>

struct Program {
  pid_t pid = -1;
  int pidfd = -1;  // readable once the program has exited
  int in = -1, out = -1, err = -1;
  std::string to_program;  // bytes for its standard input that the pipe has not taken yet
  bool input_ends = false; // its input ends once to_program has gone
  std::string err_line;    // the start of a line of its standard error
};

// In a child process: default signals, none blocked, no descriptor above 2 left open, then
// '/bin/sh -c COMMAND' (status 127 when the shell cannot run).
[[noreturn]] void exec_shell(const std::string &command);
// 'text' as one word of a shell command line.
std::string shell_quote(std::string_view text);
// Runs '/bin/sh -c COMMAND' with no input or output and waits for it: its exit status, -1 when it
// could not start.
int program_run(const std::string &command);
// Starts 'command': 0, or an error number. With 'socket' its standard input and output are one
// socketpair (the transfer programs flush a terminal's queues and want a channel both ways),
// else two pipes.
int program_start(Program &p, const std::string &command, bool socket = false);
bool program_running(const Program &p);
// Writes what the pipe takes of to_program; then, when the input ends, the program sees its end.
void program_write(Program &p);
// The program's input ends after what it has not taken yet.
void program_end_input(Program &p);
// Reads its standard output (what it has now) into *data; false at its end.
bool program_read(Program &p, std::string *data);
// Reads its standard error; each complete line goes to *lines (one per '\n'; a CR ends one too).
void program_read_errors(Program &p, std::string *lines);
// Reaps a program that has exited: its exit status (128 + signal for a signal).
int program_reap(Program &p);
// Ends a running program: SIGTERM, SIGKILL after two seconds; closes every descriptor.
void program_stop(Program &p);

#endif
