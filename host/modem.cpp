// modem.cpp: the Hayes modem of serial sessions.
#include "modem.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "connection.h"
#include "host.h"
#include "session.h"

// The guard time around "+++" of a modem that has no DTR line to drop.
constexpr useconds_t GUARD_US = 1100000;

bool modem_needed(const Session &s) {
  return session_kind(s) == KIND_SERIAL &&
         (!s.destination.empty() || !session_setting(s, "Number").empty() || session_number(s, "Rings") > 0);
}

bool modem_talking(const Session &s) { return s.modem.state != MODEM_NONE && s.modem.state != MODEM_ONLINE; }

// Commands go out at once: nothing else is sent while the modem listens to them.
static void command(Session &s, const std::string &text) {
  session_log(s, "modem " + text);
  std::string line = text + "\r";
  if (write(s.fd, line.data(), line.size()) < 0) note_errno(errno);
}

static void dial_or_answer(Session &s) {
  long rings = session_number(s, "Rings");
  if (rings > 0 && s.destination.empty()) {
    s.modem.state = MODEM_ANSWERING;
    s.modem.rings = 0;
    s.status = KT_ST_LISTENING;
    s.attempt_deadline = -1;  // a caller may take its time
    return command(s, "ATS0=" + std::to_string(rings));
  }
  std::string number = s.destination.empty() ? session_setting(s, "Number") : s.destination;
  s.modem.state = MODEM_DIALING;
  command(s, (same_name(session_setting(s, "Dial"), "pulse") ? "ATDP" : "ATDT") + number);
}

void modem_begin(Session &s) {
  s.modem.line.clear();
  std::string init = session_setting(s, "ModemInit");
  if (init.empty()) return dial_or_answer(s);
  s.modem.state = MODEM_INIT;
  command(s, init);
}

// One result line: true when the modem has connected.
static bool result(Session &s, const std::string &line) {
  static const char *const failures[] = {"BUSY", "NO CARRIER", "NO DIALTONE", "NO ANSWER", "ERROR"};
  if (line.rfind("CONNECT", 0) == 0) {  // "CONNECT 9600/ARQ"
    session_log(s, "modem " + line);
    s.modem.state = MODEM_ONLINE;
    connection_modem_connected(s);
    return true;
  }
  if (line == "OK" && s.modem.state == MODEM_INIT) dial_or_answer(s);
  else if (line == "RING") session_log(s, "modem RING " + std::to_string(++s.modem.rings));
  for (const char *failure : failures)
    if (line == failure) connection_modem_failed(s, "modem " + line);
  return false;
}

size_t modem_receive(Session &s, std::string_view data) {
  Modem &m = s.modem;
  if (!modem_talking(s)) return 0;
  for (size_t i = 0; i < data.size(); ++i) {
    char c = data[i];
    if (c != '\r' && c != '\n') {
      if (m.line.size() < 256) m.line += c;
      continue;
    }
    std::string line;
    line.swap(m.line);
    if (!line.empty() && line.rfind("AT", 0) != 0 && result(s, line)) return i + 1;  // the echo is no result
    if (m.state == MODEM_NONE) return data.size();  // the attempt failed
  }
  return data.size();
}

void modem_hang_up(Session &s) {
  if (s.modem.state == MODEM_NONE || s.fd < 0) return;
  bool online = s.modem.state == MODEM_ONLINE;
  s.modem.state = MODEM_NONE;
  int dtr = TIOCM_DTR;
  if (!online || ioctl(s.fd, TIOCMBIC, &dtr) == 0) return;  // the device's close drops DTR
  usleep(GUARD_US);
  if (write(s.fd, "+++", 3) < 0) note_errno(errno);
  usleep(GUARD_US);
  command(s, "ATH");
}
