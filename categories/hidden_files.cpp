// The hidden-file category: the folder walk, the baseline, the alert's two
// answers and the undo of a deletion.
#include "categories/hidden_files.h"

#include <string.h>

#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"

static void AddHidden(const char* path, DWORD attributes, int withNames)
{
    static char strings[VS_COUNT][VS_SLOT];
    strings[VS_PRODUCT_NAME][0] = '\0';
    if (withNames)
        GetVersionStrings(path, strings);
    // Without a product name the list shows the file's name.
    AddItem(strings[VS_PRODUCT_NAME], path, "", "", 370,
            (attributes & FILE_ATTRIBUTE_SYSTEM) ? 0 : 1);
}

int AddHiddenFilesIn(const char* folder, int depth, int withNames)
{
    char pattern[VX_PATH * 2];
    TEXT_FORMAT(pattern, "%s\\*", folder);
    if (strlen(pattern) >= VX_PATH)
        return 0;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(pattern, &found));
    if (!find.IsValid())
        return 0;
    int added = 0;
    do {
        const char* entry = found.cFileName;
        if (strcmp(entry, ".") == 0 || strcmp(entry, "..") == 0)
            continue;
        char path[VX_PATH * 2];
        TEXT_FORMAT(path, "%s\\%s", folder, entry);
        if (strlen(path) >= VX_PATH)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth > 0 && entry[0] != '.')
                added += AddHiddenFilesIn(path, depth - 1, withNames);
            continue;
        }
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            continue;
        if (ItemCount() >= ITEM_MAX)
            break;
        AddHidden(path, found.dwFileAttributes, withNames);
        added++;
    } while (FindNextFileA(find.Get(), &found));
    return added;
}

static int ListHidden(int withNames)
{
    ClearItems();
    char folder[VX_PATH];
    AddHiddenFilesIn("C:", 0, withNames);
    UINT n = GetWindowsDirectoryA(folder, VX_PATH);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(folder, 0, withNames);
    }
    n = GetSystemDirectoryA(folder, VX_PATH);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(folder, 1, withNames);
    }
    if (RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "CommonFilesDir", folder, sizeof(folder)) > 0) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(folder, 1, withNames);
    }
    n = GetTempPathA(VX_PATH, folder);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(folder, 1, withNames);
    }
    return ItemCount();
}

int EnumHiddenFiles()
{
    return ListHidden(1);
}

static int ListHiddenForPatrol()
{
    // Names are read for the files asked about only: reading the version
    // resource of every known file on every patrol would cost the most.
    return ListHidden(0);
}

static void TodayText(char* out)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FormatDateTime(&now, out);
}

void AcceptHiddenFile(const char* path)
{
    char today[VX_DATE_TEXT];
    TodayText(today);
    RegWriteString(HKEY_CURRENT_USER, VX_HIDDEN_KEY, path, today);
}

int InitHiddenBaseline()
{
    char mark[8];
    if (RegReadString(HKEY_CURRENT_USER, VX_HIDDEN_KEY, "", mark, sizeof(mark)) > 0) {
        if (TextEqualNoCase(mark, "P"))
            return 1;
        RegDeleteKeyTree(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    }
    RegCreateKeyPath(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    RegCreateKeyPath(HKEY_CURRENT_USER, VX_DETECTED_KEY);
    RegWriteString(HKEY_CURRENT_USER, VX_HIDDEN_KEY, "", "P");
    ListHidden(0);
    char today[VX_DATE_TEXT];
    TodayText(today);
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, VX_HIDDEN_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    for (int i = 0; i < ItemCount(); i++)
        RegSetValueExA(key.Get(), GetItemCommand(i), 0, REG_SZ, (const BYTE*)today,
                       (DWORD)strlen(today) + 1);
    return 1;
}

int HiddenVaultPath(const char* path, char* out)
{
    out[0] = '\0';
    char fileName[VX_PATH];
    if (GetFileNamePart(path, fileName) == 0)
        return 0;
    char folder[VX_PATH];
    if (GetAppDataFolder(folder) == 0)
        return 0;
    // A folder of their own: a hidden file named HOSTS must not replace the
    // vault copy of the watched HOSTS file.
    char vault[VX_PATH * 2];
    TEXT_FORMAT(vault, "%s\\vault", folder);
    CreateDirectoryA(vault, NULL);
    TEXT_APPEND_FORMAT(vault, "\\hidden");
    CreateDirectoryA(vault, NULL);
    TEXT_APPEND_FORMAT(vault, "\\%s", fileName);
    if (strlen(vault) >= VX_PATH)
        return 0;
    return (int)TextCopy(out, VX_PATH, vault);
}

static int FileSize(const char* path, ULONGLONG* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    *size = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    return 1;
}

// The vault copy of a file about to go; 1 only when a whole copy is there.
static int KeepCopy(const char* path)
{
    char vault[VX_PATH];
    if (!HiddenVaultPath(path, vault))
        return 0;
    SetFileAttributesA(vault, FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileA(path, vault, FALSE))
        return 0;
    ULONGLONG original = 0, copy = 0;
    if (!FileSize(path, &original) || !FileSize(vault, &copy) || original != copy) {
        DeleteFileA(vault);
        return 0;
    }
    return 1;
}

int DeleteHiddenFile(const char* name, const char* path)
{
    EndProcessOfFile(path, name);
    int deleted = 0;
    if (KeepCopy(path) && DeleteFileForce(path)) {
        deleted = 1;
        WriteHistory(name, path, "", 370, HA_HIDDEN_DELETEFILE);
    }
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_HIDDEN_KEY, path);
    return deleted;
}

int RestoreHiddenFile(const char* path)
{
    char vault[VX_PATH];
    if (path == NULL || path[0] == '\0' || !HiddenVaultPath(path, vault))
        return 0;
    if (GetFileAttributesA(vault) == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (!CopyFileA(vault, path, TRUE))
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    SetFileAttributesA(path, (attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes) |
                                 FILE_ATTRIBUTE_HIDDEN);
    AcceptHiddenFile(path);
    SetFileAttributesA(vault, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(vault);
    return 1;
}

// --- The category row ---------------------------------------------------------

static void* BeginHiddenCompare()
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, VX_HIDDEN_KEY, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return NULL;
    return key;
}

static void EndHiddenCompare(void* context)
{
    if (context != NULL)
        RegCloseKey((HKEY)context);
}

static int TellNewHidden(const ItemRecord* item, void* context)
{
    if (context == NULL)
        return VERDICT_NEW;
    char data[64];
    DWORD size = sizeof(data);
    DWORD type = 0;
    LONG rc = RegQueryValueExA((HKEY)context, item->Command, NULL, &type, (BYTE*)data, &size);
    // A value too long to read here is there all the same.
    if (rc == ERROR_MORE_DATA)
        return VERDICT_KNOWN;
    if (rc != ERROR_SUCCESS || size <= 1)
        return VERDICT_NEW;
    return VERDICT_KNOWN;
}

static void DescribeHidden(const ItemRecord* item, int, AlertRequest* request)
{
    static char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(item->Command, strings);
    TextCopy(request->Name, sizeof(request->Name), strings[VS_PRODUCT_NAME]);
}

static int ActOnHidden(const ItemRecord* item, int, int answer)
{
    if (answer == ANSWER_REJECT)
        return DeleteHiddenFile(item->Name, item->Command);
    AcceptHiddenFile(item->Command);
    return 1;
}

static int UndoHidden(const ItemRecord* line)
{
    if (line->Flag != HA_HIDDEN_DELETEFILE)
        return -1;
    return RestoreHiddenFile(line->Command);
}

const Category g_HiddenFilesCategory = {
    "Hidden Files",          // Label
    "Hidden",                // DetectedSubkey
    VX_HIDDEN_KEY,           // BaselineKey
    OPT_Hidden, OPT_RealtimeHidden, OPT_HideHidden,
    0,                       // first half
    ALERT_HIDDEN, ALERT_HIDDEN,
    0,
    NULL,                    // CanRun: always
    NULL,                    // Patrol: the generic step
    InitHiddenBaseline,
    NULL,                    // RecordDetected
    ListHiddenForPatrol,
    BeginHiddenCompare,
    EndHiddenCompare,
    TellNewHidden,
    DescribeHidden,
    ActOnHidden,
    UndoHidden,
};
