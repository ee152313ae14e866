// How a run on POSIX is stopped from outside: SIGINT, SIGTERM and SIGHUP, and the time limit.
// A signal only asks for the end (requested_end) and makes the interrupt descriptor readable;
// the interpreter ends the run at its next safe point, and a host function waiting in poll sees
// the descriptor and returns. Until the run has ended, a timer signal every 100 ms breaks off
// system calls that the request found blocking (a read from a terminal, say).
#pragma once

// Installs the handlers, saves the terminal's modes and, for 'time_limit' seconds > 0, starts
// the time limit. Called once before the script is read.
void posix_start_run(int time_limit);

// The descriptor that turns readable at the first interrupt or at the time limit.
int posix_interrupt_fd();
