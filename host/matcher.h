// matcher.h: the receive buffer of a session and the searches of the waits.
//
// The buffer holds the bytes no wait has consumed yet, at most RECEIVE_LIMIT of them: when more
// arrive, the oldest are dropped and counted (the screen, capture and log have seen them by
// then). A wait that matches consumes everything up to the end of its match; the consumed text
// (its last CONSUMED_KEEP bytes) and the match stay readable. Nothing here does I/O.
#ifndef HOST_MATCHER_H
#define HOST_MATCHER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kt.h"

constexpr size_t RECEIVE_LIMIT = 64 * 1024;
constexpr size_t CONSUMED_KEEP = 16 * 1024;

struct ReceiveBuffer {
  std::string data;        // unconsumed bytes, oldest first
  uint64_t dropped = 0;    // bytes dropped unconsumed
  uint64_t total = 0;      // bytes ever appended
  std::string consumed;    // the last consumed text
  std::string last_match;  // the text that the last match matched
};

// Appends received bytes, dropping the oldest beyond RECEIVE_LIMIT.
void receive_append(ReceiveBuffer &buffer, std::string_view bytes);
// Consumes the first 'end' bytes; 'match' is the text matched at their end.
void receive_consume(ReceiveBuffer &buffer, size_t end, std::string_view match);

// The wait flags, under the matcher's names.
constexpr int MATCH_NOCASE = KT_WAIT_NOCASE, MATCH_KEEP = KT_WAIT_KEEP, MATCH_NEW = KT_WAIT_NEW,
              MATCH_ALT = KT_WAIT_ALT;

struct Match {
  int index;     // which alternative matched (0 without MATCH_ALT)
  size_t begin;  // where the match begins in the data
  size_t end;    // just past it
};

// The alternatives of a pattern: the whole pattern, or with MATCH_ALT its '|'-separated parts.
// Empty when an alternative is empty (nothing to wait for).
std::vector<std::string> match_alternatives(std::string_view pattern, int flags);
// The match that a reader of 'data' would see complete first: the one that ends earliest, the
// lower index on a tie.
std::optional<Match> match_find(std::string_view data, const std::vector<std::string> &alts, bool nocase);
// An alternative that 'data' ends with (the longest on a tie of ends, so "$ " beats " ").
std::optional<Match> match_suffix(std::string_view data, const std::vector<std::string> &alts, bool nocase);
// The length of the first 'count' complete lines (each ending in LF), or npos when fewer.
size_t match_lines(std::string_view data, int count);

#endif
