#include "shell/modes.h"

int trace_lex = 0;
int trace_exp = 0;
int trace_sym = 0;
int trace_stmt = 0;
bool stmt_indent = false;
bool run_requested = false;
bool executing = false;
bool check_only = false;
bool recording = false;
bool replaying = false;
bool compiled_code = true;
