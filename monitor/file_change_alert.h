// The file change alert of a watched system file (HOSTS, the boot files).
#pragma once
#include <windows.h>

#include "foundation/ui.h"

// The procedure of the file-change layout, for the alert record (Name: the
// file's name, Location: its path, SecondFile: the record's comment).  It
// ends with ANSWER_ACCEPT, ANSWER_REJECT, and with "Disable Future
// Monitoring" checked ANSWER_DISABLE (accepted) or ANSWER_REJECT_AND_STOP
// (rejected).  Shown through ShowAlert (monitor/alerts.h).
INT_PTR CALLBACK FileChangeAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
