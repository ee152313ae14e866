// #define and #include. The lexer calls the directive readers when it reads "#define" or
// "#include"; macros live in a hash table for the rest of the run; include files are kept on a
// stack of open files, and current_file_name() tells which file is being read.
#pragma once

// Deepest nesting of open include files.
constexpr int MAX_INCLUDE_DEPTH = 10;

int read_define();
int read_include();
void skip_blanks();
int define_macro(const char *name, const char *body);
const char *macro_lookup(const char *name);
int macro_hash(const char *name);
struct InputFile;
int open_include(InputFile *handle, const char *name);
bool close_include();
// The innermost open include file's name, or the script path; writable (error() may lower it).
char *current_file_name();
// Forgets every macro and closes every open include file (for tests).
void preprocessor_reset();
