// The telnet codec and the text filter of captures: byte streams cut anywhere.
#include <gtest/gtest.h>

#include "capture_log.h"
#include "session.h"
#include "telnet.h"

using namespace std::string_literals;

namespace {
const std::string IAC = "\xff", DO = "\xfd", DONT = "\xfe", WILL = "\xfb", WONT = "\xfc", SB = "\xfa",
                  SE = "\xf0";
const std::string TTYPE = "\x18", NAWS = "\x1f", ECHO_ = "\x01", LINEMODE = "\x22", BINARY = "\x00"s;

// The data and the reply of decoding 'in' as if every byte came in a read of its own.
std::pair<std::string, std::string> decode_bytewise(Telnet &t, const std::string &in) {
  std::string data, reply;
  for (char c : in) telnet_decode(t, std::string(1, c), data, reply);
  return {data, reply};
}
}  // namespace

TEST(Telnet, NvtDataDropsTheNulAfterCrBinaryDataKeepsEveryByte) {
  Telnet t;
  EXPECT_EQ(decode_bytewise(t, "x\xff\xffy\r\0z\r\nq\0"s).first, "x\xffy\rz\r\nq\0"s);
  // BINARY is per direction: our agreeing to send binary leaves their data NVT
  EXPECT_EQ(decode_bytewise(t, IAC + DO + BINARY + "A\r\0B"s), std::pair("A\rB"s, IAC + WILL + BINARY));
  EXPECT_EQ(
      decode_bytewise(t, IAC + WILL + BINARY + "A\r\0B\n\r\n\xff\xff\r"s + IAC + WONT + BINARY + "\0C\r\0"s),
      std::pair("A\r\0B\n\r\n\xff\r\0C\r"s, IAC + DO + BINARY + IAC + DONT + BINARY));
}

TEST(Telnet, WhatGoesOutFollowsOurModeNvtThenBinary) {
  Session s;
  s.telnet_on = true;
  EXPECT_EQ(session_line_end(s), "\r\n");  // the default on a telnet session
  EXPECT_EQ(telnet_encode(s.telnet, "a\rb\r\n\xff\r"), "a\r\0b\r\n\xff\xff\r\0"s);
  std::string data, reply;
  telnet_decode(s.telnet, IAC + DO + BINARY, data, reply);
  EXPECT_EQ(session_line_end(s), "\r");
  EXPECT_EQ(telnet_encode(s.telnet, "a\rb\r\n\xff\r"), "a\rb\r\n\xff\xff\r");
  s.settings.set("LineEnd", "crlf");
  EXPECT_EQ(session_line_end(s), "\r\n");
}

TEST(Telnet, EchoIsAgreedOnlyWhileTheSessionEchoesAndAnswersToOurQuestionsGetNoReply) {
  Telnet t;
  EXPECT_EQ(decode_bytewise(t, IAC + DO + ECHO_).second, IAC + WONT + ECHO_);
  t.echo = true;
  EXPECT_EQ(telnet_ask(t, ECHO_[0], false, true), IAC + WILL + ECHO_);
  EXPECT_EQ(telnet_ask(t, ECHO_[0], false, true), "");  // on already
  EXPECT_EQ(decode_bytewise(t, IAC + DO + ECHO_ + IAC + DO + ECHO_).second, "");
  EXPECT_TRUE(telnet_ours(t, ECHO_[0]));
  EXPECT_EQ(telnet_ask(t, BINARY[0], true, true), IAC + DO + BINARY);
  EXPECT_EQ(decode_bytewise(t, IAC + WONT + BINARY).second, "");  // refused: no reply, not on
  EXPECT_FALSE(telnet_theirs(t, BINARY[0]));
}

TEST(Telnet, AgreesOnceToWhatItKnowsAndRefusesTheRest) {
  Telnet t;
  t.terminal = "vt100", t.rows = 30, t.columns = 255;
  EXPECT_EQ(decode_bytewise(t, IAC + DO + TTYPE + IAC + DO + TTYPE + IAC + DO + LINEMODE + IAC + WILL +
                                   ECHO_ + IAC + WILL + LINEMODE + "ok"),
            std::pair("ok"s,
                      IAC + WILL + TTYPE + IAC + WONT + LINEMODE + IAC + DO + ECHO_ + IAC + DONT + LINEMODE));
  // the width 255 is doubled inside the subnegotiation
  EXPECT_EQ(decode_bytewise(t, IAC + SB + TTYPE + "\x01" + IAC + SE + IAC + DO + NAWS).second,
            IAC + SB + TTYPE + "\x00"s + "vt100" + IAC + SE + IAC + WILL + NAWS + IAC + SB + NAWS +
                "\x00\xff\xff\x00\x1e"s + IAC + SE);
  EXPECT_EQ(telnet_window_size(t), IAC + SB + NAWS + "\x00\xff\xff\x00\x1e"s + IAC + SE);
  EXPECT_EQ(decode_bytewise(t, IAC + DONT + NAWS + IAC + DONT + NAWS).second, IAC + WONT + NAWS);
  EXPECT_EQ(telnet_window_size(t), "");
}

TEST(TextFilter, DropsEscapeSequencesAndNulsAndJoinsCrLfAcrossPieces) {
  TextFilter f;
  std::string out;
  for (std::string piece : {"a\x1b[1"s, "mb\r"s, "\nc\x1b]0;ti"s, "tle\x07"s + "d\0e\r"s, "x\x1b(Bf\r"s})
    out += text_filter(f, piece);
  out += text_filter_end(f);
  EXPECT_EQ(out, "ab\ncde\rxf\r");
}
