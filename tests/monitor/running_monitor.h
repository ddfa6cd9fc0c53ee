// The real Vardex.exe running from C:\Vardex for end-to-end tests: started,
// nudged into an early patrol, its alerts answered as a user would, ended.
//
// Timing.  Ticks are 2 s and a patrol comes every 17 ticks (34 s), halves
// alternating.  The monitor brings a first-half patrol forward when the
// number of running programs changes: Nudge starts a short-lived copy of
// the test program (its DISABLED_StayAWhile test), which KESSA.DLL reports.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "monitor/monitor_spine.h"
#include "support/idle_child.h"

// Started by Nudge: lives for a few seconds and ends.
TEST(Helper, DISABLED_StayAWhile) { Sleep(6000); }

class RunningMonitor {
public:
    ~RunningMonitor() { Stop(); }

    static std::string Path() { return vxtest::PathInProgramFolder("Vardex.exe"); }

    // The window comes before the start-up work (the baselines), the
    // message loop after it: a message answered means the work is done.
    bool Start()
    {
        process_.Reset(vxtest::StartProgram("\"" + Path() + "\""));
        HWND window = process_.IsValid() ? vxtest::WaitForWindow("Vardex", NULL, 30000) : NULL;
        DWORD_PTR result = 0;
        bool up = window != NULL
            && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result) != 0;
        vxtest::PumpMessages(1500);
        return up;
    }

    void Stop()
    {
        if (!process_.IsValid())
            return;
        vxtest::RunProgram("\"" + Path() + "\" -Q", 20000);
        if (WaitForSingleObject(process_.Get(), 20000) != WAIT_OBJECT_0)
            TerminateProcess(process_.Get(), 1);
        process_.Reset(NULL);
    }

    // A short-lived process: a copy of this test program under a name of its
    // own, since the monitor counts running programs, not processes; it runs
    // only the test below, which waits a few seconds.
    static void Nudge()
    {
        vxtest::PumpMessages(2500);  // a notice of what came before is settled
        KernelHandle helper(vxtest::StartProgram("\"" + vxtest::MakeProgramCopy("vxnudge.exe")
            + "\" --gtest_also_run_disabled_tests --gtest_filter=Helper.DISABLED_StayAWhile"));
    }

    // An alert whose heading (control 100) is one or the other.
    static HWND WaitForAlertAbout(const std::string& one, const std::string& other,
                                  DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            HWND alert = vxtest::WaitForWindow("#32770", NULL, 1000);
            std::string heading = alert != NULL ? vxtest::DialogItemText(alert, 100) : "";
            if (alert != NULL && (heading == one || heading == other))
                return alert;
        }
        return NULL;
    }

    // Answers the alert that is open and waits for it to close.
    static bool Answer(HWND alert, int button)
    {
        vxtest::PumpMessages(300);
        vxtest::ClickButton(alert, button);
        return vxtest::WaitForWindowGone(alert, 10000);
    }

private:
    KernelHandle process_;
};
