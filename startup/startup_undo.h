// The undo of the startup lines of the history.
#pragma once
#include "foundation/item_list.h"

// Puts a removed startup entry back where its code says (1-7 HKLM Run
// family, 11-17 HKCU, 100/101 WIN.INI "load"/"run", 200 a shortcut at extra,
// 252-254 the shell hook values, 255 "AppInit_DLLs", 256 the Winlogon notify
// package) and, except for 256, records its command in the startup baseline
// with the code.  Other codes (21-27 among them) are not restored: 0.
int RestoreRemovedEntry(const char* name, const char* command, const char* extra, int code);

// A Startup-folder entry back as a shortcut at linkPath to program, with
// arguments as the shortcut's own, recorded in the baseline by the program
// (the startup list names a shortcut by its target).  1 when made.
int RestoreRemovedShortcut(const char* name, const char* program, const char* arguments,
                           const char* linkPath);

// The startup category's undo of a history line: "*START_Remove" restores
// the entry (RestoreRemovedEntry), "START_Disable"/"START_Enable" toggle it.
// 1 restored, 0 failed, -1 for a line of another category.
int UndoStartupLine(const ItemRecord* line);
