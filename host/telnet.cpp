// telnet.cpp: the telnet codec.
#include "telnet.h"

namespace {
enum : uint8_t {
  SE = 240,
  BRK = 243,
  SB = 250,
  WILL = 251,
  WONT = 252,
  DO = 253,
  DONT = 254,
  IAC = 255,
};
enum : uint8_t { OPT_BINARY = 0, OPT_ECHO = 1, OPT_SGA = 3, OPT_TTYPE = 24, OPT_NAWS = 31 };
enum : uint8_t { TTYPE_IS = 0, TTYPE_SEND = 1 };
// Decoder states.
enum { DATA, COMMAND, OPTION, SUB, SUB_IAC };
}  // namespace

static uint64_t bit(uint8_t option) { return option < 64 ? uint64_t{1} << option : 0; }

static bool we_agree(uint8_t option) {  // to do it ourselves, when asked with DO
  return option == OPT_TTYPE || option == OPT_NAWS || option == OPT_SGA || option == OPT_ECHO ||
         option == OPT_BINARY;
}

static bool they_may(uint8_t option) {  // the peer doing it, when offered with WILL
  return option == OPT_SGA || option == OPT_ECHO || option == OPT_BINARY;
}

static void command(std::string &reply, uint8_t verb, uint8_t option) {
  reply += static_cast<char>(IAC);
  reply += static_cast<char>(verb);
  reply += static_cast<char>(option);
}

std::string telnet_encode(std::string_view data) {
  std::string out;
  out.reserve(data.size());
  for (char c : data) {
    out += c;
    if (static_cast<uint8_t>(c) == IAC) out += c;
  }
  return out;
}

static void put16(std::string &out, int value) {
  for (uint8_t b : {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}) {
    out += static_cast<char>(b);
    if (b == IAC) out += static_cast<char>(b);
  }
}

std::string telnet_window_size(const Telnet &t) {
  if (!(t.ours & bit(OPT_NAWS))) return {};
  std::string out = {static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(OPT_NAWS)};
  put16(out, t.columns);
  put16(out, t.rows);
  out += static_cast<char>(IAC);
  out += static_cast<char>(SE);
  return out;
}

std::string telnet_break() { return {static_cast<char>(IAC), static_cast<char>(BRK)}; }

// DO/DONT ask about our side of the option, WILL/WONT about theirs.
static void negotiate(Telnet &t, uint8_t verb, uint8_t option, std::string &reply) {
  uint64_t b = bit(option);
  switch (verb) {
  case DO:
    if (!we_agree(option)) {
      command(reply, WONT, option);
    } else if (!(t.ours & b)) {
      t.ours |= b;
      command(reply, WILL, option);
      if (option == OPT_NAWS) reply += telnet_window_size(t);
    }
    break;
  case DONT:
    if (t.ours & b) {
      t.ours &= ~b;
      command(reply, WONT, option);
    }
    break;
  case WILL:
    if (!they_may(option)) {
      command(reply, DONT, option);
    } else if (!(t.theirs & b)) {
      t.theirs |= b;
      command(reply, DO, option);
    }
    break;
  case WONT:
    if (t.theirs & b) {
      t.theirs &= ~b;
      command(reply, DONT, option);
    }
    break;
  }
}

static void subnegotiation(const Telnet &t, std::string &reply) {
  const std::string &s = t.subnegotiation;
  if (s.size() >= 2 && static_cast<uint8_t>(s[0]) == OPT_TTYPE && static_cast<uint8_t>(s[1]) == TTYPE_SEND &&
      (t.ours & bit(OPT_TTYPE))) {
    reply += {static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(OPT_TTYPE),
              static_cast<char>(TTYPE_IS)};
    reply += telnet_encode(t.terminal);
    reply += {static_cast<char>(IAC), static_cast<char>(SE)};
  }
}

static void data_byte(Telnet &t, uint8_t c, std::string &data) {
  bool drop = t.after_cr && c == 0;
  t.after_cr = c == '\r';
  if (!drop) data += static_cast<char>(c);
}

void telnet_decode(Telnet &t, std::string_view in, std::string &data, std::string &reply) {
  for (char ch : in) {
    uint8_t c = static_cast<uint8_t>(ch);
    switch (t.state) {
    case DATA:
      if (c == IAC) t.state = COMMAND;
      else data_byte(t, c, data);
      break;
    case COMMAND:
      if (c == IAC) {
        data_byte(t, c, data);
        t.state = DATA;
      } else if (c >= WILL) {
        t.verb = c;
        t.state = OPTION;
      } else if (c == SB) {
        t.subnegotiation.clear();
        t.state = SUB;
      } else {
        t.state = DATA;  // a command without option (NOP, GA, ...): nothing to do
      }
      break;
    case OPTION:
      negotiate(t, t.verb, c, reply);
      t.state = DATA;
      break;
    case SUB:
      if (c == IAC) t.state = SUB_IAC;
      else if (t.subnegotiation.size() < 256) t.subnegotiation += static_cast<char>(c);
      break;
    case SUB_IAC:
      if (c == SE) {
        subnegotiation(t, reply);
        t.state = DATA;
      } else {
        if (t.subnegotiation.size() < 256) t.subnegotiation += static_cast<char>(c);
        t.state = SUB;
      }
      break;
    }
  }
}
