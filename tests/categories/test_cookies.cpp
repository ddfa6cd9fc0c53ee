// Cookies against real files: an IE cookie folder and a Netscape-format
// cookies.txt in scratch folders named to the store by its own values.  A
// filter removes exactly the matching cookies; every other line of
// cookies.txt stays byte-identical; a rewrite waits while the browser runs
// and is redone from the current file when it is put in place.
#include <windows.h>

#include <string>
#include <vector>

#include "categories/cookies.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

std::string Fresh(const char* name)
{
    std::string folder = vxtest::PathInProgramFolder(name);
    CreateDirectoryA(folder.c_str(), NULL);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string path = folder + "\\" + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return folder;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The lines of a cookies.txt; the expected rewrite is the file with the
// marked lines cut out, every other byte as it was.
struct CookieFile {
    std::vector<std::pair<std::string, bool>> lines;  // (bytes with line end, filtered)
    std::string All(bool withoutFiltered) const
    {
        std::string text;
        for (const auto& line : lines)
            if (!(withoutFiltered && line.second))
                text += line.first;
        return text;
    }
};

CookieFile Sample()
{
    CookieFile file;
    file.lines = {
        { "# Netscape HTTP Cookie File\r\n", false },
        { "# tracker notes are comments too\n", true },
        { ".example.com\tTRUE\t/\tFALSE\t1700000000\tsid\tabc\r\n", false },
        { ".ads.TRACKER.net\tTRUE\t/\tFALSE\t1700000000\tid\t1\n", true },
        { "shop.example\tFALSE\t/cart\tTRUE\tnever\tcart\t42\r\n", false },  // non-numeric expiry
        { "no tabs here at all\n", false },
        { std::string("\x01\x02garbage\0\xff\tbytes\r\n", 19), false },
        { "big.example\tTRUE\t/\tFALSE\t1700000000\tbig\t" + std::string(10000, 'v') + "\n",
          false },
        { "\n", false },
        { "last.example\tTRUE\t/\tFALSE\t1700000000\tonce\tx", true },  // no final line end
    };
    return file;
}

struct CookiesTest : ::testing::Test {
    std::string profile;
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        profile = Fresh("profile");
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "CookieFolder", profile.c_str());
        SetCookieMode(COOKIE_MODE_MOZILLA);
    }
    void TearDown() override { SetCookieMode(COOKIE_MODE_IE); }
    std::string Cookies() const { return profile + "\\cookies.txt"; }
    std::string Rewrite() const { return profile + "\\cookiesnew.txt"; }
};

TEST_F(CookiesTest, MozillaFilterRemovesExactlyTheMatchingLines)
{
    CookieFile file = Sample();
    vxtest::WriteFileBytes(Cookies(), file.All(false));
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "tracker", "1");
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "last.example - once", "2");

    // Listing: every line with a domain, long values and odd expiries kept.
    EXPECT_EQ(5, ListCookies(0));
    EXPECT_STREQ("example.com - sid", GetItemName(0));
    EXPECT_STREQ("abc", GetItemExtra(0));
    EXPECT_EQ(CODE_MOZILLA_COOKIE, GetItemCode(0));
    EXPECT_STREQ("shop.example - cart", GetItemName(2));
    EXPECT_STREQ("", GetItemInfo(2));
    EXPECT_EQ(1, GetItemFlag(2));
    EXPECT_STREQ("big.example - big", GetItemName(3));
    EXPECT_EQ(std::string(259, 'v'), GetItemExtra(3));

    EXPECT_EQ(1, ListCookies(1));
    EXPECT_EQ(file.All(true), vxtest::ReadFileText(Rewrite()));
    EXPECT_EQ(file.All(false), vxtest::ReadFileText(Cookies()));
    EXPECT_EQ(1, CookieFilePending());
    EXPECT_FALSE(Exists(profile + "\\cookiesnew.tmp"));
}

TEST_F(CookiesTest, CommitWaitsForTheBrowserAndKeepsItsNewCookies)
{
    CookieFile file = Sample();
    vxtest::WriteFileBytes(Cookies(), file.All(false));
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "tracker", "1");
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "last.example - once", "2");
    ASSERT_EQ(1, ListCookies(1));

    // The browser runs: nothing is replaced, the rewrite stays pending.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "MozillaWindowClass";
    RegisterClassA(&windowClass);
    HWND browser = CreateWindowA("MozillaWindowClass", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                 NULL, NULL);
    ASSERT_NE(nullptr, browser);
    EXPECT_EQ(0, CommitCookieFile());
    EXPECT_EQ(1, CookieFilePending());
    EXPECT_EQ(file.All(false), vxtest::ReadFileText(Cookies()));
    // Meanwhile it saved a new cookie.
    file.lines.back().first += "\n";
    file.lines.push_back({ "new.example\tTRUE\t/\tFALSE\t1\tfresh\tyes\n", false });
    vxtest::WriteFileBytes(Cookies(), file.All(false));
    DestroyWindow(browser);

    // Held open by another program: no commit, still pending.
    HANDLE held = CreateFileA(Cookies().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, CommitCookieFile());
    EXPECT_EQ(1, CookieFilePending());
    CloseHandle(held);

    // The patrol's step: committed from the current file, one-time filters
    // purged, standing ones kept.
    ASSERT_NE(nullptr, g_CookieFileCategory.Patrol);
    g_CookieFileCategory.Patrol(&g_CookieFileCategory);
    EXPECT_EQ(file.All(true), vxtest::ReadFileText(Cookies()));
    EXPECT_EQ(0, CookieFilePending());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_NUTS_KEY, "last.example - once");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_NUTS_KEY, "tracker", "1");
    EXPECT_FALSE(Exists(Rewrite()));
}

TEST_F(CookiesTest, UnreadableFileAndBlankFiltersChangeNothing)
{
    vxtest::WriteFileBytes(Cookies(), "a.example\tTRUE\t/\tFALSE\t1\tn\tv\n");
    HANDLE held = CreateFileA(Cookies().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, ListCookies(1));
    CloseHandle(held);
    EXPECT_FALSE(Exists(Rewrite()));
    EXPECT_EQ(0, CookieFilePending());

    // A blank filter written by anyone is skipped, never "match all".
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "", "1");
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "   ", "1");
    EXPECT_EQ(0, LoadNuts());
    FreeNuts();
    EXPECT_EQ(1, ListCookies(1));
    EXPECT_EQ(vxtest::ReadFileText(Cookies()), vxtest::ReadFileText(Rewrite()));

    vxtest::ScriptedUi user;
    EXPECT_EQ(0, AddNut(""));
    EXPECT_EQ(0, AddNut(" \t"));
    EXPECT_EQ(0, AddNut(std::string(512, 'x').c_str()));
    for (int i = 0; i < 254; i++)
        vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, ("nut" + std::to_string(i)).c_str(),
                          "1");
    EXPECT_EQ(1, AddNut("number255"));
    EXPECT_EQ(0, AddNut("number256"));
    ASSERT_EQ(1u, user.notices.size());
    EXPECT_EQ(NOTICE_INFORMATION, user.notices[0].first);
    EXPECT_EQ(1, RemoveNut("number255"));
    EXPECT_EQ(254, NutCount());
    FreeNuts();
}

TEST_F(CookiesTest, IEFolderFilterMatchesTheCookieNameOnly)
{
    SetCookieMode(COOKIE_MODE_IE);
    // The folder's own path holds the filter text: only names count.
    std::string folder = Fresh("tracker_cookies");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "IECookieFolder", folder.c_str());
    std::vector<std::string> kept;
    vxtest::WriteFileBytes(folder + "\\index.dat", "");
    for (const char* name : { "user@example[1].txt", "user@shop[2].txt", "user@TRACKER[1].txt",
                              "user@ads.tracker[3].txt", "notacookie.dat" })
        vxtest::WriteFileBytes(folder + "\\" + name, name);
    char found[MAX_PATH];
    ASSERT_EQ(1, GetIECookieFolder(found));
    EXPECT_EQ(folder + "\\", found);

    EXPECT_EQ(4, ListCookies(0));
    EXPECT_EQ(CODE_IE_COOKIE, GetItemCode(0));
    vxtest::ScriptedUi user;
    EXPECT_EQ(1, AddNut("tracker"));
    EXPECT_TRUE(Exists(folder + "\\user@example[1].txt"));
    EXPECT_TRUE(Exists(folder + "\\user@shop[2].txt"));
    EXPECT_FALSE(Exists(folder + "\\user@TRACKER[1].txt"));
    EXPECT_FALSE(Exists(folder + "\\user@ads.tracker[3].txt"));
    EXPECT_TRUE(Exists(folder + "\\notacookie.dat"));
    FreeNuts();

    // The new-cookie question: one per patrol, until every cookie is kept.
    g_Options[OPT_MaxCookie] = 4096;
    user.confirm = 1;
    ASSERT_NE(nullptr, g_NewCookiesCategory.Patrol);
    g_NewCookiesCategory.Patrol(&g_NewCookiesCategory);
    EXPECT_EQ(1u, user.confirmations.size());
    ASSERT_EQ(1u, user.notices.size());
    EXPECT_EQ(NOTICE_SHOW_COOKIES, user.notices[0].first);
    EXPECT_EQ("-COOKIES", user.notices[0].second);
    vxtest::SetString(HKEY_CURRENT_USER, VX_COOKIES_KEY, "user@example[1].txt", "1");
    vxtest::SetString(HKEY_CURRENT_USER, VX_COOKIES_KEY, "user@shop[2].txt", "1");
    EXPECT_EQ(-1, FindNewCookie());
    g_NewCookiesCategory.Patrol(&g_NewCookiesCategory);
    EXPECT_EQ(1u, user.confirmations.size());

    // No index.dat anywhere: "Cookie Folder Not Found", nothing listed.
    DeleteFileA((folder + "\\index.dat").c_str());
    EXPECT_EQ(0, GetIECookieFolder(found));
    EXPECT_STREQ("Cookie Folder Not Found", found);
    EXPECT_EQ(0, ListCookies(0));
}

}  // namespace
