// serial.cpp: serial devices.
#include "serial.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "kt.h"

// How long DTR stays low at a hang-up: long enough for a modem to notice.
constexpr int HANG_UP_US = 1000000;

namespace {
struct Speed {
  long baud;
  speed_t speed;
};
}  // namespace

static const Speed speeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool serial_speed(long baud, speed_t *speed) {
  for (const Speed &s : speeds) {
    if (s.baud != baud) continue;
    *speed = s.speed;
    return true;
  }
  return false;
}

static tcflag_t data_bits_flag(int bits) {
  switch (bits) {
  case 5: return CS5;
  case 6: return CS6;
  case 7: return CS7;
  default: return CS8;
  }
}

int serial_apply(int fd, const SerialFormat &format) {
  speed_t speed;
  if (!serial_speed(format.baud, &speed)) return EINVAL;
  termios t;
  if (tcgetattr(fd, &t) != 0) return errno;
  cfmakeraw(&t);
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= data_bits_flag(format.data_bits) | CREAD | CLOCAL;
  if (format.parity != KT_PARITY_NONE) t.c_cflag |= PARENB;
  if (format.parity == KT_PARITY_ODD || format.parity == KT_PARITY_MARK) t.c_cflag |= PARODD;
  if (format.parity >= KT_PARITY_MARK) t.c_cflag |= CMSPAR;  // mark or space
  if (format.stop_bits == 2) t.c_cflag |= CSTOPB;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (format.flow == 1) t.c_iflag |= IXON | IXOFF;
  if (format.flow == 2) t.c_cflag |= CRTSCTS;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &t) == 0 ? 0 : errno;
}

int serial_open(const std::string &device, const SerialFormat &format) {
  int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (int err = serial_apply(fd, format)) {
    close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

void serial_break(int fd, int ms) {
  if (ioctl(fd, TIOCSBRK) != 0) return;
  usleep(static_cast<useconds_t>(ms) * 1000);
  ioctl(fd, TIOCCBRK);
}

void serial_line(int fd, int line, bool on) { ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line); }

void serial_close(int fd) {
  int dtr = TIOCM_DTR;
  // A pty pair or a device without modem lines has no DTR to drop: nothing to wait for then.
  if (ioctl(fd, TIOCMBIC, &dtr) == 0) usleep(HANG_UP_US);
  close(fd);
}
