// The lexer: numbers, names, operators and the unary/binary decision, escapes, strings, comments,
// directives in the wrong place, bytes that start no token, and line counting.
#include <cstring>
#include <string>
#include <vector>

#include "builtins/builtin_table.h"
#include "decl/symbols.h"
#include "shell/diagnostics.h"
#include "source/lexer.h"
#include "source/preprocessor.h"
#include "source/token.h"
#include "test_support.h"

namespace {

// One token as readable text.
std::string describe(const Lexed &t) {
  char buf[512];
  switch (t.code) {
  case LEX_CONSTANT:
    switch (t.value.type) {
    case TY_INT: std::snprintf(buf, sizeof buf, "int %d", t.value.imm.i); break;
    case TY_LONG: std::snprintf(buf, sizeof buf, "long %d", t.value.imm.i); break;
    case TY_DOUBLE: std::snprintf(buf, sizeof buf, "double %g", t.value.imm.d); break;
    case TY_PTR: {
      const std::uint8_t *p = arena_ptr(static_cast<std::uint32_t>(t.value.imm.i), 1);
      std::snprintf(buf, sizeof buf, "string %s", p ? reinterpret_cast<const char *>(p) : "?");
      break;
    }
    default: std::snprintf(buf, sizeof buf, "constant of type %d", t.value.type); break;
    }
    return buf;
  case LEX_SYMBOL:
    return std::string(t.value.imm.sym->stg == STG_LABEL ? "label " : "sym ") + t.value.imm.sym->name;
  case LEX_BUILTIN: return std::string("builtin ") + builtin_name(t.value.imm.i);
  case LEX_ADDR: return "&addr";
  case LEX_DEREF: return "*deref";
  case LEX_ARROW: return "->";
  case LEX_ANDAND: return "&&";
  case LEX_OROR: return "||";
  default:
    if (t.code > ' ' && t.code < 0x7F) return std::string(1, static_cast<char>(t.code));
    if (t.code >= 0x80 && t.code < LEX_FUNC_END) return token_name(t.code);
    std::snprintf(buf, sizeof buf, "code %d", t.code);
    return buf;
  }
}

using Strings = std::vector<std::string>;

}  // namespace

class Lexer : public OxelTest {
protected:
  Strings lex(const std::string &text) {
    Strings out;
    for (const Lexed &t : lex_all(text)) out.push_back(describe(t));
    return out;
  }
};

TEST_F(Lexer, EdgeCaseTable) {
  struct Row {
    const char *text;
    Strings tokens;
  };
  const Row rows[] = {
      {".5", {"double 0.5"}},
      {"1e3", {"double 1000"}},
      {"2.5e-1", {"double 0.25"}},
      {"1e+5 1e+x", {"double 100000", "double 1", "sym x"}},
      {"012.5 019e1", {"double 12.5", "double 190"}},
      {"1.", {"double 1"}},
      {"010", {"int 8"}},
      {"09", {"int 9"}},
      {"019", {"int 17"}},
      {"0x1F 0Xff", {"int 31", "int 255"}},
      {"0xFFFFFFFF", {"int -1"}},
      {"4294967297", {"int 1"}},
      {"12L 7l", {"long 12", "long 7"}},
      {"1.5L", {"double 1.5", "sym L"}},
      {"a&b", {"sym a", "&", "sym b"}},
      {"(&b)", {"(", "&addr", "sym b", ")"}},
      {"x=*p", {"sym x", "=", "*deref", "sym p"}},
      {"a-*p", {"sym a", "-", "*", "sym p"}},
      {"(a)*b", {"(", "sym a", ")", "*", "sym b"}},
      {"x[1]&y", {"sym x", "[", "int 1", "]", "&", "sym y"}},
      {"2*3", {"int 2", "*", "int 3"}},
      {"sizeof *p", {"sizeof", "*deref", "sym p"}},
      {"!*p", {"!", "*deref", "sym p"}},
      {"a->b", {"sym a", "->", "sym b"}},
      {"a=+b", {"sym a", "=", "+", "sym b"}},
      {"a+=1", {"sym a", "+", "=", "int 1"}},
      {"a<<=b>>c", {"sym a", "<<", "=", "sym b", ">>", "sym c"}},
      {"a<=b>=c==d!=e", {"sym a", "<=", "sym b", ">=", "sym c", "==", "sym d", "!=", "sym e"}},
      {"a&&b||c|d", {"sym a", "&&", "sym b", "||", "sym c", "|", "sym d"}},
      {"++a--", {"++", "sym a", "--"}},
      {"a//b", {"sym a", "/", "/", "sym b"}},
      {"a/*/ still a comment */b", {"sym a", "sym b"}},
      {"'\\101' '\\x41' '\\x4' '\\x'", {"int 65", "int 65", "int 4", "int 0"}},
      {"'\\q' '\\c' '\\e' '\\a' '\\v' '\\\\' '\\''", {"int 92", "int 3", "int 27", "int 7", "int 11",
                                                      "int 92", "int 39"}},
      {"'\\377' '\\xff' '\xE9'", {"int 255", "int 255", "int -23"}},
      {"'\\012' \"\\0123\"", {"int 10", "string \n3"}},
      {"lbl: x :", {"label lbl", ":", "sym x", ":"}},
      {"case K: k", {"case", "sym K", ":", "sym k"}},
      {"\"ab\\tc\"", {"string ab\tc"}},
      {"@list run @edit", {"@list", "run", "@edit"}},
      {"strlen Strlen STRLEN", {"builtin strlen", "sym Strlen", "sym STRLEN"}},
  };
  for (const Row &row : rows) {
    lexer_reset();
    EXPECT_EQ(lex(row.text), row.tokens) << row.text;
  }
  EXPECT_EQ(error_count, 0);
}

TEST_F(Lexer, ValuesOfConstantsAndNames) {
  std::vector<Lexed> t = lex_all("12L 2.5 'A' x strlen");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].value.type, TY_LONG);
  EXPECT_EQ(t[1].value.type, TY_DOUBLE);
  EXPECT_DOUBLE_EQ(t[1].value.imm.d, 2.5);
  EXPECT_EQ(t[2].value.type, TY_INT);
  EXPECT_EQ(t[2].value.imm.i, 65);
  // A name: TY_PTR with the Symbol, entered at once.
  EXPECT_EQ(t[3].value.type, TY_PTR);
  EXPECT_EQ(t[3].value.imm.sym, find("x"));
  // A built-in: its return type and row; a built-in's name never becomes a symbol.
  EXPECT_EQ(t[4].value.type, TY_INT);
  EXPECT_STREQ(builtin_name(t[4].value.imm.i), "strlen");
  EXPECT_EQ(find("strlen"), nullptr);
}

TEST_F(Lexer, StringConstantsAreCopiedIntoTheArena) {
  std::vector<Lexed> t = lex_all("\"abc\" \"a\\0b\" \"abc\"");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].value.type, TY_PTR);
  ASSERT_NE(t[0].value.next, nullptr);
  EXPECT_EQ(t[0].value.next->type, TY_CHAR);
  EXPECT_EQ(t[0].value.aux, 4);
  EXPECT_EQ(t[1].value.aux, 4);  // the escaped NUL is stored and counted
  EXPECT_EQ(std::memcmp(arena_ptr(t[1].value.imm.i, 4), "a\0b\0", 4), 0);
  // Every string constant is a new copy, laid out one after the other.
  EXPECT_EQ(static_cast<std::uint32_t>(t[0].value.imm.i), arena_base);
  EXPECT_EQ(t[2].value.imm.i, t[0].value.imm.i + 8);
  EXPECT_EQ(arena_top, 12);
}

TEST_F(Lexer, OverlongStringAndNameAreCut) {
  capture_errors();
  std::vector<Lexed> t = lex_all("\"" + std::string(300, 's') + "\" " + std::string(130, 'n'));
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (1) : error 200 : Bad syntax 'Constant'\n"
            "C Interpreter Error: test.c (1) : error 201 : Invalid indentifier\n");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].value.aux, 256);
  EXPECT_EQ(std::strlen(reinterpret_cast<const char *>(arena_ptr(t[0].value.imm.i, 256))), 255u);
  ASSERT_EQ(t[1].code, LEX_SYMBOL);
  EXPECT_EQ(std::string(t[1].value.imm.sym->name), std::string(127, 'n'));
}

TEST_F(Lexer, CharactersThatStartNoToken) {
  capture_errors();
  Strings got = lex("a % b ? $\\ ~c\x01 d \xFF");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '%'\n"
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '?'\n"
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '$'\n"
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '\\'\n"
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '~'\n"
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '\x01'\n"
            "C Interpreter Error: test.c (1) : error 502 : Unexpected character '\xFF'\n");
  // Bytes 0 to 8 are dropped after the report; 0xFF is a byte like others, not the end.
  EXPECT_EQ(got, (Strings{"sym a", "%", "sym b", "?", "$", "\\", "~", "sym c", "sym d", "code -1"}));
}

TEST_F(Lexer, UnclosedCharacterConstantAndComment) {
  capture_errors();
  Strings got = lex("'ab x /* never closed");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (1) : error 500 : Expected '''\n"
            "C Interpreter Error: test.c (1) : error 501 : Unexpected end of file\n");
  EXPECT_EQ(got, (Strings{"int 97", "sym x"}));
}

TEST_F(Lexer, DirectiveOnlyWhereALineMayStart) {
  capture_errors();
  // After a name a directive is still accepted; after a one-character token it is not.
  Strings got = lex("a #define X 1\nX; #define Y 2\nY");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (2) : error 502 : Unexpected character '#'\n");
  EXPECT_EQ(got, (Strings{"sym a", "int 1", ";", "#", "sym define", "sym Y", "int 2", "sym Y"}));
}

TEST_F(Lexer, UnknownDirectiveDeliversNoToken) {
  capture_errors();
  Strings got = lex("#pragma x\n# define\n");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (1) : error 200 : Bad syntax '#pragma'\n"
            "C Interpreter Error: test.c (2) : error 200 : Bad syntax '#'\n");
  EXPECT_EQ(got, (Strings{"sym x", "sym define"}));
}

TEST_F(Lexer, LineEndTokens) {
  line_end_tokens = true;
  std::vector<Lexed> t = lex_all("a\r\nb\n");
  EXPECT_EQ(codes(t), (std::vector<int>{LEX_SYMBOL, '\r', '\n', LEX_SYMBOL, '\n'}));
  // A line end ends an operand: '*' after it is unary again.
  lexer_reset();
  line_end_tokens = true;
  EXPECT_EQ(lex("a\n*p"), (Strings{"sym a", "code 10", "*deref", "sym p"}));
}

// A top-level expression ends at a line-end token; the driver then reads on without line-end
// tokens, and a directive on the next line must be accepted, in LF files as in CR LF files.
TEST_F(Lexer, DirectiveAfterTheLineEndOfATopLevelExpression) {
  for (const char *eol : {"\r\n", "\n"}) {
    preprocessor_reset();
    input_close(input_handle);
    lexer_reset();
    symbols_reset();
    open_source(std::string("1") + eol + "#define X 3" + eol + "X" + eol, "top.c");
    Value v;
    line_end_tokens = true;
    ASSERT_EQ(lex_token(&v), LEX_CONSTANT);
    EXPECT_EQ(lex_token(&v), eol[0]);
    line_end_tokens = false;
    capture_errors();
    Lexed next{0, v};
    next.code = lex_token(&next.value);
    std::string errors = captured_errors();
    EXPECT_EQ(describe(next) + errors, "int 3") << (eol[1] ? "CR LF" : "LF");
  }
}

TEST_F(Lexer, LineCounting) {
  capture_errors();
  // CR LF: an error on line 5 after a comment spanning lines and a string holding a line end.
  lex_all("/* one\r\n */ a\r\n\"x\r\ny\"\r\n%\r\n");
  // LF only: every line feed is a whole line end.
  lexer_reset();
  lex_all("a\n\nb /*\n*/\n%\n", "lf.c");
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (5) : error 502 : Unexpected character '%'\n"
            "C Interpreter Error: test.c (5) : error 502 : Unexpected character '%'\n");
  EXPECT_EQ(line_counter, 11);
}
