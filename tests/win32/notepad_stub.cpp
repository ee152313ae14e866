// A stand-in for Notepad next to oxel.exe, where WinExec looks first: appends "command line|show
// command" to the file named by NOTEPAD_STUB_LOG.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  char log[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("NOTEPAD_STUB_LOG", log, sizeof log);
  FILE *f = n == 0 || n >= sizeof log ? nullptr : std::fopen(log, "ab");
  return f ? (std::fprintf(f, "%s|%d\n", GetCommandLineA(), show), std::fclose(f), 0) : n != 0;
}
