// The text side of the autostart places: the entry parts of the Winlogon
// values and the walking of the separated lists of WIN.INI and
// "AppInit_Dlls".
//
// Plain text logic only: no Windows header, so this also builds with the
// host compiler.
#pragma once
#include <stddef.h>

// The program that Winlogon's "UserInit" adds after the system's own one:
// the text after the first comma, leading blanks removed; when that comma
// ends the value, the text before it.  Returns 1 when the value holds a
// comma (only then is there an entry), 0 with out = "" otherwise.
int UserinitEntry(const char* value, char* out, size_t outSize);

// The shell program of Winlogon's "Shell": the text after the first blank,
// leading blanks removed; when that blank ends the value, the text before
// it; without a blank the whole value.  Returns 1 when out is non-empty.
int ShellEntry(const char* value, char* out, size_t outSize);

// Walks a list whose items are separated by any character of separators.
// From *pos, finds the next item (possibly empty) and gives its start and
// length in text; *pos moves past it and its separator.  Returns 0 when
// the text is used up.  Items are never copied, so nothing is cut.
int NextListSpan(const char* text, size_t* pos, const char* separators, size_t* start,
                 size_t* length);

// 1 when the span text[start, start + length) equals item, ignoring case.
int SpanEqualsNoCase(const char* text, size_t start, size_t length, const char* item);

// The name of a startup location code as the Startup page's "Type" column
// shows it ("HKLM_RUN" for 1 ... "NOTIFY" for 256); "" for a code that has
// none.
const char* StartupTypeName(int code);

// The place of a startup entry as the status bar tells it: for a disabled
// entry first " *    Disabled * ", then the key or file of the code
// ("HKLM\Software\Microsoft\Windows\CurrentVersion\Run" for 1, "WIN.INI
// [Load] Section" for 100 ...); codes without a place of their own (6, 7,
// 16, 17, 26, 27, 31-35) give only the marker.  Codes above 256 give ""
// here: their texts are numbered texts (StartupPlaceTextId).  Returns
// the length stored (cut to outSize - 1).
int StartupLocationText(int code, int disabled, char* out, size_t outSize);
// The numbered text that tells the place of codes 800, 900 and 901; 0 for
// every other code.
int StartupPlaceTextId(int code);

// The startup alert's sentence on where an entry starts from, by its code:
// the RunOnce family, WIN.INI, the Startup folders, or anywhere else.
// Returns the text's id (resources/fragments/startup.h).
int StartupLocationTextId(int code);

// The label the startup alert shows in place of the program's product name
// for an entry of a Winlogon value or a shell hook ("WinLogon:Shell" for
// 251 ...); "" for every other code.
const char* StartupHookLabel(int code);

// --- The delayed-start list --------------------------------------------------

// The longest delay the options dialog offers: 60 minutes and 50 seconds.
#define DELAY_TIME_MAX 3650

// The delay a "Time" value stands for, in seconds: its leading decimal
// number, cut to DELAY_TIME_MAX.  A value that is empty, no number or below
// 0 stands for 0: the program starts with the first launch step.
int DelaySeconds(const char* text);

// The launch step (every 10 seconds, counted from 1) that starts a program
// with this delay: the first step at or past it, step 1 for 0.
int DelayLaunchStep(int seconds);

// The Delay Time column: "<m> <minutesWord> : <s> <secondsWord>", or
// "<s> <secondsWord>" under a minute.
void DelayTimeText(int seconds, const char* minutesWord, const char* secondsWord, char* out,
                   size_t outSize);

// A startup entry's command split for the list: with applet set (a DLL run
// through RUNDLL32) the program ends with its ".dll" and the parameters
// keep their leading ",", else SplitCommand's split.  Returns the program's
// length.
int SplitDelayedCommand(const char* command, int applet, char* program, size_t programSize,
                        char* parameters, size_t parametersSize);

// The command a delayed program goes back to its startup place with: the
// program, a blank (none before parameters that begin with ",") and the
// parameters; with an applet, the applet, a blank and that text.
void DelayedCommandLine(const char* program, const char* parameters, const char* applet,
                        char* out, size_t outSize);
