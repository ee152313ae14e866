// The platform layer on POSIX: files through file descriptors, a message pump without windows,
// the message table compiled in, trace output to a stream, and the error dialog as one line on
// standard error plus a terminal prompt or a fixed answer.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/posix_shell.h"

struct PlatFile {
  int fd;
};

namespace {
struct Message {
  int id;
  const char *text;
};
}  // namespace

static const Message messages[] = {
#define MSG(id, text) {id, text},
#include "resources/messages.def"
#undef MSG
};

static std::FILE *trace_out = stderr;
static ErrorPolicy error_policy = ON_ERROR_CANCEL;
static bool quit_seen = false;
static bool quit_posted = false;

// Script addresses of the arena start here, so that no small number is a valid pointer.
constexpr std::uint32_t POSIX_ARENA_BASE = 0x10000;

void posix_set_trace(std::FILE *out) { trace_out = out; }
void posix_set_error_policy(ErrorPolicy policy) { error_policy = policy; }

PlatFile *plat_open(const char *path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return new PlatFile{fd};
}

int plat_read(PlatFile *file, void *buf, int size) {
  for (;;) {
    ssize_t n = read(file->fd, buf, static_cast<size_t>(size));
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR) return -1;
  }
}

void plat_close(PlatFile *file) {
  if (!file) return;
  close(file->fd);
  delete file;
}

// There are no windows: the quit message is a flag that the next step takes.
int plat_pump_step() {
  if (quit_posted) quit_seen = true;
  return quit_seen ? 0 : 1;
}

void plat_post_quit() { quit_posted = true; }

int plat_load_string(int id, char *buf, int size) {
  for (const Message &m : messages) {
    if (m.id != id) continue;
    std::snprintf(buf, static_cast<size_t>(size), "%s", m.text);
    return static_cast<int>(std::strlen(buf));
  }
  if (size > 0) buf[0] = '\0';
  return 0;
}

void plat_trace(const char *text) {
  std::fputs(text, trace_out);
  if (trace_out == stderr) std::fflush(trace_out);
}

// Asks on the terminal; end of input counts as Cancel.
static DialogAnswer ask(const char *message, const char *script_path) {
  std::fprintf(stderr, "\n== C Interpreter Error ==\n%s\nFile : %s\n", message, script_path);
  for (;;) {
    std::fprintf(stderr, "[c]ontinue, c[a]ncel or [e]dit? ");
    std::fflush(stderr);
    char line[64];
    if (!std::fgets(line, sizeof line, stdin)) return DIALOG_CANCEL;
    switch (line[0]) {
    case 'c': case 'C': return DIALOG_CONTINUE;
    case 'a': case 'A': return DIALOG_CANCEL;
    case 'e': case 'E': return DIALOG_EDIT;
    default: break;
    }
  }
}

DialogAnswer plat_error_dialog(const char *message, const char *script_path) {
  std::fflush(trace_out);
  std::fprintf(stderr, "C Interpreter Error: %s\n", message);
  std::fflush(stderr);
  switch (error_policy) {
  case ON_ERROR_CONTINUE: return DIALOG_CONTINUE;
  case ON_ERROR_CANCEL: return DIALOG_CANCEL;
  case ON_ERROR_ASK: return ask(message, script_path);
  }
  return DIALOG_CANCEL;
}

// The editor is started in a process of its own that the interpreter does not wait for.
void plat_start_editor(const char *file) {
  const char *editor = std::getenv("VISUAL");
  if (!editor || !*editor) editor = std::getenv("EDITOR");
  if (!editor || !*editor) editor = "vi";
  pid_t child = fork();
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      execlp(editor, editor, file, static_cast<char *>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  if (child > 0) waitpid(child, nullptr, 0);
}

std::uint32_t plat_arena_base(void *) { return POSIX_ARENA_BASE; }

bool plat_lowers_file_names() { return false; }

char plat_dir_separator() { return '/'; }

void plat_module_dir(char *buf, int size) {
  buf[0] = '\0';
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return;
  path[n] = '\0';
  char *slash = std::strrchr(path, '/');
  if (!slash || slash - path + 1 >= size) return;
  slash[1] = '\0';
  std::snprintf(buf, static_cast<size_t>(size), "%s", path);
}
