// The PLUS page driven as a user would: a name typed and Search pressed,
// the news and the version check, each arriving at the prefix's browser (a
// copy of this program that writes down how it was started).
#include "explorer/page_table.h"
#include "list_page_driver.h"
#include "resources/pages/plus.h"
#include "resources/vardex_version.h"
#include "support/browser_recorder.h"
#include "support/query_reader.h"

namespace {

TEST(PlusPage, VersionSearchNewsAndTheVersionCheck)
{
    vxtest::ResetStore();
    vxtest::BrowserRecorder browser;
    page_test::PageHost host(PAGE_PLUS);
    HWND page = host.Page();
    ASSERT_TRUE(page != NULL);
    EXPECT_EQ("Vardex PLUS v " VX_VERSION_TEXT ":" VX_VERSION_TEXT,
              vxtest::DialogItemText(page, IDC_PLUS_VERSION));

    SetDlgItemTextA(page, IDC_PLUS_SEARCH_TEXT, "  my tool & co.exe ");
    page_test::Press(page, IDC_PLUS_SEARCH);
    vxtest::ReadQuery read = vxtest::ReadLookupQuery(vxtest::RecordedAddress(browser.Call(1)));
    EXPECT_EQ("my tool & co.exe", read.Value("program"));
    EXPECT_EQ("exe", read.Value("ext"));
    EXPECT_EQ("450", read.Value("Type"));

    // An empty box sends nothing: the next start is the version check.
    SetDlgItemTextA(page, IDC_PLUS_SEARCH_TEXT, "   ");
    page_test::Press(page, IDC_PLUS_SEARCH);
    page_test::Press(page, IDC_PLUS_CHECK_VERSION);
    std::string check = vxtest::RecordedAddress(browser.Call(2));
    EXPECT_EQ(0u, check.find(VX_VENDOR_ROOT "cgi-bin/version.pl?&build=")) << check;

    page_test::Press(page, IDC_PLUS_NEWS);
    EXPECT_EQ(VX_VENDOR_ROOT "news.html", vxtest::RecordedAddress(browser.Call(3)));
}

}  // namespace
