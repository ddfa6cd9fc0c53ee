// The "Vardex Log" command of the list pages and the Options page: the
// report of every category, written and opened, or the user told why not.
#pragma once
#include <windows.h>

// Writes the report (reports/report.h: WriteReport) and opens it; when no
// folder took it, says so in a box owned by owner.  Returns 1 when written.
int ReportCommand(HWND owner);
