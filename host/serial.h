// serial.h: a serial device as a direct line: opened raw, with the speed, data bits, parity, stop
// bits and flow control of the session's settings, applied again whenever they change.
#ifndef HOST_SERIAL_H
#define HOST_SERIAL_H

#include <termios.h>

#include <string>

struct SerialFormat {
  long baud = 9600;
  int data_bits = 8;
  int parity = 0;  // KT_PARITY_...
  int stop_bits = 1;
  int flow = 0;  // 0 none, 1 xonxoff, 2 rtscts
};

// The termios speed of 'baud', or false when termios has none.
bool serial_speed(long baud, speed_t *speed);
// Opens 'device' non-blocking and raw in 'format': the descriptor, or -1 with errno set.
int serial_open(const std::string &device, const SerialFormat &format);
// Applies 'format' to an open device: 0 or an error number.
int serial_apply(int fd, const SerialFormat &format);
// Holds a break condition for 'ms'.
void serial_break(int fd, int ms);
// Raises or drops a modem line (TIOCM_DTR, TIOCM_RTS).
void serial_line(int fd, int line, bool on);
// Drops DTR for a second, so that a modem hangs up, and closes the device.
void serial_close(int fd);

#endif
