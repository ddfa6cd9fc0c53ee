// The monitor's delayed-start launcher against real programs: Wine's own
// command interpreter writes a file when it is started.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "foundation/registry_store.h"
#include "foundation/handles.h"
#include "foundation/text.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"
#include "startup/startup_text.h"
#include "support/vxtest.h"

namespace {

const char* const kTime = VX_DELAY_KEY "\\Time";

std::string Cmd()
{
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\cmd.exe";
}

// Waits up to five seconds for the file a started program writes.
bool Appears(const std::string& path)
{
    for (int i = 0; i < 50 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
        Sleep(100);
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Sets the values of one delayed program: key, value name, then pairs of
// subkey ("" for the list itself) and data.
void Delay(HKEY root, const std::string& program, std::initializer_list<const char*> pairs)
{
    for (const char* const* p = pairs.begin(); p != pairs.end(); p += 2)
        vxtest::SetString(root, (std::string(VX_DELAY_KEY) + p[0]).c_str(), program.c_str(), p[1]);
}

std::string SelfPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    return self;
}

// What a second copy of this program does when it is started.
TEST(DelayedStartChild, DISABLED_Mark)
{
    vxtest::WriteFileBytes(vxtest::PathInProgramFolder("second.txt"), "started");
}

// The window state it was started with.
TEST(DelayedStartChild, DISABLED_ShowState)
{
    STARTUPINFOA info;
    GetStartupInfoA(&info);
    std::string state = std::to_string(info.wShowWindow);
    vxtest::WriteFileBytes(vxtest::PathInProgramFolder("show.txt"), state);
}

// Every case starts from a first run.
struct DelayedStart : testing::Test {
    void SetUp() override { vxtest::ResetStore(); }
};

TEST_F(DelayedStart, EachProgramStartsAtItsTimeOnceAndNotWhenRunning)
{
    std::string marker = vxtest::PathInProgramFolder("delayed.txt"),
                applied = vxtest::PathInProgramFolder("applet.txt"),
                second = vxtest::PathInProgramFolder("second.txt");
    // All users: the interpreter with its parameters, at 30 seconds.
    std::string echoX = "/c echo x > " + marker, echoY = " echo y > " + applied;
    Delay(HKEY_LOCAL_MACHINE, Cmd(), { "", "1", "\\Time", "30", "\\Parameters", echoX.c_str() });
    // This user: started through an applet, program and parameters joined.
    Delay(HKEY_CURRENT_USER, "/c",
        {"", "11", "\\Time", "30", "\\Applet", Cmd().c_str(), "\\Parameters", echoY.c_str()});
    // A program that runs already (this test) is handled but not started.
    Delay(HKEY_CURRENT_USER, SelfPath(),
        {"", "11", "\\Time", "30", "\\Parameters",
            "--gtest_also_run_disabled_tests --gtest_filter=DelayedStartChild.*"});
    Delay(HKEY_CURRENT_USER, "C:\\late.exe", { "", "11", "\\Time", "45" });
    EXPECT_EQ(4, CountDelayedPrograms());

    EXPECT_EQ(0, RunDelayedPrograms(20));
    EXPECT_EQ(3, RunDelayedPrograms(30));
    EXPECT_TRUE(Appears(marker));
    EXPECT_TRUE(Appears(applied));
    EXPECT_FALSE(Appears(second)) << "a running program was started again";
    EXPECT_EQ(0, RunDelayedPrograms(40));
    EXPECT_EQ(1, RunDelayedPrograms(50)) << "45 seconds start with the step at 50";

    // A program that cannot start is handled all the same.
    Delay(HKEY_CURRENT_USER, "C:\\missing\\gone.exe", { "", "11", "\\Time", "60" });
    EXPECT_EQ(1, RunDelayedPrograms(60));
    EXPECT_NE(0, LaunchProgram("C:\\missing\\gone.exe", ""));

}

// The state this program is started in by LaunchProgram.
std::string ShownAs()
{
    std::string show = vxtest::PathInProgramFolder("show.txt");
    // The last child may not have let go of it yet.
    for (int i = 0; i < 50 && !DeleteFileA(show.c_str()) &&
                    GetFileAttributesA(show.c_str()) != INVALID_FILE_ATTRIBUTES; i++)
        Sleep(100);
    LaunchProgram(SelfPath().c_str(),
                  "--gtest_also_run_disabled_tests --gtest_filter=*ShowState");
    bool started = Appears(show) || Appears(show) || Appears(show);
    Sleep(200);  // written, then closed
    return started ? vxtest::ReadFileText(show) : "not started";
}

TEST_F(DelayedStart, WindowStateComesFromEitherRoot)
{
    const char* openAs = VX_DELAY_KEY "\\OpenAs";
    vxtest::SetString(HKEY_LOCAL_MACHINE, openAs, SelfPath().c_str(), "2");
    EXPECT_EQ(std::to_string(SW_SHOWMAXIMIZED), ShownAs()) << "all users' state unread";
    vxtest::SetString(HKEY_CURRENT_USER, openAs, SelfPath().c_str(), "7");
    EXPECT_EQ(std::to_string(SW_SHOWNORMAL), ShownAs()) << "above 2 is normal";
}

const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The startup entry of this name as the Startup page lists it.
ItemRecord Listed(const char* name)
{
    ItemList list;
    int count = BuildStartupList(&list, 0);
    for (int i = 0; i < count; i++)
        if (strcmp(GetItemName(&list, i), name) == 0)
            return *GetItem(&list, i);
    ADD_FAILURE() << name << " not listed";
    return ItemRecord();
}

// What the explorer moves, the monitor's launcher starts.
TEST_F(DelayedStart, MovedEntryIsRecordedThenStartedByTheLauncher)
{
    std::string marker = vxtest::PathInProgramFolder("moved.txt");
    std::string command = Cmd() + " /c echo m > " + marker;
    vxtest::SetString(HKEY_CURRENT_USER, kRun, "VxLater", command.c_str());
    ItemRecord entry = Listed("VxLater");
    ASSERT_EQ(DELAY_MOVED, MoveToDelayed(&entry, DelayRootForCode(entry.Code)));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, kRun, "VxLater");
    std::string key = Cmd();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_DELAY_KEY, key.c_str(), "11");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kTime, key.c_str(), "30");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_DELAY_KEY "\\Title", key.c_str(), "VxLater");
    char baseline[ITEM_COMMAND];
    BaselineKeyOf(entry.Command, baseline, sizeof(baseline));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, baseline, "1103");
    EXPECT_EQ(1, RunDelayedPrograms(30));
    EXPECT_TRUE(Appears(marker));
}

// An entry that could not come back, or will not leave its place, is not
// delayed; the monitor's own must stay.
TEST_F(DelayedStart, EntriesThatCannotMoveAreRefused)
{
    ItemRecord entry = ItemRecord();
    TextCopy(entry.Name, "VxWow");
    TextCopy(entry.Command, "C:\\vxapp\\wow.exe");
    entry.Code = 21;
    EXPECT_EQ(DELAY_REFUSED, MoveToDelayed(&entry, HKEY_CURRENT_USER));
    std::string link = vxtest::PathInProgramFolder("held.lnk");
    vxtest::WriteFileBytes(link, "held");
    TextCopy(entry.Extra, link.c_str());
    entry.Code = SC_STARTUP_FOLDER;
    FileHandle held(CreateFileA(link.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_EQ(DELAY_NOT_REMOVED, MoveToDelayed(&entry, HKEY_CURRENT_USER));
    EXPECT_EQ(0, CountDelayedPrograms());
    entry.Code = 11;
    TextCopy(entry.Command, "C:\\Program Files\\Vardex\\Vardex.exe");
    EXPECT_EQ(DELAY_MUST_STAY, DelayRefusalOf(&entry));
}

// The target and arguments of a shortcut file.
std::string ShortcutLine(const std::string& path)
{
    CoInitialize(NULL);
    std::string line = "unreadable";
    {
        ComRef<IShellLinkA> link;
        ComRef<IPersistFile> file;
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char target[MAX_PATH] = "", args[MAX_PATH] = "";
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkA, link.OutVoid())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) &&
            SUCCEEDED(file->Load(wide, STGM_READ))) {
            link->GetPath(target, MAX_PATH, NULL, 0);
            link->GetArguments(args, MAX_PATH);
            line = std::string(target) + "|" + args;
        }
    }
    CoUninitialize();
    return line;
}

// Each record goes back to its place, then goes whole; what cannot go back
// stays listed.
TEST_F(DelayedStart, RestoreAllPutsBackThenForgets)
{
    Delay(HKEY_CURRENT_USER, "C:\\x.dll", { "", "11", "\\Time", "30", "\\Title", "VxDll",
        "\\Parameters", ",Entry 5", "\\Applet", "RunDLL32.exe", "\\OpenAs", "1" });
    std::string link = vxtest::PathInProgramFolder("vx tool.lnk");
    Delay(HKEY_CURRENT_USER, Cmd(), { "", "200", "\\Time", "30", "\\Title", "VxLink",
        "\\Parameters", "/k echo", "\\Shortcuts", link.c_str() });
    Delay(HKEY_CURRENT_USER, "C:\\wow.exe", { "", "21", "\\Time", "30", "\\Title", "VxWow" });
    EXPECT_EQ(2, RestoreAllDelayed());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kRun, "VxDll", "RunDLL32.exe C:\\x.dll,Entry 5");
    EXPECT_EQ(Cmd() + "|/k echo", ShortcutLine(link));
    for (const char* sub : { "", "\\Time", "\\Title", "\\Parameters", "\\Applet", "\\OpenAs" })
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, (std::string(VX_DELAY_KEY) + sub).c_str(),
                           "C:\\x.dll");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_DELAY_KEY "\\Shortcuts", Cmd().c_str());
    EXPECT_EQ(1, CountDelayedPrograms()) << "the unrestorable one was lost";
    DeleteFileA(link.c_str());
}

// The same program for all users and for this one: two records, each
// restored from its own root.
TEST_F(DelayedStart, SameProgramInBothRootsStaysTwoRecords)
{
    Delay(HKEY_LOCAL_MACHINE, "C:\\vxapp\\both.exe", { "", "1", "\\Time", "30", "\\Title", "All" });
    Delay(HKEY_CURRENT_USER, "C:\\vxapp\\both.exe", { "", "11", "\\Time", "60", "\\Title", "Me" });
    ItemList list;
    ASSERT_EQ(2, BuildDelayList(&list));
    EXPECT_STREQ("All", GetItemName(&list, 0));
    EXPECT_EQ(1, GetItemFlag(&list, 1));
    EXPECT_EQ(1, RestoreDelayed(GetItem(&list, 1)));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kRun, "Me", "C:\\vxapp\\both.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kTime, "C:\\vxapp\\both.exe", "30");
}

}  // namespace
