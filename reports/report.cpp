// The report of every category, as an HTML page or a tab-separated text
// (see report.h).  Each section is a category row's full listing, the one
// its page shows; the report adds only what it says of each item.
#include "reports/report.h"

#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "categories/activex.h"
#include "categories/cookies.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/ie_helpers.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "foundation/browser.h"
#include "foundation/category_record.h"
#include "foundation/date_text.h"
#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/lookup_query.h"
#include "foundation/name_table.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"
#include "foundation/version_info.h"
#include "reports/report_file.h"
#include "reports/report_text.h"
#include "resources/explorer_pages.h"
#include "resources/pages/reports.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"
#include "startup/startup_text.h"


// The sections in report order: the anchor is the place in this table.
enum SectionKind { SECTION_PLAIN, SECTION_SERVICES, SECTION_HELPERS };
struct ReportSection {
    int TitleText;
    const Category* Row;
    SectionKind Kind;
};

static const ReportSection s_sections[] = {
    { IDS_REPORT_STARTUP, &g_StartupCategory, SECTION_PLAIN },
    { IDS_REPORT_DELAYED, &g_DelayedCategory, SECTION_PLAIN },
    { IDS_REPORT_ACTIVE_TASKS, &g_ActiveTasksCategory, SECTION_PLAIN },
    { IDS_REPORT_SCHEDULED, &g_TasksCategory, SECTION_PLAIN },
    { IDS_REPORT_IE_HELPERS, &g_IEHelpersCategory, SECTION_HELPERS },
    { IDS_REPORT_FILE_TYPES, &g_FileTypesCategory, SECTION_PLAIN },
    { IDS_REPORT_SERVICES, &g_ServicesCategory, SECTION_SERVICES },
    { IDS_REPORT_HIDDEN, &g_HiddenFilesCategory, SECTION_PLAIN },
    { IDS_REPORT_ACTIVEX, &g_ActiveXCategory, SECTION_PLAIN },
};
#define SECTION_COUNT ((int)(sizeof(s_sections) / sizeof(s_sections[0])))

static ReportNameProc s_platformName = NULL;

void SetReportPlatformName(ReportNameProc name) { s_platformName = name; }

const char* ReportFileName(int format)
{
    return format == REPORT_TEXT ? "VardexLog.txt" : "VardexLog.html";
}

// ---------------------------------------------------------------------------
// What the report says of a program file: its version texts, read once per
// file however many entries name it.

struct ProgramTexts {
    char Text[VS_COUNT][KEPT_VERSION_TEXT];
};

struct ProgramCache {
    ProgramFolders Folders;
    NameTable Seen;        // expanded path -> place in Texts
    ProgramTexts* Texts;
    int Count, Room;
};

static void OpenCache(ProgramCache* cache)
{
    ReadProgramFolders(&cache->Folders);
    NameTableInit(&cache->Seen);
    cache->Texts = NULL;
    cache->Count = cache->Room = 0;
}

static void CloseCache(ProgramCache* cache)
{
    NameTableFree(&cache->Seen);
    free(cache->Texts);
}

static const ProgramTexts s_noTexts = {};

// The version texts of the program a command names; all "" when the file
// has none (or memory ran out).
static const ProgramTexts* TextsOf(ProgramCache* cache, const char* command, char* program,
                                   size_t programSize)
{
    ExpandProgramPathIn(&cache->Folders, command, program, programSize);
    if (program[0] == '\0')
        return &s_noTexts;
    int at = 0;
    if (NameTableGet(&cache->Seen, program, &at))
        return &cache->Texts[at];
    if (!GrowBlock(&cache->Texts, &cache->Room, cache->Count, 64))
        return &s_noTexts;
    char (*strings)[VS_SLOT] = (char (*)[VS_SLOT])malloc(sizeof(char[VS_COUNT][VS_SLOT]));
    if (strings == NULL)
        return &s_noTexts;
    ProgramTexts* texts = &cache->Texts[cache->Count];
    // Only a file that can hold a version resource is asked for one.
    int holds = GetFileAttributesA(program) != INVALID_FILE_ATTRIBUTES && CanHoldResources(program);
    GetVersionStrings(holds ? program : "", strings);
    for (int i = 0; i < VS_COUNT; i++)
        TextCopy(texts->Text[i], strings[i]);
    free(strings);
    if (NameTablePut(&cache->Seen, program, cache->Count))
        cache->Count++;
    return texts;
}

// ---------------------------------------------------------------------------
// The header.

// A REG_SZ value of up to 16384 characters ("" when missing).
static void ReadLongString(HKEY root, const char* path, const char* name, char* out,
                           DWORD outSize)
{
    out[0] = '\0';
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return;
    DWORD type = 0, size = outSize - 1;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        size = 0;
    out[size < outSize ? size : outSize - 1] = '\0';
}

static void HeaderLine(ReportFile& file, const char* label, const char* value)
{
    if (value[0] == '\0')
        return;
    file.Put(label);
    PutHtmlText(file, value);
    file.Put("<br>\r\n");
}

#define APP_PATHS "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"

// "America Online version ...", "Firefox ... installed in ...": each
// browser registered under App Paths whose file is there.
static void OtherBrowsers(ReportFile& file)
{
    static const struct { const char* exe; const char* label; } browsers[] = {
        { "AOL.EXE", "America Online" }, { "firefox.exe", "Firefox" },
        { "Mozilla.exe", "Mozilla" }, { "Netscp.exe", "Netscape" },
    };
    for (const auto& browser : browsers) {
        char key[VX_PATH], program[VX_PATH], folder[VX_PATH];
        TEXT_FORMAT(key, APP_PATHS "%s", browser.exe);
        if (RegReadString(HKEY_LOCAL_MACHINE, key, "", program, sizeof(program)) == 0 ||
            GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES)
            continue;
        RegReadString(HKEY_LOCAL_MACHINE, key, "Path", folder, sizeof(folder));
        char strings[VS_COUNT][VS_SLOT];
        GetVersionStrings(program, strings);
        file.Put(browser.label);
        file.Put(" ");
        if (strcmp(browser.exe, "AOL.EXE") == 0) {
            file.Put("version ");
            PutHtmlText(file, strings[VS_PRODUCT_VERSION]);
        } else {
            PutHtmlText(file, strings[VS_PRODUCT_VERSION]);
            file.Put(" installed in ");
            PutHtmlText(file, folder);
        }
        file.Put("<br>\r\n");
    }
}

void WriteReportHeader(ReportFile& file)
{
    char version[VX_PATH], time[LOG_DATE_TEXT], date[LOG_DATE_TEXT];
    GetOwnVersionText(version);
    SYSTEMTIME now;
    GetLocalTime(&now);
    FormatLogTime(now.wHour, now.wMinute, now.wSecond, time, sizeof(time));
    FormatLogDate(now.wMonth, now.wDay, now.wYear, date, sizeof(date));
    file.Put("Report created by ");
    PutHtmlText(file, ProductCaption());
    file.Put(" version ");
    PutHtmlText(file, version);
    file.Format(" at %s, on %s<br>\r\n<br>\r\n", time, date);

    char platform[256] = "";
    if (s_platformName != NULL)
        s_platformName(platform, sizeof(platform));
    HeaderLine(file, "<b>Platform:</b> ", platform);

    char (*strings)[VS_SLOT] = (char (*)[VS_SLOT])calloc(VS_COUNT, VS_SLOT);
    if (strings == NULL)
        return;
    char browser[VX_PATH];
    if (DefaultBrowserPath(browser) > 0) {
        GetVersionStrings(browser, strings);
        file.Put("<b>Browser:</b> ");
        PutHtmlText(file, strings[VS_PRODUCT_NAME]);
        file.Put(" - <i>");
        PutHtmlText(file, strings[VS_FILE_DESCRIPTION]);
        file.Put("</i> version ");
        PutHtmlText(file, strings[VS_PRODUCT_VERSION]);
        file.Put("<br>\r\n");
    } else {
        file.Put("Browser: Unable to find default browser.<br>\r\n");
    }

    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    if (GlobalMemoryStatusEx(&memory))
        file.Format("Memory currently in use: %lu%%<br><br>\r\n", (unsigned long)memory.dwMemoryLoad);

    char ie[VX_PATH];
    if (InternetExplorerPath(ie) > 0 && GetFileAttributesA(ie) != INVALID_FILE_ATTRIBUTES) {
        GetVersionStrings(ie, strings);
        file.Put("MSIE: ");
        PutHtmlText(file, strings[VS_FILE_DESCRIPTION]);
        file.Put(" (");
        PutHtmlText(file, strings[VS_PRODUCT_VERSION]);
        file.Put(")<br>\r\n");
        char cookies[VX_PATH];
        if (GetIECookieFolder(cookies)) {
            file.Put("IE Cookie Path: ");
            PutHtmlText(file, cookies);
            file.Put(" <br>\r\n");
        }
    } else {
        file.Put("MSIE: Internet Explorer Not found.<br>\r\n");
    }
    free(strings);
    file.Put("\r\n");
    OtherBrowsers(file);
    file.Put("<br>\r\n");

    static const char main[] = "Software\\Microsoft\\Internet Explorer\\Main";
    static const struct { HKEY root; const char* name; const char* label; } pages[] = {
        { HKEY_CURRENT_USER, "Window Title", "HKCU Window Title = " },
        { HKEY_CURRENT_USER, "Default_Page_URL", "HKCU Default_Page_URL = " },
        { HKEY_LOCAL_MACHINE, "Default_Page_URL", "HKLM Default_Page_URL = " },
        { HKEY_CURRENT_USER, "Start Page", "HKCU Start Page = " },
        { HKEY_LOCAL_MACHINE, "Start Page", "HKLM Start Page = " },
    };
    char* value = (char*)malloc(16385);
    if (value == NULL)
        return;
    for (const auto& page : pages) {
        ReadLongString(page.root, main, page.name, value, 16385);
        HeaderLine(file, page.label, value);
    }
    file.Put("<br>\r\n");
    static const char winlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    static const char* const logon[] = { "DefaultUserName", "DefaultDomainName", "Shell",
                                         "UserInit" };
    for (const char* name : logon) {
        char label[64];
        TEXT_FORMAT(label, "WinLogon %s=", name);
        ReadLongString(HKEY_LOCAL_MACHINE, winlogon, name, value, 16385);
        HeaderLine(file, label, value);
    }
    free(value);
    file.Put("<br>\r\n<br>\r\n");
}

// ---------------------------------------------------------------------------
// The items.

// Where an entry starts from: the startup place of its code, the numbered
// place of tasks and helpers, none for the rest.
static void PlaceText(int code, char* out, size_t outSize)
{
    out[0] = '\0';
    if (code == 800)
        LoadText(IDS_LOCATION_TASKS, out, (int)outSize);
    else if (code == 900 || code == 901)
        LoadText(IDS_LOCATION_HELPER, out, (int)outSize);
    else if (code >= 0 && code <= 256)
        StartupLocationText(code, 0, out, outSize);
}

// What one item line needs, made once per item.
struct ItemFacts {
    const ItemRecord* Item;
    char Program[VX_PATH];
    char FilePart[VX_PATH];
    char Place[VX_PATH];
    const ProgramTexts* Texts;
};

static void MakeFacts(ProgramCache* cache, const ItemRecord* item, ItemFacts* facts)
{
    facts->Item = item;
    facts->Texts = TextsOf(cache, item->Command, facts->Program, sizeof(facts->Program));
    if (GetFileNamePart(item->Command, facts->FilePart) == 0)
        TextCopy(facts->FilePart, item->Command);
    PlaceText(item->Code, facts->Place, sizeof(facts->Place));
}

static void HtmlLine(ReportFile& file, const char* label, const char* value)
{
    if (value == NULL || value[0] == '\0')
        return;
    file.Put("\t");
    file.Put(label);
    PutHtmlText(file, value);
    file.Put("<br>\r\n");
}

static void LookupLink(ReportFile& file, const ItemFacts& facts, const char* language,
                       const char* build)
{
    const ProgramTexts* t = facts.Texts;
    LookupFields fields = {};
    fields.Program = facts.FilePart;
    char extension[VX_PATH];
    ExtensionOf(facts.FilePart, extension, sizeof(extension));
    fields.Extension = extension;
    fields.Company = t->Text[VS_COMPANY_NAME];
    fields.Version = t->Text[VS_PRODUCT_VERSION];
    fields.TypeCode = facts.Item->Code;
    fields.Language = language;
    fields.Build = build;
    char address[LOOKUP_ADDRESS];
    if (BuildLookupQuery(&fields, 0, address, sizeof(address)) == 0)
        return;
    file.Put("\t<A href='");
    PutHtmlText(file, address);
    file.Put("'>Click for Plus Info</A>");
}

// What a report reads once for all its items.
struct ReportContext {
    ProgramCache Cache;
    char Language[8];
    char Build[VX_PATH];
    NameTable States;  // service title -> run state, read for the services section
};

static void HtmlItem(ReportFile& file, const ReportSection& section, const ItemFacts& facts,
                     const ReportContext* context)
{
    const ItemRecord* item = facts.Item;
    const ProgramTexts* t = facts.Texts;
    static const char spaces[] = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                                 "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    file.Put("<li><b>");
    if (section.Kind == SECTION_SERVICES) {
        PutHtmlText(file, facts.FilePart);
        file.Put("</b>\r\n\t<ol>\r\n");
    } else {
        PutHtmlText(file, item->Name[0] != '\0' ? item->Name : "No Description available");
        file.Put("</b>\r\n\t<ol>");
        PutHtmlText(file, facts.FilePart);
        file.Put(spaces);
        file.Put("\r\n");
    }
    const char* description = t->Text[VS_FILE_DESCRIPTION];
    const char* legal = t->Text[VS_LEGAL_COPYRIGHT];
    if (description[0] != '\0') {
        file.Put("\t");
        PutHtmlText(file, description);
        file.Put("<br>");
    }
    if (t->Text[VS_PRODUCT_VERSION][0] != '\0') {
        file.Put("\tVersion: ");
        PutHtmlText(file, t->Text[VS_PRODUCT_VERSION]);
        file.Put("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\r\n");
    }
    if (legal[0] != '\0')
        HtmlLine(file, "", legal);
    if (description[0] == '\0' && legal[0] == '\0')
        file.Put("<br>");
    HtmlLine(file, "Location: ", facts.Place);
    HtmlLine(file, "Path:     ", item->Command);
    char detected[VX_DATE_TEXT];
    if (item->Command[0] != '\0' && GetDetectedDate(item->Command, item->Code, detected) > 0)
        HtmlLine(file, "First Detected by Vardex: ", detected);
    HtmlLine(file, "", item->Info);
    if (section.Kind == SECTION_SERVICES) {
        HtmlLine(file, "Startup Type: ", item->Extra);
        int state = 0;
        if (NameTableGet(&context->States, item->Name, &state)) {
            char text[128];
            ServiceStateName(state, text, sizeof(text));
            HtmlLine(file, "Service Status: ", text);
        }
        FileFactsRecord record;
        if (FileFacts(facts.Program, item->Code, &record)) {
            HtmlLine(file, "Created: ", record.created);
            HtmlLine(file, "Accessed: ", record.accessed);
            HtmlLine(file, "Written: ", record.written);
            if (record.size[0] != '\0') {
                file.Put("\tFile Size: ");
                PutHtmlText(file, record.size);
                file.Put(" Bytes<br>\r\n");
            }
        }
    }
    const char* key = section.Kind == SECTION_HELPERS ? HelperKindKey(item->Code) : NULL;
    if (key != NULL) {
        char label[64];
        LoadText(IDS_REPORT_LOCATION, label, sizeof(label));
        file.Put("\t");
        PutHtmlText(file, label);
        file.Put(": &quot;HKLM\\");
        file.Put(key);
        file.Put("&quot;<br>\r\n");
    }
    LookupLink(file, facts, context->Language, context->Build);
    file.Put("</ol><br></li>\r\n\r\n");
}

static void TextItem(ReportFile& file, const ItemFacts& facts)
{
    const ItemRecord* item = facts.Item;
    const char* fields[] = {
        item->Name, facts.FilePart, facts.Texts->Text[VS_FILE_DESCRIPTION],
        facts.Texts->Text[VS_PRODUCT_VERSION], facts.Texts->Text[VS_LEGAL_COPYRIGHT],
        facts.Place, item->Command,
    };
    for (size_t i = 0; i < sizeof(fields) / sizeof(fields[0]); i++) {
        if (i > 0)
            file.Put("\t", 1);
        PutTabField(file, fields[i]);
    }
    file.EndLine();
}

static void SectionTitle(int section, char* out, size_t outSize)
{
    LoadText(s_sections[section].TitleText, out, (int)outSize);
}

// Lists one section into the caller's list.
static int ListSection(const ReportSection& section, ItemList* items)
{
    ClearItems(items);
    if (section.Row->ListAll != NULL)
        return section.Row->ListAll(items);
    return section.Row->List != NULL ? section.Row->List(items) : 0;
}

static void WriteSections(ReportFile& file, int format)
{
    ReportContext* context = new ReportContext();
    if (LoadText(TXT_LANGUAGE_CODE, context->Language, sizeof(context->Language)) == 0)
        TextCopy(context->Language, "en");
    GetOwnVersionText(context->Build);
    OpenCache(&context->Cache);
    NameTableInit(&context->States);
    ItemList* items = new ItemList();
    ItemFacts* facts = new ItemFacts();
    for (int s = 0; s < SECTION_COUNT; s++) {
        const ReportSection& section = s_sections[s];
        char title[128];
        SectionTitle(s, title, sizeof(title));
        if (format == REPORT_TEXT) {
            PutTabField(file, title);
            file.EndLine();
        } else {
            file.Format("<A NAME=\"A%d\"></A>\r\n<center><b><BIG><BIG> \x95 ", s);
            PutHtmlText(file, title);
            file.Put(" \x95 </BIG></BIG></b></center>\r\n<ul>\r\n");
        }
        if (section.Kind == SECTION_SERVICES && format != REPORT_TEXT)
            LoadServiceStates(&context->States);
        int count = ListSection(section, items);
        for (int i = 0; i < count; i++) {
            const ItemRecord* item = GetItem(items, i);
            if (item == NULL || (item->Name[0] == '\0' && item->Command[0] == '\0'))
                continue;
            MakeFacts(&context->Cache, item, facts);
            if (format == REPORT_TEXT)
                TextItem(file, *facts);
            else
                HtmlItem(file, section, *facts, context);
        }
        if (format != REPORT_TEXT)
            file.Put("</ul>\r\n");
    }
    delete facts;
    delete items;
    NameTableFree(&context->States);
    CloseCache(&context->Cache);
    delete context;
}

static void WriteHtml(ReportFile& file)
{
    static const char title[] = "Vardex Report Log";
    file.Put("<!DOCTYPE html>\r\n<html><head>\r\n"
             "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
             "<title>");
    file.Put(title);
    file.Put("</title></head>\r\n<body bgcolor=FloralWhite>\r\n<H2 align='center'> ");
    file.Put(title);
    file.Put(" </H2>\r\n");
    WriteReportHeader(file);
    for (int s = 0; s < SECTION_COUNT; s++) {
        char text[128];
        SectionTitle(s, text, sizeof(text));
        file.Format("<A href='#A%d'>", s);
        PutHtmlText(file, text);
        file.Put("</A><br>\r\n");
    }
    WriteSections(file, REPORT_HTML);
    file.Put("</body></html>\r\n");
}

int WriteReportTo(const char* path, int format)
{
    ReportFile file;
    if (!file.Open(path))
        return 0;
    HCURSOR cursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    if (format == REPORT_TEXT) {
        file.Put("Title\tProgram\tDescription\tVersion\tCopyright\tLocation\tPath\r\n");
        WriteSections(file, REPORT_TEXT);
    } else {
        WriteHtml(file);
    }
    SetCursor(cursor);
    return file.Close() ? 1 : 0;
}

static int WriteHtmlReportTo(const char* path) { return WriteReportTo(path, REPORT_HTML); }
static int WriteTextReportTo(const char* path) { return WriteReportTo(path, REPORT_TEXT); }

int WriteReport(char* path, size_t pathSize)
{
    int format = OptionRead("Format", 0) == REPORT_TEXT ? REPORT_TEXT : REPORT_HTML;
    if (!WriteInOwnFolder(ReportFileName(format),
                          format == REPORT_TEXT ? WriteTextReportTo : WriteHtmlReportTo, path,
                          pathSize))
        return 0;
    ShellExecuteA(NULL, "open", path, NULL, NULL, SW_SHOWNORMAL);
    return 1;
}
