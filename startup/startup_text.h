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
