// The frame every page of the explorer's sheet shares: creation,
// activation and leaving of a page, the layout, the status bar, the Help
// and Monitor image buttons, the message dialog and the patrol-time dialog.
// A page procedure calls these at the moments their names give.
#pragma once
#include <windows.h>

#include "explorer/page_table.h"

// Private message every page answers with its layout (wParam, lParam 0).
#define WM_VX_LAYOUT_PAGE 6049

// Controls the frame knows in every page template: the list, the page's
// own Close button, the Help and Monitor image buttons and their labels.
#define FRAME_LIST 1000
#define FRAME_CLOSE 1004
#define FRAME_HELP_BUTTON 1077
#define FRAME_HELP_LABEL 1078
#define FRAME_MONITOR_BUTTON 1112
#define FRAME_MONITOR_LABEL 1113
// The sheet's status bar.
#define FRAME_STATUS_BAR 6050

// The page command of the active page; 0 when no sheet is shown.
extern int g_CurrentPage;

// WM_INITDIALOG of a page, after its texts and columns: the current page,
// "StartTab", the sheet's subclass and status bar (first page) and the
// saved placement.
void PageCreated(HWND page, const PageRecord* record);
// The page's own icon (the record's, at the system's size) in its icon box.
void ShowPageIcon(HWND page, const PageRecord* record);
// What every own page shows alike: its icon, the "Help" label and "Close".
void ShowPageFrameTexts(HWND page, const PageRecord* record);
// PSN_SETACTIVE of a page, after its list is filled: image buttons, the
// sheet's own buttons hidden, the caption, the frame layout.
void PageActivated(HWND page, const PageRecord* record);
// PSN_KILLACTIVE and WM_DESTROY of a page: image-button properties
// removed, status bar cleared, placement and "StartTab" saved; on destroy
// the sheet is closed and the explorer ends.
void PageLeft(HWND page, int destroyed);

// The page's own part of the layout: the list (control 1000) filling the
// page and the buttons, in the order given, along the bottom.  partners
// names, for each button, the id of a button laid out in its slot (0:
// none).  Call it from WM_VX_LAYOUT_PAGE.
void LayoutPage(HWND page, const int* buttons, int count, const int* partners);

// What a page does with WM_CLOSE (its Close button posts one): the sheet
// closes as by its Cancel button, and with it the explorer.
void CloseSheetFromPage(HWND page);

// What every page of its own kind does with the frame's messages:
// PSN_SETACTIVE and PSN_KILLACTIVE (activation and leaving), WM_CLOSE,
// WM_DRAWITEM, the layout (the buttons given along the bottom), WM_DESTROY
// and the image buttons' mouse messages.  The page keeps its PageRecord as
// its DWLP_USER from WM_INITDIALOG on.  1 when handled, with what the
// dialog procedure returns in *result; 0 for the page's own messages.
int HandleOwnPageFrame(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                       const int* buttons, int count, INT_PTR* result);

// What every page and dialog with image buttons passes to the frame: the
// buttons' mouse messages and the caption's WM_DRAWITEM.  1 when handled,
// with what the dialog procedure returns in *result.
int HandleFrameMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        INT_PTR* result);

// The mouse messages of the image buttons (WM_MOUSEMOVE, WM_LBUTTONDOWN,
// WM_LBUTTONUP, WM_LBUTTONDBLCLK): 1 when handled.  WM_SETCURSOR may come
// here too: it turns the text of an owner-drawn button under the cursor
// blue, and returns 0 so that the cursor is still set as usual.
int HandleImageButtons(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The Help and Monitor image buttons of a page or of a dialog that has
// them (the Monitor image by the record's options), and their properties
// taken away again.  PageActivated and PageLeft do this for a page.
void GiveImageButtons(HWND window, const PageRecord* record);
void TakeImageButtons(HWND window);
// Any other image button of the Help type: its three bitmaps (resource
// ids) and the command it sends; ClearImageButton takes them away.
void SetImageButton(HWND button, int normal, int pressed, int hover, int command);
void ClearImageButton(HWND button);
// WM_DRAWITEM of the owner-drawn captions; 1 when handled.
int DrawPageCaption(const DRAWITEMSTRUCT* item);
// The Monitor image of the page: real time, on a timer or off, by the
// record's options.
void ShowPatrolState(HWND page, const PageRecord* record);

// The status bar's text ("" clears it).
void SetStatusText(const char* text);

// The explorer's message dialog with the numbered text.
void ShowMessageText(HWND owner, int textId);
// The patrol-time dialog (template 160) for the page's options: stores the
// real-time switch as the user sets it and returns the minutes, -1 for
// Cancel.  The caller stores the minutes and redraws the Monitor image.
int AskPatrolTime(HWND owner, const PageRecord* record);
// The same dialog for any category: its title text and the OptionIds of
// its minutes and of its real-time switch (-1: none).  -1 when the
// minutes option is not an option.
int PatrolTimeDialog(HWND owner, int titleText, int periodOption, int realtimeOption);
// What the Monitor image button does on every page: the dialog, the
// minutes stored, the image shown.
void OnMonitorButton(HWND page, const PageRecord* record);

// The fonts of the frame (created once at start).
enum ExplorerFont {
    XFONT_TITLE,          // Verdana 18/600
    XFONT_HEADING,        // Arial 18/500
    XFONT_LINK,           // Arial 18/500 underlined
    XFONT_BOLD,           // MS Sans Serif 14/600
    XFONT_SMALL_BOLD,     // MS Sans Serif 10/600
    XFONT_TEXT,           // Arial 14/400
    XFONT_LABEL,          // MS Sans Serif 12/500
    XFONT_NOTE_MARK,      // MS Shell Dlg 14/700: Info... of an item with a note
    XFONT_CAPTION,        // MS Shell Dlg 14/500: shadowed captions, plain Info...
    XFONT_NOTE,           // "NoteFont" at "NoteSize", 500
    XFONT_COUNT
};
HFONT ExplorerFontOf(ExplorerFont font);
