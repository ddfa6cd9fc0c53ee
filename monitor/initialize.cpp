// Start-up work on the registry store: first run, baselines, the version
// check, options, the context-menu verb and the own autostart state.
#include "foundation/detected.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/utils.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "resources/vardex_version.h"
#include "startup/autostart.h"

#include "categories/browser_pages.h"
#include "categories/category.h"
#include "startup/delayed_start.h"

static void WriteTodayAsDefault(HKEY root, const char* path)
{
    char date[VX_DATE_TEXT];
    FormatNow(date);
    RegWriteString(root, path, "", date);
}

static int DefaultValuePresent(HKEY root, const char* path)
{
    char text[128];
    return RegReadString(root, path, "", text, sizeof(text)) > 0;
}

static void CreateStoreKeys()
{
    static const char* const keys[] = {
        VX_PARENT_KEY, VX_KEY, VX_KEY "\\Nuts", VX_KEY "\\Cookies", VX_OPTIONS_KEY,
        VX_RUN_KEY, VX_KEY "\\IEHelpers", VX_KEY "\\HostFile", VX_KEY "\\Tasks",
    };
    for (const char* key : keys)
        RegCreateKeyPath(HKEY_CURRENT_USER, key);
}

// Rebuilds the startup, helper and task baselines when the stored version
// differs from this build (or there is none: a first start), or when
// "Cleanup" asks for it.  Each is recorded afresh and marked, so nothing
// built is thrown away after it.
static void CheckVersionStamp()
{
    char stored[128];
    if (RegReadString(HKEY_CURRENT_USER, VX_KEY, "Version", stored, sizeof(stored)) == 0) {
        CleanupRunRegistry();
        RegWriteString(HKEY_CURRENT_USER, VX_KEY, "Version", VX_VERSION_TEXT);
        return;
    }
    if (!ContainsNoCase(stored, VX_VERSION_TEXT)) {
        CleanupRunRegistry();
        RegWriteString(HKEY_CURRENT_USER, VX_KEY, "Version", VX_VERSION_TEXT);
        CreateInitialValues();
        return;
    }
    if (OptionRead("Cleanup", 0) != 0) {
        CleanupRunRegistry();
        OptionWrite("Cleanup", 0);
    }
}


// The verb opens the online lookup, which the explorer carries: without
// the explorer beside the monitor it would do nothing, and is not offered.
static int ExplorerPresent()
{
    char path[VX_PATH];
    if (GetProgramFolder(path) == 0)
        return 0;
    TextAppend(path, "\\VardexView.exe");
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

static void SyncExplorerMenuVerb()
{
    char verb[VX_PATH];
    int present = RegReadString(HKEY_CLASSES_ROOT, VX_VERB_KEY, "", verb, sizeof(verb)) > 0;
    int wanted = OptionRead("ExplorerMenu", 1) == 1 && ExplorerPresent();
    if (wanted && !present)
        SetExplorerMenuVerb(1);
    else if (!wanted && present)
        SetExplorerMenuVerb(0);
}

void InitializeMonitor()
{
    g_TraceBudget = 9999;
    g_Patrol.LastPatrolTime = GetTickCount();
    g_MessageLanguage = 0;
    SetMessageLanguage();
    TraceStart();

    g_Wow64Registry = RegKeyExists(HKEY_LOCAL_MACHINE,
                                   "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");

    int firstRun = !DefaultValuePresent(HKEY_CURRENT_USER, VX_KEY);
    if (firstRun) {
        CreateStoreKeys();
        WriteTodayAsDefault(HKEY_CURRENT_USER, VX_KEY);
    }
    // The clean-up a new version calls for comes before any baseline is
    // built: every baseline it throws away it records again, and the ones
    // it leaves are built below from what is there now.
    CheckVersionStamp();
    if (firstRun)
        CreateInitialValues();

    InitDetected();
    InitCategoryDetected();
    InitCategoryBaselines();
    SeedUpdateModeBaseline();
    ReloadOptions();
    SyncExplorerMenuVerb();
    g_AlwaysRun = SelfAutostartPresent();
    ResetDelayedLauncher(CountDelayedPrograms());
}

void CreateInitialValues()
{
    TraceNote("Create", "Create Initial Values");
    InitRegStartups();
    char plusName[64];
    LoadText(622, plusName, sizeof(plusName));
    RemoveStartupEntry(plusName, "vardex.exe", "", 1);
    SetMonitorAutostart(1);
}
