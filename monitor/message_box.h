// The monitor's message boxes: the product caption, the topmost flag and
// the message language on every one.
#pragma once
#include <windows.h>

// MessageBoxEx as above.  The text is shown as it is, never used as a
// format.
int ShowMessage(HWND owner, const char* text, UINT flags);
