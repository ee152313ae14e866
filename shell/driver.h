// The interpreter driver: options, the source-file stack, the top-level loop over declarations,
// driver commands and top-level expressions, and the run of main. It owns the mode flags.
#pragma once

struct InputFile;

extern int trace_lex;   // -dlex level
extern int trace_exp;   // -dexp level
extern int trace_sym;   // -dsym level
extern int trace_stmt;  // -dstmt level
extern bool stmt_indent;    // the checking pass indents its statement trace
extern bool run_requested;  // -run: run main when the input is exhausted
extern bool executing;      // statements and expressions are carried out, not only checked
extern bool check_only;     // the script is read and checked, and nothing of it is carried out

// Most source files that can be queued.
constexpr int MAX_SOURCE_FILES = 20;

void interpreter_main(int argc, const char *const *argv);
void push_source_file(const char *name);
// The next source file opened, or null when none is left (then main runs if -run was given).
InputFile *open_next_source();
void run_main();
