// recording.cpp: the functions of capture and the log.
#include "host.h"
#include "session.h"

// Actions of ktCaptureControl.
enum { CAPTURE_STOP, CAPTURE_PAUSE, CAPTURE_RESUME, CAPTURE_QUERY };

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
  if (!arg_optional_string(path, &name, &given) || flags < 0 || flags > 3) return KT_E_BADARG;
  if (capture_on(s->capture)) return KT_E_STATE;
  std::string file = given && !name.empty() ? std::string(name) : session_setting(*s, "Capture");
  if (int32_t r = capture_begin(s->capture, file, flags)) {
    session_log(*s, "capture " + file + " failed: " + host_errno_text());
    return r;
  }
  session_log(*s, "capture start " + file + ((flags & KT_CAP_TEXT) ? " (text)" : ""));
  return KT_OK;
}

int32_t ktCaptureControl(int32_t h, int32_t action) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  Capture &c = s->capture;
  switch (action) {
  case CAPTURE_STOP:
    if (capture_on(c)) session_log(*s, "capture end " + c.path);
    return capture_stop(c);
  case CAPTURE_PAUSE:
  case CAPTURE_RESUME:
    if (!capture_on(c)) return KT_E_STATE;
    c.paused = action == CAPTURE_PAUSE;
    return KT_OK;
  case CAPTURE_QUERY: return !capture_on(c) ? 0 : c.paused ? 2 : 1;
  default: return KT_E_BADARG;
  }
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
