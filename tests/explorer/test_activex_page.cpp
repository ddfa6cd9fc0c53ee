// The ActiveX page as a user works it: Disable and Enable on each selected
// row's own control, and the check boxes that store their options and refill.
#include <algorithm>

#include "categories/activex.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "list_page_driver.h"
#include "resources/pages/activex.h"

using namespace page_test;

namespace {

const char* kDll = "C:\\windows\\system32\\mlang.dll";
// One of the few Wine programs with a version resource: Microsoft's.
const char* kMicrosoftFile = "C:\\windows\\system32\\regsvr32.exe";
const int kModule = 0, kType = 3, kDetected = 4, kClsid = 5;

std::string Clsid(int n)
{
    char t[64];
    TEXT_FORMAT(t, "{7E570000-0000-4000-8000-%012d}", n);
    return t;
}

std::string CompatKey(int n) { return std::string(ACTIVEX_COMPAT_KEY "\\") + Clsid(n); }

// A control the browser has used (used false: one only named under ActiveX
// Compatibility, which the list-all box adds).
void PlantControl(int n, const std::string& name, const char* file, bool used = true)
{
    std::string key = "CLSID\\" + Clsid(n);
    vxtest::SetString(HKEY_CLASSES_ROOT, key.c_str(), "", name.c_str());
    vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", file);
    if (used)
        vxtest::SetDword(HKEY_CURRENT_USER,
                         (std::string(EXT_STATS_KEY "\\") + Clsid(n) + "\\iexplore").c_str(),
                         "Type", 1);
    else
        vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(n).c_str(), "Compatibility Flags", 0);
}

// The stored "Compatibility Flags" in decimal.
std::string Flags(int n)
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, CompatKey(n).c_str(), "Compatibility Flags",
                     RRF_RT_REG_DWORD, NULL, &value, &size) != ERROR_SUCCESS)
        return "<missing>";
    return std::to_string(value);
}

class ActiveXPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        RegDeleteKeyTree(HKEY_CURRENT_USER, EXT_STATS_KEY);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, ACTIVEX_COMPAT_KEY);
    }
};

TEST_F(ActiveXPageTest, RowsSortAndTheBoxesRefill)
{
    PlantControl(1, "Vx Beta", kDll);
    PlantControl(2, "Vx Alpha", kMicrosoftFile);
    PlantControl(3, "Vx Unused", kDll, false);
    PageHost host(PAGE_ACTIVEX);
    HWND page = host.Page(), list = host.List();
    ASSERT_EQ(2, RowCount(list));
    int row = FindRow(list, kModule, "Vx Beta");
    ASSERT_GE(row, 0);
    EXPECT_EQ(Clsid(1), Cell(list, row, kClsid));
    ClickHeader(list, kModule);
    EXPECT_EQ((std::vector<std::string>{ "Vx Alpha", "Vx Beta" }), Column(list, kModule));
    ClickHeader(list, kModule);
    EXPECT_EQ((std::vector<std::string>{ "Vx Beta", "Vx Alpha" }), Column(list, kModule));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortActiveX", "1");
    // Microsoft's controls hidden, then shown again.
    Press(page, IDC_ACTIVEX_HIDE_MICROSOFT);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideMicrosoftActiveX", "1");
    EXPECT_EQ((std::vector<std::string>{ "Vx Beta" }), Column(list, kModule));
    Press(page, IDC_ACTIVEX_HIDE_MICROSOFT);
    EXPECT_EQ(2, RowCount(list));
    // Every control named under ActiveX Compatibility: the list grows.
    Press(page, IDC_ACTIVEX_LIST_ALL);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ActiveXListAll", "1");
    EXPECT_EQ(3, RowCount(list));
    EXPECT_GE(FindRow(list, kModule, "Vx Unused"), 0);
    // The menu holds only the common ending.
    EXPECT_EQ(4u, MenuOfRightClick(page, list, 0).size());
}

// Three controls of one name.  Disable asks first; "No" leaves the control
// alone.  The selected rows switch their own controls, and only they;
// Enable clears only the kill bit, without asking; the Type column and the
// buttons follow.
TEST_F(ActiveXPageTest, DisableAndEnableSwitchTheKillBitOfEachSelectedRowsControl)
{
    for (int n = 4; n <= 6; n++)
        PlantControl(n, "Vx Twin", kDll);
    vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(5).c_str(), "Compatibility Flags", 0x2);
    PageHost host(PAGE_ACTIVEX);
    HWND page = host.Page(), list = host.List();
    auto row = [&](int n) { return FindRow(list, kClsid, Clsid(n)); };
    ClickRow(list, row(5));
    EXPECT_TRUE(Shown(page, IDC_ACTIVEX_DISABLE));
    EXPECT_FALSE(Shown(page, IDC_ACTIVEX_ENABLE));
    std::string told = OneBoxText({ IDNO }, [&] { Press(page, IDC_ACTIVEX_DISABLE); });
    EXPECT_NE(std::string::npos, told.find("Disabling an ActiveX control"));
    EXPECT_EQ("2", Flags(5));
    SelectRows(list, { row(5), row(6) });
    EXPECT_EQ(2u, WithBoxes({ IDYES, IDYES }, [&] { Press(page, IDC_ACTIVEX_DISABLE); }).size());
    EXPECT_EQ("<missing>", Flags(4));
    EXPECT_EQ("1026", Flags(5));
    EXPECT_EQ("1024", Flags(6));
    EXPECT_EQ("Disabled", Cell(list, row(5), kType));
    EXPECT_EQ("Enabled", Cell(list, row(4), kType));
    ClickRow(list, row(6));
    EXPECT_TRUE(Shown(page, IDC_ACTIVEX_ENABLE));
    EXPECT_FALSE(Shown(page, IDC_ACTIVEX_DISABLE));
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_ACTIVEX_ENABLE); }).empty());
    EXPECT_EQ("1026", Flags(5));
    EXPECT_EQ("0", Flags(6));
    EXPECT_EQ("Enabled", Cell(list, row(6), kType));
}

// The patrol stamps a control under its Command; the page shows that
// stamp, and stamps nothing under the CLSID.
TEST_F(ActiveXPageTest, FirstDetectedIsThePatrolsStamp)
{
    PlantControl(7, "Vx Seen", kDll);
    ASSERT_EQ(1, EnumActiveX(vxtest::Items(), 0));
    std::string command = GetItemCommand(vxtest::Items(), 0);
    ClearItems(vxtest::Items());
    vxtest::SetString(HKEY_CURRENT_USER, VX_DETECTED_KEY "\\ActiveX", command.c_str(),
                      "02/03/2004 5:06 AM");
    PageHost host(PAGE_ACTIVEX);
    EXPECT_EQ("02/03/2004 5:06 AM", Cell(host.List(), 0, kDetected));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_DETECTED_KEY "\\ActiveX", Clsid(7).c_str());
}

}  // namespace
