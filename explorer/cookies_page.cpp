// The Cookies page: the filter texts ("nuts") that remove matching cookies
// as soon as they are found, the browser whose cookies are meant, its
// cookie folder, and the way to the cookie list.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "categories/cookie_line.h"
#include "categories/cookies.h"
#include "explorer/anchors.h"
#include "explorer/cookie_list.h"
#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "resources/pages/cookies.h"

// Posted to the page by its activation when "ViewCookies" is set: the
// cookie list opens once the sheet has finished switching pages.
#define WM_VX_SHOW_COOKIES (WM_APP + 28)

// The list asked for once (6045), apart from the option.
static int s_showOnce = 0;

void ShowCookieListOnce(int show)
{
    s_showOnce = show;
}

struct CookiesPage {
    const PageRecord* Record;
    HWND Window;
    HWND List;
    HIMAGELIST Images;
    ItemList Filters;  // what the list shows, by lParam
    AnchorSet Anchors;
};

static int MozillaChosen()
{
    return CookieModeForOption(OptionRead("Browser", 1)) == COOKIE_MODE_MOZILLA;
}

static void ShowFolder(CookiesPage* p)
{
    char folder[VX_PATH];
    GetCookieFolder(folder);
    SetDlgItemTextA(p->Window, IDC_COOKIE_FOLDER, folder);
}

// The filters again; the control keeps them in ascending order.
static void FillFilters(CookiesPage* p)
{
    g_CookieFilterCategory.ListAll(&p->Filters);
    SendMessageA(p->List, WM_SETREDRAW, FALSE, 0);
    SendMessageA(p->List, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < ItemCount(&p->Filters); i++) {
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = (char*)GetItemInfo(&p->Filters, i);  // the whole text
        item.lParam = i;
        SendMessageA(p->List, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
    SendMessageA(p->List, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(p->List, NULL, TRUE);
}

// --- Commands ------------------------------------------------------------------------

static void AddFilter(CookiesPage* p)
{
    char text[NUT_TEXT];
    GetDlgItemTextA(p->Window, IDC_COOKIE_FILTER, text, sizeof(text));
    if (NutLimitReached()) {
        ShowMessageText(p->Window, 729);
        return;
    }
    // A blank text would match every cookie: refused, the box kept.
    if (!AddNut(text)) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    SetDlgItemTextA(p->Window, IDC_COOKIE_FILTER, "");
    FillFilters(p);
}

static void RemoveFilter(CookiesPage* p)
{
    int row = ListView_GetNextItem(p->List, -1, LVNI_SELECTED);
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !SendMessageA(p->List, LVM_GETITEMA, 0, (LPARAM)&item) ||
        item.lParam < 0 || item.lParam >= ItemCount(&p->Filters)) {
        char text[512];
        char caption[128];
        LoadText(IDS_NO_FILTER_SELECTED, text, sizeof(text));
        LoadText(IDS_HELP_CAPTION, caption, sizeof(caption));
        MessageBoxExA(p->Window, text, caption, MB_OK | MB_ICONQUESTION | MB_TOPMOST,
                      g_MessageLanguage);
        return;
    }
    RemoveNut(GetItemInfo(&p->Filters, (int)item.lParam));
    FillFilters(p);
}

static void ChooseBrowser(CookiesPage* p, int mozilla)
{
    OptionWrite("Browser", mozilla ? 6 : 1);
    SetCookieMode(mozilla ? COOKIE_MODE_MOZILLA : COOKIE_MODE_IE);
    ShowFolder(p);
}

static void AlwaysViewCookies(CookiesPage* p)
{
    int always = IsDlgButtonChecked(p->Window, IDC_COOKIE_ALWAYS) == BST_CHECKED;
    g_Options[OPT_ViewCookies] = always;
    OptionWrite(OptionName(OPT_ViewCookies), always);
}

// The folder of the chosen browser's cookies, as the user picks it.
static void ChooseFolder(CookiesPage* p)
{
    char title[128];
    LoadText(IDS_CHOOSE_COOKIE_FOLDER, title, sizeof(title));
    char name[MAX_PATH] = "";
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof(browse));
    browse.hwndOwner = p->Window;
    browse.pszDisplayName = name;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (chosen == NULL)
        return;
    char folder[MAX_PATH];
    BOOL found = SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (!found)
        return;
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, MozillaChosen() ? "CookieFolder" : "IECookieFolder",
                   folder);
    ShowFolder(p);
}

static void OnCommand(CookiesPage* p, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return;
    switch (id) {
    case IDC_COOKIE_ADD: AddFilter(p); break;
    case IDC_COOKIE_REMOVE: RemoveFilter(p); break;
    case IDC_COOKIE_VIEW_LIST: ShowCookieList(p->Window); break;
    case IDC_COOKIE_IE: ChooseBrowser(p, 0); break;
    case IDC_COOKIE_FIREFOX: ChooseBrowser(p, 1); break;
    case IDC_COOKIE_ALWAYS: AlwaysViewCookies(p); break;
    case IDC_COOKIE_FOLDER_BUTTON: ChooseFolder(p); break;
    case IDC_PAGE_HELP: OpenHelpPage(p->Window, p->Record->HelpFile); break;
    case IDC_PAGE_MONITOR: OnMonitorButton(p->Window, p->Record); break;
    }
}

// --- Creation, activation, leaving -------------------------------------------------

static const AnchoredControl kAnchors[] = {
    { IDC_COOKIE_HINT, ANCHOR_BOTTOM }, { IDC_COOKIE_FILTER, ANCHOR_BOTTOM | ANCHOR_WIDTH },
    { IDC_COOKIE_ADD, ANCHOR_BOTTOM | ANCHOR_RIGHT },
    { IDC_COOKIE_REMOVE, ANCHOR_BOTTOM | ANCHOR_RIGHT }, { IDC_COOKIE_IE, ANCHOR_BOTTOM },
    { IDC_COOKIE_FIREFOX, ANCHOR_BOTTOM }, { IDC_COOKIE_ALWAYS, ANCHOR_BOTTOM | ANCHOR_RIGHT },
    { IDC_COOKIE_FOLDER, ANCHOR_BOTTOM | ANCHOR_WIDTH },
    { IDC_COOKIE_FOLDER_BUTTON, ANCHOR_BOTTOM | ANCHOR_RIGHT },
};

static void SetTexts(HWND w)
{
    SetItemText(w, IDS_COOKIE_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_COOKIE_FILTER_HINT, IDC_COOKIE_HINT);
    SetItemText(w, IDS_BUTTON_ADD, IDC_COOKIE_ADD);
    SetItemText(w, IDS_BUTTON_REMOVE, IDC_COOKIE_REMOVE);
    SetItemText(w, IDS_COOKIE_IE, IDC_COOKIE_IE);
    SetItemText(w, IDS_COOKIE_FIREFOX, IDC_COOKIE_FIREFOX);
    SetItemText(w, IDS_COOKIE_ALWAYS, IDC_COOKIE_ALWAYS);
    SetItemText(w, IDS_COOKIE_VIEW_LIST, IDC_COOKIE_VIEW_LIST);
    SetItemText(w, IDS_LABEL_HELP, IDC_PAGE_HELP_LABEL);
    SetItemText(w, IDS_LABEL_MONITOR, IDC_PAGE_MONITOR_LABEL);
    if (FirefoxThreeOrLater()) {
        SetItemText(w, IDS_FIREFOX_UNSUPPORTED, IDC_COOKIE_FIREFOX);
        EnableWindow(GetDlgItem(w, IDC_COOKIE_FIREFOX), FALSE);
    }
}

static INT_PTR OnInitDialog(HWND window, const PROPSHEETPAGEA* sheetPage)
{
    const PageRecord* record = sheetPage != NULL ? (const PageRecord*)sheetPage->lParam : NULL;
    if (record == NULL)
        return TRUE;
    CookiesPage* p = new CookiesPage();
    p->Record = record;
    p->Window = window;
    p->List = GetDlgItem(window, IDC_PAGE_LIST);
    SetWindowLongPtrA(window, DWLP_USER, (LONG_PTR)p);
    SetTexts(window);
    SendDlgItemMessageA(window, IDC_COOKIE_FILTER, EM_LIMITTEXT, NUT_TEXT - 1, 0);
    int size = GetSystemMetrics(SM_CXSMICON);
    p->Images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = (HICON)LoadImageA(g_Instance, MAKEINTRESOURCEA(IDI_COOKIE_ROW), IMAGE_ICON,
                                   size, size, 0);
    if (p->Images != NULL && icon != NULL)
        ImageList_AddIcon(p->Images, icon);
    if (icon != NULL)
        DestroyIcon(icon);
    SendMessageA(p->List, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)p->Images);
    AnchorControls(&p->Anchors, window, kAnchors, (int)(sizeof(kAnchors) / sizeof(kAnchors[0])));
    PageCreated(window, record);
    return TRUE;
}

static void OnActivate(CookiesPage* p)
{
    HWND w = p->Window;
    int mozilla = MozillaChosen();
    SetCookieMode(mozilla ? COOKIE_MODE_MOZILLA : COOKIE_MODE_IE);
    CheckRadioButton(w, IDC_COOKIE_IE, IDC_COOKIE_FIREFOX,
                     mozilla ? IDC_COOKIE_FIREFOX : IDC_COOKIE_IE);
    // The box shows the user's choice; a forced view (6045) is not one.
    CheckDlgButton(w, IDC_COOKIE_ALWAYS,
                   OptionRead(OptionName(OPT_ViewCookies), 0) > 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowFolder(p);
    FillFilters(p);
    PageActivated(w, p->Record);
    SetImageButton(GetDlgItem(w, IDC_COOKIE_FOLDER_BUTTON), IDB_FOLDER_NORMAL, IDB_FOLDER_PRESSED,
                   IDB_FOLDER_HOVER, IDC_COOKIE_FOLDER_BUTTON);
    // Outside the NT family the frame hides control 1004, every other
    // page's Close button; here it is the filter box.
    ShowWindow(GetDlgItem(w, IDC_COOKIE_FILTER), SW_SHOW);
    if (g_Options[OPT_ViewCookies] > 0 || s_showOnce)
        PostMessageA(w, WM_VX_SHOW_COOKIES, 0, 0);
    s_showOnce = 0;
}

static void OnLeave(CookiesPage* p, int destroyed)
{
    ClearImageButton(GetDlgItem(p->Window, IDC_COOKIE_FOLDER_BUTTON));
    PageLeft(p->Window, destroyed);
}

static LRESULT OnNotify(CookiesPage* p, const NMHDR* header)
{
    if (header->code == PSN_SETACTIVE)
        OnActivate(p);
    else if (header->code == PSN_KILLACTIVE)
        OnLeave(p, 0);
    return 0;
}

static void OnDestroy(CookiesPage* p)
{
    OnLeave(p, 1);
    SetWindowLongPtrA(p->Window, DWLP_USER, 0);
    SendMessageA(p->List, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (p->Images != NULL)
        ImageList_Destroy(p->Images);
    delete p;
}

INT_PTR CALLBACK CookiesPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(window, (const PROPSHEETPAGEA*)lParam);
    CookiesPage* p = (CookiesPage*)GetWindowLongPtrA(window, DWLP_USER);
    INT_PTR result = FALSE;
    if (p == NULL)
        return FALSE;
    if (HandleFrameMessages(window, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_COMMAND:
        OnCommand(p, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, OnNotify(p, (const NMHDR*)lParam));
        return TRUE;
    case WM_VX_SHOW_COOKIES:
        if (g_CurrentPage == p->Record->Command)
            ShowCookieList(window);
        return TRUE;
    case WM_VX_LAYOUT_PAGE: {
        const int buttons[1] = { IDC_COOKIE_VIEW_LIST };
        LayoutPage(window, buttons, 1, NULL);
        PlaceAnchored(&p->Anchors, window);
        return TRUE;
    }
    case WM_CLOSE:
        PropSheet_PressButton(GetParent(window), PSBTN_CANCEL);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(p);
        return FALSE;
    }
    return FALSE;
}
