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
  EXPECT_FALSE(match_find("LOGIN", match_alternatives("login", 0), false));
  EXPECT_TRUE(match_find("LOGIN", match_alternatives("login", 0), true));
  EXPECT_TRUE(match_alternatives("a||b", MATCH_ALT).empty());
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

  receive_append(b, std::string(RECEIVE_LIMIT - 4, 'x'));
  receive_append(b, "tail");
  EXPECT_EQ(b.data.size(), RECEIVE_LIMIT);
  EXPECT_EQ(b.dropped, 9u);
  EXPECT_EQ(b.data.substr(b.data.size() - 4), "tail");
  receive_append(b, std::string(RECEIVE_LIMIT + 1, 'y'));
  EXPECT_EQ(b.dropped, 9u + RECEIVE_LIMIT + 1);
  EXPECT_EQ(b.total, 17u + 2 * RECEIVE_LIMIT + 1);
  receive_consume(b, b.data.size(), "");
  EXPECT_EQ(b.consumed.size(), CONSUMED_KEEP);
}
