// The sheet: one page per row of the page table, in tab order, each run by
// the procedure of its kind; and the message dialog its pages share.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>
#include <shlwapi.h>

#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/info_dialog.h"
#include "explorer/list_page.h"
#include "explorer/page_table.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/placement.h"
#include "foundation/text.h"
#include "foundation/windows_version.h"
#include "reports/scan_log.h"
#include "resources/explorer_resource.h"

#define TITLE_TEXT 64

// --- The message dialog -----------------------------------------------------------

static INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowTextA(dialog, ProductCaption());
        char text[1024];
        LoadText((int)lParam, text, sizeof(text));
        SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, text);
        CenterWindowOnScreen(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowMessageText(HWND owner, int textId)
{
    DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_MESSAGE), owner, MessageDialogProc, textId);
}

// --- Pages not built yet ----------------------------------------------------------

static void OnPendingInit(HWND page, const PageRecord* record)
{
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)record);
    char title[TITLE_TEXT];
    LoadText(record->TitleText, title, sizeof(title));
    SetDlgItemTextA(page, IDC_PAGE_TITLE, title);
    SetItemText(page, IDS_PAGE_PENDING, IDC_PAGE_NOTE);
    SetItemText(page, IDS_CLOSE, IDC_PAGE_CLOSE);
    ShowPageIcon(page, record);
    PageCreated(page, record);
}

// A page that shows only its title and a Close button.
static INT_PTR CALLBACK PendingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        OnPendingInit(page, (const PageRecord*)((const PROPSHEETPAGEA*)lParam)->lParam);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == FRAME_CLOSE)
            PostMessageA(page, WM_CLOSE, 0, 0);
        return TRUE;
    }
    const int buttons[1] = { FRAME_CLOSE };
    INT_PTR result = FALSE;
    HandleOwnPageFrame(page, message, wParam, lParam, buttons, 1, &result);
    return result;
}

// The procedure of a page by its kind.  Every kind runs the pending one
// until its own is in (PAGE_KIND_LIST: ListPageProc of list_page.h).
static DLGPROC PageProcedureOf(const PageRecord* record)
{
    if (record->Kind == PAGE_KIND_LIST)
        return ListPageProc;
    if (record->Kind == PAGE_KIND_OWN && record->Procedure != NULL)
        return record->Procedure;
    return PendingPageProc;
}

// The template of a page: its own once it is built.
static int PageTemplateOf(const PageRecord* record)
{
    return record->Kind == PAGE_KIND_PENDING ? IDD_PENDING_PAGE : record->TemplateId;
}

// --- The sheet ------------------------------------------------------------------------

// Pre-creation on the NT family: a sheet that can be resized.
static int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam)
{
    if (message != PSCB_PRECREATE || lParam == 0)
        return 0;
    const DWORD addStyle = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | DS_SETFONT | DS_3DLOOK;
    const DWORD addExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
    WORD* words = (WORD*)lParam;
    if (words[1] == 0xFFFF) {  // DLGTEMPLATEEX: version, signature, help id, ex style, style
        DWORD* fields = (DWORD*)(words + 2);
        fields[1] |= addExStyle;
        fields[2] |= addStyle;
    } else {
        DLGTEMPLATE* plain = (DLGTEMPLATE*)lParam;
        plain->style |= addStyle;
        plain->dwExtendedStyle |= addExStyle;
    }
    return 0;
}

typedef HRESULT(CALLBACK* DllGetVersionProc)(DLLVERSIONINFO*);

// 1 when the common controls are newer than 4.70: the longer page and
// header structures are understood.
static int LongStructures()
{
    LoadedLibrary controls("comctl32.dll");
    DllGetVersionProc getVersion = (DllGetVersionProc)(void*)controls.Proc("DllGetVersion");
    DLLVERSIONINFO version;
    ZeroMemory(&version, sizeof(version));
    version.cbSize = sizeof(version);
    if (getVersion == NULL || FAILED(getVersion(&version)))
        return 0;
    return version.dwMajorVersion > 4
           || (version.dwMajorVersion == 4 && version.dwMinorVersion > 70);
}

static void BringForward(HWND owner, int command)
{
    if (command == PAGE_ACTIVE_TASKS && CurrentPageWindow() != NULL
        && g_CurrentPage == PAGE_ACTIVE_TASKS)
        SendMessageA(CurrentPageWindow(), WM_VX_REFRESH_PAGE, 0, 0);
    BringWindowToTop(owner);
    if (command == PAGE_COOKIES)
        SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    // The owner is never seen: what the user sees come forward is the sheet.
    SetForegroundWindow(ExplorerSheet() != NULL ? ExplorerSheet() : owner);
}

// The sound scheme's "Open" event, when sounds are on and the user chose a
// sound for it.
#define OPEN_SOUND_KEY "AppEvents\\Schemes\\Apps\\Vardex\\Open\\.current"

static void PlayOpenSound()
{
    char wave[MAX_PATH];
    if (g_Options[OPT_Sound] > 0
        && RegReadString(HKEY_CURRENT_USER, OPEN_SOUND_KEY, "", wave, sizeof(wave)) > 0)
        PlaySoundA(wave, NULL, SND_FILENAME | SND_ASYNC | SND_NOWAIT);
}

void OpenExplorerPage(HWND owner, int command)
{
    if (g_CurrentPage > 0) {
        BringForward(owner, command);
        return;
    }
    g_CurrentPage = 1;
    // A copy of the explorer named for the scan log writes it before its
    // sheet appears, every time the sheet opens.
    if (ScanLogAtStart())
        WriteScanLogFile();
    SetWindowTextA(owner, ProductCaption());
    SetItemInfoProc(ShowProgramInfo);

    static char titles[16][TITLE_TEXT];
    PROPSHEETPAGEA pages[16];
    int count = 0, start = 0;
    UINT pageSize = LongStructures() ? sizeof(PROPSHEETPAGEA) : PROPSHEETPAGEA_V1_SIZE;
    for (int i = 0; i < PageCount() && count < 16; i++) {
        const PageRecord* record = PageAt(i);
        if (record->NtOnly && !IsWindowsNT())
            continue;
        PROPSHEETPAGEA& page = pages[count];
        ZeroMemory(&page, sizeof(page));
        page.dwSize = pageSize;
        page.dwFlags = PSP_USETITLE | PSP_USEHICON;
        page.hInstance = g_Instance;
        page.pszTemplate = MAKEINTRESOURCEA(PageTemplateOf(record));
        page.hIcon = (HICON)LoadImageA(g_Instance, MAKEINTRESOURCEA(record->IconId), IMAGE_ICON, 16,
                                       16, LR_SHARED);
        LoadText(record->TitleText, titles[count], sizeof(titles[count]));
        page.pszTitle = titles[count];
        page.pfnDlgProc = PageProcedureOf(record);
        page.lParam = (LPARAM)record;
        if (record->Command == command)
            start = count;
        count++;
    }

    PROPSHEETHEADERA header;
    ZeroMemory(&header, sizeof(header));
    header.dwSize = LongStructures() ? sizeof(header) : PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    if (IsWindowsNT()) {
        header.dwFlags |= PSH_USECALLBACK;
        header.pfnCallback = SheetCallback;
    }
    header.hwndParent = owner;
    header.hInstance = g_Instance;
    header.pszCaption = ProductCaption();
    header.nPages = (UINT)count;
    header.nStartPage = (UINT)start;
    header.ppsp = pages;

    PlayOpenSound();
    INT_PTR result = PropertySheetA(&header);
    ForgetSheet();
    g_CurrentPage = 0;
    if (result < 0)
        ShowMessageText(owner, IDS_SHEET_FAILED);
    // The explorer ends with its sheet (its pages ask for this as they go;
    // a sheet that never made a page could not).
    PostMessageA(owner, WM_CLOSE, 0, 0);
}
