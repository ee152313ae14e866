// Test harness for oxel.exe: runs COMMANDLINE as a debuggee, writes every OutputDebugString text
// byte for byte to the trace file, and answers the process's error dialogs.
//   harness.exe [--trace FILE] [--answers LIST] [--dialogs FILE] [--timeout SECONDS] COMMANDLINE
// LIST: control ids answering the dialogs in turn, the last for all further ones (1 Continue,
// 2 Cancel, 105 Edit; default 1), or "none" (reported, left unanswered). Each dialog's message goes
// to standard error as "C Interpreter Error: <message>", its "File : " line to the --dialogs file.
// The exit status is the debuggee's, or 124 when it did not end in time (it is then terminated).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<int> answers{1};
std::vector<HWND> seen;  // dialogs reported that may not be destroyed yet
size_t dialogs_seen = 0;
FILE *dialog_log = nullptr;

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
  std::string line = "C Interpreter Error: " + item_text(h, 106) + "\n";
  DWORD written;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (dialog_log) std::fprintf(dialog_log, "%s\n", item_text(h, 101).c_str()), std::fflush(dialog_log);
  size_t k = std::min(dialogs_seen++, answers.size() - 1);
  if (!answers.empty())
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(answers[k], BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(h, answers[k])));
  return TRUE;
}

}  // namespace

int main(int argc, char **argv) {
  const char *trace_name = nullptr, *dialogs_name = nullptr;
  DWORD timeout_ms = 60000;
  int i = 1;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    const char *v = argv[i + 1];
    if (!std::strcmp(argv[i], "--trace")) trace_name = v;
    else if (!std::strcmp(argv[i], "--dialogs")) dialogs_name = v;
    else if (!std::strcmp(argv[i], "--timeout")) timeout_ms = static_cast<DWORD>(std::atoi(v)) * 1000;
    else if (!std::strcmp(argv[i], "--answers")) {
      answers.clear();
      for (const char *p = v; std::strcmp(v, "none") && *p; p += *p == ',')
        for (answers.push_back(std::atoi(p)); *p && *p != ',';) ++p;
    } else i = argc;
  }
  FILE *trace = trace_name ? std::fopen(trace_name, "wb") : nullptr;
  dialog_log = dialogs_name ? std::fopen(dialogs_name, "wb") : nullptr;
  if (i + 1 != argc || (trace_name && !trace) || (dialogs_name && !dialog_log)) {
    std::fprintf(stderr,
                 "usage: harness [--trace FILE] [--answers LIST] [--dialogs FILE] "
                 "[--timeout SECONDS] COMMANDLINE (with writable files)\n");
    return 2;
  }
  STARTUPINFOA si{};
  si.cb = sizeof si, si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE), si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string command = argv[i];
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &si, &pi)) {
    std::fprintf(stderr, "harness: cannot start %s (error %lu)\n", argv[i], GetLastError());
    return 2;
  }
  DWORD start = GetTickCount(), exit_code = 124;
  for (bool done = false; !done;) {
    if (GetTickCount() - start > timeout_ms) {
      TerminateProcess(pi.hProcess, 124);
      break;
    }
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
        if (trace && n > 0) std::fwrite(buf.data(), 1, n, trace), std::fflush(trace);
      }
      break;
    }
    case EXCEPTION_DEBUG_EVENT:
      if (u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
        status = DBG_EXCEPTION_NOT_HANDLED;
      break;
    case CREATE_PROCESS_DEBUG_EVENT: CloseHandle(u.CreateProcessInfo.hFile); break;
    case LOAD_DLL_DEBUG_EVENT: CloseHandle(u.LoadDll.hFile); break;
    case EXIT_PROCESS_DEBUG_EVENT: exit_code = u.ExitProcess.dwExitCode; done = true;
    }
    ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
  }
  return static_cast<int>(exit_code);  // the files close at the exit
}
