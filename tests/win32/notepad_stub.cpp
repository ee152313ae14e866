// A stand-in for Notepad next to oxel.exe, where WinExec looks first: appends "command line|show
// command" to notepad.log in the current directory, which it inherits.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  FILE *f = std::fopen("notepad.log", "ab");
  if (!f) return 1;
  std::fprintf(f, "%s|%d\n", GetCommandLineA(), show);
  return std::fclose(f);
}
