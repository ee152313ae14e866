// The interpreter's modes: what it is doing with the tokens it reads (recording, replaying,
// checking, running) and which traces it writes. The driver sets them from the command line; the
// readers and calls switch them as they go; every layer reads them.
#pragma once

extern int trace_lex;       // -dlex level
extern int trace_exp;       // -dexp level
extern int trace_sym;       // -dsym level
extern int trace_stmt;      // -dstmt level
extern bool stmt_indent;    // the checking pass indents its statement trace
extern bool run_requested;  // -run: run main when the input is exhausted
extern bool executing;      // statements and expressions are carried out, not only checked
extern bool check_only;     // the script is read and checked, and nothing of it is carried out
extern bool recording;      // tokens delivered fresh by the lexer are appended to the TokenList
extern bool replaying;      // tokens come from the TokenList (set by calls of script functions)
// Function bodies may run as register code (eval/register_code.h); off, every body runs through
// the token walker (the traces turn the compiled code off as well, since it writes no trace).
extern bool compiled_code;
