// telnet.h: the telnet protocol of tcp sessions with Telnet=yes, as a client does it.
//
// The host starts no negotiation of its own but the ones a caller asks for (telnet_ask: BINARY
// before a transfer, ECHO when the script turns echo on). It agrees to TTYPE (it sends the
// terminal name), NAWS (rows and columns), SGA and BINARY, to ECHO on its side only while the
// session echoes, and to the peer's SGA, ECHO and BINARY; it refuses every other option. A
// request for the state an option is already in, or the answer to a question we asked, gets no
// reply, so two agreeing sides never loop. Going out, 0xFF is doubled; coming in, commands are
// stripped and IAC IAC is one 0xFF. BINARY is per direction: while the peer sends in binary mode
// every other byte is data, in NVT mode the NUL after a CR is dropped.
#ifndef HOST_TELNET_H
#define HOST_TELNET_H

#include <cstdint>
#include <string>
#include <string_view>

enum : uint8_t { TELNET_BINARY = 0, TELNET_ECHO = 1, TELNET_SGA = 3, TELNET_TTYPE = 24, TELNET_NAWS = 31 };

struct Telnet {
  // What the peer sees of us: the terminal type, the window size, whether we echo.
  std::string terminal = "xterm";
  int rows = 24, columns = 80;
  bool echo = false;
  // The decoder's state between reads: a command may be cut anywhere.
  int state = 0;
  uint8_t verb = 0;  // DO, DONT, WILL or WONT being read
  std::string subnegotiation;
  bool after_cr = false;  // the last data byte was a CR (in NVT mode a NUL after it is dropped)
  // Options in effect: bit n of 'ours' is our option n, of 'theirs' the peer's; the asked bits
  // are questions of ours (WILL for ours, DO for theirs) not answered yet.
  uint64_t ours = 0, theirs = 0;
  uint64_t asked_ours = 0, asked_theirs = 0;
};

// Decodes 'in': the data goes to 'data', the answers that must go to the peer to 'reply'
// (already encoded).
void telnet_decode(Telnet &t, std::string_view in, std::string &data, std::string &reply);
// Data as it goes out: each 0xFF doubled and, while our side sends in NVT mode, a NUL after each CR
// that no LF follows (a bare CR), so that the server's decoding gives back exactly these bytes.
std::string telnet_encode(const Telnet &t, std::string_view data);
// Whether our side, or the peer's, has the option on.
bool telnet_ours(const Telnet &t, uint8_t option);
bool telnet_theirs(const Telnet &t, uint8_t option);
// Asks to turn an option on or off, ours (WILL/WONT) or the peer's (DO/DONT): the command to send,
// empty when the option is already so or the question is out.
std::string telnet_ask(Telnet &t, uint8_t option, bool theirs, bool on);
// The window size subnegotiation; empty unless NAWS is agreed.
std::string telnet_window_size(const Telnet &t);
// The BREAK command.
std::string telnet_break();

#endif
