// session.cpp: the table of open sessions, the start and end of the run, and the functions of
// sessions.
#include "session.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "connection.h"
#include "host.h"
#include "io.h"
#include "screen.h"
#include "user.h"

static Session *table[MAX_SESSIONS];  // handle h is table[h - 1]
static int current = 0;               // the current session's handle, 0 for none
static int startup = 0;               // the start-up session's handle

// How long the end of the run waits for queued output to leave.
constexpr int END_DRAIN_MS = 2000;

std::vector<Session *> open_sessions() {
  std::vector<Session *> list;
  for (Session *s : table)
    if (s) list.push_back(s);
  return list;
}

Session *session_find(int32_t h, int32_t *error) {
  if (h == 0) h = current;
  if (h >= 1 && h <= MAX_SESSIONS && table[h - 1]) return table[h - 1];
  *error = KT_E_SESSION;
  return nullptr;
}

int32_t session_enter(int32_t h, Session **s) {
  if (int32_t r = host_enter()) return r;
  int32_t error = KT_OK;
  *s = session_find(h, &error);
  return error;
}

int32_t session_enter_switch(int32_t h, int32_t on, Session **s) {
  if (int32_t r = session_enter(h, s)) return r;
  return on == 0 || on == 1 ? KT_OK : KT_E_BADARG;
}

int32_t session_set_flag(int32_t h, const char *key, int32_t on) {
  Session *s;
  if (int32_t r = session_enter_switch(h, on, &s)) return r;
  s->settings.set(key, on ? "yes" : "no");
  return KT_OK;
}

const Program *session_program(const Session &s) {
  if (program_running(s.logon)) return &s.logon;
  return program_running(s.xfer.program) ? &s.xfer.program : nullptr;
}

Program *session_program(Session &s) {
  return const_cast<Program *>(session_program(static_cast<const Session &>(s)));
}

std::string session_line_end(const Session &s) {
  std::string end = session_setting(s, "LineEnd");
  if (same_name(end, "lf")) return "\n";
  if (same_name(end, "cr")) return "\r";
  if (same_name(end, "telnet") && s.telnet_on && telnet_ours(s.telnet, TELNET_BINARY)) return "\r";
  return "\r\n";
}

void session_log(Session &s, const std::string &text) { log_line(s.log, s.name, text); }

SessionKind session_kind(const Session &s) {
  std::string kind = session_setting(s, "Kind");
  if (same_name(kind, "pty")) return KIND_PTY;
  if (same_name(kind, "serial")) return KIND_SERIAL;
  return KIND_TCP;
}

std::string session_setting(const Session &s, std::string_view key) {
  return setting_text(s.settings, key, s.name);
}

long session_number(const Session &s, std::string_view key) { return setting_number(s.settings, key); }

bool session_flag(const Session &s, std::string_view key) { return setting_on(s.settings, key); }

// The settings of an ad-hoc name: tcp:HOST:PORT, pty:COMMAND, serial:DEVICE; false for others.
static bool ad_hoc(std::string_view name, Settings *settings) {
  if (name.substr(0, 4) == "tcp:") {
    std::string_view rest = name.substr(4);
    size_t colon = rest.rfind(':');
    settings->set("Kind", "tcp");
    settings->set("Address", rest.substr(0, colon));
    if (colon != std::string_view::npos) settings->set("Port", rest.substr(colon + 1));
    return true;
  }
  if (name.substr(0, 4) == "pty:") {
    settings->set("Kind", "pty");
    settings->set("Command", name.substr(4));
    return true;
  }
  if (name.substr(0, 7) == "serial:") {
    settings->set("Kind", "serial");
    settings->set("Device", name.substr(7));
    return true;
  }
  return false;
}

// An entry whose setting has a value that the key does not take (Rows=abc, Parity=evn) is not
// opened: the user hears which, rather than getting a session that runs with a guess.
static bool entry_valid(const IniSection &entry) {
  for (const auto &[key, value] : entry.keys.items)
    if (is_known_key(key) && !setting_valid(key, value)) {
      host_say("phonebook entry \"" + entry.name + "\": " + key + "=" + value + " is not a value of " + key);
      return false;
    }
  return true;
}

// Opens a session of the entry or ad-hoc name: its handle, KT_E_NOTFOUND or KT_E_FULL.
static int32_t open_session(std::string_view name) {
  Settings settings;
  std::string shown(name);
  if (!ad_hoc(name, &settings)) {
    const IniSection *entry = phonebook_find(name);
    if (!entry) {
      host_say("no phonebook entry \"" + std::string(name) + "\"");
      return KT_E_NOTFOUND;
    }
    settings = entry->keys;
    shown = entry->name;
    if (!entry_valid(*entry)) return KT_E_BADARG;
  }
  int slot = 0;
  while (slot < MAX_SESSIONS && table[slot]) ++slot;
  if (slot == MAX_SESSIONS) return KT_E_FULL;
  Session *s = new Session;
  s->handle = slot + 1;
  s->name = shown;
  s->settings = std::move(settings);
  s->entry_rows = static_cast<int>(session_number(*s, "Rows"));
  s->entry_columns = static_cast<int>(session_number(*s, "Columns"));
  s->screen = screen_new(s->entry_rows, s->entry_columns);
  s->capture.path = session_setting(*s, "Capture");
  std::string log = session_setting(*s, "Log");
  if (!log.empty() && log_open(s->log, log) != KT_OK) host_say("cannot open the log file " + log);
  table[slot] = s;
  if (!current) current = s->handle;
  session_log(*s, "open");
  return s->handle;
}

static void close_session(Session *s) {
  transfer_abort(*s);  // its program goes with the session
  if (s->status == KT_ST_CONNECTED) io_drain(*s);  // what has arrived is captured
  if (capture_on(s->capture)) session_log(*s, "capture end " + s->capture.path);
  capture_stop(s->capture);
  capture_print(*s);
  connection_hang_up(*s, "session closed");
  session_log(*s, "close");
  log_close(s->log);
  screen_free(s->screen);
  table[s->handle - 1] = nullptr;
  if (current == s->handle) current = 0;
  if (startup == s->handle) startup = 0;
  delete s;
}

// The phonebook the user named, or "" for the default one.
static std::string phonebook_named(const StartupItems &items) {
  return items.phonebook.empty() ? host_setting("Host", "Phonebook", "") : items.phonebook;
}

int32_t sessions_start(const StartupItems &items) {
  std::string named = phonebook_named(items);
  std::string book = named.empty() ? settings_file("phonebook.ini") : named;
  if (phonebook_load(book, !named.empty()) < 0)
    host_say("cannot read the phonebook " + book + ": " + host_errno_text());
  user_start(items);
  for (const std::string &item : items.unknown) host_say("start-up item \"" + item + "\" ignored");
  if (items.entry.empty()) return 0;
  int32_t h = open_session(items.entry);
  if (h < 0) return h;
  startup = current = h;
  Session &s = *table[h - 1];
  s.local_display = user_interactive();
  if (items.connect) connection_start(s);
  return h;
}

void sessions_service() { io_service_pass(); }

void sessions_discard_output() {
  for (Session *s : open_sessions()) s->output.clear();
}

void sessions_end_run(int status) {
  for (Session *s : open_sessions()) transfer_abort(*s);
  int64_t deadline = now_ms() + END_DRAIN_MS;
  io_wait(
      deadline,
      [](int64_t, int64_t *) {
        for (Session *s : open_sessions())
          if (!s->output.empty() && s->status == KT_ST_CONNECTED) return false;
        return true;
      },
      false);
  for (Session *s : open_sessions())
    session_log(*s, "script ended (status " + std::to_string(status & 255) + ")");
  for (Session *s : open_sessions()) close_session(s);
  current = startup = 0;
  user_end();
}

// The functions of sessions.

int32_t ktOpenSession(int32_t name, int32_t flags) {
  if (int32_t r = host_enter()) return r;
  std::string_view text;
  if (!arg_string(name, &text) || text.empty() || (flags & ~(KT_OPEN_EXISTING | KT_OPEN_CURRENT)))
    return KT_E_BADARG;
  int32_t h = 0;
  if (flags & KT_OPEN_EXISTING)
    for (Session *s : open_sessions())
      if (same_name(s->name, text) && !h) h = s->handle;
  if (!h) h = open_session(text);
  if (h > 0 && (flags & KT_OPEN_CURRENT)) current = h;
  return h;
}

int32_t ktCloseSession(int32_t h) {
  if (int32_t r = host_enter()) return r;
  if (h == KT_ALL_SESSIONS) {
    for (Session *s : open_sessions()) close_session(s);
    return KT_OK;
  }
  int32_t error;
  Session *s = session_find(h, &error);
  if (!s) return error;
  close_session(s);
  return KT_OK;
}

int32_t ktGetSession(int32_t which) {
  if (int32_t r = host_enter()) return r;
  if (which == KT_SESSION_CURRENT) return current;
  if (which == KT_SESSION_STARTUP) return startup;
  return KT_E_BADARG;
}

int32_t ktSetSession(int32_t h, int32_t flags) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (flags & ~KT_SESSION_SHOW) return KT_E_BADARG;
  current = s->handle;
  if (flags & KT_SESSION_SHOW)
    for (Session *other : open_sessions()) other->local_display = other == s;
  return KT_OK;
}

int32_t ktGetOpenSession(int32_t name, int32_t index) {
  if (int32_t r = host_enter()) return r;
  std::string_view text;
  bool given;
  if (!arg_optional_string(name, &text, &given) || index < 0) return KT_E_BADARG;
  for (Session *s : open_sessions()) {
    if (!text.empty() && !same_name(s->name, text)) continue;
    if (index-- == 0) return s->handle;
  }
  return 0;
}

int32_t ktGetNameString(int32_t h, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  return put_string(buf, size, s->name);
}

int32_t ktSetNameString(int32_t h, int32_t name) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view text;
  if (!arg_string(name, &text) || text.empty()) return KT_E_BADARG;
  session_log(*s, "renamed to " + std::string(text));
  s->name.assign(text);
  return KT_OK;
}

// The key a session data string is stored under: a known key as it is, else "Data.KEY".
static std::string data_key(std::string_view key) {
  if (is_known_key(key) || (key.size() > 5 && same_name(key.substr(0, 5), "Data."))) return std::string(key);
  return "Data." + std::string(key);
}

int32_t ktGetSessionDataString(int32_t h, int32_t key, int32_t buf, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view k;
  if (!arg_string(key, &k) || k.empty()) return KT_E_BADARG;
  std::string stored = data_key(k);
  if (is_known_key(stored)) return put_string(buf, size, session_setting(*s, stored));
  const std::string *value = s->settings.find(stored);
  return value ? put_string(buf, size, *value) : KT_E_NOTFOUND;
}

int32_t ktSetSessionDataString(int32_t h, int32_t key, int32_t value) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  std::string_view k, v;
  bool given;
  if (!arg_string(key, &k) || k.empty() || !arg_optional_string(value, &v, &given)) return KT_E_BADARG;
  std::string stored = data_key(k);
  if (!given) {
    s->settings.erase(stored);
    return KT_OK;
  }
  if (is_known_key(stored) && !setting_valid(stored, v)) return KT_E_BADARG;
  if (same_name(stored, "Kind") && s->status != KT_ST_IDLE) return KT_E_STATE;  // as ktSetPortType
  s->settings.set(stored, v);
  return KT_OK;
}

// Rows and columns of a size word, checked.
static bool split_size(int32_t size, int *rows, int *columns) {
  *rows = static_cast<int>((static_cast<uint32_t>(size) >> 16) & 0xffff);
  *columns = static_cast<int>(size & 0xffff);
  return *rows >= 2 && *rows <= 500 && *columns >= 10 && *columns <= 1000;
}

void session_resize(Session &s, int rows, int columns) {
  s.settings.set("Rows", std::to_string(rows));
  s.settings.set("Columns", std::to_string(columns));
  screen_resize(*s.screen, rows, columns);
  connection_set_window(s, rows, columns);
  s.telnet.rows = rows;
  s.telnet.columns = columns;
  if (s.telnet_on && s.status == KT_ST_CONNECTED) io_send_raw(s, telnet_window_size(s.telnet));
}

int32_t ktSizeSession(int32_t h, int32_t size) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  int rows = s->entry_rows, columns = s->entry_columns;
  if (size != 0 && !split_size(size, &rows, &columns)) return KT_E_BADARG;
  session_resize(*s, rows, columns);
  return KT_OK;
}
