// startup.cpp: the start-up items of the command line.
#include "startup.h"

#include <cstring>

#include "phonebook.h"

static bool is_yes(const std::string &v) {
  return same_name(v, "yes") || v == "1" || same_name(v, "on") || same_name(v, "true");
}

static void take_item(StartupItems &items, const std::string &item) {
  size_t eq = item.find('=');
  if (eq == std::string::npos) {
    items.entry = item;  // a bare word names the entry
    return;
  }
  std::string key = item.substr(0, eq), value = item.substr(eq + 1);
  if (key == "entry") items.entry = value;
  else if (key == "connect") items.connect = is_yes(value);
  else if (key == "phonebook") items.phonebook = value;
  else if (key == "mode") items.mode = value;
  else if (key == "answers") items.answers = value;
  else items.unknown.push_back(item);
}

StartupItems parse_startup_items(const char *command_line) {
  StartupItems items;
  const char *open = command_line ? std::strchr(command_line, '[') : nullptr;
  const char *close = open ? std::strchr(open, ']') : nullptr;
  if (!close) return items;
  std::string text(open + 1, close);
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
    if (end > i) take_item(items, text.substr(i, end - i));
    i = end;
  }
  return items;
}
