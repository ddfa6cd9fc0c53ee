// Paths, files, version resources, dates and numbers, browsers: the small
// utilities both programs use everywhere.  Paths are at most 259
// characters; every output buffer holds "" when a function fails.
#pragma once
#include <windows.h>

#include "foundation/date_text.h"
#include "foundation/path_text.h"

// --- Folders and files -----------------------------------------------------

// The folder of the running executable, without a trailing "\" (out holds
// VX_PATH).  Returns its length; 0 and "" when the module path is too long.
int GetProgramFolder(char* out);

// <AppData>\Vardex, created with its subfolder "vault" (out holds VX_PATH).
// Falls back to the program folder when "AppData" is missing or the vault
// cannot be created.  Returns the length.
int GetAppDataFolder(char* out);

// GetFileNamePart, FileNameOffset, AppendBackslash, RemoveTrailingBackslash:
// see path_text.h.

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
// FreeTextFile); with crlf set every line feed not already preceded by a
// carriage return becomes CR LF.  *size receives the length of the text in
// the block (without the terminating zero).  NULL, and *size 0, when the
// file cannot be opened or is empty.
char* ReadTextFile(const char* path, DWORD* size, int crlf);
void FreeTextFile(char* block);

// --- Command lines and paths ----------------------------------------------
// RundllTarget, ContainsNoCase, SkipBlanks, ExtensionOf, EqualsToColon,
// StripQuotes, UrlSpaces: see path_text.h.

// Turns a command line into a comparable upper-case file path (out holds
// VX_PATH): SystemRoot and %PROGRAMFILES% resolved, everything after the
// ".EXE"/".DLL" extension dropped, anything before the drive letter dropped.
// Returns the length.
int ExpandProgramPath(const char* command, char* out);

// --- Version information ----------------------------------------------------

enum { VS_PRODUCT_NAME, VS_PRODUCT_VERSION, VS_COMPANY_NAME, VS_FILE_DESCRIPTION,
       VS_LEGAL_COPYRIGHT, VS_COUNT };
#define VS_SLOT 1024

// The five texts of the file's version resource: for every language of
// its Translation list that has a ProductName, the five names in order (a
// text over 127 characters counts as empty; the last such language wins).
// A ProductName containing "Operating System" is replaced by the
// FileDescription.  All five are "" when the file has no version resource
// or one over 8191 bytes.  Returns 1 when ProductName is non-empty.
int GetVersionStrings(const char* file, char out[VS_COUNT][VS_SLOT]);

// The ProductVersion of <program folder>\Vardex.exe, then ":" and that of
// <program folder>\VardexView.exe (of the running module instead when its
// name contains "hijack"); each part only when its file exists (out holds
// VX_PATH).  Returns the length.
int GetOwnVersionText(char* out);

// --- Dates and numbers -------------------------------------------------------

// The user's short date and time (sShortDate, sTimeFormat), at most 23
// characters.  Returns the length.
int FormatDateTime(const SYSTEMTIME* time, char* out);

// The file's creation time (local) as "yyyy/mm/dd hh:mm" (out holds 24).
// 1 when a date was written; 0 and "" when the file cannot be opened or its
// time cannot be read.
int FileDateText(const char* path, char* out);

// Size in bytes as decimal digits (sizeOut holds 24) and the last-write time
// as FormatDateTime writes it (dateOut holds 24).  1 on success; 0 with
// both "" when the file cannot be opened.
int FileDateSize(const char* path, char* dateOut, char* sizeOut);

struct FileFactsRecord {
    char created[VX_DATE_TEXT];
    char accessed[VX_DATE_TEXT];
    char written[VX_DATE_TEXT];
    char detected[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
};
// Creation, last-access and last-write times (FormatDateTime), the
// first-detected date of path under the category of code, and the size
// with thousands separators (text 923 when the size cannot be read).
// 1 on success; 0 with every field "" when the file cannot be opened.
int FileFacts(const char* path, int code, FileFactsRecord* record);

// GroupThousands: see date_text.h.

// Seconds since 1970 (UTC) as local time; a zeroed time when the seconds
// are out of the system's range.
void UnixTimeToLocal(long long seconds, SYSTEMTIME* time);

// --- Browsers ------------------------------------------------------------------

// The App Paths "Path" of IEXPLORE.EXE (a trailing ";" dropped) followed by
// "\iexplore.exe" (out holds VX_PATH).  Returns the length; 0 and "" when
// the value is missing.
int InternetExplorerPath(char* out);
// The program of the HTTP "open" command (quotes removed, cut before the
// first "-", trailing blanks dropped), else the App Paths "Path" of IE plus
// "\IExplore.exe" (out holds VX_PATH).  Returns the length.
int DefaultBrowserPath(char* out);
// 1 IE, 2 Netscape, 3 Firefox, 4 Maxthon, 5 Avant, 6 Mozilla, tested in the
// order iexplore, netscp, maxthon, avant, mozilla, firefox; 1 otherwise.
int DefaultBrowserKind();
// The AOL client's main window, NULL when none.
HWND FindAolWindow();

// --- System --------------------------------------------------------------------

int IsWindowsNT();       // the NT platform
int IsWindowsMajor6();   // major version 6
// Message box "System Error" with the last error code and its system text.
void ShowSystemError();
