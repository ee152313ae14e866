// The directory and drive rows, over the platform layer. Drive numbers count from 1 = A:; on a
// platform without drive letters getdrive gives 0 and chdrv fails.
#include <cstdlib>
#include <cstring>
#include <string>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"
#include "eval/value.h"
#include "platform/platform.h"

// Longest current directory or searchenv result, with its NUL.
constexpr int PATH_ROOM = 4096;
// searchenv writes "" for paths of this many bytes or more, as its result buffers have this size.
constexpr std::size_t SEARCHENV_ROOM = 260;

static BuiltinResult on_path(std::int32_t addr, int (*op)(const char *)) {
  const char *path = script_string(addr);
  return word(path ? op(path) : -1);
}

BuiltinResult bi_chdir(const std::int32_t *w) { return on_path(w[0], plat_chdir); }
BuiltinResult bi_mkdir(const std::int32_t *w) { return on_path(w[0], plat_mkdir); }
BuiltinResult bi_rmdir(const std::int32_t *w) { return on_path(w[0], plat_rmdir); }

// Copies the current directory into 'size' bytes at 'addr'; gives 0 when it does not fit. With a
// null buffer a fresh block of at least 'size' bytes is taken from the arena.
BuiltinResult bi_getcwd(const std::int32_t *w) {
  char cwd[PATH_ROOM];
  if (!plat_getcwd(cwd, sizeof cwd)) return word(0);
  std::int32_t len = static_cast<std::int32_t>(std::strlen(cwd));
  std::int32_t addr = w[0];
  if (addr == 0) {
    addr = static_cast<std::int32_t>(arena_alloc(w[1] > len ? w[1] : len + 1));
    if (addr == 0) return word(0);
  } else if (len >= w[1]) {
    return word(0);
  }
  std::uint8_t *dst = script_bytes(addr, len + 1);
  if (!dst) return word(0);
  std::memcpy(dst, cwd, static_cast<std::size_t>(len) + 1);
  return word(addr);
}

BuiltinResult bi_getdrive(const std::int32_t *) {
  char cwd[PATH_ROOM];
  if (!plat_getcwd(cwd, sizeof cwd) || cwd[1] != ':') return word(0);
  int letter = c_toupper(static_cast<unsigned char>(cwd[0]));
  return word(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 1 : 0);
}

BuiltinResult bi_chdrv(const std::int32_t *w) {
  if (w[0] < 1 || w[0] > 31 || !plat_has_drives()) return word(-1);
  char drive[3] = {static_cast<char>('A' + w[0] - 1), ':', '\0'};
  return word(plat_chdir(drive));
}

// Whether a directory or list entry needs a separator before a file name.
static bool needs_separator(const std::string &dir) {
  if (dir.empty()) return false;
  char last = dir.back();
  return !(last == '/' || last == plat_dir_separator() || (plat_has_drives() && last == ':'));
}

static std::string join(const std::string &dir, const char *file) {
  return needs_separator(dir) ? dir + plat_dir_separator() + file : dir + file;
}

// The file's path: in the current directory, else in the first directory of the list in the
// environment variable that has it; "" when none has it.
static std::string search(const char *file, const char *variable) {
  char cwd[PATH_ROOM];
  if (!*file) return "";
  if (plat_exists(file)) return plat_getcwd(cwd, sizeof cwd) ? join(cwd, file) : "";
  const char *list = std::getenv(variable);
  if (!list) return "";
  std::string rest = list;
  while (!rest.empty()) {
    std::size_t cut = rest.find(plat_path_list_separator());
    std::string dir = rest.substr(0, cut);
    rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
    if (dir.empty()) continue;
    std::string path = join(dir, file);
    if (plat_exists(path.c_str())) return path;
  }
  return "";
}

BuiltinResult bi_searchenv(const std::int32_t *w) {
  const char *file = script_string(w[0]);
  const char *variable = file ? script_string(w[1]) : nullptr;
  if (!variable) return word(0);
  std::string found = search(file, variable);
  if (found.size() + 1 > SEARCHENV_ROOM) found.clear();
  std::uint8_t *dst = script_bytes(w[2], static_cast<std::int32_t>(found.size() + 1));
  if (dst) std::memcpy(dst, found.c_str(), found.size() + 1);
  return word(0);
}
