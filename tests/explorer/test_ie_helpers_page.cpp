// The IE Helpers page as a user works it: helpers planted as an add-on
// installer writes them, read back row by row; Remove asks and removes each
// selected row's own registration (helpers of one name and one file); the
// history line and the status bar's location follow the row's kind.
#include <algorithm>

#include "categories/ie_helpers.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "list_page_driver.h"
#include "resources/pages/ie_helpers.h"

using namespace page_test;

namespace {

const char* kHelperA = "{A1A1A1A1-0000-4000-8000-00000000000A}";
const char* kHelperB = "{B2B2B2B2-0000-4000-8000-00000000000B}";
const char* kHelperC = "{C3C3C3C3-0000-4000-8000-00000000000C}";
const char* kSystemDll = "C:\\windows\\system32\\mlang.dll";
const char* kIcon = "C:\\vxicons\\button.ico";
const int kName = 0, kType = 3;

void PlantClass(const char* clsid, const char* file)
{
    std::string key = std::string("CLSID\\") + clsid;
    vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", file);
}

void PlantBho(const char* clsid, const char* file)
{
    PlantClass(clsid, file);
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, (std::string(BHO_KEY "\\") + clsid).c_str());
}

void PlantToolbar(const char* clsid, const char* file)
{
    PlantClass(clsid, file);
    vxtest::SetString(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, clsid, "");
}

void PlantButton(const char* name, const char* exec, const char* hotIcon)
{
    std::string key = std::string(EXTENSIONS_KEY "\\") + name;
    vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), "ButtonText", "Vx Button");
    vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), "Exec", exec);
    vxtest::SetString(HKEY_LOCAL_MACHINE, key.c_str(), "HotIcon", hotIcon);
}

bool HasBho(const char* clsid)
{
    return RegKeyExists(HKEY_LOCAL_MACHINE, (std::string(BHO_KEY "\\") + clsid).c_str()) != 0;
}

bool HasToolbar(const char* clsid) { return vxtest::ValueExists(HKEY_LOCAL_MACHINE,
                                                                TOOLBAR_KEY, clsid); }

// A 16 x 16 icon file, 32 bits a pixel, all blue.
void WriteIcon(const char* path)
{
    std::string bytes("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14);
    DWORD size = 40 + 16 * 16 * 4 + 16 * 4, offset = 22;
    bytes.append((const char*)&size, 4).append((const char*)&offset, 4);
    BITMAPINFOHEADER header = { sizeof(header), 16, 32, 1, 32 };
    bytes.append((const char*)&header, sizeof(header));
    for (int i = 0; i < 16 * 16; i++)
        bytes.append("\xff\0\0\xff", 4);
    bytes.append(16 * 4, '\0');
    vxtest::WriteFileBytes(path, bytes);
}

int RowOfType(HWND list, const char* type) { return FindRow(list, kType, type); }

class IEHelpersPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        ClearHistoryFile();
        for (const char* key : { BHO_KEY, TOOLBAR_KEY, EXTENSIONS_KEY })
            RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
    }
    void TearDown() override
    {
        ClearHistoryItems();
        PageTest::TearDown();
    }
};

TEST_F(IEHelpersPageTest, RowsLocationsSortMenuAndIcons)
{
    CreateDirectoryA("C:\\vxicons", NULL);
    WriteIcon(kIcon);
    PlantToolbar(kHelperB, kSystemDll);
    PlantBho(kHelperA, kSystemDll);
    PlantButton("{X1}", kSystemDll, kIcon);
    PageHost host(PAGE_IE_HELPERS);
    HWND page = host.Page(), list = host.List();
    ASSERT_EQ(3, RowCount(list));
    EXPECT_GE(RowOfType(list, "TOOLBAR"), 0);
    EXPECT_EQ("Vx Button", Cell(list, RowOfType(list, "EXTENSION"), kName));
    struct Case { const char* type; const char* key; };
    for (const Case& c : { Case{ "BHO", BHO_KEY }, Case{ "TOOLBAR", TOOLBAR_KEY },
                           Case{ "EXTENSION", EXTENSIONS_KEY } }) {
        ClickRow(list, RowOfType(list, c.type));
        EXPECT_EQ(std::string("Location: HKLM\\") + c.key, StatusText(host.Sheet())) << c.type;
    }
    // The button's HotIcon is its icon; the others show their file's.
    EXPECT_EQ(RowImage(list, RowOfType(list, "BHO")), RowImage(list, RowOfType(list, "TOOLBAR")));
    EXPECT_NE(RowImage(list, RowOfType(list, "BHO")), RowImage(list, RowOfType(list, "EXTENSION")));
    ClickHeader(list, kType);
    EXPECT_EQ((std::vector<std::string>{ "BHO", "TOOLBAR", "EXTENSION" }), Column(list, kType));
    ClickHeader(list, kType);
    EXPECT_EQ((std::vector<std::string>{ "EXTENSION", "TOOLBAR", "BHO" }), Column(list, kType));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortIEHelper", "4");
    std::vector<std::string> menu = MenuOfRightClick(page, list, 0);
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&Remove"));
}

// Helpers of one file share one name: "No" changes nothing; the selected
// rows go, each with its own registration and history line, and the rest
// stay.
TEST_F(IEHelpersPageTest, EachSelectedRowRemovesItsOwnHelper)
{
    PlantBho(kHelperA, kSystemDll);
    PlantToolbar(kHelperB, kSystemDll);
    PlantBho(kHelperC, kSystemDll);
    PageHost host(PAGE_IE_HELPERS);
    HWND page = host.Page(), list = host.List();
    ASSERT_EQ(3, RowCount(list));
    ClickRow(list, RowOfType(list, "TOOLBAR"));
    std::string told = OneBoxText({ IDNO }, [&] { Press(page, IDC_HELPERS_REMOVE); });
    EXPECT_NE(std::string::npos, told.find("remove " + Cell(list, 0, kName) + " from the"));
    EXPECT_TRUE(HasToolbar(kHelperB));
    EXPECT_EQ(0, ReadHistory());
    EXPECT_EQ(3, RowCount(list));
    SelectRows(list, { RowOfType(list, "TOOLBAR"), RowOfType(list, "BHO") });
    EXPECT_EQ(2u, WithBoxes({ IDYES, IDYES }, [&] { Press(page, IDC_HELPERS_REMOVE); }).size());
    EXPECT_FALSE(HasToolbar(kHelperB));
    // The first BHO row is kHelperA's: rows come in the registry's order.
    EXPECT_FALSE(HasBho(kHelperA));
    EXPECT_TRUE(HasBho(kHelperC));
    EXPECT_EQ((std::vector<std::string>{ "BHO" }), Column(list, kType));
    ASSERT_EQ(2, ReadHistory());
    EXPECT_EQ(HA_IEHELPER_REMOVE, GetHistoryItem(0)->Flag);
}

}  // namespace
