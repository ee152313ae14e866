// Test harness for oxel.exe: runs COMMANDLINE as a debuggee, writes every OutputDebugString text
// byte for byte to TRACE_FILE, and answers the process's error dialogs.
//   harness.exe TRACE_FILE ANSWERS COMMANDLINE
// ANSWERS: control ids answering the dialogs in turn, the last for all further ones (1 Continue,
// 2 Cancel, 105 Edit), or "none" (reported, left unanswered). Each dialog goes to standard error
// as two lines: "C Interpreter Error: <message>" and its "File : " line. The exit status is the
// debuggee's; the caller bounds the time (killing the harness kills the debuggee).
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<int> answers;
std::vector<HWND> seen;  // dialogs reported that may not be destroyed yet
size_t dialogs_seen = 0;

std::string item_text(HWND dialog, int id) {
  char buf[1024] = {};
  DWORD_PTR ignored;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
  return buf;
}

// Reports and answers a dialog of the debuggee (visible once WM_INITDIALOG has filled it in).
BOOL CALLBACK find_dialog(HWND h, LPARAM pid) {
  DWORD owner = 0;
  char text[64];
  GetWindowThreadProcessId(h, &owner);
  if (owner != static_cast<DWORD>(pid) || !IsWindowVisible(h) || std::count(seen.begin(), seen.end(), h) ||
      GetWindowTextA(h, text, sizeof text) <= 0 || std::strcmp(text, "C Interpreter Error") != 0)
    return TRUE;
  seen.push_back(h);
  std::string lines = "C Interpreter Error: " + item_text(h, 106) + "\n" + item_text(h, 101) + "\n";
  DWORD written;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
  if (!answers.empty()) {
    int id = answers[std::min(dialogs_seen++, answers.size() - 1)];
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(h, id)));
  }
  return TRUE;
}

}  // namespace

int main(int argc, char **argv) {
  FILE *trace = argc == 4 ? std::fopen(argv[1], "wb") : nullptr;
  if (!trace) {
    std::fprintf(stderr, "usage: harness TRACE_FILE ANSWERS COMMANDLINE (with a writable TRACE_FILE)\n");
    return 2;
  }
  for (char *p = argv[2]; std::isdigit(static_cast<unsigned char>(*p)); p += *p == ',')  // "none": no answers
    answers.push_back(static_cast<int>(std::strtol(p, &p, 10)));
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;  // the debuggee writes where the harness does
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string command = argv[3];
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &si, &pi)) {
    std::fprintf(stderr, "harness: cannot start %s (error %lu)\n", argv[3], GetLastError());
    return 2;
  }
  for (;;) {
    DEBUG_EVENT ev;
    if (!WaitForDebugEvent(&ev, 20)) {
      seen.erase(std::remove_if(seen.begin(), seen.end(), [](HWND h) { return !IsWindow(h); }), seen.end());
      EnumWindows(find_dialog, static_cast<LPARAM>(pi.dwProcessId));
      continue;
    }
    DWORD status = DBG_CONTINUE;
    const auto &u = ev.u;
    switch (ev.dwDebugEventCode) {
    case OUTPUT_DEBUG_STRING_EVENT: {
      std::vector<char> buf(u.DebugString.nDebugStringLength);
      SIZE_T n = 0;
      if (!buf.empty() &&
          ReadProcessMemory(pi.hProcess, u.DebugString.lpDebugStringData, buf.data(), buf.size(), &n)) {
        if (n > 0 && buf[n - 1] == '\0') --n;  // the terminating NUL is not part of the text
        std::fwrite(buf.data(), 1, n, trace);
        std::fflush(trace);
      }
      break;
    }
    case EXCEPTION_DEBUG_EVENT:
      if (u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
        status = DBG_EXCEPTION_NOT_HANDLED;
      break;
    case CREATE_PROCESS_DEBUG_EVENT: CloseHandle(u.CreateProcessInfo.hFile); break;
    case LOAD_DLL_DEBUG_EVENT: CloseHandle(u.LoadDll.hFile); break;
    case EXIT_PROCESS_DEBUG_EVENT: return static_cast<int>(u.ExitProcess.dwExitCode);  // the files close at the exit
    }
    ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
  }
}
