// The online lookup both programs share: the browser goes to the vendor's
// lookup service with a query that describes a program file, and the
// check for a newer version of the product.
#pragma once
#include <windows.h>

// Sends the browser to the lookup for a program (its type code and its
// path, or a bare name).  Returns 1 when a browser was started.
int LookUpOnline(HWND owner, int typeCode, const char* pathOrName);

// Opens the version check in the browser.  Returns 1 when started.
int CheckForNewVersion(HWND owner);
