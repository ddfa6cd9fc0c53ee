// The cookie list: the cookies of the browser the Cookies page names, each
// with a check box (checked: the user keeps it), sorted by header click,
// removed checked or unchecked, viewed one by one.
#pragma once
#include <windows.h>

// Shows the list (template 145) for the mode of the option "Browser";
// modal, returns when it is closed.
void ShowCookieList(HWND owner);
