// The stream rows. A handle that is not open makes each row fail as its C counterpart fails (EOF,
// -1 or 0) without touching anything; buffers are checked against the arena before any input is
// consumed or output made.
#include "builtins/clib_streams.h"

#include <climits>
#include <cstring>

#include "builtins/clib_adapters.h"
#include "builtins/clib_common.h"
#include "eval/value.h"
#include "platform/platform.h"

namespace {
enum class LastUse { NONE, READ, WRITE };

// A stream remembers which ways its mode lets it go and which way it went last: the C library
// leaves a read straight after a write (or a write after a read) undefined, and the C library
// under us corrupts its buffers on it, so the switch is made with the flush or seek C asks for.
struct Stream {
  std::int32_t handle = 0;  // 0: the slot is free
  std::FILE *file = nullptr;
  bool can_read = false;
  bool can_write = false;
  LastUse last = LastUse::NONE;
};
}  // namespace

static Stream streams[MAX_STREAMS];
static std::int32_t last_handle = 0;

static Stream *find_stream(std::int32_t handle) {
  if (handle <= 0) return nullptr;
  for (Stream &s : streams)
    if (s.handle == handle) return &s;
  return nullptr;
}

std::FILE *stream_of(std::int32_t handle) {
  Stream *s = find_stream(handle);
  return s ? s->file : nullptr;
}

std::FILE *stream_for_reading(std::int32_t handle) {
  Stream *s = find_stream(handle);
  if (!s || !s->can_read) return nullptr;
  if (s->last == LastUse::WRITE) std::fflush(s->file);
  s->last = LastUse::READ;
  return s->file;
}

std::FILE *stream_for_writing(std::int32_t handle) {
  Stream *s = find_stream(handle);
  if (!s || !s->can_write) return nullptr;
  if (s->last == LastUse::READ) std::fseek(s->file, 0, SEEK_CUR);
  s->last = LastUse::WRITE;
  return s->file;
}

// 'mode' is a C library mode: its first letter and a '+' say which ways the stream goes.
static std::int32_t enter_stream(std::FILE *file, const char *mode) {
  if (!file) return 0;
  for (Stream &s : streams) {
    if (s.handle) continue;
    bool update = std::strchr(mode, '+') != nullptr;
    s = Stream{++last_handle, file, mode[0] == 'r' || update, mode[0] != 'r' || update};
    return s.handle;
  }
  std::fclose(file);
  return 0;
}

void close_all_streams() {
  for (Stream &s : streams) {
    if (!s.handle) continue;
    std::fclose(s.file);
    s = Stream{};
  }
}

// The mode as the C library takes it: r, w or a, then at most one each of '+', 'b' and 't'
// ('b' and 't' not together). 't' is the default text mode and is dropped; false for any other.
static bool native_mode(const char *mode, char *out) {
  if (*mode != 'r' && *mode != 'w' && *mode != 'a') return false;
  int n = 0;
  out[n++] = *mode;
  bool plus = false, binary = false, text = false;
  for (const char *m = mode + 1; *m; ++m) {
    bool &seen = *m == '+' ? plus : *m == 'b' ? binary : text;
    if ((*m != '+' && *m != 'b' && *m != 't') || seen) return false;
    seen = true;
    if (*m != 't') out[n++] = *m;
  }
  out[n] = '\0';
  return !(binary && text);
}

BuiltinResult bi_fopen(const std::int32_t *w) {
  const char *name = script_string(w[0]);
  const char *mode = name ? script_string(w[1]) : nullptr;
  char native[8];
  if (!mode || !native_mode(mode, native) || plat_is_directory(name)) return word(0);
  return word(enter_stream(plat_fopen(name, native), native));
}

BuiltinResult bi_tmpfile(const std::int32_t *) { return word(enter_stream(std::tmpfile(), "w+b")); }

BuiltinResult bi_fclose(const std::int32_t *w) {
  for (Stream &s : streams) {
    if (w[0] <= 0 || s.handle != w[0]) continue;
    int r = std::fclose(s.file);
    s = Stream{};
    return word(r == 0 ? 0 : EOF);
  }
  return word(EOF);
}

BuiltinResult bi_feof(const std::int32_t *w) {
  std::FILE *f = stream_of(w[0]);
  return word(f && std::feof(f) ? 1 : 0);
}

// A flush or a seek lets the next use go either way.
static int flush(Stream &s) {
  s.last = LastUse::NONE;
  return std::fflush(s.file);
}

BuiltinResult bi_fflush(const std::int32_t *w) {
  if (w[0] == 0) {
    int r = 0;
    for (Stream &s : streams)
      if (s.handle && flush(s) != 0) r = EOF;
    return word(r);
  }
  Stream *s = find_stream(w[0]);
  return word(s && flush(*s) == 0 ? 0 : EOF);
}

BuiltinResult bi_fgetc(const std::int32_t *w) {
  std::FILE *f = stream_for_reading(w[0]);
  return word(f ? std::fgetc(f) : EOF);
}

BuiltinResult bi_ungetc(const std::int32_t *w) {
  std::FILE *f = stream_for_reading(w[1]);
  return word(f && w[0] != EOF ? std::ungetc(static_cast<unsigned char>(w[0]), f) : EOF);
}

// Reads up to n-1 characters, through the first line feed, and adds a NUL. Gives 0 and leaves
// the buffer alone when the end of the file comes before any character.
BuiltinResult bi_fgets(const std::int32_t *w) {
  std::int32_t n = w[1];
  std::FILE *f = stream_for_reading(w[2]);
  if (!f || n <= 0) return word(0);
  std::uint8_t *buf = script_bytes(w[0], n);
  if (!buf) return word(0);
  std::int32_t count = 0;
  while (count < n - 1) {
    int c = std::fgetc(f);
    if (c == EOF) break;
    buf[count++] = static_cast<std::uint8_t>(c);
    if (c == '\n') break;
  }
  if (count == 0 && n > 1) return word(0);
  buf[count] = 0;
  return word(w[0]);
}

BuiltinResult bi_fputc(const std::int32_t *w) {
  std::FILE *f = stream_for_writing(w[1]);
  return word(f ? std::fputc(static_cast<unsigned char>(w[0]), f) : EOF);
}

BuiltinResult bi_fputs(const std::int32_t *w) {
  std::FILE *f = stream_for_writing(w[1]);
  if (!f) return word(EOF);
  const char *s = script_string(w[0]);
  if (!s) return word(EOF);
  return word(std::fputs(s, f) >= 0 ? 0 : EOF);
}

// fread and fwrite: size times count bytes of script memory, checked as a whole.
static std::uint8_t *block(const std::int32_t *w, std::FILE *f, std::size_t &size, std::size_t &count) {
  size = static_cast<std::uint32_t>(w[1]);
  count = static_cast<std::uint32_t>(w[2]);
  std::uint64_t total = static_cast<std::uint64_t>(size) * count;
  if (!f || total == 0) return nullptr;
  return script_bytes(static_cast<std::uint32_t>(w[0]),
                      total > ARENA_SIZE ? 0xFFFFFFFFu : static_cast<std::uint32_t>(total));
}

BuiltinResult bi_fread(const std::int32_t *w) {
  std::FILE *f = stream_for_reading(w[3]);
  std::size_t size, count;
  std::uint8_t *buf = block(w, f, size, count);
  return word(buf ? static_cast<std::int32_t>(std::fread(buf, size, count, f)) : 0);
}

BuiltinResult bi_fwrite(const std::int32_t *w) {
  std::FILE *f = stream_for_writing(w[3]);
  std::size_t size, count;
  std::uint8_t *buf = block(w, f, size, count);
  return word(buf ? static_cast<std::int32_t>(std::fwrite(buf, size, count, f)) : 0);
}

BuiltinResult bi_fseek(const std::int32_t *w) {
  Stream *s = find_stream(w[0]);
  static const int origins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (!s || w[2] < 0 || w[2] > 2) return word(-1);
  s->last = LastUse::NONE;
  return word(std::fseek(s->file, w[1], origins[w[2]]) == 0 ? 0 : -1);
}

BuiltinResult bi_ftell(const std::int32_t *w) {
  std::FILE *f = stream_of(w[0]);
  long pos = f ? std::ftell(f) : -1;
  return word(pos >= 0 && pos <= INT32_MAX ? static_cast<std::int32_t>(pos) : -1);
}

BuiltinResult bi_remove(const std::int32_t *w) {
  const char *name = script_string(w[0]);
  return word(name ? plat_remove(name) : -1);
}

BuiltinResult bi_rename(const std::int32_t *w) {
  const char *from = script_string(w[0]);
  const char *to = from ? script_string(w[1]) : nullptr;
  return word(to ? plat_rename(from, to) : -1);
}
