// The watched system files: records, vault copies, the check and the two
// answers to a change.
#include "categories/sysfiles.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "categories/sys_text.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/utils.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/sysfiles.h"

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
    char detail[600];
    SystemErrorText(code, detail, sizeof(detail));
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

// Beside the Date and Size that readers show, a record keeps the accepted
// version's full last-write time ("Written") and a hash of its bytes
// ("Hash"), 16 hex digits each.  A change is then a change of contents,
// however soon after the last one it came and whatever its size; the file
// is hashed only when its time or size is not the recorded one, so a
// quiet patrol reads no file.  A record without "Hash" (an older store)
// keeps the older rule until an answer writes it anew.

// The hash of the file's bytes; 1 when the whole file was read.
static int HashFile(const char* path, unsigned long long* hash)
{
    FileHandle file(CreateFileA(path, GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    if (!file.IsValid())
        return 0;
    unsigned long long sum = HASH_START;
    char block[16384];
    DWORD got = 0;
    do {
        if (!ReadFile(file.Get(), block, sizeof(block), &got, NULL))
            return 0;
        sum = HashBytes(sum, block, got);
    } while (got > 0);
    *hash = sum;
    return 1;
}

static void TimeText(const FILETIME& time, char* out, size_t outSize)
{
    ULARGE_INTEGER t;
    t.LowPart = time.dwLowDateTime;
    t.HighPart = time.dwHighDateTime;
    Hex64Text(t.QuadPart, out, outSize);
}

static void SizeText(const FileStamp& stamp, char* out, size_t outSize)
{
    ULONGLONG size = ((ULONGLONG)stamp.sizeHigh << 32) | stamp.sizeLow;
    TextFormat(out, outSize, "%lld", (long long)size);
}

// A last-write time no later write can repeat: further from now, either
// way, than the clock's coarsest step.
static int SettledTime(const FILETIME& written)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return WrittenLongBefore(written, now) || WrittenLongBefore(now, written);
}

// The record's facts read from the copy just made (the version accepted,
// or the one put back): CopyFile keeps the last-write time, so the file and
// its copy carry the same one.  The file is hashed too: when it no longer
// holds the copy's bytes (it was written to meanwhile), or its time could
// be repeated by a later write, "Written" stays empty and the next check
// compares the contents.
static int WriteRecordFacts(const char* key, const char* path, const char* copy)
{
    FileStamp stamp;
    StampFile(copy, &stamp);
    char date[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
    unsigned long long copyHash = 0;
    if (stamp.attributes == INVALID_FILE_ATTRIBUTES || !FileDateSize(copy, date, size) ||
        !HashFile(copy, &copyHash))
        return 0;
    unsigned long long fileHash = 0;
    char written[24] = "";
    if (HashFile(path, &fileHash) && fileHash == copyHash && SettledTime(stamp.written))
        TimeText(stamp.written, written, sizeof(written));
    char hash[24];
    Hex64Text(copyHash, hash, sizeof(hash));
    return RegWriteString(HKEY_LOCAL_MACHINE, key, "Date", date) &&
           RegWriteString(HKEY_LOCAL_MACHINE, key, "Size", size) &&
           RegWriteString(HKEY_LOCAL_MACHINE, key, "Written", written) &&
           RegWriteString(HKEY_LOCAL_MACHINE, key, "Hash", hash);
}

// Without a vault copy: Date and Size of the file, under the older rule.
static void WriteFileFacts(const char* key, const char* path)
{
    char date[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
    if (!FileDateSize(path, date, size))
        return;
    RegWriteString(HKEY_LOCAL_MACHINE, key, "Date", date);
    RegWriteString(HKEY_LOCAL_MACHINE, key, "Size", size);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, key, "Written");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, key, "Hash");
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
    if (!copied || !WriteRecordFacts(key, path, vault))
        WriteFileFacts(key, path);
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
    WriteRecordFacts(key, path, vault);
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
    // The restored file carries the accepted bytes and their time; the
    // record follows so it is not taken for a change again.
    WriteRecordFacts(key, path, vault);
    return 1;
}

// What a check reads of a record, through one open of its key.
struct RecordFacts {
    char Type[16];
    char Size[VX_DATE_TEXT];
    char Date[VX_DATE_TEXT];
    char Written[24];
    char Hash[24];
};

// A REG_SZ value that fits, else "".
static void ReadRecordValue(HKEY key, const char* name, char* out, DWORD outSize)
{
    DWORD type = 0;
    DWORD size = outSize - 1;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size >= outSize)
        size = 0;
    out[size] = '\0';
}

static void ReadRecordFacts(const char* key, RecordFacts* facts)
{
    memset(facts, 0, sizeof(*facts));
    RegKey record;
    if (record.Open(HKEY_LOCAL_MACHINE, key, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return;
    ReadRecordValue(record, "Type", facts->Type, sizeof(facts->Type));
    ReadRecordValue(record, "Size", facts->Size, sizeof(facts->Size));
    ReadRecordValue(record, "Date", facts->Date, sizeof(facts->Date));
    ReadRecordValue(record, "Written", facts->Written, sizeof(facts->Written));
    ReadRecordValue(record, "Hash", facts->Hash, sizeof(facts->Hash));
}

// The older rule: a new date text and, for type 0, a new size.  A missing
// Size or Date is filled in from the file as it is.
static int DateTextChanged(const char* key, const char* path, RecordFacts* stored)
{
    char date[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
    if (!FileDateSize(path, date, size))
        return 0;
    if (atoi(stored->Size) == 0) {
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Size", size);
        TextCopy(stored->Size, size);
    }
    if (stored->Date[0] == '\0') {
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Date", date);
        return 0;
    }
    if (strcmp(stored->Date, date) == 0)
        return 0;
    return atoi(stored->Type) != 0 || strcmp(stored->Size, size) != 0;
}

// The rule of a record with a hash: the file no longer holds the accepted
// bytes.  A file only touched takes its new time into the record, so the
// patrols after this one are quiet again.
static int ContentsChanged(const char* key, const char* path, const FileStamp& now,
                           unsigned long long accepted, const RecordFacts* stored)
{
    char written[24];
    char size[VX_DATE_TEXT];
    TimeText(now.written, written, sizeof(written));
    SizeText(now, size, sizeof(size));
    if (strcmp(written, stored->Written) == 0 && strcmp(size, stored->Size) == 0)
        return 0;
    unsigned long long current = 0;
    if (!HashFile(path, &current))
        return 0;  // held by another program: looked at next time
    if (current != accepted)
        return 1;
    char date[VX_DATE_TEXT];
    if (SettledTime(now.written) && FileDateSize(path, date, size)) {
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Written", written);
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Date", date);
        RegWriteString(HKEY_LOCAL_MACHINE, key, "Size", size);
    }
    return 0;
}

// The file change alert: the texts of its layout, silent, the tray telling
// that the HOSTS file is being looked at.
static const AlertLine s_alertLines[] = {
    { IDC_CHANGE_INTRO, IDS_CHANGE_INTRO, 0 },
    { IDC_CHANGE_ACCEPT_TEXT, IDS_CHANGE_ACCEPT, 0 },
    { IDC_CHANGE_REJECT_TEXT, IDS_CHANGE_REJECT, 0 },
    { IDC_CHANGE_NAME_LABEL, IDS_CHANGE_NAME, 0 },
    { IDC_CHANGE_PATH_LABEL, IDS_CHANGE_PATH, 0 },
    { IDC_CHANGE_VIEW_NEW, IDS_CHANGE_VIEW_NEW, 0 },
    { IDC_CHANGE_VIEW_OLD, IDS_CHANGE_VIEW_OLD, 0 },
    { IDC_CHANGE_STOP, IDS_CHANGE_STOP, 0 },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_FILE_CHANGE, IDD_FILE_CHANGE, IDS_CHANGE_TITLE, s_alertLines,
    IDC_CHANGE_ACCEPT, IDS_CHANGE_ACCEPT_BUTTON, IDC_CHANGE_REJECT, IDS_CHANGE_REJECT_BUTTON,
    ANSWER_NONE,         // Escape and the close box end nothing
    -1, IDS_TIP_SYSFILES,  // silent; tray tip
    0, -1, -1,
};

int CheckSysFile(const char* name, const char* path)
{
    FileStamp now;
    StampFile(path, &now);
    if (now.attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    char key[VX_PATH];
    RecordKey(name, key, sizeof(key));
    RecordFacts stored;
    ReadRecordFacts(key, &stored);
    unsigned long long accepted = 0;
    int changed = ParseHex64(stored.Hash, &accepted)
                      ? ContentsChanged(key, path, now, accepted, &stored)
                      : DateTextChanged(key, path, &stored);
    if (!changed)
        return 0;
    char comment[VX_REG_TEXT_MAX];
    RegReadString(HKEY_LOCAL_MACHINE, key, "Comment", comment, sizeof(comment));
    AlertRequest request;
    MakeAlertRequest(&request, &s_alert, path, name, 0);
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
    // Quoted: a path with blanks is one argument, whatever Notepad makes
    // of the rest of its command line.
    char argument[VX_PATH + 3];
    TEXT_FORMAT(argument, "\"%s\"", file);
    HINSTANCE result = ShellExecuteA(UiOwner(), "open", "notepad.exe", argument, NULL,
                                     SW_SHOWNORMAL);
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

// The HOSTS file's folder (the boot files wait for the patrol).
static const WatchPlace s_watch[] = {
    { WATCH_FOLDER, NULL, NULL, GetHostsPath, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_SysFilesCategory = {
    "Verify System Files",   // Label
    NULL,                    // DetectedSubkey
    VX_SYSFILES_KEY,         // BaselineKey: the HKLM records
    OPT_HostFile, OPT_RealtimeSysFiles, OPT_HideSystemFiles,
    0,                       // first half
    &s_alert, &s_alert,
    0,
    SysFilesCanRun,
    PatrolSysFiles,
    InitSysFiles,
    SysFilesReady,           // BaselineReady: the HKLM store's set-up time
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    s_watch,
};
