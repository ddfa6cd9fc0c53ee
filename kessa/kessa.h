// KESSA.DLL, the monitor's companion library.  It watches the set of running
// processes and posts message 9024 (WM_USER + 8000) to the monitor's window
// whenever that set changes.  Linked by ordinal only.
#pragma once
#include <windows.h>

#define KESSA_PROCESS_CHANGE (WM_USER + 8000)

#ifdef __cplusplus
extern "C" {
#endif
// Ordinal 2: starts the watcher for the given window.  Returns 1 when it
// runs (also when it was already running), 0 when it could not start.
int __stdcall KessaStartWatch(HWND window);
// Ordinal 3: stops the watcher and waits for it to end.  Returns 1.
int __stdcall KessaStopWatch(void);
#ifdef __cplusplus
}
#endif
