// Cookies against real files: an IE cookie folder and a Netscape-format
// cookies.txt in scratch folders named to the store by its own values.  A
// filter removes exactly the matching cookies; every other line of
// cookies.txt stays byte-identical; a rewrite waits while the browser runs
// and is redone from the current file when it is put in place.
#include "categories/cookies.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

using vxtest::Items;

static bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The lines of a cookies.txt (bytes with line end, filtered); the expected
// rewrite is the file with the filtered lines cut out, every other byte kept.
typedef std::vector<std::pair<std::string, bool>> CookieFile;
static std::string All(const CookieFile& file, bool withoutFiltered)
{
    std::string text;
    for (const auto& line : file)
        text += withoutFiltered && line.second ? "" : line.first;
    return text;
}

static const CookieFile kSample = {
    { "# Netscape HTTP Cookie File\r\n", false },
    { "# tracker notes are comments too\n", true },
    { ".example.com\tTRUE\t/\tFALSE\t1700000000\tsid\tabc\r\n", false },
    { ".ads.TRACKER.net\tTRUE\t/\tFALSE\t1700000000\tid\t1\n", true },
    { "shop.example\tFALSE\t/cart\tTRUE\tnever\tcart\t42\r\n", false },  // non-numeric expiry
    { std::string("\x01\x02garbage\0\xff\tbytes\r\n", 19), false },
    { "big.example\tTRUE\t/\tFALSE\t1700000000\tbig\t" + std::string(10000, 'v') + "\n", false },
    { "last.example\tTRUE\t/\tFALSE\t1700000000\tonce\tx", true },  // no final line end
};

struct CookiesTest : ::testing::Test {
    std::string profile;
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions();
        // A folder of each test's own.
        profile = vxtest::PathInProgramFolder(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        CreateDirectoryA(profile.c_str(), NULL);
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "CookieFolder", profile.c_str());
        SetCookieMode(COOKIE_MODE_MOZILLA);
        vxtest::WriteFileBytes(Cookies(), All(kSample, false));
        vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "tracker", "1");
        vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "last.example - once", "2");
    }
    void TearDown() override { SetCookieMode(COOKIE_MODE_IE); FreeNuts(); }
    // The browser's cookie folder: the profile, with its index.dat.
    void UseIEFolder()
    {
        SetCookieMode(COOKIE_MODE_IE);
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "IECookieFolder", profile.c_str());
        vxtest::WriteFileBytes(profile + "\\index.dat", "");
    }
    std::string Cookies() const { return profile + "\\cookies.txt"; }
    std::string Rewrite() const { return profile + "\\cookiesnew.txt"; }
};

TEST_F(CookiesTest, CommitWaitsForTheBrowserAndKeepsItsNewCookies)
{
    ASSERT_EQ(1, ListCookies(Items(), 1));
    // The browser runs: nothing is replaced, the rewrite stays pending.
    WNDCLASSA windowClass
        = {0, DefWindowProcA, 0, 0, NULL, NULL, NULL, NULL, NULL, "MozillaWindowClass"};
    RegisterClassA(&windowClass);
    HWND browser
        = CreateWindowA("MozillaWindowClass", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    EXPECT_TRUE(CommitCookieFile() == 0);
    EXPECT_TRUE(All(kSample, false) == vxtest::ReadFileText(Cookies()));
    // Meanwhile it saved a new cookie.
    CookieFile file = kSample;
    file.back().first += "\n";
    file.push_back({ "new.example\tTRUE\t/\tFALSE\t1\tfresh\tyes\n", false });
    vxtest::WriteFileBytes(Cookies(), All(file, false));
    DestroyWindow(browser);

    // Held open by another program: no commit, still pending.
    HANDLE held = CreateFileA(Cookies().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_TRUE(CommitCookieFile() == 0);
    EXPECT_TRUE(CookieFilePending() == 1);
    CloseHandle(held);

    // The patrol's step: committed from the current file, one-time filters
    // purged, standing ones kept.
    g_CookieFileCategory.Patrol(&g_CookieFileCategory);
    EXPECT_EQ(All(file, true), vxtest::ReadFileText(Cookies()));
    EXPECT_TRUE(CookieFilePending() == 0);
    EXPECT_TRUE(!Exists(Rewrite()));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_NUTS_KEY, "last.example - once");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_NUTS_KEY, "tracker", "1");
}

TEST_F(CookiesTest, UnreadableFileAndBlankFiltersChangeNothing)
{
    HANDLE held = CreateFileA(Cookies().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_EQ(0, ListCookies(Items(), 1));
    CloseHandle(held);
    EXPECT_TRUE(CookieFilePending() == 0);
    EXPECT_TRUE(!Exists(Rewrite()));

    vxtest::ScriptedUi user;
    EXPECT_EQ(0, AddNut(" \t"));
    for (int i = 0; i < 252; i++)  // with the two of every test: 254
        vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, ("nut" + std::to_string(i)).c_str(), "1");
    // The 255th is the last.
    EXPECT_TRUE(AddNut("number255") == 1);
    EXPECT_TRUE(AddNut("number256") == 0);
    EXPECT_TRUE(user.notices.size() == 1);
}

TEST_F(CookiesTest, IETrackerFilterMatchesTheCookieNameOnly)
{
    UseIEFolder();  // its path holds the filter text: only names count
    for (const char* name : {"\\user@example[1].txt", "\\user@TRACKER[1].txt",
             "\\user@ads.tracker[3].txt", "\\notacookie.dat"})
        vxtest::WriteFileBytes(profile + name, name);
    EXPECT_EQ(4, ListCookies(Items(), 0));  // cookies.txt is a *.txt too
    vxtest::ScriptedUi user;
    EXPECT_EQ(1, AddNut("tracker"));
    // cookies.txt stays: a name without "tracker", whatever the file holds.
    EXPECT_TRUE(Exists(profile + "\\user@example[1].txt"));
    EXPECT_FALSE(Exists(profile + "\\user@TRACKER[1].txt"));
    EXPECT_FALSE(Exists(profile + "\\user@ads.tracker[3].txt"));
    EXPECT_TRUE(Exists(Cookies()));

    // No index.dat anywhere: "Cookie Folder Not Found", nothing listed.
    DeleteFileA((profile + "\\index.dat").c_str());
    char found[MAX_PATH];
    EXPECT_EQ(0, GetIECookieFolder(found));
    EXPECT_STREQ("Cookie Folder Not Found", found);

    // "MaxCookie" caps the list shown to a person, not the filter: a tracker
    // found after the list is full is removed all the same.
    UseIEFolder();
    const std::vector<std::string> trackers = { "\\u@tracker1[1].txt", "\\u@tracker2[1].txt",
                                                "\\u@tracker3[1].txt" };
    for (int i = 0; i < 3; i++) {  // plain and tracker cookies in turn
        vxtest::WriteFileBytes(profile + "\\u@plain" + std::to_string(i) + "[1].txt", "p");
        vxtest::WriteFileBytes(profile + trackers[i], "t");
    }
    g_Options[OPT_MaxCookie] = 1;
    EXPECT_EQ(1, ListCookies(Items(), 1));
    for (const std::string& tracker : trackers)
        EXPECT_FALSE(Exists(profile + tracker)) << tracker;
}

// A cookies.txt larger than the system reads (64 MB) would be rewritten cut
// short: it is left alone, no rewrite made, nothing pending or committed.
TEST_F(CookiesTest, FileOverTheLimitIsNotRewritten)
{
    const LONGLONG size = 64LL * 1024 * 1024 + 1;
    HANDLE file = CreateFileA(Cookies().c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file, end, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(0, ListCookies(Items(), 1));
    EXPECT_FALSE(Exists(Rewrite()));
    EXPECT_EQ(0, CookieFilePending());
    SetCookieFilePending(1);
    EXPECT_EQ(0, CommitCookieFile());
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(Cookies().c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ((DWORD)size, data.nFileSizeLow);
}

// Listing: every line with a domain, long values and odd expiries kept
// (shop.example's expiry is no number); a blank filter written by anyone is
// skipped, never "match all".  A rewrite that still stands (cookie file and
// filters as they were) is not redone; a line the browser adds, a filter
// added, or the rewrite taken away brings a fresh one.
TEST_F(CookiesTest, AStandingRewriteIsRedoneOnEveryChange)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "   ", "1");
    EXPECT_EQ(2, LoadNuts());
    Sleep(1100);  // cookies.txt settles
    EXPECT_EQ(5, ListCookies(Items(), 0));
    EXPECT_EQ(1, GetItemFlag(Items(), 2));
    EXPECT_EQ(std::string(259, 'v'), GetItemExtra(Items(), 3));
    ASSERT_EQ(1, ListCookies(Items(), 1));
    ASSERT_EQ(All(kSample, true), vxtest::ReadFileText(Rewrite()));
    EXPECT_TRUE(CookieFilePending() == 1);
    EXPECT_TRUE(!Exists(profile + "\\cookiesnew.tmp"));
    ASSERT_EQ(1, ListCookies(Items(), 1));
    std::string added = ".new.tracker.org\tTRUE\t/\tFALSE\t1700000000\tn\t1\n";
    vxtest::WriteFileBytes(
        Cookies(), All(kSample, false) + added + "keep.example\tTRUE\t/\tFALSE\t1\tk\t2\n");
    ASSERT_EQ(1, ListCookies(Items(), 1));
    EXPECT_EQ(All(kSample, true) + "keep.example\tTRUE\t/\tFALSE\t1\tk\t2\n",
        vxtest::ReadFileText(Rewrite()));
    vxtest::SetString(HKEY_CURRENT_USER, VX_NUTS_KEY, "keep.example", "1");
    ASSERT_EQ(1, ListCookies(Items(), 1));
    EXPECT_EQ(All(kSample, true), vxtest::ReadFileText(Rewrite()));
    DeleteFileA(Rewrite().c_str());
    ASSERT_EQ(1, ListCookies(Items(), 1));
    EXPECT_TRUE(Exists(Rewrite()));
}
