// Test harness for oxel.exe: runs a command line as a debuggee, writes every OutputDebugString
// text byte for byte to a trace file, and answers the process's error dialogs.
//
//   harness.exe [--trace FILE] [--answers LIST] [--dialogs FILE] [--timeout SECONDS] COMMANDLINE
//
// LIST is a comma list of control ids that answer the dialogs in turn, the last one for all
// further dialogs (1 Continue, 2 Cancel, 105 Edit; default 1), or "none": the dialogs are
// reported but left to someone else. For each dialog the harness writes
// "C Interpreter Error: <message>" to its standard error and the dialog's "File : " line to the
// --dialogs file. The exit status is the debuggee's, or 124 when it did not end in time (it is
// then terminated).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char DIALOG_CAPTION[] = "C Interpreter Error";
constexpr int ID_FILE_LINE = 101;
constexpr int ID_MESSAGE = 106;

struct Options {
  const char *trace = nullptr;
  const char *dialogs = nullptr;
  std::vector<int> answers{1};
  DWORD timeout_ms = 60000;
  const char *command = nullptr;
};

struct Dialogs {
  DWORD pid;
  std::vector<HWND> fresh;  // found for the first time
};

std::vector<HWND> seen;  // dialogs reported (and answered) that may not be destroyed yet
size_t dialogs_seen = 0;

void write_handle(HANDLE h, const std::string &text) {
  DWORD written;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool seen_already(HWND h) {
  for (HWND a : seen)
    if (a == h) return true;
  return false;
}

BOOL CALLBACK find_dialog(HWND h, LPARAM param) {
  Dialogs *d = reinterpret_cast<Dialogs *>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  // A dialog becomes visible once WM_INITDIALOG has filled it in.
  if (pid != d->pid || !IsWindowVisible(h) || seen_already(h)) return TRUE;
  char text[64];
  if (GetWindowTextA(h, text, sizeof text) > 0 && std::strcmp(text, DIALOG_CAPTION) == 0)
    d->fresh.push_back(h);
  return TRUE;
}

std::string item_text(HWND dialog, int id) {
  char buf[1024] = {};
  DWORD_PTR ignored;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
  return buf;
}

// Reports and answers the debuggee's dialogs that have appeared since the last look.
void answer_dialogs(DWORD pid, const Options &o, FILE *dialog_log) {
  for (size_t i = 0; i < seen.size();) {
    if (IsWindow(seen[i])) ++i;
    else seen.erase(seen.begin() + static_cast<long>(i));
  }
  Dialogs d{pid, {}};
  EnumWindows(find_dialog, reinterpret_cast<LPARAM>(&d));
  for (HWND h : d.fresh) {
    seen.push_back(h);
    write_handle(GetStdHandle(STD_ERROR_HANDLE), "C Interpreter Error: " + item_text(h, ID_MESSAGE) + "\n");
    if (dialog_log) {
      std::fprintf(dialog_log, "%s\n", item_text(h, ID_FILE_LINE).c_str());
      std::fflush(dialog_log);
    }
    size_t k = dialogs_seen++;
    if (o.answers.empty()) continue;
    int id = o.answers[k < o.answers.size() ? k : o.answers.size() - 1];
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(h, id)));
  }
}

bool parse(int argc, char **argv, Options &o) {
  int i = 1;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    const char *v = argv[i + 1];
    if (std::strcmp(argv[i], "--trace") == 0) o.trace = v;
    else if (std::strcmp(argv[i], "--dialogs") == 0) o.dialogs = v;
    else if (std::strcmp(argv[i], "--timeout") == 0) o.timeout_ms = static_cast<DWORD>(std::atoi(v)) * 1000;
    else if (std::strcmp(argv[i], "--answers") == 0) {
      o.answers.clear();
      if (std::strcmp(v, "none") == 0) continue;
      for (const char *p = v; *p;) {
        o.answers.push_back(std::atoi(p));
        while (*p && *p != ',') ++p;
        if (*p == ',') ++p;
      }
      if (o.answers.empty()) return false;
    } else return false;
  }
  if (i + 1 != argc) return false;
  o.command = argv[i];
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: harness [--trace FILE] [--answers LIST] [--dialogs FILE] "
                 "[--timeout SECONDS] COMMANDLINE\n");
    return 2;
  }
  FILE *trace = o.trace ? std::fopen(o.trace, "wb") : nullptr;
  FILE *dialog_log = o.dialogs ? std::fopen(o.dialogs, "wb") : nullptr;
  if ((o.trace && !trace) || (o.dialogs && !dialog_log)) {
    std::fprintf(stderr, "harness: cannot write the output files\n");
    return 2;
  }

  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string command = o.command;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &si, &pi)) {
    std::fprintf(stderr, "harness: cannot start %s (error %lu)\n", o.command, GetLastError());
    return 2;
  }

  DWORD start = GetTickCount();
  DWORD exit_code = 124;
  for (;;) {
    if (GetTickCount() - start > o.timeout_ms) {
      TerminateProcess(pi.hProcess, 124);
      exit_code = 124;
      break;
    }
    DEBUG_EVENT ev;
    if (!WaitForDebugEvent(&ev, 20)) {
      answer_dialogs(pi.dwProcessId, o, dialog_log);
      continue;
    }
    DWORD status = DBG_CONTINUE;
    bool done = false;
    switch (ev.dwDebugEventCode) {
    case OUTPUT_DEBUG_STRING_EVENT: {
      const OUTPUT_DEBUG_STRING_INFO &info = ev.u.DebugString;
      std::vector<char> buf(info.nDebugStringLength);
      SIZE_T got = 0;
      if (!buf.empty() &&
          ReadProcessMemory(pi.hProcess, info.lpDebugStringData, buf.data(), buf.size(), &got)) {
        size_t n = got;
        if (n > 0 && buf[n - 1] == '\0') --n;  // the terminating NUL is not part of the text
        if (trace && n > 0) {
          std::fwrite(buf.data(), 1, n, trace);
          std::fflush(trace);
        }
      }
      break;
    }
    case EXCEPTION_DEBUG_EVENT:
      if (ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
        status = DBG_EXCEPTION_NOT_HANDLED;
      break;
    case CREATE_PROCESS_DEBUG_EVENT:
      if (ev.u.CreateProcessInfo.hFile) CloseHandle(ev.u.CreateProcessInfo.hFile);
      break;
    case LOAD_DLL_DEBUG_EVENT:
      if (ev.u.LoadDll.hFile) CloseHandle(ev.u.LoadDll.hFile);
      break;
    case EXIT_PROCESS_DEBUG_EVENT:
      exit_code = ev.u.ExitProcess.dwExitCode;
      done = true;
      break;
    default: break;
    }
    ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
    if (done) break;
  }
  if (trace) std::fclose(trace);
  if (dialog_log) std::fclose(dialog_log);
  return static_cast<int>(exit_code);
}
