// The undo of the startup lines of the history: a removed entry put back
// where its code says, and a disable or enable toggled back.
#include "startup/startup_undo.h"

#include <objidl.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include "foundation/handles.h"
#include "foundation/history_line.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "startup/autostart.h"

// 1 when item is one of the parts of list (split at any of separators),
// compared without case.
static int ListHasItem(const char* list, const char* item, const char* separators)
{
    char part[VX_PATH];
    size_t n = 0;
    for (const char* p = list;; p++) {
        if (*p == '\0' || strchr(separators, *p) != NULL) {
            part[n] = '\0';
            if (n > 0 && TextEqualNoCase(part, item))
                return 1;
            n = 0;
            if (*p == '\0')
                return 0;
        } else if (n + 1 < sizeof(part)) {
            part[n++] = *p;
        }
    }
}

// Writes a system place's value, creating its key when needed, in the
// registry view the startup list reads it from.
static int WritePlaceValue(HKEY root, const char* path, const char* name, const char* text)
{
    RegKey key;
    if (key.Create(root, path, KEY_SET_VALUE | StartupView(root)) != ERROR_SUCCESS)
        return 0;
    key.Close();
    return PlaceWriteText(root, path, name, text);
}

// Appends item to the ";"-list under key of WIN.INI [windows], unless it
// is listed already.  1 when it is in the list afterwards.
static int WinIniRestore(const char* key, const char* item)
{
    char* list = ReadWinIniList(key);
    if (list == NULL)
        return 0;
    int listed = ListHasItem(list, item, ";");
    free(list);
    if (listed)
        return 1;
    WinIniAppendItem(key, item);
    list = ReadWinIniList(key);
    if (list == NULL)
        return 0;
    listed = ListHasItem(list, item, ";");
    free(list);
    return listed;
}

// Reads "AppInit_DLLs" whole into out (VX_REG_TEXT_MAX).  1 when out holds
// it (or it is missing or empty, out then ""), 0 when it is there but cannot
// be read whole: such a list is never written back cut.
static int ReadAppInitList(char* out)
{
    if (PlaceReadText(HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, "AppInit_DLLs", out,
                      VX_REG_TEXT_MAX) > 0)
        return 1;
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, KEY_READ | StartupView(HKEY_LOCAL_MACHINE)) !=
        ERROR_SUCCESS)
        return 1;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, "AppInit_DLLs", NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return 1;
    return size <= 1;
}

// Appends the DLL (as a short path) to "AppInit_DLLs", joined by ",".
static int AppInitRestore(const char* command)
{
    char dll[VX_PATH];
    DWORD n = GetShortPathNameA(command, dll, sizeof(dll));
    if (n == 0 || n >= sizeof(dll))
        TextCopy(dll, command);
    char value[VX_REG_TEXT_MAX];
    if (!ReadAppInitList(value))
        return 0;
    if (ListHasItem(value, dll, ", ") || ListHasItem(value, command, ", "))
        return 1;
    if (value[0] != '\0')
        TextAppend(value, ",");
    if (TextAppend(value, dll) >= sizeof(value) - 1)
        return 0;
    return WritePlaceValue(HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, "AppInit_DLLs", value);
}

// Makes a shortcut at linkPath to command with its arguments, described by
// name, with the command's icon and folder.
static int CreateStartupShortcut(const char* linkPath, const char* command,
                                 const char* arguments, const char* name)
{
    if (linkPath[0] == '\0' || command[0] == '\0')
        return 0;
    char folder[VX_PATH];
    TextCopy(folder, command);
    char* slash = strrchr(folder, '\\');
    if (slash != NULL)
        *slash = '\0';
    else
        folder[0] = '\0';
    WCHAR wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wide, MAX_PATH) == 0)
        return 0;

    HRESULT init = CoInitialize(NULL);
    int ok = 0;
    {
        ComRef<IShellLinkA> link;
        ComRef<IPersistFile> file;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkA, link.OutVoid()))) {
            link->SetPath(command);
            link->SetDescription(name);
            link->SetIconLocation(command, 0);
            link->SetWorkingDirectory(folder);
            link->SetArguments(arguments);
            if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid())))
                ok = SUCCEEDED(file->Save(wide, TRUE));
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

// Undoes a removal of a Winlogon notify package: "OldName" goes back to
// "DLLName" (a package that was never parked keeps its "DLLName") and the
// disabled records go.  1 when the package has a DLL afterwards.
static int NotifyRestore(const char* name)
{
    if (name[0] == '\0')
        return 0;
    EnableNotify(name);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DISABLED_WINNOTIFY_KEY, name);
    char key[VX_PATH + 64];
    TEXT_FORMAT(key, "%s\\%s", WINLOGON_NOTIFY_KEY, name);
    char dll[VX_PATH];
    return PlaceReadText(HKEY_LOCAL_MACHINE, key, "DLLName", dll, sizeof(dll)) > 0;
}

// Known to the baseline, so the monitor does not alert on it again.
static void RecordRestored(const char* command, int code)
{
    char key[ITEM_COMMAND];
    char codeText[16];
    BaselineKeyOf(command, key, sizeof(key));
    TEXT_FORMAT(codeText, "%d", code);
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, codeText);
}

int RestoreRemovedEntry(const char* name, const char* command, const char* extra, int code)
{
    int ok = 0;
    if ((code >= 1 && code <= 7) || (code >= 11 && code <= 17)) {
        ok = name[0] != '\0' && WritePlaceValue(RunPlaceRoot(code), RunPlacePath(code), name, command);
    } else if (code == SC_WIN_LOAD || code == SC_WIN_RUN) {
        ok = command[0] != '\0' && WinIniRestore(code == SC_WIN_LOAD ? "load" : "run", command);
    } else if (code == SC_STARTUP_FOLDER) {
        ok = CreateStartupShortcut(extra, command, "", name);
    } else if (code == SC_DELAYLOAD) {
        ok = name[0] != '\0' && WritePlaceValue(HKEY_LOCAL_MACHINE, DELAYLOAD_KEY, name, extra);
    } else if (code == SC_TASK_SCHEDULER || code == SC_EXECUTE_HOOK) {
        ok = extra[0] != '\0' &&
             WritePlaceValue(HKEY_LOCAL_MACHINE,
                             code == SC_TASK_SCHEDULER ? TASK_SCHEDULER_KEY : EXECUTE_HOOKS_KEY,
                             extra, name);
    } else if (code == SC_APPINIT) {
        ok = command[0] != '\0' && AppInitRestore(command);
    } else if (code == SC_WINLOGON_NOTIFY) {
        return NotifyRestore(name);
    } else {
        return 0;
    }
    if (ok)
        RecordRestored(command, code);
    return ok;
}

int RestoreRemovedShortcut(const char* name, const char* program, const char* arguments,
                           const char* linkPath)
{
    if (!CreateStartupShortcut(linkPath, program, arguments, name))
        return 0;
    RecordRestored(program, SC_STARTUP_FOLDER);
    return 1;
}

int UndoStartupLine(const ItemRecord* line)
{
    switch (line->Flag) {
    case HA_START_REMOVE:
        return RestoreRemovedEntry(line->Name, line->Command, line->Extra, line->Code);
    case HA_START_DISABLE:
    case HA_START_ENABLE:
        return ToggleStartupEntry(line->Name, line->Command, line->Extra, line->Code);
    default:
        return -1;
    }
}
