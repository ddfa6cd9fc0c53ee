// The monitor's side of the delayed-start list: counting it at start and
// launching each program when its time comes.
#include "startup/delayed_start.h"

#include <shellapi.h>
#include <stdlib.h>

#include "foundation/handles.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/ui.h"
#include "foundation/utils.h"

static const char* const s_recordKeys[] = {
    VX_DELAY_KEY, VX_DELAY_KEY "\\Time", VX_DELAY_KEY "\\Parameters",
    VX_DELAY_KEY "\\Shortcuts", VX_DELAY_KEY "\\Applet", VX_DELAY_KEY "\\Title",
};

static int CountValues(HKEY root, const char* path)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS)
        return 0;
    return (int)count;
}

int CountDelayedPrograms()
{
    return CountValues(HKEY_LOCAL_MACHINE, VX_DELAY_KEY) +
           CountValues(HKEY_CURRENT_USER, VX_DELAY_KEY);
}

void DeleteDelayRecord(HKEY root, const char* programKey)
{
    for (const char* key : s_recordKeys)
        RegDeleteValueNamed(root, key, programKey);
}

int LaunchProgram(const char* program, const char* parameters)
{
    HWND owner = UiOwner();
    if (owner != NULL)
        SetForegroundWindow(owner);
    char openAs[16];
    RegReadString(HKEY_CURRENT_USER, VX_DELAY_KEY "\\OpenAs", program, openAs, sizeof(openAs));
    static const int shows[3] = { SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED };
    int state = atoi(openAs);
    int show = state >= 0 && state <= 2 ? shows[state] : SW_SHOWNORMAL;
    const char* args = parameters[0] != '\0' ? parameters : NULL;
    if ((INT_PTR)ShellExecuteA(owner, "open", program, args, NULL, show) > 32)
        return 0;
    return (INT_PTR)ShellExecuteA(owner, NULL, program, NULL, NULL, show) > 32 ? 0 : 1;
}

// One program whose time has come: started unless it runs already.
static void LaunchDue(HKEY root, const char* programKey)
{
    char parameters[VX_REG_TEXT_MAX], applet[VX_PATH];
    RegReadString(root, VX_DELAY_KEY "\\Parameters", programKey, parameters, sizeof(parameters));
    RegReadString(root, VX_DELAY_KEY "\\Applet", programKey, applet, sizeof(applet));
    char file[VX_PATH];
    ExpandProgramPath(programKey, file);
    if (file[0] != '\0' && FindProcessByFile(file) != 0)
        return;
    if (applet[0] != '\0') {
        // The applet gets the program and its parameters as one text; a
        // RUNDLL32 parameter text begins with its own comma.
        char line[VX_REG_TEXT_MAX];
        TextCopy(line, programKey);
        TextAppend(line, parameters);
        LaunchProgram(applet, line);
    } else {
        LaunchProgram(programKey, parameters);
    }
}

static int RunDueIn(HKEY root, int seconds)
{
    RegKey key;
    if (key.Open(root, VX_DELAY_KEY "\\Time", KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    int handled = 0;
    for (DWORD index = 0;; index++) {
        char name[VX_PATH];
        char data[32];
        DWORD nameSize = sizeof(name), dataSize = sizeof(data) - 1, type = 0;
        LONG rc = RegEnumValueA(key, index, name, &nameSize, NULL, &type, (BYTE*)data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize < sizeof(data) ? dataSize : sizeof(data) - 1] = '\0';
        if (data[0] == '\0' || atoi(data) != seconds)
            continue;
        LaunchDue(root, name);
        handled++;
    }
    return handled;
}

int RunDelayedPrograms(int delaySeconds)
{
    return RunDueIn(HKEY_LOCAL_MACHINE, delaySeconds) + RunDueIn(HKEY_CURRENT_USER, delaySeconds);
}
