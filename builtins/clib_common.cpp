#include "builtins/clib_common.h"

#include <bit>
#include <cstring>

#include "eval/value.h"
#include "shell/diagnostics.h"

double ArgWords::take_double() { return std::bit_cast<double>(static_cast<std::uint64_t>(take_int64())); }

std::int64_t ArgWords::take_int64() {
  std::uint64_t low = take_unsigned();
  std::uint64_t high = take_unsigned();
  return static_cast<std::int64_t>(low | high << 32);
}

std::uint8_t *script_bytes(std::uint32_t addr, std::uint32_t size) {
  static std::uint8_t nothing[1];
  if (size == 0) return nothing;
  std::uint8_t *p = arena_ptr(addr, size);
  if (!p) error(MSG_MEMORY_OVERFLOW);
  return p;
}

// The bytes from 'addr' to the arena's end; null when 'addr' is outside.
static std::uint8_t *arena_rest(std::uint32_t addr, std::uint32_t *room) {
  std::uint8_t *p = arena_ptr(addr, 1);
  if (p) *room = ARENA_SIZE - (addr - arena_base);
  return p;
}

char *script_string(std::int32_t addr, std::size_t *len) {
  std::uint32_t room = 0;
  std::uint8_t *p = arena_rest(static_cast<std::uint32_t>(addr), &room);
  const void *nul = p ? std::memchr(p, 0, room) : nullptr;
  if (!nul) {
    error(MSG_MEMORY_OVERFLOW);
    return nullptr;
  }
  if (len) *len = static_cast<std::size_t>(static_cast<const std::uint8_t *>(nul) - p);
  return reinterpret_cast<char *>(p);
}

char *script_string_n(std::int32_t addr, std::uint32_t limit, std::size_t *len) {
  if (limit == 0) {
    *len = 0;
    return reinterpret_cast<char *>(script_bytes(0u, 0u));
  }
  std::uint32_t room = 0;
  std::uint8_t *p = arena_rest(static_cast<std::uint32_t>(addr), &room);
  if (p) {
    std::uint32_t span = limit < room ? limit : room;
    const void *nul = std::memchr(p, 0, span);
    if (nul || limit <= room) {
      *len = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t *>(nul) - p) : span;
      return reinterpret_cast<char *>(p);
    }
  }
  error(MSG_MEMORY_OVERFLOW);
  return nullptr;
}

std::int32_t script_address(const void *p) {
  const std::uint8_t *start = arena_ptr(arena_base, ARENA_SIZE);
  auto offset = static_cast<std::uint32_t>(static_cast<const std::uint8_t *>(p) - start);
  return static_cast<std::int32_t>(arena_base + offset);
}

bool c_isspace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool c_isdigit(int c) { return c >= '0' && c <= '9'; }
bool c_isupper(int c) { return c >= 'A' && c <= 'Z'; }
bool c_islower(int c) { return c >= 'a' && c <= 'z'; }
int c_tolower(int c) { return c_isupper(c) ? c + ('a' - 'A') : c; }
int c_toupper(int c) { return c_islower(c) ? c - ('a' - 'A') : c; }
