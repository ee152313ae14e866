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
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_shell.h"
#include "shell/run_end.h"

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
    // A script read from a pipe or a terminal can be interrupted too.
    check_requested_end();
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
    case 'c':
    case 'C': return DIALOG_CONTINUE;
    case 'a':
    case 'A': return DIALOG_CANCEL;
    case 'e':
    case 'E': return DIALOG_EDIT;
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

// --- Files and directories ------------------------------------------------------------------

// Opening /dev/stdout anew would give a second open file with an offset of its own: its writes
// would overwrite what the process wrote to a redirected standard output. The descriptor's copy
// shares the offset; standard output and error are line-buffered like the interpreter's own lines.
std::FILE *plat_fopen(const char *path, const char *mode) {
  static const char *const standard[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
  for (int fd = 0; fd < 3; ++fd) {
    if (std::strcmp(path, standard[fd]) != 0) continue;
    int copy = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    std::FILE *file = copy >= 0 ? fdopen(copy, mode) : nullptr;
    if (!file) {
      if (copy >= 0) close(copy);
      return nullptr;
    }
    if (fd > 0) std::setvbuf(file, nullptr, _IOLBF, BUFSIZ);
    return file;
  }
  return std::fopen(path, mode);
}

bool plat_exists(const char *path) {
  struct stat st;
  return stat(path, &st) == 0;
}

bool plat_is_directory(const char *path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int plat_remove(const char *path) {
  struct stat st;
  if (lstat(path, &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return unlink(path) == 0 ? 0 : -1;
}

// As on Windows, an existing target is never replaced.
int plat_rename(const char *from, const char *to) {
  struct stat st;
  if (lstat(to, &st) == 0) return -1;
  return rename(from, to) == 0 ? 0 : -1;
}

int plat_chdir(const char *path) { return chdir(path) == 0 ? 0 : -1; }
int plat_mkdir(const char *path) { return mkdir(path, 0777) == 0 ? 0 : -1; }
int plat_rmdir(const char *path) { return rmdir(path) == 0 ? 0 : -1; }

bool plat_getcwd(char *buf, int size) {
  return size > 0 && getcwd(buf, static_cast<size_t>(size)) != nullptr;
}

bool plat_has_drives() { return false; }

char plat_path_list_separator() { return ':'; }

// --- Initialization files -------------------------------------------------------------------
// Windows' rules: lines "[section]" and "key=value"; blanks around names and values do not
// count; names compare without regard to letter case; a value in matching single or double
// quotes loses them; lines starting with ';' are comments; a line without '=' is a key with an
// empty value; lines before the first section belong to none. Sections of the same name count
// as one.

namespace {
struct IniEntry {
  std::string section;
  std::string key;  // empty for the section's header line
  std::string value;
  bool header;
};
}  // namespace

static std::string trim(const std::string &s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

static bool same_name(const std::string &a, const char *b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

static bool read_ini(const char *path, std::vector<IniEntry> &entries) {
  std::FILE *f = std::fopen(path, "rb");
  if (!f) return false;
  std::string line;
  std::string section;
  bool in_section = false;
  for (int c = std::fgetc(f);; c = std::fgetc(f)) {
    if (c != EOF && c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    std::string t = trim(line);
    line.clear();
    if (!t.empty() && t[0] == '[') {
      size_t close = t.find(']');
      if (close != std::string::npos) {
        section = trim(t.substr(1, close - 1));
        in_section = true;
        entries.push_back({section, "", "", true});
      }
    } else if (!t.empty() && t[0] != ';' && in_section) {
      size_t eq = t.find('=');
      std::string key = trim(t.substr(0, eq));
      std::string value = eq == std::string::npos ? "" : trim(t.substr(eq + 1));
      if (!key.empty()) entries.push_back({section, key, value, false});
    }
    if (c == EOF) break;
  }
  std::fclose(f);
  return true;
}

// Where a file name without a directory is looked for: $RAVELTO_DIR, then
// $XDG_CONFIG_HOME/ravelto (or ~/.config/ravelto); the first place that has the file wins.
static std::string settings_file(const char *name) {
  if (std::strchr(name, '/')) return name;
  std::vector<std::string> dirs;
  const char *env = std::getenv("RAVELTO_DIR");
  if (env && *env) dirs.push_back(env);
  const char *xdg = std::getenv("XDG_CONFIG_HOME");
  const char *home = std::getenv("HOME");
  if (xdg && *xdg) dirs.push_back(std::string(xdg) + "/ravelto");
  else if (home && *home) dirs.push_back(std::string(home) + "/.config/ravelto");
  for (const std::string &d : dirs) {
    std::string path = d + "/" + name;
    if (plat_exists(path.c_str())) return path;
  }
  return dirs.empty() ? name : dirs.front() + "/" + name;
}

// Copies a NUL-separated list ending with an extra NUL; when it does not fit, the last name is
// cut and two NULs end the buffer. Returns the count without the final NUL.
static int copy_list(const std::vector<std::string> &names, char *buf, int size) {
  std::string all;
  for (const std::string &n : names) {
    all += n;
    all += '\0';
  }
  if (size <= 0) return 0;
  if (static_cast<int>(all.size()) + 1 <= size) {
    std::memcpy(buf, all.data(), all.size());
    buf[all.size()] = '\0';
    if (all.empty() && size > 1) buf[1] = '\0';
    return static_cast<int>(all.size());
  }
  if (size < 2) {
    buf[0] = '\0';
    return 0;
  }
  std::memcpy(buf, all.data(), static_cast<size_t>(size - 2));
  buf[size - 2] = '\0';
  buf[size - 1] = '\0';
  return size - 2;
}

int plat_profile_string(const char *section, const char *key, const char *def, char *buf, int size,
                        const char *file) {
  std::vector<IniEntry> entries;
  read_ini(settings_file(file).c_str(), entries);
  if (!section || !key) {
    std::vector<std::string> names;
    for (const IniEntry &e : entries) {
      bool wanted = section ? !e.header && same_name(e.section, section) : e.header;
      if (!wanted) continue;
      const std::string &name = section ? e.key : e.section;
      if (name.empty()) continue;
      bool seen = false;
      for (const std::string &n : names) seen = seen || same_name(n, name.c_str());
      if (!seen) names.push_back(name);
    }
    return copy_list(names, buf, size);
  }
  std::string value = def ? def : "";
  value.erase(value.find_last_not_of(' ') + 1);  // a default loses its trailing blanks
  for (const IniEntry &e : entries) {
    if (e.header || !same_name(e.section, section) || !same_name(e.key, key)) continue;
    value = e.value;
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
      value = value.substr(1, value.size() - 2);
    break;
  }
  if (size <= 0) return 0;
  int n = static_cast<int>(value.size()) < size - 1 ? static_cast<int>(value.size()) : size - 1;
  std::memcpy(buf, value.data(), static_cast<size_t>(n));
  buf[n] = '\0';
  return n;
}
