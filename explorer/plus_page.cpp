// The PLUS page: the product's version, the vendor's news, the online
// lookup of a program by its file name and the check for a newer version.
#include <windows.h>
#include <prsht.h>

#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/lookup.h"
#include "foundation/path_text.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "resources/pages/plus.h"
#include "resources/vardex_version.h"

static const PageRecord* RecordOf(HWND page)
{
    return (const PageRecord*)GetWindowLongPtrA(page, DWLP_USER);
}

static void OnInit(HWND page, const PageRecord* record)
{
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)record);
    char line[VX_PATH + 64];
    LoadText(IDS_PLUS_VERSION_LINE, line, sizeof(line));
    char build[VX_PATH];
    GetOwnVersionText(build);
    TextAppend(line, build);
    SetDlgItemTextA(page, IDC_PLUS_VERSION, line);
    SendDlgItemMessageA(page, IDC_PLUS_VERSION, WM_SETFONT,
                        (WPARAM)ExplorerFontOf(XFONT_TITLE), FALSE);
    SendDlgItemMessageA(page, IDC_PLUS_NEWS, WM_SETFONT, (WPARAM)ExplorerFontOf(XFONT_LINK),
                        FALSE);
    static const struct { int text, control; } texts[] = {
        { IDS_PLUS_TEXT, IDC_PAGE_TEXT },
        { IDS_PLUS_NEWS, IDC_PLUS_NEWS },
        { IDS_PLUS_SEARCH_LABEL, IDC_PLUS_SEARCH_LABEL },
        { IDS_PLUS_SEARCH, IDC_PLUS_SEARCH },
        { IDS_PLUS_CHECK_VERSION, IDC_PLUS_CHECK_VERSION },
    };
    for (const auto& text : texts)
        SetItemText(page, text.text, text.control);
    // A file name: what a path can hold.
    SendDlgItemMessageA(page, IDC_PLUS_SEARCH_TEXT, EM_LIMITTEXT, VX_PATH - 1, 0);
    ShowPageFrameTexts(page, record);
    PageCreated(page, record);
}

// The lookup of the typed name; an empty box sends nothing and keeps the
// caret there.
static void Search(HWND page)
{
    char typed[VX_PATH], name[VX_PATH];
    GetDlgItemTextA(page, IDC_PLUS_SEARCH_TEXT, typed, sizeof(typed));
    SkipBlanks(typed, name, sizeof(name));
    for (size_t n = TextLength(name, sizeof(name)); n > 0 && name[n - 1] == ' '; n--)
        name[n - 1] = '\0';
    if (name[0] == '\0') {
        MessageBeep(MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(page, IDC_PLUS_SEARCH_TEXT));
        return;
    }
    LookUpOnline(page, 450, name);
}

static void OnCommand(HWND page, int id, int notification)
{
    if (notification != BN_CLICKED)
        return;
    switch (id) {
    case IDC_PLUS_NEWS:
        OpenUrl(VX_VENDOR_ROOT "news.html");
        break;
    case IDOK:  // Enter in the search box
    case IDC_PLUS_SEARCH:
        Search(page);
        break;
    case IDC_PLUS_CHECK_VERSION:
        CheckForNewVersion(page);
        break;
    case IDC_PAGE_HELP:
        OpenHelpPage(page, RecordOf(page)->HelpFile);
        break;
    case IDC_PAGE_CLOSE:
        PostMessageA(page, WM_CLOSE, 0, 0);
        break;
    }
}

INT_PTR CALLBACK PlusPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        OnInit(page, (const PageRecord*)((const PROPSHEETPAGEA*)lParam)->lParam);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    const int buttons[1] = { IDC_PAGE_CLOSE };
    INT_PTR result = FALSE;
    HandleOwnPageFrame(page, message, wParam, lParam, buttons, 1, &result);
    return result;
}
