// A stand-in for Notepad that the tests put next to oxel.exe, where WinExec looks first: it
// appends its command line and show command to the file named by NOTEPAD_STUB_LOG and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  char log[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("NOTEPAD_STUB_LOG", log, sizeof log);
  if (n == 0 || n >= sizeof log) return 0;
  FILE *f = std::fopen(log, "ab");
  if (!f) return 1;
  std::fprintf(f, "%s|%d\n", GetCommandLineA(), show);
  std::fclose(f);
  return 0;
}
