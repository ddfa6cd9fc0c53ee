// The monitor's delayed-start launcher against real programs: Wine's own
// command interpreter writes a file when it is started.
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "startup/delayed_start.h"
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

// What a second copy of this program does when it is started.
TEST(DelayedStartChild, DISABLED_Mark)
{
    vxtest::WriteFileBytes(vxtest::PathInProgramFolder("second.txt"), "started");
}

TEST(DelayedStart, EachProgramStartsAtItsTimeOnceAndNotWhenRunning)
{
    vxtest::ResetStore();
    std::string marker = vxtest::PathInProgramFolder("delayed.txt"),
                applied = vxtest::PathInProgramFolder("applet.txt"),
                second = vxtest::PathInProgramFolder("second.txt");
    // All users: the interpreter with its parameters, at 30 seconds.
    std::string echoX = "/c echo x > " + marker, echoY = " echo y > " + applied;
    Delay(HKEY_LOCAL_MACHINE, Cmd(), { "", "1", "\\Time", "30", "\\Parameters", echoX.c_str() });
    // This user: started through an applet, program and parameters joined.
    Delay(HKEY_CURRENT_USER, "/c",
        {"", "11", "\\Time", "30", "\\Applet", Cmd().c_str(), "\\Parameters", echoY.c_str()});
    // A program that runs already (this test) is handled but not started;
    // a time that is no multiple of ten is never reached.
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    Delay(HKEY_CURRENT_USER, self,
        {"", "11", "\\Time", "30", "\\Parameters",
            "--gtest_also_run_disabled_tests --gtest_filter=DelayedStartChild.*"});
    Delay(HKEY_CURRENT_USER, "C:\\late.exe", { "", "11", "\\Time", "45" });
    EXPECT_EQ(4, CountDelayedPrograms());

    EXPECT_EQ(0, RunDelayedPrograms(20));
    EXPECT_EQ(3, RunDelayedPrograms(30));
    EXPECT_TRUE(Appears(marker));
    EXPECT_TRUE(Appears(applied));
    EXPECT_FALSE(Appears(second)) << "a running program was started again";
    EXPECT_EQ(0, RunDelayedPrograms(40) + RunDelayedPrograms(50));

    // A program that cannot start is handled all the same.
    vxtest::SetString(HKEY_CURRENT_USER, kTime, "C:\\missing\\gone.exe", "60");
    EXPECT_EQ(1, RunDelayedPrograms(60));
    EXPECT_NE(0, LaunchProgram("C:\\missing\\gone.exe", ""));

    DeleteDelayRecord(HKEY_CURRENT_USER, self);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, kTime, self);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_DELAY_KEY, self);
}

}  // namespace
