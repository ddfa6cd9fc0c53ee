// IE helpers against Wine's real registry and regsvr32: helpers are planted
// as an add-on installer writes them (a class whose InprocServer32 names an
// existing DLL, and the browser's BHO, Toolbar and Extensions keys), then
// listed, patrolled with a scripted user, removed and put back.
#include "categories/category.h"
#include "categories/ie_helpers.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

using vxtest::Items;

static const char* kHelperA = "{A1A1A1A1-0000-4000-8000-00000000000A}";
static const char* kHelperB = "{B2B2B2B2-0000-4000-8000-00000000000B}";
static const char* kHelperC = "{C3C3C3C3-0000-4000-8000-00000000000C}";
static const char* kNoClass = "{D4D4D4D4-0000-4000-8000-00000000000D}";
static const char* kNoClass2 = "{E5E5E5E5-0000-4000-8000-00000000000E}";
// A class that Wine's itss.dll registers: gone after "regsvr32 /u" of a
// copy of that DLL, back after "regsvr32".
static const char* kItssClass = "CLSID\\{9D148290-B9C8-11D0-A4CC-0000F80149F6}";
static const char* kBlankDll = "C:\\Program Files\\Test Helper\\itss.dll";
static const char* kSystemDll = "C:\\windows\\system32\\mlang.dll";
static const char* kBraceless = "C3C3C3C3-0000-4000-8000-00000000000C";

static void PlantClass(const char* clsid, const char* file)
{
    std::string key = std::string("CLSID\\") + clsid;
    vxtest::SetString(HKEY_CLASSES_ROOT, key.c_str(), "", "Test helper class");
    vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", file);
}

static std::string Bho(const char* clsid) { return std::string(BHO_KEY "\\") + clsid; }
static void PlantBho(const char* id) { RegCreateKeyPath(HKEY_LOCAL_MACHINE, Bho(id).c_str()); }
static bool HasBho(const char* id) { return RegKeyExists(HKEY_LOCAL_MACHINE, Bho(id).c_str()); }
static void PlantToolbar(const char* clsid)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, clsid, "");
}

static void PlantExtension(const char* name, const char* buttonText, const char* exec)
{
    std::string key = std::string(EXTENSIONS_KEY "\\") + name;
    vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), buttonText ? "ButtonText" : "Other",
        buttonText ? buttonText : "");
    vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), "Exec", exec);
}

static int IndexOf(int code, const char* extra)
{
    for (int i = 0; i < ItemCount(Items()); i++)
        if (GetItemCode(Items(), i) == code && TextEqualNoCase(GetItemExtra(Items(), i), extra))
            return i;
    return -1;
}

static bool ItssRegisteredIs(bool wanted)
{
    for (DWORD waited = 0; waited < 20000; waited += 100, Sleep(100))
        if ((RegKeyExists(HKEY_CLASSES_ROOT, kItssClass) != 0) == wanted)
            return true;
    return false;
}

// regsvr32 is started without waiting: a class that is still registered
// some while after the answer was not unregistered.
static bool ItssStillRegisteredAfterAWhile()
{
    for (DWORD waited = 0; waited < 2500; waited += 100, Sleep(100))
        if (!RegKeyExists(HKEY_CLASSES_ROOT, kItssClass))
            return false;
    return true;
}

// A copy of Wine's itss.dll in a folder with blanks: unregistering it takes
// the class kItssClass away.
static void CopyItssToBlankFolder()
{
    CreateDirectoryA("C:\\Program Files", NULL);
    CreateDirectoryA("C:\\Program Files\\Test Helper", NULL);
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\itss.dll", kBlankDll, FALSE));
    ASSERT_TRUE(ItssRegisteredIs(true));
}

struct IEHelpers : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions(), ClearHistoryFile();
        for (const char* key : { BHO_KEY, TOOLBAR_KEY, EXTENSIONS_KEY })
            RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
        for (const char* clsid : { kHelperA, kHelperB, kHelperC, kNoClass, kNoClass2 })
            RegDeleteKeyTree(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + clsid).c_str());
    }
    void TearDown() override { ClearItems(Items()); ClearHistoryItems(); }
};

// What is listed, by which name, and what is left out.
TEST_F(IEHelpers, ListsHelpersWithAFileAndButtonsWithAText)
{
    PlantBho(kHelperA);  // no class and server file: not a helper
    PlantClass(kHelperC, kSystemDll);
    PlantToolbar(kBraceless);
    PlantExtension("{X1}", "Related shdoclc.dll,-1", kSystemDll);
    PlantExtension("{X2}", NULL, kSystemDll);  // no ButtonText: left out
    EXPECT_EQ(2, EnumIEHelpers(Items()));
    EXPECT_STRCASEEQ("mlang.dll", GetItemName(Items(), IndexOf(901, kBraceless)));
    EXPECT_STRCASEEQ("Related", GetItemName(Items(), IndexOf(902, "{X1}")));
    char className[ITEM_COMMAND], file[ITEM_COMMAND];  // a backslash names no class
    EXPECT_EQ(0, ClsidInfo("{A1A1A1A1}\\InprocServer32", className, file));
}

// Removal takes the chosen registration by its own kind and key: other
// registrations of the same file stay, and a class-less toolbar takes no
// other with it.
TEST_F(IEHelpers, RemoveTakesTheChosenRegistrationOnly)
{
    PlantClass(kHelperA, kSystemDll);
    PlantClass(kHelperB, kSystemDll);
    PlantBho(kHelperA);
    PlantToolbar(kHelperB);
    PlantExtension("{X1}", "Tool", kSystemDll);
    PlantToolbar(kNoClass);
    PlantToolbar(kNoClass2);

    EnumIEHelpers(Items());
    EXPECT_EQ(1, RemoveIEHelper(Items(), kSystemDll, IndexOf(900, kHelperA)));
    EXPECT_FALSE(HasBho(kHelperA));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, EXTENSIONS_KEY "\\{X1}"));
    EXPECT_TRUE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperB));
    EXPECT_EQ(1, ReadHistory());

    EnumIEHelpers(Items());
    EXPECT_EQ(1, RemoveIEHelper(Items(), "", IndexOf(901, kNoClass)));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kNoClass);
    EXPECT_TRUE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kNoClass2));
    // Nothing left: no line.
    EXPECT_TRUE(RemoveIEHelper(Items(), "", IndexOf(901, kNoClass)) == 0);
    EXPECT_TRUE(ReadHistory() == 2);
}

// What a user checks first: a new helper is asked about; "No" removes its
// registration and writes its history line, and the last registration of
// a file to go unregisters the file (whose path has blanks); the History
// undo puts it back, approved.
TEST_F(IEHelpers, PatrolAsksAndNoRemovesUntilHistoryUndoPutsItBack)
{
    CopyItssToBlankFolder();
    PlantClass(kHelperB, kSystemDll);
    PlantBho(kHelperB);
    InitCategoryBaselines();

    // Registered while the monitor runs: a helper object and a toolbar of
    // one file, each asked about in turn.
    PlantClass(kHelperA, kBlankDll);
    PlantBho(kHelperA);
    PlantClass(kHelperC, kBlankDll);
    PlantToolbar(kHelperC);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    ASSERT_EQ(2, PatrolIEHelpers());
    EXPECT_EQ(g_IEHelpersCategory.Alert, user.asked[0].Alert);
    EXPECT_STRCASEEQ(kBlankDll, user.asked[0].File);
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperC);
    EXPECT_FALSE(HasBho(kHelperA));
    EXPECT_TRUE(HasBho(kHelperB));
    EXPECT_TRUE(ItssRegisteredIs(false)) << "regsvr32 /u did not reach the quoted file";
    ASSERT_EQ(2, ReadHistory());
    const ItemRecord* line = GetHistoryItem(GetHistoryItem(0)->Code == HELPER_CODE_TOOLBAR ? 0 : 1);
    EXPECT_EQ(HA_IEHELPER_REMOVE, line->Flag);

    // The History undo: the toolbar is back and approved, the file registered.
    EXPECT_EQ(1, UndoHistoryLine(line));
    EXPECT_TRUE(
        vxtest::ValueExists(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperC) && ItssRegisteredIs(true));
    EXPECT_EQ(0, PatrolIEHelpers());
}

// A "No" leaves the file registered while another registration (approved,
// or not asked about yet) names it: unregistering it would break that one.
// The approved one removed in the explorer is the last: then it goes.
TEST_F(IEHelpers, TheFileIsUnregisteredOnlyWithItsLastRegistrationNeverASystemOne)
{
    CopyItssToBlankFolder();
    PlantExtension("{X1}", "Vx Approved Button", kBlankDll);
    ASSERT_EQ(1, BuildCategoryBaseline(&g_IEHelpersCategory));
    PlantClass(kHelperA, kBlankDll);
    PlantBho(kHelperA);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    ASSERT_EQ(1, PatrolIEHelpers());
    EXPECT_FALSE(HasBho(kHelperA));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, EXTENSIONS_KEY "\\{X1}"));
    EXPECT_TRUE(ItssStillRegisteredAfterAWhile());
    EnumIEHelpers(Items());
    EXPECT_EQ(1, RemoveIEHelper(Items(), kBlankDll, IndexOf(HELPER_CODE_EXTENSION, "{X1}")));
    EXPECT_TRUE(ItssRegisteredIs(false));

    // A file of the system's (in the Windows folder, or named without a
    // folder and so found through the search path) serves more than the
    // helper: a "No" removes the helper's registration, not the file's.
    ASSERT_EQ(0, vxtest::RunProgram("regsvr32 /s C:\\windows\\system32\\itss.dll", 20000));
    ASSERT_TRUE(ItssRegisteredIs(true));
    PlantClass(kHelperA, "C:\\windows\\system32\\itss.dll");
    PlantBho(kHelperA);
    PlantClass(kHelperC, "itss.dll");
    PlantToolbar(kHelperC);
    ASSERT_EQ(2, PatrolIEHelpers());
    EXPECT_FALSE(HasBho(kHelperA));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, kHelperC);
    EXPECT_TRUE(ItssStillRegisteredAfterAWhile());
}
