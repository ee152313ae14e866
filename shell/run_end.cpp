#include "shell/run_end.h"

#include <cstdio>
#include <cstdlib>

#include "builtins/clib_streams.h"
#include "platform/platform.h"
#include "shell/diagnostics.h"

volatile std::sig_atomic_t requested_end = 0;
int time_limit_seconds = 0;

void end_run(int status) {
  static bool ending = false;
  if (!ending) {
    ending = true;
    plat_run_ending();
    close_all_streams();
    std::fflush(stdout);
    plat_run_ended(status);
  }
  std::exit(status);
}

void end_requested_run() {
  int status = requested_end;
  if (status == STATUS_TIME_LIMIT) report_line(MSG_TIME_LIMIT, time_limit_seconds);
  end_run(status);
}
