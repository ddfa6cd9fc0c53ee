// End to end with the real Vardex.exe: a program on the delayed list is
// started by the running monitor once, at its time, and not again.  The
// launcher takes a step of 10 s every 6 ticks (12 s), so a program delayed
// by 20 s starts with the second step, about 24 s after the monitor's
// start.  Wine's command interpreter appends a line to a file each time it
// is started.
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "monitor/running_monitor.h"
#include "startup/delayed_start.h"
#include "support/vxtest.h"

namespace {

const char* const kMarker = "C:\\delayed.txt";

std::string Cmd()
{
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\cmd.exe";
}

void SetDelayValue(const char* subkey, const char* data)
{
    std::string key = std::string(VX_DELAY_KEY) + subkey;
    vxtest::SetString(HKEY_CURRENT_USER, key.c_str(), Cmd().c_str(), data);
}

bool MarkerExists()
{
    return GetFileAttributesA(kMarker) != INVALID_FILE_ATTRIBUTES;
}

// Waits for the marker; false when it has not come within the time.
bool WaitForMarker(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!MarkerExists() && GetTickCount() - start < timeoutMs)
        vxtest::PumpMessages(200);
    return MarkerExists();
}

TEST(DelayedAcceptance, ADelayedProgramStartsOnceAtItsTime)
{
    vxtest::ResetStore();
    DeleteFileA(kMarker);
    SetDelayValue("", "11");
    SetDelayValue("\\Time", "20");
    SetDelayValue("\\Parameters", (std::string("/c echo x>>") + kMarker).c_str());
    SetOptions({ "Sound", "0" });
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.Start()) << "the monitor did not start";

    // The first step (10 s, at 12 s) is not its time.
    vxtest::PumpMessages(15000);
    EXPECT_FALSE(MarkerExists()) << "started before its time";
    ASSERT_TRUE(WaitForMarker(40000)) << "never started";

    // Two more steps: the schedule has ended, nothing starts again.
    vxtest::PumpMessages(26000);
    monitor.Stop();
    EXPECT_EQ("x\r\n", vxtest::ReadFileText(kMarker));
    DeleteFileA(kMarker);
}

}  // namespace
