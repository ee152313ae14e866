// startup.h: the start-up items of the command line. The host product starts a script as
// "[ITEMS] SCRIPT"; ITEMS are blank-separated: entry=NAME (or a bare NAME), connect=yes,
// phonebook=PATH, mode=interactive|unattended, answers=PATH. Unknown keys are kept in 'unknown'
// for the caller to log.
#ifndef HOST_STARTUP_H
#define HOST_STARTUP_H

#include <string>
#include <vector>

struct StartupItems {
  std::string entry;                 // the start-up session's entry, empty for none
  bool connect = false;              // connect=yes
  std::string phonebook;             // phonebook=PATH
  std::string mode;                  // mode=..., as written
  std::string answers;               // answers=PATH
  std::vector<std::string> unknown;  // items with a key this host does not know
};

// Reads the items between the first '[' and the first ']' after it; no brackets: no items.
StartupItems parse_startup_items(const char *command_line);

#endif
