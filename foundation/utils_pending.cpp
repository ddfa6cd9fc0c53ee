// Minimal forms of the utilities the start-up needs, until utils.cpp lands.
#include "foundation/utils.h"

#include <string.h>

#include "foundation/text.h"

int GetProgramFolder(char* out)
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    out[0] = '\0';
    if (n == 0 || n >= VX_PATH)
        return 0;
    char* slash = strrchr(path, '\\');
    if (slash == NULL)
        return 0;
    *slash = '\0';
    return (int)TextCopy(out, VX_PATH, path);
}

int ContainsNoCase(const char* text, const char* part)
{
    if (TextLength(text, 773) > 772)
        return 0;
    return TextFindNoCase(text, part);
}

int FileExists(char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int FormatDateTime(const SYSTEMTIME* t, char* out)
{
    return (int)TextFormat(out, VX_DATE_TEXT, "%02d/%02d/%04d %d:%02d", t->wMonth, t->wDay,
                           t->wYear, t->wHour, t->wMinute);
}

HWND FindAolWindow()
{
    return NULL;
}

int IsWindowsNT()
{
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
