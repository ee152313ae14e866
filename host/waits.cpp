// waits.cpp: the functions of waiting. Every wait services all sessions in poll (io.h) until its
// condition, its time or an interrupt of the run; only the waits for text consume received data.
#include <termios.h>
#include <unistd.h>

#include <algorithm>

#include "host.h"
#include "io.h"
#include "keyboard.h"
#include "session.h"
#include "user.h"

// A prompt counts once nothing more has arrived for this long, unless the script says otherwise.
constexpr int DEFAULT_QUIET_MS = 200;

static int32_t wait_error(WaitResult r) { return r == WAIT_CANCELLED ? KT_E_CANCELLED : KT_E_TIMEOUT; }

static bool hung_up(const Session &s) { return s.status == KT_ST_IDLE; }

// A search of the unconsumed data: true when it found its text (in *m).
using Search = bool (*)(const Session &s, const std::vector<std::string> &alts, bool nocase, int64_t now,
                        int64_t *wake, Match *m);

static bool search_anywhere(const Session &s, const std::vector<std::string> &alts, bool nocase, int64_t,
                            int64_t *, Match *m) {
  std::optional<Match> found = match_find(s.received.data, alts, nocase);
  if (found) *m = *found;
  return found.has_value();
}

// Waits for text, consuming up to its end unless KT_WAIT_KEEP: the alternative's index.
static int32_t wait_for_text(Session &s, int32_t pattern, int32_t timeout, int32_t flags, Search search) {
  std::string_view text;
  if (!arg_string(pattern, &text) || (flags & ~(KT_WAIT_NOCASE | KT_WAIT_KEEP | KT_WAIT_NEW | KT_WAIT_ALT)))
    return KT_E_BADARG;
  std::vector<std::string> alts = match_alternatives(text, flags);
  if (alts.empty()) return KT_E_BADARG;
  if (flags & KT_WAIT_NEW) receive_consume(s.received, s.received.data.size(), s.received.last_match);
  bool nocase = flags & KT_WAIT_NOCASE;
  Match m{};
  bool found = false;
  WaitResult r = io_wait(deadline_after(timeout), [&](int64_t now, int64_t *wake) {
    found = search(s, alts, nocase, now, wake, &m);
    return found || hung_up(s);
  });
  if (r != WAIT_READY) return wait_error(r);
  if (!found) return KT_E_NOTCONNECTED;
  std::string matched = s.received.data.substr(m.begin, m.end - m.begin);
  if (flags & KT_WAIT_KEEP) s.received.last_match = matched;
  else receive_consume(s.received, m.end, matched);
  return (flags & KT_WAIT_ALT) ? m.index : 0;
}

int32_t ktWaitForString(int32_t h, int32_t text, int32_t timeout, int32_t flags) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return wait_for_text(*s, text, timeout, flags, search_anywhere);
}

// The prompt ends the data and the line has been quiet for 'quiet' ms (a hung-up line is quiet).
static int quiet_ms = DEFAULT_QUIET_MS;

static bool search_prompt(const Session &s, const std::vector<std::string> &alts, bool nocase, int64_t now,
                          int64_t *wake, Match *m) {
  std::optional<Match> found = match_suffix(s.received.data, alts, nocase);
  if (!found) return false;
  int64_t quiet_at = s.last_byte_ms + quiet_ms;
  if (!hung_up(s) && now < quiet_at) {
    wake_by(wake, quiet_at);
    return false;
  }
  *m = *found;
  return true;
}

int32_t ktWaitForPrompt(int32_t h, int32_t quiet16, int32_t prompt, int32_t timeout, int32_t flags) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  quiet_ms = quiet16 ? quiet16 : DEFAULT_QUIET_MS;
  return wait_for_text(*s, prompt, timeout, flags, search_prompt);
}

int32_t ktWaitForLines(int32_t h, int32_t count, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (count <= 0) return KT_E_BADARG;
  size_t end = std::string::npos;
  WaitResult r = io_wait(deadline_after(timeout), [&](int64_t, int64_t *) {
    end = match_lines(s->received.data, count);
    return end != std::string::npos || hung_up(*s);
  });
  if (r != WAIT_READY) return wait_error(r);
  if (end == std::string::npos) return KT_E_NOTCONNECTED;
  receive_consume(s->received, end, {});
  return count;
}

int32_t ktWaitForLull(int32_t h, int32_t quiet, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (quiet < 0) return KT_E_BADARG;
  int64_t start = now_ms();
  WaitResult r = io_wait(deadline_after(timeout), [&](int64_t now, int64_t *wake) {
    int64_t lull_at = std::max(start, s->last_byte_ms) + quiet;
    if (now >= lull_at) return true;
    *wake = *wake < 0 ? lull_at : std::min(*wake, lull_at);
    return false;
  });
  return r == WAIT_READY ? KT_OK : wait_error(r);
}

int32_t ktWaitForActivity(int32_t h, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (hung_up(*s)) return KT_E_NOTCONNECTED;
  uint64_t before = s->received.total;
  WaitResult r = io_wait(deadline_after(timeout),
                         [&](int64_t, int64_t *) { return s->received.total > before || hung_up(*s); });
  if (r != WAIT_READY) return wait_error(r);
  if (s->received.total == before) return KT_E_NOTCONNECTED;
  return static_cast<int32_t>(std::min<uint64_t>(s->received.total - before, INT32_MAX));
}

int32_t ktWaitForConnection(int32_t h, int32_t state, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (state != KT_ST_CONNECTED && state != KT_ST_IDLE) return KT_E_BADARG;
  if (state == KT_ST_CONNECTED && s->status == KT_ST_IDLE)
    return s->attempt_failed ? KT_E_CONNECT : KT_E_STATE;
  WaitResult r = io_wait(deadline_after(timeout), [&](int64_t, int64_t *) {
    return s->status == state || (state == KT_ST_CONNECTED && s->status == KT_ST_IDLE);
  });
  if (r != WAIT_READY) return wait_error(r);
  return s->status == state ? KT_OK : KT_E_CONNECT;
}

int32_t ktWaitForOutputDone(int32_t h, int32_t timeout) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (s->status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  WaitResult r = io_wait(deadline_after(timeout), [&](int64_t, int64_t *) {
    return s->output.empty() || s->status != KT_ST_CONNECTED;
  });
  if (r != WAIT_READY) return wait_error(r);
  if (s->status != KT_ST_CONNECTED) return KT_E_NOTCONNECTED;
  if (session_kind(*s) == KIND_SERIAL) tcdrain(s->fd);
  return KT_OK;
}

int32_t ktPause(int32_t h, int32_t ms) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  bool was_connected = s->status == KT_ST_CONNECTED;
  WaitResult r = io_wait(deadline_after(std::max(ms, 0)),
                         [&](int64_t, int64_t *) { return was_connected && s->status != KT_ST_CONNECTED; });
  if (r == WAIT_CANCELLED) return KT_E_CANCELLED;
  return r == WAIT_READY ? KT_E_NOTCONNECTED : KT_OK;
}

int32_t ktSleep(int32_t ms, int32_t flags) {
  if (int32_t r = host_enter()) return r;
  if (flags < 0 || flags > KT_SLEEP_KEY) return KT_E_BADARG;
  bool by_key = (flags & KT_SLEEP_KEY) && keyboard_active();
  bool was_raw = by_key && keyboard_raw(true);  // a single key, not a line, ends it
  WaitResult r = io_wait(
      deadline_after(std::max(ms, 0)), [&](int64_t, int64_t *) { return by_key && user_key_waiting(); }, true,
      by_key ? STDIN_FILENO : -1);
  if (by_key) keyboard_raw(was_raw);
  if (r == WAIT_CANCELLED) return KT_E_CANCELLED;
  if (r == WAIT_READY) user_take_key();
  return r == WAIT_READY ? 1 : KT_OK;
}
