// matcher.cpp: the receive buffer and the searches of the waits.
#include "matcher.h"

#include <algorithm>

void receive_append(ReceiveBuffer &buffer, std::string_view bytes) {
  buffer.total += bytes.size();
  if (bytes.size() >= RECEIVE_LIMIT) {
    buffer.dropped += buffer.data.size() + bytes.size() - RECEIVE_LIMIT;
    buffer.data.assign(bytes.substr(bytes.size() - RECEIVE_LIMIT));
    return;
  }
  size_t total = buffer.data.size() + bytes.size();
  if (total > RECEIVE_LIMIT) {
    size_t drop = total - RECEIVE_LIMIT;
    buffer.data.erase(0, drop);
    buffer.dropped += drop;
  }
  buffer.data.append(bytes);
}

void receive_consume(ReceiveBuffer &buffer, size_t end, std::string_view match) {
  end = std::min(end, buffer.data.size());
  std::string_view taken(buffer.data.data(), end);
  if (taken.size() >= CONSUMED_KEEP) {
    buffer.consumed.assign(taken.substr(taken.size() - CONSUMED_KEEP));
  } else {
    buffer.consumed.assign(taken);
  }
  buffer.last_match.assign(match);
  buffer.data.erase(0, end);
}

std::vector<std::string> match_alternatives(std::string_view pattern, int flags) {
  std::vector<std::string> alts;
  if (!(flags & MATCH_ALT)) {
    if (!pattern.empty()) alts.emplace_back(pattern);
    return alts;
  }
  for (size_t start = 0;;) {
    size_t bar = pattern.find('|', start);
    std::string_view part = pattern.substr(start, bar == std::string_view::npos ? bar : bar - start);
    if (part.empty()) return {};
    alts.emplace_back(part);
    if (bar == std::string_view::npos) return alts;
    start = bar + 1;
  }
}

static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

static bool same(char a, char b, bool nocase) { return nocase ? lower(a) == lower(b) : a == b; }

static size_t find_text(std::string_view data, std::string_view text, bool nocase) {
  if (!nocase) return data.find(text);
  auto it = std::search(data.begin(), data.end(), text.begin(), text.end(),
                        [](char a, char b) { return lower(a) == lower(b); });
  return it == data.end() ? std::string_view::npos : static_cast<size_t>(it - data.begin());
}

std::optional<Match> match_find(std::string_view data, const std::vector<std::string> &alts, bool nocase) {
  std::optional<Match> best;
  for (size_t i = 0; i < alts.size(); ++i) {
    size_t at = find_text(data, alts[i], nocase);
    if (at == std::string_view::npos) continue;
    Match m{static_cast<int>(i), at, at + alts[i].size()};
    if (!best || m.end < best->end) best = m;
  }
  return best;
}

std::optional<Match> match_suffix(std::string_view data, const std::vector<std::string> &alts, bool nocase) {
  std::optional<Match> best;
  for (size_t i = 0; i < alts.size(); ++i) {
    const std::string &a = alts[i];
    if (a.size() > data.size()) continue;
    size_t at = data.size() - a.size();
    bool ends = std::equal(a.begin(), a.end(), data.begin() + static_cast<long>(at),
                           [nocase](char x, char y) { return same(x, y, nocase); });
    if (ends && (!best || at < best->begin)) best = Match{static_cast<int>(i), at, data.size()};
  }
  return best;
}

size_t match_lines(std::string_view data, int count) {
  size_t end = 0;
  for (int i = 0; i < count; ++i) {
    size_t lf = data.find('\n', end);
    if (lf == std::string_view::npos) return std::string_view::npos;
    end = lf + 1;
  }
  return end;
}
