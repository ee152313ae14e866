// recording.cpp: the functions of capture and the log.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "host.h"
#include "program.h"
#include "session.h"

int32_t ktSetCaptureFileName(int32_t h, int32_t path) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view name;
  if (!arg_string(path, &name) || name.empty()) return KT_E_BADARG;
  s->settings.set("Capture", name);
  return KT_OK;
}

int32_t ktGetCaptureFileName(int32_t h, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return put_string(buf, size, capture_on(s->capture) ? s->capture.path : session_setting(*s, "Capture"));
}

int32_t ktCaptureBegin(int32_t h, int32_t path, int32_t flags) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view name;
  bool given;
  if (!arg_optional_string(path, &name, &given) || (flags & ~(KT_CAP_APPEND | KT_CAP_TEXT)))
    return KT_E_BADARG;
  if (capture_on(s->capture)) return KT_E_STATE;
  std::string file = given && !name.empty() ? std::string(name) : session_setting(*s, "Capture");
  if (int32_t r = capture_begin(s->capture, file, flags)) {
    session_log(*s, "capture " + file + " failed: " + host_errno_text());
    return r;
  }
  session_log(*s, "capture start " + file + ((flags & KT_CAP_TEXT) ? " (text)" : ""));
  return KT_OK;
}

// The actions of both captures; stop is the caller's.
static int32_t control(Capture &c, int32_t action) {
  switch (action) {
  case KT_CAP_PAUSE:
  case KT_CAP_RESUME:
    if (!capture_on(c)) return KT_E_STATE;
    c.paused = action == KT_CAP_PAUSE;
    return KT_OK;
  case KT_CAP_QUERY: return !capture_on(c) ? KT_CAP_OFF : c.paused ? KT_CAP_PAUSED : KT_CAP_ON;
  default: return KT_E_BADARG;
  }
}

int32_t ktCaptureControl(int32_t h, int32_t action) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (action != KT_CAP_STOP) return control(s->capture, action);
  if (capture_on(s->capture)) session_log(*s, "capture end " + s->capture.path);
  return capture_stop(s->capture);
}

// The printer capture spools to a temporary file, which goes to [Printer] Command (with
// "-d NAME" for a named printer) when it stops.
int32_t ktCaptureToPrinterBegin(int32_t h, int32_t printer, int32_t flags) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view name;
  bool given;
  if (!arg_optional_string(printer, &name, &given) || (flags & ~KT_CAP_TEXT)) return KT_E_BADARG;
  if (capture_on(s->printer)) return KT_E_STATE;
  char spool[] = "/tmp/rv32auto-print.XXXXXX";
  int fd = mkstemp(spool);
  if (fd < 0) return host_fail(errno);
  close(fd);
  if (int32_t r = capture_begin(s->printer, spool, flags)) {
    unlink(spool);
    return r;
  }
  s->printer_name.assign(name);
  session_log(*s, "printer capture start" + (name.empty() ? "" : " " + s->printer_name));
  return KT_OK;
}

int32_t capture_print(Session &s) {
  if (!capture_on(s.printer) && !s.printer.error) return KT_OK;  // a failed write closed the spool
  std::string spool = s.printer.path;
  int32_t r = capture_stop(s.printer);
  std::string command = host_setting("Printer", "Command", "lp");
  if (!s.printer_name.empty()) command += " -d " + shell_quote(s.printer_name);
  int status = r == KT_OK ? program_run(command + " < " + shell_quote(spool)) : -1;
  unlink(spool.c_str());
  session_log(s, "printer capture end: " + command + " (status " + std::to_string(status) + ")");
  return status == 0 ? KT_OK : KT_E_IO;
}

int32_t ktCaptureToPrinterControl(int32_t h, int32_t action) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return action == KT_CAP_STOP ? capture_print(*s) : control(s->printer, action);
}

int32_t ktSetLogFileName(int32_t h, int32_t path) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view name;
  bool given;
  if (!arg_optional_string(path, &name, &given)) return KT_E_BADARG;
  if (!given || name.empty()) {
    session_log(*s, "log end");
    log_close(s->log);
    return KT_OK;
  }
  if (int32_t r = log_open(s->log, std::string(name))) return r;
  session_log(*s, "log start");
  return KT_OK;
}

int32_t ktGetLogFileName(int32_t h, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return put_string(buf, size, s->log.path);
}

int32_t ktWriteLogEntry(int32_t h, int32_t text) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view line;
  if (!arg_string(text, &line)) return KT_E_BADARG;
  if (s->log.fd < 0) return KT_E_STATE;
  session_log(*s, std::string(line));
  return KT_OK;
}
