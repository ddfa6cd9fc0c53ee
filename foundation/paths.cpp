// Folders, files and program paths: reads the system and hands plain values
// to the rules of path_text.cpp.
#include "foundation/paths.h"

#include <string.h>

#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"

#define SHELL_FOLDERS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define WINDOWS_VERSION_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"

int GetProgramFolder(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
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
    return (int)TextCopy(out, outSize, module);
}

// Creates the folder; one that exists already is fine.
static int EnsureFolder(const char* path)
{
    if (CreateDirectoryA(path, NULL))
        return 1;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int GetAppDataFolder(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
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
            return (int)TextCopy(out, outSize, folder);
    }
    return GetProgramFolder(out, outSize);
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

int GetLongPath(const char* path, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    TextCopy(out, outSize, path);
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
    TextCopy(out, outSize, longPath);
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

    // Room for the closing zero: a text needing no added CRs is the block.
    char* raw = (char*)GlobalAlloc(GMEM_FIXED, (SIZE_T)wanted + 1);
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
    if (added == 0) {
        raw[got] = '\0';
        *size = got;
        return raw;
    }
    char* block = (char*)GlobalAlloc(GMEM_FIXED, (SIZE_T)got + added + 1);
    if (block == NULL) {
        GlobalFree(raw);
        return NULL;
    }
    DWORD n = 0;
    for (DWORD i = 0; i < got; i++) {
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r'))
            block[n++] = '\r';
        block[n++] = raw[i];
    }
    block[n] = '\0';
    GlobalFree(raw);
    *size = n;
    return block;
}

char* ReadWholeFile(const char* path, DWORD limit, DWORD* size)
{
    if (size == NULL)
        return NULL;
    *size = 0;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return NULL;
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file.Get(), &fileSize) || fileSize.QuadPart <= 0 ||
        fileSize.QuadPart > (LONGLONG)limit)
        return NULL;
    DWORD wanted = (DWORD)fileSize.QuadPart;
    char* block = (char*)GlobalAlloc(GMEM_FIXED, (SIZE_T)wanted + 1);
    if (block == NULL)
        return NULL;
    // ReadFile may give less than asked: read on until the size is reached
    // or the file ends early.
    DWORD got = 0;
    while (got < wanted) {
        DWORD part = 0;
        if (!ReadFile(file.Get(), block + got, wanted - got, &part, NULL) || part == 0)
            break;
        got += part;
    }
    // A file that ended early, or has grown since its size was taken, was
    // not read whole.
    char beyond;
    DWORD more = 0;
    if (got != wanted || (ReadFile(file.Get(), &beyond, 1, &more, NULL) && more != 0)) {
        GlobalFree(block);
        return NULL;
    }
    block[got] = '\0';
    *size = got;
    return block;
}

void FreeTextFile(char* block)
{
    if (block != NULL)
        GlobalFree(block);
}

void ReadProgramFolders(ProgramFolders* folders)
{
    WindowsFolder(folders->windows);
    if (RegReadString(HKEY_LOCAL_MACHINE, WINDOWS_VERSION_KEY, "ProgramFilesDir",
                      folders->programFiles, sizeof(folders->programFiles)) <= 0)
        TextCopy(folders->programFiles, "C:\\Program Files");
}

int ExpandProgramPathIn(const ProgramFolders* folders, const char* command, char* out,
                        size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    return ExpandProgramPathText(command, folders->windows, folders->programFiles, out, outSize);
}

int ExpandProgramFileIn(const ProgramFolders* folders, const char* command, char* out,
                        size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    return ExpandProgramFileText(command, folders->windows, folders->programFiles, out, outSize);
}

int ExpandProgramPath(const char* command, char* out, size_t outSize)
{
    ProgramFolders folders;
    ReadProgramFolders(&folders);
    return ExpandProgramPathIn(&folders, command, out, outSize);
}
