// The Options page's "E&xport Settings": the settings file of this user.
#pragma once
#include <windows.h>

// Writes "<program folder>\<user name>-Vardex.reg" (reports/settings_export.h)
// and tells the user, in a box owned by owner, the file's path, or why it
// could not be written, or which values it could not hold.  Returns 1 when
// the file was written (values left out or not), 0 when it was not.
int ExportSettings(HWND owner);
