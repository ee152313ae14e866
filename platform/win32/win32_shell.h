// Process-wide values of the Win32 program that its platform layer and WinMain share.
#pragma once
#include <windows.h>

extern HINSTANCE win32_instance;           // loads the message table and the error dialog
extern HINSTANCE win32_previous_instance;  // as passed to WinMain, kept for the host library
extern const char *win32_command_line;     // the whole command line, kept for the host library

// Whether the driver has posted the quit message.
bool win32_quit_posted();

// The script arena's block: ARENA_SIZE zero bytes at the fixed address WIN32_ARENA_ADDRESS when
// that address is free, so that script addresses are the same numbers as on POSIX; null when it
// is not (the interpreter's own block is used then).
constexpr unsigned long WIN32_ARENA_ADDRESS = 0x10000;
void *win32_arena_block();

// The dialog procedure of the error dialog; the only function that oxel.exe exports.
extern "C" __declspec(dllexport) INT_PTR CALLBACK
    ErrorDialog(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
