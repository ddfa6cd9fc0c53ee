// The History dialog's list: lines shown in a list view, undone through
// the category that wrote them (the startup entries against the real
// registry, WIN.INI and Startup folder), and the file cleared.
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "explorer/history_view.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/vxtest.h"

namespace {

const char* const kHklmWindows = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const char* const kPolicyRun = "Software\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\Run";

std::string HistoryPath()
{
    return vxtest::PathInProgramFolder("history.txt");
}

class HistoryViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        DeleteFileA(HistoryPath().c_str());
        LoadOptions();
    }
    void TearDown() override
    {
        ClearHistoryItems();
        DeleteFileA(HistoryPath().c_str());
    }
    int ReadLines(const std::string& bytes)
    {
        vxtest::WriteFileBytes(HistoryPath(), bytes);
        return ReadHistory();
    }
    // Writes one "*START_Remove" line of the type and restores it.
    int RestoreRemoval(const char* name, const std::string& command, const std::string& extra,
                       int type)
    {
        DeleteFileA(HistoryPath().c_str());
        EXPECT_EQ(1, WriteHistory(name, command.c_str(), extra.c_str(), type, HA_START_REMOVE));
        EXPECT_EQ(1, ReadHistory());
        return RestoreHistoryRow(0, NULL);
    }
};

TEST_F(HistoryViewTest, FillsTheListControlAndClearsAReadOnlyFile)
{
    InitCommonControls();
    HWND list = CreateWindowA(WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 300, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, list);
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\u.exe", "", 11, HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory("Helper", "C:\\h.dll", "", 900, HA_IEHELPER_REMOVE));
    ASSERT_EQ(2, ShowHistoryInList(list));
    ASSERT_EQ(2, ShowHistoryInList(list));   // read again: rows and columns are not doubled
    EXPECT_EQ(2, ListView_GetItemCount(list));
    EXPECT_EQ(4, Header_GetItemCount(ListView_GetHeader(list)));
    const char* headings[4] = { "Title", "Action", "Command", "Date Modified" };
    const std::string row[4] = { "Helper", "IEHELPER_Remove", "TYPE_BHO", GetHistoryItem(1)->Info };
    for (int c = 0; c < 4; c++) {
        char text[128] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof(text);
        ListView_GetColumn(list, c, &column);
        EXPECT_STREQ(headings[c], text);
        ListView_GetItemText(list, 1, c, text, sizeof(text));
        EXPECT_EQ(row[c], text);
    }

    SetFileAttributesA(HistoryPath().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, ClearHistoryInList(list));
    EXPECT_EQ(0, ListView_GetItemCount(list));
    EXPECT_EQ(0, HistoryItemCount());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HistoryPath().c_str()));
    DestroyWindow(list);
}

// --- Undo --------------------------------------------------------------------------

// A registry value; with no root the WIN.INI [windows] key through the
// profile API; with neither "file" when the file at value exists.
std::string PlaceText(HKEY root, const char* key, const std::string& value)
{
    if (root != NULL)
        return vxtest::ReadString(root, key, value.c_str());
    char text[512] = "";
    if (key != NULL)
        GetProfileStringA("windows", key, "", text, sizeof(text));
    else if (GetFileAttributesA(value.c_str()) != INVALID_FILE_ATTRIBUTES)
        TextCopy(text, "file");
    return text;
}

TEST_F(HistoryViewTest, RestoreRemovalsComeBackOnceAndAreBaselined)
{
    std::string startup = vxtest::ReadString(
        HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Startup");
    ASSERT_NE("<missing>", startup);
    CreateDirectoryA(startup.c_str(), NULL);
    std::string link = startup + "\\Restored App.lnk";
    std::string target = vxtest::PathInProgramFolder("KESSA.DLL");
    std::string dll = vxtest::PathInProgramFolder("Long Library Name.dll");
    vxtest::WriteFileBytes(dll, "MZ");
    char shortDll[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(dll.c_str(), shortDll, sizeof(shortDll)));
    WriteProfileStringA("windows", "run", "first.exe");
    WriteProfileStringA("windows", "load", NULL);
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", "one.dll");
    const char* clsid = "{11111111-2222-3333-4444-555555555555}";
    const char* hooks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
    const char* delayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
    // A parked Winlogon notify package: its DLL kept aside under "OldName".
    const char* notify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\pkg";
    vxtest::SetString(HKEY_LOCAL_MACHINE, notify, "DLLName", "");
    vxtest::SetString(HKEY_LOCAL_MACHINE, notify, "OldName", "pkg.dll");

    struct Case {
        int code; const char* name; std::string command, extra;
        HKEY root; const char* key; std::string value, expected;
    } cases[] = {
        { 11, "Restored App", "C:\\Apps\\r.exe -a=1", "", HKEY_CURRENT_USER, WIN_RUN_KEY,
          "Restored App", "C:\\Apps\\r.exe -a=1" },
        { 1, "Restored App", "C:\\Apps\\r.exe -a=1", "", HKEY_LOCAL_MACHINE, WIN_RUN_KEY,
          "Restored App", "C:\\Apps\\r.exe -a=1" },
        { 101, "back", "C:\\Apps\\back.exe", "", NULL, "run", "", "first.exe;C:\\Apps\\back.exe" },
        { 100, "load", "C:\\Apps\\load.exe", "", NULL, "load", "", "C:\\Apps\\load.exe" },
        { 252, "Obj", "C:\\obj.dll", clsid, HKEY_LOCAL_MACHINE, delayLoad, "Obj", clsid },
        { 254, "Hook", "C:\\hook.dll", clsid, HKEY_LOCAL_MACHINE, hooks, clsid, "Hook" },
        { 200, "Restored App", target, link, NULL, NULL, link, "file" },
        { 256, "pkg", "pkg.dll", "", HKEY_LOCAL_MACHINE, notify, "DLLName", "pkg.dll" },
        { 255, "Long Library Name.dll", dll, "", HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs",
          std::string("one.dll,") + shortDll },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(1, RestoreRemoval(c.name, c.command, c.extra, c.code));
        EXPECT_EQ(c.expected, PlaceText(c.root, c.key, c.value));
        // Baselined under the command, "=" as ":", with the code; a notify
        // package is not a startup entry of the baseline.
        std::string baseline = c.command;
        std::replace(baseline.begin(), baseline.end(), '=', ':');
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, baseline.c_str(),
                          c.code == 256 ? "<missing>" : std::to_string(c.code));
        EXPECT_EQ(1, HistoryItemCount()) << "the list is read again";
        // Restoring the same line again never lists the program twice (and
        // a notify package that is no longer parked keeps its DLL).
        EXPECT_EQ(1, RestoreHistoryRow(0, NULL));
        EXPECT_EQ(c.expected, PlaceText(c.root, c.key, c.value));
    }

    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, notify, "OldName", "");

    // The last line is the DLL's: an empty list gets it alone, a list too
    // long to read whole is never written back cut.
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", "");
    EXPECT_EQ(1, RestoreHistoryRow(0, NULL));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", shortDll);
    std::string longList(1500, 'a');
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", longList.c_str());
    EXPECT_EQ(0, RestoreHistoryRow(0, NULL));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", longList);

    // The shortcut starts the program from its folder, described by its name.
    CoInitialize(NULL);
    {
        ComRef<IShellLinkA> shell;
        ComRef<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                                  IID_IShellLinkA, shell.OutVoid()));
        ASSERT_HRESULT_SUCCEEDED(shell->QueryInterface(IID_IPersistFile, file.OutVoid()));
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        ASSERT_HRESULT_SUCCEEDED(file->Load(wide, STGM_READ));
        char text[MAX_PATH];
        shell->GetPath(text, MAX_PATH, NULL, 0);
        EXPECT_STRCASEEQ(target.c_str(), text);
        shell->GetDescription(text, MAX_PATH);
        EXPECT_STREQ("Restored App", text);
        shell->GetWorkingDirectory(text, MAX_PATH);
        EXPECT_STRCASEEQ(vxtest::ProgramFolder().c_str(), text);
    }
    CoUninitialize();
    DeleteFileA(link.c_str());
    DeleteFileA(dll.c_str());
}

TEST_F(HistoryViewTest, RestoreDisableLineTogglesTheEntry)
{
    vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled", "C:\\Apps\\t.exe");
    ReadLines("t\tSTART_Disable\tCURRENT_RUN\tToggled\tC:\\Apps\\t.exe\t\r\n");
    EXPECT_EQ(1, RestoreHistoryRow(0, NULL));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, "Toggled", "11");
    EXPECT_EQ(1, RestoreHistoryRow(0, NULL));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled", "C:\\Apps\\t.exe");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, "Toggled");
    RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled");
}

TEST_F(HistoryViewTest, RestoreOtherPlacesAndUnknownLinesAreNotRestored)
{
    // WOW64 Run, an unknown code, a shortcut without its path.
    EXPECT_EQ(0, RestoreRemoval("Wow", "C:\\w.exe", "", 21));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE,
                       "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", "Wow");
    EXPECT_EQ(0, RestoreRemoval("Unknown", "C:\\u.exe", "", 3000));
    EXPECT_EQ(0, RestoreRemoval("x", "C:\\x.exe", "", 200));
    for (const char* command : { "C:\\w.exe", "C:\\u.exe", "C:\\x.exe" })
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_RUN_KEY, command);

    // A line whose action or type is unknown is never taken for a removal.
    ReadLines("t\tSOMETHING\tCURRENT_RUN\tForged\tC:\\f.exe\t\r\n"
              "t\t*START_Remove\tNO_SUCH_TYPE\tForged2\tC:\\f2.exe\t\r\n"
              "t\tSTART_Alert\tCURRENT_RUN\tAlerted\tC:\\a.exe\t\r\n");
    ASSERT_EQ(3, HistoryItemCount());
    for (int index : { 0, 1, 2, 99 })
        EXPECT_EQ(0, RestoreHistoryRow(index, NULL)) << index;
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Forged");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, kPolicyRun, "Forged2");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Alerted");
}


}  // namespace
