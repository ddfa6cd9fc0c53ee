// The settings watched by value, against the real registry: the update
// mode and URL prefix under HKLM, the pages under HKCU, the baselines under
// Software\Quillon\Vardex; questions answered through the UI seam.  This
// prefix reports Windows 7 (major version 6: the explorer restores the
// machine's values); the last test runs the same cases under XP.
#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

#include "support/vxtest.h"

#include "categories/browser_pages.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/ui.h"
#include "foundation/utils.h"

namespace {

#define VX "Software\\Quillon\\Vardex"
#define AU "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update"
#define PREFIXES "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes"
#define DEFAULT_PREFIX "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix"
#define IE_MAIN "Software\\Microsoft\\Internet Explorer\\Main"
#define DESKTOP_PAGE "Software\\Microsoft\\Internet Explorer\\Desktop\\Components\\0"

const DWORD kNone = 0xDEADBEEF;  // no such value
const char* const kGone = "<missing>";

int g_Answer = 0;
std::vector<std::string> g_Questions, g_Notices, g_Switches;
int g_AlertStates = 0;

int Confirm(const char* question) { g_Questions.push_back(question); return g_Answer; }
void Notify(Notice notice, const char* detail)
{
    if (notice == NOTICE_ASKING_ABOUT_SETTING)
        g_AlertStates++;
    else if (notice == NOTICE_RESTORE_BY_EXPLORER)
        g_Switches.push_back(detail);
    else
        g_Notices.push_back(detail);
}

// Sets a text (NULL deletes it) or a mode (kNone deletes it).
void Put(HKEY root, const char* path, const char* name, const char* text)
{
    RegKey key;
    key.Create(root, path);
    if (text == NULL)
        RegDeleteValueA(key, name);
    else
        vxtest::SetString(root, path, name, text);
}
void PutMode(HKEY root, const char* path, DWORD mode)
{
    RegKey key;
    key.Create(root, path);
    if (mode == kNone)
        RegDeleteValueA(key, "AUOptions");
    else
        vxtest::SetDword(root, path, "AUOptions", mode);
}
DWORD Mode(HKEY root, const char* path)
{
    RegKey key;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS ||
        RegQueryValueExA(key, "AUOptions", NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS)
        return kNone;
    return value;
}
bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
bool Major6() { return IsWindowsMajor6() != 0; }

struct PagePlace { const char* key; const char* value; const char* baseline; const char* heading; };
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
        UiSeam seam = { NULL, Confirm, Notify, NULL };
        InstallUi(&seam);
        // Every value once equal to its baseline: what an earlier test left
        // unanswerable is forgotten.
        PutMode(HKEY_CURRENT_USER, VX, 1);
        PutMode(HKEY_LOCAL_MACHINE, AU, 1);
        Put(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://");
        for (const PagePlace& page : kPages) {
            Put(HKEY_CURRENT_USER, VX, page.baseline, "http://same.example");
            Put(HKEY_CURRENT_USER, page.key, page.value, "http://same.example");
        }
        CheckUpdateAndPrefix();
        CheckBrowserPages();
        vxtest::ResetStore();
        PutMode(HKEY_LOCAL_MACHINE, AU, kNone);
        for (const PagePlace& page : kPages)
            Put(HKEY_CURRENT_USER, page.key, page.value, NULL);
        g_Answer = g_AlertStates = 0;
        g_Questions.clear();
        g_Notices.clear();
        g_Switches.clear();
    }
    void TearDown() override
    {
        InstallUi(NULL);
        g_Options[OPT_HideHomePage] = 0;
    }
};

TEST_F(WatchedSettings, UpdateModeTable)
{
    const char* general = "Windows Auto Update Settings";
    const char* notify = "Notify me but don't automatically download or install them.";
    const char* download = "Download options for me, but let me choose whether to install them.";
    const struct {
        DWORD baseline, live;
        int answer, result;
        DWORD baselineAfter, liveAfter;  // liveAfter: where the monitor writes itself
        const char *before, *after;      // the question; NULL: none
    } cases[] = {
        // No baseline yet: a non-zero live mode is taken silently.
        { kNone, 3, 0, 1, 3, 3, NULL, NULL },
        { kNone, kNone, 0, 1, kNone, kNone, NULL, NULL },
        { kNone, 5, 0, 1, 5, 5, NULL, NULL },
        { 3, 3, 0, 0, 3, 3, NULL, NULL },
        // A change: No accepts it, Yes restores the approved mode.
        { 3, 2, 0, 0, 2, 2, download, notify },
        { 3, 2, 1, 0, 3, 3, download, notify },
        // Modes outside 1 to 4 show the general text and are kept as stored.
        { 3, 5, 1, 0, 3, 3, download, general },
        { 3, 0xFFFF, 0, 0, 0xFFFF, 0xFFFF, download, general },
        { 0xFFFF, 2, 1, 1, 0xFFFF, 0xFFFF, general, notify },
        { 5, 5, 0, 1, 5, 5, NULL, NULL },
        { 2, kNone, 1, 0, 2, 2, notify, general },
    };
    for (const auto& c : cases) {
        PutMode(HKEY_CURRENT_USER, VX, c.baseline);
        PutMode(HKEY_LOCAL_MACHINE, AU, c.live);
        g_Questions.clear();
        g_Switches.clear();
        g_Answer = c.answer;
        std::string label = std::to_string(c.baseline) + " -> " + std::to_string(c.live) +
                            " answer " + std::to_string(c.answer);
        EXPECT_EQ(c.result, CheckUpdateAndPrefix()) << label;
        EXPECT_EQ(c.baselineAfter, Mode(HKEY_CURRENT_USER, VX)) << label;
        bool byExplorer = c.before != NULL && c.answer == 1 && Major6();
        EXPECT_EQ(byExplorer ? c.live : c.liveAfter, Mode(HKEY_LOCAL_MACHINE, AU)) << label;
        EXPECT_EQ(byExplorer ? std::vector<std::string>{ "-AUOption" }
                             : std::vector<std::string>{}, g_Switches) << label;
        ASSERT_EQ(c.before ? 1u : 0u, g_Questions.size()) << label;
        if (c.before) {
            EXPECT_TRUE(Has(g_Questions[0], std::string("Status:\n") + c.before + "\n\nHas"))
                << g_Questions[0];
            EXPECT_TRUE(Has(g_Questions[0], std::string("to:\n") + c.after + "\n")) << label;
        }
    }
}

// The update-mode baseline above has no say here: it is missing, so the
// prefix is checked whatever the mode.
TEST_F(WatchedSettings, PrefixTable)
{
    const struct {
        const char *baseline, *live;  // NULL: missing
        int answer;
        const char *baselineAfter, *liveAfter, *defaultAfter;  // NULL: not asked
    } cases[] = {
        { NULL, "HTTP://", 0, NULL, NULL, NULL },
        { "ftp://", "FTP://", 0, NULL, NULL, NULL },
        // Nothing to compare: never a question, at this patrol or any other.
        { NULL, NULL, 0, NULL, NULL, NULL },
        { "ftp://", "", 0, NULL, NULL, NULL },
        // A change: No accepts it, Yes restores the approved prefix.
        { NULL, "http://go.example/?q=", 0, "http://go.example/?q=", "http://go.example/?q=",
          kGone },
        { NULL, "http://go.example/?q=", 1, kGone, "http://", "http://" },
        { "ftp://", "http://", 1, "ftp://", "ftp://", "ftp://" },
        { "", "gopher://", 1, "", "http://", "http://" },
    };
    for (const auto& c : cases) {
        Put(HKEY_CURRENT_USER, VX, "wwwPrefix", c.baseline);
        Put(HKEY_LOCAL_MACHINE, PREFIXES, "www", c.live);
        Put(HKEY_LOCAL_MACHINE, DEFAULT_PREFIX, "", NULL);
        g_Questions.clear();
        g_Switches.clear();
        g_Answer = c.answer;
        std::string label = std::string(c.baseline ? c.baseline : "(none)") + " -> " +
                            (c.live ? c.live : "(none)") + " answer " + std::to_string(c.answer);
        CheckUpdateAndPrefix();
        bool asked = c.baselineAfter != NULL;
        ASSERT_EQ(asked ? 1u : 0u, g_Questions.size()) << label;
        if (!asked)
            continue;
        bool byExplorer = c.answer == 1 && Major6();
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, "wwwPrefix", c.baselineAfter) << label;
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, PREFIXES, "www", byExplorer ? c.live : c.liveAfter);
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DEFAULT_PREFIX, "",
                          byExplorer ? kGone : c.defaultAfter) << label;
        EXPECT_EQ(byExplorer ? 1u : 0u, g_Switches.size()) << label;
        std::string before = c.baseline && c.baseline[0] ? c.baseline : "http://";
        EXPECT_TRUE(Has(g_Questions[0], "Previous Prefix:   " + before + "\n")) << g_Questions[0];
        EXPECT_TRUE(Has(g_Questions[0], std::string("changed to:  ") + c.live + "\n")) << label;
    }
}

TEST_F(WatchedSettings, PageTable)
{
    const char* home = "http://home.example";
    const char* bad = "http://bad.example";
    const struct {
        const char *baseline, *live;
        int hide, answer;
        bool asked;
        const char *baselineAfter, *liveAfter;
    } cases[] = {
        // First sight: the live page becomes the baseline.
        { NULL, "http://home.example/", 0, 0, false, "http://home.example/", NULL },
        { "", home, 0, 0, false, home, NULL },
        // One trailing "/" and the case make no difference.
        { home, "HTTP://home.example/", 0, 0, false, home, NULL },
        { "http://home.example/", home, 0, 0, false, "http://home.example/", NULL },
        // Asked: Yes keeps, No restores (without the trailing "/").
        { "http://home.example/", "http://bad.example/", 0, 1, true, bad, NULL },
        { "http://home.example/", "http://bad.example/", 0, 0, true, NULL, home },
        // "HideHomePage": 1 keeps, any other value restores, silently.
        { home, bad, 1, 0, false, bad, NULL },
        { home, bad, 2, 1, false, NULL, home },
        { home, bad, -1, 1, false, NULL, home },
        // Nothing readable to compare: left alone.
        { home, NULL, 0, 1, false, NULL, NULL },
        { home, "", 0, 1, false, NULL, NULL },
    };
    for (const PagePlace& page : kPages) {
        for (const auto& c : cases) {
            Put(HKEY_CURRENT_USER, VX, page.baseline, c.baseline);
            Put(HKEY_CURRENT_USER, page.key, page.value, c.live);
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
            EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, page.baseline,
                              c.baselineAfter ? c.baselineAfter
                                              : c.baseline ? c.baseline : kGone) << label;
            EXPECT_REG_STRING(HKEY_CURRENT_USER, page.key, page.value,
                              c.liveAfter ? c.liveAfter : c.live ? c.live : kGone) << label;
            if (c.asked) {
                EXPECT_EQ(1, g_AlertStates) << label;
                EXPECT_TRUE(Has(g_Questions[0], page.heading)) << g_Questions[0];
                EXPECT_TRUE(Has(g_Questions[0], "Your new page is http://bad.example\n"));
                EXPECT_TRUE(Has(g_Questions[0], " http://home.example.\n")) << g_Questions[0];
            }
            Put(HKEY_CURRENT_USER, page.key, page.value, NULL);
        }
    }
}

// Page text is data: a page full of format signs and one of 2,000
// characters are shown cut, with the question's own words intact.
TEST_F(WatchedSettings, PageQuestionShowsOddPagesSafely)
{
    std::string longPage = "http://long.example/" + std::string(1980, 'x');
    const struct { std::string page, shown; } cases[] = {
        { "http://x.example/%s%n%d%08x%%", "http://x.example/%s%n%d%08x%%" },
        { longPage, longPage.substr(0, 297) + "..." },
    };
    for (const auto& c : cases) {
        Put(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
        Put(HKEY_CURRENT_USER, IE_MAIN, "Start Page", c.page.c_str());
        g_Questions.clear();
        g_Answer = 1;
        CheckBrowserPages();
        ASSERT_EQ(1u, g_Questions.size());
        EXPECT_TRUE(Has(g_Questions[0], "Your new page is " + c.shown + "\n")) << g_Questions[0];
        EXPECT_TRUE(Has(g_Questions[0], "restore your page to\n http://home.example.\n"));
        // Kept: the whole page becomes the baseline and is not asked again.
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX, "StartPage", c.page);
        CheckBrowserPages();
        EXPECT_EQ(1u, g_Questions.size());
    }
}

// --- A restore that does not hold ------------------------------------------------------------

// Lets everyone read the key and nobody change it, or everything again.
// true when the system applied it.
bool SetKeyWritable(HKEY root, const char* path, bool writable)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = NULL;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    EXPLICIT_ACCESSA access;
    ZeroMemory(&access, sizeof(access));
    access.grfAccessPermissions = writable ? KEY_ALL_ACCESS : KEY_READ;
    access.grfAccessMode = SET_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = (LPSTR)everyone;
    PACL acl = NULL;
    DWORD rc = SetEntriesInAclA(1, &access, NULL, &acl);
    FreeSid(everyone);
    RegKey key;
    if (rc == ERROR_SUCCESS && key.Open(root, path, WRITE_DAC) == ERROR_SUCCESS)
        rc = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION |
                             PROTECTED_DACL_SECURITY_INFORMATION, NULL, NULL, acl, NULL);
    LocalFree(acl);
    RegKey probe;
    return (probe.Open(root, path, KEY_SET_VALUE) == ERROR_SUCCESS) == writable;
}

TEST_F(WatchedSettings, FailedRestoresAreToldOnceAndNotAskedAgain)
{
    Put(HKEY_CURRENT_USER, VX, "StartPage", "http://home.example");
    Put(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    PutMode(HKEY_CURRENT_USER, VX, 4);
    PutMode(HKEY_LOCAL_MACHINE, AU, 1);
    Put(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://bad.example/");
    const struct { HKEY root; const char* path; } locked[] = {
        { HKEY_CURRENT_USER, IE_MAIN }, { HKEY_LOCAL_MACHINE, AU }, { HKEY_LOCAL_MACHINE, PREFIXES },
    };
    for (const auto& k : locked)
        if (!SetKeyWritable(k.root, k.path, false))
            GTEST_SKIP() << "this system does not deny writes by a key's access list";
    g_Answer = 1;  // restore the mode and the prefix
    for (int patrol = 0; patrol < 3; patrol++)
        CheckUpdateAndPrefix();
    g_Answer = 0;  // restore the page
    for (int patrol = 0; patrol < 3; patrol++)
        CheckBrowserPages();
    // Each asked once; each failure told once (where the explorer does the
    // restoring, it tells its own).
    EXPECT_EQ(3u, g_Questions.size());
    ASSERT_EQ(Major6() ? 1u : 3u, g_Notices.size());
    EXPECT_TRUE(Has(g_Notices.back(), "Start Page")) << g_Notices.back();
    EXPECT_EQ(Major6() ? 2u : 0u, g_Switches.size());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    EXPECT_EQ(1u, Mode(HKEY_LOCAL_MACHINE, AU));
    EXPECT_EQ(4u, Mode(HKEY_CURRENT_USER, VX)) << "the baseline stays";
    for (const auto& k : locked)
        ASSERT_TRUE(SetKeyWritable(k.root, k.path, true));

    // Put right by hand, then changed the same way again: asked again.
    PutMode(HKEY_LOCAL_MACHINE, AU, 4);
    Put(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://");
    Put(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://home.example");
    CheckUpdateAndPrefix();
    CheckBrowserPages();
    PutMode(HKEY_LOCAL_MACHINE, AU, 1);
    Put(HKEY_LOCAL_MACHINE, PREFIXES, "www", "http://bad.example/");
    Put(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://bad.example");
    CheckUpdateAndPrefix();
    CheckBrowserPages();
    EXPECT_EQ(6u, g_Questions.size());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://home.example");
    // A page that moves on is a new change too.
    Put(HKEY_CURRENT_USER, IE_MAIN, "Start Page", "http://worse.example");
    CheckBrowserPages();
    EXPECT_EQ(7u, g_Questions.size());
}

TEST(WatchedSettingsVersions, WindowsXpRestoresDirectly)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    std::string copy = vxtest::PathInProgramFolder("pages_xp.exe");
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    const char* key = "Software\\Wine\\AppDefaults\\pages_xp.exe";
    vxtest::SetString(HKEY_CURRENT_USER, key, "Version", "winxp");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_filter=WatchedSettings.*", 120000));
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

}  // namespace
