// The receive buffer and the searches of the waits.
#include "matcher.h"

#include <gtest/gtest.h>

TEST(Matcher, TextAnywhereTheEarliestEndWins) {
  std::vector<std::string> alts = match_alternatives("login:|ogin|$ ", MATCH_ALT);
  ASSERT_EQ(alts.size(), 3u);
  auto m = match_find("xx login: ", alts, false);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->index, 1);  // "ogin" is complete before "login:"
  EXPECT_EQ(m->end, 8u);
  EXPECT_EQ(match_alternatives("a|b", 0).size(), 1u);
}

TEST(Matcher, PromptsEndTheData) {
  std::vector<std::string> alts = match_alternatives(" |$ ", MATCH_ALT);
  auto m = match_suffix("user$ ", alts, false);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->index, 1);  // the longer of two that both end the data
  EXPECT_FALSE(match_suffix("$ x", alts, false));
}

TEST(Matcher, PiecesConsumeAndOverflow) {
  ReceiveBuffer b;
  std::vector<std::string> alts = match_alternatives("prompt", 0);
  receive_append(b, "a pro");
  EXPECT_FALSE(match_find(b.data, alts, false));
  receive_append(b, "mpt and more");
  auto m = match_find(b.data, alts, false);
  ASSERT_TRUE(m);
  receive_consume(b, m->end, "prompt");
  EXPECT_EQ(b.data, " and more");
  EXPECT_EQ(b.consumed, "a prompt");
  EXPECT_EQ(match_lines("one\ntwo\nthr", 2), 8u);
  EXPECT_EQ(match_lines("one\ntwo\nthr", 3), std::string::npos);

  receive_append(b, std::string(RECEIVE_LIMIT + 1, 'y'));  // more than it holds, in one piece
  EXPECT_EQ(b.data, std::string(RECEIVE_LIMIT, 'y'));
  EXPECT_EQ(b.dropped, 10u);
  EXPECT_EQ(b.total, 18u + RECEIVE_LIMIT);
  receive_consume(b, b.data.size(), "");
  EXPECT_EQ(b.consumed.size(), CONSUMED_KEEP);
}
