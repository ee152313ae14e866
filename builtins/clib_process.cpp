// exit: the run ends with the status, as every run ends (the script's streams are flushed and
// closed, the host library is told).
#include "builtins/clib_adapters.h"
#include "shell/run_end.h"

BuiltinResult bi_exit(const std::int32_t *w) { end_run(w[0]); }
