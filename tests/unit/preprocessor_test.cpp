// #define and #include: the macro table, expansion by the lexer, the include search order and
// the file names and line numbers that messages show around include files.
#include "source/preprocessor.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "decl/symbols.h"
#include "shell/diagnostics.h"
#include "shell/startup.h"
#include "source/lexer.h"
#include "source/token.h"
#include "test_support.h"

class Preprocessor : public OxelTest {
protected:
  // The integer constants and single-character tokens of 'text', as a compact string.
  std::string tokens(const std::string &text, const std::string &name = "src.c") {
    std::string out;
    for (const Lexed &t : lex_all(text, name)) {
      if (!out.empty()) out += ' ';
      if (t.code == LEX_CONSTANT && t.value.type == TY_INT) out += std::to_string(t.value.imm.i);
      else if (t.code == LEX_SYMBOL) out += t.value.imm.sym->name;
      else out += token_name(t.code);
    }
    return out;
  }
};

TEST_F(Preprocessor, DefineLookupAndRedefinition) {
  EXPECT_EQ(macro_lookup("N"), nullptr);
  EXPECT_EQ(define_macro("N", "10"), 1);
  EXPECT_STREQ(macro_lookup("N"), "10");
  EXPECT_EQ(macro_lookup("n"), nullptr);
  EXPECT_EQ(macro_lookup("NN"), nullptr);
  capture_errors();
  EXPECT_EQ(define_macro("N", "20"), 0);
  EXPECT_EQ(captured_errors(), "C Interpreter Error: test.c (1) : error 600 : Redefinition of 'N'\n");
  EXPECT_STREQ(macro_lookup("N"), "10");
}

TEST_F(Preprocessor, HashSumsSignedBytesModulo101) {
  EXPECT_EQ(macro_hash(""), 0);
  EXPECT_EQ(macro_hash("A"), 65);
  EXPECT_EQ(macro_hash("AB"), 30);
  EXPECT_EQ(macro_hash("\xFF"), 67);      // -1 as an unsigned 32-bit sum
  EXPECT_EQ(macro_hash("\xFF\xFE"), 65);  // -3: the bucket of "A"
  // Names in one bucket are all found.
  EXPECT_EQ(define_macro("A", "1"), 1);
  EXPECT_EQ(define_macro("\xFF\xFE", "2"), 1);
  EXPECT_EQ(define_macro("SS", "3"), 1);  // 83 + 83 = 166, bucket 65 as well
  EXPECT_STREQ(macro_lookup("A"), "1");
  EXPECT_STREQ(macro_lookup("\xFF\xFE"), "2");
  EXPECT_STREQ(macro_lookup("SS"), "3");
}

TEST_F(Preprocessor, DefineDirectives) {
  EXPECT_EQ(tokens("#define N 10\nN*2\n"), "10 * 2");
  // The body is the rest of the line as written; a parameter list becomes part of the name.
  EXPECT_EQ(tokens("#define B  1 /* c */  \r\n#define F(x) x\n#define E\n#define E2  \r\n"
                   "a E E2 b\n"),
            "a b");
  EXPECT_STREQ(macro_lookup("B"), "1 /* c */  ");
  EXPECT_STREQ(macro_lookup("F(x)"), "x");
  EXPECT_EQ(macro_lookup("F"), nullptr);
  EXPECT_STREQ(macro_lookup("E"), "");
  EXPECT_STREQ(macro_lookup("E2"), "");
  EXPECT_EQ(error_count, 0);
}

TEST_F(Preprocessor, ExpansionOrder) {
  // Macros come before keywords and built-ins; a body may start with another macro; nothing
  // inside a string constant is expanded.
  EXPECT_EQ(tokens("#define A B+1\n#define B 2\n#define int 5\n#define strlen 6\n"
                   "A int strlen \"A\"\n"),
            "2 + 1 5 6 Constant");
}

TEST_F(Preprocessor, InvalidNames) {
  capture_errors();
  // A name starting with a digit, a missing name and a name of 32 characters are refused; what
  // the reader leaves of the line is read as source. 31 characters are accepted. "#define" alone
  // consumes its line end, and the directive on the next line is still a directive.
  EXPECT_EQ(tokens("#define 1X 5\n#define\n#define " + std::string(32, 'L') + " 1\n" + "#define " +
                   std::string(31, 'K') + " 7\n" + std::string(31, 'K') + "\n"),
            "5 1 7");
  std::string errors = captured_errors();
  EXPECT_EQ(errors.substr(0, errors.find('\n') + 1),
            "C Interpreter Error: test.c (1) : error 201 : Invalid indentifier\n");
  EXPECT_EQ(error_count, 3);
  EXPECT_EQ(macro_lookup("1X"), nullptr);
}

TEST_F(Preprocessor, MacrosThatLeadBackToThemselves) {
  capture_errors();
  EXPECT_EQ(tokens("#define S S+1\n#define P Q\n#define Q P\nS P\n"), "S + 1 P");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (4) : error 200 : Bad syntax 'S'\n"
            "C Interpreter Error: test.c (4) : error 200 : Bad syntax 'P'\n");
}

TEST_F(Preprocessor, LinesAreCountedThroughDirectives) {
  capture_errors();
  tokens("#define A 1\r\n#define B\r\n#include \"no.h\"\r\n%\r\n");
  lexer_reset();
  tokens("#define C 1\n#define D\n\n%\n", "lf.c");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (3) : error 900 : Can't open include file 'no.h'\n"
            "C Interpreter Error: test.c (4) : error 502 : Unexpected character '%'\n"
            "C Interpreter Error: test.c (4) : error 502 : Unexpected character '%'\n");
}

TEST_F(Preprocessor, IncludeSearchOrder) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string in_script = write_file("script/inc.h", "1 %\n");
  std::string in_cwd = write_file("cwd/inc.h", "2 %\n");
  std::string in_module = write_file("module/inc.h", "3 %\n");
  std::snprintf(script_dir, sizeof script_dir, "%sscript/", dir.c_str());
  std::snprintf(module_dir, sizeof module_dir, "%smodule/", dir.c_str());
  ASSERT_EQ(chdir((dir + "cwd").c_str()), 0);

  capture_errors();
  std::string found;
  for (int round = 0; round < 4; ++round) {
    preprocessor_reset();
    lexer_reset();
    found += tokens(round % 2 ? "#include <inc.h>\n" : "#include \"inc.h\"\n") + ";";
    if (round == 0) std::remove(in_script.c_str());
    if (round == 1) std::remove(in_cwd.c_str());
    if (round == 2) std::remove(in_module.c_str());
  }
  std::string errors = captured_errors();
  ASSERT_EQ(chdir(cwd), 0);
  EXPECT_EQ(found, "1 %;2 %;3 %;;");
  // Messages name the path under which the file was opened.
  const std::string percent = " (1) : error 502 : Unexpected character '%'\n";
  EXPECT_EQ(errors, "C Interpreter Error: " + in_script + percent + "C Interpreter Error: inc.h" + percent +
                        "C Interpreter Error: " + in_module + percent +
                        "C Interpreter Error: test.c (1) : error 900 : Can't open include file 'inc.h'\n");
}

TEST_F(Preprocessor, IncludedFileNamesAndLines) {
  std::string inc = write_file("inc.h", "#define FROM_INC 7\r\nx\r\n\r\n%\r\n");
  capture_errors();
  // The rest of the include line is read after the included file; counting resumes after it.
  EXPECT_EQ(tokens("a\r\n#include \"inc.h\" y\r\n%\r\nFROM_INC\r\n"), "a x % y % 7");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: " + inc + " (4) : error 502 : Unexpected character '%'\n" +
                "C Interpreter Error: test.c (3) : error 502 : Unexpected character '%'\n");
  EXPECT_STREQ(current_file_name(), "test.c");
}

// A directive that fails after reading its line end must not keep the next line's directive from
// being read.
TEST_F(Preprocessor, MalformedIncludes) {
  capture_errors();
  EXPECT_EQ(tokens("#include inc.h\n#include \"inc.h\n#include\n1\n"), "nc . h 1");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character 'i'\n"
            "C Interpreter Error: test.c (3) : error 500 : Expected '\"'\n"
            "C Interpreter Error: test.c (3) : error 502 : Unexpected character ' '\n");
}

TEST_F(Preprocessor, IncludeNestingStopsAtTenFiles) {
  for (int k = 1; k <= 11; ++k)
    write_file("f" + std::to_string(k) + ".h",
               "#include \"f" + std::to_string(k + 1) + ".h\"\n" + std::to_string(k) + "\n");
  capture_errors();
  EXPECT_EQ(tokens("#include \"f1.h\"\n0\n"), "10 9 8 7 6 5 4 3 2 1 0");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: " + dir + "f10.h (1) : error 900 : Can't open include file 'f11.h'\n");
}
