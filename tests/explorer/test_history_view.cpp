// The History dialog's list: lines shown in a list view, undone through
// the category that wrote them (the startup entries against the real
// registry, WIN.INI and Startup folder), and the file cleared.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "explorer/history_view.h"
#include "foundation/history.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "startup/autostart.h"
#include "support/vxtest.h"

using vxtest::Items;

namespace {

#define CV "Software\\Microsoft\\Windows\\CurrentVersion\\"
const char* const kHklmWindows = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

std::string HistoryPath() { return vxtest::PathInProgramFolder("history.txt"); }

class HistoryViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        DeleteFileA(HistoryPath().c_str());
        LoadOptions();
    }
};

// A registry value; with no root the WIN.INI [windows] key; with neither
// "file" when the file named by value exists.
std::string PlaceText(HKEY root, const char* key, const std::string& value)
{
    char text[512] = "";
    if (root == NULL && key == NULL)
        return GetFileAttributesA(value.c_str()) != INVALID_FILE_ATTRIBUTES ? "file" : "";
    return root != NULL ? vxtest::ReadString(root, key, value.c_str())
                        : (GetProfileStringA("windows", key, "", text, sizeof(text)), text);
}

// Read again, rows and columns are not doubled; a read-only file is cleared.
TEST_F(HistoryViewTest, FillsTheListControlAndClearsAReadOnlyFile)
{
    InitCommonControls();
    HWND list = CreateWindowA(WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 300, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, list);
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\u.exe", "", 11, HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory("Helper", "C:\\h.dll", "", 900, HA_IEHELPER_REMOVE));
    EXPECT_EQ(4, ShowHistoryInList(list) + ShowHistoryInList(list));
    EXPECT_EQ(2 * 10 + 4,
        ListView_GetItemCount(list) * 10 + Header_GetItemCount(ListView_GetHeader(list)));
    char cell[4][128] = {};
    for (int c = 0; c < 4; c++)
        ListView_GetItemText(list, 1, c, cell[c], sizeof(cell[c]));
    EXPECT_EQ(std::string("Helper|IEHELPER_Remove|TYPE_BHO|") + GetHistoryItem(1)->Info,
              std::string(cell[0]) + "|" + cell[1] + "|" + cell[2] + "|" + cell[3]);
    SetFileAttributesA(HistoryPath().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, ClearHistoryInList(list));
    EXPECT_EQ(0, ListView_GetItemCount(list) + HistoryItemCount());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HistoryPath().c_str()));
    DestroyWindow(list);
    // A removal comes back where its code says, once however often it is
    // undone, baselined under its command ("=" as ":") with its code.  Not
    // restored (place stays "<missing>"), and not baselined: a WOW64 Run value
    // (an unknown code: in the next test).
    std::string startup
        = vxtest::ReadString(HKEY_CURRENT_USER, CV "Explorer\\Shell Folders", "Startup");
    CreateDirectoryA(startup.c_str(), NULL);
    std::string link = startup + "\\Restored App.lnk",
                target = vxtest::PathInProgramFolder("KESSA.DLL"),
                dll = vxtest::PathInProgramFolder("Long Library Name.dll");
    vxtest::WriteFileBytes(dll, "MZ");
    char shortDll[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(dll.c_str(), shortDll, sizeof(shortDll)));
    WriteProfileStringA("windows", "run", "first.exe");
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", "one.dll");
    const char *clsid = "{11111111-2222-3333-4444-555555555555}", *run = "C:\\Apps\\r.exe -a=1",
               *wow = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    const HKEY lm = HKEY_LOCAL_MACHINE;
    // A parked Winlogon notify package: its DLL kept aside under "OldName".
    const char* notify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\pkg";
    vxtest::SetString(HKEY_LOCAL_MACHINE, notify, "DLLName", "");
    vxtest::SetString(HKEY_LOCAL_MACHINE, notify, "OldName", "pkg.dll");
    struct { int code; const char* name; std::string command, extra; HKEY root; const char* key;
             std::string value, expected; } cases[] = {
        { 11, "Restored App", run, "", HKEY_CURRENT_USER, WIN_RUN_KEY, "Restored App", run },
        { 1, "Restored App", run, "", lm, WIN_RUN_KEY, "Restored App", run },
        { 101, "back", "C:\\Apps\\back.exe", "", NULL, "run", "", "first.exe;C:\\Apps\\back.exe" },
        { 100, "load", "C:\\Apps\\load.exe", "", NULL, "load", "", "C:\\Apps\\load.exe" },
        { 252, "O", "C:\\o.dll", clsid, lm, CV "ShellServiceObjectDelayLoad", "O", clsid },
        { 254, "Hook", "C:\\hook.dll", clsid, lm, CV "Explorer\\ShellExecuteHooks", clsid, "Hook" },
        { 200, "Restored App", target, link, NULL, NULL, link, "file" },
        { 256, "pkg", "pkg.dll", "", lm, notify, "DLLName", "pkg.dll" },
        { 21, "W", "C:\\w.exe", "", lm, wow, "W", "<missing>" },
        { 255, "L", dll, "", lm, kHklmWindows, "AppInit_DLLs", std::string("one.dll,") + shortDll },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        int restored = c.expected != "<missing>";
        DeleteFileA(HistoryPath().c_str());
        WriteHistory(c.name, c.command.c_str(), c.extra.c_str(), c.code, HA_START_REMOVE);
        ReadHistory();
        for (int again = 0; again < 2; again++) { // a notify package no longer parked keeps its DLL
            EXPECT_EQ(restored, RestoreHistoryRow(0, NULL));
            EXPECT_EQ(c.expected, PlaceText(c.root, c.key, c.value));
        }
        const char* key = c.command == run ? "C:\\Apps\\r.exe -a:1" : c.command.c_str();
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, key,
                          c.code == 256 || !restored ? "<missing>" : std::to_string(c.code));
    }
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, notify, "OldName", "");
    // The DLL's line again: an empty list gets it alone, a list too long to
    // read whole is never written back cut.
    for (const std::string& list : { std::string(), std::string(1500, 'a') }) {
        vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", list.c_str());
        EXPECT_EQ(list.empty(), RestoreHistoryRow(0, NULL));
        EXPECT_REG_STRING(
            HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", list.empty() ? shortDll : list);
    }
    // The shortcut starts the program, described by its name.
    BuildStartupList(Items(), 0);
    int i = 0;
    while (i < ItemCount(Items()) && lstrcmpiA(GetItemExtra(Items(), i), link.c_str()) != 0) i++;
    EXPECT_STRCASEEQ((target + "|Restored App").c_str(),
        (std::string(GetItemCommand(Items(), i)) + "|" + GetItemName(Items(), i)).c_str());
    // A disable line toggles its entry each time it is undone; no other line is
    // undone: an unknown type (code 3000), an action that is no change (an
    // alert), a row out of range.
    vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled", "C:\\Apps\\t.exe");
    vxtest::WriteFileBytes(HistoryPath(),
        "t\tSTART_Disable\tCURRENT_RUN\tToggled\tC:\\Apps\\t.exe\t\r\n"
        "t\t*START_Remove\tNO_SUCH_TYPE\tForged2\tC:\\f2.exe\t\r\n"
        "t\tSTART_Alert\tCURRENT_RUN\tAlerted\tC:\\a.exe\t\r\n");
    ASSERT_EQ(3, ReadHistory());
    for (const char* runValue : { "<missing>", "C:\\Apps\\t.exe" }) {
        EXPECT_EQ(1, RestoreHistoryRow(0, NULL));
        EXPECT_REG_STRING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled", runValue);
    }
    for (int index : { 1, 2, 99 })
        EXPECT_EQ(0, RestoreHistoryRow(index, NULL)) << index;
}

}  // namespace
