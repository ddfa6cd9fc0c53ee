// The Win32 side of the utilities: folders, files, version resources, the
// user's date settings, browsers and the system.  The text rules live in
// path_text.cpp and date_text.cpp; this file reads the system and hands
// plain values to them.
#include "foundation/utils.h"

#include <string.h>

#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"

#define SHELL_FOLDERS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define WINDOWS_VERSION_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
#define INTERNATIONAL_KEY "Control Panel\\International"
#define IE_APP_PATHS_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"

// Version resources larger than this are not read (the size the system
// reports for its ANSI copy).
#define VERSION_INFO_MAX 8191
// Longest version text that is taken; a longer one counts as empty.
#define VERSION_TEXT_MAX 127

// --- Folders and files -----------------------------------------------------

int GetProgramFolder(char* out)
{
    out[0] = '\0';
    char module[1024];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
    // A module path beyond the system's path limit (or cut by the call)
    // gives no folder at all rather than a wrong one.
    if (n == 0 || n > VX_PATH || n >= sizeof(module))
        return 0;
    module[n] = '\0';
    char* slash = strrchr(module, '\\');
    if (slash == NULL)
        return 0;
    *slash = '\0';
    return (int)TextCopy(out, VX_PATH, module);
}

// Creates the folder; one that exists already is fine.
static int EnsureFolder(const char* path)
{
    if (CreateDirectoryA(path, NULL))
        return 1;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int GetAppDataFolder(char* out)
{
    out[0] = '\0';
    char appData[VX_PATH];
    if (RegReadString(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "AppData", appData,
                      sizeof(appData)) > 0) {
        char folder[VX_PATH * 2];
        char vault[VX_PATH * 2];
        TEXT_FORMAT(folder, "%s\\Vardex", appData);
        TEXT_FORMAT(vault, "%s\\vault", folder);
        // The vault path must fit a path buffer, or files copied into it
        // could never be named.
        if (strlen(vault) < VX_PATH && EnsureFolder(folder) && EnsureFolder(vault))
            return (int)TextCopy(out, VX_PATH, folder);
    }
    return GetProgramFolder(out);
}

// The Windows and system folders (VX_PATH); 0 and "" when unavailable.
static int FolderFrom(UINT(WINAPI* get)(LPSTR, UINT), char* out)
{
    UINT n = get(out, VX_PATH);
    if (n == 0 || n >= VX_PATH) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

static int WindowsFolder(char* out)
{
    return FolderFrom(GetWindowsDirectoryA, out);
}

static int SystemFolder(char* out)
{
    return FolderFrom(GetSystemDirectoryA, out);
}

// 1 when the short form of path can be made, which the system does only for
// an existing file or folder.  shortOut (VX_PATH) receives it when it fits.
static int ShortFormExists(const char* path, char* shortOut)
{
    char shortPath[VX_PATH];
    DWORD n = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    if (n == 0)
        return 0;
    if (shortOut != NULL)
        TextCopy(shortOut, VX_PATH, n < sizeof(shortPath) ? shortPath : path);
    return 1;
}

int FileExists(char* path)
{
    // An empty name would find the Windows folder itself.
    if (path == NULL || path[0] == '\0' || TextLength(path, VX_PATH) >= VX_PATH)
        return 0;
    if (ShortFormExists(path, NULL))
        return 1;
    size_t length = strlen(path);
    if (length >= 32)
        return 0;

    char folder[VX_PATH];
    char candidate[VX_PATH * 2];
    if (WindowsFolder(folder)) {
        TEXT_FORMAT(candidate, "%s\\%s", folder, path);
        if (strlen(candidate) < VX_PATH && ShortFormExists(candidate, NULL))
            return 1;
    }
    if (SystemFolder(folder)) {
        TEXT_FORMAT(candidate, "%s\\%s", folder, path);
        char shortPath[VX_PATH];
        if (strlen(candidate) < VX_PATH && ShortFormExists(candidate, shortPath)) {
            TextCopy(path, VX_PATH, shortPath);
            return 1;
        }
    }
    return 0;
}

typedef DWORD(WINAPI* GetLongPathNameFn)(LPCSTR, LPSTR, DWORD);

int GetLongPath(const char* path, char* out)
{
    TextCopy(out, VX_PATH, path);
    // Windows 95 has no such conversion; ask KERNEL32 at run time.
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    GetLongPathNameFn getLongPathName =
        kernel != NULL ? (GetLongPathNameFn)GetProcAddress(kernel, "GetLongPathNameA") : NULL;
    if (getLongPathName == NULL || path == NULL || path[0] == '\0')
        return 0;
    char longPath[VX_PATH];
    DWORD n = getLongPathName(path, longPath, sizeof(longPath));
    if (n == 0 || n >= sizeof(longPath))
        return 0;
    TextCopy(out, VX_PATH, longPath);
    return (int)n;
}

int DeleteFileForce(const char* path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) ? 1 : 0;
}

char* ReadTextFile(const char* path, DWORD* size, int crlf)
{
    if (size == NULL)
        return NULL;
    DWORD limit = *size;
    *size = 0;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return NULL;
    DWORD fileSize = GetFileSize(file.Get(), NULL);
    if (fileSize == INVALID_FILE_SIZE)
        return NULL;
    DWORD wanted = fileSize < limit ? fileSize : limit;
    if (wanted == 0)
        return NULL;

    char* raw = (char*)GlobalAlloc(GMEM_FIXED, wanted);
    if (raw == NULL)
        return NULL;
    DWORD got = 0;
    if (!ReadFile(file.Get(), raw, wanted, &got, NULL) || got == 0) {
        GlobalFree(raw);
        return NULL;
    }

    DWORD added = 0;
    if (crlf)
        for (DWORD i = 0; i < got; i++)
            if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r'))
                added++;
    char* block = (char*)GlobalAlloc(GMEM_FIXED, (SIZE_T)got + added + 1);
    if (block == NULL) {
        GlobalFree(raw);
        return NULL;
    }
    DWORD n = 0;
    for (DWORD i = 0; i < got; i++) {
        if (crlf && raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r'))
            block[n++] = '\r';
        block[n++] = raw[i];
    }
    block[n] = '\0';
    GlobalFree(raw);
    *size = n;
    return block;
}

void FreeTextFile(char* block)
{
    if (block != NULL)
        GlobalFree(block);
}

// --- Command lines and paths ----------------------------------------------

int ExpandProgramPath(const char* command, char* out)
{
    char windowsFolder[VX_PATH];
    WindowsFolder(windowsFolder);
    char programFiles[VX_PATH];
    if (RegReadString(HKEY_LOCAL_MACHINE, WINDOWS_VERSION_KEY, "ProgramFilesDir", programFiles,
                      sizeof(programFiles)) <= 0)
        TextCopy(programFiles, "C:\\Program Files");
    return ExpandProgramPathText(command, windowsFolder, programFiles, out, VX_PATH);
}

// --- Version information ----------------------------------------------------

static const char* const kVersionNames[VS_COUNT] = {
    "ProductName", "ProductVersion", "CompanyName", "FileDescription", "LegalCopyright",
};

// One text of the StringFileInfo block of language/code page pair; 0 when
// it is missing, 1 with "" when it is too long, else 1 with the text.
static int QueryVersionText(void* info, WORD language, WORD codePage, const char* name,
                            char* out)
{
    out[0] = '\0';
    char query[128];
    TEXT_FORMAT(query, "\\StringFileInfo\\%04x%04x\\%s", language, codePage, name);
    void* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(info, query, &value, &length) || value == NULL)
        return 0;
    const char* text = (const char*)value;
    if (TextLength(text, VERSION_TEXT_MAX + 1) <= VERSION_TEXT_MAX)
        TextCopy(out, VS_SLOT, text);
    return 1;
}

int GetVersionStrings(const char* file, char out[VS_COUNT][VS_SLOT])
{
    for (int i = 0; i < VS_COUNT; i++)
        out[i][0] = '\0';
    if (file == NULL || file[0] == '\0')
        return 0;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &handle);
    if (size == 0 || size > VERSION_INFO_MAX)
        return 0;
    // Room for the whole resource and a little over, in case the system
    // writes its marker past the size it reported.
    char info[VERSION_INFO_MAX + 64];
    memset(info, 0, sizeof(info));
    if (!GetFileVersionInfoA(file, 0, size, info))
        return 0;

    void* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", &value, &length) || value == NULL)
        return 0;
    const WORD* pairs = (const WORD*)value;
    UINT pairCount = length / (2 * sizeof(WORD));
    for (UINT p = 0; p < pairCount; p++) {
        WORD language = pairs[2 * p];
        WORD codePage = pairs[2 * p + 1];
        char text[VS_SLOT];
        if (!QueryVersionText(info, language, codePage, kVersionNames[VS_PRODUCT_NAME], text))
            continue;
        TextCopy(out[VS_PRODUCT_NAME], VS_SLOT, text);
        for (int i = VS_PRODUCT_NAME + 1; i < VS_COUNT; i++)
            QueryVersionText(info, language, codePage, kVersionNames[i], out[i]);
    }
    // System components name the system as their product; their own
    // description says more.
    if (ContainsNoCase(out[VS_PRODUCT_NAME], "Operating System"))
        TextCopy(out[VS_PRODUCT_NAME], VS_SLOT, out[VS_FILE_DESCRIPTION]);
    return out[VS_PRODUCT_NAME][0] != '\0';
}

// The ProductVersion of the file, appended to out (VX_PATH) after prefix;
// nothing when the file does not exist.
static void AppendProductVersion(char* out, const char* prefix, const char* file)
{
    char path[VX_PATH];
    TextCopy(path, file);
    if (!FileExists(path))
        return;
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(path, strings);
    TextAppend(out, VX_PATH, prefix);
    TextAppend(out, VX_PATH, strings[VS_PRODUCT_VERSION]);
}

int GetOwnVersionText(char* out)
{
    out[0] = '\0';
    char folder[VX_PATH];
    GetProgramFolder(folder);
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\Vardex.exe", folder);
    if (strlen(path) < VX_PATH)
        AppendProductVersion(out, "", path);

    char module[VX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
    if (n > 0 && n < sizeof(module) && ContainsNoCase(module + FileNameOffset(module), "hijack"))
        TextCopy(path, module);
    else
        TEXT_FORMAT(path, "%s\\VardexView.exe", folder);
    if (strlen(path) < VX_PATH)
        AppendProductVersion(out, ":", path);
    return (int)strlen(out);
}

// --- Dates and numbers -------------------------------------------------------

int FormatDateTime(const SYSTEMTIME* time, char* out)
{
    char shortDate[64];
    char timeFormat[64];
    RegReadString(HKEY_CURRENT_USER, INTERNATIONAL_KEY, "sShortDate", shortDate,
                  sizeof(shortDate));
    RegReadString(HKEY_CURRENT_USER, INTERNATIONAL_KEY, "sTimeFormat", timeFormat,
                  sizeof(timeFormat));
    return FormatDateFields(time->wYear, time->wMonth, time->wDay, time->wHour, time->wMinute,
                            DateFormOf(shortDate), TimeFormOf(timeFormat), out, VX_DATE_TEXT);
}

// A file time as local calendar time; 0 when the conversion fails.
static int FileTimeToLocal(const FILETIME* fileTime, SYSTEMTIME* local)
{
    FILETIME localTime;
    return FileTimeToLocalFileTime(fileTime, &localTime)
        && FileTimeToSystemTime(&localTime, local);
}

// Opens a file for reading its times and size.  A file that another program
// holds open without read sharing still yields its facts through a handle
// that asks for no data access.
static HANDLE OpenForFacts(const char* path)
{
    if (path == NULL || path[0] == '\0')
        return INVALID_HANDLE_VALUE;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = CreateFileA(path, GENERIC_READ, share, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileA(path, 0, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    return h;
}

// The file's size; 0 when it cannot be read.
static int ReadFileSize(HANDLE file, long long* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    *size = ((long long)high << 32) | low;
    return 1;
}

int FileDateText(const char* path, char* out)
{
    out[0] = '\0';
    FileHandle file(OpenForFacts(path));
    if (!file.IsValid())
        return 0;
    FILETIME created;
    SYSTEMTIME local;
    if (!GetFileTime(file.Get(), &created, NULL, NULL) || !FileTimeToLocal(&created, &local))
        return 0;
    FormatFileDate(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, out,
                   VX_DATE_TEXT);
    return 1;
}

int FileDateSize(const char* path, char* dateOut, char* sizeOut)
{
    dateOut[0] = '\0';
    sizeOut[0] = '\0';
    FileHandle file(OpenForFacts(path));
    if (!file.IsValid())
        return 0;
    long long size = 0;
    if (ReadFileSize(file.Get(), &size))
        TextFormat(sizeOut, VX_DATE_TEXT, "%lld", size);
    FILETIME written;
    SYSTEMTIME local;
    if (GetFileTime(file.Get(), NULL, NULL, &written) && FileTimeToLocal(&written, &local))
        FormatDateTime(&local, dateOut);
    return 1;
}

int FileFacts(const char* path, int code, FileFactsRecord* record)
{
    memset(record, 0, sizeof(*record));
    FileHandle file(OpenForFacts(path));
    if (!file.IsValid())
        return 0;
    FILETIME times[3];
    char* fields[3] = { record->created, record->accessed, record->written };
    if (GetFileTime(file.Get(), &times[0], &times[1], &times[2]))
        for (int i = 0; i < 3; i++) {
            SYSTEMTIME local;
            if (FileTimeToLocal(&times[i], &local))
                FormatDateTime(&local, fields[i]);
        }
    GetDetectedDate(path, code, record->detected);
    long long size = 0;
    if (ReadFileSize(file.Get(), &size))
        GroupThousands(size, record->size);
    else
        LoadText(923, record->size, sizeof(record->size));
    return 1;
}

void UnixTimeToLocal(long long seconds, SYSTEMTIME* time)
{
    memset(time, 0, sizeof(*time));
    // Seconds from 1601 (the system's epoch) to 1970; times before 1601 or
    // beyond the 64-bit range of file times have no local form.
    const long long epochGap = 11644473600LL;
    const long long maxSeconds = 0x7FFFFFFFFFFFFFFFLL / 10000000LL - epochGap;
    if (seconds < -epochGap || seconds > maxSeconds)
        return;
    unsigned long long ticks = (unsigned long long)(seconds + epochGap) * 10000000ULL;
    FILETIME fileTime;
    fileTime.dwLowDateTime = (DWORD)(ticks & 0xFFFFFFFFULL);
    fileTime.dwHighDateTime = (DWORD)(ticks >> 32);
    SYSTEMTIME local;
    if (FileTimeToLocal(&fileTime, &local))
        *time = local;
}

// --- Browsers ------------------------------------------------------------------

// The "Path" of the IE App Paths key with a trailing ";" dropped, then file.
static int IePathWith(const char* file, char* out)
{
    out[0] = '\0';
    char folder[VX_PATH];
    LoadText(12, folder, sizeof(folder));
    if (folder[0] == '\0')
        TextCopy(folder, IE_APP_PATHS_KEY);
    char path[VX_PATH];
    if (RegReadString(HKEY_LOCAL_MACHINE, folder, "Path", path, sizeof(path)) <= 0)
        return 0;
    size_t n = strlen(path);
    if (n > 0 && path[n - 1] == ';')
        path[n - 1] = '\0';
    TextCopy(out, VX_PATH, path);
    return (int)TextAppend(out, VX_PATH, file);
}

int InternetExplorerPath(char* out)
{
    return IePathWith("\\iexplore.exe", out);
}

int DefaultBrowserPath(char* out)
{
    out[0] = '\0';
    char key[VX_PATH];
    LoadText(5, key, sizeof(key));
    if (key[0] == '\0')
        TextCopy(key, "SOFTWARE\\Classes\\HTTP\\shell\\open\\command");
    char command[VX_REG_TEXT_MAX];
    if (RegReadString(HKEY_LOCAL_MACHINE, key, "", command, sizeof(command)) > 0) {
        char program[VX_REG_TEXT_MAX];
        StripQuotes(command, program, sizeof(program));
        char* dash = strchr(program, '-');
        if (dash != NULL)
            *dash = '\0';
        size_t n = strlen(program);
        while (n > 0 && program[n - 1] == ' ')
            program[--n] = '\0';
        TextCopy(out, VX_PATH, program);
    }
    if (out[0] != '\0')
        return (int)strlen(out);
    return IePathWith("\\IExplore.exe", out);
}

int DefaultBrowserKind()
{
    char path[VX_PATH];
    DefaultBrowserPath(path);
    // The order matters: a Firefox installed in its usual "Mozilla Firefox"
    // folder is taken as the Mozilla family, which the cookie code treats
    // alike.
    static const struct { const char* part; int kind; } kinds[] = {
        { "iexplore", 1 }, { "netscp", 2 }, { "maxthon", 4 },
        { "avant", 5 },    { "mozilla", 6 }, { "firefox", 3 },
    };
    for (size_t i = 0; i < sizeof(kinds) / sizeof(kinds[0]); i++)
        if (ContainsNoCase(path, kinds[i].part))
            return kinds[i].kind;
    return 1;
}

HWND FindAolWindow()
{
    static const struct { const char* className; const char* title; } windows[] = {
        { "AOL Frame25", "America  Online" },
        { "AOL Frame25", "America Online" },
        { "AOL Frame25", "AOL" },
        { "AOL Frame25", "AOL Canada" },
        { "AOL Frame", "America  Online" },
    };
    for (size_t i = 0; i < sizeof(windows) / sizeof(windows[0]); i++) {
        HWND window = FindWindowA(windows[i].className, windows[i].title);
        if (window != NULL)
            return window;
    }
    return NULL;
}

// --- System --------------------------------------------------------------------

static int GetSystemVersion(OSVERSIONINFOA* info)
{
    memset(info, 0, sizeof(*info));
    info->dwOSVersionInfoSize = sizeof(*info);
    return GetVersionExA(info) ? 1 : 0;
}

int IsWindowsNT()
{
    OSVERSIONINFOA info;
    return GetSystemVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int IsWindowsMajor6()
{
    OSVERSIONINFOA info;
    return GetSystemVersion(&info) && info.dwMajorVersion == 6;
}

void ShowSystemError()
{
    DWORD code = GetLastError();
    char systemText[512];
    systemText[0] = '\0';
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0,
                   systemText, sizeof(systemText), NULL);
    char message[600];
    TEXT_FORMAT(message, "%d  %s", (int)code, systemText);
    MessageBoxA(NULL, message, "System Error", MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
}
