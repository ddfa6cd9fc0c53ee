// Driving a list page as a user would: the page hosted in a property sheet
// of the test's own (modeless, on the test's thread), its list read row by
// row, its headers and rows clicked with the mouse, its buttons pressed,
// and the message boxes, the file chooser and the right-click menu it opens
// answered from a second thread while the page waits for them.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "explorer/list_page.h"
#include "foundation/handles.h"
#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/info_dialog.h"
#include "foundation/options.h"
#include "resources/explorer_pages.h"
#include "support/vxtest.h"

namespace page_test {

const char* const kSheetTitle = "List page under test";
// The sheet of the test (never taken for a box).
inline HWND g_sheet = NULL;

// One page of the page table in a sheet of its own (a list page, or a page
// of its own procedure).
class PageHost {
public:
    explicit PageHost(int command) : PageHost(PageByCommand(command)) {}
    // A record of the test's own (a page table row with another listing).
    explicit PageHost(const PageRecord* record)
    {
        InitCommonControls();
        g_Instance = GetModuleHandleA(NULL);  // the explorer's dialogs come from here
        SetItemInfoProc(ShowProgramInfo);     // as the sheet does
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof(page);
        page.hInstance = GetModuleHandleA(NULL);
        page.pszTemplate = MAKEINTRESOURCEA(record->TemplateId);
        // A page of its own kind brings its own procedure.
        page.pfnDlgProc = record->Kind == PAGE_KIND_OWN && record->Procedure != NULL
                              ? record->Procedure
                              : ListPageProc;
        page.lParam = (LPARAM)record;
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
        header.hInstance = GetModuleHandleA(NULL);
        header.pszCaption = kSheetTitle;
        header.nPages = 1;
        header.ppsp = &page;
        sheet_ = g_sheet = (HWND)PropertySheetA(&header);
        vxtest::PumpMessages(100);
    }
    ~PageHost() { Close(); }

    void Close()
    {
        if (sheet_ != NULL && IsWindow(sheet_))
            DestroyWindow(sheet_);
        sheet_ = NULL;
        vxtest::PumpMessages(0);
    }
    HWND Sheet() const { return sheet_; }
    HWND Page() const
    {
        return sheet_ ? (HWND)SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0) : NULL;
    }
    HWND List() const { return GetDlgItem(Page(), IDC_PAGE_LIST); }

private:
    HWND sheet_ = NULL;
};

// A page test starts from a first run, the options loaded.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
    }
    void TearDown() override { vxtest::ResetStore(); }
};

typedef std::unique_ptr<SC_HANDLE__, decltype(&CloseServiceHandle)> ScGuard;

// Starts (or stops) Wine's spooler, or (act false) only waits, until it is
// so; false when it did not come to be so in 5 s.
inline bool Spooler(bool run, bool act = true)
{
    ScGuard scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT), &CloseServiceHandle);
    ScGuard service(OpenServiceA(scm.get(), "Spooler", SERVICE_ALL_ACCESS), &CloseServiceHandle);
    SERVICE_STATUS status = {};
    if (service == nullptr)
        return false;
    if (act && run)
        StartServiceA(service.get(), 0, NULL);
    else if (act)
        ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    DWORD want = run ? SERVICE_RUNNING : SERVICE_STOPPED;
    for (int i = 0; i < 100 && QueryServiceStatus(service.get(), &status) &&
                    status.dwCurrentState != want;
         i++)
        Sleep(50);
    return status.dwCurrentState == want;
}

// The text of the sheet's status bar.
inline std::string StatusText(HWND sheet)
{
    char text[512] = "";
    HWND status = GetDlgItem(sheet, FRAME_STATUS_BAR);
    if (status != NULL && LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 0, 0)) < sizeof(text))
        SendMessageA(status, SB_GETTEXTA, 0, (LPARAM)text);
    return text;
}

inline int RowCount(HWND list) { return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }

inline std::string Cell(HWND list, int row, int column)
{
    char text[1024] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
    return text;
}

// What a row holds besides its texts: its record's index, its image.
inline LVITEMA RowItem(HWND list, int row, UINT mask)
{
    LVITEMA item = {};
    item.mask = mask;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    return item;
}
inline int RowRecord(HWND list, int row) { return (int)RowItem(list, row, LVIF_PARAM).lParam; }
inline int RowImage(HWND list, int row) { return RowItem(list, row, LVIF_IMAGE).iImage; }

// A column from top to bottom.
inline std::vector<std::string> Column(HWND list, int column)
{
    std::vector<std::string> cells;
    for (int row = 0; row < RowCount(list); row++)
        cells.push_back(Cell(list, row, column));
    return cells;
}

// The first row whose column shows text; -1 when none does.
inline int FindRow(HWND list, int column, const std::string& text)
{
    for (int row = 0; row < RowCount(list); row++)
        if (Cell(list, row, column) == text)
            return row;
    return -1;
}

// A left click on the column's header.
inline void ClickHeader(HWND list, int column)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    RECT r;
    SendMessageA(header, HDM_GETITEMRECT, (WPARAM)column, (LPARAM)&r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

inline LPARAM RowPoint(HWND list, int row)
{
    RECT r;
    r.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, (WPARAM)row, (LPARAM)&r);
    return MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
}

// A mouse button pressed and released at the point of the list.  After the
// press the list may watch for a drag in a loop of its own, holding the
// capture, until a button message comes: the release is queued for it.  A
// list of another thread gets it once it watches (sooner it would be taken
// before the press).
inline void PressAndRelease(HWND list, UINT down, UINT up, WPARAM keys, LPARAM at)
{
    DWORD owner = GetWindowThreadProcessId(list, NULL);
    if (owner == GetCurrentThreadId()) {
        PostMessageA(list, up, 0, at);
        SendMessageA(list, down, keys, at);
    } else {
        std::atomic<bool> pressed(false);
        std::thread release([&] {
            GUITHREADINFO info;
            for (; !pressed; Sleep(10)) {
                info.cbSize = sizeof(info);
                if (GetGUIThreadInfo(owner, &info) && info.hwndCapture == list) {
                    PostMessageA(list, up, 0, at);
                    return;
                }
            }
        });
        SendMessageA(list, down, keys, at);
        pressed = true;
        release.join();
    }
    SendMessageA(list, up, 0, at);
}

// A left click on the row (it alone is then selected), scrolled into view
// first.
inline void ClickRow(HWND list, int row)
{
    SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)row, FALSE);
    PressAndRelease(list, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, RowPoint(list, row));
    vxtest::PumpMessages(0);
}

// Control-click: the rows selected together.
inline void SelectRows(HWND list, const std::vector<int>& rows)
{
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
}

inline bool Shown(HWND window, int id)
{
    return IsWindowVisible(GetDlgItem(window, id)) != FALSE;
}
inline bool Usable(HWND window, int id)
{
    return IsWindowEnabled(GetDlgItem(window, id)) != FALSE;
}

// Presses a button of the page; returns when the page has done its work.
inline void Press(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    ASSERT_TRUE(button != NULL) << "no button " << id;
    SendMessageA(button, BM_CLICK, 0, 0);
}

// Presses a dialog's button from a second thread until the dialog goes (a
// dialog still settling may miss a press).
inline void PressUntilGone(HWND dialog, int id)
{
    for (int i = 0; i < 250 && IsWindow(dialog); i++, Sleep(20))
        if (i % 50 == 0)
            PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Runs action on this thread while user runs on a second thread; done
// tells user that action has returned (and the messages after it run).
inline void WhileUser(const std::function<void(const std::atomic<bool>& done)>& user,
                      const std::function<void()>& action, DWORD settle = 100)
{
    std::atomic<bool> done(false);
    std::thread second([&] { user(done); });
    action();
    vxtest::PumpMessages(settle);
    done = true;
    second.join();
}

// What a box showed and which button closed it.
struct Box {
    std::string caption, text;
};

// The text of the explorer's message dialog.
const int kMessageDialogText = 1025;

// A control of a dialog the test drives itself while boxes are answered
// (0: none): a dialog holding it is never taken for a box.
inline int g_drivenControl = 0;

inline bool IsBox(HWND dialog)
{
    return g_drivenControl == 0 || GetDlgItem(dialog, g_drivenControl) == NULL;
}

// The visible dialog (class #32770) titled caption other than the sheet.
inline HWND FindDialog(const char* caption)
{
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "#32770", NULL)) != NULL;) {
        if (w != g_sheet && IsWindowVisible(w) &&
            (caption == NULL || vxtest::WindowText(w) == caption))
            return w;
    }
    return NULL;
}

// The visible dialog open now that is not the sheet nor driven; NULL when
// none.
inline HWND FindBox()
{
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "#32770", NULL)) != NULL;)
        if (w != g_sheet && IsWindowVisible(w) && IsBox(w))
            return w;
    return NULL;
}

// A message box's text, or the explorer's message dialog's.
inline std::string BoxText(HWND box)
{
    int id = GetDlgItem(box, 0xFFFF) != NULL ? 0xFFFF : kMessageDialogText;
    return vxtest::DialogItemText(box, id);
}

// Answers the box titled caption with button, waiting for it up to 5 s
// while alive (when not NULL) is a window; its text, "<no box>" when none
// came.
inline std::string AnswerBox(const char* caption, int button, HWND alive = NULL)
{
    HWND box = NULL;
    for (int i = 0; i < 250 && (alive == NULL || IsWindow(alive)) &&
                    (box = FindDialog(caption)) == NULL;
         i++)
        Sleep(20);
    if (box == NULL)
        return "<no box>";
    Sleep(300);
    std::string text = BoxText(box);
    PressUntilGone(box, button);
    return text;
}

// Runs action on this thread while a second thread answers the message
// boxes it opens, in order, with the buttons given (a box beyond them gets
// "No", else "OK").  Returns what each box showed.
inline std::vector<Box> WithBoxes(const std::vector<int>& answers,
                                  const std::function<void()>& action)
{
    std::vector<Box> boxes;
    WhileUser([&](const std::atomic<bool>& done) {
        while (!done) {
            HWND box = FindBox();
            if (box == NULL) {
                Sleep(20);
                continue;
            }
            Sleep(400);
            boxes.push_back({ vxtest::WindowText(box), BoxText(box) });
            int answer = boxes.size() <= answers.size() ? answers[boxes.size() - 1]
                         : GetDlgItem(box, IDNO) != NULL ? IDNO : IDOK;
            PressUntilGone(box, answer);
        }
    }, action);
    return boxes;
}

// The text of the one box action opens; "<n boxes>" when not one.
inline std::string OneBoxText(const std::vector<int>& answers,
                              const std::function<void()>& action)
{
    std::vector<Box> boxes = WithBoxes(answers, action);
    return boxes.size() == 1 ? boxes[0].text : "<" + std::to_string(boxes.size()) + " boxes>";
}

// Runs action on this thread while a second thread waits for the dialog
// find gives, runs script on it and presses close until it goes.  false
// when no dialog came.
inline bool WithDialog(const std::function<HWND()>& find,
                       const std::function<void(HWND)>& script,
                       const std::function<void()>& action, int close = IDOK)
{
    bool seen = false;
    WhileUser([&](const std::atomic<bool>& done) {
        HWND d = NULL;
        for (int i = 0; (d = find()) == NULL && (!done || i < 25); i++)
            Sleep(20);
        if (d == NULL)
            return;
        seen = true;
        Sleep(300);
        script(d);
        PressUntilGone(d, close);
    }, action);
    return seen;
}

// The same for the dialog titled title.
inline bool WithDialog(const char* title, const std::function<void(HWND)>& script,
                       const std::function<void()>& action, int close = IDOK)
{
    return WithDialog([title] { return FindDialog(title); }, script, action, close);
}

// Runs action while a second thread picks file in the file chooser titled
// title.  true when the chooser was seen.
inline bool WithChosenFile(const char* title, const std::string& file,
                           const std::function<void()>& action)
{
    return WithDialog(title, [&](HWND d) {
        // The name box: a combo box with its edit (0x47c), or an edit (0x480).
        HWND name = GetDlgItem(d, 0x47c);
        HWND edit = name != NULL ? FindWindowExA(name, NULL, "Edit", NULL) : GetDlgItem(d, 0x480);
        SendMessageA(edit != NULL ? edit : name, WM_SETTEXT, 0, (LPARAM)file.c_str());
    }, action);
}

// A right-click on the row (or on the list's empty part for row -1);
// returns when the page has done with it.
inline void RightClick(HWND list, int row)
{
    RECT r;
    GetClientRect(list, &r);
    if (row >= 0)
        SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)row, FALSE);
    LPARAM at = row >= 0 ? RowPoint(list, row) : MAKELPARAM(r.right - 5, r.bottom - 5);
    PressAndRelease(list, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, at);
}

// The same; a second thread reads the menu it opens and closes it, or, with
// pick, chooses the entry of that text with the keyboard (down to it,
// Enter) when it is usable.  Each entry as "text" ("text (off)" when
// greyed, "-" for a separator); empty when no menu opened.  page owns the
// menu.
inline std::vector<std::string> MenuOfRightClick(HWND page, HWND list, int row,
                                                 const char* pick = nullptr)
{
    std::vector<std::string> entries;
    WhileUser([&](const std::atomic<bool>& done) {
        HWND menu = NULL;
        while (!done && (menu = FindWindowExA(NULL, NULL, "#32768", NULL)) == NULL)
            Sleep(20);
        if (menu == NULL)
            return;
        Sleep(150);
        HMENU handle = (HMENU)SendMessageA(menu, MN_GETHMENU, 0, 0);
        int downs = 0, chosen = 0;
        for (int i = 0; i < GetMenuItemCount(handle); i++) {
            char text[128] = "";
            GetMenuStringA(handle, (UINT)i, text, sizeof(text), MF_BYPOSITION);
            UINT state = GetMenuState(handle, (UINT)i, MF_BYPOSITION);
            entries.push_back((state & MF_SEPARATOR) ? std::string("-")
                              : std::string(text) + ((state & MF_GRAYED) ? " (off)" : ""));
            // The arrow keys pass over separators only.
            downs += !(state & MF_SEPARATOR) && chosen == 0;
            if (pick != nullptr && entries.back() == pick)
                chosen = downs;
        }
        for (int i = 0; i < chosen; i++)
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        if (chosen > 0)
            PostMessageA(menu, WM_CHAR, '\r', 0);
        else
            PostMessageA(page, WM_CANCELMODE, 0, 0);
    }, [&] { RightClick(list, row); }, 200);
    return entries;
}

// What the shell runs to open a written file: a harmless command.
inline void OpenHarmlessly(const char* extension)
{
    std::string type = std::string("VxOpen") + extension;
    vxtest::SetString(HKEY_CLASSES_ROOT, extension, "", type.c_str());
    vxtest::SetString(HKEY_CLASSES_ROOT, (type + "\\shell\\open\\command").c_str(), "",
                      "C:\\windows\\system32\\cmd.exe /c exit");
}

}  // namespace page_test
