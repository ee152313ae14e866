// connection.h: making and ending the connections of sessions.
//
// tcp connects without blocking (the service pass sees the socket become writable), pty starts
// '/bin/sh -c COMMAND' on a new pseudo-terminal, serial opens a device raw. A failed attempt is
// retried Redial times, RedialDelay ms apart; each attempt has ConnectTimeout ms. Status moves
// IDLE -> CONNECTING -> CONNECTED -> IDLE (hang-up by the script, the remote, the pty child's
// exit or a device error).
#ifndef HOST_CONNECTION_H
#define HOST_CONNECTION_H

#include <poll.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "serial.h"

struct Session;

// Starts connecting an idle session (the first attempt and its redials).
void connection_start(Session &s);
// What the session's descriptor waits for in poll, 0 for nothing.
short connection_events(const Session &s);
// A connecting tcp socket became writable: connected or failed.
void connection_finish(Session &s);
// The modem has connected, or its attempt failed.
void connection_modem_connected(Session &s);
void connection_modem_failed(Session &s, const std::string &why);
// Answer mode: takes the caller that the listening socket has.
void connection_accept(Session &s);
// Timers: the running attempt's time, the next redial. 'wake' is lowered to the next of them.
void connection_timers(Session &s, int64_t now, int64_t *wake);
// The logon task exited (its pidfd is readable): logged on, or the attempt failed.
void connection_logon_ended(Session &s);
// The pty child ended (its pidfd is readable): reaps it and hangs up after the last output.
void connection_child_ended(Session &s);
// Ends the connection: 'reason' goes to the log. The session stays open, IDLE.
void connection_hang_up(Session &s, const std::string &reason);
// The pty child gets the window size (TIOCSWINSZ).
void connection_set_window(Session &s, int rows, int columns);

// Sets Address and Port from "host[:port]": false when it is no such text.
bool connection_set_tcp_destination(Session &s, std::string_view text);

// Serial lines: the format of the settings; applying it to an open device (0 or an error
// number); a break of BreakMs; raising or dropping a modem line.
SerialFormat connection_serial_format(const Session &s);
int connection_serial_apply(Session &s);
void connection_serial_break(Session &s);
void connection_serial_line(Session &s, int line, bool on);

#endif
