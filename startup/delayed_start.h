// The delayed-start list: programs taken out of Windows' own startup places
// and started by the monitor a set time after its own start.  Every key
// under Software\Quillon\Vardex\Delay holds one value per program, named by
// the program's path: "Delay" its location code, "Delay\Time" its delay in
// seconds, "Delay\Title", "Delay\Parameters", "Delay\Applet" (a DLL started
// through RUNDLL32), "Delay\Shortcuts" (the Startup-folder shortcut it came
// from) and, in HKCU only, "Delay\OpenAs" (0 normal, 1 minimized, 2
// maximized).  Programs for all users live under HKLM, the others under
// HKCU.
#pragma once
#include <windows.h>

#define VX_DELAY_KEY VX_KEY "\\Delay"

// The number of programs on the list (HKLM and HKCU).
int CountDelayedPrograms();

// Launches every listed program whose "Time" equals delaySeconds (HKLM
// first, then HKCU), unless a process of that program is already running.
// Returns how many programs matched, started or not: each is handled once.
int RunDelayedPrograms(int delaySeconds);

// Starts one program with its saved window state ("OpenAs", values above 2
// count as normal) through the shell's "open" verb with parameters, else
// the plain path.  0 when it started.
int LaunchProgram(const char* program, const char* parameters);

// Forgets a program's record (every key but "OpenAs").
void DeleteDelayRecord(HKEY root, const char* programKey);
