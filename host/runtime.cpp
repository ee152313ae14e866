// runtime.cpp: ktGetRuntimeValue, the counters and texts of a session and of the run.
#include <algorithm>
#include <cstring>

#include "host.h"
#include "screen.h"
#include "session.h"
#include "user.h"

namespace {
enum {
  RV_BYTES_IN = 1,
  RV_BYTES_OUT,
  RV_SECONDS,
  RV_UNCONSUMED,
  RV_DROPPED,
  RV_CURSOR_ROW,
  RV_CURSOR_COLUMN,
  RV_ROWS,
  RV_COLUMNS,
  RV_CONSUMED,
  RV_MATCH,
  RV_PEEK,
  RV_XFER_BYTES,
  RV_XFER_TOTAL,
  RV_XFER_FILE,
  RV_XFER_FILES,
  RV_PEER,
  RV_CHILD,
  RV_CHILD_STATUS,
  RV_ERRNO,
  RV_MODE,
};

// A value as a number, or as a text whose number is its length.
struct Value {
  int64_t number = 0;
  bool is_text = false;
  std::string text;
};
}  // namespace

static Value number(int64_t n) { return Value{n, false, std::to_string(n)}; }

static Value text(std::string_view t) { return Value{static_cast<int64_t>(t.size()), true, std::string(t)}; }

static Value run_value(int id) {
  if (id == RV_MODE) return number(user_interactive());
  int err = host_last_errno();
  return Value{err, false, std::to_string(err) + " " + (err ? std::strerror(err) : "no error")};
}

static Value session_value(const Session &s, int id) {
  int row = 0, column = 0;
  screen_cursor(*s.screen, &row, &column);
  switch (id) {
  case RV_BYTES_IN: return number(static_cast<int64_t>(s.bytes_in));
  case RV_BYTES_OUT: return number(static_cast<int64_t>(s.bytes_out));
  case RV_SECONDS: return number(s.status == KT_ST_CONNECTED ? (now_ms() - s.connected_ms) / 1000 : 0);
  case RV_UNCONSUMED: return number(static_cast<int64_t>(s.received.data.size()));
  case RV_DROPPED: return number(static_cast<int64_t>(s.received.dropped));
  case RV_CURSOR_ROW: return number(row);
  case RV_CURSOR_COLUMN: return number(column);
  case RV_ROWS: return number(screen_rows(*s.screen));
  case RV_COLUMNS: return number(screen_columns(*s.screen));
  case RV_CONSUMED: return text(s.received.consumed);
  case RV_MATCH: return text(s.received.last_match);
  case RV_PEEK: return text(s.received.data);
  case RV_XFER_BYTES: return number(s.xfer.bytes);
  case RV_XFER_TOTAL: return number(s.xfer.total);
  case RV_XFER_FILE: return text(s.xfer.file);
  case RV_XFER_FILES: return number(s.xfer.files);
  case RV_PEER: return text(s.peer);
  case RV_CHILD: return number(s.child > 0 ? s.child : 0);
  case RV_CHILD_STATUS: return number(s.child_status);
  default: return number(0);
  }
}

int32_t ktGetRuntimeValue(int32_t h, int32_t id16, int32_t buf, int32_t size, int32_t pvalue) {
  if (int32_t r = host_enter()) return r;
  if (id16 < RV_BYTES_IN || id16 > RV_MODE) return KT_E_BADARG;
  Value v;
  if (id16 >= RV_ERRNO) {
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
