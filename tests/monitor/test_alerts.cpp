// The alert dialogs, shown for real on this thread and answered from a
// second thread as a user would: find the dialog, read its fields, press a
// button, Escape or the close box.
#include <functional>
#include <map>
#include <thread>

#include <atomic>

#include "categories/activex.h"
#include "categories/browser_pages.h"
#include "categories/category.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/ie_helpers.h"
#include "categories/services.h"
#include "categories/sysfiles.h"
#include "categories/tasks.h"
#include "startup/autostart.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "monitor/patrol.h"
#include "monitor/tray.h"
#include "resources/fragments/services.h"
#include "resources/fragments/sysfiles.h"
#include "resources/monitor_resource.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

std::string HistoryPath() { return vxtest::PathInProgramFolder("history.txt"); }
// Our own program, which carries a version resource.
std::string OwnProgram() { return vxtest::PathInProgramFolder("Vardex.exe"); }
// The rows' alerts, in the order the screenshots number them: a new startup
// program, a delayed one returned, a helper, an ActiveX control, a hidden
// file, a task, a service, a file type, a watched file changed.
struct RowAlert { const Category* row; int verdict; };
const RowAlert kRowAlerts[] = {
    { &g_StartupCategory, VERDICT_NEW }, { &g_StartupCategory, VERDICT_RETURNED },
    { &g_IEHelpersCategory, VERDICT_NEW }, { &g_ActiveXCategory, VERDICT_NEW },
    { &g_HiddenFilesCategory, VERDICT_NEW }, { &g_TasksCategory, VERDICT_NEW },
    { &g_ServicesCategory, VERDICT_NEW }, { &g_FileTypesCategory, VERDICT_NEW },
    { &g_SysFilesCategory, VERDICT_NEW } };
enum { kStartup, kDelayed, kHelper, kActiveX, kHidden, kTask, kService, kFileType, kFileChange };
const AlertDescription* AlertOf(int kind)
{
    const RowAlert& a = kRowAlerts[kind];
    return a.verdict == VERDICT_RETURNED ? a.row->ReturnAlert : a.row->Alert;
}
// The record as the row describes an item of this file, name and code (a
// file type's recorded program is its Extra, its extension its Info).
void Describe(int kind, const std::string& file, const std::string& name, int code)
{
    ItemRecord item = {};
    TextCopy(item.Name, name.c_str()), TextCopy(item.Info, name.c_str());
    TextCopy(item.Command, file.c_str()), TextCopy(item.Extra, file.c_str());
    item.Code = code;
    DescribeCategoryItem(kRowAlerts[kind].row, &item, kRowAlerts[kind].verdict, &g_Alert);
}

// Asks; a second thread waits for the dialog, notes where it is and lets
// act read and answer it.  It stops waiting once the question is over.
RECT g_Shown;
std::pair<LONG, LONG> ShownAt() { return std::make_pair(g_Shown.left, g_Shown.top); }
int RunAsk(const std::function<int()>& ask, const std::function<void(HWND)>& act)
{
    std::atomic<bool> over(false);
    std::thread user([&] {
        HWND d = NULL;  // the main window's dialog, once it is visible
        for (int i = 0; i < 500 && d == NULL && !over; i++, Sleep(20))
            while ((d = FindWindowExA(NULL, d, "#32770", NULL)) != NULL)
                if (IsWindowVisible(d) && GetWindow(d, GW_OWNER) == g_MainWindow)
                    break;
        Sleep(100);
        if (d != NULL && GetWindowRect(d, &g_Shown))
            act(d);
    });
    int result = ask();
    over = true;
    user.join();
    return result;
}
// Shows the record as it stands with the alert of the kind.
int RunAlert(int kind, const std::function<void(HWND)>& act)
{
    g_Alert.Alert = AlertOf(kind);
    return RunAsk([] { return ShowAlert(&g_Alert); }, act);
}

// A user's answer: a button, 0 for Escape (it reaches the dialog through a
// button, as through the focus), -1 for the close box.
void Answer(HWND d, int id)
{
    if (id > 0)
        return vxtest::ClickButton(d, id);
    HWND button = GetDlgItem(d, GetDlgItem(d, IDC_ALERT_LOOKUP) ? IDC_ALERT_LOOKUP : IDYES);
    id == 0 ? PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0)
            : PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
}
// The accepting button, "OK" in the hidden-file alert.
void Accept(HWND d) { Answer(d, GetDlgItem(d, IDYES) != NULL ? IDYES : IDOK); }

// What a control shows; the title and the program's icon by these ids.
const int kTitle = 0, kIcon = -100;
std::string Shown(HWND d, int id)
{
    HWND control = id == kTitle ? d : GetDlgItem(d, id == kIcon ? IDC_ALERT_ICON : id);
    if (id == kIcon)
        return control && SendMessageA(control, BM_GETIMAGE, IMAGE_ICON, 0) ? "icon" : "none";
    return control ? vxtest::WindowText(control) : "<no control>";
}

struct AlertTest : testing::Test {
    void SetUp() override { vxtest::ResetStore(); StartMonitorSpine(); LoadOptions(); }
};

TEST_F(AlertTest, EachAlertEndsAsItsAnswerSaysWritesItsLineAndHoldsNoResources)
{
    // Escape and the close box keep a hidden file (only "&Delete" deletes)
    // and refuse a service (it stays stopped and disabled).  The history
    // line is written when the alert opens; none: the alert writes nothing
    // (what a refusal does is the category's).
    const struct { int kind; int escapeAndClose, yesId, noId; const char* line;
    } kinds[] = {
        {kStartup, 6, IDYES, IDNO, "\tSTART_Alert\tCURRENT_RUN\tVardex\tC:\\VARDEX\\VARDEX.EXE\t"},
        {kHelper, 6, IDYES, IDNO, "\tIEHELPER_Alert\tTYPE_BHO\tVardex\t"},
        {kActiveX, 6, IDYES, IDNO, "\tIEHELPER_Alert\tTYPE_BHO\tVardex\t"},
        {kHidden, 6, IDOK, IDCANCEL, "\tHIDDEN_Alert\tTYPE_HIDDEN\thidden.sys\t"},
        {kTask, 6, IDYES, IDNO, "\tTASK_Alert\tTASK_SCHEDULED\tVardex\t"},
        {kDelayed, 6, IDYES, IDNO, NULL}, {kService, 7, IDYES, IDNO, NULL},
        {kFileType, 6, IDYES, IDNO, NULL}};
    auto held = [] {  // GDI and USER objects and handles together
        DWORD handles = 0;
        GetProcessHandleCount(GetCurrentProcess(), &handles);
        return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) +
               GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) + handles;
    };
    DWORD before = 0;
    for (int round = 0; round < 4; round++) {
        if (round == 1)  // after a first round has loaded what stays loaded
            before = held();
        for (const auto& c : kinds) {
            const int ends[][2]
                = {{0, c.escapeAndClose}, {-1, c.escapeAndClose}, {c.yesId, 6}, {c.noId, 7}};
            SCOPED_TRACE(testing::Message() << "kind " << c.kind << " answer " << round);
            SetAlertRecord(OwnProgram().c_str(), "hidden.sys", 11);
            TextCopy(g_Alert.SecondFile, g_Alert.File);
            TextCopy(g_Alert.Location, "C:\\x");
            g_Patrol.AlertOpen = 1;
            DeleteFileA(HistoryPath().c_str());
            EXPECT_EQ(ends[round][1], RunAlert(c.kind, [&](HWND d) { Answer(d, ends[round][0]); }));
            EXPECT_EQ("0",
                std::to_string(g_Patrol.AlertOpen) + g_Alert.File + g_Alert.Name
                    + g_Alert.Location);
            // One line, the one of its kind, or none at all.
            std::string history = vxtest::ReadFileText(HistoryPath());
            EXPECT_TRUE(c.line ? std::count(history.begin(), history.end(), '\n') == 1
                        && history.find(c.line) != std::string::npos
                               : history.empty())
                << history;
        }
    }
    EXPECT_LE(held(), before + 16);
    const char* serviceKey = "SYSTEM\\CurrentControlSet\\Services\\VxAlertProbe";
    const std::string own = OwnProgram(), noCompany = "Company name not included in this program.",
                      longPath = "C:\\" + std::string(250, 'p') + "\\a.exe",
                      notPe = vxtest::PathInProgramFolder("notes.exe"),
                      missing = "C:\\gone.exe -a \"b\""; // the long path: 259 characters
    vxtest::WriteFileBytes(notPe, "MZ but not really a program");
    char where[512];  // the message with where the program starts
    LoadText(765, where, sizeof(where));
    const std::string startup = "A new auto Startup Program has been detected.\n"
        + std::string(where)
        + "\n\nDo you approve the addition of this program startup setting?\n"
          "Press YES if this program is expected and acceptable.";
    // The item as its row describes it, what the alert must show, and a
    // translation of the startup message (data, never a format).
    const struct { int kind; std::string file, name; int code;
                   std::map<int, std::string> shown; std::string translation;
    } cases[] = {
        {kStartup, own, "x", 11,
            {{kTitle, "Vardex New Program Alert"}, {IDC_ALERT_HEADING, "Vardex"},
                {IDC_ALERT_FILE, own}, {IDC_ALERT_VERSION, "15.9.2008.5"},
                {IDC_ALERT_COMPANY, "Quillon"}, {IDC_ALERT_MESSAGE, startup}, {kIcon, "icon"}}},
        {kStartup, own, "x", 11, {{IDC_ALERT_MESSAGE, "Neu: %d\n%x"}}, "Neu: %d%n%x"},
        {kStartup, own, "x", 251, {{IDC_ALERT_HEADING, "WinLogon:Shell"}}},
        // No product name: no heading, not even a hook's label.
        {kStartup, longPath, "x", 250,
            {{IDC_ALERT_HEADING, ""}, {IDC_ALERT_FILE, longPath}, {IDC_ALERT_COMPANY, noCompany},
                {IDC_ALERT_DESCRIPTION, "No Description found"}, {kIcon, "none"}}},
        {kDelayed, notPe, "x", 11,
            {{IDC_ALERT_COMPANY, noCompany}, {kIcon, "none"}, {IDNO, "Disable"},
                {kTitle, "This Program doesn't want to be Delayed"}}},
        // A hidden file is headed by its program's product name.
        {kHidden, own, "hidden.sys", 370, {{IDC_ALERT_HEADING, "Vardex"}, {IDCANCEL, "&Delete"}}},
        {kService, missing, "%s%n%d%x%p%%", 700,
            {{IDC_ALERT_HEADING, "%s%n%d%x%p%%"}, {IDC_ALERT_FILE, missing},
                {IDC_ALERT_COMPANY, noCompany}}},
        {kTask, "", "abc", 0,
            {{IDC_ALERT_HEADING, "Vardex New Program Alert"}, {IDC_ALERT_FILE, ""},
                {IDC_ALERT_COMPANY, noCompany}}},
        {kTask, own, "Backup.job", 0, {{IDC_ALERT_HEADING, "Backup"}}},
        // A service's state as its key says.
        {kService, own, "VxAlertProbe", 700,
            {{IDC_SERVICE_STATE,
                "Startup Status: Automatic\n"
                "Active Status: Stopped.\n\nIs it ok to allow this service to be installed with "
                "those settings?"}}},
        {kFileType, own, ".txt", 400,
            {{kTitle, "Vardex File Type Change Alert"}, {IDC_TWO_SUBJECT, ".txt"},
                {IDC_TWO_OLD_NAME, "Vardex"}, {IDC_TWO_OLD_COMPANY, "Quillon"},
                {IDC_TWO_OLD_PATH, own}, {IDC_TWO_NEW_PATH, "C:\\windows\\notepad.exe"}}}};
    vxtest::SetDword(HKEY_LOCAL_MACHINE, serviceKey, "Start", 2);
    vxtest::SetString(HKEY_LOCAL_MACHINE, serviceKey, "ImagePath", own.c_str());
    // The message language is not English here: a translation applies.
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " " << c.name << " " << c.code);
        vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString7", c.translation.c_str());
        Describe(c.kind, c.file, c.name, c.code);
        TextCopy(g_Alert.SecondFile, "C:\\windows\\notepad.exe");
        std::map<int, std::string> seen;
        EXPECT_EQ(6, RunAsk([] { return ShowAlert(&g_Alert); }, [&](HWND d) {
            for (const auto& field : c.shown)
                seen[field.first] = Shown(d, field.first);
            Accept(d);
        }));
        EXPECT_EQ(c.shown, seen);
    }
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, serviceKey);
}

// The file change alert ends only by Accept or Reject: Escape and the
// close box leave it open; "Disable Future Monitoring" turns either into
// the answer that also ends the watch (what each answer does to the file:
// test_sysfiles).
TEST_F(AlertTest, TheFileChangeAlertEndsOnlyByAcceptOrReject)
{
    AlertRequest request;
    MakeAlertRequest(&request, AlertOf(kFileChange), "C:\\x\\hosts", "HOSTS", 0);
    TextCopy(request.Location, "C:\\x\\hosts");
    TextCopy(request.SecondFile, "The HOSTS file");
    const struct { bool stop; int button, answer; } cases[] = {
        { false, IDC_CHANGE_ACCEPT, ANSWER_ACCEPT }, { true, IDC_CHANGE_ACCEPT, ANSWER_DISABLE },
        { false, IDC_CHANGE_REJECT, ANSWER_REJECT },
        { true, IDC_CHANGE_REJECT, ANSWER_REJECT_AND_STOP } };
    for (const auto& c : cases) {
        int answer = RunAsk([&] { return ShowAlert(&request); }, [&](HWND d) {
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0), PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
            vxtest::PumpMessages(300);
            EXPECT_TRUE(IsWindowVisible(d)) << "Escape or the close box ended it";
            EXPECT_EQ("HOSTS|The HOSTS file", vxtest::DialogItemText(d, IDC_CHANGE_NAME) + "|" +
                                                  vxtest::DialogItemText(d, IDC_CHANGE_COMMENT));
            if (c.stop)
                vxtest::ClickButton(d, IDC_CHANGE_STOP);
            vxtest::ClickButton(d, c.button);
        });
        EXPECT_EQ(c.answer, answer);
        EXPECT_EQ(0, g_Patrol.AlertOpen);
    }
    // Where an alert is moved to, the next one opens; the explorer opens on its
    // first page after an alert (how a place is saved and brought back on the
    // screen: test_placement).
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "3");
    RunAlert(kTask,
        [](HWND d) { SetWindowPos(d, NULL, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER), Accept(d); });
    RunAlert(kHelper, Accept);
    EXPECT_EQ(std::make_pair(LONG(33), LONG(44)), ShownAt());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "0");
}

// An alert this program cannot show (a row without one, a layout it does
// not know, a template it lacks) answers nothing, shows nothing and leaves
// no alert open: the item is asked about again later.
TEST_F(AlertTest, AnAlertThatCannotBeShownAnswersNone)
{
    AlertDescription noTemplate = *AlertOf(kHelper), noLayout = *AlertOf(kHelper);
    noTemplate.TemplateId = 9999;
    noLayout.Layout = ALERT_LAYOUT_COUNT;
    const AlertDescription* alerts[] = { NULL, &noTemplate, &noLayout };
    for (const AlertDescription* alert : alerts) {
        AlertRequest request;
        MakeAlertRequest(&request, alert, OwnProgram().c_str(), "x", 0);
        DeleteFileA(HistoryPath().c_str());
        bool shown = false;
        int trayCalls = TrayRoundTrips();
        EXPECT_EQ(ANSWER_NONE,
            RunAsk([&] { return UiAsk(&request); }, [&](HWND d) { shown = true, Accept(d); }));
        EXPECT_FALSE(shown);
        EXPECT_EQ(trayCalls, TrayRoundTrips()) << "the tray told of an alert";
        EXPECT_EQ(0, g_Patrol.AlertOpen);
        EXPECT_EQ("", vxtest::ReadFileText(HistoryPath()));
    }
}

// A page question in the real message box: its text says Enter keeps the
// new page, and Yes is the box's default button, so Enter does.  (Wine's
// message box answers DM_GETDEFID with IDOK whatever its default: the
// buttons tell it.)
TEST_F(AlertTest, EnterKeepsAChangedStartPage)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "StartPage", "http://home.example");
    const char* main = "Software\\Microsoft\\Internet Explorer\\Main";
    vxtest::SetString(HKEY_CURRENT_USER, main, "Start Page", "http://new.example");
    LRESULT yesCode = 0;
    RunAsk([] { return CheckBrowserPages(), 0; }, [&](HWND d) {
        yesCode = SendMessageA(GetDlgItem(d, IDYES), WM_GETDLGCODE, 0, 0);
        PostMessageA(d, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_TRUE(yesCode & DLGC_DEFPUSHBUTTON) << "Yes is not the default button";
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "StartPage", "http://new.example");
}

// Used by scripts/screenshots.sh: shows one alert (VX_SHOWCASE_KIND, the
// order of kRowAlerts), filled as its row describes our own program, for
// VX_SHOWCASE_SECONDS (default 6) and then accepts it.
TEST(Showcase, DISABLED_ShowAlert)
{
    StartMonitorSpine(), LoadOptions();
    auto setting = [](const char* name, std::string otherwise) {
        return getenv(name) ? getenv(name) : otherwise;
    };
    int kind = atoi(setting("VX_SHOWCASE_KIND", "0").c_str());
    ASSERT_TRUE(kind >= 0);
    ASSERT_TRUE(kind <= kFileChange);
    DWORD ms = (DWORD)atoi(setting("VX_SHOWCASE_SECONDS", "6").c_str()) * 1000;
    // A real item of the prefix can stand in (a service's title and file).
    Describe(kind, setting("VX_SHOWCASE_FILE", OwnProgram()),
        setting("VX_SHOWCASE_NAME",
            kind == kFileType   ? ".vdx"
                : kind == kTask ? "Vardex Update.job"
                                : "Vardex.exe"),
        kind == kService ? 700 : atoi(setting("VX_SHOWCASE_CODE", "11").c_str()));
    TextCopy(g_Alert.SecondFile, "C:\\windows\\system32\\notepad.exe");
    if (kind == kFileChange) {
        MakeAlertRequest(&g_Alert, AlertOf(kind), NULL, "HOSTS", 0);
        TextCopy(g_Alert.Location, "C:\\windows\\system32\\drivers\\etc\\hosts");
        TextCopy(g_Alert.SecondFile, "Where names of web sites are looked up first.");
    }
    int button = kind == kFileChange ? IDC_CHANGE_ACCEPT : kind == kHidden ? IDOK : IDYES;
    RunAsk([] { return ShowAlert(&g_Alert); },
        [ms, button](HWND d) { Sleep(ms), vxtest::ClickButton(d, button); });
}

}  // namespace
