// keyboard.h: remote input, the user's keys going to the remote. Only in interactive runs with a
// terminal on standard input, and only while a host call waits: the terminal is then raw (signals
// still work), and the keys go to the current session when it is mirrored (local display) and
// not blocked; otherwise they are dropped. Ctrl-] opens the escape prompt: c continues, a aborts
// the waiting call, q ends the script with status 130.
#ifndef HOST_KEYBOARD_H
#define HOST_KEYBOARD_H

// Whether waits read the keyboard.
bool keyboard_active();
// Raw while a host call waits, the terminal's own modes again after it: gives whether it was raw.
bool keyboard_raw(bool on);
// Reads the keys there are and passes them on: false when the user aborted the call.
bool keyboard_service();

#endif
