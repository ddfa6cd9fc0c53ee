// A browser that only writes down how it was started: copies of the
// running test program named "browser.exe" (registered as the http and
// https handler of the prefix) or "WAOL.EXE" (the AOL client) append their
// command line to the file named by VX_BROWSER_RECORD and end, before any
// test runs.  Include in one file per program.
#pragma once
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "support/vxtest.h"

namespace vxtest {

#define BROWSER_RECORD_VARIABLE "VX_BROWSER_RECORD"

// In a copy started as a browser: the command line recorded, the process
// ended.  Runs while the program's statics are made.
inline bool RecordIfBrowser()
{
    char self[MAX_PATH], record[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, self, sizeof(self));
    const char* name = strrchr(self, '\\');
    name = name != NULL ? name + 1 : self;
    if (n == 0 || n >= sizeof(self) || (lstrcmpiA(name, "browser.exe") != 0
                                        && lstrcmpiA(name, "waol.exe") != 0))
        return false;
    DWORD length = GetEnvironmentVariableA(BROWSER_RECORD_VARIABLE, record, sizeof(record));
    if (length == 0 || length >= sizeof(record))
        ExitProcess(2);
    HANDLE file = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    std::string line = std::string(GetCommandLineA()) + "\n";
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, line.data(), (DWORD)line.size(), &written, NULL);
        CloseHandle(file);
    }
    ExitProcess(0);
}
static const bool s_startedAsBrowser = RecordIfBrowser();

// The address a recorded start was given: the quoted argument that ends
// its command line; "<no quoted address>" when it ends otherwise.
inline std::string RecordedAddress(const std::string& call)
{
    if (call.size() < 2 || call.back() != '"')
        return "<no quoted address>";
    size_t open = call.rfind('"', call.size() - 2);
    return open == std::string::npos ? "<no quoted address>"
                                     : call.substr(open + 1, call.size() - open - 2);
}

// The recorder set up in the prefix: the handler of http and https, and an
// AOL client folder for WIN.INI [WAOL] AppPath.
class BrowserRecorder {
public:
    BrowserRecorder()
    {
        record_ = PathInProgramFolder("browser_calls.txt");
        DeleteFileA(record_.c_str());
        SetEnvironmentVariableA(BROWSER_RECORD_VARIABLE, record_.c_str());
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, sizeof(self));
        std::string browser = PathInProgramFolder("browser.exe");
        aolFolder_ = PathInProgramFolder("aol");
        CreateDirectoryA(aolFolder_.c_str(), NULL);
        EXPECT_TRUE(CopyFileA(self, browser.c_str(), FALSE));
        EXPECT_TRUE(CopyFileA(self, (aolFolder_ + "\\WAOL.EXE").c_str(), FALSE));
        std::string command = "\"" + browser + "\" \"%1\"";
        for (const char* scheme : { "http", "https" })
            SetString(HKEY_CLASSES_ROOT, (std::string(scheme) + "\\shell\\open\\command").c_str(),
                      "", command.c_str());
    }
    const std::string& AolFolder() const { return aolFolder_; }

    // The command line of the count-th start (1 the first), "" when it
    // did not come in time.
    std::string Call(size_t count) const
    {
        for (int i = 0; i < 300; i++) {
            std::string text = ReadFileText(record_);
            size_t start = 0;
            for (size_t n = 1; start < text.size(); n++) {
                size_t end = text.find('\n', start);
                if (end == std::string::npos)
                    break;
                if (n == count)
                    return text.substr(start, end - start);
                start = end + 1;
            }
            PumpMessages(100);
        }
        return "";
    }

private:
    std::string record_, aolFolder_;
};

}  // namespace vxtest
