// screen.cpp: the screen over libvterm (the 0.1.4 API).
#include "screen.h"

#include <vterm.h>

#include <algorithm>
#include <cstdio>

namespace {
// Where the bytes given to the emulator stand, as its parser sees them: enough of it to find REP.
// libvterm 0.1 starts a CSI at any '[' after an ESC, with intermediates or inside a string; later
// versions do not always: the scan takes the first view, so it finds every REP and at worst a
// 'b' more than one.
enum Scan { TEXT, ESC, CSI_LEADER, CSI_ARGS, CSI_INTERMEDIATE };
}  // namespace

struct Screen {
  VTerm *vt;
  VTermScreen *cells;
  std::string output;   // the emulator's answers, not yet taken
  std::string pending;  // received bytes from 'parsed' on wait for the emulator
  size_t parsed = 0;
  bool after_cr = false;
  Scan scan = TEXT;
  int arguments = 0;  // of the CSI being read, the one being read included
  int digits = 0;     // of the argument being read
  long repeat = 0;    // the first argument, -1 when the CSI cannot be REP
  std::string utf8;   // the start of a UTF-8 sequence in the text
};

static void collect_output(const char *bytes, size_t len, void *user) {
  static_cast<Screen *>(user)->output.append(bytes, len);
}

static void put_utf8(std::string &out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xc0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xe0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  }
}

// The text of one cell: its characters (a base and combining marks), or a blank.
static std::string cell_text(const VTermScreenCell &cell) {
  std::string text;
  for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i]; ++i) put_utf8(text, cell.chars[i]);
  return text.empty() ? " " : text;
}

// libvterm carries out REP (CSI Pn b) by printing the last character again until Pn columns are
// filled, stepping by the character's width: after a character of width 0 (a combining mark with
// nothing to combine with) it loops for ever. REP goes to the emulator as a sequence it ignores
// (final '_'), and the character left of the cursor is printed Pn times in its place, as far as
// the row goes: the way curses uses REP, right after the character.
static void repeat_last_character(Screen &s, long count) {
  VTermPos at;
  vterm_state_get_cursorpos(vterm_obtain_state(s.vt), &at);
  VTermScreenCell cell{};
  int rows, columns;
  vterm_get_size(s.vt, &rows, &columns);
  // The cell left of the cursor, or the one before it when that is the right half of a wide one.
  for (int back = 1; back <= 2 && at.col - back >= 0; ++back) {
    vterm_screen_get_cell(s.cells, {at.row, at.col - back}, &cell);
    if (cell.chars[0] && cell.chars[0] != static_cast<uint32_t>(-1)) break;
  }
  if (!cell.chars[0] || cell.chars[0] == static_cast<uint32_t>(-1) || cell.width < 1) return;
  std::string text = cell_text(cell);
  for (long i = std::min<long>(count, (columns - at.col) / cell.width); i > 0; --i)
    vterm_input_write(s.vt, text.data(), text.size());
}

// What happens to a byte on its way to the emulator.
enum Step { PASS, DROP, REPEAT };

// libvterm 0.1 stores a CSI's arguments in an array of 16 without checking, and adds up each
// argument's digits in a long: separators past the 16th argument, and digits past the ninth of
// one, are not passed on (they would write past the array, or overflow).
constexpr int MOST_ARGUMENTS = 16, MOST_DIGITS = 9;

// One step of the scan over a byte that is not a control; REPEAT ends a REP.
static Step scan_byte(Screen &s, unsigned char c) {
  switch (s.scan) {
  case TEXT: return PASS;
  case ESC:  // intermediates, and bytes it cannot take, leave the parser in the escape
    if (c == '[') s.scan = CSI_LEADER, s.arguments = 1, s.digits = 0, s.repeat = 0;
    else if (c >= 0x30 && c <= 0x7e) s.scan = TEXT;
    return PASS;
  case CSI_LEADER:
    if (c >= 0x3c && c <= 0x3f) {
      s.repeat = -1;  // a private sequence, not REP
      return PASS;
    }
    s.scan = CSI_ARGS;
    [[fallthrough]];
  case CSI_ARGS:
    if (c >= '0' && c <= '9') {
      if (++s.digits > MOST_DIGITS) return DROP;
      if (s.arguments == 1 && s.repeat >= 0) s.repeat = s.repeat * 10 + (c - '0');
      return PASS;
    }
    if (c == ';' || c == ':') {
      if (s.arguments == MOST_ARGUMENTS) return DROP;
      ++s.arguments, s.digits = 0;
      return PASS;
    }
    s.scan = CSI_INTERMEDIATE;
    [[fallthrough]];
  case CSI_INTERMEDIATE:
    if (c >= 0x20 && c <= 0x2f) {
      s.repeat = -1;
      return PASS;
    }
    s.scan = TEXT;
    return c == 'b' && s.repeat >= 0 ? REPEAT : PASS;
  }
  return PASS;
}

// libvterm's UTF-8 decoder keeps a lead byte across controls, escape sequences and writes, and
// decodes C1 controls (U+0080..U+009F) into characters of width -1 that move the cursor left of
// column 0. Text reaches it only as whole, valid sequences: a sequence that a control cuts or
// that is not valid UTF-8 (overlong, a surrogate, past U+10FFFF, a stray byte) shows as U+FFFD,
// a C1 control as a no-break space. A sequence that a write cuts waits for the rest.
static const char REPLACEMENT[] = "\xef\xbf\xbd";

static void utf8_cut(Screen &s, std::string &out) {
  if (s.utf8.empty()) return;
  out += REPLACEMENT;
  s.utf8.clear();
}

static void utf8_byte(Screen &s, unsigned char c, std::string &out) {
  if (!s.utf8.empty() && (c & 0xc0) != 0x80) utf8_cut(s, out);
  if (s.utf8.empty()) {
    if (c < 0x80) out += static_cast<char>(c);
    else if (c >= 0xc2 && c <= 0xf4) s.utf8 += static_cast<char>(c);
    else out += REPLACEMENT;
    return;
  }
  s.utf8 += static_cast<char>(c);
  unsigned char lead = static_cast<unsigned char>(s.utf8[0]);
  size_t length = lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
  if (s.utf8.size() < length) return;
  uint32_t cp = lead & (0x7f >> length);
  for (size_t i = 1; i < length; ++i) cp = cp << 6 | (static_cast<unsigned char>(s.utf8[i]) & 0x3f);
  bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (cp >= 0x80 && cp <= 0x9f) out += "\xc2\xa0";
  else if (overlong || (cp >= 0xd800 && cp <= 0xdfff) || cp > 0x10ffff) out += REPLACEMENT;
  else out += s.utf8;
  s.utf8.clear();
}

// Gives bytes to the emulator, with REP, the CSI arguments and UTF-8 as above.
static void emulate(Screen &s, const char *bytes, size_t size) {
  std::string out;
  out.reserve(size + 16);
  for (size_t i = 0; i < size; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (s.scan == TEXT && c >= 0x20 && c != 0x7f) {
      utf8_byte(s, c, out);
      continue;
    }
    utf8_cut(s, out);
    Step step = PASS;
    if (c == 0x18 || c == 0x1a) s.scan = TEXT;  // CAN and SUB end any sequence
    else if (c == 0x1b) s.scan = ESC;           // in a string too: ESC [ begins a CSI
    else if (c >= 0x20 && c != 0x7f) step = scan_byte(s, c);
    if (step == PASS) out += static_cast<char>(c);
    if (step != REPEAT) continue;
    out += '_';
    vterm_input_write(s.vt, out.data(), out.size());
    out.clear();
    repeat_last_character(s, std::max(s.repeat, 1L));
  }
  vterm_input_write(s.vt, out.data(), out.size());
}

Screen *screen_new(int rows, int columns) {
  Screen *s = new Screen;
  s->vt = vterm_new(rows, columns);
  vterm_set_utf8(s->vt, 1);
  vterm_output_set_callback(s->vt, collect_output, s);
  s->cells = vterm_obtain_screen(s->vt);
  vterm_screen_reset(s->cells, 1);
  return s;
}

void screen_free(Screen *screen) {
  if (!screen) return;
  vterm_free(screen->vt);
  delete screen;
}

// libvterm decodes a piece of text into an array on the stack: it gets pieces of this size.
constexpr size_t PIECE = 16 * 1024;

void screen_work(Screen &screen, size_t budget) {
  size_t end = screen.parsed + std::min(budget, screen.pending.size() - screen.parsed);
  while (screen.parsed < end) {
    size_t n = std::min(PIECE, end - screen.parsed);
    emulate(screen, screen.pending.data() + screen.parsed, n);
    screen.parsed += n;
  }
  // The parsed head goes once it is half the buffer: each byte is moved at most once on average.
  if (screen.parsed == screen.pending.size()) {
    screen.pending.clear();
    screen.parsed = 0;
  } else if (screen.parsed > screen.pending.size() / 2) {
    screen.pending.erase(0, screen.parsed);
    screen.parsed = 0;
  }
}

void screen_flush(Screen &screen) { screen_work(screen, screen.pending.size()); }

bool screen_pending(const Screen &screen) { return screen.parsed < screen.pending.size(); }

void screen_feed(Screen &screen, std::string_view bytes, bool add_lf) {
  if (!add_lf) {
    screen.pending.append(bytes);
  } else {
    for (char c : bytes) {
      if (screen.after_cr && c != '\n') screen.pending += '\n';
      screen.after_cr = c == '\r';
      screen.pending += c;
    }
  }
  size_t waiting = screen.pending.size() - screen.parsed;
  if (waiting > PENDING_LIMIT) screen_work(screen, waiting - PENDING_LIMIT);
}

void screen_show_local(Screen &screen, std::string_view bytes) {
  screen_flush(screen);
  std::string answers = screen_take_output(screen);
  for (size_t at = 0; at < bytes.size(); at += PIECE)
    emulate(screen, bytes.data() + at, std::min(PIECE, bytes.size() - at));
  screen.output = answers;
}

std::string screen_take_output(Screen &screen) {
  std::string out;
  out.swap(screen.output);
  return out;
}

void screen_resize(Screen &screen, int rows, int columns) {
  screen_flush(screen);
  vterm_set_size(screen.vt, rows, columns);
}

void screen_reset(Screen &screen, bool hard) {
  screen_flush(screen);
  if (hard) {
    vterm_screen_reset(screen.cells, 1);
  } else {
    emulate(screen, "\x1b[2J\x1b[H", 7);
  }
}

int screen_rows(Screen &screen) {
  screen_flush(screen);
  int rows, columns;
  vterm_get_size(screen.vt, &rows, &columns);
  return rows;
}

int screen_columns(Screen &screen) {
  screen_flush(screen);
  int rows, columns;
  vterm_get_size(screen.vt, &rows, &columns);
  return columns;
}

void screen_cursor(Screen &screen, int *row, int *column) {
  screen_flush(screen);
  VTermPos pos;
  vterm_state_get_cursorpos(vterm_obtain_state(screen.vt), &pos);
  *row = pos.row;
  *column = pos.col;
}


std::string screen_text(Screen &screen, int row, int column, int count) {
  int rows = screen_rows(screen), columns = screen_columns(screen);
  std::string out;
  VTermPos pos{row, column};
  while (pos.row < rows) {
    VTermScreenCell cell;
    vterm_screen_get_cell(screen.cells, pos, &cell);
    // The right half of a wide character has no text of its own.
    if (cell.chars[0] != static_cast<uint32_t>(-1)) {
      std::string text = cell_text(cell);
      if (out.size() + text.size() > static_cast<size_t>(count)) break;
      out += text;
    }
    pos.col += cell.width > 1 ? cell.width : 1;
    if (pos.col >= columns) {
      pos.col = 0;
      ++pos.row;
    }
  }
  return out;
}
