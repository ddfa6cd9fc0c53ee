// The watched system files: records, vault copies, the check and the two
// answers to a change.
#include "categories/sysfiles.h"

#include <shellapi.h>
#include <stdlib.h>

#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/utils.h"

#define SYSFILE_HOSTS_COMMENT "HOST file can be used to protect or redirect domain access."

static void RecordKey(const char* name, char* out, size_t outSize)
{
    TextFormat(out, outSize, "%s\\%s", VX_SYSFILES_KEY, name);
}

int GetHostsPath(char* out)
{
    out[0] = '\0';
    char folder[VX_PATH];
    UINT n = IsWindowsNT() ? GetSystemDirectoryA(folder, VX_PATH)
                           : GetWindowsDirectoryA(folder, VX_PATH);
    if (n == 0 || n >= VX_PATH)
        return 0;
    RemoveTrailingBackslash(folder, 0);
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, IsWindowsNT() ? "%s\\drivers\\etc\\HOSTS" : "%s\\HOSTS", folder);
    if (strlen(path) >= VX_PATH)
        return 0;
    return (int)TextCopy(out, VX_PATH, path);
}

int SysFileVaultPath(const char* name, char* out)
{
    out[0] = '\0';
    char folder[VX_PATH];
    if (GetAppDataFolder(folder) == 0)
        return 0;
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\vault", folder);
    CreateDirectoryA(path, NULL);
    TEXT_APPEND_FORMAT(path, "\\%s", name);
    if (strlen(path) >= VX_PATH || name[0] == '\0')
        return 0;
    return (int)TextCopy(out, VX_PATH, path);
}

void TellSystemError(DWORD code)
{
    char message[512] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             code, 0, message, sizeof(message), NULL);
    if (n == 0 || n >= sizeof(message))
        message[0] = '\0';
    char detail[600];
    TEXT_FORMAT(detail, "%lu  %s", (unsigned long)code, message);
    UiNotify(NOTICE_SYSTEM_ERROR, detail);
}

int ReplaceFileWithCopy(const char* source, const char* target)
{
    char temporary[VX_PATH * 2];
    TEXT_FORMAT(temporary, "%s.vxtmp", target);
    if (strlen(temporary) >= VX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileA(source, temporary, FALSE)) {
        DWORD error = GetLastError();
        DeleteFileA(temporary);
        SetLastError(error);
        return 0;
    }
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(target, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = GetLastError();
        DeleteFileA(temporary);
        if (attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(target, attributes);
        SetLastError(error);
        return 0;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(target, attributes);
    return 1;
}

// Date and Size of the record from the file as it is now.
static int WriteRecordFacts(const char* key, const char* path)
{
    char date[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
    if (!FileDateSize(path, date, size))
        return 0;
    return RegWriteString(HKEY_LOCAL_MACHINE, key, "Date", date) &&
           RegWriteString(HKEY_LOCAL_MACHINE, key, "Size", size);
}

int RegisterSysFile(const char* name, const char* path, const char* comment, int type)
{
    char key[VX_PATH];
    RecordKey(name, key, sizeof(key));
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, key);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    char vault[VX_PATH];
    int copied = SysFileVaultPath(name, vault) && ReplaceFileWithCopy(path, vault);
    char typeText[16];
    TEXT_FORMAT(typeText, "%d", type);
    WriteRecordFacts(key, path);
    RegWriteString(HKEY_LOCAL_MACHINE, key, "Type", typeText);
    RegWriteString(HKEY_LOCAL_MACHINE, key, "Comment", comment);
    RegWriteString(HKEY_LOCAL_MACHINE, key, "Location", path);
    return copied;
}

int InitSysFiles()
{
    char stamp[128];
    if (RegReadString(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY, "", stamp, sizeof(stamp)) > 0)
        return 1;
    TraceNote("SYSFILES", "Initialize Sysfiles");
    TraceNote("SYSFILES", "GetHOSTSFile");
    if (!RegCreateKeyPath(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY))
        return 0;
    char hosts[VX_PATH];
    if (GetHostsPath(hosts) > 0)
        RegisterSysFile("HOSTS", hosts, SYSFILE_HOSTS_COMMENT, 0);
    RegisterSysFile("Autoexec.bat", "C:\\autoexec.bat",
                    "Runs at system boot time at command level.", 0);
    RegisterSysFile("Config.sys", "C:\\Config.sys",
                    "Used at system boot time at command level.", 0);
    char today[VX_DATE_TEXT];
    FormatNow(today);
    return RegWriteString(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY, "", today);
}

int AcceptSysFileChange(const char* name, const char* path, int stopWatching)
{
    char key[VX_PATH];
    RecordKey(name, key, sizeof(key));
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        // Nothing to keep: only the wish to stop watching can be met.
        if (stopWatching)
            RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
        return stopWatching;
    }
    // The vault first: a record that moved on while the vault stayed on
    // the old file would make a later Reject restore the wrong version.
    char vault[VX_PATH];
    if (!SysFileVaultPath(name, vault)) {
        TellSystemError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    if (!ReplaceFileWithCopy(path, vault)) {
        TellSystemError(GetLastError());
        return 0;
    }
    if (stopWatching)
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
    // Written without the Location when the record was deleted: the file
    // is then never examined again.
    WriteRecordFacts(key, path);
    return 1;
}

int RejectSysFileChange(const char* name, const char* path, int stopWatching)
{
    char key[VX_PATH];
    RecordKey(name, key, sizeof(key));
    char vault[VX_PATH];
    if (!SysFileVaultPath(name, vault) || GetFileAttributesA(vault) == INVALID_FILE_ATTRIBUTES) {
        // No accepted version to go back to: the file stays as it is.
        TellSystemError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (!ReplaceFileWithCopy(vault, path)) {
        TellSystemError(GetLastError());
        return 0;
    }
    if (stopWatching) {
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
        return 1;
    }
    // The restored file carries the accepted bytes; its dates follow so it
    // is not taken for a change again.
    WriteRecordFacts(key, path);
    return 1;
}

int CheckSysFile(const char* name, const char* path)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return 0;
    char key[VX_PATH];
    RecordKey(name, key, sizeof(key));
    char text[VX_REG_TEXT_MAX];
    RegReadString(HKEY_LOCAL_MACHINE, key, "Type", text, sizeof(text));
    int type = atoi(text);
    char date[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
    if (!FileDateSize(path, date, size))
        return 0;
    char storedSize[VX_REG_TEXT_MAX];
    RegReadString(HKEY_LOCAL_MACHINE, key, "Size", storedSize, sizeof(storedSize));
    if (atoi(storedSize) == 0) {
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Size", size);
        TextCopy(storedSize, size);
    }
    char storedDate[VX_REG_TEXT_MAX];
    if (RegReadString(HKEY_LOCAL_MACHINE, key, "Date", storedDate, sizeof(storedDate)) == 0) {
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Date", date);
        return 0;
    }
    if (strcmp(storedDate, date) == 0)
        return 0;
    if (type == 0 && strcmp(storedSize, size) == 0)
        return 0;
    char comment[VX_REG_TEXT_MAX];
    RegReadString(HKEY_LOCAL_MACHINE, key, "Comment", comment, sizeof(comment));
    AlertRequest request;
    MakeAlertRequest(&request, ALERT_FILECHANGE, path, name, 0);
    TextCopy(request.Location, sizeof(request.Location), path);
    TextCopy(request.SecondFile, sizeof(request.SecondFile), comment);
    int answer = AskOrAutoAnswer(g_Options[OPT_HideSystemFiles], &request);
    switch (answer) {
    case ANSWER_ACCEPT:
        return AcceptSysFileChange(name, path, 0);
    case ANSWER_DISABLE:
        return AcceptSysFileChange(name, path, 1);
    case ANSWER_REJECT:
        return RejectSysFileChange(name, path, 0);
    case ANSWER_REJECT_AND_STOP:
        return RejectSysFileChange(name, path, 1);
    default:
        return 0;
    }
}

int CheckAllSysFiles()
{
    RegKey store;
    if (store.Open(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY, KEY_READ) != ERROR_SUCCESS)
        return 0;
    // The names first: an answer may delete a record while the key is walked.
    char names[32][128];
    int count = 0;
    for (DWORD i = 0; count < 32; i++) {
        DWORD length = sizeof(names[0]);
        if (RegEnumKeyExA(store.Get(), i, names[count], &length, NULL, NULL, NULL, NULL) !=
            ERROR_SUCCESS)
            break;
        count++;
    }
    store.Close();
    int changed = 0;
    for (int i = 0; i < count; i++) {
        char key[VX_PATH];
        RecordKey(names[i], key, sizeof(key));
        char location[VX_PATH];
        if (RegReadString(HKEY_LOCAL_MACHINE, key, "Location", location, sizeof(location)) == 0)
            continue;
        changed += CheckSysFile(names[i], location);
    }
    return changed;
}

int ViewInNotepad(const char* file)
{
    HINSTANCE result = ShellExecuteA(UiOwner(), "open", "notepad.exe", file, NULL, SW_SHOWNORMAL);
    if ((INT_PTR)result > 32)
        return 1;
    TellSystemError(GetLastError());
    return 0;
}

int ViewHosts()
{
    char hosts[VX_PATH];
    if (GetHostsPath(hosts) > 0 && GetFileAttributesA(hosts) != INVALID_FILE_ATTRIBUTES)
        return ViewInNotepad(hosts);
    char text[512];
    LoadText(736, text, sizeof(text));
    UiNotify(NOTICE_INFORMATION, text);
    return 0;
}

// The store is set up when the HKLM key holds its set-up time: the mark
// lives with the records, so a store that was lost is set up again.
static int SysFilesReady()
{
    char stamp[128];
    return RegReadString(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY, "", stamp, sizeof(stamp)) > 0;
}

static int SysFilesCanRun()
{
    return !IsWindowsMajor6();
}

static int PatrolSysFiles(const Category*)
{
    CheckAllSysFiles();
    return 0;
}

const Category g_SysFilesCategory = {
    "Verify System Files",   // Label
    NULL,                    // DetectedSubkey
    VX_SYSFILES_KEY,         // BaselineKey: the HKLM records
    OPT_HostFile, OPT_RealtimeSysFiles, OPT_HideSystemFiles,
    0,                       // first half
    ALERT_FILECHANGE, ALERT_FILECHANGE,
    0,
    SysFilesCanRun,
    PatrolSysFiles,
    InitSysFiles,
    SysFilesReady,           // BaselineReady: the HKLM store's set-up time
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
};
