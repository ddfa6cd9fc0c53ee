// The text side of history.txt: the action and type code tables, the time
// stamp, the layout of one line, the reading of lines back, and the query
// encoding of the history report.
//
// Plain text logic only: no Windows header, so this also builds with the
// host compiler.  The Win32 side (history.cpp) reads the clock, the file and
// the registry and hands plain values in.
#pragma once
#include <stddef.h>

// Action codes of the history (a leading "*" on the name: the History
// dialog can reverse the action).
enum HistoryAction {
    HA_START_REMOVE = 0, HA_START_DISABLE = 1, HA_START_ENABLE = 2,
    HA_IEHELPER_REMOVE = 3, HA_TASK_REMOVE = 4, HA_TASK_KILL = 5,
    HA_START_ALERT = 6, HA_TASK_ALERT = 7, HA_IEHELPER_ALERT = 8,
    HA_SERVICE_STOP = 9, HA_SERVICE_AUTOMATIC = 10, HA_SERVICE_MANUAL = 11,
    HA_SERVICE_DISABLED = 12, HA_START_RESTORE = 13, HA_TASK_RESTORE = 14,
    HA_IEHELPER_RESTORE = 15, HA_SCHEDULEDTASK_REMOVE = 16,
    HA_SERVICE_FROM_AUTOMATIC = 17, HA_SERVICE_FROM_MANUAL = 18,
    HA_SERVICE_FROM_DISABLED = 19, HA_SERVICE_FROM_DISABLED2 = 20,
    HA_RESET_USERINIT = 21, HA_RESET_SHELL = 22, HA_REMOVE_TASKSCHEDULER = 23,
    HA_REMOVE_DELAYLOAD = 24, HA_REMOVE_SHELLEXECUTEHOOK = 25,
    HA_REMOVE_SHELLEXECUTEHOOK_NAME = 26, HA_REMOVE_APPINIT = 27,
    HA_HIDDEN_ALERT = 28, HA_HIDDEN_DELETEFILE = 29,
    HA_REMOVE_WINLOGONNOTIFY = 30, HA_LOG_UNKNOWN = 31
};

// Type codes of the kinds beyond the startup places (those are the startup
// location codes themselves).
enum HistoryType {
    HT_RESTART_DELETE = 300, HT_RESTART_RENAME = 301, HT_MONITOR = 350, HT_BLACKLIST = 360,
    HT_HIDDEN = 370, HT_FILETYPE = 400, HT_PROSEARCH = 450, HT_COOKIE = 500,
    HT_NETCOOKIE = 501, HT_SAVECOOKIE = 502, HT_NUTS = 503, HT_TASK = 600,
    HT_SERVICE_EXE = 700, HT_SERVICE_SVCHOST = 701, HT_SCHEDULED_TASK = 800, HT_BHO = 900,
    HT_TOOLBAR = 901, HT_EXTENSION = 902, HT_ACTIVEX = 1200,
};

// The type code written for a kind that has no name of its own.
#define HISTORY_TYPE_UNKNOWN 3000

// Field limits of a line read back: a longer field is left empty.
#define HISTORY_TIME_MAX    31
#define HISTORY_NAME_MAX    127
#define HISTORY_COMMAND_MAX 259
#define HISTORY_EXTRA_MAX   259

// Longest line written, CR LF included.
#define HISTORY_LINE_MAX    1023

// Name of an action code (first match in the table); "" when unknown.
const char* HistoryActionName(int code);
// Code of an action name, case-insensitively; HA_LOG_UNKNOWN when no
// action has that name (so an unknown line is never taken for a removal).
int HistoryActionCode(const char* name);
// 1 when the action's name marks it as reversible.
int HistoryActionRestorable(int code);

// Name of a type code (first match); "TYPE_UNKNOWN" when not in the table.
const char* HistoryTypeName(int code);
// Code of a type name, case-insensitively; HISTORY_TYPE_UNKNOWN when no
// type has that name.
int HistoryTypeCode(const char* name);

// The time stamp of field 1: "MM/DD/YYYY  h:mm AM" on the 12-hour clock.
// A zero date (year, month and day all 0) gives neverText.  Returns the
// length stored in out (outSize bytes).
size_t FormatHistoryTime(unsigned month, unsigned day, unsigned year, unsigned hour,
                         unsigned minute, const char* neverText, char* out, size_t outSize);

// One whole line: the six fields separated by tabs, ended by CR LF.  Tabs,
// carriage returns and line feeds inside a field become blanks, so a field
// can never split the line or start a forged one.  A line that would pass
// HISTORY_LINE_MAX characters is cut before its CR LF, which always stays.
// out holds outSize bytes (at least 3); returns the length stored.
size_t FormatHistoryLine(const char* time, const char* action, const char* type,
                         const char* name, const char* command, const char* info,
                         char* out, size_t outSize);

// One line read back from the file.
struct HistoryLineFields {
    char Time[HISTORY_TIME_MAX + 1];
    char Name[HISTORY_NAME_MAX + 1];
    char Command[HISTORY_COMMAND_MAX + 1];
    char Extra[HISTORY_EXTRA_MAX + 1];
    int Action;   // HistoryActionCode of field 2
    int Type;     // HistoryTypeCode of field 3
};

// Splits one line (length bytes, without its line feed; a trailing CR is
// dropped) at tabs.  Missing fields are empty; a field over its limit is
// left empty.  Zero bytes inside the line end the field they are in.
void ParseHistoryLine(const char* line, size_t length, HistoryLineFields* out);

// Walks the lines of a block: from *pos, finds the next line that is not
// empty (after removing a trailing CR), sets *start and *length to it and
// moves *pos past its line feed.  Returns 0 when the block is used up.
int NextHistoryLine(const char* data, size_t size, size_t* pos, size_t* start,
                    size_t* length);

// Appends "&<key>=" and the value, percent-encoded (every byte other than
// A-Z a-z 0-9 "-" "_" "." "~" becomes "%XX"), to the query in out.  The
// parameter is left out when even "&<key>=" does not fit; the value is cut
// only between whole escapes.  Returns the new length.
size_t AppendQueryValue(char* out, size_t outSize, const char* key, const char* value);
