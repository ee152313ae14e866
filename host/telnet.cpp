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
enum : uint8_t { TTYPE_IS = 0, TTYPE_SEND = 1 };
// Decoder states.
enum { DATA, COMMAND, OPTION, SUB, SUB_IAC };
}  // namespace

static uint64_t bit(uint8_t option) { return option < 64 ? uint64_t{1} << option : 0; }

static bool we_agree(const Telnet &t, uint8_t option) {  // to do it ourselves, when asked with DO
  return option == TELNET_TTYPE || option == TELNET_NAWS || option == TELNET_SGA || option == TELNET_BINARY ||
         (option == TELNET_ECHO && t.echo);
}

static bool they_may(uint8_t option) {  // the peer doing it, when offered with WILL
  return option == TELNET_SGA || option == TELNET_ECHO || option == TELNET_BINARY;
}

bool telnet_ours(const Telnet &t, uint8_t option) { return t.ours & bit(option); }
bool telnet_theirs(const Telnet &t, uint8_t option) { return t.theirs & bit(option); }

static void command(std::string &reply, uint8_t verb, uint8_t option) {
  reply += static_cast<char>(IAC);
  reply += static_cast<char>(verb);
  reply += static_cast<char>(option);
}

static std::string double_iac(std::string_view data) {
  std::string out;
  for (char c : data) {
    out += c;
    if (static_cast<uint8_t>(c) == IAC) out += c;
  }
  return out;
}

std::string telnet_encode(const Telnet &t, std::string_view data) {
  bool nvt = !(t.ours & bit(TELNET_BINARY));
  std::string out;
  out.reserve(data.size() + 16);
  for (size_t i = 0; i < data.size(); ++i) {
    out += data[i];
    if (static_cast<uint8_t>(data[i]) == IAC) out += data[i];
    else if (nvt && data[i] == '\r' && (i + 1 == data.size() || data[i + 1] != '\n')) out += '\0';
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
  if (!(t.ours & bit(TELNET_NAWS))) return {};
  std::string out = {static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(TELNET_NAWS)};
  put16(out, t.columns);
  put16(out, t.rows);
  out += static_cast<char>(IAC);
  out += static_cast<char>(SE);
  return out;
}

std::string telnet_break() { return {static_cast<char>(IAC), static_cast<char>(BRK)}; }

std::string telnet_ask(Telnet &t, uint8_t option, bool theirs, bool on) {
  uint64_t b = bit(option);
  uint64_t &state = theirs ? t.theirs : t.ours;
  uint64_t &asked = theirs ? t.asked_theirs : t.asked_ours;
  std::string out;
  if (!b || static_cast<bool>(state & b) == on) return out;
  asked |= b;
  state = on ? state | b : state & ~b;
  command(out, theirs ? (on ? DO : DONT) : (on ? WILL : WONT), option);
  return out;
}

// One side of an option: 'agree' is whether we accept it on. An answer to our own question
// changes the state without a reply; a request for the state in force gets none either.
static void settle(uint64_t &state, uint64_t &asked, uint64_t b, bool on, bool agree, uint8_t yes, uint8_t no,
                   uint8_t option, std::string &reply) {
  if (asked & b) {
    asked &= ~b;
    state = on && agree ? state | b : state & ~b;
    return;
  }
  if (on && !agree) {
    command(reply, no, option);
  } else if (static_cast<bool>(state & b) != on) {
    state = on ? state | b : state & ~b;
    command(reply, on ? yes : no, option);
  }
}

// DO/DONT ask about our side of the option, WILL/WONT about theirs.
static void negotiate(Telnet &t, uint8_t verb, uint8_t option, std::string &reply) {
  uint64_t b = bit(option);
  bool was_naws = t.ours & bit(TELNET_NAWS);
  if (verb == DO || verb == DONT)
    settle(t.ours, t.asked_ours, b, verb == DO, we_agree(t, option), WILL, WONT, option, reply);
  else
    settle(t.theirs, t.asked_theirs, b, verb == WILL, they_may(option), DO, DONT, option, reply);
  if (option == TELNET_NAWS && !was_naws) reply += telnet_window_size(t);
}

static void subnegotiation(const Telnet &t, std::string &reply) {
  const std::string &s = t.subnegotiation;
  if (s.size() >= 2 && static_cast<uint8_t>(s[0]) == TELNET_TTYPE && static_cast<uint8_t>(s[1]) == TTYPE_SEND &&
      (t.ours & bit(TELNET_TTYPE))) {
    reply += {static_cast<char>(IAC), static_cast<char>(SB), static_cast<char>(TELNET_TTYPE),
              static_cast<char>(TTYPE_IS)};
    reply += double_iac(t.terminal);
    reply += {static_cast<char>(IAC), static_cast<char>(SE)};
  }
}

static void data_byte(Telnet &t, uint8_t c, std::string &data) {
  bool nvt = !(t.theirs & bit(TELNET_BINARY));
  bool drop = t.after_cr && c == 0 && nvt;
  t.after_cr = c == '\r' && nvt;
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
