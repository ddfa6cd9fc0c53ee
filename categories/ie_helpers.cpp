// Browser helper objects, toolbars and extensions: listed from the
// browser's keys, watched against the baseline of approved helpers, and
// removed by deleting their registration and, with the last registration
// of a file that is not the system's, unregistering the file.
#include "categories/ie_helpers.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "categories/category.h"
#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/history_line.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/version_info.h"
#include "foundation/name_table.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/ie_helpers.h"

// --- Class registrations ----------------------------------------------------------

// "CLSID\{clsid}" (braces added when missing); 0 for a CLSID that is empty
// or holds a "\".
static int ClassKeyOf(const char* clsid, char* out, size_t outSize)
{
    if (clsid == NULL || clsid[0] == '\0' || strchr(clsid, '\\') != NULL)
        return 0;
    if (clsid[0] == '{')
        TextFormat(out, outSize, "CLSID\\%s", clsid);
    else
        TextFormat(out, outSize, "CLSID\\{%s}", clsid);
    return 1;
}

// The server file alone (file holds ITEM_COMMAND).
static int ServerFileOf(const char* clsid, char* file)
{
    file[0] = '\0';
    char key[ITEM_COMMAND + 32];
    if (!ClassKeyOf(clsid, key, sizeof(key)))
        return 0;
    TextAppend(key, "\\InprocServer32");
    return RegReadString(HKEY_CLASSES_ROOT, key, "", file, ITEM_COMMAND) > 0;
}

int ClsidInfo(const char* clsid, char* className, char* file)
{
    className[0] = '\0';
    file[0] = '\0';
    char key[ITEM_COMMAND + 32];
    if (!ClassKeyOf(clsid, key, sizeof(key)))
        return 0;
    RegReadString(HKEY_CLASSES_ROOT, key, "", className, ITEM_COMMAND);
    return ServerFileOf(clsid, file);
}

// --- The listing --------------------------------------------------------------------

// What a helper's file says of itself (quotes dropped, variables
// expanded), from the texts kept while the file is unchanged.
static void FactsOfFile(const char* file, KeptVersion* out)
{
    char unquoted[VX_PATH], path[VX_PATH];
    StripQuotes(file, unquoted, sizeof(unquoted));
    DWORD n = ExpandEnvironmentStringsA(unquoted, path, sizeof(path));
    if (n == 0 || n > sizeof(path))
        TextCopy(path, unquoted);
    KeptVersionOf(path, out);
}

// Product name, else the file name, else fallback.
static void NameOfFile(const KeptVersion* facts, const char* file, const char* fallback,
                       char* out)
{
    if (facts->productName[0] != '\0') {
        TextCopy(out, ITEM_NAME, facts->productName);
        return;
    }
    char unquoted[VX_PATH], name[VX_PATH];
    StripQuotes(file, unquoted, sizeof(unquoted));
    if (GetFileNamePart(unquoted, name) > 0)
        TextCopy(out, ITEM_NAME, name);
    else if (unquoted[0] != '\0')
        TextCopy(out, ITEM_NAME, unquoted);
    else
        TextCopy(out, ITEM_NAME, fallback);
}

static void AddServerEntry(ItemList* list, const char* clsid, const char* file, int code)
{
    KeptVersion facts;
    FactsOfFile(file, &facts);
    char name[ITEM_NAME];
    // Never an empty name: the baseline is keyed by it, and the empty name
    // is the key's own mark.
    NameOfFile(&facts, file, clsid, name);
    AddItem(list, name, file, clsid, facts.productVersion, code, 0);
}

static void AddHelperObjects(ItemList* list)
{
    RegKey root, classes;
    if (root.Open(HKEY_LOCAL_MACHINE, BHO_KEY, KEY_READ) != ERROR_SUCCESS)
        return;
    // Each helper's server is read below the one open class root.
    classes.Open(HKEY_CLASSES_ROOT, "CLSID", KEY_READ);
    for (DWORD index = 0;; index++) {
        char clsid[256];
        DWORD size = sizeof(clsid);
        LONG rc = RegEnumKeyExA(root, index, clsid, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        char file[ITEM_COMMAND], key[300];
        if (clsid[0] == '\0' || strchr(clsid, '\\') != NULL || !classes.IsOpen())
            continue;
        TEXT_FORMAT(key, clsid[0] == '{' ? "%s\\InprocServer32" : "{%s}\\InprocServer32", clsid);
        if (RegReadString(classes, key, "", file, ITEM_COMMAND) == 0)
            continue;
        AddServerEntry(list, clsid, file, HELPER_CODE_BHO);
    }
}

static void AddToolbars(ItemList* list)
{
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, KEY_READ) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; index++) {
        char clsid[256];
        DWORD size = sizeof(clsid);
        LONG rc = RegEnumValueA(root, index, clsid, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || clsid[0] == '\0')
            continue;
        char className[ITEM_COMMAND], file[ITEM_COMMAND];
        ClsidInfo(clsid, className, file);
        AddServerEntry(list, clsid, file, HELPER_CODE_TOOLBAR);
    }
}

static void AddExtensions(ItemList* list)
{
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, EXTENSIONS_KEY, KEY_READ) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; index++) {
        char subkey[256];
        DWORD size = sizeof(subkey);
        LONG rc = RegEnumKeyExA(root, index, subkey, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        char path[VX_PATH + 64];
        TEXT_FORMAT(path, "%s\\%s", EXTENSIONS_KEY, subkey);
        char buttonText[ITEM_NAME];
        if (RegReadString(HKEY_LOCAL_MACHINE, path, "ButtonText", buttonText,
                          sizeof(buttonText)) == 0)
            continue;
        char command[ITEM_COMMAND], info[ITEM_COMMAND];
        if (RegReadString(HKEY_LOCAL_MACHINE, path, "Exec", command, sizeof(command)) == 0)
            RegReadString(HKEY_LOCAL_MACHINE, path, "script", command, sizeof(command));
        if (RegReadString(HKEY_LOCAL_MACHINE, path, "HotIcon", info, sizeof(info)) == 0)
            TextCopy(info, command);
        char name[ITEM_NAME];
        if (TextFindNoCase(buttonText, "shdoclc.dll"))
            TextCopy(name, "Related");
        else
            TextCopy(name, buttonText);
        char file[VX_PATH];
        ExpandProgramPath(command, file);
        KeptVersion facts;
        FactsOfFile(file, &facts);
        if (facts.hasVersion)
            NameOfFile(&facts, file, name, name);
        AddItem(list, name, command, subkey, info, HELPER_CODE_EXTENSION, 0);
    }
}

int EnumIEHelpers(ItemList* list)
{
    ClearItems(list);
    AddHelperObjects(list);
    AddToolbars(list);
    AddExtensions(list);
    return ItemCount(list);
}

// --- Registrations ---------------------------------------------------------------------

// Where a helper is registered: the key of its kind (HKLM); the name under
// it is a subkey, or for toolbars a value.
const char* HelperKindKey(int code)
{
    switch (code) {
    case HELPER_CODE_BHO: return BHO_KEY;
    case HELPER_CODE_TOOLBAR: return TOOLBAR_KEY;
    case HELPER_CODE_EXTENSION: return EXTENSIONS_KEY;
    default: return NULL;
    }
}

static int RegistrationPresent(int code, const char* extra)
{
    const char* key = HelperKindKey(code);
    if (key == NULL || extra[0] == '\0')
        return 0;
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, key, KEY_READ) != ERROR_SUCCESS)
        return 0;
    if (code == HELPER_CODE_TOOLBAR)
        return RegQueryValueExA(root, extra, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegKey sub;
    return sub.Open(root, extra, KEY_READ) == ERROR_SUCCESS;
}

// Deletes one registration and writes its history line.  1 when deleted.
static int RemoveRegistration(const ItemRecord* entry)
{
    const char* key = HelperKindKey(entry->Code);
    if (key == NULL || entry->Extra[0] == '\0' || strchr(entry->Extra, '\\') != NULL)
        return 0;
    if (!RegistrationPresent(entry->Code, entry->Extra))
        return 0;
    char path[VX_PATH + 300];
    TEXT_FORMAT(path, "%s\\%s", key, entry->Extra);
    int removed = entry->Code == HELPER_CODE_TOOLBAR
                      ? RegDeleteValueNamed(HKEY_LOCAL_MACHINE, key, entry->Extra)
                      : RegDeleteKeyTree(HKEY_LOCAL_MACHINE, path);
    if (!removed || RegistrationPresent(entry->Code, entry->Extra))
        return 0;
    char where[VX_PATH + 310];
    TEXT_FORMAT(where, "HKLM\\%s", path);
    WriteHistory(entry->Name, entry->Command, where, entry->Code, HA_IEHELPER_REMOVE);
    return 1;
}

// Starts regsvr32 quietly on the file, without waiting: unregister (or
// register again) its classes.  The file is quoted, so a path with blanks
// reaches regsvr32 whole.  1 when started.
static int RunRegsvr32(const char* switches, const char* file)
{
    char unquoted[VX_PATH];
    StripQuotes(file, unquoted, sizeof(unquoted));
    if (unquoted[0] == '\0')
        return 0;
    char line[VX_PATH + 48];
    TEXT_FORMAT(line, "regsvr32 %s \"%s\"", switches, unquoted);
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

// A server file as it is loaded: quotes dropped, variables expanded (out
// holds VX_PATH).
static void ServerPath(const char* file, char* out)
{
    char unquoted[VX_PATH];
    StripQuotes(file, unquoted, sizeof(unquoted));
    DWORD n = ExpandEnvironmentStringsA(unquoted, out, VX_PATH);
    if (n == 0 || n > VX_PATH)
        TextCopy(out, VX_PATH, unquoted);
}

// A file the system shares with everything else: in the Windows folder or
// below it, or named without a folder, which leaves it to the search path
// (where the system folders come first).  Its classes serve far more than
// one add-on.
static int IsSystemFile(const char* path)
{
    if (strchr(path, '\\') == NULL && strchr(path, '/') == NULL)
        return 1;
    char full[VX_PATH], fullLong[VX_PATH], windows[VX_PATH], windowsLong[VX_PATH];
    char* namePart = NULL;
    DWORD n = GetFullPathNameA(path, sizeof(full), full, &namePart);
    UINT w = GetWindowsDirectoryA(windows, sizeof(windows));
    if (n == 0 || n >= sizeof(full) || w == 0 || w >= sizeof(windows))
        return 1;  // where it lies cannot be told: left alone
    GetLongPath(full, fullLong);
    GetLongPath(windows, windowsLong);
    return PathIsInFolder(fullLong, windowsLong) || PathIsInFolder(full, windows);
}

// Whether the file may be unregistered: not a system file, and no add-on
// registration there is now (approved, or still to be asked about) names
// it.  Read afresh, not from a list taken before the answer.
static int NothingElseNeeds(const char* file)
{
    char path[VX_PATH];
    ServerPath(file, path);
    if (path[0] == '\0' || IsSystemFile(path))
        return 0;
    ItemList current;
    EnumIEHelpers(&current);
    for (int i = 0; i < ItemCount(&current); i++) {
        char other[VX_PATH];
        ServerPath(GetItemCommand(&current, i), other);
        if (TextEqualNoCase(other, path))
            return 0;
    }
    return 1;
}

// The removal with its subject given as a record (the patrol's copy): its
// own registration goes; the file's classes go only with its last one.
static int RemoveHelperOf(const char* file, const ItemRecord* subject)
{
    int removed = subject != NULL ? RemoveRegistration(subject) : 0;
    if (file != NULL && file[0] != '\0' && NothingElseNeeds(file))
        RunRegsvr32("/u /s", file);
    return removed;
}

int RemoveIEHelper(const ItemList* list, const char* file, int index)
{
    return RemoveHelperOf(file, GetItem(list, index));
}

// --- The category's operations ----------------------------------------------------------

static int InitHelpersBaseline()
{
    ItemList list;
    EnumIEHelpers(&list);
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    int recorded = 1;
    for (int i = 0; i < ItemCount(&list); i++) {
        char code[16];
        TEXT_FORMAT(code, "%d", GetItemCode(&list, i));
        if (RegSetValueExA(key, GetItemName(&list, i), 0, REG_SZ, (const BYTE*)code,
                           (DWORD)strlen(code) + 1) != ERROR_SUCCESS)
            recorded = 0;
    }
    return recorded;
}

static int RecordHelpersDetected()
{
    ItemList list;
    EnumIEHelpers(&list);
    for (int i = 0; i < ItemCount(&list); i++)
        RecordDetected(GetItemCommand(&list, i), VX_DETECTED_KEY "\\IEHelper");
    return 1;
}

// New: no approving baseline value (missing or "0").  A helper whose
// registration has gone since the list was taken is not asked about.
static int TellNewHelper(const ItemRecord* item, void* context)
{
    int code = BaselineCodeIn((const NameTable*)context, VX_IEHELPERS_KEY, item->Name);
    if (code != 0)
        return VERDICT_KNOWN;
    return RegistrationPresent(item->Code, item->Extra) ? VERDICT_NEW : VERDICT_KNOWN;
}

static const AlertLine s_alertLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION_COLON, 0 },
    { IDC_ALERT_MESSAGE, IDS_HELPER_MESSAGE, 0 },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_HELPER, IDS_ALERT_TITLE, s_alertLines,
    IDYES, IDS_YES, IDNO, IDS_NO, ANSWER_ACCEPT,
    4, IDS_TIP_HELPERS,  // sound, tray tip
    ALERT_HISTORY_NAMES_PRODUCT, HA_IEHELPER_ALERT, HT_BHO,
};

// Helpers are looked up online as type 0, whatever their kind.
static void DescribeHelper(const ItemRecord*, int, AlertRequest* request)
{
    request->TypeCode = 0;
}

// "No": end what runs the file, remove its registrations, and forget it,
// so that a helper whose removal did not hold is asked about again.
static int ActOnHelper(const ItemRecord* item, int, int answer)
{
    if (answer == ANSWER_ACCEPT) {
        char code[16];
        TEXT_FORMAT(code, "%d", item->Code);
        return RegWriteString(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, item->Name, code);
    }
    if (answer != ANSWER_REJECT)
        return 0;
    if (item->Command[0] != '\0')
        KillProcessByFile(item->Command, item->Name, 0);
    int removed = RemoveHelperOf(item->Command, item);
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, item->Name);
    return removed > 0;
}

// --- Undo ---------------------------------------------------------------------------

// The registration a removal line names (its Extra: "HKLM\<kind key>\<name>")
// is made again, then the file registers its classes again.  A line without
// a key (written before the key was recorded) only registers the file.
static int PutRegistrationBack(const ItemRecord* line)
{
    const char* key = HelperKindKey(line->Code);
    if (key == NULL || line->Extra[0] == '\0')
        return 0;
    char prefix[VX_PATH];
    TEXT_FORMAT(prefix, "HKLM\\%s\\", key);
    size_t prefixLength = strlen(prefix);
    if (strlen(line->Extra) <= prefixLength ||
        _strnicmp(line->Extra, prefix, prefixLength) != 0)
        return 0;
    const char* name = line->Extra + prefixLength;
    if (strchr(name, '\\') != NULL)
        return 0;
    if (line->Code == HELPER_CODE_TOOLBAR)
        return RegWriteString(HKEY_LOCAL_MACHINE, key, name, "");
    char path[VX_PATH + 300];
    TEXT_FORMAT(path, "%s\\%s", key, name);
    if (!RegCreateKeyPath(HKEY_LOCAL_MACHINE, path))
        return 0;
    if (line->Code == HELPER_CODE_EXTENSION) {
        RegWriteString(HKEY_LOCAL_MACHINE, path, "ButtonText", line->Name);
        if (line->Command[0] != '\0')
            RegWriteString(HKEY_LOCAL_MACHINE, path, "Exec", line->Command);
    }
    return 1;
}

static int UndoHelperLine(const ItemRecord* line)
{
    if (line->Flag != HA_IEHELPER_REMOVE)
        return -1;
    int restored = PutRegistrationBack(line);
    int registered = RunRegsvr32("/s", line->Command);
    if (restored && line->Name[0] != '\0') {
        // Put back by the user: approved, not asked about again.
        char code[16];
        TEXT_FORMAT(code, "%d", line->Code);
        RegWriteString(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, line->Name, code);
    }
    return restored || registered;
}

int PatrolIEHelpers()
{
    return PatrolCategory(&g_IEHelpersCategory);
}

static const WatchPlace s_watch[] = {
    { WATCH_KEY, HKEY_LOCAL_MACHINE, BHO_KEY, NULL, WATCH_SUBTREE },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, TOOLBAR_KEY, NULL, 0 },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, EXTENSIONS_KEY, NULL, WATCH_SUBTREE },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_IEHelpersCategory = {
    "IE Helpers",                    // Label
    "IEHelper",                      // DetectedSubkey
    VX_IEHELPERS_KEY,                // BaselineKey
    OPT_IEHelpers, OPT_RealtimeIEHelper, OPT_HideIEHelper,
    0,                               // first half
    &s_alert, &s_alert,
    CAT_BASELINE_TABLE | CAT_CLEANED_UP,
    NULL,                            // CanRun
    NULL,                            // Patrol: the generic step
    InitHelpersBaseline,
    NULL,                            // BaselineReady: the mark "P"
    RecordHelpersDetected,
    EnumIEHelpers,
    NULL,                            // BeginCompare: the baseline table
    NULL,
    TellNewHelper,
    DescribeHelper,
    ActOnHelper,
    UndoHelperLine,
    EnumIEHelpers,                   // ListAll: the explorer's page lists the same
    s_watch,
};
