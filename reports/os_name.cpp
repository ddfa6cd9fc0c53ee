// The running system's name (reports/os_name.h).
#include "reports/os_name.h"

#include <windows.h>

#include "foundation/registry_store.h"
#include "foundation/text.h"

#define PRODUCT_OPTIONS_KEY "SYSTEM\\CurrentControlSet\\Control\\ProductOptions"
#define HOTFIX_6A_KEY "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009"

// The true version where the system has ntdll's RtlGetVersion: from
// Windows 8.1 on, GetVersionEx answers 6.2 to a program that does not
// declare the newer systems in its manifest.
typedef LONG(WINAPI* RtlGetVersionFn)(OSVERSIONINFOEXW*);
static int TrueVersion(OSVERSIONINFOEXA* info)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    RtlGetVersionFn get =
        ntdll != NULL ? (RtlGetVersionFn)GetProcAddress(ntdll, "RtlGetVersion") : NULL;
    OSVERSIONINFOEXW wide;
    ZeroMemory(&wide, sizeof(wide));
    wide.dwOSVersionInfoSize = sizeof(wide);
    if (get == NULL || get(&wide) != 0)
        return 0;
    info->dwMajorVersion = wide.dwMajorVersion;
    info->dwMinorVersion = wide.dwMinorVersion;
    info->dwBuildNumber = wide.dwBuildNumber;
    info->dwPlatformId = wide.dwPlatformId;
    WideCharToMultiByte(CP_ACP, 0, wide.szCSDVersion, -1, info->szCSDVersion,
                        sizeof(info->szCSDVersion), NULL, NULL);
    info->szCSDVersion[sizeof(info->szCSDVersion) - 1] = '\0';
    info->wServicePackMajor = wide.wServicePackMajor;
    info->wProductType = wide.wProductType;
    info->wSuiteMask = wide.wSuiteMask;
    return 1;
}

size_t GetOSName(char* out, size_t outSize)
{
    if (out == NULL || outSize == 0)
        return 0;
    out[0] = '\0';
    OSVERSIONINFOEXA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    OsFacts facts;
    ZeroMemory(&facts, sizeof(facts));
    facts.extended = GetVersionExA((OSVERSIONINFOA*)&info) ? 1 : 0;
    if (facts.extended)
        TrueVersion(&info);
    if (!facts.extended) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA((OSVERSIONINFOA*)&info))
            return 0;
    }
    char productType[32];
    RegReadString(HKEY_LOCAL_MACHINE, PRODUCT_OPTIONS_KEY, "ProductType", productType,
                  sizeof(productType));
    facts.platform = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? OS_WINDOWS_NT
                     : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? OS_WINDOWS_9X
                                                                       : OS_WIN32S;
    facts.major = (int)info.dwMajorVersion;
    facts.minor = (int)info.dwMinorVersion;
    facts.build = (int)info.dwBuildNumber;
    facts.servicePack = info.szCSDVersion;
    facts.servicePackMajor = info.wServicePackMajor;
    facts.productType = info.wProductType;
    facts.suite = info.wSuiteMask;
    facts.tabletPc = GetSystemMetrics(SM_TABLETPC) != 0;
    facts.registryProductType = productType;
    facts.hotfixQ246009 = RegKeyExists(HKEY_LOCAL_MACHINE, HOTFIX_6A_KEY);
    return (size_t)OsNameText(&facts, out, outSize);
}
