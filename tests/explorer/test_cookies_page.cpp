// The Cookies page and its cookie list as a user works them: filters added,
// kept sorted, removed and refused past the limit; the browser buttons
// choose whose cookies the list shows, which removes exactly those chosen.
#include "categories/cookies.h"
#include "foundation/options.h"
#include "list_page_driver.h"
#include "resources/pages/cookies.h"

using namespace page_test;

namespace {

const char* const kListTitle = "Vardex - Cookies";

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Answers the box titled "Vardex" with button; returns its text.
std::string Answer(int button)
{
    std::string text = AnswerBox("Vardex", button);
    Sleep(200);  // the list refills
    return text;
}

// Runs action on this thread while a second thread works the cookie list
// it opens and then closes it.  false when no list opened.
bool WithCookieList(const std::function<void()>& action,
                    const std::function<void(HWND dialog, HWND list)>& work)
{
    return WithDialog(kListTitle, [&](HWND d) { work(d, GetDlgItem(d, IDC_PAGE_LIST)); },
                      action, IDCANCEL);
}

void Check(HWND list, int row, BOOL on = TRUE) { ListView_SetCheckState(list, row, on); }
bool Checked(HWND list, int row) { return ListView_GetCheckState(list, row) != 0; }

class CookiesPageTest : public PageTest {
protected:
    std::string ie, moz;
    void SetUp() override
    {
        PageTest::SetUp();
        std::string root = vxtest::PathInProgramFolder(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ie = root + "\\ie", moz = root + "\\moz";
        CreateDirectoryA(root.c_str(), NULL);
        CreateDirectoryA(ie.c_str(), NULL);
        CreateDirectoryA(moz.c_str(), NULL);
        vxtest::WriteFileBytes(ie + "\\index.dat", "");
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "IECookieFolder", ie.c_str());
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "CookieFolder", moz.c_str());
    }
    void TearDown() override
    {
        g_Options[OPT_ViewCookies] = 0;
        PageTest::TearDown();
    }
    std::string IECookie(const char* name) const { return ie + "\\" + name; }
    void Plant(const char* name) const { vxtest::WriteFileBytes(IECookie(name), name); }
    std::string Nut(const char* text) const
    {
        return vxtest::ReadString(HKEY_CURRENT_USER, VX_NUTS_KEY, text);
    }
    void Type(HWND page, const char* text) { SetDlgItemTextA(page, IDC_COOKIE_FILTER, text); }
};

TEST_F(CookiesPageTest, FiltersAreAddedSortedRemovedAndRefusedPastTheLimit)
{
    Plant("user@example[1].txt");
    Plant("user@tracker[1].txt");
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "zz-last", "1");
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "beta", "1");
    PageHost host(PAGE_COOKIES);
    HWND page = host.Page(), list = host.List();
    EXPECT_EQ(std::vector<std::string>({ "beta", "zz-last" }), Column(list, 0));
    EXPECT_EQ(ie + "\\", vxtest::DialogItemText(page, IDC_COOKIE_FOLDER));

    Type(page, "tracker");
    Press(page, IDC_COOKIE_ADD);
    EXPECT_EQ("1", Nut("tracker"));
    EXPECT_FALSE(Exists(IECookie("user@tracker[1].txt")));
    EXPECT_TRUE(Exists(IECookie("user@example[1].txt")));
    EXPECT_EQ(std::vector<std::string>({ "beta", "tracker", "zz-last" }), Column(list, 0));
    EXPECT_EQ("", vxtest::DialogItemText(page, IDC_COOKIE_FILTER));

    // Remove without a selection: told so, nothing removed.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    std::vector<Box> boxes = WithBoxes({ IDOK }, [&] { Press(page, IDC_COOKIE_REMOVE); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Vardex Help", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("No filter has been selected"));
    EXPECT_EQ(3, RowCount(list));
    // With one: that one goes, from the registry and the list.
    ClickRow(list, FindRow(list, 0, "tracker"));
    Press(page, IDC_COOKIE_REMOVE);
    EXPECT_EQ("<missing>", Nut("tracker"));
    EXPECT_EQ("1", Nut("beta"));
    EXPECT_EQ(std::vector<std::string>({ "beta", "zz-last" }), Column(list, 0));

    // A blank text is no filter.
    Type(page, "   ");
    Press(page, IDC_COOKIE_ADD);
    EXPECT_EQ(2, RowCount(list));
    // 255 filters: the 256th is refused in the message dialog.
    for (int i = 0; i < 253; i++)
        vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, ("nut" + std::to_string(i)).c_str(), "1");
    Type(page, "number256");
    std::string told = OneBoxText({ IDOK }, [&] { Press(page, IDC_COOKIE_ADD); });
    EXPECT_NE(std::string::npos, told.find("limit in the number of recommended nuts"));
    EXPECT_EQ("<missing>", Nut("number256"));
}

const char* const kComment = "# Netscape HTTP Cookie File\n";
const char* const kA = ".a.example\tTRUE\t/\tFALSE\t1700000000\tsid\t1\n";
const char* const kB = "b.example\tFALSE\t/b\tTRUE\t1700000000\tid\t2\n";
const char* const kC = "c.example\tTRUE\t/\tFALSE\t1700000000\tkeep\t3\n";

TEST_F(CookiesPageTest, BrowserButtonsChooseTheListAndItRemovesExactlyTheChosen)
{
    std::string file = moz + "\\cookies.txt";
    vxtest::WriteFileBytes(file, std::string(kComment) + kA + kB + kC);
    vxtest::SetString(HKEY_CURRENT_USER, VX_COOKIES_KEY, "c.example - keep", "1");
    PageHost host(PAGE_COOKIES);
    HWND page = host.Page();
    Press(page, IDC_COOKIE_FIREFOX);
    EXPECT_EQ("6", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Browser"));
    EXPECT_EQ(moz, vxtest::DialogItemText(page, IDC_COOKIE_FOLDER));

    std::vector<std::string> first, second, third;
    std::string askChecked, askUnchecked;
    bool keptChecked = false;
    bool seen = WithCookieList([&] { Press(page, IDC_COOKIE_VIEW_LIST); }, [&](HWND d, HWND list) {
        first = Column(list, 0);
        keptChecked = Checked(list, FindRow(list, 0, "c.example - keep"));
        Check(list, FindRow(list, 0, "c.example - keep"), FALSE);
        Check(list, FindRow(list, 0, "a.example - sid"));
        vxtest::ClickButton(d, IDC_COOKIES_REMOVE_CHECKED);
        askChecked = Answer(IDYES);
        second = Column(list, 0);
        Check(list, FindRow(list, 0, "c.example - keep"));
        vxtest::ClickButton(d, IDC_COOKIES_REMOVE_UNCHECKED);
        askUnchecked = Answer(IDYES);
        third = Column(list, 0);
    });
    ASSERT_TRUE(seen);
    EXPECT_EQ(std::vector<std::string>({ "a.example - sid", "b.example - id", "c.example - keep" }),
              first);
    EXPECT_TRUE(keptChecked);
    EXPECT_NE(std::string::npos, askChecked.find("cookies you checked"));
    EXPECT_EQ(std::vector<std::string>({ "b.example - id", "c.example - keep" }), second);
    EXPECT_NE(std::string::npos, askUnchecked.find("NOT checked"));
    EXPECT_EQ(std::vector<std::string>({ "c.example - keep" }), third);
    // No browser runs: cookies.txt is rewritten at once.
    EXPECT_EQ(std::string(kComment) + kC, vxtest::ReadFileText(file));

    Press(page, IDC_COOKIE_IE);
    EXPECT_EQ("1", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Browser"));
    EXPECT_EQ(ie + "\\", vxtest::DialogItemText(page, IDC_COOKIE_FOLDER));
}

// "ViewCookies" opens the list as the page becomes active; there Remove
// Unchecked deletes the files of the unchecked IE cookies and keeps the
// checked one.  Without a cookie folder the page and the list say so.
TEST_F(CookiesPageTest, AlwaysViewOpensTheListWhichRemovesTheUncheckedFiles)
{
    Plant("u@one[1].txt");
    Plant("u@two[1].txt");
    Plant("u@three[1].txt");
    OptionWrite("ViewCookies", 1);
    g_Options[OPT_ViewCookies] = 1;
    std::unique_ptr<PageHost> host;
    std::string ask;
    std::vector<std::string> after;
    bool seen = WithCookieList([&] { host.reset(new PageHost(PAGE_COOKIES)); },
                              [&](HWND d, HWND list) {
        Check(list, FindRow(list, 0, "u@two[1].txt"));
        vxtest::ClickButton(d, IDC_COOKIES_REMOVE_UNCHECKED);
        ask = Answer(IDYES);
        after = Column(list, 0);
    });
    ASSERT_TRUE(seen);
    EXPECT_NE(std::string::npos, ask.find("NOT checked"));
    EXPECT_EQ(std::vector<std::string>({ "u@two[1].txt" }), after);
    EXPECT_FALSE(Exists(IECookie("u@one[1].txt")));
    EXPECT_TRUE(Exists(IECookie("u@two[1].txt")));
    EXPECT_EQ("1", vxtest::ReadString(HKEY_CURRENT_USER, VX_COOKIES_KEY, "u@two[1].txt"));

    HWND page = host->Page();
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_COOKIE_ALWAYS));
    Press(page, IDC_COOKIE_ALWAYS);
    EXPECT_EQ("0", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ViewCookies"));

    DeleteFileA((ie + "\\index.dat").c_str());
    Press(page, IDC_COOKIE_IE);
    EXPECT_EQ("Cookie Folder Not Found", vxtest::DialogItemText(page, IDC_COOKIE_FOLDER));
    std::string shown;
    int rows = -1;
    WithCookieList([&] { Press(page, IDC_COOKIE_VIEW_LIST); }, [&](HWND d, HWND list) {
        shown = vxtest::DialogItemText(d, IDC_COOKIES_FOLDER);
        rows = RowCount(list);
    });
    EXPECT_EQ("Cookie Folder Not Found", shown);
    EXPECT_EQ(0, rows);
}

}  // namespace
