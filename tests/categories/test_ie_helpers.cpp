// IE helpers against Wine's real registry and regsvr32: helpers are planted
// as an add-on installer writes them (a class whose InprocServer32 names an
// existing DLL, and the browser's BHO, Toolbar and Extensions keys), then
// listed, patrolled with a scripted user, removed and put back.
#include <windows.h>

#include <string>
#include <vector>

#include "categories/category.h"
#include "categories/ie_helpers.h"
#include "foundation/history.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

static const char* kHelperA = "{A1A1A1A1-0000-4000-8000-00000000000A}";
static const char* kHelperB = "{B2B2B2B2-0000-4000-8000-00000000000B}";
static const char* kHelperC = "{C3C3C3C3-0000-4000-8000-00000000000C}";
static const char* kNoClass = "{D4D4D4D4-0000-4000-8000-00000000000D}";
static const char* kNoClass2 = "{E5E5E5E5-0000-4000-8000-00000000000E}";
// A class that Wine's itss.dll registers: gone after "regsvr32 /u" of a
// copy of that DLL, back after "regsvr32".
static const char* kItssClass = "CLSID\\{9D148290-B9C8-11D0-A4CC-0000F80149F6}";
static const char* kBlankDir = "C:\\Program Files\\Test Helper";
static const char* kBlankDll = "C:\\Program Files\\Test Helper\\itss.dll";
static const char* kSystemDll = "C:\\windows\\system32\\mlang.dll";

static void PlantClass(const char* clsid, const char* file)
{
    std::string key = std::string("CLSID\\") + clsid;
    vxtest::SetString(HKEY_CLASSES_ROOT, key.c_str(), "", "Test helper class");
    if (file != NULL)
        vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", file);
}

static void PlantBho(const char* clsid)
{
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, (std::string(BHO_KEY "\\") + clsid).c_str());
}

static void PlantToolbar(const char* clsid)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, clsid, "");
}

static void PlantExtension(const char* name, const char* buttonText, const char* exec)
{
    std::string key = std::string(EXTENSIONS_KEY "\\") + name;
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, key.c_str());
    if (buttonText != NULL)
        vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), "ButtonText", buttonText);
    if (exec != NULL)
        vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), "Exec", exec);
}

static bool KeyExists(HKEY root, const std::string& path)
{
    return RegKeyExists(root, path.c_str()) != 0;
}

static int IndexOf(int code, const char* extra)
{
    for (int i = 0; i < ItemCount(); i++)
        if (GetItemCode(i) == code && TextEqualNoCase(GetItemExtra(i), extra))
            return i;
    return -1;
}

static std::vector<std::string> HistoryLines()
{
    char path[VX_PATH];
    HistoryFilePath(path);
    std::string text = vxtest::ReadFileText(path);
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

static bool WaitFor(bool (*condition)(), DWORD ms)
{
    for (DWORD waited = 0; waited < ms; waited += 100) {
        if (condition())
            return true;
        Sleep(100);
    }
    return condition();
}

class IEHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        char path[VX_PATH];
        HistoryFilePath(path);
        DeleteFileA(path);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, BHO_KEY);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, TOOLBAR_KEY);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, EXTENSIONS_KEY);
        for (const char* clsid : { kHelperA, kHelperB, kHelperC, kNoClass, kNoClass2 })
            RegDeleteKeyTree(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + clsid).c_str());
    }
    void TearDown() override { ClearItems(); }
};

// What is listed, with which name and command, and what is left out.
TEST_F(IEHelpers, ListsHelpersToolbarsAndExtensions)
{
    PlantClass(kHelperA, kSystemDll);
    PlantBho(kHelperA);
    PlantClass(kHelperB, NULL);  // no InprocServer32: not a helper
    PlantBho(kHelperB);
    PlantToolbar(kNoClass);      // no class at all: listed, empty command
    PlantClass("{F6F6F6F6-0000-4000-8000-00000000000F}", kSystemDll);
    PlantToolbar("F6F6F6F6-0000-4000-8000-00000000000F");  // without braces
    PlantExtension("{X1}", "Related shdoclc.dll,-1", "C:\\nowhere\\none.htm");
    PlantExtension("{X2}", NULL, "C:\\nowhere\\other.exe");  // no ButtonText
    PlantExtension("{X3}", "Search", NULL);

    EnumIEHelpers();
    struct Expect { int code; const char* extra; const char* name; const char* command; };
    const Expect rows[] = {
        { 900, kHelperA, "mlang.dll", kSystemDll },
        { 901, kNoClass, kNoClass, "" },
        { 901, "F6F6F6F6-0000-4000-8000-00000000000F", "mlang.dll", kSystemDll },
        { 902, "{X1}", "Related", "C:\\nowhere\\none.htm" },
        { 902, "{X3}", "Search", "" },
    };
    EXPECT_EQ((int)(sizeof(rows) / sizeof(rows[0])), ItemCount());
    for (const Expect& row : rows) {
        int i = IndexOf(row.code, row.extra);
        ASSERT_GE(i, 0) << row.extra;
        EXPECT_STRCASEEQ(row.name, GetItemName(i)) << row.extra;
        EXPECT_STRCASEEQ(row.command, GetItemCommand(i)) << row.extra;
    }
    EXPECT_EQ(-1, IndexOf(900, kHelperB));
    EXPECT_EQ(-1, IndexOf(902, "{X2}"));

    char className[ITEM_COMMAND], file[ITEM_COMMAND];
    EXPECT_EQ(0, ClsidInfo("{A1A1A1A1}\\InprocServer32", className, file));
    EXPECT_STREQ("", file);
}

// Removal by file: every entry of the file goes by its own kind and key,
// nothing else goes, and a class-less toolbar takes no other with it.
TEST_F(IEHelpers, RemoveTakesEachEntryOfTheFileByItsOwnKind)
{
    PlantClass(kHelperA, kSystemDll);
    PlantClass(kHelperB, kSystemDll);
    PlantClass(kHelperC, "C:\\windows\\system32\\itss.dll");
    PlantBho(kHelperA);
    PlantToolbar(kHelperB);
    PlantBho(kHelperC);
    PlantExtension("{X1}", "Tool", kSystemDll);
    PlantToolbar(kNoClass);
    PlantToolbar(kNoClass2);

    EnumIEHelpers();
    EXPECT_EQ(3, RemoveIEHelper(kSystemDll, IndexOf(900, kHelperA)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(BHO_KEY "\\") + kHelperA));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperB);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, EXTENSIONS_KEY "\\{X1}"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(BHO_KEY "\\") + kHelperC));
    EXPECT_EQ(3u, HistoryLines().size());

    EnumIEHelpers();
    EXPECT_EQ(1, RemoveIEHelper("", IndexOf(901, kNoClass)));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kNoClass);
    EXPECT_TRUE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kNoClass2));
    // A removal that finds nothing left writes nothing.
    EXPECT_EQ(0, RemoveIEHelper("", IndexOf(901, kNoClass)));
    EXPECT_EQ(4u, HistoryLines().size());
}

// What a user checks first: a new helper is asked about; "No" removes its
// registrations, unregisters its file (whose path has blanks) and writes
// its history line; the History undo puts it back; "Yes" keeps one.
static bool ItssUnregistered() { return !KeyExists(HKEY_CLASSES_ROOT, kItssClass); }
static bool ItssRegistered() { return KeyExists(HKEY_CLASSES_ROOT, kItssClass); }

TEST_F(IEHelpers, PatrolAsksAndNoRemovesUntilHistoryUndoPutsItBack)
{
    CreateDirectoryA("C:\\Program Files", NULL);
    CreateDirectoryA(kBlankDir, NULL);
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\itss.dll", kBlankDll, FALSE));
    ASSERT_TRUE(ItssRegistered());
    PlantClass(kHelperB, kSystemDll);
    PlantBho(kHelperB);
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, "mlang.dll", "900");

    // Registered while the monitor runs: a helper object and a toolbar of
    // one file; the toolbar goes with the helper's "No" and is not asked.
    PlantClass(kHelperA, kBlankDll);
    PlantBho(kHelperA);
    PlantClass(kHelperC, kBlankDll);
    PlantToolbar(kHelperC);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, PatrolIEHelpers());
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_EQ(ALERT_HELPER, user.asked[0].Kind);
    EXPECT_STRCASEEQ(kBlankDll, user.asked[0].File);
    EXPECT_STRCASEEQ("itss.dll", user.asked[0].Name);
    // Both registrations of the file went, the other helper stayed.
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperC);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(BHO_KEY "\\") + kHelperA));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(BHO_KEY "\\") + kHelperB));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, "itss.dll");
    EXPECT_TRUE(WaitFor(ItssUnregistered, 20000)) << "regsvr32 /u did not reach the quoted file";
    ASSERT_EQ(2, ReadHistory());
    const ItemRecord* line = NULL;
    for (int i = 0; i < HistoryItemCount(); i++)
        if (GetHistoryItem(i)->Code == HELPER_CODE_TOOLBAR)
            line = GetHistoryItem(i);
    ASSERT_TRUE(line != NULL);
    EXPECT_EQ(HA_IEHELPER_REMOVE, line->Flag);
    EXPECT_STRCASEEQ(kBlankDll, line->Command);

    // The History undo: the toolbar is back and approved, the file registered.
    EXPECT_EQ(1, UndoHistoryLine(line));
    ClearHistoryItems();
    EXPECT_TRUE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperC));
    EXPECT_TRUE(WaitFor(ItssRegistered, 20000));
    user.asked.clear();
    user.answer = ANSWER_ACCEPT;
    PlantBho(kHelperA);  // the other registration, by hand: asked, kept
    EXPECT_EQ(0, PatrolIEHelpers());  // same name as the approved toolbar
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(BHO_KEY "\\") + kHelperA));
}
