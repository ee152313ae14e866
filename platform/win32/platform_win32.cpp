// The platform layer on Win32: source files through _lopen/_lread/_lclose, the thread's message
// queue, the string-table resource, OutputDebugStringA for the trace, the modal error dialog
// with Notepad for Edit, and the Windows file, directory and profile functions.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "eval/value.h"
#include "platform/platform.h"
#include "platform/win32/win32_shell.h"
#include "shell/startup.h"
#include "source/preprocessor.h"

HINSTANCE win32_instance = nullptr;
HINSTANCE win32_previous_instance = nullptr;
const char *win32_command_line = "";

struct PlatFile {
  HFILE handle;
};

static bool quit_seen = false;
static bool quit_posted = false;

// --- Source files -----------------------------------------------------------------------------

PlatFile *plat_open(const char *path) {
  HFILE h = _lopen(path, OF_READ);
  if (h == HFILE_ERROR) return nullptr;
  return new PlatFile{h};
}

int plat_read(PlatFile *file, void *buf, int size) {
  UINT n = _lread(file->handle, buf, static_cast<UINT>(size));
  return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<int>(n);
}

void plat_close(PlatFile *file) {
  if (!file) return;
  _lclose(file->handle);
  delete file;
}

// --- Message pump -----------------------------------------------------------------------------

int plat_pump_step() {
  if (quit_seen) return 0;
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return 1;
  if (msg.message == WM_QUIT) {
    quit_seen = true;
    return 0;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return 1;
}

void plat_post_quit() {
  quit_posted = true;
  PostQuitMessage(0);
}

bool win32_quit_posted() { return quit_posted; }

// --- Message table and trace ------------------------------------------------------------------

int plat_load_string(int id, char *buf, int size) {
  int n = LoadStringA(win32_instance, static_cast<UINT>(id), buf, size);
  if (n <= 0 && size > 0) buf[0] = '\0';
  return n > 0 ? n : 0;
}

void plat_trace(const char *text) { OutputDebugStringA(text); }

// --- Error dialog and editor ------------------------------------------------------------------

// Ids of the controls of the ERRORDIALOG template.
enum {
  ID_CONTINUE = 1,
  ID_CANCEL = 2,
  ID_FILE_LINE = 101,
  ID_EDIT = 105,
  ID_MESSAGE = 106,
};

// Both the "File : " line and the editor's command line are built in buffers of this size;
// what does not fit is cut.
constexpr int LINE_BUFFER = 100;

// Appends 'text' to the NUL-terminated 'buf' of LINE_BUFFER bytes, as far as it fits.
static void append_cut(char *buf, const char *text) {
  size_t used = std::strlen(buf);
  size_t room = LINE_BUFFER - 1 - used;
  size_t n = std::strlen(text);
  if (n > room) n = room;
  std::memcpy(buf + used, text, n);
  buf[used + n] = '\0';
}

// The editor's command line: "Notepad " and the file name.
static void notepad_command(char *command, const char *file) {
  std::strcpy(command, "Notepad ");
  append_cut(command, file);
}

void plat_start_editor(const char *file) {
  char command[LINE_BUFFER];
  notepad_command(command, file);
  WinExec(command, SW_SHOW);
}

static void dialog_command(HWND dialog, int id) {
  switch (id) {
  case ID_CONTINUE: EndDialog(dialog, 1); break;
  case ID_CANCEL: EndDialog(dialog, 0); break;
  case ID_EDIT: {
    // The name is taken before the include file is closed, so that the editor opens the file
    // being read; that file is closed first.
    char command[LINE_BUFFER];
    notepad_command(command, current_file_name());
    close_include();
    WinExec(command, SW_SHOW);
    EndDialog(dialog, 0);
    break;
  }
  default: break;
  }
}

extern "C" INT_PTR CALLBACK ErrorDialog(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
  case WM_INITDIALOG: {
    SetDlgItemTextA(dialog, ID_MESSAGE, reinterpret_cast<const char *>(lparam));
    char line[LINE_BUFFER] = {};
    GetDlgItemTextA(dialog, ID_FILE_LINE, line, LINE_BUFFER);
    append_cut(line, script_path);
    SetDlgItemTextA(dialog, ID_FILE_LINE, line);
    return TRUE;
  }
  case WM_COMMAND: dialog_command(dialog, LOWORD(wparam)); return FALSE;
  default: return FALSE;
  }
}

// The script path reaches the dialog through script_path itself.
DialogAnswer plat_error_dialog(const char *message, const char *) {
  INT_PTR answer = DialogBoxParamA(win32_instance, "ErrorDialog", GetFocus(), ErrorDialog,
                                   reinterpret_cast<LPARAM>(message));
  switch (answer) {
  case 1: return DIALOG_CONTINUE;
  case -1: return DIALOG_NONE;
  default: return DIALOG_CANCEL;  // Cancel, Escape, the close box and Edit
  }
}

// No run ends on its own here without a dialog (there is no time limit): the line goes to the
// debugger channel with the traces.
void plat_error_line(const char *message) {
  char line[320];
  std::snprintf(line, sizeof line, "C Interpreter Error: %s\r\n", message);
  OutputDebugStringA(line);
}

// Nothing interrupts a run here, the DLL interface has no detach call, and there is no terminal.
void plat_run_ending() {}
void plat_run_ended(int) {}

// --- Paths and the arena ----------------------------------------------------------------------

void plat_module_dir(char *buf, int size) {
  char path[PATH_BUFFER] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  path[sizeof path - 1] = '\0';
  char *last = std::strrchr(path, '\\');
  if (last) last[1] = '\0';
  else path[0] = '\0';
  std::snprintf(buf, static_cast<size_t>(size), "%s", path);
}

void *win32_arena_block() {
  return VirtualAlloc(reinterpret_cast<void *>(WIN32_ARENA_ADDRESS), ARENA_SIZE, MEM_RESERVE | MEM_COMMIT,
                      PAGE_READWRITE);
}

// Script pointers are the block's real addresses.
uint32_t plat_arena_base(void *arena) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(arena)); }

bool plat_lowers_file_names() { return true; }

char plat_dir_separator() { return '\\'; }

// --- Files and directories --------------------------------------------------------------------

std::FILE *plat_fopen(const char *path, const char *mode) { return std::fopen(path, mode); }

bool plat_exists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool plat_is_directory(const char *path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int plat_remove(const char *path) { return DeleteFileA(path) ? 0 : -1; }

// MoveFileA never replaces an existing target.
int plat_rename(const char *from, const char *to) { return MoveFileA(from, to) ? 0 : -1; }

int plat_chdir(const char *path) { return SetCurrentDirectoryA(path) ? 0 : -1; }
int plat_mkdir(const char *path) { return CreateDirectoryA(path, nullptr) ? 0 : -1; }
int plat_rmdir(const char *path) { return RemoveDirectoryA(path) ? 0 : -1; }

bool plat_getcwd(char *buf, int size) {
  if (size <= 0) return false;
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(size), buf);
  return n > 0 && n < static_cast<DWORD>(size);
}

bool plat_has_drives() { return true; }

char plat_path_list_separator() { return ';'; }

// --- Initialization files ---------------------------------------------------------------------

int plat_profile_string(const char *section, const char *key, const char *def, char *buf, int size,
                        const char *file) {
  if (size <= 0) return 0;
  return static_cast<int>(GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(size), file));
}
