// sending.cpp: the functions of sending and typing.
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "connection.h"
#include "host.h"
#include "io.h"
#include "session.h"
#include "telnet.h"

// The log shows sent text, or stars while the script hides what it types (a password).
static void log_sent(Session &s, std::string_view text) {
  session_log(s, "send " + (s.hide_input ? std::string("\"****\"") : log_quote(text)));
}

int32_t ktTextSend(int32_t h, int32_t text) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view bytes;
  if (!arg_string(text, &bytes)) return KT_E_BADARG;
  if (s->status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  log_sent(*s, bytes);
  if (int32_t r = io_send(*s, bytes)) return r;
  return static_cast<int32_t>(bytes.size());
}

// Types a piece of text: its bytes go out in one write, each CR as the line end, and show on the
// screen with local echo.
static int32_t type_piece(Session &s, std::string_view piece, const std::string &end, bool echo) {
  std::string bytes;
  for (char c : piece) c == '\r' ? bytes += end : bytes += c;
  if (int32_t r = io_send(s, bytes)) return r;
  if (echo) io_show_local(s, bytes);
  return KT_OK;
}

// The pieces are characters with a delay between them, else lines with a LineDelay after each,
// else the whole text.
int32_t ktTypeText(int32_t h, int32_t text, int32_t delay) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view typed;
  if (!arg_string(text, &typed) || delay < -1) return KT_E_BADARG;
  if (s->status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  int64_t gap = delay == -1 ? session_number(*s, "CharDelay") : delay;
  int64_t line_gap = session_number(*s, "LineDelay");
  bool echo = session_flag(*s, "LocalEcho") && !s->hide_input;
  std::string end = session_line_end(*s);
  log_sent(*s, typed);
  for (size_t i = 0; i < typed.size();) {
    if (i > 0 && gap > 0)
      if (int32_t r = io_pause(gap)) return r;
    size_t cr = line_gap > 0 ? typed.find('\r', i) : std::string_view::npos;
    size_t n = gap > 0 ? 1 : cr != std::string_view::npos ? cr - i + 1 : typed.size() - i;
    std::string_view piece = typed.substr(i, n);
    if (int32_t r = type_piece(*s, piece, end, echo)) return r;
    i += piece.size();
    if (piece.back() == '\r')
      if (int32_t r = io_pause(line_gap)) return r;
  }
  return static_cast<int32_t>(typed.size());
}

int32_t ktTypeLocalText(int32_t h, int32_t text, int32_t delay) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view shown;
  if (!arg_string(text, &shown) || delay < -1) return KT_E_BADARG;
  int64_t gap = delay == -1 ? session_number(*s, "CharDelay") : delay;
  if (gap <= 0) {
    io_show_local(*s, shown);
    return static_cast<int32_t>(shown.size());
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    if (i > 0)
      if (int32_t r = io_pause(gap)) return r;
    io_show_local(*s, shown.substr(i, 1));
  }
  return static_cast<int32_t>(shown.size());
}

int32_t ktClearOutputBuffer(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  size_t dropped = s->output.size();
  s->output.clear();
  return static_cast<int32_t>(dropped);
}

int32_t ktHideInput(int32_t h, int32_t on) {
  Session *s;
  if (int32_t r = session_enter_switch(h, on, &s)) return r;
  s->hide_input = on;
  return KT_OK;
}

// BREAK: telnet's BRK, SIGINT to the pty's foreground group, a line break on serial.
static void send_break(Session &s) {
  switch (session_kind(s)) {
  case KIND_TCP:
    if (s.telnet_on) io_send_raw(s, telnet_break());
    break;
  case KIND_PTY: {
    pid_t group = tcgetpgrp(s.fd);
    if (group > 0) kill(-group, SIGINT);
    break;
  }
  case KIND_SERIAL: connection_serial_break(s); break;
  }
}

// Drops what is unconsumed and what the kernel holds unread.
static void flush_input(Session &s) {
  if (session_kind(s) == KIND_TCP) {
    char scrap[4096];
    while (recv(s.fd, scrap, sizeof scrap, MSG_DONTWAIT) > 0) {
    }
  } else {
    tcflush(s.fd, TCIFLUSH);
  }
  receive_consume(s.received, s.received.data.size(), s.received.last_match);
}

int32_t ktComDriverSpecial(int32_t h, int32_t code) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (code < KT_CD_BREAK || code > KT_CD_FLUSH) return KT_E_BADARG;
  if (s->fd < 0 || s->status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  if (code == KT_CD_BREAK) send_break(*s);
  else if (code == KT_CD_FLUSH) flush_input(*s);
  else if (session_kind(*s) == KIND_SERIAL)
    connection_serial_line(*s, code <= KT_CD_DTR_OFF ? TIOCM_DTR : TIOCM_RTS,
                           code == KT_CD_DTR_ON || code == KT_CD_RTS_ON);
  return KT_OK;
}
