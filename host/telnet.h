// telnet.h: the telnet protocol of tcp sessions with Telnet=yes.
//
// The host starts no negotiation. It agrees to TTYPE (it sends the terminal name), NAWS (rows and
// columns), SGA, ECHO and BINARY and refuses every other option; it answers a request only when
// it changes the option's state, so two agreeing sides never loop. Going out, 0xFF is doubled;
// coming in, commands are stripped, IAC IAC is one 0xFF and the NUL after a CR is dropped.
#ifndef HOST_TELNET_H
#define HOST_TELNET_H

#include <cstdint>
#include <string>
#include <string_view>

struct Telnet {
  // What the peer sees of us: the terminal type and the window size.
  std::string terminal = "xterm";
  int rows = 24, columns = 80;
  // The decoder's state between reads: a command may be cut anywhere.
  int state = 0;
  uint8_t verb = 0;  // DO, DONT, WILL or WONT being read
  std::string subnegotiation;
  bool after_cr = false;  // the last data byte was a CR (a NUL after it is dropped)
  // Options in effect: bit n of 'ours' is our option n, of 'theirs' the peer's.
  uint64_t ours = 0, theirs = 0;
};

// Decodes 'in': the data goes to 'data', the answers that must go to the peer to 'reply'
// (already encoded).
void telnet_decode(Telnet &t, std::string_view in, std::string &data, std::string &reply);
// Data as it goes out: each 0xFF doubled.
std::string telnet_encode(std::string_view data);
// The window size subnegotiation; empty unless NAWS is agreed.
std::string telnet_window_size(const Telnet &t);
// The BREAK command.
std::string telnet_break();

#endif
