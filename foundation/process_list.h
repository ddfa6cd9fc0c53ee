// Reads the ids of the running processes: PSAPI where the system has it
// (the NT family), the ToolHelp snapshot otherwise (Windows 95/98/Me).
// Both are looked up at run time, so a system without one still runs.
// Shared by KESSA.DLL's watcher and the monitor's process-count check.
#pragma once
#include <windows.h>

// Fills ids with up to capacity process ids; returns how many, or -1 when
// no enumeration is available.
int ReadProcessIds(DWORD* ids, int capacity);

// The number of running processes (0 when they cannot be read).
int CountProcesses();
