// Start-up and diagnostics: the host command line, the start paths, the error line with its file
// name and line number, and the line ends of trace output.
#include "shell/startup.h"

#include <cstring>
#include <string>
#include <vector>

#include "shell/diagnostics.h"
#include "source/lexer.h"
#include "test_support.h"

TEST(CommandLine, ScriptPathAfterTheBrackets) {
  struct Row {
    std::string line;
    CommandLineResult result;
    std::string path;
  };
  const Row rows[] = {
      {"[x] C:\\dir\\s.c", CMDLINE_OK, "C:\\dir\\s.c"},
      {"[x] /dir/s.c", CMDLINE_OK, "/dir/s.c"},
      {"[]s.c", CMDLINE_OK, "s.c"},
      {"[a] b] c.c", CMDLINE_OK, "b] c.c"},
      {"x] [y]   s.c  ", CMDLINE_OK, "s.c  "},  // trailing blanks are kept
      {"[x]\tt.c", CMDLINE_OK, "\tt.c"},        // only spaces are skipped
      {"[x] \"q r.c\"", CMDLINE_OK, "\"q r.c\""},
      {"[x]", CMDLINE_OK, ""},
      {"[x] " + std::string(255, 'p'), CMDLINE_OK, std::string(255, 'p')},
      {"[x] " + std::string(256, 'p'), CMDLINE_PATH_TOO_LONG, ""},
      {"x.c", CMDLINE_NO_BRACKETS, ""},
      {"[x x.c", CMDLINE_NO_BRACKETS, ""},
      {"]x[ x.c", CMDLINE_NO_BRACKETS, ""},
  };
  for (const Row &row : rows) {
    char path[PATH_BUFFER];
    std::memset(path, 'z', sizeof path);
    EXPECT_EQ(parse_command_line(row.line.c_str(), path), row.result) << row.line;
    if (row.result != CMDLINE_PATH_TOO_LONG) {
      EXPECT_EQ(std::string(path), row.path) << row.line;
    }
  }
}

class Diagnostics : public OxelTest {};

TEST_F(Diagnostics, StartPaths) {
  set_start_paths("/dir/sub/s.c");
  EXPECT_STREQ(script_path, "/dir/sub/s.c");
  EXPECT_STREQ(script_dir, "/dir/sub/");
  std::string module = module_dir;
  ASSERT_FALSE(module.empty());
  EXPECT_EQ(module.back(), '/');
  set_start_paths("s.c");
  EXPECT_STREQ(script_path, "s.c");
  EXPECT_STREQ(script_dir, "");
}

TEST_F(Diagnostics, ErrorLineShowsFileAndLine) {
  std::snprintf(script_path, sizeof script_path, "Dir/Logon.C");
  capture_errors();
  for (int counter : {1, 3, 4, 23}) {
    line_counter = counter;
    EXPECT_EQ(error(MSG_EXPECTED, '}'), 1);
  }
  error(MSG_BAD_SYNTAX, std::string(300, 'x').c_str());
  std::vector<std::string> lines;
  std::string errors = captured_errors();
  for (size_t pos = 0, end; (end = errors.find('\n', pos)) != std::string::npos; pos = end + 1)
    lines.push_back(errors.substr(pos, end - pos));
  ASSERT_EQ(lines.size(), 5u);
  const std::string prefix = "C Interpreter Error: Dir/Logon.C (";
  int shown[] = {1, 2, 3, 12};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(lines[i], prefix + std::to_string(shown[i]) + ") : error 500 : Expected '}'");
  // An over-long message is cut to the message buffer.
  EXPECT_EQ(lines[4].rfind(prefix + "12) : error 200 : Bad syntax 'xxx", 0), 0u);
  EXPECT_LE(lines[4].size(), std::string("C Interpreter Error: ").size() + 255);
  EXPECT_EQ(error_count, 5);
  EXPECT_STREQ(script_path, "Dir/Logon.C");  // shown and kept as given
}

TEST_F(Diagnostics, TraceLineEnds) {
  trace_printf("abc\n");
  trace_printf("|");
  trace_printf("a\nb");
  trace_printf("%s", "");
  trace_printf("|");
  trace_printf("%d items\n", 3);
  trace_message(MSG_SKIPPING_TOKEN, "x");
  EXPECT_EQ(trace_text(), "abc\r\n|a\nb|3 items\r\nSkipping token x\r\n");
}

TEST_F(Diagnostics, OverlongTraceTextIsCut) {
  trace_printf("%s\n", std::string(253, 't').c_str());
  EXPECT_EQ(trace_text(), std::string(253, 't') + "\r\n");
  trace_printf("%s\n", std::string(400, 'u').c_str());
  std::string text = trace_text().substr(255);
  EXPECT_LE(text.size(), 255u);
  EXPECT_EQ(text.substr(0, 10), std::string(10, 'u'));
}
