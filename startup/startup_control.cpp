// Disabling, enabling and removing one startup entry: the Run values and
// their HKLM mirrors, the WIN.INI lists, the Startup-folder files and the
// Disabled folder, and the system hook points.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"
#include "foundation/ui.h"
#include "foundation/utils.h"
#include "startup/autostart.h"
#include "foundation/item_list.h"
#include "startup/startup_text.h"


int DisabledIndexNames(const char* name)
{
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    return RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

static void WriteIndex(const char* name, int code)
{
    char text[16];
    TEXT_FORMAT(text, "%d", code);
    RegWriteString(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name, text);
}

// 1 when command is text itself or the form the startup list gives it.
static int SameEntryCommand(const char* text, const char* command)
{
    if (TextEqualNoCase(text, command))
        return 1;
    char listed[ITEM_COMMAND];
    ItemCommandText(text, listed);
    return TextEqualNoCase(listed, command);
}

// --- Raw registry values -----------------------------------------------------

// A text value with its type, whatever its length.
struct RawText {
    DWORD type;
    char* text;
};

static int ReadRawText(HKEY root, const char* path, REGSAM view, const char* name, RawText* out)
{
    out->type = REG_SZ;
    out->text = NULL;
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE | view) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return 0;
    char* text = (char*)malloc((size_t)size + 1);
    if (text == NULL)
        return 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)text, &size) != ERROR_SUCCESS) {
        free(text);
        return 0;
    }
    text[size] = '\0';
    out->type = type;
    out->text = text;
    return 1;
}

static int WriteRawText(HKEY root, const char* path, REGSAM view, const char* name,
                        DWORD type, const char* text)
{
    RegKey key;
    if (key.Create(root, path, KEY_SET_VALUE | view) != ERROR_SUCCESS)
        return 0;
    return RegSetValueExA(key, name, 0, type, (const BYTE*)text, (DWORD)strlen(text) + 1) ==
           ERROR_SUCCESS;
}

// --- Run family ----------------------------------------------------------------

static int DisableRunValue(const char* name, const char* command, int code)
{
    HKEY root = RunPlaceRoot(code);
    REGSAM view = StartupView(root);
    const char* place = RunPlacePath(code);
    const char* mirror = RunMirrorPath(code);
    RawText current;
    int present = ReadRawText(root, place, view, name, &current);
    int parked = RegCreateKeyPath(HKEY_LOCAL_MACHINE, mirror) &&
                 WriteRawText(HKEY_LOCAL_MACHINE, mirror, 0, name,
                              present ? current.type : REG_SZ, present ? current.text : command);
    free(current.text);
    // Without its parked copy the entry could never come back: leave it.
    if (!parked)
        return 0;
    PlaceDeleteValue(root, place, name);
    WriteIndex(name, code);
    return 1;
}

static int EnableRunValue(const char* name, const char* command, int code)
{
    HKEY root = RunPlaceRoot(code);
    const char* mirror = RunMirrorPath(code);
    RawText parked;
    int present = ReadRawText(HKEY_LOCAL_MACHINE, mirror, 0, name, &parked);
    int restoreParked = present && SameEntryCommand(parked.text, command);
    int written = WriteRawText(root, RunPlacePath(code), StartupView(root), name,
                               restoreParked ? parked.type : REG_SZ,
                               restoreParked ? parked.text : command);
    free(parked.text);
    if (!written)
        return 0;
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, mirror, name);
    return RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
}

// --- WIN.INI -----------------------------------------------------------------------

static void MakeWinIniWritable()
{
    char path[VX_PATH];
    UINT n = GetWindowsDirectoryA(path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return;
    TextAppend(path, "\\win.ini");
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attributes & ~(DWORD)FILE_ATTRIBUTE_READONLY);
}

// Drops item from the list; the first item dropped, as it stood, goes to
// removed (ITEM_COMMAND; may be NULL).  1 when something was dropped.
static int RemoveWinIniItem(const char* key, const char* item, char* removed)
{
    if (removed != NULL)
        removed[0] = '\0';
    char* list = ReadWinIniList(key);
    if (list == NULL)
        return 0;
    size_t length = strlen(list);
    char* kept = (char*)malloc(length + 2);
    int dropped = 0;
    if (kept != NULL) {
        size_t keptLength = 0, pos = 0, start = 0, n = 0;
        while (NextListSpan(list, &pos, ";", &start, &n)) {
            if (n == 0)
                continue;
            char part[ITEM_COMMAND];
            // An item too long for a Command can never be the one meant.
            int fits = n < sizeof(part);
            TextCopyN(part, sizeof(part), list + start, n);
            if (fits && SameEntryCommand(part, item)) {
                if (removed != NULL && !dropped)
                    TextCopy(removed, ITEM_COMMAND, part);
                dropped = 1;
                continue;
            }
            memcpy(kept + keptLength, list + start, n);
            keptLength += n;
            kept[keptLength++] = ';';
        }
        kept[keptLength] = '\0';
        if (dropped) {
            MakeWinIniWritable();
            WriteProfileStringA("windows", key, kept);
        }
        free(kept);
    }
    free(list);
    return dropped;
}

// 1 when an item of the ";"-list is item (as written or as listed).
static int WinIniListHas(const char* list, const char* item)
{
    size_t pos = 0, start = 0, n = 0;
    while (NextListSpan(list, &pos, ";", &start, &n)) {
        char part[ITEM_COMMAND];
        if (n == 0 || n >= sizeof(part))
            continue;
        TextCopyN(part, sizeof(part), list + start, n);
        if (SameEntryCommand(part, item))
            return 1;
    }
    return 0;
}

int WinIniRemoveItem(const char* key, const char* item)
{
    return RemoveWinIniItem(key, item, NULL);
}

void WinIniAppendItem(const char* key, const char* item)
{
    char* list = ReadWinIniList(key);
    if (list == NULL)
        return;
    size_t length = strlen(list);
    char* joined = (char*)malloc(length + strlen(item) + 2);
    if (joined != NULL) {
        memcpy(joined, list, length);
        if (length > 0 && list[length - 1] != ';')
            joined[length++] = ';';
        memcpy(joined + length, item, strlen(item) + 1);
        MakeWinIniWritable();
        WriteProfileStringA("windows", key, joined);
        free(joined);
    }
    free(list);
}

static const char* WinIniKeyOf(int code)
{
    return code == SC_WIN_LOAD ? "load" : "run";
}

static const char* WinIniMirrorOf(int code)
{
    return code == SC_WIN_LOAD ? DISABLED_WINLOAD_KEY : DISABLED_WINRUN_KEY;
}

static int DisableWinIniItem(const char* name, const char* command, int code)
{
    char removed[ITEM_COMMAND];
    RemoveWinIniItem(WinIniKeyOf(code), command, removed);
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, WinIniMirrorOf(code));
    RegWriteString(HKEY_LOCAL_MACHINE, WinIniMirrorOf(code), name,
                   removed[0] != '\0' ? removed : command);
    WriteIndex(name, code);
    return 1;
}

static int EnableWinIniItem(const char* name, const char* command, int code)
{
    char parked[ITEM_COMMAND];
    RegReadString(HKEY_LOCAL_MACHINE, WinIniMirrorOf(code), name, parked, sizeof(parked));
    int restoreParked = parked[0] != '\0' && SameEntryCommand(parked, command);
    WinIniAppendItem(WinIniKeyOf(code), restoreParked ? parked : command);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WinIniMirrorOf(code), name);
    return 1;
}

// --- Startup-folder files -----------------------------------------------------------

// The file an entry of code 200 stands for: extra (the shortcut or the
// program), or command for the other kinds of file, which have no extra.
static const char* FolderFileOf(const char* command, const char* extra)
{
    return extra[0] != '\0' ? extra : command;
}

// folder\<file name of file> (out holds VX_PATH); 0 when it does not fit.
static int PathInFolder(const char* folder, const char* file, char* out)
{
    const char* fileName = file + FileNameOffset(file);
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\%s", folder, fileName);
    out[0] = '\0';
    if (fileName[0] == '\0' || strlen(path) >= VX_PATH)
        return 0;
    TextCopy(out, VX_PATH, path);
    return 1;
}

static int DisableFolderFile(const char* name, const char* command, const char* extra)
{
    const char* file = FolderFileOf(command, extra);
    char folder[VX_PATH], target[VX_PATH];
    if (DisabledFolder(folder, 1) == 0 || !PathInFolder(folder, file, target))
        return 0;
    // A file of that name parked earlier is kept: this one stays where it is.
    if (!MoveFileA(file, target))
        return 0;
    WriteIndex(name, SC_STARTUP_FOLDER);
    return 1;
}

static int EnableFolderFile(const char* name, const char* command, const char* extra)
{
    const char* file = FolderFileOf(command, extra);
    char disabled[VX_PATH], parked[VX_PATH], startup[VX_PATH], target[VX_PATH];
    if (DisabledFolder(disabled, 0) == 0 || !PathInFolder(disabled, file, parked))
        return 0;
    if (UserStartupFolder(startup) == 0 || !PathInFolder(startup, file, target))
        return 0;
    if (!MoveFileA(parked, target))
        return 0;
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
    return 1;
}

// --- Winlogon notify packages ----------------------------------------------------------

static void MoveNotifyValue(const char* name, const char* from, const char* to)
{
    char path[512];
    TEXT_FORMAT(path, "%s\\%s", WINLOGON_NOTIFY_KEY, name);
    REGSAM view = StartupView(HKEY_LOCAL_MACHINE);
    if (!PlaceKeyExists(HKEY_LOCAL_MACHINE, path))
        return;
    RawText value;
    if (!ReadRawText(HKEY_LOCAL_MACHINE, path, view, from, &value))
        return;
    if (value.text[0] != '\0' && WriteRawText(HKEY_LOCAL_MACHINE, path, view, to, value.type,
                                              value.text))
        WriteRawText(HKEY_LOCAL_MACHINE, path, view, from, value.type, "");
    free(value.text);
}

void DisableNotify(const char* name)
{
    MoveNotifyValue(name, "DLLName", "OldName");
}

void EnableNotify(const char* name)
{
    MoveNotifyValue(name, "OldName", "DLLName");
}

static int DisableNotifyEntry(const char* name, const char* command)
{
    int created = RegCreateKeyPath(HKEY_LOCAL_MACHINE, DISABLED_WINNOTIFY_KEY);
    RegWriteString(HKEY_LOCAL_MACHINE, DISABLED_WINNOTIFY_KEY, name, command);
    WriteIndex(name, SC_WINLOGON_NOTIFY);
    char key[ITEM_COMMAND];
    BaselineKeyOf(command, key, sizeof(key));
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, "256");
    DisableNotify(name);
    return created;
}

static int EnableNotifyEntry(const char* name)
{
    EnableNotify(name);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DISABLED_WINNOTIFY_KEY, name);
    return 1;
}

// --- Toggle and remove ---------------------------------------------------------------------

// 1 when the mirror has a value of that name.
static int ParkedUnder(const char* mirror, const char* name)
{
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, mirror, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    return RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

// 1 when the mirror's value of that name holds command.
static int MirrorHolds(const char* mirror, const char* name, const char* command)
{
    char parked[VX_REG_TEXT_MAX];
    return RegReadString(HKEY_LOCAL_MACHINE, mirror, name, parked, sizeof(parked)) > 0 &&
           SameEntryCommand(parked, command);
}

int ToggleStartupEntry(const char* name, const char* command, const char* extra, int code)
{
    if (name == NULL || name[0] == '\0' || command == NULL)
        return 0;
    if (extra == NULL)
        extra = "";
    int disabled = DisabledIndexNames(name);
    // The index and the mirrors are keyed by name: an entry is the parked
    // one only when its mirror holds its command.  Another program of the
    // same name parked there is neither enabled in its place nor
    // overwritten by parking this one.
    if (IsRunFamilyCode(code)) {
        if (!HasRunMirror(code))
            return 0;
        if (RunEntryParked(name, command, code))
            return EnableRunValue(name, command, code);
        if (disabled || ParkedUnder(RunMirrorPath(code), name))
            return 0;
        return DisableRunValue(name, command, code);
    }
    switch (code) {
    case SC_WIN_LOAD:
    case SC_WIN_RUN:
        if (disabled && MirrorHolds(WinIniMirrorOf(code), name, command))
            return EnableWinIniItem(name, command, code);
        if (disabled || ParkedUnder(WinIniMirrorOf(code), name))
            return 0;
        return DisableWinIniItem(name, command, code);
    case SC_STARTUP_FOLDER:
        return disabled ? EnableFolderFile(name, command, extra)
                        : DisableFolderFile(name, command, extra);
    case SC_WINLOGON_NOTIFY:
        return disabled ? EnableNotifyEntry(name) : DisableNotifyEntry(name, command);
    default:
        return 0;
    }
}

// 1 when the value name under root\path holds command (as stored or as
// the startup list gives it).
static int ValueHolds(HKEY root, const char* path, REGSAM view, const char* name,
                      const char* command)
{
    RawText text;
    if (!ReadRawText(root, path, view, name, &text))
        return 0;
    int same = SameEntryCommand(text.text, command);
    free(text.text);
    return same;
}

int RunEntryParked(const char* name, const char* command, int code)
{
    const char* mirror = RunMirrorPath(code);
    return mirror != NULL && DisabledIndexNames(name) &&
           ValueHolds(HKEY_LOCAL_MACHINE, mirror, 0, name, command);
}

// The entry goes from its place and, when it is the one parked under its
// name, from the mirror.  A value of the same name that holds another
// command is another program's and stays.  1 when the entry is gone.
static int RemoveRunValue(const char* name, const char* command, int code)
{
    HKEY root = RunPlaceRoot(code);
    REGSAM view = StartupView(root);
    const char* place = RunPlacePath(code);
    if (ValueHolds(root, place, view, name, command))
        PlaceDeleteValue(root, place, name);
    if (RunEntryParked(name, command, code)) {
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, RunMirrorPath(code), name);
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
    }
    return !ValueHolds(root, place, view, name, command) && !RunEntryParked(name, command, code);
}

// 1 when the item is no longer in the WIN.INI list.
static int RemoveWinIniEntry(const char* name, const char* command, int code)
{
    if (DisabledIndexNames(name)) {
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WinIniMirrorOf(code), name);
    }
    WinIniRemoveItem(WinIniKeyOf(code), command);
    char* list = ReadWinIniList(WinIniKeyOf(code));
    if (list == NULL)
        return 0;
    int listed = WinIniListHas(list, command);
    free(list);
    return !listed;
}

static int IsFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes the Startup-folder file of the entry: extra when it is there;
// for an entry without extra the file command names; else its parked copy
// in the Disabled folder.  The command of a shortcut is the program it
// starts and is never deleted.
static int RemoveFolderFile(const char* name, const char* command, const char* extra)
{
    const char* file = FolderFileOf(command, extra);
    if (IsFile(file)) {
        DeleteFileForce(file);
        if (IsFile(file))
            return 0;  // in use, or not ours to delete: the entry stays
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
        return 1;
    }
    char folder[VX_PATH], parked[VX_PATH];
    if (DisabledFolder(folder, 0) > 0 && PathInFolder(folder, file, parked) && IsFile(parked)) {
        DeleteFileForce(parked);
        if (IsFile(parked))
            return 0;
    }
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
    return 1;
}

int RemoveStartupEntry(const char* name, const char* command, const char* extra, int code)
{
    if (name == NULL || command == NULL)
        return 0;
    if (extra == NULL)
        extra = "";
    if (code >= SC_USERINIT && code <= SC_APPINIT)
        return RemoveSystemHook(name, command, extra, code);
    int gone = 1;
    if (IsRunFamilyCode(code) && name[0] != '\0')
        gone = RemoveRunValue(name, command, code);
    else if (code == SC_WIN_LOAD || code == SC_WIN_RUN)
        gone = RemoveWinIniEntry(name, command, code);
    else if (code == SC_STARTUP_FOLDER)
        gone = RemoveFolderFile(name, command, extra);
    // An entry that is still there was not removed: no line says it was,
    // and the baseline keeps it, so that it is asked about again.
    if (!gone)
        return 0;

    // Our own entries come and go with the autostart option, unrecorded.
    if (!IsOwnProgramCommand(command))
        WriteHistory(name, command, extra, code, HA_START_REMOVE);
    char key[ITEM_COMMAND];
    BaselineKeyOf(command, key, sizeof(key));
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_RUN_KEY, key);
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_RUN_KEY, name);
    return 1;
}

// --- System hook points ----------------------------------------------------------------------

// The baseline record of a Winlogon value just reset: named as the startup
// list will show it, so the next patrol knows it.
static void RecordResetEntry(const char* entry, int code)
{
    char listed[ITEM_COMMAND], key[ITEM_COMMAND], text[16];
    ItemCommandText(entry, listed);
    BaselineKeyOf(listed, key, sizeof(key));
    TEXT_FORMAT(text, "%d", code);
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, text);
}

void ResetUserinit()
{
    char system[VX_PATH];
    UINT n = GetSystemDirectoryA(system, sizeof(system));
    if (n == 0 || n >= sizeof(system))
        return;
    char value[VX_PATH + 16];
    TEXT_FORMAT(value, "%s\\Userinit.exe,", system);
    PlaceWriteText(HKEY_LOCAL_MACHINE, WINLOGON_KEY, "Userinit", value);
    RegWriteString(HKEY_LOCAL_MACHINE, VX_RUN_KEY, value, "250");
    char entry[VX_PATH + 16];
    UserinitEntry(value, entry, sizeof(entry));
    RecordResetEntry(entry, SC_USERINIT);
}

void ResetShell()
{
    PlaceWriteText(HKEY_LOCAL_MACHINE, WINLOGON_KEY, "Shell", "Explorer.exe");
    RegWriteString(HKEY_LOCAL_MACHINE, VX_RUN_KEY, "Explorer.exe", "251");
    RecordResetEntry("Explorer.exe", SC_SHELL);
}

void RemoveAppInitDll(const char* dll)
{
    char list[VX_REG_TEXT_MAX];
    if (PlaceReadText(HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, "AppInit_Dlls", list, sizeof(list)) == 0)
        return;
    char kept[VX_REG_TEXT_MAX];
    kept[0] = '\0';
    int dropped = 0;
    size_t pos = 0, start = 0, n = 0;
    while (NextListSpan(list, &pos, ", ", &start, &n)) {
        if (n == 0)
            continue;
        char part[VX_REG_TEXT_MAX];
        TextCopyN(part, sizeof(part), list + start, n);
        if (n < ITEM_COMMAND && SameEntryCommand(part, dll)) {
            dropped = 1;
            continue;
        }
        if (kept[0] != '\0')
            TextAppend(kept, ",");
        TextAppend(kept, part);
    }
    if (dropped)
        PlaceWriteText(HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, "AppInit_Dlls", kept);
}

// The removal of a hook point is asked first, "No" the default; an answer
// the user set for every startup question stands for this one too.
static int ConfirmHookRemoval()
{
    return g_Options[OPT_HideStartup] != 0 || UiConfirmText(TXT_CONFIRM_HOOK_REMOVAL);
}

int RemoveSystemHook(const char* name, const char* command, const char* extra, int code)
{
    if (name == NULL || command == NULL)
        return 0;
    if (extra == NULL)
        extra = "";
    if (code == SC_USERINIT) {
        ResetUserinit();
        WriteHistory(name, command, extra, code, HA_RESET_USERINIT);
        return 1;
    }
    if (code == SC_SHELL) {
        ResetShell();
        WriteHistory(name, command, extra, code, HA_RESET_SHELL);
        return 1;
    }
    if (code < SC_DELAYLOAD || code > SC_APPINIT)
        return 0;
    if (!ConfirmHookRemoval())
        return 0;
    char key[ITEM_COMMAND];
    BaselineKeyOf(command, key, sizeof(key));
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_RUN_KEY, key);
    switch (code) {
    case SC_DELAYLOAD:
        PlaceDeleteValue(HKEY_LOCAL_MACHINE, DELAYLOAD_KEY, name);
        WriteHistory(name, command, extra, code, HA_REMOVE_DELAYLOAD);
        break;
    case SC_TASK_SCHEDULER:
        PlaceDeleteValue(HKEY_LOCAL_MACHINE, TASK_SCHEDULER_KEY, extra);
        WriteHistory(name, command, extra, code, HA_REMOVE_TASKSCHEDULER);
        break;
    case SC_EXECUTE_HOOK:
        PlaceDeleteValue(HKEY_LOCAL_MACHINE, EXECUTE_HOOKS_KEY, extra);
        WriteHistory(name, command, extra, code, HA_REMOVE_SHELLEXECUTEHOOK);
        break;
    default:
        RemoveAppInitDll(command);
        WriteHistory(name, command, extra, code, HA_START_REMOVE);
        break;
    }
    return 1;
}

// --- Adding a program -------------------------------------------------------------

// The name a new Run value gets from its file.
static void NameOfProgram(const char* path, char* out, size_t outSize)
{
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(path, strings);
    const char* name = strings[VS_FILE_DESCRIPTION][0] != '\0' ? strings[VS_FILE_DESCRIPTION]
                                                                  : strings[VS_PRODUCT_NAME];
    if (name[0] != '\0') {
        TextCopy(out, outSize, name);
        return;
    }
    const char* file = path + FileNameOffset(path);
    size_t length = strlen(file);
    // "tool.exe" gives "tool"; a name too short to lose an extension stays.
    TextCopyN(out, outSize, file, length > 4 ? length - 4 : length);
}

static int RunNameTaken(const char* name)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, WIN_RUN_KEY, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
        RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
        return 1;
    return DisabledIndexNames(name);
}

int AddRunProgram(const char* path, char* nameOut, size_t nameSize)
{
    nameSize = TextLimit(nameSize, ITEM_NAME);
    TextCopy(nameOut, nameSize, "");
    if (path == NULL || path[0] == '\0' || strlen(path) >= VX_PATH)
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 0;
    // Room for " (99)" behind the name within what the list keeps.
    char base[ITEM_NAME - 8];
    NameOfProgram(path, base, sizeof(base));
    char name[ITEM_NAME];
    TextCopy(name, base);
    for (int n = 2; RunNameTaken(name); n++) {
        if (n > 99)
            return 0;
        TEXT_FORMAT(name, "%s (%d)", base, n);
    }
    char data[VX_PATH + 2];
    if (strchr(path, ' ') != NULL)
        TEXT_FORMAT(data, "\"%s\"", path);
    else
        TextCopy(data, path);
    if (!RegWriteString(HKEY_CURRENT_USER, WIN_RUN_KEY, name, data))
        return 0;
    char command[ITEM_COMMAND];
    ItemCommandText(data, command);
    char key[ITEM_COMMAND];
    BaselineKeyOf(command, key, sizeof(key));
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, "1");
    TextCopy(nameOut, nameSize, name);
    return 1;
}
