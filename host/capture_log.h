// capture_log.h: a session's capture file and its log.
//
// Capture writes received bytes to a file, unbuffered, while it is on and not paused: raw, or as
// text (escape sequences and NULs dropped, CR LF made LF). A write that fails (a full disk)
// stops the capture; the failure is kept for ktCaptureControl to report.
// The log is a text file appended to, one line per event: "YYYY-MM-DD HH:MM:SS [name] text".
#ifndef HOST_CAPTURE_LOG_H
#define HOST_CAPTURE_LOG_H

#include <cstdint>
#include <string>
#include <string_view>

// The state of the text filter between pieces of data: an escape sequence or a CR may be cut.
struct TextFilter {
  int state = 0;
  bool pending_cr = false;
};
// The text of 'in' as a text capture keeps it.
std::string text_filter(TextFilter &f, std::string_view in);
// What a pending CR leaves when the capture ends.
std::string text_filter_end(TextFilter &f);

struct Capture {
  int fd = -1;
  std::string path;  // the file in use, else the one ktSetCaptureFileName named
  bool text = false;
  bool paused = false;
  int error = 0;  // errno of a failed write, until the capture is stopped
  TextFilter filter;
};

// Starts capturing to 'path' (flags KT_CAP_...): KT_OK or KT_E_IO.
int32_t capture_begin(Capture &c, const std::string &path, int flags);
// Writes received bytes when on; false when the write failed (the capture is then stopped).
bool capture_write(Capture &c, std::string_view bytes);
// Stops: KT_OK, or KT_E_IO when a write had failed.
int32_t capture_stop(Capture &c);
bool capture_on(const Capture &c);

struct Log {
  int fd = -1;
  std::string path;
};

int32_t log_open(Log &log, const std::string &path);  // KT_OK or KT_E_IO
void log_close(Log &log);
void log_line(Log &log, std::string_view session_name, std::string_view text);
// Text sent, as the log shows it: send "ls\r" (control bytes escaped).
std::string log_quote(std::string_view text);

#endif
