// Scheduled tasks against Wine's real Task Scheduler: tasks are made with
// NewWorkItem and saved through IPersistFile, then listed, looked up and
// deleted through the category's functions.
#include <mstask.h>

#include <vector>

#include "categories/category.h"
#include "categories/tasks.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "foundation/name_table.h"
#include "support/scheduled_tasks.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

using vxtest::Items;

static const char* kSchedulerServer
    = "CLSID\\{148BD52A-A2AB-11CE-B11F-00AA00530503}\\InprocServer32";

using vxtest::ComOn;
using vxtest::CreateTask;

// The names of the scheduler's tasks in UTF-8, in the order it gives them.
static std::vector<std::string> SchedulerOrder()
{
    ComOn com;
    ComRef<ITaskScheduler> scheduler;
    ComRef<IEnumWorkItems> items;
    LPWSTR* names = NULL;
    ULONG count = 0;
    std::vector<std::string> order;
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER,
                                IID_ITaskScheduler, scheduler.OutVoid())) ||
        FAILED(scheduler->Enum(items.Out())) || FAILED(items->Next(64, &names, &count)))
        return order;
    for (ULONG i = 0; i < count; i++) {
        char name[MAX_PATH * 3];
        WideCharToMultiByte(CP_UTF8, 0, names[i], -1, name, sizeof(name), NULL, NULL);
        order.push_back(name);
        CoTaskMemFree(names[i]);
    }
    CoTaskMemFree(names);
    return order;
}

static std::string History()
{
    return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt"));
}

// Points a saved task at another program, its .job file rewritten in place.
static bool Repoint(const wchar_t* name, const wchar_t* program)
{
    ComOn com;
    ComRef<ITaskScheduler> scheduler;
    ComRef<ITask> task;
    ComRef<IPersistFile> file;
    return SUCCEEDED(CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER,
                                      IID_ITaskScheduler, scheduler.OutVoid())) &&
           SUCCEEDED(scheduler->Activate(name, IID_ITask, (IUnknown**)task.Out())) &&
           SUCCEEDED(task->SetApplicationName(program)) &&
           SUCCEEDED(task->QueryInterface(IID_IPersistFile, file.OutVoid())) &&
           SUCCEEDED(file->Save(NULL, TRUE));
}

// The list entry of that name or command.
static const ItemRecord* Listed(const char* name)
{
    for (int i = 0; i < ItemCount(Items()); i++)
        if (TextEqualNoCase(GetItemName(Items(), i), name)
            || TextEqualNoCase(GetItemCommand(Items(), i), name))
            return GetItem(Items(), i);
    return NULL;
}

// A fresh store and a running scheduler with no task at all.
struct Tasks : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions();
        ASSERT_EQ(0, EnsureSchedulerRunning());
        WIN32_FIND_DATAW found;
        FindHandle find(FindFirstFileW(L"C:\\windows\\tasks\\*.job", &found));
        for (BOOL more = find.IsValid(); more; more = FindNextFileW(find.Get(), &found))
            DeleteFileW((std::wstring(L"C:\\windows\\tasks\\") + found.cFileName).c_str());
    }
};

// A name with no ANSI spelling is listed in ANSI, and that listed name
// still reaches the task: the scheduler gets its own wide name back.
TEST_F(Tasks, ListingLookupsAndWideNames)
{
    EXPECT_EQ(1, IsSchedulerRunning());
    ASSERT_TRUE(CreateTask(L"VxEarly", L"C:\\vx\\early.exe", L"early one", 0));
    ASSERT_TRUE(CreateTask(L"VxBare", L""));
    ASSERT_TRUE(CreateTask(L"Vx\x0417\x0430\x0434\x0430\x0447\x0430", L"C:\\vx\\cyr.exe", L"cyr"));
    for (const wchar_t* name : { L"VxFour", L"VxFive", L"VxSix" })
        ASSERT_TRUE(CreateTask(name, L"C:\\vx\\more.exe"));
    ASSERT_EQ(6, EnumScheduledTasks(Items())) << "one more than the batch of five asked at a time";
    // Each batch is listed from its last name to its first.
    std::vector<std::string> order = SchedulerOrder();
    ASSERT_EQ(6u, order.size());
    EXPECT_EQ(order[4], GetItem(Items(), 0)->Key);
    EXPECT_EQ(order[0], GetItem(Items(), 4)->Key);
    EXPECT_EQ(order[5], GetItem(Items(), 5)->Key);
    const ItemRecord *early = Listed("VxEarly.job"), *bare = Listed("VxBare.job");
    ASSERT_TRUE(early) << "a task without a program is still listed";
    ASSERT_TRUE(bare) << "a task without a program is still listed";
    EXPECT_EQ("C:\\vx\\early.exe Never Never",
        std::string(early->Command) + " " + early->Info + " " + bare->Extra);
    EXPECT_TRUE(strstr(early->Extra, "  12:05 AM")) << early->Extra;

    char text[256];
    EXPECT_GT(GetTaskNextRunTime("vxearly.JOB", text, sizeof(text)), 0);
    EXPECT_STREQ(early->Extra, text);
    EXPECT_EQ(9, GetTaskComment("VxEarly.job", text, sizeof(text)));
    EXPECT_STREQ("early one", text);
    EXPECT_EQ(0, GetTaskNextRunTime("VxMissing.job", text, sizeof(text)));
    EXPECT_STREQ("", text);
    GetTaskStatusText("VxEarly.job", text, sizeof(text));
    EXPECT_STREQ("Status: Ready", text);
    GetTaskStatusText("VxBare.job", text, sizeof(text));
    EXPECT_STREQ("Status: Not Scheduled", text);

    // The ANSI name of that task has lost its letters: it finds nothing;
    // the key (the wide name in UTF-8) reaches it.
    ASSERT_TRUE(Listed("C:\\vx\\cyr.exe") != NULL);
    std::string ansi = Listed("C:\\vx\\cyr.exe")->Name, key = Listed("C:\\vx\\cyr.exe")->Key;
    EXPECT_EQ(0, GetTaskComment(ansi.c_str(), text, sizeof(text)));
    EXPECT_EQ(0, DeleteScheduledTask(ansi.c_str()));
    EXPECT_EQ(3, GetTaskComment(key.c_str(), text, sizeof(text)));
    EXPECT_EQ(1, DeleteScheduledTask(key.c_str()));
    EXPECT_EQ(5, EnumScheduledTasks(Items()));
}

// Rejecting deletes the task; the history line and the lost approval stand
// for a deletion that happened.
TEST_F(Tasks, BaselineVerdictsAndAnswers)
{
    ASSERT_TRUE(CreateTask(L"VxKeep", L"C:\\vx\\keep.exe"));
    ASSERT_TRUE(CreateTask(L"VxDrop", L"C:\\vx\\drop.exe"));
    ASSERT_EQ(1, g_TasksCategory.InitBaseline());
    ASSERT_EQ(2, g_TasksCategory.List(Items()));
    ItemRecord keep = *Listed("VxKeep.job"), drop = *Listed("VxDrop.job"), mcafee = keep;
    // (Wine's scheduler will not activate a name with a dot in it.)
    TextCopy(mcafee.Name, "MCAFEE.COM Update.job");
    vxtest::SetString(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxKeep.job", "0");  // no approval
    NameTable* context = NameTableKeptBaseline(VX_TASKS_KEY);
    EXPECT_EQ(VERDICT_NEW, g_TasksCategory.TellNew(&keep, context));
    EXPECT_EQ(VERDICT_KNOWN, g_TasksCategory.TellNew(&drop, context));
    EXPECT_EQ(VERDICT_KNOWN, g_TasksCategory.TellNew(&mcafee, context));

    EXPECT_EQ(1, g_TasksCategory.Act(&keep, VERDICT_NEW, ANSWER_ACCEPT));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxKeep.job", "800");
    EXPECT_EQ(VERDICT_KNOWN, g_TasksCategory.TellNew(&keep, NULL));

    EXPECT_EQ(1, g_TasksCategory.Act(&drop, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxDrop.job");
    std::string before = History();
    EXPECT_TRUE(strstr(
        before.c_str(), "\tScheduledTask_Remove\tTASK_SCHEDULED\tVxDrop.job\tC:\\vx\\drop.exe"));
    EXPECT_EQ(1, EnumScheduledTasks(Items()));
    // Already gone: no line.
    EXPECT_TRUE(g_TasksCategory.Act(&drop, VERDICT_NEW, ANSWER_REJECT) == 0);
    EXPECT_TRUE(before == History());
    EXPECT_EQ(0, g_TasksCategory.Act(&keep, VERDICT_NEW, ANSWER_NONE));
}

// What a listing read of a task is kept while its .job file stands as it
// was, and a quiet patrol skips the scheduler while the Tasks folder and
// the baseline do: a task pointed elsewhere, and a task added, are still
// seen at once.
TEST_F(Tasks, KeptListingsSeeEveryChange)
{
    ASSERT_TRUE(CreateTask(L"VxKept", L"C:\\vx\\first.exe"));
    ASSERT_EQ(1, g_TasksCategory.InitBaseline());
    Sleep(1100);  // the folder, the .job file and the baseline settle
    ASSERT_EQ(1, g_TasksCategory.List(Items()));
    EXPECT_EQ(0, g_TasksCategory.CanRun()) << "nothing changed since a quiet patrol";
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxKept.job");
    EXPECT_EQ(1, g_TasksCategory.CanRun()) << "an approval taken back";
    ASSERT_TRUE(Repoint(L"VxKept", L"C:\\vx\\second.exe"));
    ASSERT_EQ(1, EnumScheduledTasks(Items()));
    EXPECT_STREQ("C:\\vx\\second.exe", GetItemCommand(Items(), 0));
    ASSERT_TRUE(CreateTask(L"VxNew", L"C:\\vx\\new.exe"));
    EXPECT_EQ(1, g_TasksCategory.CanRun());
    EXPECT_EQ(2, g_TasksCategory.List(Items()));
    // A scheduler whose server cannot be loaded: the listing reports the COM
    // failure, no baseline is built, and the thread's COM state is left as it
    // was.
    std::string server = vxtest::ReadString(HKEY_CLASSES_ROOT, kSchedulerServer, "");
    ASSERT_NE("<missing>", server);
    vxtest::SetString(HKEY_CLASSES_ROOT, kSchedulerServer, "", "C:\\vx\\no-such-server.dll");
    AddItem(Items(), "stale", "C:\\stale.exe", "", "", 1, 0);
    int list = EnumScheduledTasks(Items()), gone = DeleteScheduledTask("VxAny.job"),
        built = g_TasksCategory.InitBaseline();
    HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    vxtest::SetString(HKEY_CLASSES_ROOT, kSchedulerServer, "", server.c_str());
    EXPECT_EQ(S_OK, hr) << "an apartment was left entered";
    if (SUCCEEDED(hr))
        CoUninitialize();
    EXPECT_TRUE(list < 0) << list;
    EXPECT_TRUE(gone == 0) << list;
    EXPECT_TRUE(built == 0) << list;
    EXPECT_TRUE(ItemCount(Items()) == 0) << list;
}

// Names the ANSI listing cannot tell apart (a letter with no ANSI spelling,
// a cut after 127 characters) are still two tasks: the approval of one
// does not cover the other, and "No" deletes the one asked about only.  A
// name with an ANSI spelling keeps the approval an ANSI write recorded.
TEST_F(Tasks, NamesTheAnsiListingConfusesAreToldApart)
{
    const std::wstring cut(130, L'L');
    ASSERT_TRUE(CreateTask(L"VxTwin\x0416", L"C:\\vx\\approved.exe"));  // "VxTwin?" in ANSI
    ASSERT_TRUE(CreateTask((cut + L"One").c_str(), L"C:\\vx\\long-one.exe"));
    ASSERT_EQ(1, BuildCategoryBaseline(&g_TasksCategory));
    // As an older version wrote it, by its ANSI name.
    vxtest::SetString(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxCaf\xE9.job", "800");
    ASSERT_TRUE(CreateTask(L"VxCaf\x00E9", L"C:\\vx\\cafe.exe"));
    ASSERT_TRUE(CreateTask(L"VxTwin\x0428", L"C:\\vx\\added.exe"));
    ASSERT_TRUE(CreateTask((cut + L"Two").c_str(), L"C:\\vx\\long-two.exe"));
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(2, PatrolCategory(&g_TasksCategory));
    EnumScheduledTasks(Items());
    EXPECT_TRUE(Listed("C:\\vx\\approved.exe") != NULL);
    EXPECT_TRUE(Listed("C:\\vx\\long-one.exe") != NULL);
    EXPECT_TRUE(Listed("C:\\vx\\added.exe") == NULL);
    EXPECT_TRUE(Listed("C:\\vx\\long-two.exe") == NULL);
    char text[256];  // what is only shown may be asked for by an exact ANSI name
    EXPECT_EQ(5, GetTaskNextRunTime("VxCaf\xE9.job", text, sizeof(text)));
    // "Yes" approves the task asked about, not its ANSI name.
    ASSERT_TRUE(CreateTask(L"VxTwin\x0429", L"C:\\vx\\twin.exe"));
    EnumScheduledTasks(Items());
    ASSERT_TRUE(Listed("C:\\vx\\twin.exe") != NULL);
    ItemRecord twin = *Listed("C:\\vx\\twin.exe");
    ASSERT_EQ(1, g_TasksCategory.Act(&twin, VERDICT_NEW, ANSWER_ACCEPT));
    EXPECT_EQ(VERDICT_KNOWN, g_TasksCategory.TellNew(&twin, NULL));
}
