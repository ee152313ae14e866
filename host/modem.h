// modem.h: a Hayes modem on a serial line: dialing (ATDT or ATDP, after the entry's ModemInit),
// answering (ATS0=n, RING counted, CONNECT awaited) and hanging up (DTR dropped, else "+++" with
// its guard time and ATH). The modem echoes each command and frames its results in CR LF.
#ifndef HOST_MODEM_H
#define HOST_MODEM_H

#include <string>
#include <string_view>

struct Session;

enum ModemState { MODEM_NONE, MODEM_INIT, MODEM_DIALING, MODEM_ANSWERING, MODEM_ONLINE };

struct Modem {
  ModemState state = MODEM_NONE;
  std::string line;  // the result line being read
  int rings = 0;
};

// Whether connecting the serial session goes through the modem (a number to dial, or answer mode).
bool modem_needed(const Session &s);
// The modem's dialogue is under way (dialing or answering): its results are read.
bool modem_talking(const Session &s);
// Starts the modem's part of a connect once the device is open.
void modem_begin(Session &s);
// Received data while the modem has not connected: how much of it the modem's dialogue took
// (after CONNECT the rest is the remote's).
size_t modem_receive(Session &s, std::string_view data);
// Hangs up a modem that is online, before the device is closed.
void modem_hang_up(Session &s);

#endif
