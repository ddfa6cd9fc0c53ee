#include "foundation/history.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>
#include <objidl.h>
#include <shlobj.h>
#include <wininet.h>

#include "categories/category_hooks.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "startup/autostart.h"

// The history file is read up to this size; the rest is never shown.
#define HISTORY_READ_MAX 131072

#define TEXT_NEVER        686
#define TEXT_COL_TITLE    627
#define TEXT_COL_COMMAND  628
#define TEXT_COL_DATE     713
#define TEXT_COL_ACTION   715

// --- Writing -------------------------------------------------------------------

// The current local time as field 1 of a line (out holds 32).
static void HistoryNow(char* out, size_t outSize)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char never[64];
    LoadText(TEXT_NEVER, never, sizeof(never));
    FormatHistoryTime(now.wMonth, now.wDay, now.wYear, now.wHour, now.wMinute, never, out,
                      outSize);
}

int HistoryFilePath(char* out)
{
    char folder[VX_PATH];
    out[0] = '\0';
    if (GetProgramFolder(folder) == 0)
        return 0;
    return (int)TextFormat(out, VX_PATH, "%s\\history.txt", folder);
}

int WriteHistory(const char* name, const char* command, const char* info, int typeCode,
                 int actionCode)
{
    if (g_Options[OPT_History] <= 0)
        return 0;
    const char* type = HistoryTypeName(typeCode);
    const char* action = HistoryActionName(actionCode);
    char time[32];
    HistoryNow(time, sizeof(time));

    char line[HISTORY_LINE_MAX + 1];
    size_t length = FormatHistoryLine(time, action, type, name, command, info, line,
                                      sizeof(line));

    char path[VX_PATH];
    if (HistoryFilePath(path) == 0)
        return 0;
    // No sharing: the other program's write at the same moment fails and
    // its line is dropped rather than interleaved with this one.
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return 0;
    SetFilePointer(file.Get(), 0, NULL, FILE_END);
    DWORD written = 0;
    WriteFile(file.Get(), line, (DWORD)length, &written, NULL);
    file.Reset(INVALID_HANDLE_VALUE);

    char actionText[48], typeText[48], nameText[128], commandText[260];
    TextCopy(actionText, action);
    TextCopy(typeText, type);
    TextCopy(nameText, name);
    TextCopy(commandText, command);
    ReportHistory(actionText, typeText, nameText, commandText);
    return 1;
}

// --- Report --------------------------------------------------------------------

// A WinINet handle, closed when the call that opened it returns.
struct InternetCloser {
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
typedef ScopedHandle<HINTERNET, InternetCloser> InternetHandle;

int ReportHistory(const char* action, const char* type, const char* name, const char* command)
{
    char url[512];
    if (RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url, sizeof(url)) == 0)
        return 0;
    char id[32];
    RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, "vxid", id, sizeof(id));
    char user[128] = "";
    DWORD userSize = sizeof(user);
    if (!GetUserNameA(user, &userSize))
        user[0] = '\0';
    char time[32];
    HistoryNow(time, sizeof(time));

    // Every value is encoded: a blank, "&", "#" or "%" in a program's name
    // must neither cut the query short nor add parameters of its own.
    AppendQueryValue(url, sizeof(url), "name", user);
    AppendQueryValue(url, sizeof(url), "code", id);
    AppendQueryValue(url, sizeof(url), "time", time);
    AppendQueryValue(url, sizeof(url), "action", action);
    AppendQueryValue(url, sizeof(url), "type", type);
    AppendQueryValue(url, sizeof(url), "title", name);
    AppendQueryValue(url, sizeof(url), "path", command);

    InternetHandle session(InternetOpenA("History", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0));
    if (session.Get() == NULL)
        return 0;
    InternetHandle request(InternetOpenUrlA(session.Get(), url, NULL, 0,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI,
                                            0));
    if (request.Get() == NULL)
        return 0;
    char answer[33];
    DWORD total = 0;
    while (total < 32) {
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), answer + total, 32 - total, &got) || got == 0)
            break;
        total += got;
    }
    return total > 0 && answer[0] == '1';
}

// --- Reading back ----------------------------------------------------------------

static ItemRecord* s_history[ITEM_MAX];
static int s_historyCount = 0;

void ClearHistoryItems()
{
    for (int i = 0; i < s_historyCount; i++) {
        HeapFree(GetProcessHeap(), 0, s_history[i]);
        s_history[i] = NULL;
    }
    s_historyCount = 0;
}

int HistoryItemCount()
{
    return s_historyCount;
}

const ItemRecord* GetHistoryItem(int index)
{
    return (index >= 0 && index < s_historyCount) ? s_history[index] : NULL;
}

static int AddHistoryItem(const HistoryLineFields& fields)
{
    if (s_historyCount >= ITEM_MAX)
        return 0;
    ItemRecord* item = (ItemRecord*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                              sizeof(ItemRecord));
    if (item == NULL)
        return 0;
    TextCopy(item->Name, fields.Name);
    TextCopy(item->Command, fields.Command);
    TextCopy(item->Extra, fields.Extra);
    TextCopy(item->Info, fields.Time);
    item->Flag = fields.Action;
    item->Code = fields.Type;
    s_history[s_historyCount++] = item;
    return 1;
}

// Reads at most HISTORY_READ_MAX bytes of the file into a new block (free
// with HeapFree).  NULL when the file is missing or empty.
static char* ReadHistoryBlock(DWORD* size)
{
    *size = 0;
    char path[VX_PATH];
    if (HistoryFilePath(path) == 0)
        return NULL;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return NULL;
    char* block = (char*)HeapAlloc(GetProcessHeap(), 0, HISTORY_READ_MAX + 1);
    if (block == NULL)
        return NULL;
    DWORD total = 0;
    while (total < HISTORY_READ_MAX) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), block + total, HISTORY_READ_MAX - total, &got, NULL) || got == 0)
            break;
        total += got;
    }
    block[total] = '\0';
    *size = total;
    if (total == 0) {
        HeapFree(GetProcessHeap(), 0, block);
        return NULL;
    }
    return block;
}

static void AddColumn(HWND list, int index, int textId, int width)
{
    char text[128];
    LoadText(textId, text, sizeof(text));
    LVCOLUMNA column;
    ZeroMemory(&column, sizeof(column));
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text;
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)index, (LPARAM)&column);
}

static void SetCell(HWND list, int row, int column, const char* value)
{
    char text[ITEM_EXTRA];
    TextCopy(text, value);
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = column;
    item.pszText = text;
    SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

static void FillHistoryList(HWND list)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    if (header == NULL || SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) <= 0) {
        AddColumn(list, 0, TEXT_COL_TITLE, 180);
        AddColumn(list, 1, TEXT_COL_ACTION, 130);
        AddColumn(list, 2, TEXT_COL_COMMAND, 130);
        AddColumn(list, 3, TEXT_COL_DATE, 140);
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < s_historyCount; i++) {
        const ItemRecord* record = s_history[i];
        char name[ITEM_NAME];
        TextCopy(name, record->Name);
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = name;
        item.lParam = (LPARAM)i;
        int row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        if (row < 0)
            continue;
        SetCell(list, row, 1, HistoryActionName(record->Flag));
        SetCell(list, row, 2, HistoryTypeName(record->Code));
        SetCell(list, row, 3, record->Info);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    if (s_historyCount > 0)
        SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)(s_historyCount - 1), FALSE);
}

int ReadHistory(HWND list)
{
    ClearHistoryItems();
    if (list != NULL)
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);

    DWORD size = 0;
    char* block = ReadHistoryBlock(&size);
    if (block != NULL) {
        size_t pos = 0, start = 0, length = 0;
        HistoryLineFields fields;
        while (NextHistoryLine(block, size, &pos, &start, &length)) {
            ParseHistoryLine(block + start, length, &fields);
            if (!AddHistoryItem(fields))
                break;
        }
        HeapFree(GetProcessHeap(), 0, block);
    }
    if (list != NULL)
        FillHistoryList(list);
    return s_historyCount;
}

int ClearHistoryFile(HWND list)
{
    char path[VX_PATH];
    int gone = 0;
    if (HistoryFilePath(path) != 0) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        gone = DeleteFileA(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    }
    ReadHistory(list);
    return gone;
}

// --- Undo ------------------------------------------------------------------------

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

// Makes a shortcut at linkPath to command, described by name, with the
// command's icon and folder.
static int CreateStartupShortcut(const char* linkPath, const char* command, const char* name)
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
            link->SetArguments("");
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

int RestoreRemovedEntry(const char* name, const char* command, const char* extra, int code)
{
    int ok = 0;
    if ((code >= 1 && code <= 7) || (code >= 11 && code <= 17)) {
        ok = name[0] != '\0' && WritePlaceValue(RunPlaceRoot(code), RunPlacePath(code), name, command);
    } else if (code == SC_WIN_LOAD || code == SC_WIN_RUN) {
        ok = command[0] != '\0' && WinIniRestore(code == SC_WIN_LOAD ? "load" : "run", command);
    } else if (code == SC_STARTUP_FOLDER) {
        ok = CreateStartupShortcut(extra, command, name);
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
    if (ok) {
        // Known to the baseline, so the monitor does not alert on it again.
        char key[ITEM_COMMAND];
        char codeText[16];
        BaselineKeyOf(command, key, sizeof(key));
        TEXT_FORMAT(codeText, "%d", code);
        RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, codeText);
    }
    return ok;
}

// Registers the helper again, quietly, as its removal unregistered it.
static int RegisterHelperAgain(const char* command)
{
    if (command[0] == '\0')
        return 0;
    char line[VX_PATH + 32];
    if (strchr(command, ' ') != NULL && command[0] != '"')
        TEXT_FORMAT(line, "regsvr32 /s \"%s\"", command);
    else
        TEXT_FORMAT(line, "regsvr32 /s %s", command);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    return 1;
}

int RestoreHistoryItem(int index, HWND list)
{
    const ItemRecord* item = GetHistoryItem(index);
    if (item == NULL)
        return 0;
    int ok = 0;
    switch (item->Flag) {
    case HA_START_REMOVE:
        ok = RestoreRemovedEntry(item->Name, item->Command, item->Extra, item->Code);
        break;
    case HA_START_DISABLE:
    case HA_START_ENABLE:
        ok = ToggleStartupEntry(item->Name, item->Command, item->Extra, item->Code);
        break;
    case HA_IEHELPER_REMOVE:
        ok = RegisterHelperAgain(item->Command);
        break;
    case HA_HIDDEN_DELETEFILE:
        ok = item->Command[0] != '\0' && RestoreHiddenFile(item->Command);
        break;
    default:
        break;
    }
    ReadHistory(list);
    return ok;
}
