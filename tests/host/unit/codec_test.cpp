// The telnet codec and the text filter of captures: byte streams cut anywhere.
#include <gtest/gtest.h>

#include "capture_log.h"
#include "telnet.h"

using namespace std::string_literals;

namespace {
const std::string IAC = "\xff", DO = "\xfd", DONT = "\xfe", WILL = "\xfb", WONT = "\xfc", SB = "\xfa",
                  SE = "\xf0";
const std::string TTYPE = "\x18", NAWS = "\x1f", ECHO_ = "\x01", LINEMODE = "\x22";

// as if every byte came in a read of its own
void decode_bytewise(Telnet &t, const std::string &in, std::string &data, std::string &reply) {
  for (char c : in) telnet_decode(t, std::string(1, c), data, reply);
}
}  // namespace

TEST(Telnet, DataPassesWithIacUndoubledAndCrNulDropped) {
  Telnet t;
  std::string data, reply;
  decode_bytewise(t, "x\xff\xffy\r\0z\r\nq\0"s, data, reply);
  EXPECT_EQ(data, "x\xffy\rz\r\nq\0"s);
  EXPECT_EQ(reply, "");
}

TEST(Telnet, AgreesOnceToWhatItKnowsAndRefusesTheRest) {
  Telnet t;
  t.terminal = "vt100", t.rows = 30, t.columns = 255;
  std::string data, reply;
  decode_bytewise(t,
                  IAC + DO + TTYPE + IAC + DO + TTYPE + IAC + DO + LINEMODE + IAC + WILL + ECHO_ + IAC +
                      WILL + LINEMODE + "ok",
                  data, reply);
  EXPECT_EQ(data, "ok");
  EXPECT_EQ(reply, IAC + WILL + TTYPE + IAC + WONT + LINEMODE + IAC + DO + ECHO_ + IAC + DONT + LINEMODE);
  reply.clear();
  decode_bytewise(t, IAC + SB + TTYPE + "\x01" + IAC + SE + IAC + DO + NAWS, data, reply);
  // the width 255 is doubled inside the subnegotiation
  EXPECT_EQ(reply, IAC + SB + TTYPE + "\x00"s + "vt100" + IAC + SE + IAC + WILL + NAWS + IAC + SB + NAWS +
                       "\x00\xff\xff\x00\x1e"s + IAC + SE);
  EXPECT_EQ(telnet_window_size(t), IAC + SB + NAWS + "\x00\xff\xff\x00\x1e"s + IAC + SE);
  reply.clear();
  decode_bytewise(t, IAC + DONT + NAWS + IAC + DONT + NAWS, data, reply);
  EXPECT_EQ(reply, IAC + WONT + NAWS);
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
