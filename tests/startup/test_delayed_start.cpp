// The monitor's delayed-start launcher against real programs: Wine's own
// command interpreter writes a file when it is started.
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "startup/delayed_start.h"
#include "support/vxtest.h"

namespace {

const char* const kTime = VX_DELAY_KEY "\\Time";
const char* const kParameters = VX_DELAY_KEY "\\Parameters";
const char* const kApplet = VX_DELAY_KEY "\\Applet";

std::string Cmd()
{
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\cmd.exe";
}

// Waits up to five seconds for the file a started program writes.
bool Appears(const std::string& path)
{
    for (int i = 0; i < 50; i++) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(100);
    }
    return false;
}

// What a second copy of this program does when it is started.
TEST(DelayedStartChild, DISABLED_Mark)
{
    vxtest::WriteFileBytes(vxtest::PathInProgramFolder("second.txt"), "started");
}

TEST(DelayedStart, EachProgramStartsAtItsTimeOnceAndNotWhenRunning)
{
    vxtest::ResetStore();
    std::string marker = vxtest::PathInProgramFolder("delayed.txt");
    std::string applied = vxtest::PathInProgramFolder("applet.txt");
    DeleteFileA(marker.c_str());
    DeleteFileA(applied.c_str());
    // All users: the interpreter with its parameters, at 30 seconds.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_DELAY_KEY, Cmd().c_str(), "1");
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTime, Cmd().c_str(), "30");
    vxtest::SetString(HKEY_LOCAL_MACHINE, kParameters, Cmd().c_str(),
                      ("/c echo x > " + marker).c_str());
    // This user: started through an applet, program and parameters joined.
    vxtest::SetString(HKEY_CURRENT_USER, VX_DELAY_KEY, "/c", "11");
    vxtest::SetString(HKEY_CURRENT_USER, kTime, "/c", "30");
    vxtest::SetString(HKEY_CURRENT_USER, kApplet, "/c", Cmd().c_str());
    vxtest::SetString(HKEY_CURRENT_USER, kParameters, "/c", (" echo y > " + applied).c_str());
    // A program that runs already (this test) is handled but not started;
    // a time that is no multiple of ten is never reached.
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    vxtest::SetString(HKEY_CURRENT_USER, VX_DELAY_KEY, self, "11");
    vxtest::SetString(HKEY_CURRENT_USER, kTime, self, "30");
    vxtest::SetString(HKEY_CURRENT_USER, kParameters, self,
                      "--gtest_also_run_disabled_tests --gtest_filter=DelayedStartChild.*");
    std::string second = vxtest::PathInProgramFolder("second.txt");
    DeleteFileA(second.c_str());
    vxtest::SetString(HKEY_CURRENT_USER, VX_DELAY_KEY, "C:\\late.exe", "11");
    vxtest::SetString(HKEY_CURRENT_USER, kTime, "C:\\late.exe", "45");
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
    DeleteFileA(marker.c_str());
    DeleteFileA(applied.c_str());
}

}  // namespace
