// Which Windows runs us, from the version the system reports.
#include "foundation/windows_version.h"

#include <string.h>
#include <windows.h>

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
