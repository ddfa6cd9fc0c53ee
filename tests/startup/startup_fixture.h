// A system with an entry in every autostart place, for the startup tests:
// every Run key of the three families, WIN.INI "load" and "run", both
// Startup folders under both roots (real shortcuts), Winlogon UserInit and
// Shell, and each hook point.  What it changes outside our own store is put
// back in TearDown, so the tests of one program do not see each other.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/vxtest.h"

#include "foundation/options.h"
#include "startup/autostart.h"
#include "startup/item_list.h"

namespace startup_test {

#define CV "Software\\Microsoft\\Windows\\CurrentVersion\\"
#define WOW "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"

struct RunPlace {
    int code;
    HKEY root;
    const char* path;
};

// Spelled out here, not taken from the catalogue under test.
static const RunPlace kRunPlaces[] = {
    { 1, HKEY_LOCAL_MACHINE, CV "Run" },
    { 2, HKEY_LOCAL_MACHINE, CV "RunOnce" },
    { 3, HKEY_LOCAL_MACHINE, CV "RunOnceEx" },
    { 4, HKEY_LOCAL_MACHINE, CV "RunServices" },
    { 5, HKEY_LOCAL_MACHINE, CV "RunServicesOnce" },
    { 6, HKEY_LOCAL_MACHINE, CV "RunOnce\\Setup" },
    { 7, HKEY_LOCAL_MACHINE, CV "policies\\Explorer\\Run" },
    { 11, HKEY_CURRENT_USER, CV "Run" },
    { 12, HKEY_CURRENT_USER, CV "RunOnce" },
    { 13, HKEY_CURRENT_USER, CV "RunOnceEx" },
    { 14, HKEY_CURRENT_USER, CV "RunServices" },
    { 15, HKEY_CURRENT_USER, CV "RunServicesOnce" },
    { 16, HKEY_CURRENT_USER, CV "RunOnce\\Setup" },
    { 17, HKEY_CURRENT_USER, CV "policies\\Explorer\\Run" },
    { 21, HKEY_LOCAL_MACHINE, WOW "Run" },
    { 22, HKEY_LOCAL_MACHINE, WOW "RunOnce" },
    { 23, HKEY_LOCAL_MACHINE, WOW "RunOnceEx" },
    { 24, HKEY_LOCAL_MACHINE, WOW "RunServices" },
    { 25, HKEY_LOCAL_MACHINE, WOW "RunServicesOnce" },
    { 26, HKEY_LOCAL_MACHINE, WOW "RunOnce\\Setup" },
    { 27, HKEY_LOCAL_MACHINE, WOW "policies\\Explorer\\Run" },
};

static const char* const kMirrors[] = {
    "Run", "RunOnce", "RunOnceEx", "RunServices", "RunServicesOnce", "RunSetup", "Policy",
};

#define SHELL_FOLDERS CV "Explorer\\Shell Folders"
#define WINLOGON "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"
#define NT_WINDOWS "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows"
#define DELAYLOAD CV "ShellServiceObjectDelayLoad"
#define TASKSCHED CV "Explorer\\SharedTaskScheduler"
#define EXECHOOKS CV "Explorer\\ShellExecuteHooks"
#define NOTIFY WINLOGON "\\Notify\\VxNotify"
#define DISABLED "Software\\Quillon\\Vardex\\Disabled"
#define BASELINE "Software\\Quillon\\Vardex\\Run"

#define APP "C:\\vxapp"
#define CLSID_DELAY "{6A1C0001-0000-4000-8000-00000000A001}"
#define CLSID_TASK "{6A1C0001-0000-4000-8000-00000000A002}"
#define CLSID_EXEC "6A1C0001-0000-4000-8000-00000000A003"

// The four Startup folders: the Shell Folders value of each root.
struct FolderPlace {
    HKEY root;
    const char* value;
    const char* folder;
    const char* tag;
};
static const FolderPlace kFolders[] = {
    { HKEY_LOCAL_MACHINE, "Startup", "C:\\vxsf\\m_startup", "mstart" },
    { HKEY_LOCAL_MACHINE, "Common Startup", "C:\\vxsf\\m_common", "mcommon" },
    { HKEY_CURRENT_USER, "Startup", "C:\\vxsf\\u_startup", "ustart" },
    { HKEY_CURRENT_USER, "Common Startup", "C:\\vxsf\\u_common", "ucommon" },
};

inline std::string RunName(int code) { return "VxRun" + std::to_string(code); }
inline std::string RunData(int code)
{
    return "\"" APP "\\run " + std::to_string(code) + ".exe\" /start";
}
// As the list shows it: quotes removed.
inline std::string RunCommand(int code)
{
    return APP "\\run " + std::to_string(code) + ".exe /start";
}

inline bool MakeShortcut(const std::string& path, const std::string& target,
                         const std::string& description)
{
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return false;
    link->SetPath(target.c_str());
    if (!description.empty())
        link->SetDescription(description.c_str());
    IPersistFile* file = NULL;
    bool ok = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        ok = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

// The index of the listed entry with this code and name; -1 when absent.
inline int FindItem(int code, const std::string& name)
{
    for (int i = 0; i < ItemCount(); i++)
        if (GetItemCode(i) == code && lstrcmpiA(GetItemName(i), name.c_str()) == 0)
            return i;
    return -1;
}

inline int CountCode(int code)
{
    int n = 0;
    for (int i = 0; i < ItemCount(); i++)
        n += GetItemCode(i) == code;
    return n;
}

inline std::string HistoryText()
{
    return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt"));
}

inline int HistoryLines()
{
    std::string text = HistoryText();
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

inline std::string WinIni(const char* key)
{
    char text[4096] = "";
    GetProfileStringA("windows", key, "", text, sizeof(text));
    return text;
}

// A saved registry text value (or its absence), put back by Restore.
struct SavedValue {
    HKEY root;
    std::string path, name, text;
    bool present;
    void Save(HKEY r, const char* p, const char* n)
    {
        root = r;
        path = p;
        name = n;
        present = vxtest::ValueExists(r, p, n);
        text = present ? vxtest::ReadString(r, p, n) : std::string();
    }
    void Restore() const
    {
        if (present)
            vxtest::SetString(root, path.c_str(), name.c_str(), text.c_str());
        else
            RegDeleteValueNamed(root, path.c_str(), name.c_str());
    }
};

class PlantedSystem : public ::testing::Test {
protected:
    std::vector<SavedValue> saved_;
    std::string tool_;  // a program with a version resource

    void SaveValue(HKEY root, const char* path, const char* name)
    {
        SavedValue v;
        v.Save(root, path, name);
        saved_.push_back(v);
    }

    void SetUp() override
    {
        vxtest::ResetStore();
        CoInitialize(NULL);
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Options", "History", "1");
        LoadOptions();
        CreateDirectoryA(APP, NULL);
        CreateDirectoryA("C:\\vxsf", NULL);
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, MAX_PATH);
        tool_ = APP "\\tool.exe";
        CopyFileA(self, tool_.c_str(), FALSE);

        for (const RunPlace& p : kRunPlaces)
            vxtest::SetString(p.root, p.path, RunName(p.code).c_str(), RunData(p.code).c_str());

        SaveValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                  "run");
        SaveValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                  "load");
        WriteProfileStringA("windows", "run", APP "\\winrun.exe");
        WriteProfileStringA("windows", "load", APP "\\winload.exe;" APP "\\winload2.exe");

        for (const FolderPlace& f : kFolders) {
            SaveValue(f.root, SHELL_FOLDERS, f.value);
            CreateDirectoryA(f.folder, NULL);
            vxtest::SetString(f.root, SHELL_FOLDERS, f.value, f.folder);
            std::string target = std::string(APP "\\target_") + f.tag + ".exe";
            vxtest::WriteFileBytes(target, "MZ");
            ASSERT_TRUE(MakeShortcut(std::string(f.folder) + "\\" + f.tag + ".lnk", target,
                                     std::string("Vx link ") + f.tag));
        }

        SaveValue(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit");
        SaveValue(HKEY_LOCAL_MACHINE, WINLOGON, "Shell");
        vxtest::SetString(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit",
                          "C:\\windows\\system32\\userinit.exe," APP "\\ui.exe");
        vxtest::SetString(HKEY_LOCAL_MACHINE, WINLOGON, "Shell", "explorer.exe " APP "\\shell.exe");

        vxtest::SetString(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay", CLSID_DELAY);
        vxtest::SetString(HKEY_CLASSES_ROOT, "CLSID\\" CLSID_DELAY "\\InprocServer32", "",
                          tool_.c_str());
        vxtest::SetString(HKEY_LOCAL_MACHINE, TASKSCHED, CLSID_TASK, "Vx Task Hook");
        vxtest::SetString(HKEY_CLASSES_ROOT, "CLSID\\" CLSID_TASK "\\InprocServer32", "",
                          APP "\\task.dll");
        vxtest::SetString(HKEY_LOCAL_MACHINE, EXECHOOKS, CLSID_EXEC, "");
        vxtest::SetString(HKEY_CLASSES_ROOT, "CLSID\\{" CLSID_EXEC "}", "", "Vx Exec Hook");
        vxtest::SetString(HKEY_CLASSES_ROOT, "CLSID\\{" CLSID_EXEC "}\\InprocServer32", "",
                          APP "\\exec.dll");
        SaveValue(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls");
        vxtest::SetString(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls",
                          APP "\\a.dll " APP "\\b.dll," APP "\\c.dll");
        vxtest::SetString(HKEY_LOCAL_MACHINE, NOTIFY, "DllName", APP "\\notify.dll");
    }

    void TearDown() override
    {
        for (const RunPlace& p : kRunPlaces) {
            RegDeleteValueNamed(p.root, p.path, RunName(p.code).c_str());
        }
        RegCreateKeyPath(HKEY_LOCAL_MACHINE, WOW "Run");
        for (const SavedValue& v : saved_)
            v.Restore();
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay");
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, TASKSCHED, CLSID_TASK);
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, EXECHOOKS, CLSID_EXEC);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, NOTIFY);
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\" CLSID_DELAY);
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\" CLSID_TASK);
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{" CLSID_EXEC "}");
        for (const FolderPlace& f : kFolders)
            DeleteTree(f.folder);
        DeleteTree(vxtest::PathInProgramFolder("Disabled"));
        vxtest::ResetStore();
        CoUninitialize();
    }

    static void DeleteTree(const std::string& folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((folder + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }
};

}  // namespace startup_test
