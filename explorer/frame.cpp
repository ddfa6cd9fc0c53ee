// The frame every page of the sheet shares: what happens when a page is
// created, activated and left, the sheet's layout and its size limit, the
// status bar, the image buttons and the owner-drawn captions.
#include "explorer/frame.h"

#include <commctrl.h>

#include "explorer/explorer.h"
#include "explorer/explorer_text.h"
#include "explorer/frame_resources.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/placement.h"
#include "foundation/text.h"
#include "foundation/windows_version.h"
#include "resources/explorer_resource.h"
#include "resources/explorer_pages.h"

int g_CurrentPage = 0;

static HWND s_sheet = NULL;        // the open sheet
static HWND s_pageWindow = NULL;   // the active page
static HWND s_hotButton = NULL;    // the owner-drawn button under the cursor
static HWND s_imageButton = NULL;  // the image button under the cursor or pressed
static int s_pressing = 0;
static POINT s_minTrack;           // the sheet's least size
static HWND s_subclassed = NULL;   // the sheet that has its subclass
static HIMAGELIST s_tabImages = NULL;

// Window properties of an image button.
#define PROP_NORMAL MAKEINTATOM(10000)
#define PROP_PRESSED MAKEINTATOM(10001)
#define PROP_HOVER MAKEINTATOM(10002)
#define PROP_HELP_COMMAND MAKEINTATOM(10003)
#define PROP_MONITOR_COMMAND MAKEINTATOM(10004)

static const PlacementNames kSheetPlacement = { "xPos", "yPos", "dxPos", "dyPos" };

// --- Placement ---------------------------------------------------------------------

static void RestoreSheetPlacement(HWND sheet)
{
    RECT r;
    if (!GetWindowRect(sheet, &r))
        return;
    char texts[4][32];
    const char* names[4] = { kSheetPlacement.x, kSheetPlacement.y, kSheetPlacement.dx,
                             kSheetPlacement.dy };
    const char* saved[4];
    for (int i = 0; i < 4; i++) {
        RegReadString(HKEY_CURRENT_USER, VX_KEY, names[i], texts[i], sizeof(texts[i]));
        saved[i] = texts[i];
    }
    ScreenBox current = { r.left, r.top, r.right - r.left, r.bottom - r.top };
    ScreenBox screen = { GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_CYVIRTUALSCREEN) };
    ScreenBox box;
    ChooseSheetBox(saved, current, screen, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN), IsWindowsNT(), &box);
    SetWindowPos(sheet, NULL, box.Left, box.Top, box.Width, box.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (IsWindowsNT() ? 0 : SWP_NOSIZE));
}

static void SaveSheetPlacement(HWND sheet)
{
    // A minimised sheet has no place worth keeping.
    if (sheet != NULL && !IsIconic(sheet))
        SaveWindowPlacement(sheet, kSheetPlacement);
    OptionWrite("StartTab", g_CurrentPage);
}

// --- The sheet's layout --------------------------------------------------------------

static HWND SheetButton(HWND sheet, const char* text)
{
    for (HWND child = NULL; (child = FindWindowExA(sheet, child, "Button", NULL)) != NULL;) {
        char caption[64];
        GetWindowTextA(child, caption, sizeof(caption));
        if (TextEqualNoCase(caption, text))
            return child;
    }
    return NULL;
}

// The tab icons in a 16 x 16 image list, one per tab in tab order.
static void SetTabIcons(HWND tab)
{
    if (s_tabImages == NULL) {
        s_tabImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, PageCount(), 0);
        for (int i = 0; s_tabImages != NULL && i < PageCount(); i++) {
            const PageRecord* page = PageAt(i);
            if (page->NtOnly && !IsWindowsNT())
                continue;
            HICON icon = (HICON)LoadImageA(g_Instance, MAKEINTRESOURCEA(page->IconId), IMAGE_ICON,
                                           16, 16, 0);
            ImageList_AddIcon(s_tabImages, icon);
            if (icon != NULL)
                DestroyIcon(icon);
        }
    }
    if (s_tabImages == NULL || (HIMAGELIST)SendMessageA(tab, TCM_GETIMAGELIST, 0, 0) == s_tabImages)
        return;
    SendMessageA(tab, TCM_SETIMAGELIST, 0, (LPARAM)s_tabImages);
    int tabs = (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < tabs; i++) {
        TCITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = TCIF_IMAGE;
        item.iImage = i;
        SendMessageA(tab, TCM_SETITEMA, i, (LPARAM)&item);
    }
}

static void SizeOnly(HWND window, int width, int height)
{
    if (window != NULL)
        SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sizes the tab control, the status bar and the page to the sheet.
static void LayoutFrame(HWND sheet, HWND page)
{
    RECT r;
    if (sheet == NULL || !GetWindowRect(sheet, &r))
        return;
    int w = r.right - r.left, h = r.bottom - r.top;
    HWND tab = FindWindowExA(sheet, NULL, WC_TABCONTROLA, NULL);
    int rows = tab != NULL ? (int)SendMessageA(tab, TCM_GETROWCOUNT, 0, 0) : 1;
    SizeOnly(tab, w - 20, h - 67);
    if (tab != NULL)
        SetTabIcons(tab);
    HWND status = GetDlgItem(sheet, FRAME_STATUS_BAR);
    SizeOnly(status, w - 28, h - 131);
    if (status != NULL)
        SendMessageA(status, WM_SIZE, 0, 0);  // a status bar docks itself at the bottom
    HWND close = SheetButton(sheet, "Close");
    if (close != NULL) {
        SetWindowPos(close, NULL, w - 92, h - 66, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(close, SW_HIDE);
    }
    if (page == NULL)
        return;
    SizeOnly(page, w - 28, h - 112 + (rows == 1 ? 10 : 0));
    SendMessageA(page, WM_VX_LAYOUT_PAGE, 0, 0);
    RedrawWindow(sheet, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ShowWindow(page, SW_SHOW);
}

static LRESULT CALLBACK SheetSubclass(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_GETMINMAXINFO: {
        LRESULT result = DefSubclassProc(sheet, message, wParam, lParam);
        MINMAXINFO* limits = (MINMAXINFO*)lParam;
        limits->ptMinTrackSize = s_minTrack;
        return result;
    }
    case WM_SIZE: {
        LRESULT result = DefSubclassProc(sheet, message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED)
            LayoutFrame(sheet, s_pageWindow);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(sheet, SheetSubclass, 1);
        break;
    default:
        break;
    }
    return DefSubclassProc(sheet, message, wParam, lParam);
}

// --- Page creation, activation and leaving ----------------------------------------

void ShowPageIcon(HWND page, const PageRecord* record)
{
    HICON icon = (HICON)LoadImageA(g_Instance, MAKEINTRESOURCEA(record->IconId), IMAGE_ICON, 0, 0,
                                   LR_DEFAULTSIZE | LR_SHARED);
    SendDlgItemMessageA(page, IDC_PAGE_ICON, STM_SETICON, (WPARAM)icon, 0);
}

void ShowPageFrameTexts(HWND page, const PageRecord* record)
{
    ShowPageIcon(page, record);
    SetItemText(page, IDS_LABEL_HELP, IDC_PAGE_HELP_LABEL);
    SetItemText(page, IDS_BUTTON_CLOSE, IDC_PAGE_CLOSE);
}

void PageCreated(HWND page, const PageRecord* record)
{
    g_CurrentPage = record->Command;
    OptionWrite("StartTab", g_CurrentPage);
    HWND sheet = GetParent(page);
    s_sheet = sheet;
    if (IsWindowsNT() && s_subclassed != sheet) {
        s_subclassed = sheet;
        RECT client;
        GetClientRect(sheet, &client);
        s_minTrack.x = client.right - 10;
        s_minTrack.y = client.bottom - 32;
        SetWindowSubclass(sheet, SheetSubclass, 1, 0);
    }
    if (GetDlgItem(sheet, FRAME_STATUS_BAR) == NULL)
        CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "", sheet, FRAME_STATUS_BAR);
    RestoreSheetPlacement(sheet);
}

static void SetImage(HWND button, HANDLE image)
{
    if (button != NULL && image != NULL)
        SendMessageA(button, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)image);
}

void SetImageButton(HWND button, int normal, int pressed, int hover, int command)
{
    if (button == NULL)
        return;
    SetPropA(button, PROP_NORMAL, FrameBitmap(normal));
    SetPropA(button, PROP_PRESSED, FrameBitmap(pressed));
    SetPropA(button, PROP_HOVER, FrameBitmap(hover));
    SetPropA(button, PROP_HELP_COMMAND, (HANDLE)(INT_PTR)command);
    SetImage(button, FrameBitmap(normal));
}

void ClearImageButton(HWND button)
{
    if (button == NULL)
        return;
    RemovePropA(button, PROP_NORMAL);
    RemovePropA(button, PROP_PRESSED);
    RemovePropA(button, PROP_HOVER);
    RemovePropA(button, PROP_HELP_COMMAND);
    RemovePropA(button, PROP_MONITOR_COMMAND);
}

void GiveImageButtons(HWND window, const PageRecord* record)
{
    SetImageButton(GetDlgItem(window, FRAME_HELP_BUTTON), IDB_HELP_NORMAL, IDB_HELP_PRESSED,
                   IDB_HELP_HOVER, FRAME_HELP_BUTTON);
    HWND monitor = GetDlgItem(window, FRAME_MONITOR_BUTTON);
    if (monitor != NULL) {
        SetPropA(monitor, PROP_PRESSED, FrameBitmap(IDB_PATROL_PRESSED));
        SetPropA(monitor, PROP_MONITOR_COMMAND, (HANDLE)(INT_PTR)FRAME_MONITOR_BUTTON);
        ShowPatrolState(window, record);
    }
}

void TakeImageButtons(HWND window)
{
    ClearImageButton(GetDlgItem(window, FRAME_HELP_BUTTON));
    ClearImageButton(GetDlgItem(window, FRAME_MONITOR_BUTTON));
    s_imageButton = NULL;
    s_hotButton = NULL;
    s_pressing = 0;
}

void PageActivated(HWND page, const PageRecord* record)
{
    GiveImageButtons(page, record);

    HWND sheet = GetParent(page);
    SetWindowLongPtrA(sheet, GWL_EXSTYLE,
                      GetWindowLongPtrA(sheet, GWL_EXSTYLE) & ~(LONG_PTR)WS_EX_CONTEXTHELP);
    HWND ok = GetDlgItem(sheet, IDOK);
    if (ok != NULL) {
        ShowWindow(ok, SW_HIDE);
        EnableWindow(ok, FALSE);
    }
    char close[64];
    if (LoadText(IDS_CLOSE, close, sizeof(close)) > 0 && GetDlgItem(sheet, IDCANCEL) != NULL)
        SetDlgItemTextA(sheet, IDCANCEL, close);

    SetWindowTextA(g_MainWindow, ProductCaption());
    g_CurrentPage = record->Command;
    s_pageWindow = page;
    SetStatusText("");
    if (IsWindowsNT())
        LayoutFrame(sheet, page);
    else
        ShowWindow(GetDlgItem(page, FRAME_CLOSE), SW_HIDE);
}

void PageLeft(HWND page, int destroyed)
{
    TakeImageButtons(page);
    SetStatusText("");
    // Pages destroyed after the first one of a closing sheet find the
    // current page reset and leave "StartTab" as the active page left it.
    if (g_CurrentPage > 0)
        SaveSheetPlacement(GetParent(page));
    if (!destroyed)
        return;
    if (page == s_pageWindow)
        s_pageWindow = NULL;
    if (g_CurrentPage > 0) {
        g_CurrentPage = 0;
        PostMessageA(g_MainWindow, WM_CLOSE, 0, 0);
    }
}

HWND CurrentPageWindow()
{
    return s_pageWindow;
}

void CloseSheetFromPage(HWND page)
{
    HWND sheet = GetParent(page);
    PostMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(sheet, IDCANCEL));
}

static INT_PTR OnOwnPageNotify(HWND page, const PageRecord* record, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        PageActivated(page, record);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    case PSN_KILLACTIVE:
        PageLeft(page, 0);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
    default:
        return FALSE;
    }
}

int HandleFrameMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        INT_PTR* result)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        *result = HandleImageButtons(window, message, wParam, lParam);
        return 1;
    case WM_DRAWITEM:
        *result = DrawPageCaption((const DRAWITEMSTRUCT*)lParam);
        return 1;
    default:
        return 0;
    }
}

int HandleOwnPageFrame(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                       const int* buttons, int count, INT_PTR* result)
{
    if (HandleFrameMessages(page, message, wParam, lParam, result))
        return 1;
    const PageRecord* record = (const PageRecord*)GetWindowLongPtrA(page, DWLP_USER);
    *result = TRUE;
    switch (message) {
    case WM_NOTIFY:
        if (record == NULL)
            return 0;
        *result = OnOwnPageNotify(page, record, (const NMHDR*)lParam);
        return *result != FALSE;
    case WM_CLOSE:
        CloseSheetFromPage(page);
        return 1;
    case WM_VX_LAYOUT_PAGE:
        LayoutPage(page, buttons, count, NULL);
        return 1;
    case WM_DESTROY:
        PageLeft(page, 1);
        *result = FALSE;
        return 1;
    case WM_SETCURSOR:
        *result = HandleImageButtons(page, message, wParam, lParam);
        return 1;
    default:
        *result = FALSE;
        return 0;
    }
}

// --- The page's own layout -----------------------------------------------------------

struct Deferred {
    HDWP positions;
    void Place(HWND window, int x, int y, int width, int height, UINT flags)
    {
        if (window != NULL && positions != NULL)
            positions = DeferWindowPos(positions, window, NULL, x, y, width, height,
                                       flags | SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

static int WidthOf(HWND window)
{
    RECT r;
    return window != NULL && GetWindowRect(window, &r) ? r.right - r.left : 0;
}

static int HeightOf(HWND window)
{
    RECT r;
    return window != NULL && GetWindowRect(window, &r) ? r.bottom - r.top : 0;
}

void LayoutPage(HWND page, const int* buttons, int count, const int* partners)
{
    RECT units = { 7, 44, 14, 90 };  // margin, list top, right and bottom reserves
    RECT row = { 0, 35, 0, 0 };      // the button row's reserve
    MapDialogRect(page, &units);
    MapDialogRect(page, &row);
    RECT client;
    GetClientRect(page, &client);
    int margin = units.left, listTop = units.top + 5;
    int listWidth = client.right - margin - units.right;
    int listHeight = client.bottom - units.bottom - listTop;

    Deferred d = { BeginDeferWindowPos(6 + 2 * count) };
    const int pinned[4] = { FRAME_HELP_BUTTON, FRAME_HELP_LABEL, FRAME_MONITOR_BUTTON,
                            FRAME_MONITOR_LABEL };
    const int tops[4] = { 3, 25, 38, 60 };
    for (int i = 0; i < 4; i++) {
        HWND control = GetDlgItem(page, pinned[i]);
        d.Place(control, client.right - margin - WidthOf(control), tops[i], 0, 0, SWP_NOSIZE);
    }
    d.Place(GetDlgItem(page, FRAME_LIST), margin, listTop, listWidth > 0 ? listWidth : 0,
            listHeight > 0 ? listHeight : 0, 0);

    int buttonWidth = count > 0 ? WidthOf(GetDlgItem(page, buttons[0])) : 0;
    int step = count > 1 ? (listWidth - count * buttonWidth) / (count - 1) + buttonWidth : 0;
    for (int i = 0; i < count; i++) {
        HWND button = GetDlgItem(page, buttons[i]);
        int height = HeightOf(button);
        int x = count == 1 ? margin + (listWidth - buttonWidth) / 2 : margin + i * step;
        int width = buttonWidth;
        if (count > 1 && i == count - 1) {
            x += 25;
            width -= 25;
        }
        int y = client.bottom - row.top + (row.top - height) / 2;
        d.Place(button, x, y, width, height, 0);
        if (partners != NULL && partners[i] != 0)
            d.Place(GetDlgItem(page, partners[i]), x, y, width, height, 0);
    }
    if (d.positions != NULL)
        EndDeferWindowPos(d.positions);
}

// --- Image buttons and captions -------------------------------------------------

// The image button under the point of a mouse message, or NULL.
static HWND ImageButtonAt(HWND page, LPARAM lParam)
{
    POINT at = { (short)LOWORD(lParam), (short)HIWORD(lParam) };
    HWND child = ChildWindowFromPointEx(page, at, CWP_SKIPINVISIBLE);
    return child != NULL && child != page && GetPropA(child, PROP_NORMAL) != NULL ? child : NULL;
}

static void ShowNormal(HWND button)
{
    if (button != NULL && IsWindow(button))
        SetImage(button, GetPropA(button, PROP_NORMAL));
}

static void TrackOwnerDrawnButton(HWND page, HWND under)
{
    char kind[16] = "";
    if (under != NULL)
        GetClassNameA(under, kind, sizeof(kind));
    int ownerDrawn = under != NULL && GetParent(under) == page && TextEqualNoCase(kind, "Button")
                     && (GetWindowLongA(under, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
    HWND hot = ownerDrawn ? under : NULL;
    if (hot == s_hotButton)
        return;
    if (s_hotButton != NULL && IsWindow(s_hotButton))
        InvalidateRect(s_hotButton, NULL, TRUE);
    s_hotButton = hot;
    if (hot != NULL)
        InvalidateRect(hot, NULL, TRUE);
}

int HandleImageButtons(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETCURSOR) {
        TrackOwnerDrawnButton(page, (HWND)wParam);
        return 0;
    }
    if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP
        && message != WM_LBUTTONDBLCLK)
        return 0;
    HWND button = ImageButtonAt(page, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        if (s_pressing)
            return 1;
        if (button == NULL) {
            ShowNormal(s_imageButton);
            s_imageButton = NULL;
            return 0;
        }
        if (button != s_imageButton)
            ShowNormal(s_imageButton);
        s_imageButton = button;
        SetImage(button, GetPropA(button, GetPropA(button, PROP_HOVER) != NULL ? PROP_HOVER
                                                                              : PROP_PRESSED));
        return 1;
    case WM_LBUTTONDOWN:
        if (button == NULL)
            return 0;
        s_pressing = 1;
        s_imageButton = button;
        SetImage(button, GetPropA(button, PROP_PRESSED));
        return 1;
    default: {  // WM_LBUTTONUP, WM_LBUTTONDBLCLK
        s_pressing = 0;
        if (button == NULL) {
            ShowNormal(s_imageButton);
            return 0;
        }
        ShowNormal(button);
        INT_PTR command = (INT_PTR)GetPropA(button, PROP_HELP_COMMAND);
        if (command == 0)
            command = (INT_PTR)GetPropA(button, PROP_MONITOR_COMMAND);
        if (command != 0)
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), (LPARAM)button);
        return 1;
    }
    }
}

static void DrawShadowedText(const DRAWITEMSTRUCT* item, const char* text)
{
    HFONT old = (HFONT)SelectObject(item->hDC, ExplorerFontOf(XFONT_CAPTION));
    int previousMode = SetBkMode(item->hDC, TRANSPARENT);
    UINT format = strchr(text, '\n') != NULL ? DT_WORDBREAK | DT_NOPREFIX
                                             : DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    RECT shadow = item->rcItem;
    OffsetRect(&shadow, 1, 1);
    COLORREF ink = SetTextColor(item->hDC, RGB(192, 192, 192));
    DrawTextA(item->hDC, text, -1, &shadow, format);
    SetTextColor(item->hDC, ink);
    RECT place = item->rcItem;
    DrawTextA(item->hDC, text, -1, &place, format);
    SetBkMode(item->hDC, previousMode);
    SelectObject(item->hDC, old);
}

static void DrawOwnerButton(const DRAWITEMSTRUCT* item, const char* text)
{
    RECT face = item->rcItem;
    DrawFrameControl(item->hDC, &face, DFC_BUTTON,
                     DFCS_BUTTONPUSH | ((item->itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
    int previousMode = SetBkMode(item->hDC, TRANSPARENT);
    COLORREF color = GetSysColor(COLOR_BTNTEXT);
    if (item->itemState & ODS_DISABLED)
        color = GetSysColor(COLOR_GRAYTEXT);
    else if (item->hwndItem == s_hotButton)
        color = RGB(0, 0, 255);
    COLORREF ink = SetTextColor(item->hDC, color);
    HFONT font = (HFONT)SendMessageA(item->hwndItem, WM_GETFONT, 0, 0);
    HFONT old = font != NULL ? (HFONT)SelectObject(item->hDC, font) : NULL;
    DrawTextA(item->hDC, text, -1, &face, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    if (old != NULL)
        SelectObject(item->hDC, old);
    SetTextColor(item->hDC, ink);
    SetBkMode(item->hDC, previousMode);
    if (item->itemState & ODS_FOCUS) {
        InflateRect(&face, -3, -3);
        DrawFocusRect(item->hDC, &face);
    }
}

int DrawPageCaption(const DRAWITEMSTRUCT* item)
{
    if (item == NULL || (item->CtlType != ODT_STATIC && item->CtlType != ODT_BUTTON))
        return 0;
    char text[512];
    GetWindowTextA(item->hwndItem, text, sizeof(text));
    if (item->CtlType == ODT_BUTTON) {
        DrawOwnerButton(item, text);
        return 1;
    }
    // The page's own background (a themed page is not the button face).
    HBRUSH back = (HBRUSH)SendMessageA(GetParent(item->hwndItem), WM_CTLCOLORSTATIC,
                                       (WPARAM)item->hDC, (LPARAM)item->hwndItem);
    FillRect(item->hDC, &item->rcItem, back != NULL ? back : GetSysColorBrush(COLOR_BTNFACE));
    DrawShadowedText(item, text);
    return 1;
}

void ShowPatrolState(HWND page, const PageRecord* record)
{
    HWND button = GetDlgItem(page, FRAME_MONITOR_BUTTON);
    if (button == NULL || record == NULL)
        return;
    int image = IDB_PATROL_OFF;
    if (record->RealtimeOption >= 0 && g_Options[record->RealtimeOption] != 0)
        image = IDB_PATROL_REALTIME;
    else if (record->PeriodOption >= 0 && g_Options[record->PeriodOption] > 0)
        image = IDB_PATROL_TIMER;
    SetPropA(button, PROP_NORMAL, FrameBitmap(image));
    if (button != s_imageButton)
        SetImage(button, FrameBitmap(image));
}

// --- The status bar -----------------------------------------------------------------

void SetStatusText(const char* text)
{
    HWND sheet = ExplorerSheet();
    HWND status = sheet != NULL ? GetDlgItem(sheet, FRAME_STATUS_BAR) : NULL;
    if (status != NULL)
        SendMessageA(status, SB_SETTEXTA, 0, (LPARAM)(text != NULL ? text : ""));
}

HWND ExplorerSheet()
{
    return s_sheet;
}

void ForgetSheet()
{
    s_sheet = NULL;
    s_subclassed = NULL;
    s_pageWindow = NULL;
    if (s_tabImages != NULL)
        ImageList_Destroy(s_tabImages);
    s_tabImages = NULL;
}
