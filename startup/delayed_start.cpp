// The delayed-start list: the monitor's launcher, and the operations the
// explorer's Delayed Start and Startup pages call once the user has
// answered.
#include "startup/delayed_start.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "foundation/handles.h"
#include "foundation/paths.h"
#include "foundation/processes.h"
#include "foundation/text.h"
#include "foundation/ui.h"
#include "foundation/utils.h"
#include "foundation/version_info.h"
#include "startup/autostart.h"
#include "startup/startup_text.h"
#include "startup/startup_undo.h"

#define DELAY_TIME VX_DELAY_KEY "\\Time"
#define DELAY_TITLE VX_DELAY_KEY "\\Title"
#define DELAY_PARAMETERS VX_DELAY_KEY "\\Parameters"
#define DELAY_APPLET VX_DELAY_KEY "\\Applet"
#define DELAY_SHORTCUTS VX_DELAY_KEY "\\Shortcuts"
#define DELAY_OPEN_AS VX_DELAY_KEY "\\OpenAs"

static const char* const s_recordKeys[] = {
    VX_DELAY_KEY, DELAY_TIME, DELAY_PARAMETERS, DELAY_SHORTCUTS, DELAY_APPLET, DELAY_TITLE,
    DELAY_OPEN_AS,
};

static const HKEY s_roots[2] = { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };

// Calls visit for every program key of the list under root.
template <typename Visit> static void ForEachDelayed(HKEY root, Visit visit)
{
    RegKey key;
    if (key.Open(root, VX_DELAY_KEY, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; index++) {
        char name[VX_PATH];
        DWORD nameSize = sizeof(name);
        LONG rc = RegEnumValueA(key, index, name, &nameSize, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc == ERROR_SUCCESS && name[0] != '\0')
            visit(name);
    }
}

int CountDelayedPrograms()
{
    int count = 0;
    for (HKEY root : s_roots)
        ForEachDelayed(root, [&](const char*) { count++; });
    return count;
}

HKEY DelayRootOf(const ItemRecord* record)
{
    return record->Flag == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char* DelayProgramKeyOf(const ItemRecord* record)
{
    return record->Key[0] != '\0' ? record->Key : record->Command;
}

// The title the list shows; strings are the program's version texts.
static void DelayTitle(HKEY root, const char* programKey, char strings[VS_COUNT][VS_SLOT],
                       char* out, size_t outSize)
{
    RegReadString(root, DELAY_TITLE, programKey, out, (int)outSize);
    if (out[0] != '\0')
        return;
    if (strings[VS_PRODUCT_NAME][0] != '\0')
        TextCopy(out, outSize, strings[VS_PRODUCT_NAME]);
    else
        TextCopy(out, outSize, programKey + FileNameOffset(programKey));
    if (TextFindNoCase(out, "Microsoft\xAE Windows\xAE"))
        TextCopy(out, outSize, strings[VS_FILE_DESCRIPTION]);
}

int BuildDelayList(ItemList* list)
{
    ClearItems(list);
    for (int flag = 0; flag < 2; flag++) {
        HKEY root = s_roots[flag];
        ForEachDelayed(root, [&](const char* programKey) {
            char strings[VS_COUNT][VS_SLOT];
            GetVersionStrings(programKey, strings);
            char title[ITEM_NAME], code[16], extra[VX_PATH];
            DelayTitle(root, programKey, strings, title, sizeof(title));
            RegReadString(root, VX_DELAY_KEY, programKey, code, sizeof(code));
            int codeValue = atoi(code);
            extra[0] = '\0';
            if (codeValue == SC_STARTUP_FOLDER)
                RegReadString(root, DELAY_SHORTCUTS, programKey, extra, sizeof(extra));
            else
                TextCopy(extra, title);
            AddKeyedItem(list, programKey, title, programKey, extra,
                         strings[VS_FILE_DESCRIPTION], codeValue, flag);
        });
    }
    return ItemCount(list);
}

int DelayTimeOf(HKEY root, const char* programKey)
{
    char time[32];
    RegReadString(root, DELAY_TIME, programKey, time, sizeof(time));
    return DelaySeconds(time);
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
    // HKCU first: an all-users program keeps its state under HKLM.
    char openAs[16];
    if (RegReadString(HKEY_CURRENT_USER, DELAY_OPEN_AS, program, openAs, sizeof(openAs)) == 0)
        RegReadString(HKEY_LOCAL_MACHINE, DELAY_OPEN_AS, program, openAs, sizeof(openAs));
    static const int shows[3] = { SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED };
    int state = atoi(openAs);
    int show = state >= 0 && state <= 2 ? shows[state] : SW_SHOWNORMAL;
    const char* args = parameters[0] != '\0' ? parameters : NULL;
    if ((INT_PTR)ShellExecuteA(owner, "open", program, args, NULL, show) > 32)
        return 0;
    return (INT_PTR)ShellExecuteA(owner, NULL, program, NULL, NULL, show) > 32 ? 0 : 1;
}

int LaunchDelayedProgram(HKEY root, const char* programKey)
{
    char parameters[VX_REG_TEXT_MAX], applet[VX_PATH];
    RegReadString(root, DELAY_PARAMETERS, programKey, parameters, sizeof(parameters));
    RegReadString(root, DELAY_APPLET, programKey, applet, sizeof(applet));
    if (applet[0] == '\0')
        return LaunchProgram(programKey, parameters);
    // The applet gets the program and its parameters as one text, joined
    // as the startup place gets them back.
    char line[VX_REG_TEXT_MAX];
    DelayedCommandLine(programKey, parameters, "", line, sizeof(line));
    return LaunchProgram(applet, line);
}

int RunDelayedPrograms(int delaySeconds)
{
    int handled = 0;
    for (HKEY root : s_roots) {
        ForEachDelayed(root, [&](const char* programKey) {
            if (DelayLaunchStep(DelayTimeOf(root, programKey)) * 10 != delaySeconds)
                return;
            handled++;
            char file[VX_PATH];
            ExpandProgramPath(programKey, file);
            if (file[0] == '\0' || FindProcessByFile(file) == 0)
                LaunchDelayedProgram(root, programKey);
        });
    }
    return handled;
}

// --- The explorer's operations ---------------------------------------------------

// The places RestoreRemovedEntry can put an entry back into.
static int IsRestorableCode(int code)
{
    return (code >= 1 && code <= 7) || (code >= 11 && code <= 17) || code == SC_WIN_LOAD ||
           code == SC_WIN_RUN || code == SC_STARTUP_FOLDER;
}

int DelayRefusalOf(const ItemRecord* entry)
{
    if (entry->Code > 249 || TextFindNoCase(entry->Command, "vardex.exe"))
        return DELAY_MUST_STAY;
    return IsRestorableCode(entry->Code) ? DELAY_ALLOWED : DELAY_NOT_RESTORABLE;
}

HKEY DelayRootForCode(int code)
{
    return code > 9 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Writes one value and reads it back.
static int WriteChecked(HKEY root, const char* path, const char* name, const char* text)
{
    if (!RegWriteString(root, path, name, text))
        return 0;
    if (text[0] == '\0')
        return 1;  // an empty value reads as absent
    char back[VX_REG_TEXT_MAX];
    RegReadString(root, path, name, back, sizeof(back));
    return strcmp(back, text) == 0;
}

int MoveToDelayed(const ItemRecord* entry, HKEY root)
{
    if (DelayRefusalOf(entry) != DELAY_ALLOWED)
        return DELAY_REFUSED;
    char program[VX_REG_TEXT_MAX], parameters[VX_REG_TEXT_MAX], code[16];
    SplitDelayedCommand(entry->Command, entry->Flag == 1, program, sizeof(program),
                        parameters, sizeof(parameters));
    TEXT_FORMAT(code, "%d", entry->Code);
    int whole = program[0] != '\0' && strlen(program) < VX_PATH &&
                WriteChecked(root, VX_DELAY_KEY, program, code) &&
                WriteChecked(root, DELAY_TITLE, program, entry->Name) &&
                WriteChecked(root, DELAY_TIME, program, "30") &&
                (parameters[0] == '\0' ||
                 WriteChecked(root, DELAY_PARAMETERS, program, parameters)) &&
                (entry->Code != SC_STARTUP_FOLDER ||
                 WriteChecked(root, DELAY_SHORTCUTS, program, entry->Extra)) &&
                (entry->Flag != 1 || WriteChecked(root, DELAY_APPLET, program, "RunDLL32.exe"));
    if (!whole) {
        if (program[0] != '\0')
            DeleteDelayRecord(root, program);
        return DELAY_NOT_WRITTEN;
    }
    if (!RemoveStartupEntry(entry->Name, entry->Command, entry->Extra, entry->Code)) {
        DeleteDelayRecord(root, program);
        return DELAY_NOT_REMOVED;
    }
    char baseline[ITEM_COMMAND], marker[16];
    BaselineKeyOf(entry->Command, baseline, sizeof(baseline));
    TEXT_FORMAT(marker, "%d", SC_DELAYED);
    RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, baseline, marker);
    return DELAY_MOVED;
}

int AddDelayedProgram(const char* path, int allUsers)
{
    HKEY root = allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (path[0] == '\0' || strlen(path) >= VX_PATH)
        return 0;
    return RegWriteString(root, VX_DELAY_KEY, path, allUsers ? "1" : "11") &&
           RegWriteString(root, DELAY_TIME, path, "30");
}

void ReadDelayOptions(HKEY root, const char* programKey, DelayOptions* options)
{
    options->Seconds = DelayTimeOf(root, programKey);
    char openAs[16];
    RegReadString(root, DELAY_OPEN_AS, programKey, openAs, sizeof(openAs));
    int state = atoi(openAs);
    options->OpenAs = state >= 0 && state <= 2 ? state : 0;
    RegReadString(root, DELAY_PARAMETERS, programKey, options->Parameters,
                  sizeof(options->Parameters));
    RegReadString(root, DELAY_TITLE, programKey, options->Title, sizeof(options->Title));
}

int WriteDelayOptions(HKEY root, const char* programKey, const DelayOptions* options)
{
    char time[16], openAs[16];
    TEXT_FORMAT(time, "%d", options->Seconds);
    TEXT_FORMAT(openAs, "%d", options->OpenAs);
    int ok = RegWriteString(root, DELAY_TIME, programKey, time);
    ok &= RegWriteString(root, DELAY_OPEN_AS, programKey, openAs);
    ok &= RegWriteString(root, DELAY_PARAMETERS, programKey, options->Parameters);
    ok &= RegWriteString(root, DELAY_TITLE, programKey, options->Title);
    return ok;
}

int RestoreDelayed(const ItemRecord* record)
{
    HKEY root = DelayRootOf(record);
    const char* programKey = DelayProgramKeyOf(record);
    char parameters[VX_REG_TEXT_MAX], applet[VX_PATH], title[ITEM_NAME];
    RegReadString(root, DELAY_PARAMETERS, programKey, parameters, sizeof(parameters));
    RegReadString(root, DELAY_APPLET, programKey, applet, sizeof(applet));
    RegReadString(root, DELAY_TITLE, programKey, title, sizeof(title));
    // A startup place needs a name: the file's, when the title is empty.
    if (title[0] == '\0')
        TextCopy(title, programKey + FileNameOffset(programKey));
    int ok;
    if (record->Code == SC_STARTUP_FOLDER) {
        char link[VX_PATH];
        RegReadString(root, DELAY_SHORTCUTS, programKey, link, sizeof(link));
        ok = RestoreRemovedShortcut(title, programKey, parameters, link);
    } else {
        char command[VX_REG_TEXT_MAX];
        DelayedCommandLine(programKey, parameters, applet, command, sizeof(command));
        ok = IsRestorableCode(record->Code) &&
             RestoreRemovedEntry(title, command, "", record->Code);
    }
    if (ok)
        DeleteDelayRecord(root, programKey);
    return ok;
}

int RestoreAllDelayed()
{
    ItemList list;
    int count = BuildDelayList(&list);
    int restored = 0;
    for (int i = 0; i < count; i++)
        restored += RestoreDelayed(GetItem(&list, i));
    return restored;
}

const Category g_DelayedCategory = {
    "Delayed", NULL, NULL, -1, -1, -1, 0, NULL, NULL, 0,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, BuildDelayList,
};
