// The screen: received data waits to be parsed until the screen is read or worked on.
#include "screen.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {
struct ScreenTest : testing::Test {
  Screen *screen = screen_new(4, 10);
  ~ScreenTest() override { screen_free(screen); }
};
}  // namespace

TEST_F(ScreenTest, ReadingParsesWhatIsPendingInOrderWithLocalText) {
  screen_feed(*screen, "ab\x1b[6n", false);
  EXPECT_TRUE(screen_pending(*screen));
  EXPECT_EQ(screen_take_output(*screen), "");
  screen_show_local(*screen, "\x1b[5n"s + "cd");  // its answer is dropped, the remote's is kept
  EXPECT_FALSE(screen_pending(*screen));
  EXPECT_EQ(screen_take_output(*screen), "\x1b[1;3R");
  EXPECT_EQ(screen_text(*screen, 0, 0, 5), "abcd ");
  int row, column;
  screen_cursor(*screen, &row, &column);
  EXPECT_EQ(column, 4);
}

TEST_F(ScreenTest, WorkGoesInSlicesAndWideCharactersFitWhole) {
  std::string lines;
  for (int i = 0; i < 40000; ++i) lines += "line\r\n";
  screen_feed(*screen, lines + "\xe4\xb8\xad" + "x", true);
  screen_work(*screen, 1000);
  EXPECT_TRUE(screen_pending(*screen));
  EXPECT_EQ(screen_text(*screen, 3, 0, 3), "\xe4\xb8\xad");  // the wide character, not half of it
  EXPECT_EQ(screen_text(*screen, 3, 0, 2), "");
  EXPECT_EQ(screen_text(*screen, 2, 0, 13), "line      \xe4\xb8\xad");  // reading on into row 3
  EXPECT_EQ(screen_text(*screen, 2, 0, 12), "line      ");
}

TEST_F(ScreenTest, RepeatRepeatsTheCharacterBeforeTheCursorAndNeverLoops) {
  // as curses writes it, split across reads; a private CSI b and one with an intermediate are no REP
  screen_feed(*screen, "-\x1b[", false);
  screen_work(*screen, 3);
  screen_feed(*screen, "3b|\xe4\xb8\xad\x1b[9b\r\n\x1b[?2b\x1b[2 b.", false);
  EXPECT_EQ(screen_text(*screen, 0, 0, 12), "----|\xe4\xb8\xad\xe4\xb8\xad ");  // as far as the row goes
  EXPECT_EQ(screen_text(*screen, 1, 0, 2), ". ");
  // a combining mark with nothing to combine with has width 0: libvterm's own REP would not end
  screen_show_local(*screen, "\x1b[3;1H\xcc\x81\x1b[5b\x1b[4;1H\xde\xb0\x1b[b");
  EXPECT_EQ(screen_text(*screen, 2, 0, 4), "\xcc\x81  ");
}

TEST_F(ScreenTest, TextReachesTheEmulatorAsValidUtf8AndLongCsisAreCut) {
  // a C1 control in UTF-8 would have width -1; a lead byte cut by a control or a stray byte shows
  // as U+FFFD; a sequence cut by a read waits for its end
  screen_feed(*screen, "\xc2\x85" "a\xc2\r\x9b\n\xe4\xb8", false);
  screen_work(*screen, 100);
  screen_feed(*screen, "\xad" "\x1b[" + std::string(40, ';') + "3;2H", false);
  int row, column;
  screen_cursor(*screen, &row, &column);
  EXPECT_EQ(screen_text(*screen, 0, 0, 7), "\xef\xbf\xbd" "a\xef\xbf\xbd");
  EXPECT_EQ(screen_text(*screen, 1, 0, 4), " \xe4\xb8\xad");
  EXPECT_EQ(row * 100 + column, 0);  // past the 16th argument separators are dropped: no row, no column
}
