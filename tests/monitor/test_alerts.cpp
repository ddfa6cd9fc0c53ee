// The alert dialogs, shown for real on this thread and answered from a
// second thread as a user would: find the dialog, read its fields, press a
// button, Escape or the close box.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "monitor/alerts.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "resources/monitor_resource.h"
#include "resources/vardex_version.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

std::string HistoryPath() { return vxtest::PathInProgramFolder("history.txt"); }
std::string History() { return vxtest::ReadFileText(HistoryPath()); }
bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Our own program, which carries a version resource.
std::string OwnProgram() { return vxtest::PathInProgramFolder("Vardex.exe"); }

// What the user saw in the dialog.
struct AlertView {
    bool shown = false;
    std::string title;
    std::map<int, std::string> text;
    RECT rect = { 0, 0, 0, 0 };
    bool checkVisible = true;
    bool iconSet = false;
};

// Every control's text, by its id.
BOOL CALLBACK ReadControl(HWND control, LPARAM param)
{
    ((AlertView*)param)->text[GetDlgCtrlID(control)] = vxtest::WindowText(control);
    return TRUE;
}

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param)
{
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window)) {
        *(HWND*)param = window;
        return FALSE;
    }
    return TRUE;
}

// Finds the alert this process shows.
HWND WaitForAlert(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        HWND found = NULL;
        EnumThreadWindows(GetWindowThreadProcessId(g_MainWindow, NULL), FindVisibleDialog,
                          (LPARAM)&found);
        if (found != NULL)
            return found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

void Capture(HWND dialog, AlertView* view)
{
    view->shown = true;
    view->title = vxtest::WindowText(dialog);
    EnumChildWindows(dialog, ReadControl, (LPARAM)view);
    GetWindowRect(dialog, &view->rect);
    HWND check = GetDlgItem(dialog, IDC_ALERT_CHECK);
    view->checkVisible = check != NULL && IsWindowVisible(check);
    view->iconSet = SendDlgItemMessageA(dialog, IDC_ALERT_ICON, BM_GETIMAGE, IMAGE_ICON, 0) != 0;
}

// Shows the alert of the kind for the record as it stands; act answers it.
int RunAlert(AlertKind kind, const std::function<void(HWND)>& act, AlertView* view = NULL)
{
    AlertView local;
    if (view == NULL)
        view = &local;
    std::thread user([&] {
        HWND dialog = WaitForAlert(10000);
        if (dialog == NULL)
            return;
        Sleep(100);
        Capture(dialog, view);
        act(dialog);
    });
    int result = AskAlertOfKind(kind);
    user.join();
    return result;
}

// The answers a user gives; 0 stands for Escape, -1 for the close box.
void Answer(HWND dialog, int id)
{
    if (id == 0)
        PostMessageA(GetDlgItem(dialog, IDC_ALERT_LOOKUP) != NULL
                         ? GetDlgItem(dialog, IDC_ALERT_LOOKUP) : GetDlgItem(dialog, IDYES),
                     WM_KEYDOWN, VK_ESCAPE, 0);
    else if (id == -1)
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        vxtest::ClickButton(dialog, id);
}
std::function<void(HWND)> Pressing(int id) { return [id](HWND d) { Answer(d, id); }; }
// The accepting button, "OK" in the hidden-file alert.
void Accept(HWND d) { Answer(d, GetDlgItem(d, IDYES) != NULL ? IDYES : IDOK); }

std::string LoadString(int id)
{
    char text[1024];
    LoadText(id, text, sizeof(text));
    return text;
}

class AlertTest : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine();
        LoadOptions();
        DeleteFileA(HistoryPath().c_str());
        Record();
    }
    // A fresh subject.
    static void Record(const std::string& file = OwnProgram(), const char* name = "Vardex Updater",
                       int code = 11)
    {
        SetAlertRecord(file.c_str(), name, code);
    }
};

// --- How each alert ends ----------------------------------------------------------

TEST_F(AlertTest, EachAlertEndsAsItsButtonsEscapeAndCloseBoxSayAndClearsTheRecord)
{
    const struct { AlertKind kind; int escape, closeBox, yesId, noId; } kEndings[] = {
        { ALERT_STARTUP, 6, 6, IDYES, IDNO }, { ALERT_DELAYED, 6, 6, IDYES, IDNO },
        { ALERT_HELPER, 6, 6, IDYES, IDNO }, { ALERT_ACTIVEX, 6, 6, IDYES, IDNO },
        // Escape and the close box keep a hidden file; only "&Delete" deletes.
        { ALERT_HIDDEN, 6, 6, IDOK, IDCANCEL }, { ALERT_TASK, 6, 6, IDYES, IDNO },
        // A service the user waves away is stopped and disabled.
        { ALERT_SERVICE, 7, 7, IDYES, IDNO }, { ALERT_FILETYPE, 6, 6, IDYES, IDNO },
    };
    for (const auto& c : kEndings) {
        const struct { int press, result; } answers[] = {
            { 0, c.escape }, { -1, c.closeBox }, { c.yesId, 6 }, { c.noId, 7 },
        };
        for (const auto& a : answers) {
            SCOPED_TRACE(testing::Message() << "alert kind " << c.kind << " answer " << a.press);
            Record(OwnProgram(), "Item");
            TextCopy(g_Alert.Location, "C:\\x");
            g_Patrol.AlertOpen = 1;
            EXPECT_EQ(a.result, RunAlert(c.kind, Pressing(a.press)));
            EXPECT_EQ(0, g_Patrol.AlertOpen);
            EXPECT_STREQ("", g_Alert.File);
            EXPECT_STREQ("", g_Alert.Name);
            EXPECT_STREQ("", g_Alert.Location);
        }
    }
}

// --- What the alerts show -------------------------------------------------------------

TEST_F(AlertTest, EachAlertShowsItsSubject)
{
    const char* serviceKey = "SYSTEM\\CurrentControlSet\\Services\\VxAlertProbe";
    const std::string own = OwnProgram(), state = "\nActive Status: Stopped.\n\nIs it ok to allow this "
                                                   "service to be installed with those settings?";
    // The record (the second file is Notepad), the service's "Start", and
    // what the controls must show; 0 stands for the window title.
    const struct { AlertKind kind; const char* name; int code; DWORD start;
                   std::map<int, std::string> shown; } cases[] = {
        { ALERT_STARTUP, "x", 11, 0, { { 0, "Vardex New Program Alert" },
            { IDC_ALERT_HEADING, "Vardex" }, { IDC_ALERT_FILE, own },
            { IDC_ALERT_VERSION, VX_VERSION_TEXT }, { IDC_ALERT_COMPANY, "Quillon" },
            { IDC_ALERT_VERSION_LABEL, "Version" }, { IDC_ALERT_LOOKUP, "PLUS &Info..." },
            { IDYES, "&Yes" }, { IDNO, "&No" } } },
        { ALERT_TASK, "Backup.job", 0, 0, { { IDC_ALERT_HEADING, "Backup" } } },
        { ALERT_TASK, "abc", 0, 0, { { IDC_ALERT_HEADING, "Vardex New Program Alert" } } },
        { ALERT_SERVICE, "VxAlertProbe", 700, 2, {
            { IDC_ALERT_SERVICE_STATE, "Startup Status: Automatic" + state },
            { IDC_ALERT_SERVICE_HEADING, LoadString(900) } } },
        { ALERT_SERVICE, "VxAlertProbe", 700, 3,
          { { IDC_ALERT_SERVICE_STATE, "Startup Status: Manual" + state } } },
        { ALERT_SERVICE, "VxAlertProbe", 700, 4,
          { { IDC_ALERT_SERVICE_STATE, "Startup Status: Disabled" + state } } },
        { ALERT_SERVICE, "VxAlertProbe", 700, 0,
          { { IDC_ALERT_SERVICE_STATE, "Startup Status: Unknown" + state } } },
        { ALERT_FILETYPE, ".txt", 400, 0, { { 0, "Vardex File Type Change Alert" },
            { IDC_FILETYPE_EXTENSION, ".txt" }, { IDC_FILETYPE_OLD_NAME, "Vardex" },
            { IDC_FILETYPE_OLD_COMPANY, "Quillon" }, { IDC_FILETYPE_OLD_PATH, own },
            { IDC_FILETYPE_NEW_PATH, "C:\\windows\\notepad.exe" },
            { IDC_FILETYPE_OLD_LOOKUP, "Info..." }, { IDC_FILETYPE_NEW_LOOKUP, "Info..." },
            { IDC_FILETYPE_OLD_LABEL, LoadString(757) },
            { IDC_FILETYPE_QUESTION, LoadString(759) } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " " << c.name << " " << c.start);
        vxtest::SetDword(HKEY_LOCAL_MACHINE, serviceKey, "Start", c.start);
        vxtest::SetString(HKEY_LOCAL_MACHINE, serviceKey, "DisplayName", "VxAlertProbe");
        vxtest::SetString(HKEY_LOCAL_MACHINE, serviceKey, "ImagePath", own.c_str());
        Record(own, c.name, c.code);
        TextCopy(g_Alert.SecondFile, "C:\\windows\\notepad.exe");
        AlertView view;
        RunAlert(c.kind, Accept, &view);
        ASSERT_TRUE(view.shown);
        view.text[0] = view.title;
        for (const auto& field : c.shown)
            EXPECT_EQ(field.second, view.text[field.first]) << "control " << field.first;
        if (c.kind == ALERT_STARTUP) {
            EXPECT_FALSE(view.checkVisible);
            EXPECT_TRUE(view.iconSet);
            EXPECT_TRUE(Has(view.text[IDC_ALERT_MESSAGE], "detected.\nThis program will run each"));
            EXPECT_FALSE(Has(view.text[IDC_ALERT_MESSAGE], "%s"));
        }
    }
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, serviceKey);

    // Where a startup program starts, and the heading of the hook points.
    const int places[][2] = { { 1, 765 }, { 11, 765 }, { 2, 766 }, { 12, 766 }, { 26, 766 },
                              { 4, 765 }, { 100, 767 }, { 101, 767 }, { 200, 768 }, { 256, 765 } };
    for (const auto& p : places)
        EXPECT_EQ(p[1], StartupLocationTextId(p[0])) << p[0];
    const struct { const char* product; int code; const char* heading; } headings[] = {
        { "Tool", 11, "Tool" }, { "Tool", 250, "WinLogon:UserInit" },
        { "Tool", 251, "WinLogon:Shell" }, { "Tool", 252, "ObjectDelayLoad" },
        { "Tool", 253, "SharedTaskScheduler" },
        { "Tool", 254, "Tool" }, { "Tool", 255, "AppInit_DLLs" }, { "", 250, "" }, { "", 11, "" },
    };
    for (const auto& h : headings) {
        char out[ALERT_TEXT];
        StartupHeading(h.product, h.code, out);
        EXPECT_STREQ(h.heading, out) << h.code;
    }
    char out[ALERT_TEXT];
    EXPECT_EQ(0, TaskHeading("abc", out));
    EXPECT_EQ(1, TaskHeading("abcd", out));
    EXPECT_STREQ("", out);
}

TEST_F(AlertTest, ATranslationIsDataNotAFormat)
{
    // Its "%n" become line breaks and "%d" stays.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString7", "Neu: %d%n%x");
    WORD saved = g_MessageLanguage;
    g_MessageLanguage = 7;
    AlertView view;
    RunAlert(ALERT_STARTUP, Accept, &view);
    g_MessageLanguage = saved;
    EXPECT_EQ("Neu: %d\n%x", view.text[IDC_ALERT_MESSAGE]);
}

TEST_F(AlertTest, UnusualSubjectsAreShownAsGiven)
{
    std::string longPath = "C:\\" + std::string(250, 'p') + "\\a.exe";
    ASSERT_EQ(259u, longPath.size());
    std::string empty = vxtest::PathInProgramFolder("empty.exe");
    vxtest::WriteFileBytes(empty, "");
    std::string notPe = vxtest::PathInProgramFolder("notes.exe");
    vxtest::WriteFileBytes(notPe, "MZ but not really a program");
    const struct { std::string file, name; } subjects[] = {
        { longPath, "long" }, { OwnProgram(), "%s%n%d%s%n%x%p%%" }, { "", "" },
        { empty, "empty file" }, { notPe, "not a program" },
        { vxtest::ProgramFolder(), "a folder" },
        { "C:\\missing\\gone.exe -switch \"quoted\"", "gone" },
    };
    for (const auto& s : subjects) {
        for (int k = 0; k < ALERT_KIND_COUNT; k++) {
            AlertKind kind = (AlertKind)k;
            SCOPED_TRACE(testing::Message() << "kind " << kind << " file " << s.file);
            Record(s.file, s.name.c_str());
            TextCopy(g_Alert.SecondFile, s.file.c_str());
            AlertView view;
            EXPECT_EQ(6, RunAlert(kind, Accept, &view));
            ASSERT_TRUE(view.shown);
            if (kind == ALERT_FILETYPE) {
                EXPECT_EQ(s.name, view.text[IDC_FILETYPE_EXTENSION]);
                EXPECT_EQ(s.file, view.text[IDC_FILETYPE_OLD_PATH]);
                EXPECT_EQ(s.file, view.text[IDC_FILETYPE_NEW_PATH]);
                continue;
            }
            EXPECT_EQ(s.file, view.text[IDC_ALERT_FILE]);
            if (s.file != OwnProgram()) {
                EXPECT_EQ("Company name not included in this program.",
                          view.text[IDC_ALERT_COMPANY]);
                EXPECT_EQ("No Description found", view.text[IDC_ALERT_DESCRIPTION]);
                EXPECT_FALSE(view.iconSet);
            }
            if (kind == ALERT_HELPER || kind == ALERT_HIDDEN || kind == ALERT_SERVICE) {
                EXPECT_EQ(s.name, view.text[IDC_ALERT_HEADING]);
            }
        }
    }
}

// --- History lines --------------------------------------------------------------------

TEST_F(AlertTest, EachAlertWritesItsOwnHistoryLine)
{
    // The parts the history must hold; none: the alert writes nothing (the
    // service alert only asks, what a refusal does is the category's).
    const struct { AlertKind kind; int code, press; std::vector<const char*> parts; } cases[] = {
        { ALERT_STARTUP, 11, IDYES, { "\tSTART_Alert\tCURRENT_RUN\tVardex\t", "VARDEX.EXE" } },
        { ALERT_HELPER, 0, IDYES, { "\tIEHELPER_Alert\tTYPE_BHO\tVardex\t" } },
        { ALERT_ACTIVEX, 0, IDYES, { "\tIEHELPER_Alert\tTYPE_BHO\tVardex\t" } },
        { ALERT_HIDDEN, 370, IDOK, { "\tHIDDEN_Alert\tTYPE_HIDDEN\thidden.sys\t" } },
        { ALERT_TASK, 0, IDYES, { "\tTASK_Alert\tTASK_SCHEDULED\tVardex\t" } },
        { ALERT_SERVICE, 700, IDNO, {} },
        { ALERT_SERVICE, 700, IDYES, {} },
        { ALERT_DELAYED, 11, IDYES, {} },
        { ALERT_FILETYPE, 400, IDNO, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "alert kind " << c.kind);
        DeleteFileA(HistoryPath().c_str());
        Record(OwnProgram(), "hidden.sys", c.code);
        RunAlert(c.kind, Pressing(c.press));
        std::string history = History();
        if (c.parts.empty()) {
            EXPECT_EQ("", history);
        }
        for (const char* part : c.parts)
            EXPECT_TRUE(Has(history, part)) << history;
    }
}

// --- Position ---------------------------------------------------------------------------

TEST_F(AlertTest, ThePositionIsCentredRememberedAndKeptOnScreen)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "6040");
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    AlertView view;
    RunAlert(ALERT_TASK, [&](HWND d) {
        SetWindowPos(d, NULL, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Answer(d, IDYES);
    }, &view);
    // Without a saved position the alert is centred, a third from the top.
    int width = view.rect.right - view.rect.left, height = view.rect.bottom - view.rect.top;
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, view.rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 3, view.rect.top);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "33");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "44");
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_KEY, "dxAlert"));
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_KEY, "dyAlert"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "0");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");

    // A position beyond the screen comes back to the middle.
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "99999");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "40");
    Record();
    RunAlert(ALERT_HELPER, Accept, &view);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2, view.rect.left);
    EXPECT_EQ(40, view.rect.top);
}

// --- Resources --------------------------------------------------------------------------

TEST_F(AlertTest, ShowingAlertsAgainAndAgainHoldsNoResources)
{
    HANDLE self = GetCurrentProcess();
    DWORD gdi = 0, user = 0, handles = 0;
    for (int i = 0; i < 43; i++) {
        if (i == 3) {  // after a first round has loaded what stays loaded
            gdi = GetGuiResources(self, GR_GDIOBJECTS);
            user = GetGuiResources(self, GR_USEROBJECTS);
            GetProcessHandleCount(self, &handles);
        }
        Record(OwnProgram(), "x");
        TextCopy(g_Alert.SecondFile, OwnProgram().c_str());
        RunAlert((AlertKind)(i % ALERT_KIND_COUNT), Accept);
    }
    DWORD handlesAfter = 0;
    GetProcessHandleCount(self, &handlesAfter);
    EXPECT_LE(GetGuiResources(self, GR_GDIOBJECTS), gdi + 4);
    EXPECT_LE(GetGuiResources(self, GR_USEROBJECTS), user + 4);
    EXPECT_LE(handlesAfter, handles + 8);
}

// Used by scripts/screenshots.sh: shows one alert, filled with our own
// program, for VX_SHOWCASE_SECONDS (default 6) and then accepts it.
TEST(Showcase, DISABLED_ShowAlert)
{
    StartMonitorSpine();
    LoadOptions();
    char kindText[16] = "0", secondsText[16] = "6", codeText[16] = "11";
    GetEnvironmentVariableA("VX_SHOWCASE_KIND", kindText, sizeof(kindText));
    GetEnvironmentVariableA("VX_SHOWCASE_CODE", codeText, sizeof(codeText));
    GetEnvironmentVariableA("VX_SHOWCASE_SECONDS", secondsText, sizeof(secondsText));
    AlertKind kind = (AlertKind)atoi(kindText);
    SetAlertRecord(OwnProgram().c_str(), kind == ALERT_FILETYPE ? ".vdx" : "Vardex.exe",
                   kind == ALERT_SERVICE ? 700 : atoi(codeText));
    if (kind == ALERT_TASK)
        TextCopy(g_Alert.Name, "Vardex Update.job");
    TextCopy(g_Alert.SecondFile, "C:\\windows\\system32\\notepad.exe");
    DWORD ms = (DWORD)atoi(secondsText) * 1000;
    RunAlert(kind, [ms](HWND d) {
        Sleep(ms);
        Accept(d);
    });
}

}  // namespace
