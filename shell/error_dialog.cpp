#include "shell/error_dialog.h"

#include <cstdio>

#include "platform/platform.h"
#include "shell/startup.h"
#include "source/preprocessor.h"

// The editor command names at most this many bytes of the file name.
constexpr int EDIT_NAME_BUFFER = 256;

int show_error_dialog(const char *message) {
  switch (plat_error_dialog(message, script_path)) {
  case DIALOG_CONTINUE: return 1;
  case DIALOG_NONE: return -1;
  case DIALOG_CANCEL: return 0;
  case DIALOG_EDIT: break;
  }
  // The include file being read is closed before the editor opens it.
  char name[EDIT_NAME_BUFFER];
  std::snprintf(name, sizeof name, "%s", current_file_name());
  close_include();
  plat_start_editor(name);
  return 0;
}
