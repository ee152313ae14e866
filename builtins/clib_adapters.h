// The adapters of the C-library rows of the built-in table, by family. Each takes the call's 13
// argument words (see builtin_table.h) and behaves as the C function of the same name, with every
// access to script memory checked against the arena.
#pragma once
#include <cstdint>

#include "builtins/builtin_table.h"

#define OXEL_ADAPTER(name) BuiltinResult bi_##name(const std::int32_t *w);

// clang-format off
// Strings (clib_strings.cpp).
OXEL_ADAPTER(strcat) OXEL_ADAPTER(strchr) OXEL_ADAPTER(strcmp) OXEL_ADAPTER(strcpy)
OXEL_ADAPTER(stricmp) OXEL_ADAPTER(strlen) OXEL_ADAPTER(strlwr) OXEL_ADAPTER(strncat)
OXEL_ADAPTER(strncmp) OXEL_ADAPTER(strncpy) OXEL_ADAPTER(strrchr) OXEL_ADAPTER(strrev)
OXEL_ADAPTER(strset) OXEL_ADAPTER(strspn) OXEL_ADAPTER(strstr) OXEL_ADAPTER(strtok)
OXEL_ADAPTER(strupr)

// Memory and characters (clib_memory.cpp).
OXEL_ADAPTER(memchr) OXEL_ADAPTER(memcmp) OXEL_ADAPTER(memcpy) OXEL_ADAPTER(memmove)
OXEL_ADAPTER(memset)
OXEL_ADAPTER(isalnum) OXEL_ADAPTER(isalpha) OXEL_ADAPTER(isascii) OXEL_ADAPTER(isdigit)
OXEL_ADAPTER(isgraph) OXEL_ADAPTER(islower) OXEL_ADAPTER(isprint) OXEL_ADAPTER(isspace)
OXEL_ADAPTER(isupper) OXEL_ADAPTER(tolower) OXEL_ADAPTER(toupper)

// Conversions (clib_convert.cpp).
OXEL_ADAPTER(abs) OXEL_ADAPTER(labs) OXEL_ADAPTER(atof) OXEL_ADAPTER(atoi) OXEL_ADAPTER(atol)
OXEL_ADAPTER(itoa) OXEL_ADAPTER(ltoa) OXEL_ADAPTER(ultoa)

// Formatted input and output (clib_format.cpp).
OXEL_ADAPTER(sprintf) OXEL_ADAPTER(fprintf) OXEL_ADAPTER(sscanf) OXEL_ADAPTER(fscanf)

// Streams and files (clib_streams.cpp).
OXEL_ADAPTER(fopen) OXEL_ADAPTER(tmpfile) OXEL_ADAPTER(fclose) OXEL_ADAPTER(feof)
OXEL_ADAPTER(fflush) OXEL_ADAPTER(fgetc) OXEL_ADAPTER(fgets) OXEL_ADAPTER(fputc)
OXEL_ADAPTER(fputs) OXEL_ADAPTER(fread) OXEL_ADAPTER(fwrite) OXEL_ADAPTER(fseek)
OXEL_ADAPTER(ftell) OXEL_ADAPTER(ungetc) OXEL_ADAPTER(remove) OXEL_ADAPTER(rename)

// Time (clib_time.cpp).
OXEL_ADAPTER(time) OXEL_ADAPTER(difftime) OXEL_ADAPTER(strftime)

// Directories and drives (clib_dirs.cpp).
OXEL_ADAPTER(chdir) OXEL_ADAPTER(mkdir) OXEL_ADAPTER(rmdir) OXEL_ADAPTER(getcwd)
OXEL_ADAPTER(chdrv) OXEL_ADAPTER(getdrive) OXEL_ADAPTER(searchenv)
    // clang-format on

    // The process (clib_process.cpp).
    OXEL_ADAPTER(exit)

#undef OXEL_ADAPTER
