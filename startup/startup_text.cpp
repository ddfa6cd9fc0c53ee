#include "startup/startup_text.h"

#include <string.h>

#include "resources/fragments/startup.h"

#include "foundation/path_text.h"
#include "foundation/text.h"

static const char* SkipLeadingBlanks(const char* text)
{
    while (*text == ' ')
        text++;
    return text;
}

// The part after the first separator (blanks skipped); when the separator
// ends the value, the part before it.
static void PartAfter(const char* value, const char* separator, char* out, size_t outSize)
{
    if (separator[1] == '\0')
        TextCopyN(out, outSize, value, (size_t)(separator - value));
    else
        TextCopy(out, outSize, SkipLeadingBlanks(separator + 1));
}

int UserinitEntry(const char* value, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (value == NULL)
        return 0;
    const char* comma = strchr(value, ',');
    if (comma == NULL)
        return 0;
    PartAfter(value, comma, out, outSize);
    return 1;
}

int ShellEntry(const char* value, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (value == NULL)
        return 0;
    const char* blank = strchr(value, ' ');
    if (blank == NULL)
        TextCopy(out, outSize, value);
    else
        PartAfter(value, blank, out, outSize);
    return out[0] != '\0';
}

int NextListSpan(const char* text, size_t* pos, const char* separators, size_t* start,
                 size_t* length)
{
    size_t p = *pos;
    if (text == NULL || text[p] == '\0')
        return 0;
    size_t n = strcspn(text + p, separators);
    *start = p;
    *length = n;
    p += n;
    if (text[p] != '\0')
        p++;
    *pos = p;
    return 1;
}

int SpanEqualsNoCase(const char* text, size_t start, size_t length, const char* item)
{
    if (item == NULL || strlen(item) != length)
        return 0;
    for (size_t i = 0; i < length; i++) {
        char a = text[start + i], b = item[i];
        if (a >= 'a' && a <= 'z')
            a = (char)(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = (char)(b - 'a' + 'A');
        if (a != b)
            return 0;
    }
    return 1;
}

// --- What the Startup page shows of a code ------------------------------------

struct CodeName {
    int code;
    const char* name;
};

static const CodeName kTypeNames[] = {
    { 1, "HKLM_RUN" }, { 2, "HKLM_RUNONCE" }, { 3, "HKLM_RUNONCEEX" },
    { 4, "HKLM_RUNSERVICES" }, { 5, "HKLM_RUNSERVICESONCE" }, { 6, "HKLM_RUNONCESETUP" },
    { 7, "HKLM_POLICY" }, { 11, "HKCU_RUN" }, { 12, "HKCU_RUNONCE" },
    { 13, "HKCU_RUNONCEEX" }, { 14, "HKCU_RUNSERVICES" }, { 15, "HKCU_RUNSERVICESONCE" },
    { 16, "HKCU_RUNONCESETUP" }, { 17, "HKCU_POLICY" }, { 21, "x64_RUN" },
    { 22, "x64_RUNONCE" }, { 23, "x64_RUNONCEEX" }, { 24, "x64_RUNSERVICES" },
    { 25, "x64_RUNSERVICESONCE" }, { 26, "x64_RUNONCESETUP" }, { 27, "x64_POLICY" },
    { 31, "RUN_POLICY" }, { 32, "W_RUNONCE" }, { 33, "W_RUNONCEEX" },
    { 34, "W_RUNSERVICES" }, { 35, "W_RUNSERVICESONCE" }, { 100, "WIN.INI_LOAD" },
    { 101, "WIN.INI_RUN" }, { 200, "STARTUP_FOLDER" }, { 250, "LOGON_USERINIT" },
    { 251, "LOGON_SHELL" }, { 252, "DELAYLOAD" }, { 253, "TASKSCHEDULER" },
    { 254, "SHELLHOOK" }, { 255, "APPINIT_DLL" }, { 256, "NOTIFY" },
};

const char* StartupTypeName(int code)
{
    for (const CodeName& entry : kTypeNames)
        if (entry.code == code)
            return entry.name;
    return "";
}

// The places with a fixed text; the Run families are spelled from their
// key names below.
static const CodeName kPlaces[] = {
    { 100, "WIN.INI     [Load] Section" },
    { 101, "WIN.INI     [Run] Section" },
    { 200, "Windows Startup Group" },
    { 250, "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon Userinit" },
    { 251, "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon Shell" },
    { 252, "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad" },
    { 253, "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler" },
    { 254, "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks" },
    { 255, "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows  AppInit_DLLs" },
    { 256, "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon Notify" },
};

static const char* const kRunKeyNames[] = {
    "Run", "RunOnce", "RunOnceEx", "RunServices", "RunServicesOnce",
};

int StartupLocationText(int code, int disabled, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (code > 256)
        return 0;
    if (disabled)
        TextAppend(out, outSize, " *    Disabled * ");
    int family = code / 10, position = code % 10;
    // Run, RunOnce ... RunServicesOnce of the three families.
    static const char* const kRoots[] = {
        "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\",
        "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\",
    };
    if (code >= 1 && position >= 1 && position <= 5 && family <= 2) {
        TextAppend(out, outSize, kRoots[family]);
        return (int)TextAppend(out, outSize, kRunKeyNames[position - 1]);
    }
    for (const CodeName& entry : kPlaces)
        if (entry.code == code)
            return (int)TextAppend(out, outSize, entry.name);
    return (int)TextLength(out, outSize);
}

int StartupPlaceTextId(int code)
{
    switch (code) {
    case 800: return 726;
    case 900: return 725;
    case 901: return 724;
    default: return 0;
    }
}

int StartupLocationTextId(int code)
{
    switch (code) {
    case 2: case 3: case 5: case 6: case 12: case 13: case 15: case 16:
    case 22: case 23: case 25: case 26:
        return IDS_RUNS_ONCE;
    case 100: case 101:
        return IDS_RUNS_FROM_WININI;
    case 200:
        return IDS_RUNS_FROM_FOLDER;
    default:
        return IDS_RUNS_ALWAYS;
    }
}

const char* StartupHookLabel(int code)
{
    switch (code) {
    case 250: return "WinLogon:UserInit";
    case 251: return "WinLogon:Shell";
    case 252: return "ObjectDelayLoad";
    case 253: return "SharedTaskScheduler";
    case 255: return "AppInit_DLLs";
    default: return "";
    }
}

// --- The delayed-start list --------------------------------------------------

int DelaySeconds(const char* text)
{
    const char* p = SkipLeadingBlanks(text);
    if (*p < '0' || *p > '9')
        return 0;  // empty, no number, or negative
    long value = 0;
    for (; *p >= '0' && *p <= '9' && value <= DELAY_TIME_MAX; p++)
        value = value * 10 + (*p - '0');
    return value > DELAY_TIME_MAX ? DELAY_TIME_MAX : (int)value;
}

int DelayLaunchStep(int seconds)
{
    return seconds <= 10 ? 1 : (seconds + 9) / 10;
}

void DelayTimeText(int seconds, const char* minutesWord, const char* secondsWord, char* out,
                   size_t outSize)
{
    if (seconds >= 60)
        TextFormat(out, outSize, "%d %s : %d %s", seconds / 60, minutesWord, seconds % 60,
                   secondsWord);
    else
        TextFormat(out, outSize, "%d %s", seconds, secondsWord);
}

int SplitDelayedCommand(const char* command, int applet, char* program, size_t programSize,
                        char* parameters, size_t parametersSize)
{
    if (applet) {
        const char* p = SkipLeadingBlanks(command);
        for (const char* q = p; *q != '\0'; q++) {
            if (strlen(q) >= 4 && SpanEqualsNoCase(q, 0, 4, ".dll") &&
                (q[4] == '\0' || q[4] == ',' || q[4] == ' ')) {
                TextCopyN(program, programSize, p, (size_t)(q + 4 - p));
                TextCopy(parameters, parametersSize, q + 4);
                return (int)strlen(program);
            }
        }
    }
    return SplitCommand(command, program, programSize, parameters, parametersSize);
}

void DelayedCommandLine(const char* program, const char* parameters, const char* applet,
                        char* out, size_t outSize)
{
    out[0] = '\0';
    if (applet[0] != '\0') {
        TextAppend(out, outSize, applet);
        TextAppend(out, outSize, " ");
    }
    TextAppend(out, outSize, program);
    if (parameters[0] != '\0' && parameters[0] != ',')
        TextAppend(out, outSize, " ");
    TextAppend(out, outSize, parameters);
}
