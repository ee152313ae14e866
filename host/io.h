// io.h: the I/O model. The library is single-threaded and does I/O only inside kt calls: each
// call begins with a service pass over all sessions (read, write queued output, reap children,
// answer telnet), and the waits go on servicing every session in poll until their condition,
// their time or an interrupt of the run (the interpreter's interrupt descriptor is in every
// poll set). Between calls nothing is read: data waits in the kernel.
#ifndef HOST_IO_H
#define HOST_IO_H

#include <cstdint>
#include <functional>
#include <string_view>

struct Session;

enum WaitResult { WAIT_READY, WAIT_TIMEOUT, WAIT_CANCELLED };

// ready(now, &wake) says whether the wait is over; it may set 'wake' (a monotonic time in ms,
// -1 for none) to be asked again then even when nothing happens.
using WaitReady = std::function<bool(int64_t now, int64_t *wake)>;
// Brings 'wake' forward to 't' (-1: no time) when 't' comes first.
inline void wake_by(int64_t *wake, int64_t t) {
  if (t >= 0 && (*wake < 0 || t < *wake)) *wake = t;
}

// Services every session until 'ready', the deadline (-1: none) or an interrupt. 'ready' is
// asked once before anything waits, so a deadline of now checks once. The end of the run waits
// without 'interruptible' (the interrupt that ended it stays readable). 'watch_fd', when not -1,
// is polled too: 'ready' is asked again when it turns readable.
WaitResult io_wait(int64_t deadline, const WaitReady &ready, bool interruptible = true, int watch_fd = -1);
// What the I/O loop does with bytes read from the connection: telnet decoding, then the logon task
// or the receive buffer, the screen, the capture and the local display.
void io_receive(Session &s, std::string_view raw);
// Waits 'ms' while servicing every session: KT_OK, or KT_E_CANCELLED.
int32_t io_pause(int64_t ms);
// One pass without waiting.
void io_service_pass();
// Reads what the connection holds now (before a hang-up, so nothing received is lost).
void io_drain(Session &s);
// Queues bytes for the connection as they are (telnet-encoded when telnet is on), servicing while
// the queue is full: KT_OK, KT_E_NOTCONNECTED or KT_E_CANCELLED.
int32_t io_send(Session &s, std::string_view bytes);
// Queues bytes that are ready for the wire as they are (telnet commands).
void io_send_raw(Session &s, std::string_view bytes);
// How many bytes the output queue takes before it is full.
size_t io_room(const Session &s);
// Queues what a program (logon task, transfer) wrote for the remote, as the connection carries it.
void io_relay(Session &s, std::string_view bytes);
// A telnet session tells the peer when its Echo setting changed (WILL or WONT ECHO).
void io_follow_echo(Session &s);
// Shows bytes on the screen and the local display as if received.
void io_show_local(Session &s, std::string_view bytes);

#endif
