// The list page: the engine every category page of the explorer's sheet is
// made of.  A page is its row of the page table: its columns as records and
// its own hooks (PageActions); the engine lists the category into the
// page's own item list, shows one row per record with its icon, sorts by
// header click, keeps the selection, builds the right-click menu and runs
// the commands every list page shares.  Each row's lParam is the index of
// its record in the page's list: every action finds its record that way,
// never by matching a row's text.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "explorer/page_table.h"
#include "foundation/date_text.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/path_text.h"
#include "foundation/version_info.h"

#define PAGE_MAX_COLUMNS 8
// The text of one cell (a file part, a name, a date ...).
#define PAGE_CELL 264

enum SortKind {
    SORT_NONE,    // a click on its header does nothing
    SORT_TEXT,    // the cell's text, without regard to case
    SORT_DATE,    // the cell's date in time order (DateSortKey); no date first
    SORT_NUMBER,  // the column's Number, else the cell's leading digits
};

// What the engine works out once per row and fill: every cell and every
// sort key is made from this, so neither reads the disk again.
struct PageRow {
    const ItemRecord* Item;
    int Index;                        // the record's place in the page's list
    char Program[VX_PATH];            // the program file its Command names,
                                      // upper case: what rows compare by
    char File[VX_PATH];               // the same file as its record spells
                                      // it: what the disk is read by
    char Company[KEPT_VERSION_TEXT];  // its CompanyName; "" when none
    char Detected[VX_DATE_TEXT];      // its first-detected date
    int Exists;                       // the program file is there
    int Resources;                    // it can hold icons and version texts
    int Last;                         // sorts after the others (a disabled entry)
    int Image;                        // its image in the row icons
};

enum PageField {
    FIELD_NAME,       // the record's Name
    FIELD_FILE_PART,  // the Command after its last "\"
    FIELD_COMPANY,
    FIELD_DETECTED,
    FIELD_EXTRA,      // the record's Extra
    FIELD_INFO,       // the record's Info
    FIELD_CELL,       // the column's own Cell function
};

struct PageColumn {
    int HeaderText;  // string-table id
    int Width;       // per cent of the list's width
    PageField Field;
    // FIELD_CELL: the cell's text (out holds PAGE_CELL).
    void (*Cell)(const PageRow* row, char* out, size_t outSize);
    SortKind Sort;
    // SORT_NUMBER: the row's number (NULL: the cell's leading digits).
    long long (*Number)(const PageRow* row);
    // 1: rows marked Last sort after the others in both directions.
    int LastGroup;
};

struct ListPage;

// The width a page's column widths are parts of.
enum PageWidthRule {
    PAGE_WIDTH_LESS_CY = 0,  // less the scroll bar (SM_CYVSCROLL)
    PAGE_WIDTH_FULL = 1,     // the whole width
    PAGE_WIDTH_LESS_CX = 2,  // less the scroll bar's own width (SM_CXVSCROLL)
};

// A page's own part; every hook may be NULL.
struct PageActions {
    // WM_INITDIALOG, after the columns: texts and check boxes.
    void (*Init)(ListPage* page);
    // PSN_SETACTIVE, before the fill (check boxes from the options).
    void (*Activate)(ListPage* page);
    // Around the making of the rows of a fill (begin 1, then 0): what the
    // page reads once per fill.
    void (*Prepare)(ListPage* page, int begin);
    // The page's own facts of a row (Last ...), after the engine's.
    void (*Facts)(ListPage* page, PageRow* row);
    // The selection changed: row is the selected one, NULL for none.
    void (*Selection)(ListPage* page, const PageRow* row);
    // A command of the page's own: 1 when handled.
    int (*Command)(ListPage* page, int id, int notification);
    // Its entries of the right-click menu, after the common item entries.
    void (*Menu)(ListPage* page, HMENU menu, const PageRow* row);
    // The buttons LayoutPage sets along the bottom, in order, and for each
    // the button laid out in its slot (0: none).
    const int* Buttons;
    const int* Partners;
    int ButtonCount;
    // What the column widths are parts of: PageWidthRule.
    int FullWidth;
    // The row's icon when the page names one (a type's default icon, a
    // toolbar button's icon file): 1 with its file (file holds fileSize) and
    // index, 0 for the program's first icon.  A file without that icon
    // falls back to the program's.
    int (*RowIcon)(ListPage* page, const PageRow* row, char* file, size_t fileSize, int* index);
    // 1: the right-click menu holds only the common ending (PLUS Info, Log,
    // Help), not the common item entries.
    int EndingOnly;
};

// One open page (the dialog's DWLP_USER).
struct ListPage {
    HWND Window;
    HWND List;
    const PageRecord* Record;
    ItemList Items;          // what the last fill listed
    PageRow* Rows;           // by record index
    int RowCount;
    // The row icons, kept from fill to fill: a fill adds only the icons it
    // has not added yet (ImagesSerial tells this list from every other).
    HIMAGELIST Images;
    int ImagesSerial;
    int MissingImage;        // the missing-file icon's image; -1 not yet
    int LooseImages;         // images of icons not kept (files just written)
    int Filling;             // selection notices are ignored meanwhile
    // Per column: the direction the next click sorts in, and the one the
    // column was last sorted in (a fill sorts that way again).
    int NextDescending[PAGE_MAX_COLUMNS];
    int LastDescending[PAGE_MAX_COLUMNS];
    int SizedWidth;          // the width the columns were last sized to
    void* Own;               // the page's own data (its hooks keep it)
    // The commands and notices being handled (a question's box runs a
    // message loop of its own), and whether the window went meanwhile: the
    // page is then freed when the last of them returns.
    int Busy;
    int Gone;
};

// The dialog procedure of every list page.  lParam of WM_INITDIALOG is the
// PROPSHEETPAGE whose lParam is the page's PageRecord.
INT_PTR CALLBACK ListPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Lists the category again and rebuilds the rows, sorted by the page's
// sort option; selects row 0.  Returns the number of rows (0, listing
// nothing, once the page's window has gone).
int FillListPage(ListPage* page);

// 1 when the page's window has gone while an action was waiting for the
// user (the sheet closed behind a question): the action stops there.  Its
// records stay readable until it returns.
int PageGone(const ListPage* page);

// Sorts by column (0-based) in the direction given; nothing for a column
// out of range or not sortable.  Keys are made once per row.
void SortListPage(ListPage* page, int column, int descending);

// The record indexes of the selected rows, in row order (at most max);
// returns how many.
int SelectedRecords(const ListPage* page, int* indexes, int max);
// The selected row (the focused one when several are); NULL for none.
const PageRow* SelectedRow(const ListPage* page);
// SelectedRecords; with none, the "No selection" message (and 0).
int SelectedOrSaySo(const ListPage* page, int* indexes, int max);
// SelectedRow; with none, the "No selection" message (and NULL).
const PageRow* SelectedRowOrSaySo(const ListPage* page);
// The item data (lParam) of row in a list view; -1 when it has none.
int ListRowParam(HWND list, int row);
// The row of a record index; NULL outside the list.
const PageRow* RowOfRecord(const ListPage* page, int index);
// Selects the row of a record index alone and scrolls it into view;
// nothing is selected for an index outside the list.
void SelectRecord(ListPage* page, int index);

// A check box of the page into its option ("1" checked, "0" not), then
// the list filled again as the option now says.
void StoreCheckBox(ListPage* page, int id, OptionId option);

// Sort numbers every page may use: the record's type code and its flag.
long long RowCode(const PageRow* row);
long long RowFlag(const PageRow* row);

// What Info... and Enter open for the record at index: the program
// information dialog, which sits above the engine and is handed down by
// whoever makes the sheet.  NULL: nothing.
typedef void (*ItemInfoProc)(ListPage* page, int index);
void SetItemInfoProc(ItemInfoProc show);

// The text of a cell as the list shows it (out holds PAGE_CELL).
void PageCellText(const PageColumn* column, const PageRow* row, char* out, size_t outSize);
// Where a row's entry starts from, as the status bar and the information
// dialog tell it: the numbered place of codes 800, 900 and 901, else the
// startup place of its code, marked disabled when the row is Last.
void RowPlaceText(const PageRow* row, char* out, size_t outSize);
// A path's file part: the text after its last "\", the whole text when it
// has none (out holds VX_PATH).
void FilePartOf(const char* path, char* out, size_t outSize);

// Appends an entry with the numbered text to a right-click menu.
void AppendMenuText(HMENU menu, int id, int textId);
// Ends a right-click menu with the entries every menu shares (a separator,
// "PLUS Info...", "Vardex Log" when withLog, "Vardex Help"), shows it at the
// cursor for window and destroys it; the chosen entry arrives at window as
// WM_COMMAND.
void ShowRowMenuAtCursor(HWND window, HMENU menu, int withLog);

// A message box of the explorer: the numbered text with its "%s" filled
// by value (NULL: none), the product name as caption, topmost, in the
// user's language.  Returns the button pressed.
int PageMessage(HWND owner, int textId, const char* value, UINT flags);
// "No selection has been made." (text 57, caption text 31).
void NoSelectionMessage(HWND owner);

// The file dialog of a page's Add: an existing program (*.exe, or any file
// when the user asks) into path, the dialog titled by the numbered text.
// 0 when the user cancelled.
int ChooseProgramFile(HWND owner, int titleText, char* path, DWORD pathSize);

// The "Vardex Log" command of the list pages and the Options page: the
// report of every category written and opened (reports/report.h:
// WriteReport), or the user told in a box owned by owner that no folder
// took it.  Returns 1 when written.
int ReportCommand(HWND owner);
