// The token-name table: display names of codes and the keyword lookup.
#include "source/token.h"

#include <gtest/gtest.h>

#include <string>

TEST(TokenName, NamesOfCodesAndTheOneByteFallback) {
  EXPECT_STREQ(token_name(LEX_NULL), "LEX_NULL");
  EXPECT_STREQ(token_name(LEX_SYMBOL), "Symbol");
  EXPECT_STREQ(token_name(LEX_CONSTANT), "Constant");
  EXPECT_STREQ(token_name(LEX_BUILTIN), "Builtin_function");
  EXPECT_STREQ(token_name(LEX_WHILE), "while");
  EXPECT_STREQ(token_name(LEX_INT), "int");
  EXPECT_STREQ(token_name(LEX_SHL), "<<");
  EXPECT_STREQ(token_name(LEX_DEC), "--");
  EXPECT_STREQ(token_name(LEX_LIST), "@list");
  EXPECT_STREQ(token_name(LEX_EDIT), "@edit");
  EXPECT_STREQ(token_name(';'), ";");
  // Codes without a name give their low byte.
  EXPECT_EQ(std::string(token_name(LEX_ANDAND)), std::string(1, '\x98'));
  EXPECT_EQ(std::string(token_name(LEX_FUNC_END)), std::string(1, '\xA6'));
  EXPECT_EQ(std::string(token_name(-1)), std::string(1, '\xFF'));
}

TEST(TokenName, FallbackResultsShareOneBuffer) {
  const char *first = token_name(LEX_ARROW);
  const char *second = token_name('{');
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first, "{");
}

TEST(KeywordCode, FindsEveryKeywordAndNothingElse) {
  struct Row {
    const char *text;
    int code;
  };
  const Row keywords[] = {
      {"@edit", LEX_EDIT},      {"@list", LEX_LIST},
      {"break", LEX_BREAK},     {"case", LEX_CASE},
      {"char", LEX_CHAR},       {"continue", LEX_CONTINUE},
      {"default", LEX_DEFAULT}, {"double", LEX_DOUBLE},
      {"int", LEX_INT},         {"else", LEX_ELSE},
      {"enum", LEX_ENUM},       {"extern", LEX_EXTERN},
      {"float", LEX_FLOAT},     {"for", LEX_FOR},
      {"goto", LEX_GOTO},       {"if", LEX_IF},
      {"long", LEX_LONG},       {"return", LEX_RETURN},
      {"run", LEX_RUN},         {"short", LEX_SHORT},
      {"signed", LEX_SIGNED},   {"sizeof", LEX_SIZEOF},
      {"static", LEX_STATIC},   {"struct", LEX_STRUCT},
      {"switch", LEX_SWITCH},   {"typedef", LEX_TYPEDEF},
      {"union", LEX_UNION},     {"unsigned", LEX_UNSIGNED},
      {"void", LEX_VOID},       {"while", LEX_WHILE},
  };
  for (const Row &k : keywords) {
    EXPECT_EQ(keyword_code(k.text), k.code) << k.text;
    EXPECT_STREQ(token_name(k.code), k.text);
  }
  for (const char *other :
       {"While", "WHILE", "Symbol", "Constant", "LEX_NULL", "<<", "==", "", "main", "whilex", "@edi"})
    EXPECT_EQ(keyword_code(other), 0) << other;
}
