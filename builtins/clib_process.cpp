// exit: the script's open streams are flushed and closed, then the process ends with the status
// (std::exit flushes the trace output too).
#include <cstdlib>

#include "builtins/clib_adapters.h"
#include "builtins/clib_streams.h"

BuiltinResult bi_exit(const std::int32_t *w) {
  close_all_streams();
  std::exit(w[0]);
}
