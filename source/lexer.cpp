#include "source/lexer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "builtins/builtin_table.h"
#include "decl/symbols.h"
#include "platform/platform.h"
#include "shell/diagnostics.h"
#include "shell/driver.h"
#include "shell/startup.h"
#include "source/preprocessor.h"
#include "source/token.h"

// Source files are read through a buffer of this size.
constexpr int INPUT_BUFFER = 4096;
// Characters that can be pushed back (macro bodies and look-ahead).
constexpr int PUSHBACK_SIZE = 1000;
// Longest name (the identifier buffer holds 128 bytes).
constexpr int MAX_NAME = 127;
// Longest string constant before its NUL.
constexpr int MAX_STRING = 255;

struct InputFile {
  PlatFile *file;
  unsigned char buf[INPUT_BUFFER];
  int pos;
  int len;
};

InputFile *input_handle = nullptr;
int line_counter = 1;
bool line_end_tokens = false;

// Each pushed-back character carries the macro expansion it comes from (0: the source itself).
static int pushback[PUSHBACK_SIZE];
static int pushback_ctx[PUSHBACK_SIZE];
static int pushback_top = -1;
static int read_ctx = 0;  // expansion of the character read last
static bool operand_ended = false;
static bool directive_allowed = true;
static bool after_cr = false;         // the last line end counted was a CR
static bool case_label_open = false;  // "case" read, its ":" not yet
static int pending_line_end = 0;      // a line-end token delivered but not counted yet

// One expansion of a macro, inside the expansion that the macro's name came from. A name read
// from a body is not expanded again inside an expansion of itself, so no macro recurses.
struct Expansion {
  const char *body;  // identifies the macro
  int parent;
};
static std::vector<Expansion> expansions{{nullptr, 0}};

// The string constants' type: pointer to this char link.
static TypeDesc char_type{TY_CHAR, nullptr, 0};

InputFile *input_open(PlatFile *file) {
  if (!file) return nullptr;
  InputFile *in = new InputFile;
  in->file = file;
  in->pos = in->len = 0;
  return in;
}

void input_close(InputFile *in) {
  if (!in) return;
  plat_close(in->file);
  delete in;
}

int read_char() {
  if (pushback_top >= 0) {
    read_ctx = pushback_ctx[pushback_top];
    return pushback[pushback_top--];
  }
  read_ctx = 0;
  InputFile *in = input_handle;
  if (!in) return END_OF_INPUT;
  if (in->pos == in->len) {
    int n = plat_read(in->file, in->buf, INPUT_BUFFER);
    in->pos = 0;
    in->len = n > 0 ? n : 0;
    if (in->len == 0) return END_OF_INPUT;
  }
  return static_cast<signed char>(in->buf[in->pos++]);
}

// Pushes back the character read last. The end of the input need not be pushed back: reading
// on gives it again.
void unread_char(int c) {
  if (c == END_OF_INPUT || pushback_top + 1 >= PUSHBACK_SIZE) return;
  ++pushback_top;
  pushback[pushback_top] = c;
  pushback_ctx[pushback_top] = read_ctx;
}

static bool unread_text_in(const char *text, int ctx) {
  int len = static_cast<int>(std::strlen(text));
  if (pushback_top + 1 + len > PUSHBACK_SIZE) return false;
  for (int i = len - 1; i >= 0; --i) {
    ++pushback_top;
    pushback[pushback_top] = static_cast<signed char>(text[i]);
    pushback_ctx[pushback_top] = ctx;
  }
  return true;
}

bool unread_text(const char *text) { return unread_text_in(text, read_ctx); }

void count_line(int c) {
  pump_messages();
  // A line feed that follows a carriage return completes its line end; a lone one is a whole one.
  if (c == '\n') line_counter += after_cr ? 1 : 2;
  else line_counter += 1;
  after_cr = (c == '\r');
  pump_messages();
}

static bool is_digit(int c) { return c >= '0' && c <= '9'; }
static bool is_letter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
static bool is_hex_digit(int c) { return is_digit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
static int hex_value(int c) {
  if (is_digit(c)) return c - '0';
  return (c & ~0x20) - 55;
}
static bool is_octal_digit(int c) { return c >= '0' && c <= '7'; }

int read_escape(int c) {
  if (c != '\\') return c;
  int d = read_char();
  switch (d) {
  case '"': return 34;
  case '\'': return 39;
  case '\\': return 92;
  case 'a': return 7;
  case 'b': return 8;
  case 'c': return 3;
  case 'e': return 27;
  case 'f': return 12;
  case 'n': return 10;
  case 'r': return 13;
  case 't': return 9;
  case 'v': return 11;
  case 'x': {
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      int h = read_char();
      if (!is_hex_digit(h)) {
        unread_char(h);
        break;
      }
      value = value * 16 + hex_value(h);
    }
    return value;
  }
  default: break;
  }
  if (is_octal_digit(d)) {
    int value = d - '0';
    for (int i = 0; i < 2; ++i) {
      int o = read_char();
      if (!is_octal_digit(o)) {
        unread_char(o);
        break;
      }
      value = value * 8 + (o - '0');
    }
    return value;
  }
  // The character after the backslash is dropped; a line end still counts.
  if (d == '\r' || d == '\n') count_line(d);
  return 92;
}

// What the scanning steps return when they deliver no token and scanning goes on.
constexpr int NO_TOKEN = -1000;

// The common exit: the character itself is the token.
static int deliver(int c) {
  directive_allowed = false;
  return c;
}

static void set_int(Value *value, int type, std::int32_t i) {
  value->type = type;
  value->next = nullptr;
  value->aux = 0;
  value->imm.i = i;
}

// A floating constant's text beyond the double range: whether its value is 1 or more (it is then
// too large, else too small). 'text' is digits, '.', digits, then 'e', a sign and digits.
static bool beyond_one(const std::string &text) {
  std::size_t i = text.find_first_not_of("0.");
  std::size_t point = text.find('.');
  std::size_t mark = text.find_first_of("eE");
  if (point == std::string::npos || point > mark) point = mark;
  if (i == std::string::npos || i >= mark) return false;  // a mantissa of zeros
  // The decimal exponent of the first significant digit, before the written exponent.
  long long magnitude =
      i < point ? static_cast<long long>(point - i) - 1 : -static_cast<long long>(i - point);
  long long e = 0;
  bool negative = mark + 1 < text.size() && text[mark + 1] == '-';
  for (std::size_t k = mark + 1; k < text.size(); ++k)
    if (is_digit(text[k]) && e < 1000000000) e = e * 10 + (text[k] - '0');
  return magnitude + (negative ? -e : e) >= 0;
}

// A floating constant is the double nearest its decimal value, as C reads it; the conversion is
// the C++ library's, which no locale changes (a C locale with another decimal point would make
// strtod stop at the '.'), so that every platform gives the same double.
static double floating_value(const std::string &text) {
  double d = 0.0;
  std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), d);
  if (r.ec == std::errc::result_out_of_range) return beyond_one(text) ? HUGE_VAL : 0.0;
  return d;
}

static int floating_constant(Value *value, const std::string &text, int c) {
  unread_char(c);
  value->type = TY_DOUBLE;
  value->next = nullptr;
  value->aux = 0;
  value->imm.d = floating_value(text);
  operand_ended = true;
  return LEX_CONSTANT;
}

// The fraction and exponent of a floating constant whose digits so far are 'text': 'c' is the
// character after the '.', or the 'e' of a constant without one. The exponent takes a sign;
// without digits after it, it is empty, so 1e is 1.0.
static int read_fraction(Value *value, std::string text, int c) {
  text += '.';
  for (; is_digit(c); c = read_char()) text += static_cast<char>(c);
  if (c != 'e' && c != 'E') return floating_constant(value, text, c);
  text += 'e';
  c = read_char();
  if (c == '-' || c == '+') {
    text += static_cast<char>(c);
    c = read_char();
  }
  for (; is_digit(c); c = read_char()) text += static_cast<char>(c);
  return floating_constant(value, text, c);
}

// An integer constant wraps modulo 2 to the 32nd.
static std::int32_t low_word(double m) {
  if (!std::isfinite(m)) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::fmod(m, 4294967296.0)));
}

static int integer_constant(Value *value, double m, int c) {
  int type = TY_INT;
  if (c == 'L' || c == 'l') type = TY_LONG;
  else unread_char(c);
  set_int(value, type, low_word(m));
  operand_ended = true;
  return LEX_CONSTANT;
}

// An integer constant with a leading 0 is octal (digits 8 and 9 count with their face value);
// the integer part of a floating constant is decimal, whatever its first digit.
static int read_number(Value *value, int first) {
  double m = first - '0';
  int base = 10;
  int c = read_char();
  if (first == '0') {
    if (c == 'x' || c == 'X') {
      for (c = read_char(); is_hex_digit(c); c = read_char()) m = m * 16 + hex_value(c);
      return integer_constant(value, m, c);
    }
    base = 8;
  }
  std::string digits(1, static_cast<char>(first));
  for (; is_digit(c); c = read_char()) {
    m = base * m + (c - '0');
    digits += static_cast<char>(c);
  }
  if (c == '.') return read_fraction(value, digits, read_char());
  if (c == 'e' || c == 'E') return read_fraction(value, digits, c);
  return integer_constant(value, m, c);
}

static int read_string(Value *value) {
  char buf[MAX_STRING + 1];
  int len = 0;
  bool too_long = false;
  for (int c = read_char(); c != '"' && c != END_OF_INPUT; c = read_char()) {
    if (c == '\r' || c == '\n') count_line(c);
    int byte = read_escape(c);
    if (len < MAX_STRING) buf[len++] = static_cast<char>(byte);
    else too_long = true;
  }
  if (too_long) error(MSG_BAD_SYNTAX, token_name(LEX_CONSTANT));
  buf[len++] = '\0';
  std::uint32_t addr = arena_alloc(len);
  std::uint8_t *dest = arena_ptr(addr, len);
  if (dest) std::memcpy(dest, buf, len);
  value->type = TY_PTR;
  value->next = &char_type;
  value->aux = len;
  value->imm.i = static_cast<std::int32_t>(addr);
  operand_ended = true;
  return LEX_CONSTANT;
}

static int read_char_constant(Value *value) {
  int c = read_char();
  int v = c == END_OF_INPUT ? 0 : read_escape(c);
  int close = read_char();
  if (close != '\'') {
    error(MSG_EXPECTED, '\'');
    if (close == '\r' || close == '\n' || close == END_OF_INPUT) unread_char(close);
  }
  set_int(value, TY_INT, v);
  operand_ended = true;
  return LEX_CONSTANT;
}

// Skips a block comment after "/*"; false when the input ends inside it.
static bool skip_comment() {
  int prev = 0;
  for (;;) {
    int c = read_char();
    if (c == END_OF_INPUT) return false;
    if (c == '\r' || c == '\n') {
      count_line(c);
      directive_allowed = true;
    }
    if (prev == '*' && c == '/') return true;
    prev = c;
  }
}

// Whether the macro with 'body' is being expanded in expansion 'ctx' or around it.
static bool expanding(const char *body, int ctx) {
  for (; ctx != 0; ctx = expansions[ctx].parent)
    if (expansions[ctx].body == body) return true;
  return false;
}

// Pushes the body of macro 'name' back, for a name read in expansion 'ctx'. False, after a report,
// when the macro leads back to itself or its body does not fit; the name is then an ordinary name.
static bool expand_macro(const char *name, const char *body, int ctx) {
  if (expanding(body, ctx)) {
    error(MSG_BAD_SYNTAX, name);
    return false;
  }
  int id = static_cast<int>(expansions.size());
  if (!unread_text_in(body, id)) {
    error(MSG_OUT_OF_MEMORY);
    return false;
  }
  expansions.push_back({body, ctx});
  return true;
}

static int symbol_token(Value *value, const char *name, bool before_colon) {
  value->type = TY_PTR;
  RestoreStg stg;
  if (before_colon && !case_label_open) set_cur_stg(STG_LABEL);
  Symbol *sym;
  if (!sym_find(name, &sym)) sym = sym_enter(name);
  value->imm.sym = sym;
  return LEX_SYMBOL;
}

// Reads a name starting with 'first'; NO_TOKEN when it was a macro whose body was pushed back.
static int read_name(Value *value, int first) {
  int ctx = read_ctx;  // the expansion the first character came from
  char name[MAX_NAME + 1];
  int len = 0;
  bool too_long = false;
  int c = first;
  do {
    if (len < MAX_NAME) name[len++] = static_cast<char>(c);
    else too_long = true;
    c = read_char();
  } while (is_letter(c) || is_digit(c) || c == '_');
  name[len] = '\0';
  bool before_colon = (c == ':');
  unread_char(c);
  if (too_long) error(MSG_INVALID_IDENTIFIER);
  if (const char *body = macro_lookup(name)) {
    if (expand_macro(name, body, ctx)) return NO_TOKEN;
  }
  if (int code = keyword_code(name)) {
    operand_ended = false;
    if (code == LEX_CASE) case_label_open = true;
    return code;
  }
  operand_ended = true;
  if (builtin_lookup(name, value)) return LEX_BUILTIN;
  return symbol_token(value, name, before_colon);
}

static int read_directive() {
  char word[MAX_NAME + 1] = "#";
  int len = 1;
  int c = read_char();
  for (; is_letter(c); c = read_char())
    if (len < MAX_NAME) word[len++] = static_cast<char>(c);
  word[len] = '\0';
  unread_char(c);
  int ok;
  int line_before = line_counter;
  if (std::strcmp(word, "#define") == 0) ok = read_define();
  else if (std::strcmp(word, "#include") == 0) ok = read_include();
  else {
    error(MSG_BAD_SYNTAX, word);
    ok = 0;
  }
  // After a failed directive the rest of its line is read as ordinary source; a reader that
  // consumed the line end leaves the next line free to start with a directive.
  if (!ok && line_counter == line_before) directive_allowed = false;
  return NO_TOKEN;
}

// 'c' followed by 'second' gives 'code'; otherwise 'c' itself.
static int pair(int c, int second, int code) {
  int d = read_char();
  if (d == second) return code;
  unread_char(d);
  return deliver(c);
}

int shown_char(int c) { return c == '\r' || c == '\n' || c == 0 || c == END_OF_INPUT ? ' ' : c; }

static int unexpected(int c) {
  error(MSG_UNEXPECTED_CHARACTER, shown_char(c));
  // Bytes 0 to 8 would read as the codes of real tokens; they are dropped after the report.
  if (c >= 0 && c <= 8) return NO_TOKEN;
  return deliver(c);
}

static int end_of_input() {
  if (close_include()) return NO_TOKEN;
  input_close(input_handle);
  input_handle = open_next_source();
  return LEX_EOF;
}

static int punctuation(int c) {
  switch (c) {
  case ':': case_label_open = false; [[fallthrough]];
  case '(':
  case ',':
  case ';':
  case '[':
  case '^':
  case '{':
  case '}': operand_ended = false; return deliver(c);
  case ')':
  case ']': operand_ended = true; return deliver(c);
  case '&': {
    int d = read_char();
    if (d == '&') return LEX_ANDAND;
    unread_char(d);
    return operand_ended ? deliver('&') : LEX_ADDR;
  }
  case '*': return operand_ended ? deliver('*') : LEX_DEREF;
  case '+': return pair('+', '+', LEX_INC);
  case '-': {
    int d = read_char();
    if (d == '-') return LEX_DEC;
    if (d == '>') return LEX_ARROW;
    unread_char(d);
    return deliver('-');
  }
  case '<':
  case '>': {
    operand_ended = false;
    int d = read_char();
    if (d == '=') return c == '<' ? LEX_LE : LEX_GE;
    if (d == c) return c == '<' ? LEX_SHL : LEX_SHR;
    unread_char(d);
    return deliver(c);
  }
  case '=': operand_ended = false; return pair('=', '=', LEX_EQ);
  case '|': return pair('|', '|', LEX_OROR);
  default: return unexpected(c);
  }
}

// One scanning step for the character 'c' that is neither a digit, a letter nor a '.'.
static int lex_char(Value *value, int c) {
  switch (c) {
  case ' ':
  case '\t': return NO_TOKEN;
  case '\n':
  case '\r':
    directive_allowed = true;
    if (!line_end_tokens) {
      count_line(c);
      return NO_TOKEN;
    }
    // A line end delivered as a token is counted when the next token is read, so that whatever
    // its expression still reports names the expression's own line.
    pending_line_end = c;
    operand_ended = false;
    return c;
  case '!': operand_ended = false; return pair('!', '=', LEX_NE);
  case '"': return read_string(value);
  case '\'': return read_char_constant(value);
  case '#':
    if (directive_allowed) return read_directive();
    error(MSG_UNEXPECTED_CHARACTER, '#');
    return deliver('#');
  case '/': {
    int d = read_char();
    if (d != '*') {
      unread_char(d);
      return deliver('/');
    }
    // A comment the input ends in is reported; scanning then meets the end of the input.
    if (!skip_comment()) error(MSG_UNEXPECTED_EOF);
    return NO_TOKEN;
  }
  case END_OF_INPUT: return end_of_input();
  default: return punctuation(c);
  }
}

int lex_token(Value *value) {
  if (pending_line_end) {
    count_line(pending_line_end);
    pending_line_end = 0;
  }
  for (;;) {
    int c = read_char();
    int code;
    if (c == '.') {
      int d = read_char();
      unread_char(d);
      if (is_digit(d)) return read_fraction(value, "0", read_char());
      return '.';
    }
    if (is_digit(c)) code = read_number(value, c);
    else if (is_letter(c) || c == '_' || c == '@') code = read_name(value, c);
    else code = lex_char(value, c);
    if (code != NO_TOKEN) return code;
  }
}
