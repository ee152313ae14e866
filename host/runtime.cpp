// runtime.cpp: ktGetRuntimeValue, the counters and texts of a session and of the run.
#include <algorithm>
#include <cstring>

#include "host.h"
#include "screen.h"
#include "session.h"
#include "user.h"

namespace {
// A value as a number, or as a text whose number is its length.
struct Value {
  int64_t number = 0;
  bool is_text = false;
  std::string text;
};
}  // namespace

static Value number(int64_t n) { return Value{n, false, std::to_string(n)}; }

static Value text(std::string_view t) { return Value{static_cast<int64_t>(t.size()), true, std::string(t)}; }

// The values of the run rather than of a session: KT_RV_ERRNO and KT_RV_MODE.
static Value run_value(int id) {
  if (id == KT_RV_MODE) return number(user_interactive());
  int err = host_last_errno();
  return Value{err, false, std::to_string(err) + " " + (err ? std::strerror(err) : "no error")};
}

static Value session_value(const Session &s, int id) {
  int row = 0, column = 0;
  screen_cursor(*s.screen, &row, &column);
  switch (id) {
  case KT_RV_BYTES_IN: return number(static_cast<int64_t>(s.bytes_in));
  case KT_RV_BYTES_OUT: return number(static_cast<int64_t>(s.bytes_out));
  case KT_RV_SECONDS: return number(s.status == KT_ST_CONNECTED ? (now_ms() - s.connected_ms) / 1000 : 0);
  case KT_RV_UNCONSUMED: return number(static_cast<int64_t>(s.received.data.size()));
  case KT_RV_DROPPED: return number(static_cast<int64_t>(s.received.dropped));
  case KT_RV_CURSOR_ROW: return number(row);
  case KT_RV_CURSOR_COLUMN: return number(column);
  case KT_RV_ROWS: return number(screen_rows(*s.screen));
  case KT_RV_COLUMNS: return number(screen_columns(*s.screen));
  case KT_RV_CONSUMED_TEXT: return text(s.received.consumed);
  case KT_RV_MATCH: return text(s.received.last_match);
  case KT_RV_UNCONSUMED_TEXT: return text(s.received.data);
  case KT_RV_XFER_BYTES: return number(s.xfer.bytes);
  case KT_RV_XFER_TOTAL: return number(s.xfer.total);
  case KT_RV_XFER_FILE: return text(s.xfer.file);
  case KT_RV_XFER_FILES: return number(s.xfer.files);
  case KT_RV_PEER: return text(s.peer);
  case KT_RV_CHILD_PID: return number(s.child > 0 ? s.child : 0);
  case KT_RV_CHILD_STATUS: return number(s.child_status);
  default: return number(0);
  }
}

int32_t ktGetRuntimeValue(int32_t h, int32_t id16, int32_t buf, int32_t size, int32_t pvalue) {
  if (int32_t r = host_enter()) return r;
  if (id16 < KT_RV_BYTES_IN || id16 > KT_RV_MODE) return KT_E_BADARG;
  Value v;
  if (id16 >= KT_RV_ERRNO) {
    v = run_value(id16);
  } else {
    int32_t error;
    Session *s = session_find(h, &error);
    if (!s) return error;
    v = session_value(*s, id16);
  }
  if (int32_t r = put_int(pvalue, static_cast<int32_t>(std::min<int64_t>(v.number, INT32_MAX)))) return r;
  return put_string(buf, size, v.text);
}
