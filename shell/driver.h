// The interpreter driver: options, the source-file stack, the top-level loop over declarations,
// driver commands and top-level expressions, and the run of main. It sets the modes (shell/modes.h).
#pragma once

struct InputFile;

// Most source files that can be queued.
constexpr int MAX_SOURCE_FILES = 20;

void interpreter_main(int argc, const char *const *argv);
void push_source_file(const char *name);
// The next source file opened, or null when none is left (then main runs if -run was given).
InputFile *open_next_source();
void run_main();
