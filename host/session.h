// session.h: the open sessions, handles 1..8.
#ifndef HOST_SESSION_H
#define HOST_SESSION_H

#include <cstdint>

#include "startup.h"

// ktInitialize: reads the settings and the phonebook and opens the start-up session; gives its
// handle, 0 when none was named, KT_E_NOTFOUND when the named entry is missing.
int32_t sessions_start(const StartupItems &items);
// The service pass that begins every kt call.
void sessions_service();
// ktTerminate(1, ...): queued output is dropped.
void sessions_discard_output();
// The end of the run: every session is hung up and closed, files are closed.
void sessions_end_run(int status);

#endif
