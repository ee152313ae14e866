#include "source/token.h"

#include <cstring>

namespace {
struct TokenName {
  const char *text;
  int code;
};
}  // namespace

// ORDER: keywords first (keyword_code stops at the LEX_NULL pair), then the names that only
// token_name finds.
// clang-format off
static const TokenName token_table[] = {
    {"@edit", LEX_EDIT},     {"@list", LEX_LIST},     {"break", LEX_BREAK},
    {"case", LEX_CASE},      {"char", LEX_CHAR},      {"continue", LEX_CONTINUE},
    {"default", LEX_DEFAULT}, {"double", LEX_DOUBLE}, {"int", LEX_INT},
    {"else", LEX_ELSE},      {"enum", LEX_ENUM},      {"extern", LEX_EXTERN},
    {"float", LEX_FLOAT},    {"for", LEX_FOR},        {"goto", LEX_GOTO},
    {"if", LEX_IF},          {"long", LEX_LONG},      {"return", LEX_RETURN},
    {"run", LEX_RUN},        {"short", LEX_SHORT},    {"signed", LEX_SIGNED},
    {"sizeof", LEX_SIZEOF},  {"static", LEX_STATIC},  {"struct", LEX_STRUCT},
    {"switch", LEX_SWITCH},  {"typedef", LEX_TYPEDEF}, {"union", LEX_UNION},
    {"unsigned", LEX_UNSIGNED}, {"void", LEX_VOID},   {"while", LEX_WHILE},
    {"LEX_NULL", LEX_NULL},
    {">>", LEX_SHR},         {"<<", LEX_SHL},         {"==", LEX_EQ},
    {"!=", LEX_NE},          {">=", LEX_GE},          {"<=", LEX_LE},
    {"++", LEX_INC},         {"--", LEX_DEC},
    {"Symbol", LEX_SYMBOL},  {"Constant", LEX_CONSTANT}, {"Builtin_function", LEX_BUILTIN},
    {nullptr, 0},
};
// clang-format on
static_assert(sizeof token_table / sizeof token_table[0] == 43, "42 pairs and the terminator");

const char *token_name(int code) {
  static char fallback[2];
  for (const TokenName *t = token_table; t->text; ++t)
    if (t->code == code) return t->text;
  fallback[0] = static_cast<char>(code & 0xFF);
  fallback[1] = '\0';
  return fallback;
}

int keyword_code(const char *text) {
  // The first two characters settle most names without a call (the lexer asks for every name;
  // every keyword has two characters or more).
  for (const TokenName *t = token_table; t->code != 0; ++t)
    if (t->text[0] == text[0] && t->text[1] == text[1] && std::strcmp(t->text, text) == 0) return t->code;
  return 0;
}
