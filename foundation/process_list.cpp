#include "foundation/process_list.h"

#include <tlhelp32.h>

typedef BOOL(WINAPI* EnumProcessesFn)(DWORD*, DWORD, DWORD*);
typedef HANDLE(WINAPI* SnapshotFn)(DWORD, DWORD);
typedef BOOL(WINAPI* ProcessWalkFn)(HANDLE, PROCESSENTRY32*);

// The entry points are resolved once; the modules stay loaded for the life
// of the process (psapi.dll is tiny and the watcher polls every second).
static EnumProcessesFn PsapiEnum()
{
    static bool looked = false;
    static EnumProcessesFn fn = NULL;
    if (!looked) {
        looked = true;
        HMODULE psapi = LoadLibraryA("psapi.dll");
        if (psapi != NULL)
            fn = (EnumProcessesFn)(void*)GetProcAddress(psapi, "EnumProcesses");
    }
    return fn;
}

static int ReadWithToolhelp(DWORD* ids, int capacity)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SnapshotFn snapshot = (SnapshotFn)(void*)GetProcAddress(kernel, "CreateToolhelp32Snapshot");
    ProcessWalkFn first = (ProcessWalkFn)(void*)GetProcAddress(kernel, "Process32First");
    ProcessWalkFn next = (ProcessWalkFn)(void*)GetProcAddress(kernel, "Process32Next");
    if (snapshot == NULL || first == NULL || next == NULL)
        return -1;
    HANDLE snap = snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = first(snap, &entry); more && count < capacity; more = next(snap, &entry))
        ids[count++] = entry.th32ProcessID;
    CloseHandle(snap);
    return count;
}

int ReadProcessIds(DWORD* ids, int capacity)
{
    if (ids == NULL || capacity <= 0)
        return -1;
    EnumProcessesFn enumProcesses = PsapiEnum();
    if (enumProcesses != NULL) {
        DWORD bytes = 0;
        if (enumProcesses(ids, (DWORD)capacity * sizeof(DWORD), &bytes))
            return (int)(bytes / sizeof(DWORD));
    }
    return ReadWithToolhelp(ids, capacity);
}

int CountProcesses()
{
    DWORD ids[2048];
    int n = ReadProcessIds(ids, 2048);
    return n < 0 ? 0 : n;
}
