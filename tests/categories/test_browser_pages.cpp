// The settings watched by value, against the real registry: the update
// mode and URL prefix under HKLM, the pages under HKCU, the baselines under
// Software\Quillon\Vardex; questions answered through the UI seam.  This
// prefix reports Windows 7 (major version 6: the explorer restores the
// machine's values); the last test runs the same cases under XP.
#include "support/scripted_ui.h"
#include "support/vxtest.h"

#include <sddl.h>

#include <algorithm>

#include "categories/browser_pages.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/utils.h"

#define VX "Software\\Quillon\\Vardex"
#define IE_MAIN "Software\\Microsoft\\Internet Explorer\\Main"
#define CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"

// A watched value, its baseline, and the heading of its question.
struct Place { HKEY root; const char *key, *value, *baseline, *heading; };
static const Place kMode = { HKEY_LOCAL_MACHINE, CURRENT_VERSION "WindowsUpdate\\Auto Update",
                             "AUOptions", "AUOptions", "Windows Auto Update features" };
static const Place kPrefix = { HKEY_LOCAL_MACHINE, CURRENT_VERSION "URL\\Prefixes", "www",
                               "wwwPrefix", "Internet Browser Prefix" };
static const char* kDefault = CURRENT_VERSION "URL\\DefaultPrefix";
static const Place kPages[3] = {
    { HKEY_CURRENT_USER, IE_MAIN, "Start Page", "StartPage", "Internet Explorer Start Page" },
    { HKEY_CURRENT_USER, IE_MAIN, "Search Page", "SearchPage", "Internet Explorer Search Page" },
    { HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Desktop\\Components\\0",
      "Source", "SourcePage", "background page displayed on your Desktop" },
};

// Sets a value, "-" deletes it; the mode as its number.
static void Put(HKEY root, const char* key, const char* name, const std::string& text)
{
    if (text == "-")
        RegDeleteValueNamed(root, key, name);
    else if (strcmp(name, "AUOptions") == 0)
        vxtest::SetDword(root, key, name, strtoul(text.c_str(), NULL, 10));
    else
        vxtest::SetString(root, key, name, text.c_str());
}
// A value as text, the mode as its number; "-" when missing, "?" before
// a text of another type.
static std::string Get(HKEY root, const char* key, const char* name)
{
    char data[4096] = "";
    DWORD type = 0, size = sizeof(data) - 1;
    if (RegGetValueA(root, key, name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
        return "-";
    if (type == REG_DWORD)
        return std::to_string(*(const DWORD*)(const void*)data);
    return (type == REG_SZ ? "" : "?") + std::string(data);
}
static void Put(const Place& place, const std::string& baseline, const std::string& live)
{
    Put(HKEY_CURRENT_USER, VX, place.baseline, baseline);
    Put(place.root, place.key, place.value, live);
}
static size_t Count(const vxtest::ScriptedUi& user, Notice notice)
{
    return std::count_if(
        user.notices.begin(), user.notices.end(), [=](const auto& n) { return n.first == notice; });
}

// No watched value and no baseline at all.  (A value whose restore the
// system refused is passed over until it moves; no two tests leave the
// same one.)
static void Fresh()
{
    LoadOptions(), vxtest::ResetStore();
    for (const Place* place : { &kMode, &kPrefix, &kPages[0], &kPages[1], &kPages[2] })
        Put(*place, "-", "-");
}

// "-": missing.  Yes restores the mode and the prefix, and keeps a page;
// where the explorer restores (major version 6), the values stay as they
// are and it is handed the switch.
TEST(WatchedSettings, ChangesAskedKeptAndRestored)
{
    Fresh();
    const std::string home = "http://home.example", bad = "http://bad.example";
    const struct {  // asked: parts of the question, none when not asked
        const Place* place; std::string baseline, live; int answer, result;
        std::string baselineAfter, liveAfter; std::vector<std::string> asked;
    } cases[] = {
        // No mode baseline yet: a non-zero live mode is taken silently.
        { &kMode, "-", "3", 0, 1, "3", "3", {} },
        { &kMode, "3", "2", 0, 0, "2", "2", { "Status:\nDownload options", "to:\nNotify me" } },
        // Modes outside 1 to 4 show the general text and are kept as stored
        // (restored: the next row).
        { &kMode, "3", "65535", 0, 0, "65535", "65535", { "to:\nWindows Auto Update Settings\n" } },
        { &kMode, "65535", "2", 1, 1, "65535", "65535", { "Status:\nWindows Auto Update" } },
        // (No mode baseline: 1.)  No "www" prefix: nothing that could have
        // changed, never a question.
        { &kPrefix, "-", "-", 0, 1, "-", "-", {} },
        { &kPrefix, "-", "http://go/?q=", 0, 1, "http://go/?q=", "http://go/?q=",
          { "Previous Prefix:   http://\n", "to:  http://go/?q=\n" } },
        { &kPrefix, "", "gopher://", 1, 1, "", "http://", { "Prefix:   http://\n" } },
        { &kPrefix, "ftp://", "http://", 1, 1, "ftp://", "ftp://", { "to:  http://\n" } },
        // First sight of a page makes it the baseline; one trailing "/" and
        // the case make no difference.
        { kPages, "-", home + "/", 0, -1, home + "/", home + "/", {} },
        { kPages, home, "HTTP://home.example/", 0, -1, home, "HTTP://home.example/", {} },
        { kPages, home + "/", bad + "/", 1, -1, bad, bad + "/", { "page is " + bad + "\n" } },
        { kPages, home + "/", bad + "/", 0, -1, home + "/", home, { " " + home + ".\n" } },
    };
    for (const auto& c : cases) {
        for (int i = 0; i < (c.place == kPages ? 3 : 1); i++) {
            const Place& at = c.place[i];
            SCOPED_TRACE(std::string(at.value) + " row " + std::to_string(&c - cases));
            Put(at, c.baseline, c.live);
            vxtest::ScriptedUi user;
            user.confirm = c.answer;
            int result = c.place == kPages ? (CheckBrowserPages(), -1) : CheckUpdateAndPrefix();
            EXPECT_EQ(c.result, result);
            ASSERT_EQ(c.asked.empty() ? 0u : 1u, user.confirmations.size());
            // Enter keeps a page; the other questions keep No.
            for (int yes : user.yesByDefault)
                EXPECT_EQ(c.place == kPages, yes == 1);
            for (const std::string& part : c.asked)
                for (const std::string& p : { part, std::string(at.heading) })
                    EXPECT_NE(std::string::npos, user.confirmations[0].find(p)) << p;
            bool byExplorer = c.place != kPages && c.answer == 1 && IsWindowsMajor6();
            EXPECT_EQ(byExplorer ? 1u : 0u, Count(user, NOTICE_RESTORE_BY_EXPLORER));
            EXPECT_EQ(c.baselineAfter, Get(HKEY_CURRENT_USER, VX, at.baseline));
            EXPECT_EQ(byExplorer ? c.live : c.liveAfter, Get(at.root, at.key, at.value));
            Put(at, "-", "-");
        }
    }
    // A prefix restored is the default prefix too (Wine's own is "http://").
    EXPECT_EQ(IsWindowsMajor6() ? "http://" : "ftp://", Get(HKEY_LOCAL_MACHINE, kDefault, ""));
}

// --- Pages that stop being a text ------------------------------------------------------------

// What may become of a page: deleted (the browser then takes the machine's
// page), its key deleted, emptied, rewritten as a number, or made longer
// than the 2083 characters the browser takes.
enum Spoil { DELETED, KEY_DELETED, EMPTIED, NUMBER, TOO_LONG };
static const std::string kHome = "http://home.example";
static const std::string kTooLong = "http://long.example/" + std::string(5000, 'x');

static void SpoilPage(const Place& page, Spoil spoil)
{
    if (spoil == DELETED)
        RegDeleteValueNamed(page.root, page.key, page.value);
    else if (spoil == KEY_DELETED)
        RegDeleteKeyTree(page.root, page.key);
    else if (spoil == NUMBER)
        vxtest::SetDword(page.root, page.key, page.value, 7);
    else
        vxtest::SetString(page.root, page.key, page.value,
                          spoil == EMPTIED ? "" : kTooLong.c_str());
}

// Every such change is asked about, showing what the page is now.  "No"
// writes the approved page back as a text.  "Yes" approves what the page
// has become: not asked about again, and a page that appears after an
// approved deletion is a change, not a first page taken silently.
TEST(WatchedSettings, APageThatIsNoLongerATextIsAsked)
{
    const struct { Spoil spoil; std::string shown; } cases[] = {
        { DELETED, "page is (no page)\n" }, { KEY_DELETED, "page is (no page)\n" },
        { EMPTIED, "page is (no page)\n" }, { NUMBER, "page is (not a text value)\n" },
        { TOO_LONG, "page is " + kTooLong.substr(0, 297) + "...\n" },
    };
    for (const Place& page : kPages) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(page.value) + " " + std::to_string(c.spoil));
            Fresh();
            Put(page, kHome, kHome);
            SpoilPage(page, c.spoil);
            vxtest::ScriptedUi user;
            CheckBrowserPages();
            ASSERT_EQ(1u, user.confirmations.size());
            EXPECT_NE(std::string::npos, user.confirmations[0].find(c.shown));
            EXPECT_EQ(kHome, Get(page.root, page.key, page.value));
            SpoilPage(page, c.spoil);
            user.confirm = 1;
            CheckBrowserPages();
            CheckBrowserPages();
            EXPECT_EQ(2u, user.confirmations.size());
            Put(page.root, page.key, page.value, "http://bad.example");
            CheckBrowserPages();
            EXPECT_EQ(3u, user.confirmations.size());
        }
    }
}

// --- A restore that does not hold ------------------------------------------------------------

// Lets everyone read the key and nobody change it, or everything again.
// true when the system applied it.
static bool SetKeyWritable(HKEY root, const char* path, bool writable)
{
    PSECURITY_DESCRIPTOR sd = NULL;
    RegKey key, probe;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(
            writable ? "D:P(A;;KA;;;WD)" : "D:P(A;;KR;;;WD)", SDDL_REVISION_1, &sd, NULL) &&
        key.Open(root, path, WRITE_DAC) == ERROR_SUCCESS)
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    return (probe.Open(root, path, KEY_SET_VALUE) == ERROR_SUCCESS) == writable;
}

// The three values changed from their baselines, or put right.
static void Change(bool spoilt)
{
    Put(kPages[0], "http://home.example", spoilt ? "http://bad.example" : "http://home.example");
    Put(kMode, "4", spoilt ? "1" : "4");
    Put(kPrefix, "-", spoilt ? "http://bad.example/" : "http://");
}
static void Patrol() { CheckUpdateAndPrefix(); CheckBrowserPages(); }

// Each failed restore is told once and not tried again, until the value
// has been put right and changed again.  (One that moves on is asked
// about again: the handed-over rows of the first test.)
TEST(WatchedSettings, FailedRestoresAreToldOnceAndNotTriedAgain)
{
    Fresh();
    vxtest::ScriptedUi user;
    user.confirm = 1;                 // restore the mode and the prefix
    g_Options[OPT_HideHomePage] = 2;  // and the page, without a question
    Change(true);
    for (const Place* place : { &kPages[0], &kMode, &kPrefix })
        if (!SetKeyWritable(place->root, place->key, false))
            GTEST_SKIP() << "this system does not deny writes by a key's access list";
    for (int patrol = 0; patrol < 3; patrol++)
        Patrol();
    // Where the explorer does the restoring, it tells its own failures.
    EXPECT_EQ(2u, user.confirmations.size());
    EXPECT_EQ(IsWindowsMajor6() ? 1u : 3u, Count(user, NOTICE_RESTORE_FAILED));
    EXPECT_EQ(IsWindowsMajor6() ? 2u : 0u, Count(user, NOTICE_RESTORE_BY_EXPLORER));
    for (const Place* place : { &kPages[0], &kMode, &kPrefix })
        ASSERT_TRUE(SetKeyWritable(place->root, place->key, true));
    for (bool spoilt : { false, true })
        Change(spoilt), Patrol();
    EXPECT_EQ(4u, user.confirmations.size());
    EXPECT_EQ("http://home.example", Get(HKEY_CURRENT_USER, IE_MAIN, "Start Page"));
}

TEST(WatchedSettingsVersions, WindowsXpRestoresDirectly)
{
    std::string copy = vxtest::PathInProgramFolder("pages_xp.exe");
    ASSERT_TRUE(CopyFileA(
        vxtest::PathInProgramFolder("categories_test_browser_pages.exe").c_str(), copy.c_str(), 0));
    vxtest::SetString(
        HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\pages_xp.exe", "Version", "winxp");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_filter=WatchedSettings.*", 120000));
}
