// Services against Wine's real service manager and registry: keys planted
// straight into HKLM ...\Services (known to the registry only), and one of
// Wine's own services, started, stopped and disabled.
#include "categories/category.h"
#include "categories/services.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "foundation/item_list.h"
#include "support/vxtest.h"

// --- Helpers ----------------------------------------------------------------------

static const char* kSvcKey = "Spooler";
static const char* kSvcTitle = "Print Spooler";

static std::string KeyPath(const std::string& keyName) { return SERVICES_KEY "\\" + keyName; }

static const ItemRecord* Listed(const char* name)
{
    for (int i = 0; i < ItemCount(); i++)
        if (TextEqualNoCase(GetItemName(i), name))
            return GetItem(i);
    return NULL;
}

static std::string StartOf(const std::string& keyName)
{
    DWORD data = 0, size = sizeof(data);
    return RegGetValueA(HKEY_LOCAL_MACHINE, KeyPath(keyName).c_str(), "Start", RRF_RT_ANY, NULL, &data,
                        &size) == ERROR_SUCCESS ? std::to_string(data) : "none";
}

// The action names of history.txt, each followed by a blank.
static std::string HistoryActions()
{
    std::string text = vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt")), actions;
    for (size_t at = text.find('\t'); at != text.npos; at = text.find('\t', text.find('\n', at)))
        actions += text.substr(at + 1, text.find('\t', at + 1) - at - 1) + " ";
    return actions;
}

class Services : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
    }
    void TearDown() override
    {
        for (const std::string& key : planted_)
            RegDeleteKeyTree(HKEY_LOCAL_MACHINE, KeyPath(key).c_str());
        CloseServiceHandle(service_);
        CloseServiceHandle(scm_);
    }
    // A key only the registry knows; title NULL: none.
    void Plant(const std::string& keyName, const char* imagePath, const char* title)
    {
        planted_.push_back(keyName);
        std::string path = KeyPath(keyName);
        vxtest::SetString(HKEY_LOCAL_MACHINE, path.c_str(), "Type", "x");
        vxtest::SetValue(HKEY_LOCAL_MACHINE, path.c_str(), "ImagePath", REG_EXPAND_SZ, imagePath,
                         (DWORD)strlen(imagePath) + 1);
        if (title != NULL)
            vxtest::SetString(HKEY_LOCAL_MACHINE, path.c_str(), "DisplayName", title);
    }
    DWORD WaitFor(DWORD state)
    {
        SERVICE_STATUS status = {};
        for (int i = 0; i < 100 && QueryServiceStatus(service_, &status) && status.dwCurrentState != state; i++)
            Sleep(50);
        return status.dwCurrentState;
    }
    DWORD ManagerStartType()
    {
        BYTE buffer[8192];
        DWORD needed = 0;
        auto config = (QUERY_SERVICE_CONFIGA*)buffer;
        return QueryServiceConfigA(service_, config, sizeof(buffer), &needed) ? config->dwStartType : 0xFFFF;
    }
    std::vector<std::string> planted_;
    SC_HANDLE scm_ = NULL, service_ = NULL;
};

// --- Keys only the registry knows ---------------------------------------------------------

// A program naming Microsoft as its maker (one of the few of Wine's with a
// version resource) is left out of the list, but not out of the baseline:
// otherwise it would be asked about as new.
TEST_F(Services, ListingOfPlantedKeysAndTheBaseline)
{
    Plant("VxMicrosoft", "C:\\windows\\system32\\regsvr32.exe", "Vx Microsoft One");
    Plant("VxDriver", "system32\\drivers\\vxdriver.sys", "Vx Driver");
    Plant("VxEmpty", "", "Vx Empty");
    Plant("VxHosted", "%SystemRoot%\\system32\\svchost.exe -k vx", "Vx Hosted");
    vxtest::SetString(HKEY_LOCAL_MACHINE, SERVICES_KEY "\\VxHosted\\Parameters", "ServiceDll", "C:\\vx\\hosted.dll");
    Plant("VxNoTitle", "C:\\vx\\notitle.exe", NULL);
    // A command longer than the store takes is cut, and still watched.
    Plant("VxLong", ("C:\\vx\\long.exe " + std::string(1500, 'a')).c_str(), "Vx Long");
    const struct { const char* key; DWORD type, data, size; const char* text; } starts[] = {
        { "VxAuto", REG_DWORD, 0x102, 4, "Automatic" },  // only the lowest byte counts
        { "VxShort", REG_DWORD, 2, 2, "0" },             // fewer than 4 bytes
        { "VxText", REG_SZ, 0x32, 2, "0" },              // "2" as text
    };
    for (const auto& s : starts) {
        Plant(s.key, "C:\\vx\\start.exe", s.key);
        vxtest::SetValue(HKEY_LOCAL_MACHINE, KeyPath(s.key).c_str(), "Start", s.type, &s.data, s.size);
    }
    g_Options[OPT_HideMicrosoftServices] = 1;
    ASSERT_GT(EnumServices(0), 0);
    for (const char* title : { "Vx Microsoft One", "Vx Driver", "Vx Empty" })
        EXPECT_EQ(NULL, Listed(title)) << title;
    ASSERT_TRUE(Listed("Vx Hosted") && Listed("VxNoTitle") && Listed("Vx Long"));
    EXPECT_STREQ("C:\\vx\\hosted.dll", Listed("Vx Hosted")->Command);
    EXPECT_EQ(259u, strlen(Listed("Vx Long")->Command));
    for (const auto& s : starts)
        EXPECT_STREQ(s.text, Listed(s.key) ? Listed(s.key)->Extra : "not listed") << s.key;
    ASSERT_EQ(1, g_ServicesCategory.InitBaseline());
    EXPECT_EQ(0, ServicesChanged());
    // The quick listing takes every key with a command, by its key name.
    ASSERT_GT(EnumServices(1), 0);
    ASSERT_TRUE(Listed("VxDriver") != NULL);
    EXPECT_EQ(NULL, Listed("VxEmpty"));
}

// The quick pass sees only services the baseline does not know ("0" is no
// knowledge).
TEST_F(Services, BaselineAndQuickPass)
{
    Plant("VxFirst", "C:\\vx\\first.exe", "Vx First");
    InitCategoryBaselines();
    EXPECT_EQ(0, ServicesChanged());

    Plant("VxSecond", "C:\\vx\\second.exe", "Vx Second");
    EXPECT_EQ(1, ServicesChanged());
    ASSERT_GT(g_ServicesCategory.List(), 0);
    ItemRecord first = *Listed("Vx First"), second = *Listed("Vx Second");
    EXPECT_EQ(1, g_ServicesCategory.Act(&second, VERDICT_NEW, ANSWER_ACCEPT));
    EXPECT_EQ(0, ServicesChanged());
    vxtest::SetString(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx First", "0");
    EXPECT_EQ(1, ServicesChanged());
    EXPECT_EQ(VERDICT_NEW, g_ServicesCategory.TellNew(&first, NULL));
}

// Titles are kept to 127 characters: two cut alike name no key at all, a
// long one of its own still does.  Only automatic, manual and disabled are
// ever written.
TEST_F(Services, StartTypeActsOnlyOnTheKeyOfThatTitle)
{
    std::string common(127, 'T'), alone = std::string(126, 'L') + "Alone";
    Plant("VxCutOne", "C:\\vx\\one.exe", (common + "one").c_str());
    Plant("VxCutTwo", "C:\\vx\\two.exe", (common + "two").c_str());
    Plant("VxAlone", "C:\\vx\\alone.exe", alone.c_str());
    const struct { std::string title; int start, result; const char *one, *alone; } cases[] = {
        { common, 4, 0, "none", "none" },
        { alone.substr(0, 127), 4, 1, "none", "4" },
        { alone, 3, 1, "none", "3" },
        { alone, 0, 0, "none", "3" },  // boot start, nonsense: refused
        { alone, 5, 0, "none", "3" },
        { "Vx Nobody", 4, 0, "none", "3" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, SetServiceStartType(c.title.c_str(), c.start)) << c.start;
        EXPECT_EQ(c.one, StartOf("VxCutOne")) << c.start;
        EXPECT_EQ(c.alone, StartOf("VxAlone")) << c.start;
    }
}

// --- A real service --------------------------------------------------------------------------

// The manager's own names find the service where the key's DisplayName says
// otherwise, and a new start type holds at once.  Rejecting stops and
// disables it, each step with its line, and only then is it known: lines
// stand for steps that were carried out.
TEST_F(Services, RealServiceThroughTheManager)
{
    // A service of Wine's own, demand start, that takes a stop.
    scm_ = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    service_ = OpenServiceA(scm_, kSvcKey, SERVICE_ALL_ACCESS);
    ASSERT_TRUE(service_ != NULL) << GetLastError();
    char text[256];
    ASSERT_EQ(1, GetServiceTitle(kSvcKey, text, sizeof(text)));
    EXPECT_STREQ(kSvcTitle, text);
    EXPECT_EQ(0, GetServiceTitle("VxNoSuchService", text, sizeof(text)));
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath(kSvcKey).c_str(), "DisplayName", "Stale");
    ASSERT_GT(EnumServices(0), 0);
    ASSERT_TRUE(Listed(kSvcTitle) != NULL);
    ItemRecord item = *Listed(kSvcTitle);
    EXPECT_EQ(3, ServiceStartTypeText(kSvcTitle, text, sizeof(text)));
    EXPECT_STREQ("Manual", text);
    ASSERT_EQ(1, SetServiceStartType(kSvcTitle, 2));
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, ManagerStartType()) << "seen by the manager at once";

    ASSERT_TRUE(StartServiceA(service_, 0, NULL)) << GetLastError();
    ASSERT_EQ((DWORD)SERVICE_RUNNING, WaitFor(SERVICE_RUNNING));
    EXPECT_EQ(1, g_ServicesCategory.Act(&item, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_EQ((DWORD)SERVICE_STOPPED, WaitFor(SERVICE_STOPPED));
    EXPECT_EQ((DWORD)SERVICE_DISABLED, ManagerStartType());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, kSvcTitle, "700");
    EXPECT_EQ("SERVICE__from_Disabled SERVICE_Stop SERVICE_Disabled ", HistoryActions());

    // Again, now stopped: no stop line.  A service that is gone: nothing
    // done, nothing written, still unknown.
    DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
    EXPECT_EQ(1, g_ServicesCategory.Act(&item, VERDICT_NEW, ANSWER_REJECT));
    TextCopy(item.Name, "Vx Gone Service");
    EXPECT_EQ(0, g_ServicesCategory.Act(&item, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_EQ("SERVICE_Disabled ", HistoryActions());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx Gone Service");
}
