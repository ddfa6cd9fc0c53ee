// "Vardex Log" of a list page's menu: the report written and opened, and
// the user told when no folder takes it.
#include <windows.h>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "list_page_driver.h"
#include "resources/pages/reports.h"

using namespace page_test;

namespace {

std::vector<Box> ChooseLog(const PageHost& host)
{
    return WithBoxes({}, [&] {
        SendMessageA(host.Page(), WM_COMMAND, MAKEWPARAM(IDM_PAGE_LOG, 0), 0);
    });
}

TEST(ReportCommand, WritesTheChosenFormatOrSaysWhyNot)
{
    vxtest::ResetStore();
    OptionWrite("Format", 1);
    LoadOptions();
    OpenHarmlessly(".txt");
    PageHost host(PAGE_HIDDEN);
    std::string inProgram = vxtest::PathInProgramFolder("VardexLog.txt");
    EXPECT_TRUE(ChooseLog(host).empty());
    EXPECT_EQ(0u, vxtest::ReadFileText(inProgram).find("Title\tProgram\t"));

    // Both folders refuse the file: a folder holds its name in each.
    char appData[VX_PATH];
    GetAppDataFolder(appData);
    std::string inAppData = std::string(appData) + "\\VardexLog.txt";
    ASSERT_TRUE(DeleteFileA(inProgram.c_str()));
    ASSERT_TRUE(CreateDirectoryA(inProgram.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(inAppData.c_str(), NULL));
    std::vector<Box> boxes = ChooseLog(host);
    ASSERT_EQ(1u, boxes.size());
    char expected[512];
    LoadText(IDS_REPORT_NOT_WRITTEN, expected, sizeof(expected));
    EXPECT_EQ(expected, boxes[0].text);
    RemoveDirectoryA(inProgram.c_str());
    RemoveDirectoryA(inAppData.c_str());
}

}  // namespace
