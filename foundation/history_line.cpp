#include "foundation/history_line.h"

#include "foundation/text.h"

struct HistoryCodeName {
    int code;
    const char* name;
};

// Lookups take the first match, in either direction.  "START_Restore" and
// "REMOVE_TASKSCHEDULER" also stand after the entries of codes 12 and 23:
// those two rows are only ever found by name, never written by code.
static const HistoryCodeName s_actions[] = {
    { 0, "*START_Remove" }, { 1, "START_Disable" }, { 2, "START_Enable" },
    { 3, "IEHELPER_Remove" }, { 4, "TASK_Remove" }, { 5, "TASK_Kill" },
    { 6, "START_Alert" }, { 7, "TASK_Alert" }, { 8, "IEHELPER_Alert" },
    { 9, "SERVICE_Stop" }, { 10, "SERVICE_Automatic" }, { 11, "SERVICE_Manual" },
    { 12, "SERVICE_Disabled" }, { 12, "START_Restore" }, { 13, "START_Restore" },
    { 14, "TASK_Restore" }, { 15, "IEHELPER_Restore" }, { 16, "ScheduledTask_Remove" },
    { 17, "SERVICE_from_Automatic" }, { 18, "SERVICE_from_Manual" },
    { 19, "SERVICE_from_Disabled" }, { 20, "SERVICE__from_Disabled" },
    { 21, "RESET_USERINIT" }, { 22, "RESET_SHELL" }, { 23, "REMOVE_TaskScheduler" },
    { 23, "REMOVE_TASKSCHEDULER" }, { 24, "REMOVE_DELAYLOAD" },
    { 25, "REMOVE_TASKSCHEDULER" }, { 26, "REMOVE_SHELLEXECUTEHOOK" },
    { 27, "REMOVE_APPINIT" }, { 28, "HIDDEN_Alert" }, { 29, "*HIDDEN_DeleteFile" },
    { 30, "REMOVE_WinLogonNotify" }, { 31, "LOG_UNKNOWN" },
};

static const HistoryCodeName s_types[] = {
    { 1, "MACHINE_RUN" }, { 2, "MACHINE_RUNONCE" }, { 3, "MACHINE_RUNONCEEX" },
    { 4, "MACHINE_RUNSERVICES" }, { 5, "MACHINE_RUNSERVICESONCE" },
    { 6, "MACHINE_RUNONCESETUP" }, { 7, "MACHINE_RUNPOLICY" },
    { 11, "CURRENT_RUN" }, { 12, "CURRENT_RUNONCE" }, { 13, "CURRENT_RUNONCEEX" },
    { 14, "CURRENT_RUNSERVICES" }, { 15, "CURRENT_RUNSERVICESONCE" },
    { 21, "WOW64_RUN" }, { 22, "WOW64_RUNONCE" }, { 23, "WOW64_RUNONCEEX" },
    { 24, "WOW64_RUNSERVICES" }, { 25, "WOW64_RUNSERVICESONCE" },
    { 31, "VARDEX_RUN" }, { 32, "VARDEX_RUNONCE" }, { 33, "VARDEX_RUNONCEEX" },
    { 34, "VARDEX_RUNSERVICES" }, { 35, "VARDEX_RUNSERVICESONCE" },
    { 100, "WIN_LOAD" }, { 101, "WIN_RUN" }, { 200, "GROUP_STARTUP" },
    { 250, "WINLOGON_Userinit" }, { 251, "WINLOGON_Shell" }, { 252, "REG_Delayload" },
    { 253, "REG_TaskScheduler" }, { 254, "REG_ShellExecuteHook" },
    { 255, "REG_AppInitDLLs" }, { 256, "RUN_WINLOGONNOTIFY" },
    { 300, "RESTART_DELETE" }, { 301, "RESTART_RENAME" }, { 350, "TYPE_MONITOR" },
    { 360, "TYPE_BLACKLIST" }, { 370, "TYPE_HIDDEN" }, { 400, "TYPE_FILETYPE" },
    { 450, "TYPE_PROSEARCH" }, { 500, "INFO_COOKIE" }, { 501, "INFO_NETCOOKIE" },
    { 502, "INFO_SAVECOOKIE" }, { 503, "INFO_NUTS" }, { 600, "INFO_TASK" },
    { 700, "SERVICE_EXE" }, { 701, "SERVICE_SVCHOST" }, { 800, "TASK_SCHEDULED" },
    { 900, "TYPE_BHO" }, { 901, "TYPE_TOOLBAR" }, { 902, "TYPE_EXTENSION" },
    { HISTORY_TYPE_UNKNOWN, "TYPE_UNKNOWN" },
};

#define COUNT_OF(a) (sizeof(a) / sizeof((a)[0]))

static const char* NameOf(const HistoryCodeName* table, size_t count, int code,
                          const char* none)
{
    for (size_t i = 0; i < count; i++)
        if (table[i].code == code)
            return table[i].name;
    return none;
}

static int CodeOf(const HistoryCodeName* table, size_t count, const char* name, int none)
{
    if (name == NULL || name[0] == '\0')
        return none;
    for (size_t i = 0; i < count; i++)
        if (TextEqualNoCase(table[i].name, name))
            return table[i].code;
    return none;
}

const char* HistoryActionName(int code)
{
    return NameOf(s_actions, COUNT_OF(s_actions), code, "");
}

int HistoryActionCode(const char* name)
{
    return CodeOf(s_actions, COUNT_OF(s_actions), name, HA_LOG_UNKNOWN);
}

int HistoryActionRestorable(int code)
{
    return HistoryActionName(code)[0] == '*';
}

const char* HistoryTypeName(int code)
{
    return NameOf(s_types, COUNT_OF(s_types), code, "TYPE_UNKNOWN");
}

int HistoryTypeCode(const char* name)
{
    return CodeOf(s_types, COUNT_OF(s_types), name, HISTORY_TYPE_UNKNOWN);
}

size_t FormatHistoryTime(unsigned month, unsigned day, unsigned year, unsigned hour,
                         unsigned minute, const char* neverText, char* out, size_t outSize)
{
    if (year == 0 && month == 0 && day == 0)
        return TextCopy(out, outSize, neverText);
    unsigned shown = hour % 12;
    if (shown == 0)
        shown = 12;
    return TextFormat(out, outSize, "%02u/%02u/%04u  %u:%02u %s", month, day, year, shown,
                      minute, hour >= 12 ? "PM" : "AM");
}

// Appends a field with its line-breaking characters turned into blanks.
static size_t AppendField(char* out, size_t outSize, size_t length, const char* field)
{
    if (field == NULL)
        return length;
    for (const char* p = field; *p != '\0' && length + 1 < outSize; p++) {
        char c = *p;
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
        out[length++] = c;
    }
    out[length] = '\0';
    return length;
}

size_t FormatHistoryLine(const char* time, const char* action, const char* type,
                         const char* name, const char* command, const char* info,
                         char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    if (outSize < 3)
        return 0;
    // Room for the text, then CR LF and the terminator.
    size_t textSize = outSize - 2;
    if (textSize > HISTORY_LINE_MAX - 1)
        textSize = HISTORY_LINE_MAX - 1;
    const char* fields[6] = { time, action, type, name, command, info };
    size_t length = 0;
    for (int i = 0; i < 6; i++) {
        if (i > 0 && length + 1 < textSize) {
            out[length++] = '\t';
            out[length] = '\0';
        }
        length = AppendField(out, textSize, length, fields[i]);
    }
    out[length++] = '\r';
    out[length++] = '\n';
    out[length] = '\0';
    return length;
}

// Copies a field of the line, or leaves it empty when it is over max.
static void TakeField(const char* start, size_t length, size_t max, char* out, size_t outSize)
{
    if (length > max)
        length = 0;
    TextCopyN(out, outSize, start, length);
}

void ParseHistoryLine(const char* line, size_t length, HistoryLineFields* out)
{
    out->Time[0] = out->Name[0] = out->Command[0] = out->Extra[0] = '\0';
    if (length > 0 && line[length - 1] == '\r')
        length--;
    char action[64] = "";
    char type[64] = "";
    size_t fieldStart = 0;
    int field = 0;
    for (size_t i = 0; i <= length && field < 6; i++) {
        if (i < length && line[i] != '\t')
            continue;
        const char* start = line + fieldStart;
        size_t n = i - fieldStart;
        switch (field) {
        case 0: TakeField(start, n, HISTORY_TIME_MAX, out->Time, sizeof(out->Time)); break;
        case 1: TakeField(start, n, sizeof(action) - 1, action, sizeof(action)); break;
        case 2: TakeField(start, n, sizeof(type) - 1, type, sizeof(type)); break;
        case 3: TakeField(start, n, HISTORY_NAME_MAX, out->Name, sizeof(out->Name)); break;
        case 4: TakeField(start, n, HISTORY_COMMAND_MAX, out->Command, sizeof(out->Command)); break;
        case 5: TakeField(start, n, HISTORY_EXTRA_MAX, out->Extra, sizeof(out->Extra)); break;
        }
        field++;
        fieldStart = i + 1;
    }
    out->Action = HistoryActionCode(action);
    out->Type = HistoryTypeCode(type);
}

int NextHistoryLine(const char* data, size_t size, size_t* pos, size_t* start, size_t* length)
{
    while (*pos < size) {
        size_t begin = *pos;
        size_t end = begin;
        while (end < size && data[end] != '\n')
            end++;
        *pos = end < size ? end + 1 : end;
        size_t n = end - begin;
        if (n > 0 && data[begin + n - 1] == '\r')
            n--;
        if (n > 0) {
            *start = begin;
            *length = n;
            return 1;
        }
    }
    return 0;
}

static int Unreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == '.' || c == '~';
}

size_t AppendQueryValue(char* out, size_t outSize, const char* key, const char* value)
{
    size_t length = TextLength(out, outSize);
    if (outSize == 0)
        return 0;
    size_t keyLength = TextLength(key, outSize);
    if (length + keyLength + 2 > outSize - 1)
        return length;
    out[length++] = '&';
    for (size_t i = 0; i < keyLength; i++)
        out[length++] = key[i];
    out[length++] = '=';
    out[length] = '\0';
    static const char hex[] = "0123456789ABCDEF";
    for (const unsigned char* p = (const unsigned char*)(value != NULL ? value : "");
         *p != '\0'; p++) {
        if (Unreserved(*p)) {
            if (length + 1 > outSize - 1)
                break;
            out[length++] = (char)*p;
        } else {
            if (length + 3 > outSize - 1)
                break;
            out[length++] = '%';
            out[length++] = hex[*p >> 4];
            out[length++] = hex[*p & 15];
        }
    }
    out[length] = '\0';
    return length;
}
