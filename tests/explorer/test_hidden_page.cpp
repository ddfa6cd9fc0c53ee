// The Hidden Files page against real hidden files: its rows, Unhide,
// Delete after asking, and Notepad started with the path quoted.
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>

#include "categories/hidden_files.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "list_page_driver.h"
#include "resources/pages/hidden.h"

using namespace page_test;

namespace {

const int kModule = 0, kPath = 1, kDetected = 2, kWritten = 3, kType = 4;

std::string TempFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return temp;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

class HiddenPageTest : public PageTest {
protected:
    std::string folder_ = TempFolder() + "vx page";
    std::vector<std::string> planted_;

    void SetUp() override
    {
        PageTest::SetUp();
        ClearHistoryFile();
        CreateDirectoryA(folder_.c_str(), NULL);
    }
    void TearDown() override
    {
        for (const std::string& path : planted_) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        ClearHistoryItems();
        PageTest::TearDown();
    }
    // A file with these attributes, last written at the local time given.
    std::string Plant(const std::string& name, DWORD attributes, WORD hour = 9)
    {
        std::string path = folder_ + "\\" + name;
        vxtest::WriteFileBytes(path, "planted " + name);
        SYSTEMTIME local = { 2025, 11, 1, 3, hour, 45, 0, 0 };
        FILETIME localTime, written;
        SystemTimeToFileTime(&local, &localTime);
        LocalFileTimeToFileTime(&localTime, &written);
        HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING,
                                  0, NULL);
        EXPECT_TRUE(SetFileTime(file, NULL, NULL, &written));
        CloseHandle(file);
        SetFileAttributesA(path.c_str(), attributes);
        planted_.push_back(path);
        return path;
    }
};

const DWORD kHidden = FILE_ATTRIBUTE_HIDDEN, kSystem = FILE_ATTRIBUTE_SYSTEM;

TEST_F(HiddenPageTest, RowsShowTheFilesAsTheyAre)
{
    Plant("system one.dat", kHidden | kSystem);
    Plant("plain.dat", kHidden, 15);
    Plant("shown.dat", FILE_ATTRIBUTE_NORMAL);
    PageHost host(PAGE_HIDDEN);
    HWND list = host.List();
    int system = FindRow(list, kModule, "system one.dat");
    int plain = FindRow(list, kModule, "plain.dat");
    ASSERT_GE(system, 0);
    ASSERT_GE(plain, 0);
    EXPECT_EQ(-1, FindRow(list, kModule, "shown.dat"));
    EXPECT_EQ("SYSTEM", Cell(list, system, kType));
    EXPECT_EQ("", Cell(list, plain, kType));
    EXPECT_EQ(folder_, Cell(list, plain, kPath));
    EXPECT_EQ("11/03/2025 3:45 PM", Cell(list, plain, kWritten));
    EXPECT_NE("", Cell(list, plain, kDetected));
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_DETECTED_KEY "\\Hidden",
                                              (folder_ + "\\plain.dat").c_str()));
    // Type sorts by the flag: the system files first, then the others.
    ClickHeader(list, kType);
    EXPECT_EQ("SYSTEM", Cell(list, 0, kType));
    EXPECT_EQ("", Cell(list, RowCount(list) - 1, kType));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortHidden", "5");
    // Refresh reads the same rows back.
    std::vector<std::string> before = Column(list, kModule);
    Press(host.Page(), IDC_HIDDEN_REFRESH);
    EXPECT_EQ(before, Column(list, kModule));
    std::vector<std::string> menu = MenuOfRightClick(host.Page(), list, plain);
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&View using NotePad"));
}

// Unhide clears the attributes of each selected file; Delete asks first
// and writes the history line; the rows follow.
TEST_F(HiddenPageTest, UnhideTheSelectedFilesAndDeleteAfterAsking)
{
    std::string system = Plant("sys.dat", kHidden | kSystem | FILE_ATTRIBUTE_READONLY);
    std::string plain = Plant("plain.dat", kHidden | FILE_ATTRIBUTE_ARCHIVE);
    std::string victim = Plant("victim file.dat", kHidden | kSystem);
    std::string keeper = Plant("keeper.dat", kHidden);
    PageHost host(PAGE_HIDDEN);
    HWND list = host.List();
    SelectRows(list, { FindRow(list, kModule, "sys.dat"), FindRow(list, kModule, "plain.dat") });
    Press(host.Page(), IDC_HIDDEN_UNHIDE);
    const DWORD cleared = kHidden | kSystem | FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(0u, Attributes(system) & cleared);
    EXPECT_EQ(0u, Attributes(plain) & cleared);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(plain));
    EXPECT_EQ(kHidden, Attributes(keeper) & kHidden);
    EXPECT_EQ(-1, FindRow(list, kModule, "sys.dat"));
    EXPECT_EQ(-1, FindRow(list, kModule, "plain.dat"));
    // Nothing selected: told, nothing changes.
    SelectRows(list, {});
    std::string told = OneBoxText({ IDOK }, [&] { Press(host.Page(), IDC_HIDDEN_UNHIDE); });
    EXPECT_NE(std::string::npos, told.find("No selection"));
    EXPECT_EQ(kHidden, Attributes(keeper) & kHidden);
    auto deleteVictim = [&](int answer) {
        ClickRow(list, FindRow(list, kModule, "victim file.dat"));
        return OneBoxText({ answer }, [&] {
            SendMessageA(host.Page(), WM_COMMAND, IDM_HIDDEN_DELETE, 0);
        });
    };
    EXPECT_NE(std::string::npos, deleteVictim(IDNO).find("Adware or Spyware"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(victim));
    EXPECT_EQ(0, ReadHistory());
    EXPECT_NE(std::string::npos, deleteVictim(IDYES).find("Adware or Spyware"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes(victim));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, Attributes(keeper));
    EXPECT_EQ(1, ReadHistory());
    EXPECT_EQ(-1, FindRow(list, kModule, "victim file.dat"));
    EXPECT_GE(FindRow(list, kModule, "keeper.dat"), 0);
}

// The command line a process was started with, read from its memory.
std::string CommandLineOf(HANDLE process)
{
    typedef LONG(WINAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    QueryProcess query = (QueryProcess)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                             "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic;
    PEB peb;
    RTL_USER_PROCESS_PARAMETERS parameters;
    if (query == NULL ||
        query(process, ProcessBasicInformation, &basic, sizeof(basic), NULL) != 0 ||
        !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), NULL) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters),
                           NULL))
        return "";
    std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    ReadProcessMemory(process, parameters.CommandLine.Buffer, &line[0],
                      parameters.CommandLine.Length, NULL);
    return std::string(line.begin(), line.end());
}

// A running notepad.exe, opened to be read and ended; NULL when none.
HANDLE FindNotepad()
{
    HANDLE found = NULL;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && found == NULL;
         more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "notepad.exe") == 0)
            found = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE,
                                FALSE, entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

TEST_F(HiddenPageTest, NotepadGetsThePathWithBlanksQuoted)
{
    std::string path = Plant("look at me.txt", kHidden);
    {
        PageHost host(PAGE_HIDDEN);
        ClickRow(host.List(), FindRow(host.List(), kModule, "look at me.txt"));
        SendMessageA(host.Page(), WM_COMMAND, IDM_HIDDEN_NOTEPAD, 0);
    }
    HANDLE notepad = NULL;
    for (int i = 0; i < 200 && (notepad = FindNotepad()) == NULL; i++)
        Sleep(50);
    ASSERT_TRUE(notepad != NULL);
    std::string line = CommandLineOf(notepad);
    TerminateProcess(notepad, 0);
    CloseHandle(notepad);
    std::string quoted = " \"" + path + "\"";
    ASSERT_GE(line.size(), quoted.size()) << line;
    EXPECT_EQ(quoted, line.substr(line.size() - quoted.size()));
}

}  // namespace
