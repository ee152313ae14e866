// session.h: the open sessions, handles 1..MAX_SESSIONS.
//
// A session is open from ktOpenSession to ktCloseSession; it holds a copy of its phonebook entry
// (settings), its connection, the receive buffer, the output queue, its screen, capture and log.
// Handle 0 means the current session; KT_ALL_SESSIONS means all where a function says so.
#ifndef HOST_SESSION_H
#define HOST_SESSION_H

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture_log.h"
#include "kt.h"
#include "matcher.h"
#include "modem.h"
#include "phonebook.h"
#include "program.h"
#include "startup.h"
#include "telnet.h"
#include "transfer.h"

constexpr int MAX_SESSIONS = 8;
constexpr size_t OUTPUT_LIMIT = 64 * 1024;

enum SessionKind { KIND_TCP = KT_PT_TCP, KIND_PTY = KT_PT_PTY, KIND_SERIAL = KT_PT_SERIAL };

struct Screen;

struct Session {
  int handle = 0;
  std::string name;
  Settings settings;  // the session's copy of its entry
  int status = 0;     // KT_ST_...

  // The connection (connection.h): a socket, pty master or device, and for pty the child.
  int fd = -1;
  pid_t child = -1;
  int child_fd = -1;         // a pidfd that becomes readable when the child exits
  int child_status = -1;     // exit status of the last child, -1 while it runs
  bool input_ended = false;  // the pty has no writer left while the child still runs
  std::string peer;          // ip:port, device, or "pid N"
  std::string destination;   // the dial override of ktConnectAndDial, empty: the settings'
  int redials_left = 0;
  int64_t attempt_deadline = -1;  // the running attempt fails then
  int64_t redial_at = -1;         // the next attempt starts then (between attempts)
  bool attempt_failed = false;    // the last connect ended in failure
  bool telnet_on = false;
  Modem modem;    // the serial line's modem, while it dials, answers or is online
  Program logon;  // the logon task while it runs (the session is still CONNECTING)
  Transfer xfer;
  Telnet telnet;

  ReceiveBuffer received;
  std::string output;                    // queued output, already encoded for the connection
  bool answers_dropped = false;          // the last answer to the remote did not fit in the queue
  uint64_t bytes_in = 0, bytes_out = 0;  // on the wire, telnet commands included
  int64_t last_byte_ms = -1;             // when the last byte arrived
  int64_t connected_ms = -1;

  int entry_rows = 24, entry_columns = 80;  // the size the entry gave
  bool hide_input = false;
  bool local_display = false;
  bool keys_blocked = false;  // the user's keys do not reach the session
  Screen *screen = nullptr;
  Capture capture;
  Capture printer;           // the printer capture's spool file
  std::string printer_name;  // the printer it goes to, empty for the default
  Log log;
};

// The session of handle 'h' (0 = the current one), or null with *error KT_E_SESSION.
Session *session_find(int32_t h, int32_t *error);
// What a kt function on one session starts with: host_enter, then the session of 'h' in *s.
// KT_OK, or the error to return.
int32_t session_enter(int32_t h, Session **s);
// The same for a function that sets a switch: KT_E_BADARG unless 'on' is 0 or 1.
int32_t session_enter_switch(int32_t h, int32_t on, Session **s);
// Sets the yes/no setting 'key' of the session from a switch's 'on'.
int32_t session_set_flag(int32_t h, const char *key, int32_t on);
// The session's log gets one line.
void session_log(Session &s, const std::string &text);
// The open sessions in handle order.
std::vector<Session *> open_sessions();

SessionKind session_kind(const Session &s);
// A setting of the session, with its default.
std::string session_setting(const Session &s, std::string_view key);
long session_number(const Session &s, std::string_view key);
bool session_flag(const Session &s, std::string_view key);

// The program that takes the received data while it runs: the logon task or a transfer's, or null.
const Program *session_program(const Session &s);
Program *session_program(Session &s);

// Stops the printer capture and prints what it spooled: KT_OK, or KT_E_IO when the print
// command failed (or there was a write error).
int32_t capture_print(Session &s);

// The bytes a typed CR becomes: LineEnd, where "telnet" is CR LF while our side of the telnet
// connection sends in NVT mode and CR once it sends in binary mode.
std::string session_line_end(const Session &s);

// Rows x columns for the session: its settings, screen, and the remote (TIOCSWINSZ or NAWS).
void session_resize(Session &s, int rows, int columns);

// ktInitialize: reads the settings and the phonebook and opens the start-up session; gives its
// handle, 0 when none was named, KT_E_NOTFOUND when the named entry is missing.
int32_t sessions_start(const StartupItems &items);
// The service pass that begins every kt call.
void sessions_service();
// ktTerminate(1, ...): queued output is dropped.
void sessions_discard_output();
// The end of the run: output drains (2 s at most), captures stop, logs say so, every session is
// hung up and closed.
void sessions_end_run(int status);

#endif
