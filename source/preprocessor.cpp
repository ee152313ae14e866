#include "source/preprocessor.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/platform.h"
#include "shell/diagnostics.h"
#include "shell/startup.h"
#include "source/lexer.h"

// Buffer sizes of the directive readers.
constexpr int MACRO_NAME_BUFFER = 32;
constexpr int MACRO_BODY_BUFFER = 256;
constexpr int INCLUDE_NAME_BUFFER = 256;
constexpr int INCLUDE_PATH_BUFFER = 128;
constexpr int MACRO_BUCKETS = 101;

namespace {
struct Macro {
  Macro *next;
  char *name;
  char *body;
};

struct IncludeEntry {
  InputFile *saved_handle;
  char *name;
  int saved_line;
};
}  // namespace

static Macro *macro_table[MACRO_BUCKETS];
static IncludeEntry include_stack[MAX_INCLUDE_DEPTH];
static int include_depth = -1;

static bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
static bool is_line_end(int c) { return c == '\r' || c == '\n'; }
static bool is_space(int c) { return is_blank(c) || is_line_end(c); }

void skip_blanks() {
  int c = read_char();
  while (is_blank(c)) c = read_char();
  unread_char(c);
}

static char *heap_copy(const char *s) {
  size_t n = std::strlen(s) + 1;
  char *copy = new (std::nothrow) char[n];
  if (copy) std::memcpy(copy, s, n);
  return copy;
}

int macro_hash(const char *name) {
  std::uint32_t sum = 0;
  for (const char *p = name; *p; ++p) sum += static_cast<std::uint32_t>(static_cast<signed char>(*p));
  return static_cast<int>(sum % MACRO_BUCKETS);
}

const char *macro_lookup(const char *name) {
  for (Macro *m = macro_table[macro_hash(name)]; m; m = m->next)
    if (std::strcmp(m->name, name) == 0) return m->body;
  return nullptr;
}

int define_macro(const char *name, const char *body) {
  if (macro_lookup(name)) {
    error(MSG_REDEFINITION, name);
    return 0;
  }
  Macro *m = new (std::nothrow) Macro;
  char *name_copy = heap_copy(name);
  char *body_copy = heap_copy(body);
  if (!m || !name_copy || !body_copy) {
    error(MSG_OUT_OF_MEMORY);
    return 0;
  }
  int bucket = macro_hash(name);
  *m = {macro_table[bucket], name_copy, body_copy};
  macro_table[bucket] = m;
  return 1;
}

// Reads the rest of the line into 'buf' (cut at size-1 characters); consumes and counts the line
// end. Returns false when the line was longer than the buffer.
static bool read_line_into(char *buf, int size) {
  int len = 0;
  bool fits = true;
  int c = read_char();
  for (; c != END_OF_INPUT && !is_line_end(c); c = read_char()) {
    if (len < size - 1) buf[len++] = static_cast<char>(c);
    else fits = false;
  }
  buf[len] = '\0';
  if (is_line_end(c)) count_line(c);
  return fits;
}

int read_define() {
  skip_blanks();
  char name[MACRO_NAME_BUFFER];
  int len = 0;
  bool fits = true;
  int c = read_char();
  int first = c;
  for (; c != END_OF_INPUT && !is_space(c); c = read_char()) {
    if (len < MACRO_NAME_BUFFER - 1) name[len++] = static_cast<char>(c);
    else fits = false;
  }
  name[len] = '\0';
  if (is_line_end(c)) count_line(c);
  bool starts_right = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z') || first == '_';
  if (len == 0 || !starts_right || !fits) {
    error(MSG_INVALID_IDENTIFIER);
    return 0;
  }
  char body[MACRO_BODY_BUFFER] = "";
  // A name that ends the line has an empty body.
  if (!is_line_end(c) && c != END_OF_INPUT) {
    skip_blanks();
    if (!read_line_into(body, sizeof body)) {
      error(MSG_BAD_SYNTAX, "#define");
      return 0;
    }
  }
  return define_macro(name, body);
}

int read_include() {
  skip_blanks();
  int open = read_char();
  if (open != '"' && open != '<') {
    error(MSG_UNEXPECTED_CHARACTER, shown_char(open));
    if (is_line_end(open)) unread_char(open);
    return 0;
  }
  int close = open == '"' ? '"' : '>';
  char name[INCLUDE_NAME_BUFFER];
  int len = 0;
  bool fits = true;
  int c = read_char();
  for (; c != close && c != END_OF_INPUT && !is_line_end(c); c = read_char()) {
    if (len < INCLUDE_NAME_BUFFER - 1) name[len++] = static_cast<char>(c);
    else fits = false;
  }
  name[len] = '\0';
  if (is_line_end(c)) count_line(c);
  if (c != close) {
    error(MSG_EXPECTED, close);
    return 0;
  }
  if (!fits) {
    error(MSG_CANT_OPEN_INCLUDE, name);
    return 0;
  }
  return open_include(input_handle, name);
}

// Opens 'dir' + 'name' when the joined path fits; copies the path opened into 'path'.
static InputFile *try_open(const char *dir, const char *name, char *path) {
  int n = std::snprintf(path, INCLUDE_PATH_BUFFER, "%s%s", dir, name);
  if (n < 0 || n >= INCLUDE_PATH_BUFFER) return nullptr;
  return input_open(plat_open(path));
}

int open_include(InputFile *handle, const char *name) {
  char path[INCLUDE_PATH_BUFFER];
  InputFile *in = nullptr;
  if (include_depth + 1 < MAX_INCLUDE_DEPTH) {
    in = try_open(script_dir, name, path);
    if (!in) in = try_open("", name, path);
    if (!in) in = try_open(module_dir, name, path);
  }
  char *copy = in ? heap_copy(path) : nullptr;
  if (!copy) {
    input_close(in);
    error(MSG_CANT_OPEN_INCLUDE, name);
    return 0;
  }
  include_stack[++include_depth] = {handle, copy, line_counter};
  input_handle = in;
  line_counter = 1;
  return 1;
}

bool close_include() {
  if (include_depth < 0) return false;
  IncludeEntry &entry = include_stack[include_depth--];
  input_close(input_handle);
  delete[] entry.name;
  input_handle = entry.saved_handle;
  line_counter = entry.saved_line;
  return true;
}

char *current_file_name() { return include_depth >= 0 ? include_stack[include_depth].name : script_path; }
