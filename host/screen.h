// screen.h: a session's screen, Rows x Columns cells kept by the terminal emulator (libvterm,
// UTF-8). Rows and columns are 0-based; there is no scrollback. The emulator's own answers
// (device status, attributes) are collected for the session to send to the remote.
//
// The emulator is slower than a fast line, so received data is parsed when the screen is read,
// when the I/O loop has nothing else to do (screen_work), and at once only beyond PENDING_LIMIT
// bytes: a flood is captured at the speed of the line, and the screen shows all of it when read.
#ifndef HOST_SCREEN_H
#define HOST_SCREEN_H

#include <cstddef>
#include <string>
#include <string_view>

struct Screen;

constexpr size_t PENDING_LIMIT = 64 * 1024 * 1024;

Screen *screen_new(int rows, int columns);
void screen_free(Screen *screen);
// Feeds received bytes; with 'add_lf' a CR that no LF follows shows as CR LF.
void screen_feed(Screen &screen, std::string_view bytes, bool add_lf);
// Whether received bytes wait to be parsed; screen_work parses up to 'budget' of them, and
// screen_flush all.
bool screen_pending(const Screen &screen);
void screen_work(Screen &screen, size_t budget);
void screen_flush(Screen &screen);
// Shows text that did not come from the remote (after what did): the answers to it are dropped.
void screen_show_local(Screen &screen, std::string_view bytes);
// The answers the emulator produced since the last call.
std::string screen_take_output(Screen &screen);
// The functions that read or change the screen parse what is pending first.
void screen_resize(Screen &screen, int rows, int columns);
void screen_reset(Screen &screen, bool hard);  // hard: the terminal's state too, else clear
int screen_rows(Screen &screen);
int screen_columns(Screen &screen);
void screen_cursor(Screen &screen, int *row, int *column);
// Up to 'count' bytes of UTF-8 text of the cells from (row, column) on in reading order, blanks
// for empty cells; a character that does not fit whole is left out.
std::string screen_text(Screen &screen, int row, int column, int count);

#endif
