// The delayed-start list: programs taken out of Windows' own startup places
// and started by the monitor a set time after its own start.  Every key
// under Software\Quillon\Vardex\Delay holds one value per program, named by
// the program's path (its key): "Delay" its location code, "Delay\Time" its
// delay in seconds, "Delay\Title", "Delay\Parameters", "Delay\Applet" (a
// DLL started through RUNDLL32), "Delay\Shortcuts" (the Startup-folder
// shortcut it came from) and "Delay\OpenAs" (0 normal, 1 minimized, 2
// maximized).  Programs for all users live under HKLM, the others under
// HKCU.  Nothing here shows a window: the explorer asks, then calls.
#pragma once
#include <windows.h>

#include "foundation/item_list.h"
#include "foundation/registry_store.h"

#define VX_DELAY_KEY VX_KEY "\\Delay"

// --- The list and the monitor's launcher --------------------------------------

// The number of programs on the list (HKLM and HKCU).
int CountDelayedPrograms();

// Empties the list and fills it with the programs of HKLM, then HKCU;
// returns the count.  Each record: Name the title (the "Title" value, else
// the program's ProductName, else its file name; the FileDescription when
// that names Windows itself), Command and Key the program key, Extra the
// "Shortcuts" value for code 200 and the title otherwise, Info the
// FileDescription, Code the "Delay" value, Flag 0 for HKLM and 1 for HKCU.
int BuildDelayList(ItemList* list);

// The root a listed record lives under (its Flag).
HKEY DelayRootOf(const ItemRecord* record);
// The program key a listed record is stored by: its Key, else its Command.
const char* DelayProgramKeyOf(const ItemRecord* record);

// The delay of a program in seconds, as DelaySeconds reads its "Time"
// (startup/startup_text.h): a missing or bad value is 0, a long one
// DELAY_TIME_MAX.
int DelayTimeOf(HKEY root, const char* programKey);

// Launches every listed program whose launch step (DelayLaunchStep) ends at
// delaySeconds (HKLM first, then HKCU), unless a process of that program
// is already running.  Returns how many programs were due, started or
// not: each is handled once, and after the step of DELAY_TIME_MAX every
// program has been.
int RunDelayedPrograms(int delaySeconds);

// Starts one program with its saved window state ("OpenAs" under HKCU, else
// under HKLM; values above 2 count as normal) through the shell's "open"
// verb with parameters, else the plain path.  0 when it started.
int LaunchProgram(const char* program, const char* parameters);

// Starts a listed program as the launcher does (its applet and parameters),
// running or not.  0 when it started.
int LaunchDelayedProgram(HKEY root, const char* programKey);

// Forgets a program's whole record under root.
void DeleteDelayRecord(HKEY root, const char* programKey);

// --- The explorer's operations ---------------------------------------------------

enum DelayRefusal {
    DELAY_ALLOWED = 0,
    DELAY_MUST_STAY = 1,       // a system hook point or our own program (text 1130)
    DELAY_NOT_RESTORABLE = 2,  // a place it could never be put back into
};
// Whether a startup entry may go onto the list.
int DelayRefusalOf(const ItemRecord* entry);

// The root a startup entry's record goes under: HKCU for codes above 9,
// else HKLM (which the explorer asks about first).
HKEY DelayRootForCode(int code);

enum DelayMoveResult {
    DELAY_MOVED = 0,
    DELAY_REFUSED = 1,      // DelayRefusalOf said no; nothing written
    DELAY_NOT_WRITTEN = 2,  // the record did not read back whole; nothing changed
    DELAY_NOT_REMOVED = 3,  // the entry stayed in its place; the record is gone again
};
// Moves a startup entry (as the Startup page lists it) onto the list under
// root: the record is written and read back, only then is the entry
// removed from its place (with its history line) and its command marked
// 1103 in the startup baseline.
int MoveToDelayed(const ItemRecord* entry, HKEY root);

// Adds a program by hand: "Delay" = "1" (all users, HKLM) or "11" (HKCU)
// and "Time" = "30".  1 when written.
int AddDelayedProgram(const char* path, int allUsers);

// What the options dialog shows and writes.
struct DelayOptions {
    int Seconds;                        // DelayTimeOf
    int OpenAs;                         // 0-2 (any other value reads as 0)
    char Parameters[VX_REG_TEXT_MAX];
    char Title[ITEM_NAME];
};
void ReadDelayOptions(HKEY root, const char* programKey, DelayOptions* options);
// Writes Time, OpenAs, Parameters and Title under root (an empty text as an
// empty value).  1 when every value was written.
int WriteDelayOptions(HKEY root, const char* programKey, const DelayOptions* options);

// Puts a listed program back into the startup place its code names (as the
// history's undo of a removal does; a Startup-folder program gets a
// shortcut at its old path to the program, its parameters as arguments)
// and, only when that worked, deletes its record.  1 restored; 0 when the
// place refused it: the record stays and nothing is lost.
int RestoreDelayed(const ItemRecord* record);

// RestoreDelayed for every program on the list.  Returns how many were
// restored; the ones that could not be stay on the list.
int RestoreAllDelayed();

// The list as the explorer's Delayed Start page lists it (BuildDelayList):
// a second face of the startup programs, in no patrol.
#include "foundation/category_record.h"
extern const Category g_DelayedCategory;
