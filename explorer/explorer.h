// VardexView.exe, the explorer: process-wide state, the entry, the hidden
// main window and its commands, and the sheet.  Everything runs on the one
// thread of the message loop; the sheet and its dialogs are modal on it.
#pragma once
#include <windows.h>

// Main-window commands besides the page commands of the page table.
enum ExplorerCommand {
    XCMD_CLOSE = 6030,             // end the explorer
    XCMD_TOGGLE_AUTOSTART = 6031,  // the monitor's own autostart on or off
    XCMD_COOKIES_SHOWN = 6045,     // the cookie page with its list shown
    XCMD_EXIT_REQUEST = 6048,      // end, or with "ConfirmExit" go back to the monitor
};

// Posted to the page window of 6029 when a second start asks for the
// running tasks while the sheet is open: the page lists them again.
#define WM_VX_REFRESH_PAGE 6057

// The monitor's window class.
#define MONITOR_CLASS "Vardex"

extern HINSTANCE g_Instance;
extern HWND g_MainWindow;

// Process entry: the exit code of the message loop, 0 when the process
// ends early (a maintenance switch, a second instance, a missing text).
int ExplorerMain(HINSTANCE instance, const char* commandLine);

// The main window's procedure (class from text 9, "VardexView").
LRESULT CALLBACK ExplorerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The maintenance switches: each does its work; the process then ends.
// "-Restore": translations and saved window positions deleted, every
// delayed program back in the startup list, the context-menu verb removed.
void RestoreDefaults();
// The rotating purge of first-detected dates: the subkey after the one of
// the last start ("nCount" keeps it), its dates of files that are gone.
// Returns the subkey's number (0 Tasks, 1 ActiveTasks, 2 Services, 3 Hidden).
int PurgeNextDetectedSubkey();
// Deletes the files of the Windows Prefetch folder whose name holds
// "Vardexusb.exe".  Returns how many went.
int CleanPrefetch();

// Builds and runs the sheet at the page (modal; returns when it closes),
// or brings an open sheet forward.
void OpenExplorerPage(HWND owner, int command);
// The sheet window while it is open, else NULL.
HWND ExplorerSheet();
// The page window that is active, NULL when none.
HWND CurrentPageWindow();
// After the sheet has closed: the frame forgets it and frees its tab icons.
void ForgetSheet();

// Opens a web address: through a running AOL client when there is one,
// else the shell's "open".  An address holding a double quote is refused
// (0); 1 when it was handed on.
int OpenUrl(const char* address);

// Installs the explorer's way of asking and telling (foundation/ui.h).
void InstallExplorerUi();
