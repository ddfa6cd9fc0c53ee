// Shell-facing routines both programs carry: the help pages and the
// "Vardex PLUS" verb on the context menu of executable files.
#pragma once
#include <windows.h>

// A help page's file with its language prefix ("startup.html" becomes
// "de_startup.html"; no prefix for "us"; "features.html" for NULL or "").
// out holds VX_PATH.
void HelpPageName(const char* file, char* out, size_t outSize);
template <size_t N> inline void HelpPageName(const char* file, char (&out)[N])
{ HelpPageName(file, out, N); }

// Opens a help page (its file as the page records name it): the local copy
// in the program folder when it exists, else through a running AOL client,
// else the vendor's help site.
void OpenHelpPage(HWND owner, const char* file);

// Opens a web address (at most LOOKUP_ADDRESS - 1 characters): through a
// running AOL client (its command line names the address in quotes), else
// the shell's "open".  An empty address, one holding a double quote or a
// longer one is refused: 0.  1 when handed on; 0 when the shell failed.
int OpenAddress(HWND owner, const char* address);

// Registers (on = 1) or removes (on = 0) HKCR exefile\shell\Vardex PLUS,
// whose command starts the monitor with the chosen program.
void SetExplorerMenuVerb(int on);

#define VX_VERB_KEY "exefile\\shell\\Vardex PLUS"
