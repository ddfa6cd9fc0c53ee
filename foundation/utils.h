// Paths, files, version resources, dates and numbers, browsers: the small
// utilities both programs use everywhere.  Paths are at most 259
// characters; every output buffer holds "" when a function fails.
#pragma once
#include <windows.h>

#define VX_PATH 260

// --- Folders and files -----------------------------------------------------

// The folder of the running executable, without a trailing "\" (out holds
// VX_PATH).  Returns its length; 0 and "" when the module path is too long.
int GetProgramFolder(char* out);

// <AppData>\Vardex, created with its subfolder "vault" (out holds VX_PATH).
// Falls back to the program folder when "AppData" is missing or the vault
// cannot be created.  Returns the length.
int GetAppDataFolder(char* out);

// The text after the last "\" (out holds VX_PATH); 0 and "" when none.
int GetFileNamePart(const char* path, char* out);
// The index just after the last "\" (0 when there is none).
int FileNameOffset(const char* path);

// Appends "\" unless path already ends in one (path holds VX_PATH).
void AppendBackslash(char* path);
// Removes one trailing "\", unless keepRoot is set and it follows ":".
void RemoveTrailingBackslash(char* path, int keepRoot);

// True when the file exists.  A path under 32 characters is also looked for
// in the Windows folder and then the system folder; when it is found in the
// system folder, path (VX_PATH bytes) is replaced by that full short path.
int FileExists(char* path);

// The long form of path where the system offers it, else path unchanged
// (out holds VX_PATH).  Returns the conversion's result, 0 when unchanged.
int GetLongPath(const char* path, char* out);

// Clears the file's attributes and deletes it.  1 on success.
int DeleteFileForce(const char* path);

// Reads at most *size bytes into a new zero-terminated block (free it with
// FreeTextFile); with crlf set every lone line feed becomes CR LF.  *size
// receives the new length.  NULL when the file cannot be opened or is empty.
char* ReadTextFile(const char* path, DWORD* size, int crlf);
void FreeTextFile(char* block);

// --- Command lines and paths (plain text) ----------------------------------

// Turns a command line into a comparable upper-case file path (out holds
// VX_PATH): SystemRoot and %PROGRAMFILES% resolved, everything after the
// ".EXE"/".DLL" extension dropped, anything before the drive letter dropped.
int ExpandProgramPath(const char* command, char* out);

// When command contains "RUNDLL32.EXE" (any case): out = the text 13
// characters after the start of that word, result 1.  Else out = command,
// result 0.  out holds VX_PATH.
int RundllTarget(const char* command, char* out);

// 1 when part occurs in text ignoring case; text over 772 characters never
// matches.
int ContainsNoCase(const char* text, const char* part);

// Each copies into out (outSize bytes).
void SkipBlanks(const char* text, char* out, int outSize);
void ExtensionOf(const char* text, char* out, int outSize);   // after the first "."
void EqualsToColon(const char* text, char* out, int outSize); // "=" -> ":"
void StripQuotes(const char* text, char* out, int outSize);   // every '"' removed
void UrlSpaces(const char* text, char* out, int outSize);     // " " -> %20, "&" -> "+"

// --- Version information ----------------------------------------------------

enum { VS_PRODUCT_NAME, VS_PRODUCT_VERSION, VS_COMPANY_NAME, VS_FILE_DESCRIPTION,
       VS_LEGAL_COPYRIGHT, VS_COUNT };
#define VS_SLOT 1024

// The five texts of the file's version resource (each at most 127
// characters; empty when missing).  Returns 1 when ProductName is non-empty.
int GetVersionStrings(const char* file, char out[VS_COUNT][VS_SLOT]);

// "<monitor version>:<explorer version>" (out holds VX_PATH).
int GetOwnVersionText(char* out);

// --- Dates and numbers -------------------------------------------------------

#define VX_DATE_TEXT 24

// The user's short date and time (sShortDate, sTimeFormat), at most 23
// characters.  Returns the length.
int FormatDateTime(const SYSTEMTIME* time, char* out);

// The file's creation time as "yyyy/mm/dd hh:mm" (out holds 24).
int FileDateText(const char* path, char* out);

// Size in bytes ("%d", sizeOut holds 24) and last-write time (dateOut 24).
int FileDateSize(const char* path, char* dateOut, char* sizeOut);

struct FileFactsRecord {
    char created[VX_DATE_TEXT];
    char accessed[VX_DATE_TEXT];
    char written[VX_DATE_TEXT];
    char detected[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
};
int FileFacts(const char* path, int code, FileFactsRecord* record);

// Digits with "," before every group of three from the right (out holds 32).
int GroupThousands(long long n, char* out);

// Seconds since 1970 as local time.
void UnixTimeToLocal(long long seconds, SYSTEMTIME* time);

// --- Browsers ------------------------------------------------------------------

int InternetExplorerPath(char* out);   // out holds VX_PATH
int DefaultBrowserPath(char* out);     // out holds VX_PATH
// 1 IE, 2 Netscape, 3 Firefox, 4 Maxthon, 5 Avant, 6 Mozilla.
int DefaultBrowserKind();
HWND FindAolWindow();

// --- System --------------------------------------------------------------------

int IsWindowsNT();
int IsWindowsMajor6();
void ShowSystemError();
