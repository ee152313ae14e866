// display.cpp: the functions of the screen and the display.
#include "host.h"
#include "io.h"
#include "screen.h"
#include "session.h"

int32_t ktGetTextFromScreen(int32_t h, int32_t row16, int32_t col, int32_t count, int32_t buf) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  int row = row16, column;
  if (row16 == KT_CURSOR_ROW) screen_cursor(*s->screen, &row, &column);
  if (row >= screen_rows(*s->screen) || col < 0 || col >= screen_columns(*s->screen) || count < 0)
    return KT_E_BADARG;
  char *out = script_buffer(buf, static_cast<uint32_t>(count) + 1);
  if (!out) return KT_E_BADARG;
  std::string text = screen_text(*s->screen, row, col, count);
  text.copy(out, text.size());
  out[text.size()] = '\0';
  return static_cast<int32_t>(text.size());
}

int32_t ktSetDisplay(int32_t h, int32_t on) { return session_set_flag(h, "Display", on); }

int32_t ktGetDisplay(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return session_flag(*s, "Display");
}

int32_t ktSetLocalEcho(int32_t h, int32_t on) { return session_set_flag(h, "LocalEcho", on); }

int32_t ktSetEcho(int32_t h, int32_t on) {
  int32_t r = session_set_flag(h, "Echo", on);
  if (r == KT_OK) io_follow_echo(*session_find(h, &r));
  return r;
}

int32_t ktSetLocalDisplay(int32_t h, int32_t on) {
  Session *s;
  if (int32_t r = session_enter_switch(h, on, &s)) return r;
  s->local_display = on;
  return KT_OK;
}

int32_t ktSetEmulator(int32_t h, int32_t name) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  if (!arg_string(name, &text) || text.empty()) return KT_E_BADARG;
  s->settings.set("Terminal", text);
  s->telnet.terminal.assign(text);
  return KT_OK;
}

int32_t ktGetEmulator(int32_t h, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return put_string(buf, size, session_setting(*s, "Terminal"));
}

// ktMenuString's commands, by the name after the last '|'.
static int32_t menu_command(int32_t h, Session &s, std::string_view name) {
  if (same_name(name, "Connect")) return ktConnectSession(h, 0);
  if (same_name(name, "Disconnect")) return ktDisconnectSession(h);
  if (same_name(name, "Close")) return ktCloseSession(h);
  if (same_name(name, "CaptureOn")) return ktCaptureBegin(h, 0, 0);
  if (same_name(name, "CaptureOff")) return ktCaptureControl(h, KT_CAP_STOP);
  if (same_name(name, "Break")) return ktComDriverSpecial(h, KT_CD_BREAK);
  if (same_name(name, "Exit")) return ktTerminate(KT_TERM_ORDERLY, 0);
  if (!same_name(name, "ClearScreen") && !same_name(name, "ResetTerminal")) return KT_E_UNSUPPORTED;
  screen_reset(*s.screen, same_name(name, "ResetTerminal"));
  return KT_OK;
}

int32_t ktMenuString(int32_t h, int32_t command) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  if (!arg_string(command, &text)) return KT_E_BADARG;
  size_t bar = text.rfind('|');
  return menu_command(h, *s, bar == std::string_view::npos ? text : text.substr(bar + 1));
}
