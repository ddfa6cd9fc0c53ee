// The startup list: every autostart place walked into the item list, the
// baseline of known entries, and the patrol step that asks about new ones.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <stdlib.h>
#include <string.h>

#include "foundation/alert_description.h"
#include "foundation/detected.h"
#include "foundation/processes.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/kept_values.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/ui.h"
#include "foundation/utils.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"
#include "foundation/item_list.h"
#include "foundation/name_table.h"
#include "startup/startup_text.h"
#include "startup/startup_undo.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/startup.h"

#define DETECTED_STARTUP_KEY VX_DETECTED_KEY "\\Startup"
// Run values are compared and listed on their first 511 characters.
#define RUN_TEXT_MAX 511



static int IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// --- Step 1: the Run families -------------------------------------------------

// A value of a disabled entry found back in its place.
struct Returner {
    char* name;
    char* data;
};

struct RunScan {
    ItemList* list;
    int code;
    const NameTable* disabled;
    // The last value that reached the listing test, across keys and roots.
    char lastName[RUN_TEXT_MAX + 1];
    char lastData[RUN_TEXT_MAX + 1];
    Returner* returners;
    int returnerCount;
    int returnerRoom;
};

static void KeepReturner(RunScan* scan, const char* name, const char* data)
{
    if (!GrowBlock(&scan->returners, &scan->returnerRoom, scan->returnerCount, 8))
        return;
    Returner* r = &scan->returners[scan->returnerCount];
    r->name = TextDuplicate(name);
    r->data = TextDuplicate(data);
    if (r->name == NULL || r->data == NULL) {
        free(r->name);
        free(r->data);
        return;
    }
    scan->returnerCount++;
}

static void VisitRunValue(const char* fullName, DWORD type, const char* fullData, void* context)
{
    RunScan* scan = (RunScan*)context;
    // Only text values start anything.
    if (!IsText(type))
        return;
    char name[RUN_TEXT_MAX + 1];
    char data[RUN_TEXT_MAX + 1];
    TextCopy(name, fullName);
    TextCopy(data, fullData);
    if (TextEqualNoCase(name, scan->lastName) && TextEqualNoCase(data, scan->lastData))
        return;
    int disabledCode = 0;
    if (NameTableGet(scan->disabled, fullName, &disabledCode) &&
        RunEntryParked(fullName, fullData, scan->code)) {
        // The parked program put itself back: parked again after the walk
        // of this key (moving it now would shift the enumeration under our
        // feet).  Another command under a parked name is a new entry.
        KeepReturner(scan, fullName, fullData);
        return;
    }
    TextCopy(scan->lastName, name);
    TextCopy(scan->lastData, data);
    if (strlen(name) <= 1 || strlen(data) <= 4 || (unsigned char)name[0] >= 0x80)
        return;
    char command[VX_PATH];
    int flag = RundllTarget(data, command);
    AddItem(scan->list, name, command, "", "", scan->code, flag);
}

// A disabled entry that has put itself back: enable and disable it again,
// which parks its current data without a word to the user.
static void ReparkReturners(RunScan* scan)
{
    for (int i = 0; i < scan->returnerCount; i++) {
        Returner* r = &scan->returners[i];
        ToggleStartupEntry(r->name, r->data, "", scan->code);
        ToggleStartupEntry(r->name, r->data, "", scan->code);
        free(r->name);
        free(r->data);
    }
    scan->returnerCount = 0;
}

static void ScanRunFamilies(ItemList* list)
{
    NameTable disabled;
    NameTableInit(&disabled);
    NameTableLoadKey(&disabled, HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, 0);

    RunScan scan;
    memset(&scan, 0, sizeof(scan));
    scan.disabled = &disabled;
    scan.list = list;
    const int bases[3] = { SC_MACHINE_BASE, SC_CURRENT_BASE, SC_WOW64_BASE };
    for (int family = 0; family < 3; family++) {
        if (bases[family] == SC_WOW64_BASE && !Wow64FamilyPresent())
            continue;
        for (int position = 1; position <= RUN_FAMILY_KEYS; position++) {
            scan.code = bases[family] + position;
            HKEY root = RunPlaceRoot(scan.code);
            WalkKeptValues(root, RunPlacePath(scan.code), StartupView(root), VisitRunValue, &scan);
            ReparkReturners(&scan);
        }
    }
    free(scan.returners);
    NameTableFree(&disabled);
}

// --- Step 2: Startup folders --------------------------------------------------

// The shortcut's target (out holds VX_PATH) and description (ITEM_NAME).
// 0 when the file is no shortcut, has no file-system target, or the target
// cannot be found.
static int ResolveShortcut(const char* path, char* target, char* description)
{
    target[0] = '\0';
    description[0] = '\0';
    ComRef<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutVoid())))
        return 0;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid())))
        return 0;
    WCHAR widePath[VX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, VX_PATH) == 0)
        return 0;
    if (FAILED(file->Load(widePath, STGM_READ)))
        return 0;
    // No window, at most half a second of searching.
    if (link->Resolve(NULL, SLR_NO_UI | (500 << 16)) != S_OK)
        return 0;
    char found[MAX_PATH] = "";
    if (FAILED(link->GetPath(found, MAX_PATH, NULL, 0)) || found[0] == '\0')
        return 0;
    // Resolve may report success for a target that is gone.
    if (GetFileAttributesA(found) == INVALID_FILE_ATTRIBUTES)
        return 0;
    char text[INFOTIPSIZE] = "";
    if (FAILED(link->GetDescription(text, INFOTIPSIZE)))
        text[0] = '\0';
    TextCopy(target, VX_PATH, found);
    TextCopy(description, ITEM_NAME, text);
    return 1;
}

// FileDescription, else ProductName (out holds ITEM_NAME).
static void DescriptionOf(const char* file, char* out)
{
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(file, strings);
    TextCopy(out, ITEM_NAME,
             strings[VS_FILE_DESCRIPTION][0] != '\0' ? strings[VS_FILE_DESCRIPTION]
                                                      : strings[VS_PRODUCT_NAME]);
}

static int EndsWithNoCase(const char* text, const char* tail)
{
    size_t n = strlen(text), m = strlen(tail);
    return n >= m && TextEqualNoCase(text + n - m, tail);
}

static void ScanStartupFolder(ItemList* list, const char* folder, int code)
{
    if (folder[0] == '\0')
        return;
    char pattern[VX_PATH + 4];
    TEXT_FORMAT(pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(pattern, &found));
    if (!find.IsValid())
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char path[VX_PATH * 2];
        TEXT_FORMAT(path, "%s\\%s", folder, found.cFileName);
        if (strlen(path) >= VX_PATH)
            continue;
        char name[ITEM_NAME] = "";
        if (EndsWithNoCase(found.cFileName, "lnk")) {
            char target[VX_PATH];
            if (!ResolveShortcut(path, target, name))
                continue;
            if (name[0] == '\0')
                DescriptionOf(target, name);
            AddItem(list, name, target, path, "", code, 0);
        } else if (EndsWithNoCase(found.cFileName, "exe")) {
            DescriptionOf(path, name);
            AddItem(list, name, path, path, "", code, 0);
        } else if (EndsWithNoCase(found.cFileName, "ini")) {
            continue;
        } else {
            AddItem(list, "", path, "", "", code, 0);
        }
    } while (FindNextFileA(find.Get(), &found));
}

static void ScanStartupFolders(ItemList* list)
{
    // Shortcuts are read through the shell's COM objects; the caller may
    // or may not have initialised COM on this thread.
    HRESULT com = CoInitialize(NULL);
    const HKEY roots[2] = { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };
    for (int r = 0; r < 2; r++) {
        char folder[VX_PATH];
        if (StartupFolderOf(roots[r], "Startup", folder) > 0)
            ScanStartupFolder(list, folder, SC_STARTUP_FOLDER);
        if (StartupFolderOf(roots[r], "Common Startup", folder) > 0)
            ScanStartupFolder(list, folder, SC_STARTUP_FOLDER);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

static void ScanDisabledFolder(ItemList* list)
{
    char folder[VX_PATH];
    if (DisabledFolder(folder, 0) == 0)
        return;
    HRESULT com = CoInitialize(NULL);
    ScanStartupFolder(list, folder, SC_STARTUP_FOLDER);
    if (SUCCEEDED(com))
        CoUninitialize();
}

// --- Step 3: WIN.INI ------------------------------------------------------------


static void ScanWinIni(ItemList* out, const char* key, int code)
{
    char* list = ReadWinIniList(key);
    if (list == NULL)
        return;
    size_t pos = 0, start = 0, length = 0;
    while (NextListSpan(list, &pos, ";", &start, &length)) {
        if (length == 0)
            continue;
        char item[ITEM_COMMAND];
        TextCopyN(item, sizeof(item), list + start, length);
        char strings[VS_COUNT][VS_SLOT];
        GetVersionStrings(item, strings);
        AddItem(out, strings[VS_PRODUCT_NAME][0] != '\0' ? strings[VS_PRODUCT_NAME] : key, item,
                "", "", code, 0);
    }
    free(list);
}

// --- Step 4: the Disabled mirrors -----------------------------------------------

static void VisitMirrorValue(const char* name, DWORD type, const char* data, void* context)
{
    if (name[0] == '\0' || !IsText(type))
        return;
    char codeText[32];
    RegReadString(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, name, codeText, sizeof(codeText));
    int code = atoi(codeText);
    if (code > 0)
        AddItem((ItemList*)context, name, data, "", "", code, 0);
}

static void ScanDisabledEntries(ItemList* list)
{
    for (int position = 1; position <= RUN_FAMILY_KEYS; position++)
        WalkKeptValues(HKEY_LOCAL_MACHINE, RunMirrorPathAt(position), 0, VisitMirrorValue, list);
    WalkKeptValues(HKEY_LOCAL_MACHINE, DISABLED_WINLOAD_KEY, 0, VisitMirrorValue, list);
    WalkKeptValues(HKEY_LOCAL_MACHINE, DISABLED_WINRUN_KEY, 0, VisitMirrorValue, list);
    ScanDisabledFolder(list);
}

// --- Steps 5 and 6: Winlogon and the system hook points ----------------------------

static void ScanWinlogon(ItemList* list)
{
    char value[VX_REG_TEXT_MAX];
    char entry[VX_REG_TEXT_MAX];
    PlaceReadText(HKEY_LOCAL_MACHINE, WINLOGON_KEY, "UserInit", value, sizeof(value));
    if (UserinitEntry(value, entry, sizeof(entry)))
        AddItem(list, "Winlogon Userinit", entry, "", "", SC_USERINIT, 0);
    PlaceReadText(HKEY_LOCAL_MACHINE, WINLOGON_KEY, "Shell", value, sizeof(value));
    if (ShellEntry(value, entry, sizeof(entry)))
        AddItem(list, "Winlogon Shell", entry, "", "", SC_SHELL, 0);
}

// An entry of a hook point: Info is always the DLL's ProductVersion.
static void AddHookItem(ItemList* list, const char* name, const char* dll, const char* extra,
                        int code, char strings[VS_COUNT][VS_SLOT])
{
    AddItem(list, name, dll, extra, strings[VS_PRODUCT_VERSION], code, 0);
}

static void VisitDelayLoad(const char* name, DWORD type, const char* data, void* context)
{
    if (!IsText(type))
        return;
    char dll[VX_PATH];
    ClassServerDll(data, dll);
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(dll, strings);
    AddHookItem((ItemList*)context, name, dll, data, SC_DELAYLOAD, strings);
}

// The list and the code of the hook point being walked.
struct HookScan {
    ItemList* list;
    int code;
};

static void VisitClassHook(const char* clsid, DWORD type, const char* data, void* context)
{
    const HookScan* scan = (const HookScan*)context;
    char title[VX_PATH];
    if (IsText(type) && data[0] != '\0')
        TextCopy(title, data);
    else
        ClassTitle(clsid, title);
    char dll[VX_PATH];
    ClassServerDll(clsid, dll);
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(dll, strings);
    AddHookItem(scan->list, title, dll, clsid, scan->code, strings);
}

static void ScanAppInitDlls(ItemList* out)
{
    char list[VX_REG_TEXT_MAX];
    if (PlaceReadText(HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, "AppInit_Dlls", list, sizeof(list)) == 0)
        return;
    size_t pos = 0, start = 0, length = 0;
    while (NextListSpan(list, &pos, ", ", &start, &length)) {
        if (length == 0)
            continue;
        char dll[VX_PATH];
        TextCopyN(dll, sizeof(dll), list + start, length);
        char strings[VS_COUNT][VS_SLOT];
        GetVersionStrings(dll, strings);
        AddItem(out, strings[VS_PRODUCT_NAME], dll, strings[VS_COMPANY_NAME],
                strings[VS_PRODUCT_VERSION], SC_APPINIT, 0);
    }
}

static void ScanNotifyPackages(ItemList* list)
{
    RegKey key;
    REGSAM view = StartupView(HKEY_LOCAL_MACHINE);
    if (key.Open(HKEY_LOCAL_MACHINE, WINLOGON_NOTIFY_KEY, KEY_READ | view) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; index++) {
        char subkey[256];
        DWORD size = sizeof(subkey);
        LONG rc = RegEnumKeyExA(key, index, subkey, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        char path[512];
        TEXT_FORMAT(path, "%s\\%s", WINLOGON_NOTIFY_KEY, subkey);
        char dll[VX_PATH];
        if (PlaceReadText(HKEY_LOCAL_MACHINE, path, "DllName", dll, sizeof(dll)) == 0)
            continue;
        char strings[VS_COUNT][VS_SLOT];
        GetVersionStrings(dll, strings);
        AddHookItem(list, subkey, dll, strings[VS_FILE_DESCRIPTION], SC_WINLOGON_NOTIFY, strings);
    }
}

static void ScanHookPoints(ItemList* list)
{
    REGSAM view = StartupView(HKEY_LOCAL_MACHINE);
    WalkKeptValues(HKEY_LOCAL_MACHINE, DELAYLOAD_KEY, view, VisitDelayLoad, list);
    HookScan scan = { list, SC_TASK_SCHEDULER };
    WalkKeptValues(HKEY_LOCAL_MACHINE, TASK_SCHEDULER_KEY, view, VisitClassHook, &scan);
    scan.code = SC_EXECUTE_HOOK;
    WalkKeptValues(HKEY_LOCAL_MACHINE, EXECUTE_HOOKS_KEY, view, VisitClassHook, &scan);
    ScanAppInitDlls(list);
    ScanNotifyPackages(list);
}

int BuildStartupList(ItemList* list, int restricted)
{
    ClearItems(list);
    ScanRunFamilies(list);
    ScanStartupFolders(list);
    ScanWinIni(list, "run", SC_WIN_RUN);
    ScanWinIni(list, "load", SC_WIN_LOAD);
    ScanDisabledEntries(list);
    int everything = !restricted || g_Options[OPT_ShowAllStartup] > 0;
    if (everything && IsWindowsNT())
        ScanWinlogon(list);
    if (everything)
        ScanHookPoints(list);
    return ItemCount(list);
}

// --- The baseline -----------------------------------------------------------------

static void ReadCodeText(const char* name, int* found, int* code)
{
    char text[32];
    *found = RegReadString(HKEY_CURRENT_USER, VX_RUN_KEY, name, text, sizeof(text)) > 0;
    *code = *found ? atoi(text) : 0;
}

// The baseline code of an entry: the value named by its Command (with
// ":" for "="), else, when that is missing or no positive number, the value
// named by its Name.  0 when neither says anything.  The table is the
// baseline as read at the start of the walk; an entry it does not know as
// positive is looked up in the registry itself, so what the walk changed
// (and every case the table's simpler folding misses) is seen as it is.
static int BaselineCodeOf(const ItemRecord* item, const NameTable* baseline)
{
    char key[ITEM_COMMAND];
    BaselineKeyOf(item->Command, key, sizeof(key));
    int code = 0;
    if (NameTableGet(baseline, key, &code) && code > 0)
        return code;
    int found = 0;
    ReadCodeText(key, &found, &code);
    if (found && code > 0)
        return code;
    ReadCodeText(item->Name, &found, &code);
    return found ? code : 0;
}

static int IsChanged(int code)
{
    return code <= 0 || code == SC_DELAYED;
}

static void RecordBaseline(const char* command, int code)
{
    char key[ITEM_COMMAND];
    BaselineKeyOf(command, key, sizeof(key));
    char text[16];
    TEXT_FORMAT(text, "%d", code);
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, text);
}

int InitRegStartups()
{
    ItemList list;
    int count = BuildStartupList(&list, 0);
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, VX_RUN_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    int recorded = 1;
    for (int i = 0; i < count; i++) {
        char name[ITEM_COMMAND];
        BaselineKeyOf(GetItemCommand(&list, i), name, sizeof(name));
        char text[16];
        TEXT_FORMAT(text, "%d", GetItemCode(&list, i));
        if (RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1) !=
            ERROR_SUCCESS)
            recorded = 0;
    }
    return recorded;
}

int StartupChanged()
{
    ItemList list;
    BuildStartupList(&list, 0);
    const NameTable* baseline = NameTableKeptBaseline(VX_RUN_KEY);
    int count = ItemCount(&list);
    for (int i = 0; i < count; i++)
        if (IsChanged(BaselineCodeOf(GetItem(&list, i), baseline)))
            return 1;
    return 0;
}

// --- The startup patrol --------------------------------------------------------------

// The delayed-start record of a program that has put itself back.  Its key
// is the program path without parameters; both the whole command and the
// part up to ".exe" are tried.
static void ForgetDelayRecord(HKEY root, const char* command)
{
    char program[ITEM_COMMAND];
    TextCopy(program, command);
    DeleteDelayRecord(root, program);
    int exe = TextIndexNoCase(program, ".exe");
    if (exe >= 0 && program[exe + 4] != '\0') {
        program[exe + 4] = '\0';
        DeleteDelayRecord(root, program);
    }
}

// Parks the entry unless it is parked already.  1 when it is parked
// afterwards; 0 when the park failed (a place or mirror that cannot be
// written) or another program's command is parked under its name, which
// parking this one would lose.
static int DisableUnlessDisabled(const ItemRecord* item)
{
    if (!DisabledIndexNames(item->Name))
        return ToggleStartupEntry(item->Name, item->Command, item->Extra, item->Code);
    if (RunMirrorPath(item->Code) != NULL)
        return RunEntryParked(item->Name, item->Command, item->Code);
    return 1;
}

// A program that put itself back after it was moved to the delayed-start
// list: keeping it forgets its delay record, refusing parks it.  The
// delayed alert offers no disable of its own.
static int ActOnDelayedReturn(const ItemRecord* item, int answer)
{
    if (answer == ANSWER_ACCEPT) {
        RecordBaseline(item->Command, item->Code);
        ForgetDelayRecord(item->Code < 11 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                          item->Command);
        return 1;
    }
    if (answer == ANSWER_REJECT) {
        if (!DisableUnlessDisabled(item)) {
            UiNotify(NOTICE_DISABLE_FAILED, item->Command);
            return 0;
        }
        RecordBaseline(item->Command, item->Code);
        return 1;
    }
    return 0;
}

// The last command the user was asked about and how often in a row it came
// back right after being answered.
static char s_lastAsked[ITEM_COMMAND];
static int s_askedInRow = 0;

void ResetStartupRepeat()
{
    s_lastAsked[0] = '\0';
    s_askedInRow = 0;
}

// A program that comes back at once however it is answered fights back:
// the third question in a row about the same command parks it instead,
// and the user is told why.  Only questions the user saw count.
static int RepeatRule(const ItemRecord* item, int answer)
{
    if (g_Options[OPT_HideStartup] != 0)
        return answer;
    if (TextEqualNoCase(item->Command, s_lastAsked))
        s_askedInRow++;
    else
        s_askedInRow = 0;
    TextCopy(s_lastAsked, item->Command);
    if (s_askedInRow >= 2 && (answer == ANSWER_ACCEPT || answer == ANSWER_REJECT)) {
        ResetStartupRepeat();
        UiNotify(NOTICE_PROGRAM_FIGHTS_BACK, item->Command);
        return ANSWER_DISABLE;
    }
    return answer;
}

static int ActOnNewEntry(const ItemRecord* item, int answer)
{
    answer = RepeatRule(item, answer);
    // A Winlogon notify package is never deleted: "No" switches it off.
    if (answer == ANSWER_REJECT && item->Code == SC_WINLOGON_NOTIFY)
        answer = ANSWER_DISABLE;
    if (answer == ANSWER_ACCEPT) {
        RecordBaseline(item->Command, item->Code);
    } else if (answer == ANSWER_REJECT) {
        EndProgramIfRunning(item->Command);
        if (!RemoveStartupEntry(item->Name, item->Command, item->Extra, item->Code)) {
            // Still there: it keeps its place out of the baseline and is
            // asked about again.
            UiNotify(NOTICE_REMOVE_FAILED, item->Command);
            return 0;
        }
    } else if (answer == ANSWER_DISABLE) {
        EndProgramIfRunning(item->Command);
        if (!DisableUnlessDisabled(item)) {
            UiNotify(NOTICE_DISABLE_FAILED, item->Command);
            return 0;
        }
        // The user has decided: the parked entry is listed from its mirror
        // from now on and must not be asked about at every patrol.
        RecordBaseline(item->Command, item->Code);
        WriteHistory(item->Name, item->Command, item->Extra, item->Code, HA_START_DISABLE);
    } else {
        return 0;
    }
    return 1;
}

// --- The startup category ------------------------------------------------------------

static int ListStartup(ItemList* out)
{
    return BuildStartupList(out, 0);
}

// The Startup page's listing: the secret places only when "ShowAllStartup"
// asks for them.
static int ListAllStartup(ItemList* out)
{
    return BuildStartupList(out, 1);
}

static int RecordStartupDetected()
{
    ItemList list;
    int count = BuildStartupList(&list, 0);
    for (int i = 0; i < count; i++)
        RecordDetected(GetItemCommand(&list, i), DETECTED_STARTUP_KEY);
    return 1;
}

static int TellStartupEntry(const ItemRecord* item, void* context)
{
    int code = BaselineCodeOf(item, (const NameTable*)context);
    if (!IsChanged(code))
        return VERDICT_KNOWN;
    if (code == SC_DELAYED)
        return VERDICT_RETURNED;
    // That installer's helper removes itself: asking about it, or about
    // anything after it in this walk, would only find stale entries.
    if (ContainsNoCase(item->Name, "McAfee Application Installer Cleanup"))
        return VERDICT_STOP;
    return VERDICT_NEW;
}

static int ActOnStartupEntry(const ItemRecord* item, int verdict, int answer)
{
    return verdict == VERDICT_RETURNED ? ActOnDelayedReturn(item, answer)
                                       : ActOnNewEntry(item, answer);
}

// --- The alerts ----------------------------------------------------------------

// A new entry: the location sentence fills the message, and a Winlogon
// value or shell hook is headed by its place instead of the product name.
static const AlertLine s_newEntryLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION, 0 },
    { IDC_ALERT_MESSAGE, IDS_STARTUP_MESSAGE, ALERT_LINE_FILLED | ALERT_LINE_BODY_FONT },
    { 0, 0, 0 },
};

static const AlertDescription s_newEntryAlert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_STARTUP, IDS_ALERT_TITLE, s_newEntryLines,
    IDYES, IDS_YES, IDNO, IDS_NO, ANSWER_ACCEPT,
    1, IDS_TIP_STARTUP,  // sound, tray tip
    ALERT_HEADING_IS_PRODUCT, HA_START_ALERT, -1,
};

// A delayed program back among the startup entries: keep it, or disable it.
static const AlertLine s_returnedLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION, 0 },
    { IDC_ALERT_MESSAGE, IDS_DELAYED_MESSAGE, 0 },
    { 0, 0, 0 },
};

static const AlertDescription s_returnedAlert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_DELAYED, IDS_DELAYED_TITLE, s_returnedLines,
    IDYES, IDS_YES, IDNO, IDS_DISABLE, ANSWER_ACCEPT,
    -1, IDS_TIP_STARTUP,  // silent; tray tip
    ALERT_HEADING_IS_PRODUCT, -1, -1,
};

static void DescribeStartupEntry(const ItemRecord* item, int verdict, AlertRequest* request)
{
    if (verdict == VERDICT_RETURNED)
        return;
    LoadText(StartupLocationTextId(item->Code), request->Details[0], ALERT_DETAIL);
    TextCopy(request->Heading, StartupHookLabel(item->Code));
}

static int UserStartupFolder(char* out)
{
    return StartupFolderOf(HKEY_CURRENT_USER, "Startup", out, VX_PATH);
}

static int CommonStartupFolder(char* out)
{
    return StartupFolderOf(HKEY_LOCAL_MACHINE, "Common Startup", out, VX_PATH);
}

#define CV_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\"
#define WOW_CV_KEY "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
#define RUN_PLACES(root, prefix, flags)                                            \
    { WATCH_KEY, root, prefix "Run", NULL, flags },                                \
    { WATCH_KEY, root, prefix "RunOnce", NULL, (flags) | WATCH_SUBTREE },          \
    { WATCH_KEY, root, prefix "RunOnceEx", NULL, (flags) | WATCH_SUBTREE },        \
    { WATCH_KEY, root, prefix "RunServices", NULL, flags },                        \
    { WATCH_KEY, root, prefix "RunServicesOnce", NULL, flags },                    \
    { WATCH_KEY, root, prefix "policies\\Explorer\\Run", NULL, flags }

// Every place the startup list is read from: the Run family (RunOnce with
// its Setup key below it), WIN.INI's load and run, Winlogon and its hooks,
// and the two Startup folders.
static const WatchPlace s_watch[] = {
    RUN_PLACES(HKEY_LOCAL_MACHINE, CV_KEY, WATCH_SYSTEM_VIEW),
    RUN_PLACES(HKEY_CURRENT_USER, CV_KEY, 0),
    RUN_PLACES(HKEY_LOCAL_MACHINE, WOW_CV_KEY, WATCH_SYSTEM_VIEW | WATCH_EXISTING),
    { WATCH_KEY, HKEY_CURRENT_USER, NT_WINDOWS_KEY, NULL, 0 },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, NULL, WATCH_SYSTEM_VIEW },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, WINLOGON_KEY, NULL, WATCH_SYSTEM_VIEW | WATCH_SUBTREE },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, DELAYLOAD_KEY, NULL, WATCH_SYSTEM_VIEW },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, TASK_SCHEDULER_KEY, NULL, WATCH_SYSTEM_VIEW },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, EXECUTE_HOOKS_KEY, NULL, WATCH_SYSTEM_VIEW },
    { WATCH_FOLDER, NULL, NULL, UserStartupFolder, 0 },
    { WATCH_FOLDER, NULL, NULL, CommonStartupFolder, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

// Startup programs: the baseline is laid with the store itself (first run,
// every new version, the clean-up) and kept by the same mark as the other
// categories'; a Run key of a store from before the mark is taken as it
// stands.
const Category g_StartupCategory = {
    "Startup Programs", "Startup", VX_RUN_KEY, OPT_Start, OPT_RealtimeStartup, OPT_HideStartup,
    0, &s_newEntryAlert, &s_returnedAlert,
    CAT_BASELINE_TABLE | CAT_ADOPTS_UNMARKED | CAT_CLEANED_UP,
    NULL, NULL, InitRegStartups, NULL, RecordStartupDetected, ListStartup, NULL, NULL,
    TellStartupEntry, DescribeStartupEntry, ActOnStartupEntry, UndoStartupLine,
    ListAllStartup, s_watch,
};
