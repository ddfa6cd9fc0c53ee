// Services against Wine's real service manager and registry: keys planted
// straight into HKLM ...\Services (known to the registry only), and one of
// Wine's own services, started, stopped and disabled.
#include "categories/category.h"
#include "categories/services.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

using vxtest::Items;


typedef std::unique_ptr<SC_HANDLE__, decltype(&CloseServiceHandle)> ScGuard;
static std::string KeyPath(const std::string& keyName) { return SERVICES_KEY "\\" + keyName; }

static const ItemRecord* Listed(const char* name)
{
    for (int i = 0; i < ItemCount(Items()); i++)
        if (TextEqualNoCase(GetItemName(Items(), i), name))
            return GetItem(Items(), i);
    return NULL;
}

static std::string StartOf(const std::string& k)
{
    DWORD n = 0, size = sizeof(n);
    LONG rc = RegGetValueA(HKEY_LOCAL_MACHINE, KeyPath(k).c_str(), "Start", RRF_RT_REG_DWORD, 0, &n,
                           &size);
    return rc != ERROR_SUCCESS ? "none" : std::to_string(n);
}

// The action names of history.txt, each followed by a blank.
static std::string HistoryActions()
{
    std::string text = vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt")), actions;
    for (size_t at = text.find('\t'); at != text.npos; at = text.find('\t', text.find('\n', at)))
        actions += text.substr(at + 1, text.find('\t', at + 1) - at - 1) + " ";
    return actions;
}

// A key only the registry knows (each test plants its own names); title
// NULL: none.  A start value of the given type and size when size is not 0.
static void Plant(std::string k, std::string cmd, const char* title, DWORD type = 0,
    DWORD start = 0, DWORD size = 0)
{
    std::string p = KeyPath(k);
    vxtest::SetString(HKEY_LOCAL_MACHINE, p.c_str(), "Type", "x");
    vxtest::SetValue(HKEY_LOCAL_MACHINE, p.c_str(), "ImagePath", REG_EXPAND_SZ, cmd.c_str(),
        DWORD(cmd.size() + 1));
    if (title != NULL)
        vxtest::SetString(HKEY_LOCAL_MACHINE, p.c_str(), "DisplayName", title);
    if (size != 0)
        vxtest::SetValue(HKEY_LOCAL_MACHINE, p.c_str(), "Start", type, &start, size);
}

static void ForgetHistory() { DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str()); }
struct Services : ::testing::Test {
    void SetUp() override { vxtest::ResetStore(); LoadOptions(); ForgetHistory(); }
};

// A program naming Microsoft as its maker (one of the few of Wine's with a
// version resource) is left out of the list, but not out of the baseline:
// otherwise it would be asked about as new.  The quick pass then sees only
// services the baseline does not know ("0" is no knowledge).
TEST_F(Services, ListingOfPlantedKeysAndTheBaseline)
{
    Plant("VxMicrosoft", "C:\\windows\\system32\\regsvr32.exe", "Vx Microsoft One");
    Plant("VxDriver", "system32\\drivers\\vxdriver.sys", "Vx Driver");
    Plant("VxEmpty", "", "Vx Empty");
    Plant("VxHosted", "%SystemRoot%\\system32\\svchost.exe -k vx", "Vx Hosted");
    vxtest::SetString(
        HKEY_LOCAL_MACHINE, SERVICES_KEY "\\VxHosted\\Parameters", "ServiceDll", "C:\\vx\\h.dll");
    // A command longer than the store takes is cut, and still watched.
    Plant("VxLong", "C:\\vx\\long.exe " + std::string(1500, 'a'), "Vx Long");
    Plant("VxAuto", "C:\\vx\\start.exe", "VxAuto", REG_DWORD, 0x102,
        4); // only the lowest byte counts
    Plant("VxShort", "C:\\vx\\start.exe", "VxShort", REG_DWORD, 2, 2);    // fewer than 4 bytes
    Plant("VxText", "C:\\vx\\start.exe", "VxText", REG_SZ, 0x32, 2);      // "2" as text
    // A description; a shared-host service is coded 701 (in the baseline too)
    // and keeps the host's command when its ServiceDll is empty.
    Plant("VxOff", "C:\\vx\\off.exe", "Vx Off", REG_DWORD, 4, 4);
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath("VxOff").c_str(), "Description", "Kept off");
    Plant("VxNoDll", "%SystemRoot%\\system32\\svchost -k vxnodll", "Vx No Dll");
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath("VxNoDll\\Parameters").c_str(), "ServiceDll", "");
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath("VxHosted").c_str(), "Description", "Hosted");
    g_Options[OPT_HideMicrosoftServices] = 1;
    ASSERT_GT(EnumServices(Items(), 0), 0);
    EXPECT_FALSE(Listed("Vx Microsoft One") || Listed("Vx Driver") || Listed("Vx Empty"));
    ASSERT_TRUE(Listed("Vx Hosted"));
    ASSERT_TRUE(Listed("Vx Long"));
    ASSERT_TRUE(Listed("VxAuto"));
    ASSERT_TRUE(Listed("VxShort"));
    ASSERT_TRUE(Listed("VxText"));
    EXPECT_EQ("C:\\vx\\h.dll 259", std::string(Listed("Vx Hosted")->Command) + " " +
                                   std::to_string(strlen(Listed("Vx Long")->Command)));
    EXPECT_EQ("Automatic 0 0",
        std::string(Listed("VxAuto")->Extra) + " " + Listed("VxShort")->Extra + " "
            + Listed("VxText")->Extra);
    ASSERT_TRUE(Listed("Vx Off") != NULL);
    EXPECT_STREQ("Disabled", Listed("Vx Off")->Extra);
    EXPECT_STREQ("Kept off", Listed("Vx Off")->Info);
    ASSERT_TRUE(Listed("Vx No Dll") != NULL);
    EXPECT_STREQ("C:\\windows\\system32\\svchost -k vxnodll", Listed("Vx No Dll")->Command);
    EXPECT_EQ(SERVICE_CODE_SVCHOST, Listed("Vx No Dll")->Code);
    // The explorer finds a description by the hosted DLL.
    char text[1024];
    ServiceDescriptionForFile("C:\\vx\\h.dll", text);
    EXPECT_STREQ("Hosted", text);
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx No Dll", "701");
    EXPECT_EQ(0, ServicesChanged());
    Plant("VxSecond", "C:\\vx\\second.exe", "Vx Second");
    EXPECT_EQ(1, ServicesChanged());
    ASSERT_GT(g_ServicesCategory.List(Items()), 0);
    ItemRecord hosted = *Listed("Vx Hosted"), second = *Listed("Vx Second");
    EXPECT_EQ(1, g_ServicesCategory.Act(&second, VERDICT_NEW, ANSWER_ACCEPT));
    EXPECT_EQ(0, ServicesChanged());
    vxtest::SetString(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx Hosted", "0");
    EXPECT_TRUE(ServicesChanged() == 1);
    EXPECT_TRUE(g_ServicesCategory.TellNew(&hosted, NULL) == VERDICT_NEW);
    // Titles are kept to 127 characters: two cut alike name no key at all, a
    // long one of its own still does.  Only automatic, manual and disabled are
    // ever written.
    std::string common(127, 'T'), alone = std::string(126, 'L') + "Alone";
    Plant("VxCutOne", "C:\\vx\\one.exe", (common + "one").c_str());
    Plant("VxCutTwo", "C:\\vx\\two.exe", (common + "two").c_str());
    Plant("VxOwn", "C:\\vx\\alone.exe", alone.c_str());
    // want: the result, then the start of VxOwn.  Boot start (0) and
    // nonsense are refused.
    const struct { std::string name; int start; const char* want; } cases[] = {
        { common, 4, "0 none" }, { alone.substr(0, 127), 4, "1 4" }, { alone, 3, "1 3" },
        { alone, 0, "0 3" }, { alone, 5, "0 3" }, { "Vx Nobody", 4, "0 3" },
    };
    for (const auto& c : cases)  // (append: the start is read only after the setting)
        EXPECT_EQ(c.want,
            std::to_string(SetServiceStartType(c.name.c_str(), c.start))
                .append(" " + StartOf("VxOwn")));
    EXPECT_EQ("nonenone", StartOf("VxCutOne") + StartOf("VxCutTwo"));
    // The manager's own names find the service where the key's DisplayName says
    // otherwise, and a new start type holds at once.  Rejecting stops and
    // disables it, each step with its line, and only then is it known: lines
    // stand for steps that were carried out.
    // A service of Wine's own, demand start, that takes a stop.
    const char *kSvcKey = "Spooler", *kSvcTitle = "Print Spooler";
    ScGuard scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS), &CloseServiceHandle);
    ScGuard service(OpenServiceA(scm.get(), kSvcKey, SERVICE_ALL_ACCESS), &CloseServiceHandle);
    ASSERT_TRUE(service != nullptr) << GetLastError();
    auto state = [&](DWORD want) {
        SERVICE_STATUS status = {};
        for (int i = 0;
             i < 100 && QueryServiceStatus(service.get(), &status) && status.dwCurrentState != want;
             i++)
            Sleep(50);
        return status.dwCurrentState;
    };
    auto startType = [&]() {
        union { QUERY_SERVICE_CONFIGA config; BYTE bytes[8192]; } got;
        DWORD needed = 0,
              ok = QueryServiceConfigA(service.get(), &got.config, sizeof(got), &needed);
        return ok ? got.config.dwStartType : 0xFFFF;
    };
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath(kSvcKey).c_str(), "DisplayName", "Stale");
    ASSERT_GT(EnumServices(Items(), 0), 0);
    ASSERT_TRUE(Listed(kSvcTitle) != NULL);
    ItemRecord item = *Listed(kSvcTitle);
    EXPECT_EQ(3, ServiceStartTypeText(kSvcTitle, text, sizeof(text)));
    EXPECT_STREQ("Manual", text);
    ASSERT_EQ(1, SetServiceStartType(kSvcTitle, 2));
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, startType()) << "seen by the manager at once";
    ASSERT_TRUE(StartServiceA(service.get(), 0, NULL));
    ASSERT_TRUE(state(SERVICE_RUNNING) == SERVICE_RUNNING);
    ServiceStateText(kSvcTitle, text);
    EXPECT_STREQ("Running", text);
    EXPECT_EQ(1, g_ServicesCategory.Act(&item, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_TRUE(state(SERVICE_STOPPED) == SERVICE_STOPPED);
    EXPECT_TRUE(startType() == SERVICE_DISABLED);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, kSvcTitle, "700");
    EXPECT_EQ("SERVICE__from_Disabled SERVICE_Stop SERVICE_Disabled ", HistoryActions());
    // Again, now stopped: no stop line.  A service that is gone: nothing
    // done, nothing written, still unknown.
    ForgetHistory();
    EXPECT_EQ(1, g_ServicesCategory.Act(&item, VERDICT_NEW, ANSWER_REJECT));
    TextCopy(item.Name, "Vx Gone Service");
    EXPECT_EQ(0, g_ServicesCategory.Act(&item, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_EQ("SERVICE_Disabled ", HistoryActions());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx Gone Service");
    // The alert says "Unknown" for the startup type of a title it cannot find.
    ServiceStartTypeText("Vx Nobody", text, sizeof(text));
    EXPECT_STREQ("Unknown", text);
}


// A "No" that cannot be carried out (two services share the title the list
// keeps, so neither can be told apart to disable it) is told once; the
// service is then left alone, at no cost to the quick pass, until its
// start type or its command changes.
TEST_F(Services, ARejectionThatCannotHoldIsToldOnceAndAskedAgainOnAChange)
{
    ASSERT_EQ(1, BuildCategoryBaseline(&g_ServicesCategory));
    const std::string common(127, 'R');
    Plant("VxStuckOne", "C:\\vx\\stuck-one.exe", (common + "one").c_str(), REG_DWORD, 3, 4);
    Plant("VxStuckTwo", "C:\\vx\\stuck-two.exe", (common + "two").c_str(), REG_DWORD, 3, 4);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(2, PatrolCategory(&g_ServicesCategory));
    ASSERT_EQ(2u, user.notices.size());
    EXPECT_EQ(NOTICE_DISABLE_FAILED, user.notices[0].first);
    EXPECT_EQ(common, user.notices[0].second);
    EXPECT_EQ(0, ServicesChanged());
    EXPECT_EQ(0, PatrolCategory(&g_ServicesCategory));
    EXPECT_EQ(2u, user.notices.size());
    vxtest::SetDword(HKEY_LOCAL_MACHINE, KeyPath("VxStuckOne").c_str(), "Start", 2);
    EXPECT_EQ(1, ServicesChanged());
    EXPECT_EQ(1, PatrolCategory(&g_ServicesCategory));
    EXPECT_STREQ("C:\\vx\\stuck-one.exe", user.asked.back().File);
    Plant("VxStuckTwo", "C:\\vx\\moved.exe", NULL);
    EXPECT_EQ(1, PatrolCategory(&g_ServicesCategory));
    EXPECT_STREQ("C:\\vx\\moved.exe", user.asked.back().File);
}
