// The token stream: recording into the TokenList, replay, push-back, seek and skip.
#include "source/token_stream.h"

#include <string>
#include <vector>

#include "shell/modes.h"
#include "source/lexer.h"
#include "test_support.h"

class TokenStream : public OxelTest {
protected:
  // The last Token of the list (the list is never emptied between tests).
  static Token *tail() {
    Token *t = token_list_head();
    while (t && t->link) t = t->link;
    return t;
  }

  // Records every token of 'text' as the driver does; returns the first Token recorded.
  Token *record(const std::string &text) {
    Token *before = tail();
    open_source(text);
    recording = true;
    Value v;
    while (next_token(&v) != LEX_EOF) {
    }
    recording = false;
    return before ? before->link : token_list_head();
  }

  static std::vector<int> list_codes(const Token *t) {
    std::vector<int> out;
    for (; t; t = t->link) out.push_back(t->code);
    return out;
  }

  static Value marked(int spare) {
    Value v;
    v.spare = spare;
    return v;
  }
};

TEST_F(TokenStream, ReplayCopiesOnlyTheValuesOfSomeCodes) {
  Token *first = record("if\n(x)\nwhile for 5 strlen { ; return switch");
  const std::vector<int> expected{LEX_IF,       '(',         LEX_SYMBOL, ')', LEX_WHILE,  LEX_FOR,
                                  LEX_CONSTANT, LEX_BUILTIN, '{',        ';', LEX_RETURN, LEX_SWITCH};
  ASSERT_EQ(list_codes(first), expected);
  for (Token *t = first; t; t = t->link) t->value.spare = 99;

  replaying = true;
  seek_token(first);
  EXPECT_EQ(current_code(), LEX_NULL);
  for (int code : expected) {
    Value v = marked(7);
    line_counter = 1000;
    ASSERT_EQ(next_token(&v), code);
    bool copies = code == LEX_SYMBOL || code == LEX_CONSTANT || code == LEX_BUILTIN || code == LEX_IF ||
                  code == LEX_FOR || code == LEX_WHILE;
    EXPECT_EQ(v.spare, copies ? 99 : 7) << token_name(code);
    EXPECT_EQ(line_counter, tell_token()->line);
    EXPECT_EQ(current_code(), code);
  }
  EXPECT_EQ(first->line, 1);
  EXPECT_EQ(first->link->line, 3);  // "(" follows the first LF
  EXPECT_EQ(tail()->line, 5);

  // Past the end of the list: LEX_NULL on every call, nothing changed.
  Token *last = tell_token();
  for (int i = 0; i < 3; ++i) {
    Value v = marked(7);
    EXPECT_EQ(next_token(&v), LEX_NULL);
    EXPECT_EQ(v.spare, 7);
    EXPECT_EQ(tell_token(), last);
  }
}

TEST_F(TokenStream, DriverCommandsAndEndOfFileAreNeverRecorded) {
  Token *first = record("a @list run b");
  EXPECT_EQ(list_codes(first), (std::vector<int>{LEX_SYMBOL, LEX_SYMBOL}));
  Value v;
  Token *end = tail();
  for (int code : {LEX_LIST, LEX_RUN, LEX_EOF}) record_token(code, &v);
  EXPECT_EQ(tail(), end);
  record_token(LEX_FUNC_END, &v);
  ASSERT_NE(tail(), end);
  EXPECT_EQ(tail()->code, LEX_FUNC_END);
  EXPECT_EQ(tell_token(), tail());
}

TEST_F(TokenStream, UngetWhileRecording) {
  Token *before = tail();
  open_source("a 12 ;");
  recording = true;
  Value v;
  ASSERT_EQ(next_token(&v), LEX_SYMBOL);
  Token *a = tell_token();
  ASSERT_EQ(next_token(&v), LEX_CONSTANT);
  Token *twelve = tell_token();
  unget_token();
  EXPECT_EQ(tell_token(), a);
  Value again;
  EXPECT_EQ(next_token(&again), LEX_CONSTANT);
  EXPECT_EQ(again.imm.i, 12);
  EXPECT_EQ(tell_token(), twelve);
  EXPECT_EQ(next_token(&v), ';');
  recording = false;
  // The pushed-back token was not recorded twice.
  EXPECT_EQ(list_codes(before ? before->link : token_list_head()),
            (std::vector<int>{LEX_SYMBOL, LEX_CONSTANT, ';'}));
}

TEST_F(TokenStream, TokensReadWithoutRecordingArePushedBackByValue) {
  Token *end = tail();
  open_source("x 2.5 (");
  Value v;
  ASSERT_EQ(next_token(&v), LEX_SYMBOL);
  Symbol *x = v.imm.sym;
  unget_token();
  Value again;
  EXPECT_EQ(next_token(&again), LEX_SYMBOL);
  EXPECT_EQ(again.imm.sym, x);
  ASSERT_EQ(next_token(&v), LEX_CONSTANT);
  unget_token();
  EXPECT_EQ(next_token(&again), LEX_CONSTANT);
  EXPECT_DOUBLE_EQ(again.imm.d, 2.5);
  EXPECT_EQ(again.type, TY_DOUBLE);
  EXPECT_EQ(next_token(&v), '(');
  EXPECT_EQ(tail(), end);
}

TEST_F(TokenStream, UngetWhileReplayingResumesAtTheCursor) {
  Token *first = record("a 1 b 2");
  replaying = true;
  seek_token(first);
  Value v;
  ASSERT_EQ(next_token(&v), LEX_SYMBOL);
  ASSERT_EQ(next_token(&v), LEX_CONSTANT);
  unget_token();
  Value again = marked(7);
  EXPECT_EQ(next_token(&again), LEX_CONSTANT);
  EXPECT_EQ(again.imm.i, 1);
  EXPECT_EQ(tell_token(), first->link);
  EXPECT_EQ(next_token(&v), LEX_SYMBOL);
  EXPECT_STREQ(v.imm.sym->name, "b");
  EXPECT_EQ(next_token(&v), LEX_CONSTANT);
  EXPECT_EQ(v.imm.i, 2);
}

TEST_F(TokenStream, SeekTellAndSkip) {
  Token *first = record("( x ) ;");
  replaying = true;
  Token *x = first->link;
  seek_token(x);
  EXPECT_EQ(tell_token(), x);
  EXPECT_EQ(replay_cursor(), x);
  Value v;
  EXPECT_EQ(next_token(&v), LEX_SYMBOL);
  EXPECT_EQ(tell_token(), x);

  // skip_token passes over ')' without a value and without moving line_counter.
  trace_lex = 1;
  line_counter = 77;
  Value untouched = marked(5);
  skip_token();
  EXPECT_EQ(current_code(), ')');
  EXPECT_EQ(tell_token(), x->link);
  EXPECT_EQ(line_counter, 77);
  EXPECT_EQ(untouched.spare, 5);
  EXPECT_EQ(trace_text(), "Skipping token )\r\n");
  EXPECT_EQ(next_token(&v), ';');
}
