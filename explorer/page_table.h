// The explorer's pages, in tab order: one record per page with everything
// the sheet, the page, the monitor's tray menu and switches and the help
// need to know of it.  Pages map to category rows many-to-one (the cookie
// rows feed one page, Delayed Start is a second face of startup), so the
// table lives here and points at rows.  Data only: nothing here opens a
// window: the monitor links the records alone (monitor/page_records.cpp),
// without the columns and actions of the list pages.
#pragma once
#include <windows.h>

struct Category;
struct PageColumn;   // explorer/list_page.h
struct PageActions;  // explorer/list_page.h

// Page commands: the id a switch selects, a second instance posts, "StartTab"
// keeps and the pages are known by.
enum PageCommand {
    PAGE_STARTUP = 6026,
    PAGE_PLUS = 6027,
    PAGE_COOKIES = 6028,
    PAGE_ACTIVE_TASKS = 6029,
    PAGE_OPTIONS = 6033,
    PAGE_SERVICES = 6038,
    PAGE_SCHEDULED_TASKS = 6039,
    PAGE_IE_HELPERS = 6040,
    PAGE_FILE_TYPES = 6042,
    PAGE_HIDDEN = 6052,
    PAGE_DELAYED = 6055,
    PAGE_ACTIVEX = 6056,
};

// How a page is drawn.
enum PageKind {
    PAGE_KIND_PENDING,  // not built yet: its title and a Close button
    PAGE_KIND_LIST,     // the list page engine, with Columns and Actions
    PAGE_KIND_OWN,      // a procedure of its own (Options, PLUS, Cookies)
};

// The dialog procedure of a page of its own kind.
typedef INT_PTR(CALLBACK* PageProcedure)(HWND, UINT, WPARAM, LPARAM);

struct PageRecord {
    int Command;             // PageCommand
    const char* Switch;      // the switch that selects it ("-START")
    const char* AltSwitch;   // a second switch, or NULL
    int TitleText;           // string-table id of the tab title
    int TemplateId;          // the page's dialog template
    int IconId;              // the tab icon
    int NtOnly;              // 1: only on the NT family (Services)
    PageKind Kind;
    const Category* Row;     // the category row it lists, or NULL
    const char* SortOption;  // option holding its sort column + 1 ("SortStartup"), or NULL
    int PatrolTitleText;     // patrol-time dialog title, 0: no Monitor button
    int PeriodOption;        // OptionId of the patrol minutes, -1: none
    int RealtimeOption;      // OptionId of the real-time switch, -1: none
    const char* HelpFile;    // its help page ("startup.html")
    int MenuText;            // the monitor's tray menu entry, 0: none
    const PageColumn* Columns;
    int ColumnCount;
    const PageActions* Actions;
    const char* MonitorSwitch;  // what the monitor sends for it, NULL: Switch
    PageProcedure Procedure;    // PAGE_KIND_OWN: its dialog procedure
};

int PageCount();
// NULL outside the table.
const PageRecord* PageAt(int index);
// The record of a page command, NULL when the command is not a page.
const PageRecord* PageByCommand(int command);
// The switch the monitor starts the explorer with for a page command, NULL
// when the command is not a page.
const char* MonitorSwitchOf(int command);
