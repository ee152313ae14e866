// #define and #include. The lexer calls the directive readers when it reads "#define" or
// "#include"; macros live in a hash table for the rest of the run; include files are kept on a
// stack of open files, and current_file_name() tells which file is being read.
#pragma once

// Deepest nesting of open include files.
constexpr int MAX_INCLUDE_DEPTH = 10;

// Reads the rest of a "#define" line: the name, then the body up to the line end (empty when
// the name ends the line). 1 when the macro was defined; 0 after a report (a bad or over-long
// name, an over-long body, a name defined already).
int read_define();
// Reads the rest of an "#include" line ("name" or <name>) and opens the file: 1 when reading
// goes on in it, 0 after a report.
int read_include();
// Passes over blanks and tabs (not line ends) of the current line.
void skip_blanks();
// Enters macro 'name' with 'body'; 0 after 600 when it is defined already, or after 100.
int define_macro(const char *name, const char *body);
// The body of macro 'name', or null when there is none.
const char *macro_lookup(const char *name);
// The bucket of 'name' in the macro table.
int macro_hash(const char *name);
struct InputFile;
// Opens include file 'name' from the script's directory, the current directory or the
// interpreter's directory, in that order, and reads on in it; 'handle' is the file to go back
// to. 0 after 900 when none has it or the nesting is full.
int open_include(InputFile *handle, const char *name);
// Closes the innermost include file and reads on where its #include was (file and line);
// false when no include file is open.
bool close_include();
// The innermost open include file's name, or the script path; writable (error() may lower it).
char *current_file_name();
