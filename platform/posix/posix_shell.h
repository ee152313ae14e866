// Settings of the POSIX program that its platform layer acts on.
#pragma once
#include <cstdio>

enum ErrorPolicy { ON_ERROR_ASK, ON_ERROR_CONTINUE, ON_ERROR_CANCEL };

// Where trace output goes (standard error unless --trace names a file).
void posix_set_trace(std::FILE *out);
void posix_set_error_policy(ErrorPolicy policy);
