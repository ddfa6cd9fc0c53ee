// A system with an entry in every autostart place, for the startup tests:
// every Run key of the three families, WIN.INI "load" and "run", both
// Startup folders under both roots (real shortcuts), Winlogon UserInit and
// Shell, and each hook point.  What it changes outside our own store is put
// back in TearDown, so the tests of one program do not see each other.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "support/scripted_ui.h"
#include "support/vxtest.h"

#include "categories/category.h"
#include "foundation/handles.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "startup/autostart.h"

using vxtest::Items;

namespace startup_test {

#define CV "Software\\Microsoft\\Windows\\CurrentVersion\\"
#define WOW "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
#define SHELL_FOLDERS CV "Explorer\\Shell Folders"
#define WINLOGON "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"
#define NT_WINDOWS "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows"
#define DELAYLOAD CV "ShellServiceObjectDelayLoad"
#define NOTIFY WINLOGON "\\Notify\\VxNotify"
#define DISABLED "Software\\Quillon\\Vardex\\Disabled"
#define BASELINE "Software\\Quillon\\Vardex\\Run"
#define APP "C:\\vxapp"
#define CLSID_DELAY "{6A1C0001-0000-4000-8000-00000000A001}"
#define CLSID_TASK "{6A1C0001-0000-4000-8000-00000000A002}"
#define CLSID_EXEC "6A1C0001-0000-4000-8000-00000000A003"

// The seven keys of a Run family and their Disabled mirrors, spelled out
// here, not taken from the catalogue under test: code = base + position.
static const char* const kRunKeys[7] = {"Run", "RunOnce", "RunOnceEx", "RunServices",
    "RunServicesOnce", "RunOnce\\Setup", "policies\\Explorer\\Run"};
static const char* const kMirrors[7]
    = {"Run", "RunOnce", "RunOnceEx", "RunServices", "RunServicesOnce", "RunSetup", "Policy"};

struct RunPlace { int code; HKEY root; std::string path; };
inline std::vector<RunPlace> RunPlaces()
{
    std::vector<RunPlace> places;
    for (int base : { 0, 10, 20 })
        for (int k = 0; k < 7; k++)
            places.push_back({ base + k + 1, base == 10 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                               std::string(base == 20 ? WOW : CV) + kRunKeys[k] });
    return places;
}

// The four Startup folders: the Shell Folders value of each root.
struct FolderPlace { HKEY root; const char *value, *folder, *tag; };
static const FolderPlace kFolders[] = {
    { HKEY_LOCAL_MACHINE, "Startup", "C:\\vxsf\\m_startup", "mstart" },
    { HKEY_LOCAL_MACHINE, "Common Startup", "C:\\vxsf\\m_common", "mcommon" },
    { HKEY_CURRENT_USER, "Startup", "C:\\vxsf\\u_startup", "ustart" },
    { HKEY_CURRENT_USER, "Common Startup", "C:\\vxsf\\u_common", "ucommon" },
};
inline std::string LinkOf(const FolderPlace& f)
{
    return std::string(f.folder) + "\\" + f.tag + ".lnk";
}
inline std::string TargetOf(const FolderPlace& f)
{
    return std::string(APP "\\target_") + f.tag + ".exe";
}

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

inline bool MakeShortcut(
    const std::string& path, const std::string& target, const std::string& description)
{
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    std::wstring wide(path.begin(), path.end());
    return SUCCEEDED(CoCreateInstance(
               CLSID_ShellLink, 0, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid()))
        && SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))
        && SUCCEEDED(link->SetPath(target.c_str()))
        && SUCCEEDED(link->SetDescription(description.c_str()))
        && SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

// The index of the listed entry with this code and name (and command when
// given); -1 when absent.
inline int FindItem(int code, const std::string& name, const char* command = NULL)
{
    for (int i = 0; i < ItemCount(Items()); i++)
        if (GetItemCode(Items(), i) == code
            && (command ? lstrcmpiA(GetItemCommand(Items(), i), command) == 0
                        : lstrcmpiA(GetItemName(Items(), i), name.c_str()) == 0))
            return i;
    return -1;
}
inline int CountCode(int code)
{
    int n = 0;
    for (int i = 0; i < ItemCount(Items()); i++) n += GetItemCode(Items(), i) == code;
    return n;
}

inline std::string HistoryText()
{
    return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt"));
}
inline int HistoryLines()
{
    std::string t = HistoryText();
    return (int)std::count(t.begin(), t.end(), '\n');
}
inline bool HistoryHas(const std::string& part)
{
    return HistoryText().find(part) != std::string::npos;
}

inline std::string WinIni(const char* key)
{
    char text[4096] = "";
    return GetProfileStringA("windows", key, "", text, sizeof(text)), text;
}
inline bool FileThere(const std::string& p)
{
    return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A registry text value, "" when missing.
inline std::string Reg(HKEY root, const std::string& path, const std::string& name)
{
    std::string text = vxtest::ReadString(root, path.c_str(), name.c_str());
    return text == "<missing>" ? "" : text;
}

// Sets a registry text value, or deletes it for "<missing>" (as
// vxtest::ReadString reads a missing one).
inline void PutValue(
    HKEY root, const std::string& path, const std::string& name, const std::string& text)
{
    text == "<missing>" ? (void)RegDeleteValueNamed(root, path.c_str(), name.c_str())
                        : vxtest::SetString(root, path.c_str(), name.c_str(), text.c_str());
}

class PlantedSystem : public ::testing::Test {
protected:
    struct Saved { HKEY root; std::string path, name, text; };
    std::vector<Saved> saved_;  // system values we overwrite
    std::string tool_ = APP "\\tool.exe";  // a program with a version resource

    // Sets (or, with "<missing>", deletes) a system value, put back in TearDown.
    void Plant(HKEY root, const std::string& path, const char* name, const std::string& data)
    {
        saved_.push_back({ root, path, name, vxtest::ReadString(root, path.c_str(), name) });
        PutValue(root, path, name, data);
    }

    void SetUp() override
    {
        vxtest::ResetStore();
        CoInitialize(NULL);
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        LoadOptions();
        CreateDirectoryA(APP, NULL);
        CreateDirectoryA("C:\\vxsf", NULL);
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, MAX_PATH);
        CopyFileA(self, tool_.c_str(), FALSE);

        for (const RunPlace& p : RunPlaces())
            Plant(p.root, p.path, RunName(p.code).c_str(), RunData(p.code));
        Plant(HKEY_CURRENT_USER, NT_WINDOWS, "run", "");  // WIN.INI's mapping, saved
        Plant(HKEY_CURRENT_USER, NT_WINDOWS, "load", "");
        WriteProfileStringA("windows", "run", APP "\\winrun.exe");
        WriteProfileStringA("windows", "load", APP "\\winload.exe;" APP "\\winload2.exe");
        for (const FolderPlace& f : kFolders) {
            CreateDirectoryA(f.folder, NULL);
            Plant(f.root, SHELL_FOLDERS, f.value, f.folder);
            vxtest::WriteFileBytes(TargetOf(f), "MZ");
            ASSERT_TRUE(MakeShortcut(LinkOf(f), TargetOf(f), std::string("Vx link ") + f.tag));
        }
        Plant(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit",
            "C:\\windows\\system32\\userinit.exe," APP "\\ui.exe");
        Plant(HKEY_LOCAL_MACHINE, WINLOGON, "Shell", "explorer.exe " APP "\\shell.exe");
        Plant(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay", CLSID_DELAY);
        Plant(HKEY_LOCAL_MACHINE, CV "Explorer\\SharedTaskScheduler", CLSID_TASK, "Vx Task Hook");
        Plant(HKEY_LOCAL_MACHINE, CV "Explorer\\ShellExecuteHooks", CLSID_EXEC, "");
        Plant(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls",
            APP "\\a.dll " APP "\\b.dll," APP "\\c.dll");
        vxtest::SetString(
            HKEY_CLASSES_ROOT, "CLSID\\" CLSID_DELAY "\\InprocServer32", "", tool_.c_str());
        vxtest::SetString(
            HKEY_CLASSES_ROOT, "CLSID\\" CLSID_TASK "\\InprocServer32", "", APP "\\task.dll");
        vxtest::SetString(HKEY_CLASSES_ROOT, "CLSID\\{" CLSID_EXEC "}", "", "Vx Exec Hook");
        vxtest::SetString(
            HKEY_CLASSES_ROOT, "CLSID\\{" CLSID_EXEC "}\\InprocServer32", "", APP "\\exec.dll");
        vxtest::SetString(HKEY_LOCAL_MACHINE, NOTIFY, "DllName", APP "\\notify.dll");
    }

    void TearDown() override
    {
        RegCreateKeyPath(HKEY_LOCAL_MACHINE, WOW "Run");
        for (auto v = saved_.rbegin(); v != saved_.rend(); ++v)
            PutValue(v->root, v->path, v->name, v->text);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, NOTIFY);
        for (const char* key :
            {"CLSID\\" CLSID_DELAY, "CLSID\\" CLSID_TASK, "CLSID\\{" CLSID_EXEC "}"})
            RegDeleteKeyTree(HKEY_CLASSES_ROOT, key);
        // The Startup folders (all under C:\vxsf) and the parked files.
        for (std::string tree :
            {std::string("C:\\vxsf"), vxtest::PathInProgramFolder("Disabled")}) {
            tree += '\0';  // a list of one, ended by two NULs
            SHFILEOPSTRUCTA op = {NULL, FO_DELETE, tree.c_str(), NULL,
                FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT};
            SHFileOperationA(&op);
        }
        vxtest::ResetStore();
        CoUninitialize();
    }
};

}  // namespace startup_test
