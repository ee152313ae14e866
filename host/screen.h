// screen.h: a session's screen, Rows x Columns cells kept by the terminal emulator (libvterm,
// UTF-8). Rows and columns are 0-based; there is no scrollback. The emulator's own answers
// (device status, attributes) are collected for the session to send to the remote.
#ifndef HOST_SCREEN_H
#define HOST_SCREEN_H

#include <string>
#include <string_view>

struct Screen;

Screen *screen_new(int rows, int columns);
void screen_free(Screen *screen);
// Feeds received bytes; with 'add_lf' a CR that no LF follows shows as CR LF.
void screen_feed(Screen &screen, std::string_view bytes, bool add_lf);
// The answers the emulator produced since the last call.
std::string screen_take_output(Screen &screen);
void screen_resize(Screen &screen, int rows, int columns);
void screen_reset(Screen &screen, bool hard);  // hard: the terminal's state too, else clear
int screen_rows(const Screen &screen);
int screen_columns(const Screen &screen);
void screen_cursor(const Screen &screen, int *row, int *column);
// Up to 'count' bytes of UTF-8 text of the cells from (row, column) on in reading order, blanks
// for empty cells; a character that does not fit whole is left out.
std::string screen_text(const Screen &screen, int row, int column, int count);

#endif
