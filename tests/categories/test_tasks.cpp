// Scheduled tasks against Wine's real Task Scheduler: tasks are made with
// NewWorkItem and saved through IPersistFile, then listed, looked up and
// deleted through the category's functions.
#include <windows.h>
#include <objbase.h>
#include <mstask.h>

#include <string>
#include <vector>

#include "categories/tasks.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/item_list.h"
#include "support/vxtest.h"

static const GUID kSchedulerClass = {
    0x148BD52A, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kSchedulerInterface = {
    0x148BD527, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kTaskClass = {
    0x148BD520, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kTaskInterface = {
    0x148BD524, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const char* kSchedulerServer =
    "CLSID\\{148BD52A-A2AB-11CE-B11F-00AA00530503}\\InprocServer32";

// The scheduler as a test uses it, COM on for its lifetime.
class TestScheduler {
public:
    TestScheduler()
    {
        CoInitialize(NULL);
        CoCreateInstance(kSchedulerClass, NULL, CLSCTX_INPROC_SERVER, kSchedulerInterface,
                         (void**)&scheduler_);
    }
    ~TestScheduler()
    {
        if (scheduler_ != NULL)
            scheduler_->Release();
        CoUninitialize();
    }
    // A task saved to the tasks folder; hour < 0: no trigger.
    bool Create(const wchar_t* name, const wchar_t* application, const wchar_t* comment,
                int hour = -1, int minute = 0)
    {
        if (scheduler_ == NULL)
            return false;
        ITask* task = NULL;
        if (FAILED(scheduler_->NewWorkItem(name, kTaskClass, kTaskInterface,
                                           (IUnknown**)&task)))
            return false;
        if (application != NULL)
            task->SetApplicationName(application);
        if (comment != NULL)
            task->SetComment(comment);
        if (hour >= 0) {
            WORD index = 0;
            ITaskTrigger* trigger = NULL;
            if (SUCCEEDED(task->CreateTrigger(&index, &trigger))) {
                SYSTEMTIME now;
                GetLocalTime(&now);
                TASK_TRIGGER data;
                memset(&data, 0, sizeof(data));
                data.cbTriggerSize = sizeof(data);
                data.wBeginYear = now.wYear;
                data.wBeginMonth = now.wMonth;
                data.wBeginDay = now.wDay;
                data.wStartHour = (WORD)hour;
                data.wStartMinute = (WORD)minute;
                data.TriggerType = TASK_TIME_TRIGGER_DAILY;
                data.Type.Daily.DaysInterval = 1;
                trigger->SetTrigger(&data);
                trigger->Release();
            }
        }
        IPersistFile* file = NULL;
        bool saved = SUCCEEDED(task->QueryInterface(IID_IPersistFile, (void**)&file)) &&
                     SUCCEEDED(file->Save(NULL, TRUE));
        if (file != NULL)
            file->Release();
        task->Release();
        return saved;
    }
    // The names in the scheduler's own order, one at a time.
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        IEnumWorkItems* items = NULL;
        if (scheduler_ == NULL || FAILED(scheduler_->Enum(&items)))
            return names;
        for (;;) {
            LPWSTR* batch = NULL;
            ULONG fetched = 0;
            if (items->Next(1, &batch, &fetched) != S_OK || fetched == 0)
                break;
            names.push_back(batch[0]);
            CoTaskMemFree(batch[0]);
            CoTaskMemFree(batch);
        }
        items->Release();
        return names;
    }
    void DeleteAll()
    {
        for (const std::wstring& name : Names()) {
            std::wstring bare = name.substr(0, name.size() - 4);
            if (FAILED(scheduler_->Delete(bare.c_str())))
                DeleteFileW((L"C:\\windows\\tasks\\" + name).c_str());
        }
    }

private:
    ITaskScheduler* scheduler_ = NULL;
};

static std::string Ansi(const std::wstring& text)
{
    char out[520];
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof(out), NULL, NULL);
    return out;
}

static const ItemRecord* Listed(const char* name)
{
    for (int i = 0; i < ItemCount(); i++)
        if (TextEqualNoCase(GetItemName(i), name))
            return GetItem(i);
    return NULL;
}

static std::vector<std::string> HistoryLines()
{
    char path[VX_PATH];
    HistoryFilePath(path);
    std::string text = vxtest::ReadFileText(path);
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

static bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class Tasks : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        char path[VX_PATH];
        HistoryFilePath(path);
        DeleteFileA(path);
        ASSERT_EQ(0, EnsureSchedulerRunning());
        TestScheduler().DeleteAll();
    }
    void TearDown() override
    {
        TestScheduler().DeleteAll();
        ClearItems();
    }
};

TEST(TaskTime, TwelveHourClock)
{
    struct { WORD year, month, day, hour, minute; const char* text; } cases[] = {
        { 2008, 9, 15, 0, 5, "09/15/2008  12:05 AM" },
        { 2008, 9, 15, 12, 30, "09/15/2008  12:30 PM" },
        { 2008, 12, 1, 23, 59, "12/01/2008  11:59 PM" },
        { 2008, 1, 2, 11, 0, "01/02/2008  11:00 AM" },
        { 0, 0, 0, 10, 10, "Never" },
    };
    for (auto& c : cases) {
        SYSTEMTIME time;
        memset(&time, 0, sizeof(time));
        time.wYear = c.year, time.wMonth = c.month, time.wDay = c.day;
        time.wHour = c.hour, time.wMinute = c.minute;
        char out[64];
        EXPECT_EQ((int)strlen(c.text), FormatTaskTime(&time, out, sizeof(out)));
        EXPECT_STREQ(c.text, out);
    }
}

TEST_F(Tasks, ListingFieldsAndBatchOrder)
{
    EXPECT_EQ(1, IsSchedulerRunning());
    TestScheduler scheduler;
    ASSERT_TRUE(scheduler.Create(L"VxEarly", L"C:\\vx\\early.exe", L"early one", 0, 5));
    ASSERT_TRUE(scheduler.Create(L"VxNoon", L"C:\\vx\\noon.exe", NULL, 12, 30));
    ASSERT_TRUE(scheduler.Create(L"VxBare", NULL, NULL));
    ASSERT_TRUE(scheduler.Create(L"VxFour", L"C:\\vx\\four.exe", NULL));
    ASSERT_TRUE(scheduler.Create(L"VxFive", L"C:\\vx\\five.exe", NULL));
    ASSERT_TRUE(scheduler.Create(L"VxSix", L"C:\\vx\\six.exe", NULL));
    std::vector<std::wstring> raw = scheduler.Names();
    ASSERT_EQ(6u, raw.size());

    ASSERT_EQ(6, EnumScheduledTasks());
    // Batches of five, each from its last name to its first.
    const int order[6] = { 4, 3, 2, 1, 0, 5 };
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(Ansi(raw[order[i]]), GetItemName(i)) << i;

    const ItemRecord* early = Listed("VxEarly.job");
    ASSERT_TRUE(early != NULL);
    EXPECT_STREQ("C:\\vx\\early.exe", early->Command);
    EXPECT_EQ(800, early->Code);
    EXPECT_TRUE(EndsWith(early->Extra, "  12:05 AM")) << early->Extra;
    EXPECT_STREQ("Never", early->Info);
    const ItemRecord* noon = Listed("VxNoon.job");
    ASSERT_TRUE(noon != NULL);
    EXPECT_TRUE(EndsWith(noon->Extra, "  12:30 PM")) << noon->Extra;
    const ItemRecord* bare = Listed("VxBare.job");
    ASSERT_TRUE(bare != NULL) << "a task without a program is still listed";
    EXPECT_STREQ("", bare->Command);
    EXPECT_STREQ("Never", bare->Extra);

    char text[256];
    EXPECT_GT(GetTaskNextRunTime("vxearly.JOB", text, sizeof(text)), 0);
    EXPECT_STREQ(early->Extra, text);
    EXPECT_EQ(9, GetTaskComment("VxEarly.job", text, sizeof(text)));
    EXPECT_STREQ("early one", text);
    EXPECT_GT(GetTaskStatusText("VxEarly.job", text, sizeof(text)), 0);
    EXPECT_TRUE(strncmp(text, "Status: ", 8) == 0) << text;
    EXPECT_EQ(0, GetTaskNextRunTime("VxMissing.job", text, sizeof(text)));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, GetTaskComment("VxMissing.job", text, sizeof(text)));
    EXPECT_EQ(0, GetTaskStatusText("", text, sizeof(text)));
}

// A name with no ANSI spelling is listed in ANSI, and that listed name
// still reaches the task: the scheduler gets its own wide name back.
TEST_F(Tasks, NameOutsideTheAnsiCodePage)
{
    const wchar_t* wide = L"Vx\x0417\x0430\x0434\x0430\x0447\x0430";
    TestScheduler scheduler;
    ASSERT_TRUE(scheduler.Create(wide, L"C:\\vx\\cyr.exe", L"cyr", 12, 30));
    ASSERT_EQ(1, EnumScheduledTasks());
    std::string listed = GetItemName(0);
    EXPECT_EQ(Ansi(std::wstring(wide) + L".job"), listed);
    EXPECT_STREQ("C:\\vx\\cyr.exe", GetItemCommand(0));
    char text[256];
    EXPECT_EQ(3, GetTaskComment(listed.c_str(), text, sizeof(text)));
    EXPECT_EQ(1, DeleteScheduledTask(listed.c_str()));
    EXPECT_TRUE(scheduler.Names().empty());
}

TEST_F(Tasks, VerdictsAndAnswers)
{
    TestScheduler scheduler;
    ASSERT_TRUE(scheduler.Create(L"VxKeep", L"C:\\vx\\keep.exe", NULL));
    ASSERT_TRUE(scheduler.Create(L"VxDrop", L"C:\\vx\\drop.exe", NULL));
    ASSERT_EQ(2, g_TasksCategory.List());
    // (Wine's scheduler will not activate a name with a dot in it.)
    ItemRecord mcafee = *GetItem(0);
    TextCopy(mcafee.Name, "McAfee.com Update.job");
    vxtest::SetString(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxKeep.job", "0");

    void* context = g_TasksCategory.BeginCompare();
    struct { const char* name; int verdict; } cases[] = {
        { "VxKeep.job", VERDICT_NEW },            // "0" is not approval
        { "VxDrop.job", VERDICT_NEW },
        { "McAfee.com Update.job", VERDICT_KNOWN },
    };
    for (auto& c : cases) {
        const ItemRecord* item = c.name[0] == 'M' ? &mcafee : Listed(c.name);
        ASSERT_TRUE(item != NULL) << c.name;
        EXPECT_EQ(c.verdict, g_TasksCategory.TellNew(item, context)) << c.name;
    }
    g_TasksCategory.EndCompare(context);

    ItemRecord keep = *Listed("VxKeep.job");
    ItemRecord drop = *Listed("VxDrop.job");
    AlertRequest request;
    g_TasksCategory.Describe(&drop, VERDICT_NEW, &request);
    EXPECT_EQ(ALERT_TASK, request.Kind);
    EXPECT_STREQ("VxDrop.job", request.Name);
    EXPECT_STREQ("C:\\vx\\drop.exe", request.File);
    EXPECT_EQ(0, request.TypeCode);

    EXPECT_EQ(1, g_TasksCategory.Act(&keep, VERDICT_NEW, ANSWER_ACCEPT));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxKeep.job", "800");
    EXPECT_EQ(VERDICT_KNOWN, g_TasksCategory.TellNew(&keep, NULL));

    vxtest::SetString(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxDrop.job", "800");
    EXPECT_EQ(1, g_TasksCategory.Act(&drop, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxDrop.job");
    std::vector<std::string> lines = HistoryLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos,
              lines[0].find("\tScheduledTask_Remove\tTASK_SCHEDULED\tVxDrop.job\tC:\\vx\\drop.exe"))
        << lines[0];
    EXPECT_EQ(1u, scheduler.Names().size());

    // Already gone: no line, and the task stays unapproved.
    EXPECT_EQ(0, g_TasksCategory.Act(&drop, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_EQ(1u, HistoryLines().size());
    EXPECT_EQ(0, DeleteScheduledTask("VxDrop.job"));
    EXPECT_EQ(0, g_TasksCategory.Act(&keep, VERDICT_NEW, ANSWER_NONE));
}

TEST_F(Tasks, BaselineRecordsEveryTask)
{
    TestScheduler scheduler;
    ASSERT_TRUE(scheduler.Create(L"VxOne", L"C:\\vx\\one.exe", NULL));
    ASSERT_TRUE(scheduler.Create(L"VxTwo", NULL, NULL));
    ASSERT_EQ(1, g_TasksCategory.InitBaseline());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxOne.job", "800");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxTwo.job", "800");
}

// A scheduler whose server cannot be loaded: the listing reports the COM
// failure, and the thread's COM state is left as it was.
TEST_F(Tasks, ComFailureLeavesComBalanced)
{
    std::string server = vxtest::ReadString(HKEY_CLASSES_ROOT, kSchedulerServer, "");
    ASSERT_NE("<missing>", server);
    vxtest::SetString(HKEY_CLASSES_ROOT, kSchedulerServer, "", "C:\\vx\\no-such-server.dll");
    int listed = EnumScheduledTasks();
    int deleted = DeleteScheduledTask("VxAny.job");
    HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    vxtest::SetString(HKEY_CLASSES_ROOT, kSchedulerServer, "", server.c_str());
    EXPECT_EQ(S_OK, hr) << "an apartment was left entered";
    if (SUCCEEDED(hr))
        CoUninitialize();
    EXPECT_LT(listed, 0);
    EXPECT_EQ(0, deleted);
    EXPECT_EQ(0, ItemCount());
}

// --- Without a scheduler (Windows 98 without its agent) ---------------------------------

TEST(TasksWin98Child, DISABLED_NoAgentNoListNoBaseline)
{
    ASSERT_FALSE(IsWindowsNT());
    EXPECT_EQ(0, IsSchedulerRunning());
    EXPECT_EQ(0, g_TasksCategory.CanRun());
    EXPECT_NE(0, EnsureSchedulerRunning());
    AddItem("stale", "C:\\stale.exe", "", "", 1, 0);
    EXPECT_EQ(0, EnumScheduledTasks());
    EXPECT_EQ(0, ItemCount());
    EXPECT_EQ(0, g_TasksCategory.InitBaseline());
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, VX_TASKS_KEY));
    EXPECT_EQ(0, DeleteScheduledTask("VxAny.job"));
}

TEST(TasksWin98, SchedulerUnavailable)
{
    vxtest::ResetStore();
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    std::string copy = vxtest::PathInProgramFolder("tasks98.exe");
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\tasks98.exe", "Version",
                      "win98");
    int rc = vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                "--gtest_filter=TasksWin98Child.*", 60000);
    EXPECT_EQ(0, rc);
    DeleteFileA(copy.c_str());
}
