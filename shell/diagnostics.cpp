#include "shell/diagnostics.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "shell/error_dialog.h"
#include "shell/run_end.h"
#include "source/lexer.h"
#include "source/preprocessor.h"

int error_count = 0;

// Both the message and the trace buffers hold 256 bytes.
constexpr int OUTPUT_BUFFER = 256;

const char *load_message(int id, char *buf, int size) {
  if (plat_load_string(id, buf, size) == 0) buf[0] = '\0';
  return buf;
}

static void lower_in_place(char *s) {
  for (; *s; ++s) *s = static_cast<char>(std::tolower(static_cast<unsigned char>(*s)));
}

// The error line of message 'id' in 'out': the prefix with file, line and id, then the text.
static void format_error(char (&out)[OUTPUT_BUFFER], int id, va_list args) {
  char format[MESSAGE_BUFFER];
  ++error_count;
  char *name = current_file_name();
  if (plat_lowers_file_names()) lower_in_place(name);
  int line = line_counter / 2 + 1;
  int used = std::snprintf(out, sizeof out, load_message(MSG_ERROR_PREFIX, format, sizeof format),
                           name, line, id);
  if (used < 0) used = 0;
  if (used < OUTPUT_BUFFER - 1)
    std::vsnprintf(out + used, sizeof out - used, load_message(id, format, sizeof format), args);
}

static int show_error(int id, va_list args) {
  char out[OUTPUT_BUFFER] = {};
  format_error(out, id, args);
  switch (show_error_dialog(out)) {
  case DIALOG_CONTINUE: return 1;
  case DIALOG_NONE: return -1;  // no dialog: the run goes on as after Continue
  case DIALOG_CANCEL:
  case DIALOG_EDIT: break;
  }
  // An interrupt that cut the answer short ends the run as the interrupt does.
  check_requested_end();
  end_run(1);
}

int error(int id, ...) {
  va_list args;
  va_start(args, id);
  int answer = show_error(id, args);
  va_end(args);
  return answer;
}

void fatal(int id, ...) {
  va_list args;
  va_start(args, id);
  show_error(id, args);
  va_end(args);
  end_run(1);
}

void report_line(int id, ...) {
  char out[OUTPUT_BUFFER] = {};
  va_list args;
  va_start(args, id);
  format_error(out, id, args);
  va_end(args);
  plat_error_line(out);
}

static void trace_vprintf(const char *format, va_list args) {
  char buf[OUTPUT_BUFFER] = {};
  // One byte is kept free so that a final line feed can become CR LF.
  std::vsnprintf(buf, sizeof buf - 1, format, args);
  size_t len = std::strlen(buf);
  if (len > 0 && buf[len - 1] == '\n') {
    buf[len - 1] = '\r';
    buf[len] = '\n';
  }
  plat_trace(buf);
}

void trace_printf(const char *format, ...) {
  va_list args;
  va_start(args, format);
  trace_vprintf(format, args);
  va_end(args);
}

void trace_message(int id, ...) {
  char format[TRACE_TEXT_BUFFER];
  load_message(id, format, sizeof format);
  va_list args;
  va_start(args, id);
  trace_vprintf(format, args);
  va_end(args);
}

void NestingGuard::overflow() { fatal(MSG_OUT_OF_MEMORY); }
