// The Services page against Wine's service manager and registry: service
// keys planted in HKLM, one of Wine's own services started and stopped,
// and Microsoft's hidden and shown by the check box.
#include "categories/services.h"
#include "foundation/options.h"
#include "list_page_driver.h"
#include "resources/pages/services.h"

using namespace page_test;

namespace {

const int kTitle = 0, kCommand = 1, kStatus = 3;
const char* const kSpooler = "Print Spooler";

// A key the registry alone knows (the service manager read its keys when
// it started).
void Plant(const std::string& key, const std::string& command, const char* title, DWORD start)
{
    std::string path = SERVICES_KEY "\\" + key;
    vxtest::SetValue(HKEY_LOCAL_MACHINE, path.c_str(), "ImagePath", REG_EXPAND_SZ,
                     command.c_str(), DWORD(command.size() + 1));
    vxtest::SetString(HKEY_LOCAL_MACHINE, path.c_str(), "DisplayName", title);
    vxtest::SetDword(HKEY_LOCAL_MACHINE, path.c_str(), "Start", start);
}

class ServicesPageTest : public PageTest {
protected:
    void TearDown() override
    {
        Spooler(false);
        PageTest::TearDown();
    }
};

TEST_F(ServicesPageTest, ColumnsAndTheMicrosoftBox)
{
    Plant("VxPageOwn", "C:\\vxsvc\\own.exe -service", "Vx Page Own", 3);
    Plant("VxPageHosted", "%SystemRoot%\\system32\\svchost.exe -k vx", "Vx Page Hosted", 2);
    vxtest::SetString(HKEY_LOCAL_MACHINE, SERVICES_KEY "\\VxPageHosted\\Parameters",
                      "ServiceDll", "C:\\vxsvc\\hosted.dll");
    Plant("VxPageMs", "C:\\windows\\system32\\regsvr32.exe", "Vx Page Microsoft", 3);
    ASSERT_TRUE(Spooler(true));
    PageHost host(PAGE_SERVICES);
    HWND page = host.Page(), list = host.List();
    int own = FindRow(list, kTitle, "Vx Page Own");
    int hosted = FindRow(list, kTitle, "Vx Page Hosted");
    ASSERT_TRUE(own >= 0);
    ASSERT_TRUE(hosted >= 0);
    EXPECT_EQ("", Cell(list, own, kStatus)) << "unknown to the manager: no state";
    EXPECT_EQ("svchost.exe hosted.dll", Cell(list, hosted, kCommand));
    EXPECT_EQ("Running", Cell(list, FindRow(list, kTitle, kSpooler), kStatus));

    // Microsoft's services: hidden while the box is checked (the default).
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_SERVICES_HIDE_MS));
    EXPECT_EQ(-1, FindRow(list, kTitle, "Vx Page Microsoft"));
    Press(page, IDC_SERVICES_HIDE_MS);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideMicrosoftServices", "0");
    EXPECT_GE(FindRow(list, kTitle, "Vx Page Microsoft"), 0);
    Press(page, IDC_SERVICES_HIDE_MS);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideMicrosoftServices", "1");
    EXPECT_EQ(-1, FindRow(list, kTitle, "Vx Page Microsoft"));
}

}  // namespace
