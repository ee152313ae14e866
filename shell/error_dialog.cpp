#include "shell/error_dialog.h"

#include <cstdio>

#include "platform/platform.h"
#include "shell/startup.h"
#include "source/preprocessor.h"

// The editor command names at most this many bytes of the file name.
constexpr int EDIT_NAME_BUFFER = 256;

DialogAnswer show_error_dialog(const char *message) {
  DialogAnswer answer = plat_error_dialog(message, script_path);
  if (answer != DIALOG_EDIT) return answer;
  // The include file being read is closed before the editor opens it.
  char name[EDIT_NAME_BUFFER];
  std::snprintf(name, sizeof name, "%s", current_file_name());
  close_include();
  plat_start_editor(name);
  return answer;
}
