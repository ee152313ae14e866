// exit(N): the process ends with status N after the script's open streams are flushed and closed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "builtins/builtin_table.h"
#include "builtins/clib_adapters.h"
#include "eval/value.h"

namespace {

std::string file_text(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::int32_t put(int offset, const std::string &text) {
  std::memcpy(arena_ptr(arena_base + offset, text.size() + 1), text.c_str(), text.size() + 1);
  return static_cast<std::int32_t>(arena_base + offset);
}

// Opens 'path' for writing, writes 'text' without closing, then calls exit(status).
void write_and_exit(const std::string &path, const char *text, int status) {
  arena_init();
  std::int32_t open_words[BUILTIN_WORDS] = {put(0, path), put(1000, "w")};
  std::int32_t handle = bi_fopen(open_words).i;
  std::int32_t put_words[BUILTIN_WORDS] = {put(1100, text), handle};
  bi_fputs(put_words);
  std::int32_t exit_words[BUILTIN_WORDS] = {status};
  bi_exit(exit_words);
}

TEST(ClibExitDeathTest, EndsWithTheStatusAfterFlushingOpenStreams) {
  std::string path =
      (std::filesystem::temp_directory_path() / ("oxel_exit_" + std::to_string(::getpid()))).string();
  EXPECT_EXIT(write_and_exit(path, "kept in the buffer", 7), ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(file_text(path), "kept in the buffer");
  EXPECT_EXIT(write_and_exit(path, "again", 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(file_text(path), "again");
  std::filesystem::remove(path);
}

}  // namespace
