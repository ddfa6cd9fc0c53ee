// The scan log (reports/scan_log.h).  Every line goes out through the log's
// line rule: a value can never end its line or forge another.
#include "reports/scan_log.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "categories/activex.h"
#include "categories/cookies.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/ie_helpers.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/sysfiles.h"
#include "categories/tasks.h"
#include "foundation/browser.h"
#include "foundation/date_text.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "reports/log_sources.h"
#include "reports/os_name.h"
#include "reports/report_file.h"
#include "reports/log_lines.h"
#include "reports/scan_log_parts.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"

#define IE_MAIN_KEY "Software\\Microsoft\\Internet Explorer\\Main"
#define SYSTEM_POLICIES_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"
#define URL_DEFAULT_PREFIX_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix"
#define URL_PREFIXES_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes"
#define APP_PATHS_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"
#define AUTO_UPDATE_KEY \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update"
#define DESKTOP_COMPONENTS_KEY "Software\\Microsoft\\Internet Explorer\\Desktop\\Components"
// The longest HOSTS file read, and the longest iereset.inf.
#define HOSTS_READ_MAX 652780
#define IERESET_READ_MAX 16384

// --- Lines -----------------------------------------------------------------------------

// One line of up to eight parts, each through the line rule, then CR LF.
static void Line(ReportFile& f, const char* a, const char* b = "", const char* c = "",
                 const char* d = "", const char* e = "", const char* g = "", const char* h = "",
                 const char* i = "")
{
    const char* parts[] = { a, b, c, d, e, g, h, i };
    for (const char* part : parts)
        PutLogText(f, part);
    f.EndLine();
}

static void Blank(ReportFile& f)
{
    f.EndLine();
}

// A line only when its value is there.
static int LineIf(ReportFile& f, const char* start, const char* value)
{
    if (value == NULL || value[0] == '\0')
        return 0;
    Line(f, start, value);
    return 1;
}

// --- The header ------------------------------------------------------------------------

void ScanLogTimeAndDate(char* timeText, char* dateText)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FormatLogTime(now.wHour, now.wMinute, now.wSecond, timeText, LOG_DATE_TEXT);
    FormatLogDate(now.wMonth, now.wDay, now.wYear, dateText, LOG_DATE_TEXT);
}

void PutScanLogHeader(ReportFile& f)
{
    char version[VX_PATH * 2];
    GetOwnVersionText(version);
    Line(f, "Log created by ", ProductCaption(), " version ", version);
    char timeText[LOG_DATE_TEXT], dateText[LOG_DATE_TEXT];
    ScanLogTimeAndDate(timeText, dateText);
    Line(f, "Scan saved at ", timeText, ", on ", dateText);
}

// "MSIE: <description> (<version>)", or the line that it is not there.
static void InternetExplorerLine(ReportFile& f)
{
    char path[VX_PATH];
    InternetExplorerPath(path);
    DWORD attributes = path[0] != '\0' ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Line(f, "MSIE: Internet Explorer Not found.");
        return;
    }
    KeptVersion facts;
    KeptVersionOf(path, &facts);
    Line(f, "MSIE: ", facts.description, " (", facts.productVersion, ")");
}

static void WriteHeader(ReportFile& f, ItemList* list)
{
    PutScanLogHeader(f);
    char name[256];
    GetOSName(name);
    Line(f, "Platform: ", name);
    InternetExplorerLine(f);
    static const char* const bootModes[] = { "Normal", "Safe", "Safe with Network" };
    int boot = GetSystemMetrics(SM_CLEANBOOT);
    Line(f, "Boot mode: ", boot >= 0 && boot <= 2 ? bootModes[boot] : "Unknown");
    Blank(f);

    char text[128];
    LoadText(TXT_LOG_RUNNING_PROCESSES, text, sizeof(text));
    Line(f, text);
    g_ActiveTasksCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++)
        Line(f, GetItemCommand(list, i));
    Blank(f);
}

// --- Registry values of any length --------------------------------------------------

// A text value whatever its length, as stored (an expandable one is not
// expanded; of a multi-string, the first string).  NULL when missing or no
// text.  Free it with free.
static char* ReadValueText(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE | StartupView(root)) != ERROR_SUCCESS)
        return NULL;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return NULL;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        return NULL;
    DWORD room = size;
    char* text = (char*)malloc((size_t)room + 1);
    if (text == NULL)
        return NULL;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)text, &size) != ERROR_SUCCESS
        || size > room) {
        free(text);
        return NULL;
    }
    text[size] = '\0';
    return text;
}

static int LineOfValue(ReportFile& f, const char* start, HKEY root, const char* path,
                       const char* name, const char* middle = "")
{
    char* value = ReadValueText(root, path, name);
    int written = 0;
    if (value != NULL && value[0] != '\0') {
        Line(f, start, middle, value);
        written = 1;
    }
    free(value);
    return written;
}

// The lowest byte of a REG_DWORD; -1 when missing.
static int DwordLowByte(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE | StartupView(root)) != ERROR_SUCCESS)
        return -1;
    DWORD type = 0, data = 0, size = sizeof(data);
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)&data, &size) != ERROR_SUCCESS
        || type != REG_DWORD)
        return -1;
    return (int)(data & 0xFF);
}

// --- R and F lines ---------------------------------------------------------------------

static void WriteStartPages(ReportFile& f)
{
    struct PageLine {
        const char* code;
        HKEY root;
        const char* rootName;
        const char* value;
    };
    static const PageLine lines[] = {
        { "R1 - ", HKEY_CURRENT_USER, "HKCU", "Default_Page_URL" },
        { "R0 - ", HKEY_CURRENT_USER, "HKCU", "Start Page" },
        { "R1 - ", HKEY_LOCAL_MACHINE, "HKLM", "Default_Page_URL" },
        { "R0 - ", HKEY_LOCAL_MACHINE, "HKLM", "Start Page" },
        { "R1 - ", HKEY_CURRENT_USER, "HKCU", "Window Title" },
        { "R0 - ", HKEY_LOCAL_MACHINE, "HKLM", "Window Title" },
    };
    for (const PageLine& l : lines) {
        char* value = ReadValueText(l.root, IE_MAIN_KEY, l.value);
        if (value != NULL && value[0] != '\0')
            Line(f, l.code, l.rootName, "\\" IE_MAIN_KEY ",", l.value, " = ", value);
        free(value);
    }
}

static void WriteStartupFiles(ReportFile& f)
{
    char windows[VX_PATH], ini[VX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    TEXT_FORMAT(ini, "%s\\system.ini", windows);
    char value[1024];
    GetPrivateProfileStringA("Boot", "Shell", "", value, sizeof(value), ini);
    if (!TextEqualNoCase(value, "Explorer.exe"))
        LineIf(f, "F0 - system.ini: Shell=", value);
    static const char* const winIniKeys[] = { "run", "load" };
    for (const char* key : winIniKeys) {
        char* list = ReadWinIniList(key);
        if (list != NULL && list[0] != '\0')
            Line(f, "F1 - win.ini: ", key, "=", list);
        free(list);
    }
    GetPrivateProfileStringA("Boot", "UserInit", "", value, sizeof(value), ini);
    LineIf(f, "F2 - REG: system.ini: UserInit=", value);
    LineOfValue(f, "F3 - HKCU Load=", HKEY_CURRENT_USER, NT_WINDOWS_KEY, "Load");
    LineOfValue(f, "F3 - HKCU Run=", HKEY_CURRENT_USER, NT_WINDOWS_KEY, "Run");
}

// --- O lines ---------------------------------------------------------------------------

static void WriteHosts(ReportFile& f)
{
    char path[VX_PATH];
    if (GetHostsPath(path) == 0)
        return;
    DWORD size = HOSTS_READ_MAX;
    char* text = ReadTextFile(path, &size, 0);
    if (text == NULL)
        return;
    char line[HOSTS_LOG_LINE];
    // NUL bytes are part of a line like any other: walk by the length read.
    size_t start = 0;
    for (size_t i = 0; i <= size; i++) {
        if (i < size && text[i] != '\r' && text[i] != '\n')
            continue;
        if (HostsLogLine(text + start, i - start, line, sizeof(line)))
            Line(f, "O1 - Hosts: ", line);
        start = i + 1;
    }
    FreeTextFile(text);
}

static void WriteHelpers(ReportFile& f, ItemList* list)
{
    EnumLogBHO(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, "O2 - BHO: ", r->Name, " - ", r->Extra, " - ", r->Command);
    }
    EnumLogToolbars(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, "O3 - Toolbar: ", r->Name, " - ", r->Extra, " - ", r->Command);
    }
}

static void WriteStartupList(ReportFile& f, ItemList* list)
{
    g_StartupCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (r->Code != SC_STARTUP_FOLDER)
            Line(f, StartupLineStart(r->Code), "[", r->Name, "]", r->Command);
    }
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (r->Code == SC_STARTUP_FOLDER)
            Line(f, "O4 - Global Startup: ", r->Extra + FileNameOffset(r->Extra), "=",
                 r->Command);
    }
}

static void WritePolicies(ReportFile& f)
{
    char value[1024];
    if (RegReadString(HKEY_CURRENT_USER, "Control Panel\\don't load", "inetcpl.cpl", value,
                      sizeof(value)) > 0
        && TextFindNoCase(value, "no"))
        Line(f, "O5 - control.ini: inetcpl.cpl=", value);
    static const char* const restrictions[] = {
        "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions",
        "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel",
    };
    for (const char* key : restrictions)
        if (RegKeyExists(HKEY_CURRENT_USER, key))
            Line(f, "O6 - HKCU\\", key, " present");
    static const char* const tools[][2] = {
        { "DisableRegistryTools", "DisableRegistryTools =" },
        { "DisableRegEdit", "DisableRegEdit=" },
        { "DisableTaskMgr", "DisableTaskMgr =" },
    };
    for (const auto& tool : tools) {
        int byte = DwordLowByte(HKEY_CURRENT_USER, SYSTEM_POLICIES_KEY, tool[0]);
        if (byte <= 0)
            continue;
        char number[8];
        TEXT_FORMAT(number, "%d", byte);
        Line(f, "O7 - HKCU\\" SYSTEM_POLICIES_KEY ", ", tool[1], number);
    }
}

static void WriteExtensions(ReportFile& f, ItemList* list)
{
    EnumLogMenuExt(list);
    for (int i = 0; i < ItemCount(list); i++)
        Line(f, "O8 - Extra context menu item: ", GetItemName(list, i), " - ",
             GetItemCommand(list, i));
    EnumLogExtensions(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, r->Code == LOG_EXT_BUTTON ? "O9 - Extra button: " : "O9 - Extra 'Tools' menuitem: ",
             r->Name, " - ", r->Extra, " - ", r->Command);
    }
    EnumLogAdvancedOptions(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, "O11 - Options group: [", r->Name, "] ", r->Name, " - ", r->Extra);
    }
    EnumLogPlugins(list);
    for (int i = 0; i < ItemCount(list); i++)
        Line(f, "O12 - Plugin for ", GetItemName(list, i), ": ", GetItemCommand(list, i));
}

// A prefix value longer than seven characters.
static void PrefixLine(ReportFile& f, const char* start, const char* path, const char* name)
{
    char* value = ReadValueText(HKEY_LOCAL_MACHINE, path, name);
    if (value != NULL && strlen(value) > 7)
        Line(f, start, value);
    free(value);
}

static void WriteIeReset(ReportFile& f)
{
    char windows[VX_PATH], inf[VX_PATH], value[1024];
    GetWindowsDirectoryA(windows, sizeof(windows));
    TEXT_FORMAT(inf, "%s\\inf\\iereset.inf", windows);
    GetPrivateProfileStringA("Strings", "START_PAGE_URL", "", value, sizeof(value), inf);
    LineIf(f, "O14 - IERESET.INF: START_PAGE_URL = ", value);
    GetPrivateProfileStringA("Strings", "SEARCH_PAGE_URL", "", value, sizeof(value), inf);
    LineIf(f, "O14 - IERESET.INF: SEARCH_PAGE_URL = ", value);

    DWORD size = IERESET_READ_MAX;
    char* text = ReadTextFile(inf, &size, 0);
    if (text == NULL)
        return;
    size_t start = 0;
    for (size_t i = 0; i <= size; i++) {
        if (i < size && text[i] != '\r' && text[i] != '\n' && text[i] != '\0')
            continue;
        char line[IERESET_READ_MAX + 1];
        TextCopyN(line, sizeof(line), text + start, i - start);
        start = i + 1;
        IeResetPage parsed;
        for (int n = 0; IeResetMatch(line, n, &parsed); n++)
            Line(f, "O14 - IERESET.INF:", parsed.root, " ", parsed.name, " = ", parsed.value);
    }
    FreeTextFile(text);
}

// The control sets the log looks at, with the names it prints.
static const char* const s_controlSets[][2] = {
    { "SYSTEM\\ControlSet001", "CS1" },
    { "SYSTEM\\CurrentControlSet", "CCS" },
    { "SYSTEM\\ControlSet002", "CS2" },
    { "SYSTEM\\ControlSet003", "CS3" },
};

static void WriteNetwork(ReportFile& f)
{
    char path[300], start[64];
    for (const auto& set : s_controlSets) {
        TEXT_FORMAT(path, "%s\\Services\\Tcpip\\Parameters", set[0]);
        TEXT_FORMAT(start, "O17 - HKLM\\%s: SearchList = ", set[1]);
        LineOfValue(f, start, HKEY_LOCAL_MACHINE, path, "SearchList");
        TEXT_FORMAT(start, "O17 - HKLM\\%s: NameServer = ", set[1]);
        LineOfValue(f, start, HKEY_LOCAL_MACHINE, path, "NameServer");
    }
    for (const auto& set : s_controlSets) {
        TEXT_FORMAT(path, "%s\\Services\\VxD\\MSTCP", set[0]);
        TEXT_FORMAT(start, "O17 - HKLM\\System\\%s\\Services\\VxD\\MSTCP: Domain = ", set[1]);
        LineOfValue(f, start, HKEY_LOCAL_MACHINE, path, "Domain");
        TEXT_FORMAT(path, "%s\\Services\\Tcpip\\Parameters", set[0]);
        TEXT_FORMAT(start, "O17 - HKLM\\System\\%s\\Services\\Tcpip\\Parameters: Domain = ",
                    set[1]);
        LineOfValue(f, start, HKEY_LOCAL_MACHINE, path, "Domain");
    }
}

static void WriteShellObjects(ReportFile& f, ItemList* list)
{
    EnumLogDelayLoad(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (!IsWellKnownShellObject(r->Extra))
            Line(f, "O21 - ", r->Info, " - ", r->Name, " - ", r->Extra, " - ", r->Command);
    }
    EnumLogSharedTaskScheduler(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (!TextFindNoCase(r->Command, "browseui.dll"))
            Line(f, "O22 - SharedTaskScheduler: (", r->Name, ") - ", r->Extra, " - ", r->Command);
    }
}

static void WriteServices(ReportFile& f, ItemList* list)
{
    g_ServicesCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        KeptVersion facts;
        KeptVersionOf(r->Command, &facts);
        Line(f, "O23 - Service: ", r->Name, " - ", facts.companyName, " - ", r->Command);
    }
}

static void WriteDesktopComponents(ReportFile& f)
{
    for (int n = 0; n <= 8; n++) {
        char path[200], name[1024], source[1024];
        TEXT_FORMAT(path, DESKTOP_COMPONENTS_KEY "\\%d", n);
        if (RegReadString(HKEY_CURRENT_USER, path, "FriendlyName", name, sizeof(name)) == 0)
            break;
        if (TextFindNoCase(name, "Current Home Page"))
            continue;
        RegReadString(HKEY_CURRENT_USER, path, "Source", source, sizeof(source));
        char number[8];
        TEXT_FORMAT(number, "%d", n);
        Line(f, "O24 -  Desktop Component ", number, ": ", name, " - ", source);
    }
}

static void WriteFindings(ReportFile& f, ItemList* list)
{
    WriteHosts(f);
    WriteHelpers(f, list);
    WriteStartupList(f, list);
    WritePolicies(f);
    WriteExtensions(f, list);
    PrefixLine(f, "O13 - DefaultPrefix: ", URL_DEFAULT_PREFIX_KEY, "");
    PrefixLine(f, "O13 - WWW Prefix: ", URL_PREFIXES_KEY, "www");
    PrefixLine(f, "O13 -  WWW. Prefix: ", URL_PREFIXES_KEY, "www.");
    WriteIeReset(f);
    EnumLogTrustedZone(list);
    for (int i = 0; i < ItemCount(list); i++)
        Line(f, "O15 - Trusted Zone: ", GetItemName(list, i));
    EnumLogDPF(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, "O16 - DPF: ", r->Info, " (", r->Name, ") - ", r->Command);
    }
    WriteNetwork(f);
    LineOfValue(f, "O19 -  User style sheet: ", HKEY_CURRENT_USER,
                "Software\\Microsoft\\Internet Explorer\\Styles", "User Stylesheet");
    if (LineOfValue(f, "O20 - AppInit_DLLs: ", HKEY_LOCAL_MACHINE, NT_WINDOWS_KEY, "AppInit_DLLs"))
        Blank(f);
    WriteShellObjects(f, list);
    WriteServices(f, list);
    WriteDesktopComponents(f);
    Blank(f);
}

// --- Additional information ------------------------------------------------------------

static void WriteBrowsers(ReportFile& f)
{
    char path[VX_PATH];
    if (DefaultBrowserPath(path) > 0) {
        KeptVersion facts;
        KeptVersionOf(path, &facts);
        Line(f, "Default Browser: ", facts.productName, " - ", facts.description, " version ",
             facts.productVersion);
    } else {
        Line(f, "Browser: Unable to find default browser.");
    }
    InternetExplorerLine(f);

    char key[300], program[VX_PATH], folder[VX_PATH];
    if (FindAolWindow() != NULL) {
        TEXT_FORMAT(key, "%s\\AOL.EXE", APP_PATHS_KEY);
        if (PlaceReadText(HKEY_LOCAL_MACHINE, key, "", program, sizeof(program)) > 0) {
            KeptVersion facts;
            KeptVersionOf(program, &facts);
            Line(f, "America Online version ", facts.productVersion, " running ", program);
        }
    }
    static const char* const others[][2] = {
        { "firefox.exe", "Firefox " }, { "Mozilla.exe", "Mozilla " }, { "Netscp.exe", "Netscape " },
    };
    for (const auto& other : others) {
        TEXT_FORMAT(key, "%s\\%s", APP_PATHS_KEY, other[0]);
        if (PlaceReadText(HKEY_LOCAL_MACHINE, key, "", program, sizeof(program)) == 0)
            continue;
        StripQuotes(program, program, sizeof(program));
        if (GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES)
            continue;
        KeptVersion facts;
        KeptVersionOf(program, &facts);
        PlaceReadText(HKEY_LOCAL_MACHINE, key, "Path", folder, sizeof(folder));
        Line(f, other[1], facts.productVersion, " installed in ", folder, ".");
    }
}

static void WriteCookieCounts(ReportFile& f, ItemList* list)
{
    int mode = CookieMode();
    char folder[VX_PATH], count[16];
    if (GetIECookieFolder(folder)) {
        SetCookieMode(COOKIE_MODE_IE);
        TEXT_FORMAT(count, "%d", ListCookies(list, 0));
        Line(f, count, " IE Cookies in Folder: ", folder);
    }
    if (GetMozillaProfileFolder(folder)) {
        SetCookieMode(COOKIE_MODE_MOZILLA);
        TEXT_FORMAT(count, "%d", ListCookies(list, 0));
        Line(f, count, " Mozilla Cookies in Folder: ", folder);
    }
    SetCookieMode(mode);
    Blank(f);
}

static void WriteSessionManager(ReportFile& f)
{
    int any = 0;
    char path[300], start[64];
    for (const auto& set : s_controlSets) {
        TEXT_FORMAT(path, "%s\\Control\\Session Manager", set[0]);
        TEXT_FORMAT(start, "WP00 - HKLM\\%s: BootExecute = ", set[1]);
        any |= LineOfValue(f, start, HKEY_LOCAL_MACHINE, path, "BootExecute");
        TEXT_FORMAT(start, "WP01 - HKLM\\%s: PendingFileRenameOperations = ", set[1]);
        any |= LineOfValue(f, start, HKEY_LOCAL_MACHINE, path, "PendingFileRenameOperations");
    }
    any |= LineOfValue(f, "WP02 - HKLM\\CCS: Command = ", HKEY_LOCAL_MACHINE,
                       "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                       "ComSpec");
    if (any)
        Blank(f);

    int mode = DwordLowByte(HKEY_LOCAL_MACHINE, AUTO_UPDATE_KEY, "AUOptions");
    if (mode > 0) {
        char number[8], text[512];
        TEXT_FORMAT(number, "%d", mode);
        LoadText(TXT_LOG_UPDATE_MODE + mode, text, sizeof(text));
        Line(f, "WP03 - Windows Automatic Update = ", number, ":", text);
        Blank(f);
    }
}

static void WriteListings(ReportFile& f, ItemList* list)
{
    BuildDelayList(list);
    for (int i = 0; i < ItemCount(list); i++)
        Line(f, "WP06 - Delayed Start: [", GetItemName(list, i), "]", GetItemCommand(list, i));
    Blank(f);

    int any = LineOfValue(f, "WP08 - HKLM\\" URL_DEFAULT_PREFIX_KEY ": Default = ",
                          HKEY_LOCAL_MACHINE, URL_DEFAULT_PREFIX_KEY, "");
    any |= LineOfValue(f, "WP08 - HKLM\\" URL_PREFIXES_KEY ": www = ", HKEY_LOCAL_MACHINE,
                       URL_PREFIXES_KEY, "www");
    if (any)
        Blank(f);

    g_TasksCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, "WP31 - Scheduled Tasks: [", r->Name, "]", r->Command, " ", r->Info);
    }
    Blank(f);

    EnumActiveXAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (!((DWORD)r->Flag & ACTIVEX_KILL_BIT))
            Line(f, "WP16 - ActiveX: ", r->Extra, " [", r->Name, "] ", r->Command, " ", r->Info);
    }
    Blank(f);

    g_HiddenFilesCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list) && i < 41; i++)
        Line(f, "WP32 - Hidden File: ", GetItemCommand(list, i));
    Blank(f);

    g_FileTypesCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        Line(f, "WP33 - File Type ", r->Info, ": [", r->Name, "]", r->Command);
    }
    Blank(f);
}

static void WriteMemory(ReportFile& f)
{
    MEMORYSTATUSEX status;
    ZeroMemory(&status, sizeof(status));
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return;
    char number[32];
    GroupThousands((long long)status.dwMemoryLoad, number);
    Line(f, "Memory currently in use: ", number, "%");
    GroupThousands((long long)(status.ullAvailPhys / 1024), number);
    Line(f, "Physical Memory Free: ", number, " KB");
    GroupThousands((long long)(status.ullAvailPageFile / 1024), number);
    Line(f, "Paging File Free: ", number, " KB");
    GroupThousands((long long)(status.ullAvailVirtual / 1024), number);
    Line(f, "Virtual Memory Free: ", number, " KB");
}

// --- The file --------------------------------------------------------------------------

void PutScanLog(ReportFile& f)
{
    ItemList list;
    WriteHeader(f, &list);
    WriteStartPages(f);
    WriteStartupFiles(f);
    WriteFindings(f, &list);
    Line(f, "---  Additional Vardex Info  ---");
    WriteBrowsers(f);
    WriteCookieCounts(f, &list);
    WriteSessionManager(f);
    WriteListings(f, &list);
    WriteMemory(f);
    Blank(f);
    Blank(f);
    Line(f, "--");
    Line(f, "End of file");
}

int WriteScanLog(const char* path)
{
    return WriteLogAndOpen(path, PutScanLog);
}
