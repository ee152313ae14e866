// user.h: the user. Interactive when standard input and standard error are terminals (or
// mode=interactive, [Host] Mode=interactive), else unattended: message boxes, input prompts and
// the entry picker are then answered from the answers file.
#ifndef HOST_USER_H
#define HOST_USER_H

#include "startup.h"

void user_start(const StartupItems &items);
bool user_interactive();
// A key is waiting on standard input (interactive only); user_take_key reads it.
bool user_key_waiting();
void user_take_key();
// The end of the run: the terminal gets its modes back.
void user_end();

#endif
