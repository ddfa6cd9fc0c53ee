// The comma-separated inventory (reports/scan_log.h).  Every row has the
// nine columns of the header, the header lines too, and every field goes
// out through the CSV field rule: a name with a comma, a quote or a line
// end stays one field, and none can start a formula.
#include <string.h>
#include <windows.h>

#include "categories/activex.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "foundation/detected.h"
#include "foundation/language.h"
#include "foundation/name_table.h"
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "reports/log_lines.h"
#include "reports/log_sources.h"
#include "reports/scan_log.h"
#include "reports/scan_log_parts.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"

#define CSV_COLUMNS 9

// A line of the header as a row of its own: the text in the first column.
static void HeaderRow(ReportFile& f, const char* a, const char* b, const char* c, const char* d)
{
    char text[512];
    TEXT_FORMAT(text, "%s%s%s%s", a, b, c, d);
    PutCsvField(f, text);
    for (int i = 1; i < CSV_COLUMNS; i++)
        f.Put(",");
    f.EndLine();
}

// A text of the file's version resource as the inventory writes it:
// every "," a blank, cut at limit characters.
static void FactText(const char* text, size_t limit, char* out, size_t outSize)
{
    TextCopy(out, TextLimit(outSize, limit + 1), text);
    for (char* c = out; *c != '\0'; c++)
        if (*c == ',')
            *c = ' ';
}

static void Row(ReportFile& f, const char* type, const char* subType, const ItemRecord* r)
{
    char program[VX_PATH], arguments[ITEM_COMMAND];
    SplitCommand(r->Command, program, sizeof(program), arguments, sizeof(arguments));
    KeptVersion facts;
    KeptVersionOf(program, &facts);
    char fileName[VX_PATH + 1] = " ", company[128], description[1024], version[128];
    char cleaned[VX_PATH];
    FactText(r->Command + FileNameOffset(r->Command), 259, cleaned, sizeof(cleaned));
    TextAppend(fileName, cleaned);
    FactText(facts.companyName, 127, company, sizeof(company));
    FactText(facts.description, 1023, description, sizeof(description));
    FactText(facts.productVersion, 127, version, sizeof(version));
    char detected[VX_DATE_TEXT];
    GetDetectedDate(r->Command, r->Code, detected);

    const char* fields[CSV_COLUMNS] = { type, subType, r->Name, fileName, company,
                                        detected, r->Command, description, version };
    for (int i = 0; i < CSV_COLUMNS; i++) {
        if (i > 0)
            f.Put(",");
        PutCsvField(f, fields[i]);
    }
    f.EndLine();
}

static void Rows(ReportFile& f, const char* type, const char* subType, const ItemList* list)
{
    for (int i = 0; i < ItemCount(list); i++)
        Row(f, type, subType, GetItem(list, i));
}

static void StartupRows(ReportFile& f, ItemList* list)
{
    g_StartupCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (r->Code != SC_STARTUP_FOLDER)
            Row(f, StartupCsvType(r->Code), StartupCsvSubType(r->Code), r);
    }
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        if (r->Code == SC_STARTUP_FOLDER)
            Row(f, "Startup", "Folder", r);
    }
}

static void ServiceRows(ReportFile& f, ItemList* list)
{
    NameTable states;
    NameTableInit(&states);
    LoadServiceStates(&states);
    g_ServicesCategory.ListAll(list);
    for (int i = 0; i < ItemCount(list); i++) {
        const ItemRecord* r = GetItem(list, i);
        int state = 0;
        NameTableGet(&states, r->Name, &state);
        char stateText[128];
        ServiceStateName(state, stateText, sizeof(stateText));
        Row(f, "Services", stateText, r);
    }
    NameTableFree(&states);
}

void PutCsvLog(ReportFile& f)
{
    char version[VX_PATH * 2], timeText[LOG_DATE_TEXT], dateText[LOG_DATE_TEXT];
    GetOwnVersionText(version);
    HeaderRow(f, "Log created by ", ProductCaption(), " version ", version);
    ScanLogTimeAndDate(timeText, dateText);
    HeaderRow(f, "Scan saved at ", timeText, ", on ", dateText);
    static const char* const header[CSV_COLUMNS] = {
        "Type", "SubType", "Title", "Filename", "Company", "First Detected", "Path",
        "Description", " Version",
    };
    for (int i = 0; i < CSV_COLUMNS; i++) {
        if (i > 0)
            f.Put(",");
        PutCsvField(f, header[i]);
    }
    f.EndLine();

    ItemList list;
    StartupRows(f, &list);
    BuildDelayList(&list);
    Rows(f, "Delayed Start", "", &list);
    g_ActiveTasksCategory.ListAll(&list);
    Rows(f, "Active Tasks", "", &list);
    EnumLogBHO(&list);
    Rows(f, "IE Helpers", "BHO", &list);
    EnumActiveXAll(&list);
    for (int i = 0; i < ItemCount(&list); i++) {
        const ItemRecord* r = GetItem(&list, i);
        if (!((DWORD)r->Flag & ACTIVEX_KILL_BIT))
            Row(f, "ActiveX", "", r);
    }
    EnumLogToolbars(&list);
    Rows(f, "IE Helpers", "Toolbar", &list);
    ServiceRows(f, &list);
    g_TasksCategory.ListAll(&list);
    Rows(f, "Scheduled Tasks", "", &list);
}

int WriteCsvLog(const char* path)
{
    return WriteLogAndOpen(path, PutCsvLog);
}
