// book.cpp: the functions of the phonebook.
#include "host.h"
#include "session.h"

int32_t ktReloadPhonebook(int32_t path) {
  if (int32_t r = host_enter()) return r;
  std::string_view name;
  bool given;
  if (!arg_optional_string(path, &name, &given)) return KT_E_BADARG;
  bool named = given && !name.empty();
  int count = phonebook_load(named ? std::string(name) : phonebook_path(), named || phonebook_named());
  return count < 0 ? KT_E_IO : count;
}

int32_t ktSavePhonebook(int32_t h) {
  Session *s;
  if (int32_t r = session_enter(h, &s)) return r;
  if (!phonebook_store(s->name, s->settings)) {
    host_say("cannot write the phonebook " + phonebook_path() + ": " + host_errno_text());
    return KT_E_IO;
  }
  session_log(*s, "saved to the phonebook " + phonebook_path());
  return KT_OK;
}

int32_t ktGetPhonebookEntry(int32_t index, int32_t key, int32_t buf, int32_t size) {
  if (int32_t r = host_enter()) return r;
  std::string_view k;
  bool given;
  if (!arg_optional_string(key, &k, &given)) return KT_E_BADARG;
  const std::vector<IniSection> &entries = phonebook_entries();
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return KT_E_RANGE;
  const IniSection &entry = entries[static_cast<size_t>(index)];
  if (!given || k.empty()) return put_string(buf, size, entry.name);
  if (const std::string *v = entry.keys.find(k)) return put_string(buf, size, *v);
  if (!is_known_key(k)) return KT_E_NOTFOUND;
  return put_string(buf, size, setting_text(entry.keys, k, entry.name));
}
