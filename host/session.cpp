// session.cpp: the open sessions.
#include "session.h"

int32_t sessions_start(const StartupItems &) { return 0; }
void sessions_service() {}
void sessions_discard_output() {}
void sessions_end_run(int) {}
