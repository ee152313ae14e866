// The error dialog: shows one error message and turns the user's answer into the result that
// error() acts on. Edit hands the current source file to the editor first.
#pragma once

// 1 after Continue, 0 after Cancel or Edit, -1 when the dialog cannot be shown.
int show_error_dialog(const char *message);
