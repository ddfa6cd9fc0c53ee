// The catalogue of autostart places: which key or folder each location code
// names, where a disabled entry is parked, and the registry view the system
// places are read in.
#include "startup/autostart.h"

#include <string.h>

#include "foundation/handles.h"
#include "foundation/text.h"
#include "foundation/utils.h"

#define CURRENT_VERSION "Microsoft\\Windows\\CurrentVersion\\"

// The seven keys of a family, by position 1-7, for the plain and the
// Wow6432Node roots.
static const char* const g_RunKeys[RUN_FAMILY_KEYS] = {
    "Software\\" CURRENT_VERSION "Run",
    "Software\\" CURRENT_VERSION "RunOnce",
    "Software\\" CURRENT_VERSION "RunOnceEx",
    "Software\\" CURRENT_VERSION "RunServices",
    "Software\\" CURRENT_VERSION "RunServicesOnce",
    "Software\\" CURRENT_VERSION "RunOnce\\Setup",
    "Software\\" CURRENT_VERSION "policies\\Explorer\\Run",
};
static const char* const g_Wow64RunKeys[RUN_FAMILY_KEYS] = {
    "Software\\Wow6432Node\\" CURRENT_VERSION "Run",
    "Software\\Wow6432Node\\" CURRENT_VERSION "RunOnce",
    "Software\\Wow6432Node\\" CURRENT_VERSION "RunOnceEx",
    "Software\\Wow6432Node\\" CURRENT_VERSION "RunServices",
    "Software\\Wow6432Node\\" CURRENT_VERSION "RunServicesOnce",
    "Software\\Wow6432Node\\" CURRENT_VERSION "RunOnce\\Setup",
    "Software\\Wow6432Node\\" CURRENT_VERSION "policies\\Explorer\\Run",
};
static const char* const g_RunMirrors[RUN_FAMILY_KEYS] = {
    VX_DISABLED_KEY "\\Run",        VX_DISABLED_KEY "\\RunOnce",
    VX_DISABLED_KEY "\\RunOnceEx",  VX_DISABLED_KEY "\\RunServices",
    VX_DISABLED_KEY "\\RunServicesOnce", VX_DISABLED_KEY "\\RunSetup",
    VX_DISABLED_KEY "\\Policy",
};

int IsRunFamilyCode(int code)
{
    return (code >= 1 && code <= 7) || (code >= 11 && code <= 17) || (code >= 21 && code <= 27);
}

int HasRunMirror(int code)
{
    return IsRunFamilyCode(code) && code != 26 && code != 27;
}

HKEY RunPlaceRoot(int code)
{
    if (!IsRunFamilyCode(code))
        return NULL;
    return (code >= 11 && code <= 17) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

const char* RunPlacePath(int code)
{
    if (!IsRunFamilyCode(code))
        return NULL;
    int position = code % 10;
    return code >= 21 ? g_Wow64RunKeys[position - 1] : g_RunKeys[position - 1];
}

const char* RunMirrorPath(int code)
{
    return HasRunMirror(code) ? g_RunMirrors[code % 10 - 1] : NULL;
}

const char* RunMirrorPathAt(int position)
{
    return (position >= 1 && position <= RUN_FAMILY_KEYS) ? g_RunMirrors[position - 1] : NULL;
}

typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);

REGSAM StartupView(HKEY root)
{
    if (root != HKEY_LOCAL_MACHINE && root != HKEY_CLASSES_ROOT)
        return 0;
    // Looked up by name: systems before XP SP2 do not have it, and there the
    // flag must not be passed at all.
    static int wow64 = -1;
    if (wow64 < 0) {
        wow64 = 0;
        IsWow64ProcessFn isWow64 = (IsWow64ProcessFn)GetProcAddress(
            GetModuleHandleA("kernel32.dll"), "IsWow64Process");
        BOOL flag = FALSE;
        if (isWow64 != NULL && isWow64(GetCurrentProcess(), &flag) && flag)
            wow64 = 1;
    }
    return wow64 ? KEY_WOW64_64KEY : 0;
}

int PlaceKeyExists(HKEY root, const char* path)
{
    RegKey key;
    return key.Open(root, path, KEY_READ | StartupView(root)) == ERROR_SUCCESS;
}

int Wow64FamilyPresent()
{
    return PlaceKeyExists(HKEY_LOCAL_MACHINE, WOW64_RUN_KEY);
}

int PlaceReadText(HKEY root, const char* path, const char* name, char* out, int outSize)
{
    if (out == NULL || outSize <= 0)
        return 0;
    out[0] = '\0';
    RegKey key;
    if (key.Open(root, path, KEY_READ | StartupView(root)) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
        return 0;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > (DWORD)outSize)
        return 0;
    size = (DWORD)outSize;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &size) != ERROR_SUCCESS) {
        out[0] = '\0';
        return 0;
    }
    // Stored text need not carry its terminating zero.
    if (size >= (DWORD)outSize && (size == 0 || out[size - 1] != '\0')) {
        out[0] = '\0';
        return 0;
    }
    out[size < (DWORD)outSize ? size : (DWORD)outSize - 1] = '\0';
    return (int)strlen(out);
}

int PlaceWriteText(HKEY root, const char* path, const char* name, const char* text)
{
    RegKey key;
    if (key.Open(root, path, KEY_SET_VALUE | StartupView(root)) != ERROR_SUCCESS)
        return 0;
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text,
                          (DWORD)strlen(text) + 1) == ERROR_SUCCESS;
}

int PlaceDeleteValue(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_SET_VALUE | StartupView(root)) != ERROR_SUCCESS)
        return 0;
    return RegDeleteValueA(key, name) == ERROR_SUCCESS;
}

int StartupFolderOf(HKEY root, const char* valueName, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    return RegReadString(root, SHELL_FOLDERS_KEY, valueName, out, outSize);
}

int UserStartupFolder(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    if (StartupFolderOf(HKEY_CURRENT_USER, "Startup", out, outSize) > 0)
        return (int)strlen(out);
    if (StartupFolderOf(HKEY_LOCAL_MACHINE, "Startup", out, outSize) > 0)
        return (int)strlen(out);
    return StartupFolderOf(HKEY_LOCAL_MACHINE, "Common Startup", out, outSize);
}

int DisabledFolder(char* out, size_t outSize, int create)
{
    outSize = TextLimit(outSize, VX_PATH);
    char folder[VX_PATH];
    out[0] = '\0';
    if (GetProgramFolder(folder) == 0)
        return 0;
    char path[VX_PATH + 16];
    TEXT_FORMAT(path, "%s\\Disabled", folder);
    if (strlen(path) >= VX_PATH)
        return 0;
    if (create)
        CreateDirectoryA(path, NULL);
    return (int)TextCopy(out, outSize, path);
}

// HKCR CLSID\{...}: braces added when the text has none.
static void ClassKeyPath(const char* clsid, const char* below, char* out, size_t outSize)
{
    if (clsid[0] == '{')
        TextFormat(out, outSize, "CLSID\\%s%s", clsid, below);
    else
        TextFormat(out, outSize, "CLSID\\{%s}%s", clsid, below);
}

int ClassServerDll(const char* clsid, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    char path[512];
    ClassKeyPath(clsid, "\\InprocServer32", path, sizeof(path));
    if (PlaceReadText(HKEY_CLASSES_ROOT, path, "", out, outSize) == 0)
        return 0;
    // Servers are mostly registered as "%SystemRoot%\..." texts.
    if (strchr(out, '%') != NULL) {
        char expanded[VX_PATH];
        DWORD need = ExpandEnvironmentStringsA(out, expanded, sizeof(expanded));
        if (need > 0 && need <= sizeof(expanded))
            TextCopy(out, outSize, expanded);
    }
    return (int)strlen(out);
}

int ClassTitle(const char* clsid, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    char path[512];
    ClassKeyPath(clsid, "", path, sizeof(path));
    return PlaceReadText(HKEY_CLASSES_ROOT, path, "", out, outSize);
}

void BaselineKeyOf(const char* command, char* out, int outSize)
{
    EqualsToColon(command, out, outSize);
}

char* ReadWinIniList(const char* key)
{
    // The whole line, however long: a cut line would hide its last items.
    for (DWORD size = 1024; size <= 65536; size *= 4) {
        char* text = (char*)malloc(size);
        if (text == NULL)
            return NULL;
        DWORD n = GetProfileStringA("windows", key, "", text, size);
        if (n + 2 < size)
            return text;
        free(text);
    }
    return NULL;
}
