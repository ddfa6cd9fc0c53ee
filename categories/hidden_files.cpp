// The hidden-file category: the folder walk, the baseline, the alert's two
// answers and the undo of a deletion.
#include "categories/hidden_files.h"

#include <stdlib.h>
#include <string.h>

#include "categories/sys_text.h"
#include "foundation/date_text.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/hidden_files.h"

static void AddHidden(ItemList* list, const char* path, const WIN32_FIND_DATAA& found,
                      int withNames)
{
    static char strings[VS_COUNT][VS_SLOT];
    strings[VS_PRODUCT_NAME][0] = '\0';
    if (withNames)
        GetVersionStrings(path, strings);
    // The walk has the last-write time already: the page shows it from the
    // record instead of opening every file again.
    char written[VX_TICKS_TEXT];
    TicksText((unsigned long long)found.ftLastWriteTime.dwHighDateTime << 32 |
                  found.ftLastWriteTime.dwLowDateTime,
              written);
    // Without a product name the list shows the file's name.
    AddItem(list, strings[VS_PRODUCT_NAME], path, written, "", 370,
            (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) ? 0 : 1);
}

// The known paths, kept between patrols and read again only when the
// baseline key changed (its last-write time or value count): reading one
// value per file on every patrol would cost the most of the walk.
struct KnownSet {
    char** Paths;
    int Count;
    DWORD Values;
    FILETIME Written;
    int Loaded;
};
static KnownSet s_known = { NULL, 0, 0, { 0, 0 }, 0 };

static void FreeKnown()
{
    for (int i = 0; i < s_known.Count; i++)
        free(s_known.Paths[i]);
    free(s_known.Paths);
    s_known.Paths = NULL;
    s_known.Count = 0;
    s_known.Loaded = 0;
}

static int ComparePaths(const void* a, const void* b)
{
    return _stricmp(*(char* const*)a, *(char* const*)b);
}

// 1 when the set reflects the key as it is now.
static int RefreshKnown()
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, VX_HIDDEN_KEY, KEY_READ) != ERROR_SUCCESS) {
        FreeKnown();
        return 0;
    }
    DWORD values = 0;
    FILETIME written;
    if (RegQueryInfoKeyA(key.Get(), NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL,
                         NULL, &written) != ERROR_SUCCESS) {
        FreeKnown();
        return 0;
    }
    if (s_known.Loaded && values == s_known.Values &&
        CompareFileTime(&written, &s_known.Written) == 0)
        return 1;
    FreeKnown();
    s_known.Paths = (char**)malloc((values + 1) * sizeof(char*));
    if (s_known.Paths == NULL)
        return 0;
    for (DWORD i = 0; i < values; i++) {
        char name[VX_PATH];
        char data[64];
        DWORD nameLength = sizeof(name);
        DWORD dataSize = sizeof(data);
        LONG rc = RegEnumValueA(key.Get(), i, name, &nameLength, NULL, NULL, (BYTE*)data,
                                &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        // A value whose data is empty does not make a file known; one too
        // long to read here is there all the same.
        if ((rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) || name[0] == '\0' ||
            (rc == ERROR_SUCCESS && dataSize <= 1))
            continue;
        char* copy = (char*)malloc(nameLength + 1);
        if (copy == NULL)
            continue;
        memcpy(copy, name, nameLength + 1);
        s_known.Paths[s_known.Count++] = copy;
    }
    qsort(s_known.Paths, (size_t)s_known.Count, sizeof(char*), ComparePaths);
    s_known.Values = values;
    s_known.Written = written;
    s_known.Loaded = 1;
    return 1;
}

static int IsKnown(const char* path)
{
    const char* key = path;
    return s_known.Count > 0 &&
           bsearch(&key, s_known.Paths, (size_t)s_known.Count, sizeof(char*), ComparePaths) !=
               NULL;
}

// Which files the walk adds: all, or (for the patrol) the unknown ones.
static int s_onlyUnknown = 0;

int AddHiddenFilesIn(ItemList* list, const char* folder, int depth, int withNames)
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
                added += AddHiddenFilesIn(list, path, depth - 1, withNames);
            continue;
        }
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            continue;
        if (ItemCount(list) >= ITEM_MAX)
            break;
        if (s_onlyUnknown) {
            char command[ITEM_COMMAND];
            ItemCommandText(path, command);
            if (IsKnown(command))
                continue;
        }
        AddHidden(list, path, found, withNames);
        added++;
    } while (FindNextFileA(find.Get(), &found));
    return added;
}

static int ListHidden(ItemList* list, int withNames)
{
    ClearItems(list);
    char folder[VX_PATH];
    AddHiddenFilesIn(list, "C:", 0, withNames);
    UINT n = GetWindowsDirectoryA(folder, VX_PATH);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(list, folder, 0, withNames);
    }
    n = GetSystemDirectoryA(folder, VX_PATH);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(list, folder, 1, withNames);
    }
    if (RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "CommonFilesDir", folder, sizeof(folder)) > 0) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(list, folder, 1, withNames);
    }
    n = GetTempPathA(VX_PATH, folder);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        AddHiddenFilesIn(list, folder, 1, withNames);
    }
    return ItemCount(list);
}

int EnumHiddenFiles(ItemList* list)
{
    return ListHidden(list, 1);
}

// The patrol's list: the hidden files the baseline does not know, without
// names (the version resource is read for the files asked about only).
// Without a readable baseline every file is listed, and asked about.
static int ListNewHidden(ItemList* out)
{
    s_onlyUnknown = RefreshKnown();
    int count = ListHidden(out, 0);
    s_onlyUnknown = 0;
    return count;
}

void AcceptHiddenFile(const char* path)
{
    char today[VX_DATE_TEXT];
    FormatNow(today);
    RegWriteString(HKEY_CURRENT_USER, VX_HIDDEN_KEY, path, today);
}

// Forward: the known set and the walk of unknown files are below.
static int RecordUnknownHidden(const char* today);

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
    char today[VX_DATE_TEXT];
    FormatNow(today);
    // The list holds at most ITEM_MAX files: record in rounds, each round
    // listing only the files the rounds before did not record.
    int recorded;
    int rounds = 0;
    do {
        recorded = RecordUnknownHidden(today);
    } while (recorded >= ITEM_MAX && ++rounds < 64);
    // Marked only once every file is recorded: a baseline left half made
    // is made again, never compared against.
    return recorded >= 0 && RegWriteString(HKEY_CURRENT_USER, VX_HIDDEN_KEY, "", "P");
}

int HiddenVaultFolder(char* out)
{
    out[0] = '\0';
    char folder[VX_PATH];
    if (GetAppDataFolder(folder) == 0)
        return 0;
    // A folder of their own: a hidden file named HOSTS must not replace the
    // vault copy of the watched HOSTS file.
    char vault[VX_PATH * 2];
    TEXT_FORMAT(vault, "%s\\vault", folder);
    CreateDirectoryA(vault, NULL);
    TEXT_APPEND_FORMAT(vault, "\\hidden");
    if (strlen(vault) >= VX_PATH)
        return 0;
    CreateDirectoryA(vault, NULL);
    return (int)TextCopy(out, VX_PATH, vault);
}

// How many names a copy may try before the vault is taken as full.
#define HIDDEN_COPY_NAMES 100

static int FileSize(const char* path, ULONGLONG* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    *size = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    return 1;
}

static void DeleteCopy(const char* copy)
{
    SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy);
}

// The vault copy of a file about to go (copy holds VX_PATH): the first of
// its names that no other copy holds, since an older copy may still be
// named by a history line.  1 only when a whole copy is there.
static int KeepCopy(const char* path, char* copy)
{
    copy[0] = '\0';
    char hidden[VX_PATH];
    if (!HiddenVaultFolder(hidden))
        return 0;
    for (int variant = 1; variant <= HIDDEN_COPY_NAMES; variant++) {
        char candidate[VX_PATH];
        if (HiddenCopyPath(hidden, path, variant, candidate, sizeof(candidate)) == 0)
            return 0;
        char folder[VX_PATH];
        TextCopyN(folder, sizeof(folder), candidate, (size_t)FileNameOffset(candidate) - 1);
        CreateDirectoryA(folder, NULL);
        if (!CopyFileA(path, candidate, TRUE)) {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return 0;
        }
        ULONGLONG original = 0, kept = 0;
        if (!FileSize(path, &original) || !FileSize(candidate, &kept) || original != kept) {
            DeleteCopy(candidate);
            return 0;
        }
        return (int)TextCopy(copy, VX_PATH, candidate) > 0;
    }
    return 0;
}

int DeleteHiddenFile(const char* name, const char* path)
{
    EndProcessOfFile(path, name);
    int deleted = 0;
    char copy[VX_PATH];
    if (KeepCopy(path, copy)) {
        if (DeleteFileForce(path)) {
            deleted = 1;
            WriteHistory(name, path, copy, 370, HA_HIDDEN_DELETEFILE);
        } else {
            // Asked again at the next patrol: a copy per refusal would only
            // fill the vault.
            DeleteCopy(copy);
        }
    }
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_HIDDEN_KEY, path);
    return deleted;
}

int RestoreHiddenFile(const char* path, const char* copy)
{
    char hidden[VX_PATH];
    if (path == NULL || path[0] == '\0' || !HiddenVaultFolder(hidden))
        return 0;
    char source[VX_PATH * 2];
    if (copy != NULL && copy[0] != '\0') {
        TextCopy(source, copy);
    } else {
        // Before copies were named in the line, a file's copy went by its
        // name alone.
        char fileName[VX_PATH];
        if (GetFileNamePart(path, fileName) == 0)
            return 0;
        TEXT_FORMAT(source, "%s\\%s", hidden, fileName);
    }
    // The copy is deleted once restored: only a copy of the vault's.
    if (strlen(source) >= VX_PATH || !PathInsideFolder(source, hidden))
        return 0;
    if (GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (!CopyFileA(source, path, TRUE))
        return 0;
    DWORD attributes = GetFileAttributesA(path);
    SetFileAttributesA(path, (attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes) |
                                 FILE_ATTRIBUTE_HIDDEN);
    AcceptHiddenFile(path);
    DeleteCopy(source);
    return 1;
}

// --- The category row ---------------------------------------------------------

static int TellNewHidden(const ItemRecord*, void*)
{
    return VERDICT_NEW;  // the list holds only files the baseline lacks
}

// The alert: "OK" keeps the file, "&Delete" (the cancel id) deletes it;
// Escape and the close box keep it.
static const AlertLine s_alertLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION_COLON, 0 },
    { IDC_ALERT_MESSAGE, IDS_HIDDEN_MESSAGE, 0 },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_HIDDEN, IDS_ALERT_TITLE, s_alertLines,
    IDOK, 0, IDCANCEL, IDS_DELETE, ANSWER_ACCEPT,
    4, IDS_TIP_STARTUP,  // sound, tray tip
    0, HA_HIDDEN_ALERT, HT_HIDDEN,
};

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
    return RestoreHiddenFile(line->Command, line->Extra);
}

// One round of the first baseline: the number recorded, -1 on failure.
static int RecordUnknownHidden(const char* today)
{
    ItemList list;
    ListNewHidden(&list);
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, VX_HIDDEN_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return -1;
    for (int i = 0; i < ItemCount(&list); i++)
        if (RegSetValueExA(key.Get(), GetItemCommand(&list, i), 0, REG_SZ, (const BYTE*)today,
                           (DWORD)strlen(today) + 1) != ERROR_SUCCESS)
            return -1;
    return ItemCount(&list);
}

static int DriveRoot(char* out)
{
    UINT n = GetWindowsDirectoryA(out, VX_PATH);
    if (n < 3 || n >= VX_PATH)
        return 0;
    out[3] = '\0';
    return 1;
}

static int WindowsFolder(char* out)
{
    UINT n = GetWindowsDirectoryA(out, VX_PATH);
    return n > 0 && n < VX_PATH;
}

static int SystemFolder(char* out)
{
    UINT n = GetSystemDirectoryA(out, VX_PATH);
    return n > 0 && n < VX_PATH;
}

// The folders the list is read from, without the ones below them: a
// change deep in the system folder waits for the patrol.
static const WatchPlace s_watch[] = {
    { WATCH_FOLDER, NULL, NULL, DriveRoot, 0 },
    { WATCH_FOLDER, NULL, NULL, WindowsFolder, 0 },
    { WATCH_FOLDER, NULL, NULL, SystemFolder, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_HiddenFilesCategory = {
    "Hidden Files",          // Label
    "Hidden",                // DetectedSubkey
    VX_HIDDEN_KEY,           // BaselineKey
    OPT_Hidden, OPT_RealtimeHidden, OPT_HideHidden,
    0,                       // first half
    &s_alert, &s_alert,
    0,
    NULL,                    // CanRun: always
    NULL,                    // Patrol: the generic step
    InitHiddenBaseline,
    NULL,                            // BaselineReady: the mark "P"
    NULL,                    // RecordDetected
    ListNewHidden,
    NULL,                    // BeginCompare: the list is compared as it is made
    NULL,
    TellNewHidden,
    DescribeHidden,
    ActOnHidden,
    UndoHidden,
    EnumHiddenFiles,         // ListAll: every hidden file, named
    s_watch,
};
