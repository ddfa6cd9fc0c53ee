#include "foundation/options.h"

#include <stdlib.h>

#include "foundation/text.h"

int g_Options[OPT_COUNT];

static int s_explorer = 0;

struct OptionEntry {
    const char* name;
    int def;
};

// In the order of OptionId.
static const OptionEntry s_optionTable[OPT_COUNT] = {
    { "SendHistory", 0 }, { "HideRusko", 0 }, { "HideStartup", 0 }, { "HideIEHelper", 0 },
    { "HideServices", 0 }, { "HideActiveX", 0 }, { "HideTasks", 0 }, { "HideFileType", 0 },
    { "HideHidden", 0 }, { "HideSystemFiles", 0 }, { "HideHomePage", 0 }, { "Format", 0 },
    { "ConfirmExit", 0 }, { "Sound", 1 }, { "History", 1 }, { "HideMicrosoftServices", 1 },
    { "HideMicrosoftActiveX", 0 }, { "IncludeKillBit", 0 }, { "ActiveXListAll", 0 },
    { "LockFileTypes", 0 }, { "ShowAllStartup", 0 }, { "NoMicrosoftStartup", 0 },
    { "PlusFormat", 0 }, { "MaxCookie", 315 },
    { "Start", 2 }, { "Cookies", 0 }, { "Nuts", 0 }, { "Tasks", 11 }, { "IEHelpers", 2 },
    { "FileType", 10 }, { "StartPage", 2 }, { "HostFile", 3 }, { "Services", 7 },
    { "Hidden", 0 }, { "ActiveX", 4 }, { "WinInit", 5 },
    { "RealtimeStartup", 1 }, { "RealtimeIEHelper", 1 }, { "RealtimeSysFiles", 1 },
    { "RealtimeStartPage", 1 }, { "RealtimeActiveX", 1 }, { "RealtimeServices", 1 },
    { "RealtimeFileType", 0 }, { "RealtimeHidden", 0 },
    { "ViewCookies", 0 }, { "ExplorerMenu", 1 },
    { "WatchChanges", 1 },
};

void SetOptionsForExplorer(int explorer)
{
    s_explorer = explorer;
}

const char* OptionName(OptionId id)
{
    return (id >= 0 && id < OPT_COUNT) ? s_optionTable[id].name : "";
}

int OptionDefault(OptionId id)
{
    if (id == OPT_MaxCookie && s_explorer)
        return 4096;
    return (id >= 0 && id < OPT_COUNT) ? s_optionTable[id].def : 0;
}

int OptionRead(const char* name, int def)
{
    char text[128];
    if (RegReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, text, sizeof(text)) == 0)
        return def;
    return (int)strtol(text, NULL, 10);
}

int OptionWrite(const char* name, int value)
{
    char text[16];
    TEXT_FORMAT(text, "%d", value);
    RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, text);
    return RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");
}

void LoadOptions()
{
    for (int i = 0; i < OPT_COUNT; i++)
        g_Options[i] = OptionRead(s_optionTable[i].name, OptionDefault((OptionId)i));
}

void SaveOptions()
{
    for (int i = 0; i < OPT_COUNT; i++)
        OptionWrite(s_optionTable[i].name, g_Options[i]);
}
