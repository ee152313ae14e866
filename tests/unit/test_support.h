// Shared set-up of the unit tests: every test starts from a fresh interpreter state (lexer,
// preprocessor, token stream, symbol table, arena globals, modes), errors answer Continue, trace
// output goes to a temporary file, and source text is fed through temporary files.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "eval/value.h"

struct Symbol;

// One token as lex_token delivered it.
struct Lexed {
  int code;
  Value value;
};

class OxelTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes 'text' to 'name' inside the test's temporary directory; returns the full path.
  std::string write_file(const std::string &name, const std::string &text);
  // Makes 'text' (written as 'name') the file the lexer reads.
  void open_source(const std::string &text, const std::string &name = "src.c");
  // Lexes 'text' up to the end of the input (LEX_EOF not included).
  std::vector<Lexed> lex_all(const std::string &text, const std::string &name = "src.c");
  // Reads 'text' as a series of declarations, recording their tokens, as the driver does.
  void load(const std::string &text);
  // The trace output written since the test began.
  std::string trace_text();
  // Starts and ends capturing standard error (the "C Interpreter Error: ..." lines).
  void capture_errors();
  std::string captured_errors();

  // The symbol 'name' as a lookup in the current state finds it (null when there is none).
  static Symbol *find(const char *name);

  std::string dir;  // the test's temporary directory, with a final '/'

private:
  std::FILE *trace_ = nullptr;
  bool capturing_ = false;
};

// Codes of a token sequence.
std::vector<int> codes(const std::vector<Lexed> &tokens);
