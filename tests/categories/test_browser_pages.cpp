// The settings watched by value, against the real registry: the update
// mode and URL prefix under HKLM, the pages under HKCU, the baselines under
// Software\Quillon\Vardex; questions answered through the UI seam.
#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "support/vxtest.h"

#include "categories/browser_pages.h"
#include "categories/category.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/utils.h"

namespace {

#define VX "Software\\Quillon\\Vardex"
#define AU "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update"
#define PREFIXES "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes"
#define DEFAULT_PREFIX "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix"
#define IE_MAIN "Software\\Microsoft\\Internet Explorer\\Main"
#define DESKTOP_PAGE "Software\\Microsoft\\Internet Explorer\\Desktop\\Components\\0"

const DWORD kMissing = 0xDEADBEEF;  // "no such value" in the tables

int g_Answer = 0;
std::vector<std::string> g_Questions;
std::vector<std::string> g_Notices;
std::vector<std::string> g_Switches;
int g_AlertStates = 0;

int Confirm(const char* question)
{
    g_Questions.push_back(question);
    return g_Answer;
}
void Notify(Notice, const char* detail) { g_Notices.push_back(detail); }
void ShowAlertState() { g_AlertStates++; }
void StartExplorer(const char* switches) { g_Switches.push_back(switches); }

void SetOrDeleteDword(HKEY root, const char* path, const char* name, DWORD value)
{
    if (value == kMissing) {
        RegKey key;
        if (key.Open(root, path, KEY_SET_VALUE) == ERROR_SUCCESS)
            RegDeleteValueA(key, name);
    } else {
        vxtest::SetDword(root, path, name, value);
    }
}

void SetOrDelete(HKEY root, const char* path, const char* name, const char* text)
{
    if (text == NULL) {
        RegKey key;
        if (key.Open(root, path, KEY_SET_VALUE) == ERROR_SUCCESS)
            RegDeleteValueA(key, name);
    } else {
        vxtest::SetString(root, path, name, text);
    }
}

// The raw DWORD, or kMissing.
DWORD ReadDword(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return kMissing;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return kMissing;
    return value;
}

bool Major6()
{
    return IsWindowsMajor6() != 0;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

struct PagePlace {
    const char* key;
    const char* value;
    const char* baseline;
    const char* heading;
};
const PagePlace kPages[3] = {
    { IE_MAIN, "Start Page", "StartPage", "Internet Explorer Start Page" },
    { IE_MAIN, "Search Page", "SearchPage", "Internet Explorer Search Page" },
    { DESKTOP_PAGE, "Source", "SourcePage", "background page displayed on your Desktop" },
};

class WatchedSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        g_Answer = 0;
        g_Questions.clear();
        g_Notices.clear();
        g_Switches.clear();
        g_AlertStates = 0;
        UiSeam seam = { NULL, Confirm, Notify, NULL };
        InstallUi(&seam);
        g_BrowserPageHooks.ShowAlertState = ShowAlertState;
        g_BrowserPageHooks.StartExplorer = StartExplorer;
        // Every value once equal to its baseline: whatever an earlier test
        // left unanswerable is forgotten.
        vxtest::SetDword(HKEY_CURRENT_USER, VX, "AUOptions", 1);
        vxtest::SetDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", 1);
        vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://");
        for (const PagePlace& page : kPages) {
            vxtest::SetString(HKEY_CURRENT_USER, VX, page.baseline, "http://same.example");
            vxtest::SetString(HKEY_CURRENT_USER, page.key, page.value, "http://same.example");
        }
        CheckUpdateAndPrefix();
        CheckBrowserPages();
        ASSERT_TRUE(g_Questions.empty());
        vxtest::ResetStore();
        SetOrDeleteDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", kMissing);
        for (const PagePlace& page : kPages)
            SetOrDelete(HKEY_CURRENT_USER, page.key, page.value, NULL);
    }
    void TearDown() override
    {
        InstallUi(NULL);
        g_BrowserPageHooks.ShowAlertState = NULL;
        g_BrowserPageHooks.StartExplorer = NULL;
    }
};

// --- Automatic Updates mode -------------------------------------------------------------

TEST_F(WatchedSettings, UpdateModeTable)
{
    const char* general = "Windows Auto Update Settings";
    const char* notify = "Notify me but don't automatically download or install them.";
    const char* download = "Download options for me, but let me choose whether to install them.";
    const struct {
        DWORD baseline, live;
        int answer;
        int result;
        DWORD baselineAfter, liveAfter;
        const char* before;  // NULL: no question
        const char* after;
    } cases[] = {
        // No baseline yet: a non-zero live mode is taken silently.
        { kMissing, 3, 0, 1, 3, 3, NULL, NULL },
        { kMissing, kMissing, 0, 1, kMissing, kMissing, NULL, NULL },
        { 0, kMissing, 0, 1, 0, kMissing, NULL, NULL },
        { kMissing, 5, 0, 1, 5, 5, NULL, NULL },
        { 3, 3, 0, 0, 3, 3, NULL, NULL },
        // A change: No accepts it, Yes restores the approved mode.
        { 3, 2, 0, 0, 2, 2, download, notify },
        { 3, 2, 1, 0, 3, 3, download, notify },
        // Modes outside 1 to 4 are asked about with the general text and
        // kept exactly as they are stored.
        { 3, 5, 1, 0, 3, 3, download, general },
        { 3, 0xFFFF, 0, 0, 0xFFFF, 0xFFFF, download, general },
        { 0xFFFF, 2, 1, 1, 0xFFFF, 0xFFFF, general, notify },
        { 5, 5, 0, 1, 5, 5, NULL, NULL },
        // The value removed: restoring writes it back.
        { 2, kMissing, 1, 0, 2, 2, notify, general },
    };
    for (const auto& c : cases) {
        SetOrDeleteDword(HKEY_CURRENT_USER, VX, "AUOptions", c.baseline);
        SetOrDeleteDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", c.live);
        g_Questions.clear();
        g_Answer = c.answer;
        std::string label = std::to_string(c.baseline) + " -> " + std::to_string(c.live) +
                            " answer " + std::to_string(c.answer);
        g_Switches.clear();
        EXPECT_EQ(c.result, CheckUpdateAndPrefix()) << label;
        EXPECT_EQ(c.baselineAfter, ReadDword(HKEY_CURRENT_USER, VX, "AUOptions")) << label;
        bool restore = c.before != NULL && c.answer == 1;
        // On major version 6 the explorer restores; the monitor writes nothing.
        EXPECT_EQ(restore && Major6() ? c.live : c.liveAfter,
                  ReadDword(HKEY_LOCAL_MACHINE, AU, "AUOptions")) << label;
        EXPECT_EQ(restore && Major6() ? 1u : 0u, g_Switches.size()) << label;
        if (!g_Switches.empty()) {
            EXPECT_EQ("-AUOption", g_Switches[0]);
        }
        if (c.before == NULL) {
            EXPECT_TRUE(g_Questions.empty()) << label;
            continue;
        }
        ASSERT_EQ(1u, g_Questions.size()) << label;
        const std::string& q = g_Questions[0];
        EXPECT_TRUE(Contains(q, std::string("Previous Status:\n") + c.before + "\n")) << q;
        EXPECT_TRUE(Contains(q, std::string("Has been changed to:\n") + c.after + "\n")) << q;
    }
}

// A mode stored as text is no mode: the baseline treats it as missing, the
// live value as removed (restored as a number).
TEST_F(WatchedSettings, UpdateModeStoredAsText)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX, "AUOptions", "3");
    vxtest::SetDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", 4);
    EXPECT_EQ(1, CheckUpdateAndPrefix());
    EXPECT_EQ(4u, ReadDword(HKEY_CURRENT_USER, VX, "AUOptions"));

    vxtest::SetString(HKEY_LOCAL_MACHINE, AU, "AUOptions", "2");
    g_Answer = 1;
    EXPECT_EQ(0, CheckUpdateAndPrefix());
    EXPECT_EQ(1u, g_Questions.size());
    if (Major6())
        EXPECT_EQ(1u, g_Switches.size());
    else
        EXPECT_EQ(4u, ReadDword(HKEY_LOCAL_MACHINE, AU, "AUOptions"));
}

// --- URL prefix ---------------------------------------------------------------------------

TEST_F(WatchedSettings, PrefixTable)
{
    const struct {
        const char* baseline;  // NULL: missing
        const char* live;      // NULL: missing
        int answer;
        bool asked;
        const char* baselineAfter;  // "<missing>" when none
        const char* liveAfter;
        const char* defaultAfter;
    } cases[] = {
        { NULL, "http://", 0, false, "<missing>", "http://", "<missing>" },
        { NULL, "HTTP://", 0, false, "<missing>", "HTTP://", "<missing>" },
        { "ftp://", "FTP://", 0, false, "ftp://", "FTP://", "<missing>" },
        // Nothing to compare: no question, at this patrol or any other.
        { NULL, NULL, 0, false, "<missing>", "<missing>", "<missing>" },
        { "ftp://", "", 0, false, "ftp://", "", "<missing>" },
        // A change: No accepts it, Yes restores the approved prefix.
        { NULL, "http://go.example/?q=", 0, true, "http://go.example/?q=",
          "http://go.example/?q=", "<missing>" },
        { NULL, "http://go.example/?q=", 1, true, "<missing>", "http://", "http://" },
        { "ftp://", "http://", 1, true, "ftp://", "ftp://", "ftp://" },
        { "", "gopher://", 1, true, "", "http://", "http://" },
    };
    for (const auto& c : cases) {
        SetOrDelete(HKEY_CURRENT_USER, VX, "wwwPrefix", c.baseline);
        SetOrDelete(HKEY_LOCAL_MACHINE, PREFIXES, "www", c.live);
        SetOrDelete(HKEY_LOCAL_MACHINE, DEFAULT_PREFIX, "", NULL);
        g_Questions.clear();
        g_Answer = c.answer;
        std::string label = std::string(c.baseline ? c.baseline : "(none)") + " -> " +
                            (c.live ? c.live : "(none)") + " answer " +
                            std::to_string(c.answer);
        g_Switches.clear();
        CheckUpdateAndPrefix();
        EXPECT_EQ(c.asked ? 1u : 0u, g_Questions.size()) << label;
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, "wwwPrefix", c.baselineAfter) << label;
        bool byExplorer = c.asked && c.answer == 1 && Major6();
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, PREFIXES, "www",
                          byExplorer ? c.live : c.liveAfter) << label;
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DEFAULT_PREFIX, "",
                          byExplorer ? "<missing>" : c.defaultAfter) << label;
        EXPECT_EQ(byExplorer ? 1u : 0u, g_Switches.size()) << label;
        if (!g_Switches.empty()) {
            EXPECT_EQ("-SetPrefix", g_Switches[0]);
        }
        if (c.asked && !g_Questions.empty()) {
            std::string before = c.baseline && c.baseline[0] ? c.baseline : "http://";
            EXPECT_TRUE(Contains(g_Questions[0], "Previous Prefix:   " + before + "\n"))
                << g_Questions[0];
            EXPECT_TRUE(Contains(g_Questions[0], std::string("Has been changed to:  ") + c.live))
                << g_Questions[0];
            EXPECT_TRUE(Contains(g_Questions[0], "should be \"http://\""));
        }
    }
}

// Whatever the update-mode baseline holds, the prefix is still watched.
TEST_F(WatchedSettings, UnusualUpdateModeStillChecksThePrefix)
{
    for (DWORD baseline : { kMissing, (DWORD)0, (DWORD)5, (DWORD)0xFFFF }) {
        SetOrDeleteDword(HKEY_CURRENT_USER, VX, "AUOptions", baseline);
        SetOrDelete(HKEY_CURRENT_USER, VX, "wwwPrefix", NULL);
        vxtest::SetDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", 5);
        vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://evil.example/");
        g_Questions.clear();
        g_Answer = 1;
        g_Switches.clear();
        CheckUpdateAndPrefix();
        if (Major6()) {
            EXPECT_EQ("-SetPrefix", g_Switches.empty() ? "" : g_Switches.back()) << baseline;
        } else {
            EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://") << baseline;
        }
        // Accepted this time, so the next round sees a change again.
        g_Answer = 0;
        vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://other.example/");
        CheckUpdateAndPrefix();
    }
}

// --- Pages --------------------------------------------------------------------------------

TEST_F(WatchedSettings, PageTable)
{
    const struct {
        const char* baseline;  // NULL: missing
        const char* live;
        int hide;
        int answer;
        bool asked;
        const char* baselineAfter;
        const char* liveAfter;
    } cases[] = {
        // First sight: the live page becomes the baseline.
        { NULL, "http://home.example/", 0, 0, false, "http://home.example/",
          "http://home.example/" },
        { "", "http://home.example/", 0, 0, false, "http://home.example/",
          "http://home.example/" },
        // One trailing "/" and the case make no difference.
        { "http://home.example", "HTTP://home.example/", 0, 0, false, "http://home.example",
          "HTTP://home.example/" },
        { "http://home.example/", "http://home.example", 0, 0, false, "http://home.example/",
          "http://home.example" },
        // Asked: Yes keeps, No restores (without the trailing "/").
        { "http://home.example/", "http://bad.example/", 0, 1, true, "http://bad.example",
          "http://bad.example/" },
        { "http://home.example/", "http://bad.example/", 0, 0, true, "http://home.example/",
          "http://home.example" },
        // "HideHomePage": 1 keeps, any other value restores, silently.
        { "http://home.example", "http://bad.example", 1, 0, false, "http://bad.example",
          "http://bad.example" },
        { "http://home.example", "http://bad.example", 2, 1, false, "http://home.example",
          "http://home.example" },
        { "http://home.example", "http://bad.example", -1, 1, false, "http://home.example",
          "http://home.example" },
        // Nothing readable to compare: left alone.
        { "http://home.example", NULL, 0, 1, false, "http://home.example", "<missing>" },
        { "http://home.example", "", 0, 1, false, "http://home.example", "" },
    };
    for (int p = 0; p < 3; p++) {
        const PagePlace& page = kPages[p];
        for (const auto& c : cases) {
            for (const PagePlace& other : kPages) {
                SetOrDelete(HKEY_CURRENT_USER, VX, other.baseline, "http://same.example");
                SetOrDelete(HKEY_CURRENT_USER, other.key, other.value, "http://same.example");
            }
            SetOrDelete(HKEY_CURRENT_USER, VX, page.baseline, c.baseline);
            SetOrDelete(HKEY_CURRENT_USER, page.key, page.value, c.live);
            g_Options[OPT_HideHomePage] = c.hide;
            g_Answer = c.answer;
            g_Questions.clear();
            g_AlertStates = 0;
            std::string label = std::string(page.value) + ": " +
                                (c.baseline ? c.baseline : "(none)") + " -> " +
                                (c.live ? c.live : "(none)") + " hide " +
                                std::to_string(c.hide) + " answer " + std::to_string(c.answer);
            CheckBrowserPages();
            ASSERT_EQ(c.asked ? 1u : 0u, g_Questions.size()) << label;
            EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, page.baseline, c.baselineAfter) << label;
            EXPECT_REG_STRING(HKEY_CURRENT_USER, page.key, page.value, c.liveAfter) << label;
            if (c.asked) {
                EXPECT_EQ(1, g_AlertStates) << label;
                EXPECT_TRUE(Contains(g_Questions[0], page.heading)) << g_Questions[0];
                EXPECT_TRUE(Contains(g_Questions[0], "Your new page is http://bad.example\n"))
                    << g_Questions[0];
                EXPECT_TRUE(Contains(g_Questions[0], " http://home.example.\n"))
                    << g_Questions[0];
            }
        }
    }
    g_Options[OPT_HideHomePage] = 0;
}

// Page text is data: a page full of format signs and one of 2,000
// characters are shown cut, with the question's own words intact.
TEST_F(WatchedSettings, PageQuestionShowsOddPagesSafely)
{
    std::string longPage = "http://long.example/" + std::string(1980, 'x');
    const struct { std::string page; std::string shown; } cases[] = {
        { "http://x.example/%s%n%d%08x%%", "http://x.example/%s%n%d%08x%%" },
        { longPage, longPage.substr(0, 297) + "..." },
    };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
        vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", c.page.c_str());
        g_Questions.clear();
        g_Answer = 1;
        CheckBrowserPages();
        ASSERT_EQ(1u, g_Questions.size());
        const std::string& q = g_Questions[0];
        EXPECT_TRUE(Contains(q, "Your new page is " + c.shown + "\n")) << q;
        EXPECT_TRUE(Contains(q, "restore your page to\n http://home.example.\n")) << q;
        // Kept: the whole page becomes the baseline and is not asked again.
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, "StartPage", c.page);
        g_Questions.clear();
        CheckBrowserPages();
        EXPECT_TRUE(g_Questions.empty());
    }
}

TEST_F(WatchedSettings, PageOfAnotherTypeIsLeftAlone)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
    vxtest::SetDword(HKEY_CURRENT_USER, IE_MAIN, "Start Page", 7);
    g_Answer = 0;
    CheckBrowserPages();
    EXPECT_TRUE(g_Questions.empty());
    EXPECT_EQ(7u, ReadDword(HKEY_CURRENT_USER, IE_MAIN, "Start Page"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
}

// --- A restore that does not hold ------------------------------------------------------------

// Lets everyone read the key and nobody change it (or, with writable,
// everything again).  true when the system applied it.
bool SetKeyWritable(HKEY root, const char* path, bool writable)
{
    RegKey key;
    if (key.Open(root, path, WRITE_DAC) != ERROR_SUCCESS)
        return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = NULL;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &everyone))
        return false;
    EXPLICIT_ACCESSA access;
    ZeroMemory(&access, sizeof(access));
    access.grfAccessPermissions = writable ? KEY_ALL_ACCESS : KEY_READ;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = (LPSTR)everyone;
    PACL acl = NULL;
    DWORD rc = SetEntriesInAclA(1, &access, NULL, &acl);
    FreeSid(everyone);
    if (rc != ERROR_SUCCESS)
        return false;
    rc = SetSecurityInfo(key, SE_REGISTRY_KEY,
                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, NULL,
                         NULL, acl, NULL);
    LocalFree(acl);
    if (rc != ERROR_SUCCESS)
        return false;
    RegKey probe;
    return (probe.Open(root, path, KEY_SET_VALUE) == ERROR_SUCCESS) == writable;
}

TEST_F(WatchedSettings, FailedPageRestoreIsToldOnceAndNotAskedAgain)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
    vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    if (!SetKeyWritable(HKEY_CURRENT_USER, IE_MAIN, false))
        GTEST_SKIP() << "this system does not deny writes by a key's access list";
    g_Answer = 0;  // restore
    for (int patrol = 0; patrol < 3; patrol++)
        CheckBrowserPages();
    EXPECT_EQ(1u, g_Questions.size());
    ASSERT_EQ(1u, g_Notices.size());
    EXPECT_TRUE(Contains(g_Notices[0], "Start Page")) << g_Notices[0];
    EXPECT_REG_STRING(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");

    // The page moves on: that is a new change, asked about again.
    ASSERT_TRUE(SetKeyWritable(HKEY_CURRENT_USER, IE_MAIN, true));
    vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://worse.example");
    CheckBrowserPages();
    EXPECT_EQ(2u, g_Questions.size());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://home.example");
    EXPECT_EQ(1u, g_Notices.size());

    // Refused again, then put right by hand: the same change later is new.
    vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    ASSERT_TRUE(SetKeyWritable(HKEY_CURRENT_USER, IE_MAIN, false));
    CheckBrowserPages();
    EXPECT_EQ(3u, g_Questions.size());
    EXPECT_EQ(2u, g_Notices.size());
    ASSERT_TRUE(SetKeyWritable(HKEY_CURRENT_USER, IE_MAIN, true));
    vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://home.example");
    CheckBrowserPages();
    vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    CheckBrowserPages();
    EXPECT_EQ(4u, g_Questions.size());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://home.example");
}

TEST_F(WatchedSettings, FailedPrefixAndModeRestoresAreToldOnce)
{
    vxtest::SetDword(HKEY_CURRENT_USER, VX, "AUOptions", 4);
    vxtest::SetDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", 1);
    vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://bad.example/");
    if (!SetKeyWritable(HKEY_LOCAL_MACHINE, AU, false) ||
        !SetKeyWritable(HKEY_LOCAL_MACHINE, PREFIXES, false))
        GTEST_SKIP() << "this system does not deny writes by a key's access list";
    g_Answer = 1;  // restore
    for (int patrol = 0; patrol < 3; patrol++)
        CheckUpdateAndPrefix();
    // Asked once each: a failed restore is told once (the explorer tells
    // its own where it does the restoring).
    EXPECT_EQ(2u, g_Questions.size());
    EXPECT_EQ(Major6() ? 0u : 2u, g_Notices.size());
    EXPECT_EQ(Major6() ? 2u : 0u, g_Switches.size());
    EXPECT_EQ(1u, ReadDword(HKEY_LOCAL_MACHINE, AU, "AUOptions"));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://bad.example/");
    EXPECT_EQ(4u, ReadDword(HKEY_CURRENT_USER, VX, "AUOptions")) << "the baseline stays";
    ASSERT_TRUE(SetKeyWritable(HKEY_LOCAL_MACHINE, AU, true));
    ASSERT_TRUE(SetKeyWritable(HKEY_LOCAL_MACHINE, PREFIXES, true));

    // Once the approved value was back, the same change is a new one.
    vxtest::SetDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", 4);
    vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://");
    CheckUpdateAndPrefix();
    vxtest::SetDword(HKEY_LOCAL_MACHINE, AU, "AUOptions", 1);
    vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://bad.example/");
    CheckUpdateAndPrefix();
    EXPECT_EQ(4u, g_Questions.size());
}

// --- Other Windows versions -------------------------------------------------------------

// This prefix reports Windows 7, major version 6: the explorer restores the
// machine's values.  The same tests under XP, where the monitor writes them
// itself.
TEST(WatchedSettingsVersions, WindowsXpRestoresDirectly)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    std::string copy = vxtest::PathInProgramFolder("pages_xp.exe");
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    const char* key = "Software\\Wine\\AppDefaults\\pages_xp.exe";
    vxtest::SetString(HKEY_CURRENT_USER, key, "Version", "winxp");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_filter=WatchedSettings.*",
                                    120000));
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

// --- The rows ------------------------------------------------------------------------------------

TEST_F(WatchedSettings, RowsRunTheirOwnSteps)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://bad.example/");
    vxtest::SetString(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
    vxtest::SetString(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    g_Answer = 1;
    ASSERT_NE(nullptr, g_UpdatePrefixCategory.Patrol);
    EXPECT_EQ(0, g_UpdatePrefixCategory.Patrol(&g_UpdatePrefixCategory));
    EXPECT_EQ(1u, g_Questions.size());
    ASSERT_NE(nullptr, g_BrowserPagesCategory.Patrol);
    EXPECT_EQ(0, g_BrowserPagesCategory.Patrol(&g_BrowserPagesCategory));
    EXPECT_EQ(2u, g_Questions.size());
}

}  // namespace
