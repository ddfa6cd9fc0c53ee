// ActiveX controls: listed from the browser's add-on statistics, watched
// against the baseline of controls seen, and switched off or on with the
// kill bit of their compatibility flags.
#include "categories/activex.h"

#include <stdlib.h>
#include <string.h>

#include "categories/category.h"
#include "categories/ie_helpers.h"
#include "foundation/handles.h"
#include "foundation/history_line.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/name_table.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/activex.h"

typedef char VersionBlock[VS_COUNT][VS_SLOT];

// The key of a CLSID under ActiveX Compatibility (braces added when
// missing); 0 for a CLSID that is empty or holds a "\".
static int CompatibilityKey(const char* clsid, char* out, size_t outSize)
{
    if (clsid == NULL || clsid[0] == '\0' || strchr(clsid, '\\') != NULL)
        return 0;
    if (clsid[0] == '{')
        TextFormat(out, outSize, "%s\\%s", ACTIVEX_COMPAT_KEY, clsid);
    else
        TextFormat(out, outSize, "%s\\{%s}", ACTIVEX_COMPAT_KEY, clsid);
    return 1;
}

// The flags as stored: the whole DWORD (not the store's folded reading,
// which would lose the high bits when written back), or a number written
// as text.  *present tells whether there was a value.
static DWORD ReadFlags(HKEY key, int* present)
{
    *present = 0;
    BYTE data[64];
    DWORD type = 0, size = sizeof(data) - 1;
    if (RegQueryValueExA(key, "Compatibility Flags", NULL, &type, data, &size) != ERROR_SUCCESS)
        return 0;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        *present = 1;
        DWORD value;
        memcpy(&value, data, sizeof(value));
        return value;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        data[size] = '\0';
        *present = 1;
        return (DWORD)strtoul((const char*)data, NULL, 0);
    }
    return 0;
}

DWORD GetCompatibilityFlags(const char* clsid)
{
    char path[VX_PATH + 80];
    if (!CompatibilityKey(clsid, path, sizeof(path)))
        return 0;
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    int present;
    return ReadFlags(key, &present);
}

// Writes the flags with the kill bit set or cleared.  create: make the key
// when missing.
static int WriteKillBit(const char* clsid, int set, int create)
{
    char path[VX_PATH + 80];
    if (!CompatibilityKey(clsid, path, sizeof(path)))
        return 0;
    RegKey key;
    LONG rc = create ? key.Create(HKEY_LOCAL_MACHINE, path, KEY_QUERY_VALUE | KEY_SET_VALUE)
                     : key.Open(HKEY_LOCAL_MACHINE, path, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (rc != ERROR_SUCCESS)
        return !set;  // no key: no kill bit to clear
    int present;
    DWORD flags = ReadFlags(key, &present);
    DWORD wanted = set ? (flags | ACTIVEX_KILL_BIT) : (flags & ~ACTIVEX_KILL_BIT);
    if (!present && !set)
        return 1;
    if (RegSetValueExA(key, "Compatibility Flags", 0, REG_DWORD, (const BYTE*)&wanted,
                       sizeof(wanted)) != ERROR_SUCCESS)
        return 0;
    DWORD now = ReadFlags(key, &present);
    return present && now == wanted;
}

int DisableActiveX(const char* clsid)
{
    return WriteKillBit(clsid, 1, 1);
}

int EnableActiveX(const char* clsid)
{
    return WriteKillBit(clsid, 0, 0);
}

// --- The listing ----------------------------------------------------------------------

// Adds the control when it has a server file and passes the company
// filter.
static void AddControl(ItemList* list, const char* clsid, VersionBlock* version,
                       int filterMicrosoft)
{
    char className[ITEM_COMMAND], file[ITEM_COMMAND];
    if (!ClsidInfo(clsid, className, file))
        return;
    char unquoted[VX_PATH], expanded[VX_PATH];
    StripQuotes(file, unquoted, sizeof(unquoted));
    DWORD n = ExpandEnvironmentStringsA(unquoted, expanded, sizeof(expanded));
    if (n == 0 || n > sizeof(expanded))
        TextCopy(expanded, unquoted);
    GetVersionStrings(expanded, *version);
    if (filterMicrosoft && TextFindNoCase((*version)[VS_COMPANY_NAME], "Microsoft"))
        return;
    char name[ITEM_NAME];
    char fileName[VX_PATH];
    if (className[0] != '\0')
        TextCopy(name, className);
    else if ((*version)[VS_FILE_DESCRIPTION][0] != '\0')
        TextCopy(name, (*version)[VS_FILE_DESCRIPTION]);
    else if ((*version)[VS_PRODUCT_NAME][0] != '\0')
        TextCopy(name, (*version)[VS_PRODUCT_NAME]);
    else if (GetFileNamePart(expanded, fileName) > 0)
        TextCopy(name, fileName);
    else
        TextCopy(name, clsid);
    AddItem(list, name, expanded, clsid, (*version)[VS_PRODUCT_VERSION], ACTIVEX_CODE,
            (int)GetCompatibilityFlags(clsid));
}

// 1 when iexplore\Type of the statistics entry says an ActiveX control:
// 0, 1 or no value.
static int IsControlType(HKEY stats, const char* clsid)
{
    char path[300];
    TEXT_FORMAT(path, "%s\\iexplore", clsid);
    RegKey key;
    if (key.Open(stats, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 1;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, "Type", NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return 1;
    return value == 0 || value == 1;
}

int EnumActiveX(ItemList* list, int append)
{
    if (!append)
        ClearItems(list);
    RegKey stats;
    LONG rc = stats.Open(HKEY_CURRENT_USER, EXT_STATS_KEY, KEY_READ);
    if (rc == ERROR_FILE_NOT_FOUND)
        return ItemCount(list);
    if (rc != ERROR_SUCCESS)
        return -1;
    VersionBlock* version = (VersionBlock*)malloc(sizeof(VersionBlock));
    if (version == NULL)
        return -1;
    int filterMicrosoft = g_Options[OPT_HideMicrosoftActiveX] > 0;
    for (DWORD index = 0;; index++) {
        char clsid[256];
        DWORD size = sizeof(clsid);
        rc = RegEnumKeyExA(stats, index, clsid, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        if (IsControlType(stats, clsid))
            AddControl(list, clsid, version, filterMicrosoft);
    }
    free(version);
    return ItemCount(list);
}

static int Listed(const ItemList* list, const char* clsid, int upTo)
{
    for (int i = 0; i < upTo; i++)
        if (TextEqualNoCase(GetItemExtra(list, i), clsid))
            return 1;
    return 0;
}

int EnumActiveXAll(ItemList* list)
{
    ClearItems(list);
    EnumActiveX(list, 1);
    int browserCount = ItemCount(list);
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, ACTIVEX_COMPAT_KEY, KEY_READ) != ERROR_SUCCESS)
        return ItemCount(list);
    VersionBlock* version = (VersionBlock*)malloc(sizeof(VersionBlock));
    if (version == NULL)
        return ItemCount(list);
    int filterMicrosoft = g_Options[OPT_HideMicrosoftActiveX] > 0;
    for (DWORD index = 0;; index++) {
        char subkey[256];
        DWORD size = sizeof(subkey);
        LONG rc = RegEnumKeyExA(root, index, subkey, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        char path[VX_PATH + 80], alternate[256];
        TEXT_FORMAT(path, "%s\\%s", ACTIVEX_COMPAT_KEY, subkey);
        const char* clsid = subkey;
        if (RegReadString(HKEY_LOCAL_MACHINE, path, "AlternateCLSID", alternate,
                          sizeof(alternate)) > 0)
            clsid = alternate;
        if (!Listed(list, clsid, browserCount))
            AddControl(list, clsid, version, filterMicrosoft);
    }
    free(version);
    return ItemCount(list);
}

// --- The category's operations ----------------------------------------------------------

// The baseline of what is there now.  A key that held something else than
// the mark is started afresh.
static int InitActiveXBaseline()
{
    char mark[64];
    if (RegReadString(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, "", mark, sizeof(mark)) > 0 &&
        !TextEqualNoCase(mark, "P")) {
        RegDeleteKeyTree(HKEY_CURRENT_USER, VX_ACTIVEX_KEY);
    }
    ItemList list;
    if (EnumActiveX(&list, 0) < 0)
        return 0;
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    int recorded = 1;
    for (int i = 0; i < ItemCount(&list); i++)
        if (RegSetValueExA(key, GetItemExtra(&list, i), 0, REG_SZ, (const BYTE*)"1200", 5) !=
            ERROR_SUCCESS)
            recorded = 0;
    return recorded;
}

static int ListControls(ItemList* out)
{
    int count = EnumActiveX(out, 0);
    return count < 0 ? 0 : count;
}

// What the explorer's page lists: every control named under ActiveX
// Compatibility too when "ActiveXListAll" is set ("HideMicrosoftActiveX"
// is applied by the listing itself).
static int ListAllControls(ItemList* out)
{
    if (g_Options[OPT_ActiveXListAll] > 0)
        return EnumActiveXAll(out);
    return ListControls(out);
}

// Controls the user refused whose kill bit could not be written (the
// machine's key needs an administrator): the user has been told, and they
// are not asked about again while the program runs.  They stay out of the
// baseline, so the next start asks again.
static NameTable s_killBitRefused;

// New: no baseline value (or "0"), and not refused in vain in this run.
static int TellNewControl(const ItemRecord* item, void* context)
{
    int code = BaselineCodeIn((const NameTable*)context, VX_ACTIVEX_KEY, item->Extra);
    int refused = 0;
    if (code != 0 || item->Extra[0] == '\0' ||
        NameTableGet(&s_killBitRefused, item->Extra, &refused))
        return VERDICT_KNOWN;
    return VERDICT_NEW;
}

// The alert names the history line as the helpers' do.
static const AlertLine s_alertLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION_COLON, 0 },
    { IDC_ALERT_MESSAGE, IDS_ACTIVEX_MESSAGE, 0 },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_ACTIVEX, IDS_ALERT_TITLE, s_alertLines,
    IDYES, IDS_YES, IDNO, IDS_NO, ANSWER_ACCEPT,
    4, IDS_TIP_HELPERS,  // sound, tray tip
    ALERT_HISTORY_NAMES_PRODUCT, HA_IEHELPER_ALERT, HT_BHO,
};

static void DescribeControl(const ItemRecord*, int, AlertRequest* request)
{
    request->TypeCode = 0;
}

static int RecordControl(const ItemRecord* item)
{
    return RegWriteString(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, item->Extra, "1200");
}

// The baseline records what was carried out: an accepted control, or a
// refused one whose kill bit holds.  A control left enabled against the
// user's "No" is never recorded as dealt with.
static int ActOnControl(const ItemRecord* item, int, int answer)
{
    if (answer == ANSWER_ACCEPT)
        return RecordControl(item);
    if (answer != ANSWER_REJECT)
        return 0;
    if (!DisableActiveX(item->Extra)) {
        NameTablePut(&s_killBitRefused, item->Extra, 1);
        UiNotify(NOTICE_DISABLE_FAILED, item->Name);
        return 0;
    }
    return RecordControl(item);
}

int PatrolActiveX()
{
    return PatrolCategory(&g_ActiveXCategory);
}

static const WatchPlace s_watch[] = {
    { WATCH_KEY, HKEY_LOCAL_MACHINE, ACTIVEX_COMPAT_KEY, NULL, WATCH_SUBTREE },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_ActiveXCategory = {
    "ActiveX Files",                 // Label
    "ActiveX",                       // DetectedSubkey: keyed by the Command
    VX_ACTIVEX_KEY,                  // BaselineKey
    OPT_ActiveX, OPT_RealtimeActiveX, OPT_HideActiveX,
    0,                               // first half
    &s_alert, &s_alert,
    CAT_BASELINE_TABLE,
    NULL,                            // CanRun
    NULL,                            // Patrol: the generic step
    InitActiveXBaseline,
    NULL,                            // BaselineReady: the mark "P"
    NULL,                            // RecordDetected: dates come with the alerts
    ListControls,
    NULL,                            // BeginCompare: the baseline table
    NULL,
    TellNewControl,
    DescribeControl,
    ActOnControl,
    NULL,                            // Undo: the kill bit is undone in the explorer
    ListAllControls,
    s_watch,
};
