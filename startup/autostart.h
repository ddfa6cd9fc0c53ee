// Everything that starts with Windows: the startup list, its baseline and
// the operations on one entry (disable, enable, remove).
#pragma once
#include <windows.h>

// Clears the item list and fills it from every autostart place; returns the
// count.  restricted is set by the explorer's Startup page only.
int BuildStartupList(int restricted);

// Records the startup, browser-helper and task baselines.
void InitRegStartups();

// Deletes and recreates the HKCU baselines Run, IEHelpers and Tasks, then
// records them afresh.
void CleanupRunRegistry();

// 1 when the freshly built list holds an entry the baseline does not know.
int StartupChanged();

// The startup patrol step: asks about every new entry.
void CheckStartupChanges();

// Disables the entry when the Disabled index does not name it, else
// enables it.  1 on success.
int ToggleStartupEntry(const char* name, const char* command, const char* extra, int code);

// Deletes the entry and its disabled records, writes the history line and
// forgets the entry in the startup baseline.
int RemoveStartupEntry(const char* name, const char* command, const char* extra, int code);

// The baseline value name of a command: every "=" becomes ":".
void BaselineKeyOf(const char* command, char* out, int outSize);

// Owner window for the confirmations the removal may ask (the monitor's
// main window, or the explorer's sheet).  NULL: no owner.
extern HWND g_StartupOwner;

struct ItemRecord;

// The monitor's side of the startup patrol.  The explorer leaves these
// empty; an empty hook means "no answer" (nothing changes, the entry is
// asked about again at the next patrol).
struct StartupPatrolHooks {
    // Puts the tray icon into the startup alert state.
    void (*ShowAlertState)();
    // Plays the startup sound and shows the startup alert for the entry:
    // 6 keep, 7 remove, 11 disable, 0 no answer.
    int (*AskNewEntry)(const ItemRecord* item);
    // The delayed-program dialog for an entry whose baseline says 1103:
    // 6 or 7, 0 no answer.
    int (*AskDelayedEntry)(const ItemRecord* item);
};
extern StartupPatrolHooks g_StartupPatrolHooks;
