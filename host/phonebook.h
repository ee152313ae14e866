// phonebook.h: INI files, the settings file ravelto.ini and the phonebook.
//
// An INI file as GetPrivateProfileString reads it: [sections] and key=value lines, names compared
// without case, ';' comments, no quoting. The phonebook is an INI file whose sections are entries;
// every session setting is a key. A session copies its entry when it opens (Settings), so a
// change affects only that session until ktSavePhonebook rewrites the entry's section.
#ifndef HOST_PHONEBOOK_H
#define HOST_PHONEBOOK_H

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

bool same_name(std::string_view a, std::string_view b);  // ASCII case ignored

// Keys and values in file order, keys compared without case.
struct Settings {
  std::vector<std::pair<std::string, std::string>> items;
  const std::string *find(std::string_view key) const;
  void set(std::string_view key, std::string_view value);
  void erase(std::string_view key);
};

struct IniSection {
  std::string name;
  Settings keys;
};

std::vector<IniSection> ini_parse(std::string_view text);
// The whole file in *text, or false (errno tells why).
bool ini_read_file(const std::string &path, std::string *text);
// 'text' with the section 'name' replaced by 'keys' (appended when there is none); every byte
// outside that section stays as it was.
std::string ini_replace_section(std::string_view text, std::string_view name, const Settings &keys);

// A file of the settings directory: $RAVELTO_DIR, else $XDG_CONFIG_HOME/ravelto, else
// ~/.config/ravelto; the first that has the file, else the first of them.
std::string settings_file(const std::string &name);
// A key of ravelto.ini, or 'fallback'.
std::string host_setting(std::string_view section, std::string_view key, std::string_view fallback);

// The phonebook in use: loads 'path', which becomes the file in use; the entry count, or -1 with
// errno noted when it cannot be read (a reload then keeps the phonebook in use; the first load
// takes the path with no entries). A missing file is an empty
// phonebook, unless the user 'named' it (a start-up item, ravelto.ini, ktReloadPhonebook).
int phonebook_load(const std::string &path, bool named);
bool phonebook_named();
const std::string &phonebook_path();
const std::vector<IniSection> &phonebook_entries();
const IniSection *phonebook_find(std::string_view name);
// Writes 'keys' as the entry 'name' into the phonebook file through a temporary file and rename.
bool phonebook_store(std::string_view name, const Settings &keys);

// The value of a session setting: the session's own, else the default (which may depend on the
// kind and the session's name).
std::string setting_text(const Settings &s, std::string_view key, std::string_view session_name);
long setting_number(const Settings &s, std::string_view key);
bool setting_on(const Settings &s, std::string_view key);  // yes/on/1/true
bool is_known_key(std::string_view key);
// Whether 'value' is one that the known key 'key' takes (a number in range, a known name).
bool setting_valid(std::string_view key, std::string_view value);
// The code of an enumerated value (Parity none 0 odd 1 ..., Flow, LineEnd, yes/no), or -1.
int setting_code(std::string_view key, std::string_view value);

#endif
