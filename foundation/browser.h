// The user's browsers, as the registry names them.  Paths are at most 259
// characters (out holds VX_PATH).
#pragma once
#include <windows.h>

// The App Paths "Path" of IEXPLORE.EXE (a trailing ";" dropped) followed by
// "\iexplore.exe".  Returns the length; 0 and "" when the value is missing.
int InternetExplorerPath(char* out, size_t outSize);
template <size_t N> inline int InternetExplorerPath(char (&out)[N])
{ return InternetExplorerPath(out, N); }

// The program of the HTTP "open" command (quotes removed, cut before the
// first "-", trailing blanks dropped), else the App Paths "Path" of IE plus
// "\IExplore.exe".  Returns the length; 0 and "" when neither is there.
int DefaultBrowserPath(char* out, size_t outSize);
template <size_t N> inline int DefaultBrowserPath(char (&out)[N])
{ return DefaultBrowserPath(out, N); }

// 1 IE, 2 Netscape, 3 Firefox, 4 Maxthon, 5 Avant, 6 Mozilla, tested in the
// order iexplore, netscp, maxthon, avant, mozilla, firefox; 1 otherwise.
int DefaultBrowserKind();

// The AOL client's main window, NULL when none.
HWND FindAolWindow();
