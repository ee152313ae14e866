// A fuzzing entry of the host library: a phonebook or answers file as the user (or a careless
// tool) may have written it, read as the host reads it: the phonebook with every entry's settings
// and their checks, the section rewrite of ktSavePhonebook, the answers' lookups, and the first
// line as the start-up items of a command line.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz_main.h"
#include "phonebook.h"
#include "startup.h"

static const char *const keys[] = {"Kind", "Address", "Port", "Telnet", "LineEnd", "Parity", "Flow", "Baud",
                                   "Rows", "Columns", "Capture", "XferFlags", "WaitChar", "Data.User", "*"};

static void run_file(const char *path) {
  if (phonebook_load(path, true) < 0) return;
  std::string text;
  ini_read_file(path, &text);
  for (const IniSection &entry : phonebook_entries()) {
    for (const char *key : keys) {
      std::string value = setting_text(entry.keys, key, entry.name);
      setting_valid(key, value);
      setting_code(key, value);
      setting_number(entry.keys, key);
    }
    Settings changed = entry.keys;
    changed.set("Port", "2323");
    changed.erase("Address");
    ini_replace_section(text, entry.name, changed);
    phonebook_find(entry.name);
  }
  ini_replace_section(text, "new entry", {});
  for (const char *section : {"MessageBox", "Input", "Select"})
    for (const IniSection &s : ini_parse(text))
      if (same_name(s.name, section)) s.keys.find("*");
  parse_startup_items(text.substr(0, text.find('\n')).c_str());
}

static void run(const std::string &input) {  // through a file, as the host reads them
  std::string path = "fuzz_files." + std::to_string(getpid()) + ".ini";
  if (std::FILE *f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(input.data(), 1, input.size(), f);
    std::fclose(f);
    run_file(path.c_str());
  }
  std::remove(path.c_str());
}
