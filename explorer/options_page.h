// The Options page's command buttons and the two dialogs it opens: the
// alert-hiding dialog and the History dialog.
#pragma once
#include <windows.h>

// Every command button of the Options page goes through here (the page's
// WM_COMMAND and anything that presses one for it).  1 when the button's
// work was done here; 0 for an id that is not one of them.
int RunOptionsCommand(HWND page, int id);

// The alert-hiding dialog (template 213): each row's "Hide..." option set
// to 0 (ask), 1 (allow) or 2 (deny) as it is clicked; the caller saves.
void AlertHidingDialog(HWND owner);

// The History dialog (template 141): history.txt as a list, the reversible
// lines restored, the file cleared after the user agreed.  Modal.
void HistoryDialog(HWND owner);
