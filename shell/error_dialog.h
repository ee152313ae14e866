// The error dialog: shows one error message and returns the user's answer, which error() acts
// on. Edit hands the current source file to the editor first.
#pragma once
#include "platform/platform.h"

DialogAnswer show_error_dialog(const char *message);
