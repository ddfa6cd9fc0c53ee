// Services against Wine's real service manager and registry: keys planted
// straight into HKLM ...\Services (known to the registry only), and a real
// service, this very program started with "--vx-service", registered with
// the control manager, started, stopped and disabled.
#include <windows.h>

#include <string>
#include <vector>

#include "categories/category.h"
#include "categories/services.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/item_list.h"
#include "support/vxtest.h"

// --- This program as a service ----------------------------------------------

static SERVICE_STATUS_HANDLE g_StatusHandle;
static SERVICE_STATUS g_Status;
static HANDLE g_StopEvent;

static DWORD WINAPI ServiceHandler(DWORD control, DWORD, LPVOID, LPVOID)
{
    if (control == SERVICE_CONTROL_STOP) {
        g_Status.dwCurrentState = SERVICE_STOP_PENDING;
        SetServiceStatus(g_StatusHandle, &g_Status);
        SetEvent(g_StopEvent);
    } else if (control == SERVICE_CONTROL_INTERROGATE) {
        SetServiceStatus(g_StatusHandle, &g_Status);
    }
    return NO_ERROR;
}

static void WINAPI ServiceMain(DWORD, LPSTR*)
{
    g_StopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    g_StatusHandle = RegisterServiceCtrlHandlerExA("", ServiceHandler, NULL);
    g_Status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_Status.dwControlsAccepted = SERVICE_ACCEPT_STOP;
    g_Status.dwCurrentState = SERVICE_RUNNING;
    SetServiceStatus(g_StatusHandle, &g_Status);
    WaitForSingleObject(g_StopEvent, 60000);
    g_Status.dwCurrentState = SERVICE_STOPPED;
    SetServiceStatus(g_StatusHandle, &g_Status);
}

// Runs before main: started by the service manager, this program is the
// service and never reaches the tests.
static int RunAsServiceIfAsked()
{
    if (strstr(GetCommandLineA(), "--vx-service") == NULL)
        return 0;
    SERVICE_TABLE_ENTRYA table[2] = { { (LPSTR) "", ServiceMain }, { NULL, NULL } };
    StartServiceCtrlDispatcherA(table);
    ExitProcess(0);
    return 1;
}
static int s_asService = RunAsServiceIfAsked();

// --- Helpers ----------------------------------------------------------------------

static const char* kSvcKey = "VxTestSvc";
static const char* kSvcTitle = "Vx Test Service";

static std::string KeyPath(const std::string& keyName)
{
    return std::string(SERVICES_KEY "\\") + keyName;
}

static void Plant(const std::string& keyName, const char* imagePath, const char* displayName)
{
    if (imagePath != NULL)
        vxtest::SetValue(HKEY_LOCAL_MACHINE, KeyPath(keyName).c_str(), "ImagePath",
                         REG_EXPAND_SZ, imagePath, (DWORD)strlen(imagePath) + 1);
    else
        vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath(keyName).c_str(), "Type", "x");
    if (displayName != NULL)
        vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath(keyName).c_str(), "DisplayName",
                          displayName);
}

static const ItemRecord* Listed(const char* name)
{
    for (int i = 0; i < ItemCount(); i++)
        if (TextEqualNoCase(GetItemName(i), name))
            return GetItem(i);
    return NULL;
}

static int DwordOf(const std::string& keyName, const char* value)
{
    DWORD data = 0xFFFF, size = sizeof(data), type = 0;
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, KeyPath(keyName).c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS ||
        RegQueryValueExA(key, value, NULL, &type, (BYTE*)&data, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return -1;
    return (int)data;
}

static DWORD ScmStartType(const char* keyName)
{
    SC_HANDLE scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(scm, keyName, SERVICE_QUERY_CONFIG);
    BYTE buffer[8192];
    DWORD needed = 0, start = 0xFFFF;
    if (service != NULL &&
        QueryServiceConfigA(service, (QUERY_SERVICE_CONFIGA*)buffer, sizeof(buffer), &needed))
        start = ((QUERY_SERVICE_CONFIGA*)buffer)->dwStartType;
    if (service != NULL)
        CloseServiceHandle(service);
    CloseServiceHandle(scm);
    return start;
}

// The action names of history.txt, in order.
static std::vector<std::string> HistoryActions()
{
    char path[VX_PATH];
    HistoryFilePath(path);
    std::string text = vxtest::ReadFileText(path);
    std::vector<std::string> actions;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        size_t tab = line.find('\t');
        if (tab != std::string::npos)
            actions.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
        pos = end == std::string::npos ? text.size() : end + 1;
    }
    return actions;
}

static void ClearHistory()
{
    char path[VX_PATH];
    HistoryFilePath(path);
    DeleteFileA(path);
}

class Services : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        ClearHistory();
    }
    void TearDown() override
    {
        for (const std::string& key : planted_)
            RegDeleteKeyTree(HKEY_LOCAL_MACHINE, KeyPath(key).c_str());
        ClearItems();
    }
    void PlantKey(const std::string& keyName, const char* imagePath, const char* displayName)
    {
        planted_.push_back(keyName);
        Plant(keyName, imagePath, displayName);
    }
    std::vector<std::string> planted_;
};

// A real service: this program, registered with the control manager.
class RealService : public Services {
protected:
    void SetUp() override
    {
        Services::SetUp();
        std::string command = "\"" + vxtest::PathInProgramFolder("categories_test_services.exe") +
                              "\" --vx-service";
        scm_ = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
        ASSERT_TRUE(scm_ != NULL);
        service_ = CreateServiceA(scm_, kSvcKey, kSvcTitle, SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                  SERVICE_ERROR_IGNORE, command.c_str(), NULL, NULL, NULL, NULL,
                                  NULL);
        ASSERT_TRUE(service_ != NULL) << GetLastError();
    }
    void TearDown() override
    {
        if (service_ != NULL) {
            SERVICE_STATUS status;
            ControlService(service_, SERVICE_CONTROL_STOP, &status);
            WaitStopped();
            DeleteService(service_);
            CloseServiceHandle(service_);
        }
        if (scm_ != NULL)
            CloseServiceHandle(scm_);
        Services::TearDown();
    }
    void Start()
    {
        ASSERT_TRUE(StartServiceA(service_, 0, NULL)) << GetLastError();
        for (int i = 0; i < 100 && CurrentState() != SERVICE_RUNNING; i++)
            Sleep(50);
        ASSERT_EQ((DWORD)SERVICE_RUNNING, CurrentState());
    }
    DWORD CurrentState()
    {
        SERVICE_STATUS status;
        return QueryServiceStatus(service_, &status) ? status.dwCurrentState : 0;
    }
    void WaitStopped()
    {
        for (int i = 0; i < 100 && CurrentState() != SERVICE_STOPPED; i++)
            Sleep(50);
    }
    SC_HANDLE scm_ = NULL;
    SC_HANDLE service_ = NULL;
};

// --- The listing ----------------------------------------------------------------------

TEST_F(Services, FullListingOfPlantedKeys)
{
    std::string longPath = "C:\\Program Files\\Vx\\long.exe " + std::string(1500, 'a');
    std::string longDescription(10000, 'd');
    PlantKey("VxDriver", "system32\\drivers\\vxdriver.sys", "Vx Driver");
    PlantKey("VxHosted", "%SystemRoot%\\system32\\svchost.exe -k vxgroup", "Vx Hosted");
    vxtest::SetString(HKEY_LOCAL_MACHINE, (KeyPath("VxHosted") + "\\Parameters").c_str(),
                      "ServiceDll", "C:\\vx\\hosted.dll");
    PlantKey("VxHostNoDll", "C:\\windows\\system32\\svchost.exe -k vx", "Vx Host Without Dll");
    vxtest::SetString(HKEY_LOCAL_MACHINE, (KeyPath("VxHostNoDll") + "\\Parameters").c_str(),
                      "Other", "x");
    PlantKey("VxLong", longPath.c_str(), "Vx Long Command");
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath("VxLong").c_str(), "Description",
                      longDescription.c_str());
    PlantKey("VxEmpty", "", "Vx Empty");
    PlantKey("VxNoPath", NULL, "Vx No Path");
    PlantKey("VxDword", NULL, "Vx Dword Path");
    vxtest::SetDword(HKEY_LOCAL_MACHINE, KeyPath("VxDword").c_str(), "ImagePath", 5);
    PlantKey("VxNoTitle", "C:\\vx\\notitle.exe", NULL);
    PlantKey("VxFormat", "C:\\vx\\format.exe", "Vx %s%n%d");

    struct StartCase { const char* key; DWORD type; DWORD data; DWORD size; const char* text; };
    const StartCase starts[] = {
        { "VxAuto", REG_DWORD, 0x102, 4, "Automatic" },  // only the lowest byte counts
        { "VxManual", REG_DWORD, 3, 4, "Manual" },
        { "VxDisabled", REG_DWORD, 4, 4, "Disabled" },
        { "VxSystem", REG_DWORD, 1, 4, "0" },
        { "VxShort", REG_DWORD, 2, 2, "0" },             // fewer than 4 bytes
        { "VxText", REG_SZ, 0x32, 2, "0" },              // "2" as text
    };
    for (const StartCase& c : starts) {
        PlantKey(c.key, (std::string("C:\\vx\\") + c.key + ".exe").c_str(), c.key);
        vxtest::SetValue(HKEY_LOCAL_MACHINE, KeyPath(c.key).c_str(), "Start", c.type, &c.data,
                         c.size);
    }

    g_Options[OPT_HideMicrosoftServices] = 1;
    int count = EnumServices(0);
    ASSERT_GT(count, 0);
    EXPECT_EQ(count, ItemCount());

    EXPECT_EQ(NULL, Listed("Vx Driver"));
    EXPECT_EQ(NULL, Listed("Vx Empty"));
    EXPECT_EQ(NULL, Listed("Vx No Path"));
    EXPECT_EQ(NULL, Listed("Vx Dword Path"));

    const ItemRecord* hosted = Listed("Vx Hosted");
    ASSERT_TRUE(hosted != NULL);
    EXPECT_EQ(701, hosted->Code);
    EXPECT_STREQ("C:\\vx\\hosted.dll", hosted->Command);

    const ItemRecord* noDll = Listed("Vx Host Without Dll");
    ASSERT_TRUE(noDll != NULL);
    EXPECT_EQ(701, noDll->Code);
    EXPECT_TRUE(TextFindNoCase(noDll->Command, "svchost.exe -k vx"));

    // A command over the store's 1023 characters is still a service to watch.
    const ItemRecord* longOne = Listed("Vx Long Command");
    ASSERT_TRUE(longOne != NULL);
    EXPECT_EQ(700, longOne->Code);
    EXPECT_EQ(259u, strlen(longOne->Command));
    EXPECT_EQ(std::string(1023, 'd'), longOne->Info);

    const ItemRecord* noTitle = Listed("VxNoTitle");
    ASSERT_TRUE(noTitle != NULL) << "a key without a title is listed by its key name";

    const ItemRecord* format = Listed("Vx %s%n%d");
    ASSERT_TRUE(format != NULL);
    EXPECT_STREQ("C:\\vx\\format.exe", format->Command);

    for (const StartCase& c : starts) {
        const ItemRecord* item = Listed(c.key);
        ASSERT_TRUE(item != NULL) << c.key;
        EXPECT_STREQ(c.text, item->Extra) << c.key;
    }
}

TEST_F(Services, QuickListingTakesEveryKeyWithACommand)
{
    PlantKey("VxDriver", "system32\\drivers\\vxdriver.sys", "Vx Driver");
    PlantKey("VxEmpty", "", "Vx Empty");
    ASSERT_GT(EnumServices(1), 0);
    const ItemRecord* driver = Listed("VxDriver");
    ASSERT_TRUE(driver != NULL);
    EXPECT_EQ(700, driver->Code);
    EXPECT_STREQ("", driver->Command);
    EXPECT_EQ(NULL, Listed("VxEmpty"));
}

// A file without version information is listed; a file naming Microsoft
// as its company is left out of the list, but not out of the baseline.
TEST_F(Services, MicrosoftFilterListsOnlyOthersButBaselineKeepsAll)
{
    char found[VX_PATH] = "";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("C:\\windows\\system32\\*.exe", &data);
    while (find != INVALID_HANDLE_VALUE && found[0] == '\0') {
        char path[VX_PATH];
        TEXT_FORMAT(path, "C:\\windows\\system32\\%s", data.cFileName);
        static char strings[VS_COUNT][VS_SLOT];
        GetVersionStrings(path, strings);
        if (TextFindNoCase(strings[VS_COMPANY_NAME], "Microsoft"))
            TextCopy(found, path);
        if (!FindNextFileA(find, &data))
            break;
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    if (found[0] == '\0')
        GTEST_SKIP() << "no program of the prefix names Microsoft";
    PlantKey("VxMicrosoft", found, "Vx Microsoft One");
    std::string self = vxtest::PathInProgramFolder("categories_test_services.exe");
    PlantKey("VxNoVersion", "C:\\vx\\missing.exe", "Vx No Version");
    PlantKey("VxOurs", self.c_str(), "Vx Ours");

    g_Options[OPT_HideMicrosoftServices] = 1;
    EnumServices(0);
    EXPECT_EQ(NULL, Listed("Vx Microsoft One"));
    EXPECT_TRUE(Listed("Vx No Version") != NULL);
    EXPECT_TRUE(Listed("Vx Ours") != NULL);
    g_Options[OPT_HideMicrosoftServices] = 0;
    EnumServices(0);
    EXPECT_TRUE(Listed("Vx Microsoft One") != NULL);

    g_Options[OPT_HideMicrosoftServices] = 1;
    ASSERT_EQ(1, g_ServicesCategory.InitBaseline());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx Microsoft One", "700");
    EXPECT_EQ(0, ServicesChanged());
}

// --- The baseline and the quick pass ------------------------------------------------------

TEST_F(Services, QuickPassSeesOnlyServicesTheBaselineDoesNotKnow)
{
    PlantKey("VxFirst", "C:\\vx\\first.exe", "Vx First Title");
    PlantKey("VxDriver", "system32\\drivers\\vxdriver.sys", "Vx Driver");
    EXPECT_EQ(1, ServicesChanged()) << "no baseline: everything is new";
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "", "P");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx First Title", "700");
    // Titles differ from key names, drivers are not in the baseline: still
    // nothing unknown.
    EXPECT_EQ(0, ServicesChanged());
    EXPECT_EQ(0, g_ServicesCategory.List());

    PlantKey("VxSecond", "C:\\vx\\second.exe", "Vx Second Title");
    EXPECT_EQ(1, ServicesChanged());
    ASSERT_GT(g_ServicesCategory.List(), 0);
    void* context = g_ServicesCategory.BeginCompare();
    const ItemRecord* second = Listed("Vx Second Title");
    const ItemRecord* first = Listed("Vx First Title");
    ASSERT_TRUE(second != NULL && first != NULL);
    EXPECT_EQ(VERDICT_NEW, g_ServicesCategory.TellNew(second, context));
    EXPECT_EQ(VERDICT_KNOWN, g_ServicesCategory.TellNew(first, context));
    g_ServicesCategory.EndCompare(context);

    EXPECT_EQ(1, g_ServicesCategory.Act(second, VERDICT_NEW, ANSWER_ACCEPT));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx Second Title", "700");
    EXPECT_EQ(0, ServicesChanged());

    // A value "0" is not knowledge.
    vxtest::SetString(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx First Title", "0");
    EXPECT_EQ(1, ServicesChanged());
    EXPECT_EQ(VERDICT_NEW, g_ServicesCategory.TellNew(first, NULL));
}

TEST_F(Services, StartHookBuildsOnlyAnUnmarkedBaseline)
{
    PlantKey("VxFirst", "C:\\vx\\first.exe", "Vx First Title");
    vxtest::SetString(HKEY_CURRENT_USER, VX_SERVICES_KEY, "", "P");
    InitCategoryBaselines();
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx First Title");

    // A key without the mark (an upgrade from a build that did not watch
    // services, or a listing that failed) is built silently.
    vxtest::SetString(HKEY_CURRENT_USER, VX_SERVICES_KEY, "", "old");
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "", "P");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx First Title", "700");
}

// --- Titles, key names and the startup type ---------------------------------------------------

TEST_F(Services, TitlesCutAlikeAreNeverMistakenForOneAnother)
{
    std::string common(127, 'T');
    PlantKey("VxCutOne", "C:\\vx\\one.exe", (common + "one").c_str());
    PlantKey("VxCutTwo", "C:\\vx\\two.exe", (common + "two").c_str());
    std::string alone = std::string(126, 'L') + "Alone";
    PlantKey("VxLongAlone", "C:\\vx\\alone.exe", alone.c_str());

    EnumServices(0);
    int sharing = 0;
    for (int i = 0; i < ItemCount(); i++)
        sharing += common == GetItemName(i);
    EXPECT_EQ(2, sharing) << "both listed, each under the 127 characters kept";

    char keyName[256];
    EXPECT_EQ(0, ServiceKeyNameOfTitle(common.c_str(), keyName, sizeof(keyName)));
    EXPECT_STREQ("", keyName);
    EXPECT_EQ(0, SetServiceStartType(common.c_str(), 4));
    EXPECT_EQ(-1, DwordOf("VxCutOne", "Start"));
    EXPECT_EQ(-1, DwordOf("VxCutTwo", "Start"));

    // A long title of its own still finds its key when cut.
    EXPECT_EQ(1, SetServiceStartType(alone.substr(0, 127).c_str(), 4));
    EXPECT_EQ(4, DwordOf("VxLongAlone", "Start"));
}

TEST_F(Services, StartTypeOfAKeyOnlyTheRegistryKnows)
{
    PlantKey("VxPlanted", "C:\\vx\\planted.exe", "Vx Planted");
    struct { int start; int result; int stored; } cases[] = {
        { 3, 1, 3 }, { 2, 1, 2 }, { 4, 1, 4 },
        { 0, 0, 4 }, { 1, 0, 4 }, { 5, 0, 4 },  // boot, system, nonsense: refused
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.result, SetServiceStartType("Vx Planted", c.start)) << c.start;
        EXPECT_EQ(c.stored, DwordOf("VxPlanted", "Start")) << c.start;
    }
    char text[128];
    EXPECT_EQ(4, ServiceStartTypeText("Vx Planted", text, sizeof(text)));
    EXPECT_STREQ("Disabled", text);

    EXPECT_EQ(0, SetServiceStartType("Vx Nobody", 4));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, KeyPath("Vx Nobody").c_str()));
    EXPECT_EQ(0, ServiceStartTypeText("Vx Nobody", text, sizeof(text)));
    EXPECT_STREQ("Unknown", text);

    char state[128];
    EXPECT_EQ(0, ServiceStateText("Vx Planted", state));
    EXPECT_STREQ("Stopped", state);
    EXPECT_EQ(0, ServiceControlsAccepted("Vx Planted"));
    EXPECT_EQ(0, ControlServiceByTitle("Vx Planted", SERVICE_CONTROL_STOP));
}

TEST_F(Services, DescriptionForAFileMatchesProgramsAndHostedDlls)
{
    PlantKey("VxTool", "\"C:\\vx\\tool.exe\" /run", "Vx Tool");
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath("VxTool").c_str(), "Description", "Tool text");
    PlantKey("VxDll", "C:\\windows\\system32\\svchost.exe -k vx", "Vx Dll");
    vxtest::SetString(HKEY_LOCAL_MACHINE, (KeyPath("VxDll") + "\\Parameters").c_str(),
                      "ServiceDll", "C:\\vx\\hosted.dll");
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath("VxDll").c_str(), "Description", "Dll text");

    char out[ITEM_INFO];
    struct { const char* path; const char* text; } cases[] = {
        { "c:\\VX\\TOOL.EXE", "Tool text" },
        { "C:\\vx\\hosted.dll", "Dll text" },
        { "C:\\vx\\other.exe", "" },
        { "", "" },
    };
    for (auto& c : cases) {
        EXPECT_EQ((int)strlen(c.text), ServiceDescriptionForFile(c.path, out)) << c.path;
        EXPECT_STREQ(c.text, out) << c.path;
    }
}

// --- A real service --------------------------------------------------------------------------

TEST_F(RealService, TitleStateAndStartTypeGoThroughTheManager)
{
    char title[256];
    ASSERT_EQ(1, GetServiceTitle(kSvcKey, title, sizeof(title)));
    EXPECT_STREQ(kSvcTitle, title);
    EXPECT_EQ(0, GetServiceTitle("VxNoSuchService", title, sizeof(title)));
    EXPECT_STREQ("", title);

    // The key's DisplayName no longer says the title: the manager's name
    // still finds the service, and the start type is read under its key.
    vxtest::SetString(HKEY_LOCAL_MACHINE, KeyPath(kSvcKey).c_str(), "DisplayName", "Stale");
    EnumServices(0);
    EXPECT_TRUE(Listed(kSvcTitle) != NULL);
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, kSvcTitle, "700");
    EXPECT_EQ(0, ServicesChanged());
    char text[128];
    EXPECT_EQ(3, ServiceStartTypeText(kSvcTitle, text, sizeof(text)));
    EXPECT_STREQ("Manual", text);

    ASSERT_EQ(1, SetServiceStartType(kSvcTitle, 2));
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, ScmStartType(kSvcKey)) << "seen by the manager at once";
    EXPECT_EQ(2, DwordOf(kSvcKey, "Start"));

    char state[128];
    EXPECT_EQ(0, ServiceStateText(kSvcTitle, state));
    EXPECT_STREQ("Stopped", state);
    Start();
    int value = ServiceStateText(kSvcTitle, state);
    EXPECT_EQ(SERVICE_RUNNING, value >> 16);
    EXPECT_EQ(SERVICE_WIN32_OWN_PROCESS, value & 0xFFFF);
    EXPECT_STREQ("Running", state);
    EXPECT_EQ(value, QueryServiceState(kSvcTitle));
    EXPECT_EQ(SERVICE_ACCEPT_STOP, ServiceControlsAccepted(kSvcTitle) & SERVICE_ACCEPT_STOP);

    EXPECT_EQ(1, ControlServiceByTitle(kSvcTitle, SERVICE_CONTROL_STOP));
    WaitStopped();
    EXPECT_EQ((DWORD)SERVICE_STOPPED, CurrentState());
}

// Reject: the running service is stopped and disabled, each step with its
// line, and only then known.  Lines stand for steps that were carried out.
TEST_F(RealService, RejectStopsDisablesAndWritesOnlyWhatHappened)
{
    Start();
    ASSERT_GT(EnumServices(0), 0);
    const ItemRecord* item = Listed(kSvcTitle);
    ASSERT_TRUE(item != NULL);
    ItemRecord copy = *item;

    AlertRequest request;
    g_ServicesCategory.Describe(&copy, VERDICT_NEW, &request);
    EXPECT_EQ(ALERT_SERVICE, request.Kind);
    EXPECT_STREQ(kSvcTitle, request.Name);
    EXPECT_STREQ(copy.Command, request.File);
    EXPECT_EQ(700, request.TypeCode);

    EXPECT_EQ(1, g_ServicesCategory.Act(&copy, VERDICT_NEW, ANSWER_REJECT));
    WaitStopped();
    EXPECT_EQ((DWORD)SERVICE_STOPPED, CurrentState());
    EXPECT_EQ((DWORD)SERVICE_DISABLED, ScmStartType(kSvcKey));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_SERVICES_KEY, kSvcTitle, "700");
    std::vector<std::string> expected = { "SERVICE__from_Disabled", "SERVICE_Stop",
                                          "SERVICE_Disabled" };
    EXPECT_EQ(expected, HistoryActions());

    // Again, now stopped: nothing to stop, so no stop line.
    ClearHistory();
    EXPECT_EQ(1, g_ServicesCategory.Act(&copy, VERDICT_NEW, ANSWER_REJECT));
    expected = { "SERVICE_Disabled" };
    EXPECT_EQ(expected, HistoryActions());

    // A service that is gone: nothing done, nothing written, still unknown.
    ClearHistory();
    ItemRecord gone = copy;
    TextCopy(gone.Name, "Vx Gone Service");
    EXPECT_EQ(0, g_ServicesCategory.Act(&gone, VERDICT_NEW, ANSWER_REJECT));
    EXPECT_TRUE(HistoryActions().empty());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_SERVICES_KEY, "Vx Gone Service");
    EXPECT_EQ(0, g_ServicesCategory.Act(&gone, VERDICT_NEW, ANSWER_NONE));
}
