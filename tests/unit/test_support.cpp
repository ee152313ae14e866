#include "test_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "decl/declaration.h"
#include "decl/symbols.h"
#include "platform/platform.h"
#include "platform/posix/posix_shell.h"
#include "shell/diagnostics.h"
#include "shell/modes.h"
#include "shell/startup.h"
#include "source/lexer.h"
#include "source/preprocessor.h"
#include "source/token_stream.h"

// Closes whatever the lexer and the include machinery still hold and returns them to their start.
static void reset_source() {
  preprocessor_reset();
  input_close(input_handle);
  lexer_reset();
  token_stream_reset();
}

void OxelTest::SetUp() {
  char tmpl[] = "/tmp/oxel_unit_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  dir = std::string(tmpl) + "/";

  arena_init();
  posix_set_error_policy(ON_ERROR_CONTINUE);
  trace_ = std::tmpfile();
  ASSERT_NE(trace_, nullptr);
  posix_set_trace(trace_);

  reset_source();
  symbols_reset();
  arena_top = 0;
  stack_ptr = ARENA_SIZE - 1;
  frame_base = 0;
  std::memset(arena_ptr(arena_base, ARENA_SIZE), 0, ARENA_SIZE);
  executing = false;
  trace_lex = trace_exp = trace_sym = trace_stmt = 0;
  error_count = 0;

  std::snprintf(script_path, sizeof script_path, "test.c");
  std::snprintf(script_dir, sizeof script_dir, "%s", dir.c_str());
  module_dir[0] = '\0';
}

void OxelTest::TearDown() {
  if (capturing_) captured_errors();
  reset_source();
  symbols_reset();
  executing = false;
  posix_set_trace(stderr);
  std::fclose(trace_);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

std::string OxelTest::write_file(const std::string &name, const std::string &text) {
  std::string path = dir + name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << text;
  return path;
}

void OxelTest::open_source(const std::string &text, const std::string &name) {
  input_handle = input_open(plat_open(write_file(name, text).c_str()));
  ASSERT_NE(input_handle, nullptr);
}

std::vector<Lexed> OxelTest::lex_all(const std::string &text, const std::string &name) {
  open_source(text, name);
  std::vector<Lexed> tokens;
  for (int i = 0; i < 10000; ++i) {
    Lexed t{LEX_NULL, Value{}};
    t.code = lex_token(&t.value);
    if (t.code == LEX_EOF) return tokens;
    tokens.push_back(t);
  }
  ADD_FAILURE() << "no end of input";
  return tokens;
}

void OxelTest::load(const std::string &text) {
  open_source(text);
  recording = true;
  Value v;
  for (int code = next_token(&v); code != LEX_EOF; code = next_token(&v)) {
    if (!declaration(code, &v, nullptr)) {
      ADD_FAILURE() << "not a declaration: " << token_name(code);
      break;
    }
  }
  recording = false;
}

std::string OxelTest::trace_text() {
  std::fflush(trace_);
  long end = std::ftell(trace_);
  std::string text(static_cast<size_t>(end), '\0');
  std::rewind(trace_);
  size_t n = std::fread(text.data(), 1, text.size(), trace_);
  text.resize(n);
  std::fseek(trace_, 0, SEEK_END);
  return text;
}

void OxelTest::capture_errors() {
  testing::internal::CaptureStderr();
  capturing_ = true;
}

std::string OxelTest::captured_errors() {
  capturing_ = false;
  return testing::internal::GetCapturedStderr();
}

Symbol *OxelTest::find(const char *name) {
  Symbol *sym;
  sym_find(name, &sym);
  return sym;
}

std::vector<int> codes(const std::vector<Lexed> &tokens) {
  std::vector<int> out;
  for (const Lexed &t : tokens) out.push_back(t.code);
  return out;
}
