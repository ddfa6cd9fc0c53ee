// Everything that starts with Windows: the startup list, its baseline and
// the operations on one entry (disable, enable, remove).
#pragma once
#include <windows.h>

#include "foundation/item_list.h"
#include "foundation/registry_store.h"

// --- The autostart places and their codes ------------------------------------
//
// Codes 1-7 are the Run family under HKLM, 11-17 the same keys under HKCU,
// 21-27 the same keys under HKLM Software\Wow6432Node; within a family the
// code is the base plus the key's position (1 Run ... 7 policies Run).

enum StartupCode {
    SC_MACHINE_BASE = 0, SC_CURRENT_BASE = 10, SC_WOW64_BASE = 20,
    SC_WIN_LOAD = 100, SC_WIN_RUN = 101, SC_STARTUP_FOLDER = 200,
    SC_USERINIT = 250, SC_SHELL = 251, SC_DELAYLOAD = 252, SC_TASK_SCHEDULER = 253,
    SC_EXECUTE_HOOK = 254, SC_APPINIT = 255, SC_WINLOGON_NOTIFY = 256,
    // Baseline marker of an entry moved to the delayed-start list.
    SC_DELAYED = 1103
};

#define RUN_FAMILY_KEYS 7

#define WINLOGON_KEY        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"
#define WINLOGON_NOTIFY_KEY WINLOGON_KEY "\\Notify"
#define NT_WINDOWS_KEY      "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows"
#define DELAYLOAD_KEY \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad"
#define TASK_SCHEDULER_KEY \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler"
#define EXECUTE_HOOKS_KEY \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks"
#define SHELL_FOLDERS_KEY \
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define WOW64_RUN_KEY       "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"
#define DISABLED_WINLOAD_KEY   VX_DISABLED_KEY "\\WinLoad"
#define DISABLED_WINRUN_KEY    VX_DISABLED_KEY "\\WinRun"
#define DISABLED_WINNOTIFY_KEY VX_DISABLED_KEY "\\WinNotify"

// 1 for the Run-family codes 1-7, 11-17 and 21-27.
int IsRunFamilyCode(int code);
// 1 for the Run-family codes that have a Disabled mirror: 1-7, 11-17, 21-25.
int HasRunMirror(int code);
// The root (HKLM or HKCU) and key of a Run-family code; NULL otherwise.
HKEY RunPlaceRoot(int code);
const char* RunPlacePath(int code);
// The HKLM mirror of a Run-family code (Software\Quillon\Vardex\Disabled\Run
// ...); NULL for 26, 27 and every other code.
const char* RunMirrorPath(int code);
// The mirror of key position 1-7 (NULL outside).
const char* RunMirrorPathAt(int position);

// The registry view flag for a system place under root: the 64-bit view
// (KEY_WOW64_64KEY) when a 32-bit build runs on 64-bit Windows, so that the
// machine's own places are read and not their Wow6432Node copies; 0
// otherwise and for HKCU.
REGSAM StartupView(HKEY root);

// 1 when Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Run exists
// (a 64-bit system): only then is the family 21-27 scanned.
int Wow64FamilyPresent();

// The folder of the Shell Folders value ("Startup", "Common Startup") under
// root (out holds VX_PATH).  Returns its length, 0 and "" when unset.
int StartupFolderOf(HKEY root, const char* valueName, char* out, size_t outSize);
template <size_t N> inline int StartupFolderOf(HKEY root, const char* valueName, char (&out)[N])
{ return StartupFolderOf(root, valueName, out, N); }
// Where an enabled Startup-folder file returns: the user's "Startup", else
// HKLM "Startup", else HKLM "Common Startup".  Returns the length.
int UserStartupFolder(char* out, size_t outSize);
template <size_t N> inline int UserStartupFolder(char (&out)[N])
{ return UserStartupFolder(out, N); }
// <program folder>\Disabled (out holds VX_PATH), created when create is
// set.  Returns its length, 0 and "" when the path does not fit.
int DisabledFolder(char* out, size_t outSize, int create);
template <size_t N> inline int DisabledFolder(char (&out)[N], int create)
{ return DisabledFolder(out, N, create); }

// Registry access to the system places in their right view.  Texts are read
// as stored (REG_SZ or REG_EXPAND_SZ, not expanded); out holds "" and the
// result is 0 when the value is missing, of another type or too long.
int PlaceReadText(HKEY root, const char* path, const char* name, char* out, int outSize);
// Writes REG_SZ (the key must exist); 1 or 0.
int PlaceWriteText(HKEY root, const char* path, const char* name, const char* text);
// 1 when the value was there and is deleted.
int PlaceDeleteValue(HKEY root, const char* path, const char* name);
int PlaceKeyExists(HKEY root, const char* path);

// The class's in-process DLL (HKCR CLSID\<clsid>\InprocServer32) and its
// default text (HKCR CLSID\<clsid>); a CLSID without braces is looked up as
// {<clsid>}.  out holds VX_PATH.
int ClassServerDll(const char* clsid, char* out, size_t outSize);
template <size_t N> inline int ClassServerDll(const char* clsid, char (&out)[N])
{ return ClassServerDll(clsid, out, N); }
int ClassTitle(const char* clsid, char* out, size_t outSize);
template <size_t N> inline int ClassTitle(const char* clsid, char (&out)[N])
{ return ClassTitle(clsid, out, N); }

// --- The monitor's own autostart ----------------------------------------------

// 1 when HKLM Run holds a value named "Vardex" (text 2) or, failing that,
// "Vardex PLUS" (text 622).
int SelfAutostartPresent();
// The command the own Run value holds: "\"<program folder>\vardex.exe\"
// -expressboot" (the program quoted); out holds outSize bytes.
void OwnAutostartCommand(char* out, int outSize);
// Writes HKLM Run "Vardex" = OwnAutostartCommand and its baseline record
// (written even when the Run value could not be).  Returns the result of
// the Run write: 0 when the machine-wide key refused it.
int WriteSelfAutostart();
// Finds (and with remove set, removes) the monitor's and the explorer's own
// startup entries.  1 when a monitor entry was found.
int RemoveOwnStartupEntries(int remove);
// The monitor's own autostart, as both programs set it: on = 1 writes it
// (WriteSelfAutostart's result), on = 0 removes every own entry (1 when no
// own Run value is left).
int SetSelfAutostart(int on);
// Removes the own entries when the monitor starts with Windows, else
// writes its autostart.  1 when it starts with Windows afterwards.
int ToggleSelfAutostart();

// --- The startup list and its baseline ---------------------------------------

// Empties the list and fills it from every autostart place; returns the
// count.  restricted is set by the explorer's Startup page only.
int BuildStartupList(ItemList* list, int restricted);

// Adds a program to the user's Run key, as the explorer's Add does.  The
// value is named by the file's FileDescription, else its ProductName, else
// its file name less its last four characters; a name that a Run value or
// a disabled entry already has gets " (2)", " (3)" ... so that nothing is
// overwritten.  A path with blanks is written quoted.  The command is
// recorded in the startup baseline (data "1"), so the monitor does not ask
// about it.  Returns 1 with the name chosen in nameOut (ITEM_NAME); 0 with
// nameOut "" when the file does not exist or no free name was found
// (nothing is written then).
int AddRunProgram(const char* path, char* nameOut, size_t nameSize);

// Records the startup baseline (Run) from the full list as it is now.
// 1 when every entry was recorded.  (The clean-up that rebuilds it with the
// helper and task baselines is the category table's: CleanupRunRegistry.)
int InitRegStartups();

// 1 when the freshly built list holds an entry the baseline does not know.
int StartupChanged();

// Disables the entry when the Disabled index does not name it, else
// enables it; writes no history.  1 on success, 0 on failure and for codes
// that cannot be disabled (26, 27, 250-255, unknown).
//   Run family: the value moves to its HKLM mirror and back.  What is
//     parked is the value as it stands in its place (quotes, arguments,
//     RUNDLL32 and any length kept), and enabling puts the parked value
//     back when command is the listed form of it; otherwise command is
//     written.  The place is left alone when the parking failed.
//   100/101: the WIN.INI item moves to Disabled\WinLoad / WinRun and back.
//   200: the file moves to <program folder>\Disabled and back into the
//     user's Startup folder (extra is the file; command when extra is "").
//   256: the notify package is switched off in place (DisableNotify).
int ToggleStartupEntry(const char* name, const char* command, const char* extra, int code);

// Deletes the entry and its disabled records, writes the history line
// ("*START_Remove" with the entry's code, unless it is one of our own programs)
// and forgets the entry in the startup baseline.  A value of the same name
// that holds another command is not this entry and stays.  Returns 1 when
// the entry is gone; 0 when it is still there (nothing is written then).
// The system hook points 250-255 go to RemoveSystemHook.
int RemoveStartupEntry(const char* name, const char* command, const char* extra, int code);

// The removal of the system hook points 250-255, with its own history
// line.  250 and 251 are reset to the system's defaults at once; 252-255
// are first confirmed through the UI seam (text 1013; "HideStartup" set
// stands for yes).  Returns 1 when removed, 0 when refused or for another
// code.
int RemoveSystemHook(const char* name, const char* command, const char* extra, int code);

// 1 when the Disabled index (HKLM Software\Quillon\Vardex\Disabled) has a
// value of this name: the entry is disabled.
int DisabledIndexNames(const char* name);
// 1 when the Run-family entry is the one parked under its name: the index
// names it and its mirror holds this command.  0 for 26, 27 and other codes.
int RunEntryParked(const char* name, const char* command, int code);

// Winlogon "Userinit" back to "<system dir>\Userinit.exe," and "Shell" back to
// "Explorer.exe"; each also records the reset entry in the startup baseline.
void ResetUserinit();
void ResetShell();
// A Winlogon notify package off and on: "DLLName" moved to "OldName" and
// back.  A package whose value to move is empty is left as it is, so a
// second disable never wipes the saved name.
void DisableNotify(const char* name);
void EnableNotify(const char* name);
// Drops every item of "AppInit_Dlls" whose long form is dll; the others
// are written back joined by ",".  Nothing is written when nothing matched.
void RemoveAppInitDll(const char* dll);

// The ";"-separated lists of WIN.INI's section "windows" ("load", "run").
// Remove drops every item equal to item (as it stands or in the form the
// startup list gives it) and writes the rest back, each followed by ";";
// returns 1 when an item was dropped.  Append adds item at the end.  Both
// clear the read-only attribute of win.ini first and read the whole line.
int WinIniRemoveItem(const char* key, const char* item);
void WinIniAppendItem(const char* key, const char* item);
// The whole value of key in WIN.INI's "windows" (a malloc block the caller
// frees with free; "" when missing).  NULL when out of memory or over 64 KB.
char* ReadWinIniList(const char* key);

// The baseline value name of a command: every "=" becomes ":".
void BaselineKeyOf(const char* command, char* out, int outSize);

// The startup programs as a watched category: listed by BuildStartupList,
// compared with the baseline, asked about with the startup alert (a
// program back from the delayed-start list with the delayed alert).
// Yes records the baseline; No ends the program, removes the entry and
// forgets it; Disable parks it and records it.  The third question in a
// row about the same command parks it whatever the answer.
#include "foundation/category_record.h"
extern const Category g_StartupCategory;

// Forgets the last command asked about and its repeat count.
void ResetStartupRepeat();
