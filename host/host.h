// host.h: what every module of the host library shares: the interpreter's attach record, the
// check that every kt function starts with, script arguments and results, the clock and the
// last system error.
//
// The library is single-threaded and does I/O only inside kt calls (io.h). Script memory is
// reached only through the attach record's string() and pointer(): a bad address is
// KT_E_BADARG, never a crash.
#ifndef HOST_HOST_H
#define HOST_HOST_H

#include <cstdint>
#include <string>
#include <string_view>

#include "kt.h"
#include "oxel_host.h"

// Set by oxel_host_attach; the record stays valid until the process ends.
extern const OxelHost *host_interface;

// Every kt function but ktInitialize starts here: KT_E_NOTINIT before ktInitialize, else KT_OK
// after one service pass over all sessions.
int32_t host_enter();
bool host_initialised();

// The interrupt descriptor of the run, or -1 (a version 1 interpreter has none).
int host_interrupt_fd();

// A string argument: false when 'address' (0 included) is no NUL-terminated string in script
// memory.
bool arg_string(int32_t address, std::string_view *text);
// The same, but address 0 is allowed and means "not given" (*given false, *text empty).
bool arg_optional_string(int32_t address, std::string_view *text, bool *given);
// Writes 'text' as an output string (buf, size): at most size-1 bytes and a NUL; size 0 writes
// nothing. Gives the full length, or KT_E_BADARG when the buffer is not script memory or size is
// negative.
int32_t put_string(int32_t buf, int32_t size, std::string_view text);
// Writes 'value' to an int out-pointer (0 = not wanted): KT_OK or KT_E_BADARG.
int32_t put_int(int32_t address, int32_t value);
// The native bytes of a script buffer of 'size' bytes, or null.
char *script_buffer(int32_t address, uint32_t size);

// Milliseconds of the monotonic clock.
int64_t now_ms();
// The deadline of a timeout from now: -1 for no limit (negative timeouts).
int64_t deadline_after(int32_t timeout_ms);

// Records errno 'err' for KT_RV_ERRNO; host_fail gives KT_E_FAIL after recording it.
void note_errno(int err);
int32_t host_fail(int err);
int host_last_errno();
// "text of errno" of the last recorded error, for log lines.
std::string host_errno_text();

// Writes one line to standard error ("host: ...").
void host_say(const std::string &text);

#endif
