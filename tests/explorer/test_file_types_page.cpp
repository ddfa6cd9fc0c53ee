// The File Types page as a user works it, against associations planted in
// the prefix's registry: what each row shows, Add through the Add File Type
// Extension dialog (refusals told, the dialog kept open), Remove asked
// about, and the watched list in the registry following each.
#include <algorithm>

#include "categories/filetype.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "list_page_driver.h"
#include "resources/pages/file_types.h"

using namespace page_test;

namespace {

const int kCommand = 1, kExtension = 4, kType = 5;
#define CLASSES "Software\\Classes\\"
const char* const kAddTitle = "Add File Type Extension";

// A machine association: .ext -> className -> command.
void Associate(const char* ext, const char* className, const char* command)
{
    std::string classKey = std::string(CLASSES) + className;
    vxtest::SetString(HKEY_LOCAL_MACHINE, (std::string(CLASSES) + ext).c_str(), "", className);
    vxtest::SetString(HKEY_LOCAL_MACHINE, classKey.c_str(), "", (std::string(className) +
                      " document").c_str());
    vxtest::SetString(HKEY_LOCAL_MACHINE, (classKey + "\\shell\\open\\command").c_str(), "",
                      command);
}

std::string WatchedList() { return vxtest::ReadString(HKEY_CURRENT_USER, VX_CLASS_KEY, ""); }

// Presses Add and types each text into the dialog in turn, pressing "&Add";
// a refusal's message is read and closed, and after the last text a dialog
// still open is cancelled.  Returns each text's message ("<closed>" when
// the dialog closed on it).
std::vector<std::string> AddTyped(HWND page, const std::vector<std::string>& typed)
{
    std::vector<std::string> told;
    WithDialog(kAddTitle, [&](HWND dialog) {
        for (const std::string& text : typed) {
            SetDlgItemTextA(dialog, IDC_ADD_FILETYPE_EXT, text.c_str());
            vxtest::ClickButton(dialog, IDOK);
            std::string answer = AnswerBox("Vardex", IDOK, dialog);
            told.push_back(answer == "<no box>" ? "<closed>" : answer);
            if (answer == "<no box>")
                return;
        }
    }, [&] { Press(page, IDC_FILETYPE_ADD); }, IDCANCEL);
    return told;
}

class FileTypesPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Associate(".vxa", "vxafile", "\"C:\\vx types\\opener.exe\" \"%1\"");
        vxtest::SetString(HKEY_CURRENT_USER, FILEEXTS_KEY "\\.vxb", "Application", "vxb.exe");
        vxtest::SetString(HKEY_LOCAL_MACHINE, CLASSES "Applications\\vxb.exe\\shell\\open\\command",
                          "", "C:\\vx types\\vxb.exe %1");
        vxtest::SetString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", "VXA;VXB;");
    }
    void TearDown() override
    {
        for (const char* key : { CLASSES ".vxa", CLASSES "vxafile", CLASSES ".xyz",
                                 CLASSES "xyzfile", CLASSES "Applications\\vxb.exe" })
            RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
        RegDeleteKeyTree(HKEY_CURRENT_USER, FILEEXTS_KEY "\\.vxb");
        PageTest::TearDown();
    }
};

TEST_F(FileTypesPageTest, RowsShowEachAssociationAndItsKind)
{
    PageHost host(PAGE_FILE_TYPES);
    HWND list = host.List();
    int machine = FindRow(list, kExtension, ".VXA");
    int user = FindRow(list, kExtension, ".VXB");
    ASSERT_GE(machine, 0);
    ASSERT_GE(user, 0);
    EXPECT_EQ("C:\\vx types\\opener.exe", Cell(list, machine, kCommand));
    EXPECT_EQ("System", Cell(list, machine, kType));
    EXPECT_EQ("Explorer", Cell(list, user, kType));
    // The Type column does not sort; the others do, and the option keeps them.
    ClickHeader(list, kType);
    EXPECT_EQ("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY,
                                              "SortFileType"));
    ClickHeader(list, kExtension);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortFileType", "5");
    EXPECT_EQ(".VXA", Cell(list, 0, kExtension));
    std::vector<std::string> menu = MenuOfRightClick(host.Page(), list, 0);
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&Add"));
}

TEST_F(FileTypesPageTest, AddRefusesJunkAndTakesATypedExtension)
{
    Associate(".xyz", "xyzfile", "C:\\windows\\notepad.exe %1");
    PageHost host(PAGE_FILE_TYPES);
    HWND list = host.List();
    EXPECT_EQ(-1, FindRow(list, kExtension, ".XYZ"));
    // Each refusal is told and the dialog stays open for the next text.
    std::vector<std::string> told = AddTyped(host.Page(), { ".a b", "vxa", ".xyz" });
    ASSERT_EQ(3u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("one word without blanks"));
    EXPECT_NE(std::string::npos, told[1].find("already being monitored"));
    EXPECT_EQ("<closed>", told[2]);
    EXPECT_EQ("VXA;VXB;XYZ;", WatchedList());
    EXPECT_GE(FindRow(list, kExtension, ".XYZ"), 0);
    // Cancel adds nothing.
    EXPECT_TRUE(AddTyped(host.Page(), {}).empty());
    EXPECT_EQ("VXA;VXB;XYZ;", WatchedList());
    // A list with no room left for 20 more characters.
    std::string full = WatchedList() + std::string(1000 - WatchedList().size(), 'F') + ";";
    vxtest::SetString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", full.c_str());
    told = AddTyped(host.Page(), { std::string(20, 'T') });
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("maximum number of file types"));
    EXPECT_EQ(full, WatchedList());
}

TEST_F(FileTypesPageTest, RemoveAsksThenTakesTheSelectedTypeOffTheList)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_EXT_KEY, ".VXA", "vxafile");
    PageHost host(PAGE_FILE_TYPES);
    HWND list = host.List();
    SelectRows(list, {});
    std::vector<Box> boxes = WithBoxes({ IDOK }, [&] { Press(host.Page(), IDC_FILETYPE_REMOVE); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Vardex Help", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("No file type has been selected"));
    ClickRow(list, FindRow(list, kExtension, ".VXA"));
    std::string told = OneBoxText({ IDNO }, [&] { Press(host.Page(), IDC_FILETYPE_REMOVE); });
    EXPECT_NE(std::string::npos, told.find("file type .VXA"));
    EXPECT_EQ("VXA;VXB;", WatchedList());
    ClickRow(list, FindRow(list, kExtension, ".VXA"));
    EXPECT_EQ(1u, WithBoxes({ IDYES }, [&] { Press(host.Page(), IDC_FILETYPE_REMOVE); }).size());
    EXPECT_EQ("VXB;", WatchedList());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_EXT_KEY, ".VXA");
    EXPECT_EQ(-1, FindRow(list, kExtension, ".VXA"));
    EXPECT_GE(FindRow(list, kExtension, ".VXB"), 0);
    // The association itself stays.
    EXPECT_EQ("vxafile", vxtest::ReadString(HKEY_LOCAL_MACHINE, CLASSES ".vxa", ""));
}

}  // namespace
