// Settings of the POSIX program for the host automation library.
#pragma once

// The library chosen with --host=PATH (null: $OXEL_HOST, else librv32auto.so next to oxel).
void posix_set_host_library(const char *path);
// The command line that the attach call hands the library.
void posix_set_host_command_line(const char *text);
// Calls the library's detach function with the run's exit status, once; nothing when no
// library was attached.
void posix_host_detach(int status);
