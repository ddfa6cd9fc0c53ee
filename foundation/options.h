// The user's options: REG_SZ decimal values under HKCU
// Software\Quillon\Vardex\Options, loaded in bulk into memory at start.
#pragma once
#include "foundation/registry_store.h"

enum OptionId {
    OPT_SendHistory, OPT_HideRusko, OPT_HideStartup, OPT_HideIEHelper,
    OPT_HideServices, OPT_HideActiveX, OPT_HideTasks, OPT_HideFileType,
    OPT_HideHidden, OPT_HideSystemFiles, OPT_HideHomePage, OPT_Format,
    OPT_ConfirmExit, OPT_Sound, OPT_History, OPT_HideMicrosoftServices,
    OPT_HideMicrosoftActiveX, OPT_IncludeKillBit, OPT_ActiveXListAll,
    OPT_LockFileTypes, OPT_ShowAllStartup, OPT_NoMicrosoftStartup,
    OPT_PlusFormat, OPT_MaxCookie,
    // Patrol periods, in minutes.
    OPT_Start, OPT_Cookies, OPT_Nuts, OPT_Tasks, OPT_IEHelpers, OPT_FileType,
    OPT_StartPage, OPT_HostFile, OPT_Services, OPT_Hidden, OPT_ActiveX, OPT_WinInit,
    // Real-time switches of the patrol.
    OPT_RealtimeStartup, OPT_RealtimeIEHelper, OPT_RealtimeSysFiles,
    OPT_RealtimeStartPage, OPT_RealtimeActiveX, OPT_RealtimeServices,
    OPT_RealtimeFileType, OPT_RealtimeHidden,
    OPT_ViewCookies, OPT_ExplorerMenu,
    // The monitor's change notices (0: the patrol alone).
    OPT_WatchChanges,
    OPT_COUNT
};

// The in-memory settings, filled by LoadOptions.
extern int g_Options[OPT_COUNT];

// Which program's defaults apply: the explorer keeps up to 4096 cookies in
// its list, the monitor 315.
void SetOptionsForExplorer(int explorer);

const char* OptionName(OptionId id);
int OptionDefault(OptionId id);

// The decimal value of the option (leading digits; letters give 0), or
// def when the value is missing or empty.
int OptionRead(const char* name, int def);

// Writes value as decimal text and then "Update" = "1".  Returns the result
// of the second write.
int OptionWrite(const char* name, int value);

// Reads every option of the list into g_Options, with the defaults.
void LoadOptions();

// Writes every option of the list from g_Options.
void SaveOptions();
