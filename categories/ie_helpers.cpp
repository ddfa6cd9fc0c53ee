// Browser helper objects, toolbars and extensions.  So far only the undo of
// a removal: the helper's own registration run again.
#include "categories/ie_helpers.h"

#include <windows.h>

#include <string.h>

#include "foundation/handles.h"
#include "foundation/history_line.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"

// Registers the helper again, quietly, as its removal unregistered it.
static int RegisterHelperAgain(const char* command)
{
    if (command[0] == '\0')
        return 0;
    char line[VX_PATH + 32];
    if (strchr(command, ' ') != NULL && command[0] != '"')
        TEXT_FORMAT(line, "regsvr32 /s \"%s\"", command);
    else
        TEXT_FORMAT(line, "regsvr32 /s %s", command);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    return 1;
}

static int UndoHelperLine(const ItemRecord* line)
{
    if (line->Flag != HA_IEHELPER_REMOVE)
        return -1;
    return RegisterHelperAgain(line->Command);
}

const Category g_IEHelpersCategory = {
    "IE Helpers", "IEHelper", VX_KEY "\\IEHelpers", OPT_IEHelpers, OPT_RealtimeIEHelper,
    OPT_HideIEHelper, 0, ALERT_HELPER, ALERT_HELPER, 0,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, UndoHelperLine,
};
