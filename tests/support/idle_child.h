// Real processes for the process tests: copies of the running test program
// under names and folders of the test's choosing, started to do nothing
// (the test below) until they are ended.  Include in one file per program.
#pragma once
#include <windows.h>

#include <string>

#include "support/vxtest.h"

// What a started copy runs: nothing, for long enough.
TEST(IdleChild, DISABLED_Idle) { Sleep(180000); }

namespace vxtest {

// Copies this program to <program folder>\relative (folders created).
// Returns the full path, "" on failure.
inline std::string MakeProgramCopy(const std::string& relative)
{
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, self, sizeof(self));
    std::string path = ProgramFolder() + "\\" + relative;
    for (size_t slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), NULL);
    return n == 0 || n >= sizeof(self) || !CopyFileA(self, path.c_str(), FALSE) ? "" : path;
}

class IdleChild {
public:
    IdleChild() = default;
    ~IdleChild() { End(); }
    IdleChild(const IdleChild&) = delete;
    IdleChild& operator=(const IdleChild&) = delete;

    // A copy of this program idles; any other program (suspended set) is
    // started suspended, so its code never runs.
    bool Start(const std::string& exePath, bool suspended = false)
    {
        End();
        std::string command = "\"" + exePath + "\"", folder = ProgramFolder();
        if (!suspended)
            command += " --gtest_also_run_disabled_tests --gtest_filter=IdleChild.DISABLED_Idle";
        STARTUPINFOA si = { sizeof(si) };
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, suspended ? CREATE_SUSPENDED : 0,
                NULL, folder.c_str(), &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        handle_ = pi.hProcess, id_ = pi.dwProcessId;
        return true;
    }
    bool Running() const
    {
        return handle_ != NULL && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
    }
    // Waits up to ms for the process to end; true when it did.
    bool Ended(DWORD ms) const
    {
        return handle_ != NULL && WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const { DWORD code = 0; GetExitCodeProcess(handle_, &code); return code; }
    void End()
    {
        if (handle_ != NULL)
            TerminateProcess(handle_, 0), WaitForSingleObject(handle_, 5000), CloseHandle(handle_);
        handle_ = NULL, id_ = 0;
    }
    DWORD Id() const { return id_; }

private:
    HANDLE handle_ = NULL;
    DWORD id_ = 0;
};

}  // namespace vxtest
