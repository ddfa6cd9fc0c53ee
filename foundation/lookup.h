// The online lookup both programs share: the browser goes to the vendor's
// lookup service with a query that describes a program file, and the
// check for a newer version of the product.  The addresses themselves are
// built by lookup_query.h.
#pragma once
#include <windows.h>

// Sends the browser to the lookup for a program: its type code and its
// command or path (the file's version texts, dates and size go with the
// long form, option "PlusFormat"), or a bare name.  Through a running AOL
// client, else the shell (the long form through an Internet shortcut,
// temp.url in the program folder), else Internet Explorer.  Returns 1 when
// a browser was started; 0 for an empty name.
int LookUpOnline(HWND owner, int typeCode, const char* pathOrName);

// Opens the version check in the browser: HKLM "GetVersion" when it is an
// http or https address, else text 1149, else the built-in address.
// Returns 1 when started.
int CheckForNewVersion(HWND owner);

// The shortcut a long-form lookup leaves for the browser stays until the
// next lookup replaces it, since the browser reads it after the shell has
// returned.  At exit a program deletes the one it left.
void DeleteLookupShortcut();
