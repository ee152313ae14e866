// The end of a run. Every way a run ends comes through end_run(): main returning, the script's
// exit(N), an error answered Cancel, the host library's end_run, a signal and the time limit.
#pragma once
#include <csignal>

// Exit statuses of the ends that are not the script's choice.
constexpr int STATUS_TIME_LIMIT = 124;
constexpr int STATUS_SIGNAL_BASE = 128;  // plus the signal number

// The status that an interrupt or the time limit asks the run to end with, 0 while none has.
// Signal handlers set it; the interpreter looks at it on every loop turn, jump and built-in
// call, where a run can be ended safely.
extern volatile std::sig_atomic_t requested_end;
// The time limit in seconds (0: none), for the message that ends a run at the limit.
extern int time_limit_seconds;

// Closes the script's streams, tells the platform (host detach, terminal modes) and ends the
// process with 'status'. A second call (from the host's detach, say) only ends the process.
[[noreturn]] void end_run(int status);
// Ends the run as 'requested_end' asks; the time limit first reports itself.
[[noreturn]] void end_requested_run();

inline void check_requested_end() {
  if (requested_end) [[unlikely]]
    end_requested_run();
}
