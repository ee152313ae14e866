// A fuzzing entry of the host library: what a hostile or broken remote sends, through a session's
// receive path as the I/O loop takes it (telnet, the receive buffer, the screen, both kinds of
// capture, the log), with the waits' searches consuming what matches now and then. The input's
// first byte sets the session (bit 0 telnet, 1 text capture, 2 remote echo, 3 AddLF, 4 7-bit
// strip, 5 no display, 6 case ignored), its second the size of the reads, and the rest is the
// data. A bound that a session's memory passed aborts, as a sanitizer report does.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "capture_log.h"
#include "fuzz_main.h"
#include "io.h"
#include "kt.h"
#include "matcher.h"
#include "screen.h"
#include "session.h"

static const char *const yes_no[] = {"no", "yes"};

static void check(bool bound, const char *what) {
  if (bound) return;
  std::fprintf(stderr, "fuzz_receive: %s\n", what);
  std::abort();
}

// The waits: a prompt at the end, a string anywhere, complete lines; each consumes its match.
static void wait_on(Session &s, const std::vector<std::string> &alts, bool nocase) {
  ReceiveBuffer &r = s.received;
  if (auto m = match_suffix(r.data, alts, nocase))
    receive_consume(r, m->end, std::string_view(r.data).substr(m->begin, m->end - m->begin));
  if (auto m = match_find(r.data, alts, nocase))
    receive_consume(r, m->end, std::string_view(r.data).substr(m->begin, m->end - m->begin));
  size_t lines = match_lines(r.data, 2);
  if (lines != std::string::npos) receive_consume(r, lines, {});
}

static void run(const std::string &input) {
  if (input.size() < 2) return;
  int mode = static_cast<unsigned char>(input[0]);
  // At most 4096 reads an input, so that a long one does not take the fuzzer's time a byte at a time.
  size_t step = std::max<size_t>(1 + static_cast<unsigned char>(input[1]) * 33, input.size() / 4096 + 1);
  Session s;
  s.handle = 1;
  s.name = "fuzz";
  s.status = KT_ST_CONNECTED;
  s.telnet_on = mode & 1;
  s.settings.set("Echo", yes_no[(mode >> 2) & 1]);
  s.settings.set("AddLF", yes_no[(mode >> 3) & 1]);
  s.settings.set("StripTo7Bits", yes_no[(mode >> 4) & 1]);
  s.settings.set("Display", yes_no[!((mode >> 5) & 1)]);
  s.screen = screen_new(24, 80);
  capture_begin(s.capture, "/dev/null", mode & 2 ? 2 : 0);
  log_open(s.log, "/dev/null");
  std::vector<std::string> alts = match_alternatives("$ |login: |\x1b[0m|\r\n\r\n", MATCH_ALT);
  std::string_view rest = std::string_view(input).substr(2);
  // The searches go over all unconsumed data: after every read of a byte at a time they would
  // make the entry slow, not the host; they run after every 64th read and at the end.
  for (int reads = 1; !rest.empty(); ++reads) {
    std::string_view piece = rest.substr(0, step);
    rest.remove_prefix(piece.size());
    io_receive(s, piece);
    if (reads % 64 == 0 || rest.empty()) wait_on(s, alts, mode & 64);
    screen_work(*s.screen, 4096);
    check(screen_take_output(*s.screen).size() <= 64 * 1024, "the emulator's answers");
    check(s.output.size() <= OUTPUT_LIMIT, "the output queue");
    check(s.received.data.size() <= RECEIVE_LIMIT && s.received.consumed.size() <= CONSUMED_KEEP, "the buffer");
    check(s.telnet.subnegotiation.size() <= 256, "a subnegotiation");
  }
  int row, column;
  screen_cursor(*s.screen, &row, &column);
  for (int r = 0; r < screen_rows(*s.screen); ++r) screen_text(*s.screen, r, 0, 80 * 4);
  check(row >= 0 && row < 24 && column >= 0 && column <= 80, "the cursor");
  capture_stop(s.capture);
  log_close(s.log);
  screen_free(s.screen);
}
