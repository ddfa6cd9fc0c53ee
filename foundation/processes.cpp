#include "foundation/processes.h"

#include <tlhelp32.h>

#include <stdlib.h>

#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_fill.h"
#include "foundation/ui.h"
#include "foundation/utils.h"

// Vista's narrow query right: enough for the image name, and granted for
// processes (services, other users' programs) that refuse the old rights.
#define QUERY_LIMITED_RIGHT 0x1000
// EnumProcesses is first asked for 1024 bytes of ids; the list must never
// grow without bound either.
#define FIRST_ID_CAPACITY 256
#define MAX_ID_CAPACITY (1 << 20)
// How long an ended process may take to go away.
#define END_WAIT_MS 2000
#define TEXT_STILL_RUNNING 707
#define TYPE_TASK 600

typedef BOOL(WINAPI* EnumProcessesFn)(DWORD*, DWORD, DWORD*);
typedef BOOL(WINAPI* EnumModulesFn)(HANDLE, HMODULE*, DWORD, DWORD*);
typedef DWORD(WINAPI* ModuleFileNameFn)(HANDLE, HMODULE, LPSTR, DWORD);
typedef BOOL(WINAPI* QueryImageNameFn)(HANDLE, DWORD, LPSTR, PDWORD);
typedef HANDLE(WINAPI* SnapshotFn)(DWORD, DWORD);
typedef BOOL(WINAPI* ProcessWalkFn)(HANDLE, PROCESSENTRY32*);
typedef BOOL(WINAPI* VdmTaskProc)(DWORD, WORD, WORD, PSZ, PSZ, LPARAM);
typedef INT(WINAPI* VdmEnumTasksFn)(DWORD, VdmTaskProc, LPARAM);

// The entry points, resolved once.  The libraries stay loaded for the life
// of the process: the process-count check runs on every change of the
// process set, and loading PSAPI for each would cost more than the list.
struct ProcessApi {
    int nt;
    EnumProcessesFn enumProcesses;
    EnumModulesFn enumModules;
    ModuleFileNameFn moduleFileName;
    QueryImageNameFn queryImageName;
    SnapshotFn snapshot;
    ProcessWalkFn first;
    ProcessWalkFn next;
};

static ProcessApi LoadProcessApi()
{
    ProcessApi api = {};
    api.nt = IsWindowsNT();
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    api.snapshot = (SnapshotFn)(void*)GetProcAddress(kernel, "CreateToolhelp32Snapshot");
    api.first = (ProcessWalkFn)(void*)GetProcAddress(kernel, "Process32First");
    api.next = (ProcessWalkFn)(void*)GetProcAddress(kernel, "Process32Next");
    if (api.nt) {
        api.queryImageName =
            (QueryImageNameFn)(void*)GetProcAddress(kernel, "QueryFullProcessImageNameA");
        HMODULE psapi = LoadLibraryA("psapi.dll");
        if (psapi != NULL) {
            api.enumProcesses = (EnumProcessesFn)(void*)GetProcAddress(psapi, "EnumProcesses");
            api.enumModules = (EnumModulesFn)(void*)GetProcAddress(psapi, "EnumProcessModules");
            api.moduleFileName =
                (ModuleFileNameFn)(void*)GetProcAddress(psapi, "GetModuleFileNameExA");
        }
    }
    return api;
}

static const ProcessApi& Api()
{
    static const ProcessApi api = LoadProcessApi();
    return api;
}

// VDMDBG is looked up only when an NTVDM.EXE runs: elsewhere (and under
// emulators whose VDMDBG is a stub) it is never touched.
static VdmEnumTasksFn VdmEnumTasks()
{
    static bool looked = false;
    static VdmEnumTasksFn fn = NULL;
    if (!looked) {
        looked = true;
        HMODULE vdm = LoadLibraryA("vdmdbg.dll");
        if (vdm != NULL)
            fn = (VdmEnumTasksFn)(void*)GetProcAddress(vdm, "VDMEnumTaskWOWEx");
    }
    return fn;
}

// --- Process ids ---------------------------------------------------------------

static int IdsFromSnapshot(DWORD** ids)
{
    const ProcessApi& api = Api();
    if (api.snapshot == NULL || api.first == NULL || api.next == NULL)
        return -1;
    KernelHandle snap(api.snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap.IsValid())
        return -1;
    int capacity = FIRST_ID_CAPACITY, count = 0;
    DWORD* block = (DWORD*)HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(DWORD));
    if (block == NULL)
        return -1;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = api.first(snap.Get(), &entry); more; more = api.next(snap.Get(), &entry)) {
        if (count == capacity) {
            if (capacity >= MAX_ID_CAPACITY)
                break;
            DWORD* bigger = (DWORD*)HeapReAlloc(GetProcessHeap(), 0, block,
                                                2 * capacity * sizeof(DWORD));
            if (bigger == NULL)
                break;
            block = bigger;
            capacity *= 2;
        }
        block[count++] = entry.th32ProcessID;
    }
    *ids = block;
    return count;
}

int ReadAllProcessIds(DWORD** ids, int firstCapacity)
{
    if (ids == NULL)
        return -1;
    *ids = NULL;
    const ProcessApi& api = Api();
    if (api.enumProcesses == NULL)
        return IdsFromSnapshot(ids);
    int capacity = firstCapacity > 0 ? firstCapacity : FIRST_ID_CAPACITY;
    for (;;) {
        DWORD* block = (DWORD*)HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(DWORD));
        if (block == NULL)
            return -1;
        DWORD bytes = 0;
        if (!api.enumProcesses(block, (DWORD)capacity * sizeof(DWORD), &bytes)) {
            HeapFree(GetProcessHeap(), 0, block);
            return -1;
        }
        // A full buffer may have cut the list short: ask again with more room.
        int count = (int)(bytes / sizeof(DWORD));
        if (count < capacity || capacity >= MAX_ID_CAPACITY) {
            *ids = block;
            return count;
        }
        HeapFree(GetProcessHeap(), 0, block);
        capacity *= 2;
    }
}

void FreeProcessIds(DWORD* ids)
{
    if (ids != NULL)
        HeapFree(GetProcessHeap(), 0, ids);
}

// --- Paths ---------------------------------------------------------------------------

static DWORD QueryRights()
{
    return Api().queryImageName != NULL ? QUERY_LIMITED_RIGHT
                                         : PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
}

// The program file of an opened process (out holds VX_PATH); "" when it
// cannot be read or does not fit.
static void PathOfProcess(HANDLE process, char* out)
{
    out[0] = '\0';
    const ProcessApi& api = Api();
    char path[VX_PATH];
    if (api.queryImageName != NULL) {
        DWORD size = sizeof(path);
        if (api.queryImageName(process, 0, path, &size) && size < sizeof(path))
            TextCopy(out, VX_PATH, path);
        return;
    }
    if (api.enumModules == NULL || api.moduleFileName == NULL)
        return;
    HMODULE firstModule = NULL;
    DWORD needed = 0;
    if (!api.enumModules(process, &firstModule, sizeof(firstModule), &needed))
        return;
    DWORD n = api.moduleFileName(process, firstModule, path, sizeof(path));
    if (n > 0 && n < sizeof(path) - 1)
        TextCopy(out, VX_PATH, path);
}

static void PathOfProcessId(DWORD id, char* out)
{
    out[0] = '\0';
    KernelHandle process(OpenProcess(QueryRights(), FALSE, id));
    if (process.IsValid())
        PathOfProcess(process.Get(), out);
}

// --- The enumeration -------------------------------------------------------------

struct VdmWalk {
    ProcessCallback callback;
    void* data;
    DWORD processId;
    int stopped;
};

static BOOL WINAPI OnVdmTask(DWORD, WORD, WORD task, PSZ module, PSZ file, LPARAM param)
{
    VdmWalk* walk = (VdmWalk*)param;
    char moduleName[PROCESS_MODULE];
    TextCopy(moduleName, module != NULL ? module : "");
    char path[VX_PATH];
    TextCopy(path, file != NULL ? file : "");
    if (!walk->callback(walk->processId, task, moduleName, path, walk->data)) {
        walk->stopped = 1;
        return TRUE;  // ends VDMDBG's walk
    }
    return FALSE;
}

// The 16-bit tasks of one NTVDM.EXE; 0 when the callback stopped.
static int EnumVdmTasks(DWORD processId, const char* path, ProcessCallback callback, void* data)
{
    if (!TextEqualNoCase(path + FileNameOffset(path), "NTVDM.EXE"))
        return 1;
    VdmEnumTasksFn enumTasks = VdmEnumTasks();
    if (enumTasks == NULL)
        return 1;
    VdmWalk walk = { callback, data, processId, 0 };
    enumTasks(processId, OnVdmTask, (LPARAM)&walk);
    return !walk.stopped;
}

// Windows 95/98/Me: the snapshot carries the full path of each program.
static int EnumProcsFromSnapshot(ProcessCallback callback, void* data)
{
    const ProcessApi& api = Api();
    if (api.snapshot == NULL || api.first == NULL || api.next == NULL)
        return 0;
    KernelHandle snap(api.snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap.IsValid())
        return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = api.first(snap.Get(), &entry); more; more = api.next(snap.Get(), &entry)) {
        char path[VX_PATH];
        TextCopy(path, entry.szExeFile);
        if (!callback(entry.th32ProcessID, 0, "", path, data))
            break;
    }
    return 1;
}

// --- Paths kept between walks --------------------------------------------------------
//
// Reading a process's path costs an open, a query and a close, and the
// same programs run all day while the list is made at every change of the
// process set.  A walk keeps each process it could read open, with its
// path, until a later walk no longer finds its id: while the handle is held
// the id cannot pass to another process, so the kept path stays true (an
// ended process is no longer listed, though its handle keeps its object).

struct KeptProcess {
    DWORD id;
    HANDLE handle;
    char path[VX_PATH];
};

struct KeptProcesses {
    KeptProcess* entries;  // sorted by id
    int count;
};

static KeptProcesses s_keptProcesses = { NULL, 0 };
static int s_walking = 0;

static int CompareKeptIds(const void* a, const void* b)
{
    DWORD x = ((const KeptProcess*)a)->id, y = ((const KeptProcess*)b)->id;
    return x < y ? -1 : x > y ? 1 : 0;
}

static KeptProcess* FindKept(const KeptProcesses& kept, DWORD id)
{
    KeptProcess key;
    key.id = id;
    return (KeptProcess*)bsearch(&key, kept.entries, (size_t)kept.count, sizeof(KeptProcess),
                                 CompareKeptIds);
}

static void CloseKept(KeptProcesses* kept)
{
    for (int i = 0; i < kept->count; i++)
        if (kept->entries[i].handle != NULL)
            CloseHandle(kept->entries[i].handle);
    HeapFree(GetProcessHeap(), 0, kept->entries);
    kept->entries = NULL;
    kept->count = 0;
}

// The path of process id, from the last walk's kept entry (moved into
// next) or read afresh (and kept in next when the process could be read).
static void PathOfWalkedProcess(DWORD id, KeptProcesses* next, char* out)
{
    KeptProcess* old = FindKept(s_keptProcesses, id);
    if (old != NULL && old->handle != NULL) {
        TextCopy(out, VX_PATH, old->path);
        if (next->entries != NULL) {
            next->entries[next->count++] = *old;
            old->handle = NULL;
        }
        return;
    }
    out[0] = '\0';
    HANDLE process = OpenProcess(QueryRights(), FALSE, id);
    if (process == NULL)
        return;
    PathOfProcess(process, out);
    if (out[0] == '\0' || next->entries == NULL) {
        CloseHandle(process);
        return;
    }
    KeptProcess* entry = &next->entries[next->count++];
    entry->id = id;
    entry->handle = process;
    TextCopy(entry->path, out);
}

int EnumProcs(ProcessCallback callback, void* data)
{
    if (callback == NULL)
        return 0;
    if (!Api().nt)
        return EnumProcsFromSnapshot(callback, data);
    DWORD* ids = NULL;
    int count = ReadAllProcessIds(&ids, FIRST_ID_CAPACITY);
    if (count < 0)
        return 0;
    // A walk started from a callback of another reads every path afresh.
    int keeping = !s_walking;
    KeptProcesses next = { NULL, 0 };
    if (keeping)
        next.entries = (KeptProcess*)HeapAlloc(GetProcessHeap(), 0,
                                               sizeof(KeptProcess) * (size_t)(count + 1));
    s_walking++;
    for (int i = 0; i < count; i++) {
        char path[VX_PATH];
        if (keeping)
            PathOfWalkedProcess(ids[i], &next, path);
        else
            PathOfProcessId(ids[i], path);
        if (!callback(ids[i], 0, "", path, data))
            break;
        if (!EnumVdmTasks(ids[i], path, callback, data))
            break;
    }
    s_walking--;
    if (keeping) {
        // What was not walked again is closed; a walk cut short by its
        // callback reads the rest afresh next time.
        CloseKept(&s_keptProcesses);
        qsort(next.entries, (size_t)next.count, sizeof(KeptProcess), CompareKeptIds);
        s_keptProcesses = next;
    }
    FreeProcessIds(ids);
    return 1;
}

// --- Comparable paths ------------------------------------------------------------

// The folders ExpandProgramPath resolves, read once per enumeration rather
// than once per process.
struct ExpandFolders {
    char windows[VX_PATH];
    char programFiles[VX_PATH];
};

static void ReadExpandFolders(ExpandFolders* folders)
{
    UINT n = GetWindowsDirectoryA(folders->windows, VX_PATH);
    if (n == 0 || n >= VX_PATH)
        folders->windows[0] = '\0';
    if (RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "ProgramFilesDir", folders->programFiles, VX_PATH) <= 0)
        TextCopy(folders->programFiles, VX_PATH, "C:\\Program Files");
}

static void ComparablePath(const char* text, const ExpandFolders& folders, char* out)
{
    char trimmed[VX_PATH];
    SkipBlanks(text, trimmed, sizeof(trimmed));
    ExpandProgramPathText(trimmed, folders.windows, folders.programFiles, out, VX_PATH);
}

// What a wanted file is compared with.
struct WantedFile {
    ExpandFolders folders;
    char comparable[VX_PATH];
};

static int MakeWanted(const char* file, WantedFile* wanted)
{
    ReadExpandFolders(&wanted->folders);
    wanted->comparable[0] = '\0';
    if (file == NULL || file[0] == '\0')
        return 0;
    ComparablePath(file, wanted->folders, wanted->comparable);
    return wanted->comparable[0] != '\0';
}

static int MatchesWanted(const char* path, const WantedFile& wanted)
{
    if (path == NULL || path[0] == '\0' || wanted.comparable[0] == '\0')
        return 0;
    char comparable[VX_PATH];
    ComparablePath(path, wanted.folders, comparable);
    if (TextEqualNoCase(comparable, wanted.comparable))
        return 1;
    const char* namePart = path + FileNameOffset(path);
    return namePart[0] != '\0' && TextEqualNoCase(namePart, wanted.comparable);
}

int ProcessMatchesFile(const char* path, const char* file)
{
    WantedFile wanted;
    if (!MakeWanted(file, &wanted))
        return 0;
    return MatchesWanted(path, wanted);
}

// --- Programs --------------------------------------------------------------------

// A set of comparable paths: open addressing over a power-of-two table
// that doubles whenever it is half full.
struct PathSet {
    char (*paths)[VX_PATH];
    int capacity;
    int count;
};

static unsigned PathHash(const char* text)
{
    unsigned h = 2166136261u;
    for (; *text != '\0'; text++) {
        char c = *text;
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
        h = (h ^ (unsigned char)c) * 16777619u;
    }
    return h;
}

static int PathSetOpen(PathSet* set, int capacity)
{
    set->paths = (char (*)[VX_PATH])HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                             (SIZE_T)capacity * VX_PATH);
    set->capacity = set->paths != NULL ? capacity : 0;
    set->count = 0;
    return set->paths != NULL;
}

static void PathSetClose(PathSet* set)
{
    if (set->paths != NULL)
        HeapFree(GetProcessHeap(), 0, set->paths);
    set->paths = NULL;
    set->capacity = set->count = 0;
}

// The slot of text: where it is, or the empty slot where it belongs.
static int PathSetSlot(const PathSet* set, const char* text)
{
    unsigned mask = (unsigned)set->capacity - 1;
    unsigned slot = PathHash(text) & mask;
    while (set->paths[slot][0] != '\0' && !TextEqualNoCase(set->paths[slot], text))
        slot = (slot + 1) & mask;
    return (int)slot;
}

static int PathSetGrow(PathSet* set)
{
    PathSet bigger;
    if (!PathSetOpen(&bigger, set->capacity * 2))
        return 0;
    for (int i = 0; i < set->capacity; i++)
        if (set->paths[i][0] != '\0')
            TextCopy(bigger.paths[PathSetSlot(&bigger, set->paths[i])], VX_PATH, set->paths[i]);
    bigger.count = set->count;
    PathSetClose(set);
    *set = bigger;
    return 1;
}

// 1 when text was added, 0 when it was there already.  A set that cannot
// grow still answers: a new text then counts as added, so no program is
// ever left out (at worst one is reported twice).
static int PathSetAdd(PathSet* set, const char* text)
{
    if (set->paths == NULL || ((set->count + 1) * 2 > set->capacity && !PathSetGrow(set))) {
        if (set->paths == NULL)
            return 1;
        int slot = PathSetSlot(set, text);
        return set->paths[slot][0] == '\0';
    }
    int slot = PathSetSlot(set, text);
    if (set->paths[slot][0] != '\0')
        return 0;
    TextCopy(set->paths[slot], VX_PATH, text);
    set->count++;
    return 1;
}

struct ProgramWalk {
    ProgramCallback callback;
    void* data;
    ExpandFolders folders;
    PathSet seen;
    int reported;
    int stopped;
};

static int OnProcessForPrograms(DWORD id, WORD, const char*, const char* path, void* data)
{
    ProgramWalk* walk = (ProgramWalk*)data;
    if (path[0] == '\0')
        return 1;
    char comparable[VX_PATH];
    ComparablePath(path, walk->folders, comparable);
    if (comparable[0] == '\0' || !PathSetAdd(&walk->seen, comparable))
        return 1;
    walk->reported++;
    if (walk->callback != NULL && !walk->callback(id, path, comparable, walk->data)) {
        walk->stopped = 1;
        return 0;
    }
    return 1;
}

int EnumPrograms(ProgramCallback callback, void* data)
{
    ProgramWalk walk;
    walk.callback = callback;
    walk.data = data;
    ReadExpandFolders(&walk.folders);
    walk.reported = 0;
    walk.stopped = 0;
    PathSetOpen(&walk.seen, 256);
    int ran = EnumProcs(OnProcessForPrograms, &walk);
    PathSetClose(&walk.seen);
    return ran ? walk.reported : -1;
}

int CountRunningPrograms()
{
    int count = EnumPrograms(NULL, NULL);
    return count < 0 ? 0 : count;
}

// --- Finding and ending ------------------------------------------------------------

struct FindWalk {
    const WantedFile* wanted;
    DWORD id;
};

static int OnProcessFind(DWORD id, WORD task16, const char*, const char* path, void* data)
{
    FindWalk* walk = (FindWalk*)data;
    // A 16-bit task is no process of its own: ending its id would end the
    // whole NTVDM with every other task in it.
    if (task16 != 0 || !MatchesWanted(path, *walk->wanted))
        return 1;
    walk->id = id;
    return 0;
}

static DWORD FindWanted(const WantedFile& wanted)
{
    FindWalk walk = { &wanted, 0 };
    EnumProcs(OnProcessFind, &walk);
    return walk.id;
}

DWORD FindProcessByFile(const char* file)
{
    WantedFile wanted;
    if (!MakeWanted(file, &wanted))
        return 0;
    return FindWanted(wanted);
}

// Ends an opened process with exit code 1 (the code it reports while
// running, 259, would make it look alive to everyone who asks) and waits
// until it is gone.  1 when it ended.
static int TerminateAndWait(HANDLE process)
{
    // A process that has already ended (someone still holds a handle on
    // it) is not ended again: that would report an ending nobody caused.
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
        return 0;
    if (!TerminateProcess(process, 1))
        return 0;
    return WaitForSingleObject(process, END_WAIT_MS) == WAIT_OBJECT_0;
}

// Opens the process to end it and checks on the handle that it still runs
// the program wanted: the id may belong to another program by now, and the
// open handle keeps it from being reused while we act.
static int OpenIfStillWanted(DWORD id, const WantedFile& wanted, KernelHandle* process)
{
    process->Reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | QueryRights(), FALSE, id));
    if (!process->IsValid())
        return 0;
    char path[VX_PATH];
    PathOfProcess(process->Get(), path);
    return MatchesWanted(path, wanted);
}

static void RepaintTaskbar()
{
    // The notification icons of an ended program stay until the taskbar
    // repaints.
    HWND tray = FindWindowA("Shell_TrayWnd", NULL);
    if (tray != NULL)
        RedrawWindow(tray, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// KillProcessByFile's work; *ended tells whether the process is gone.
static DWORD EndMatching(const char* file, const char* name, int ask, int* ended)
{
    *ended = 0;
    WantedFile wanted;
    if (!MakeWanted(file, &wanted))
        return 0;
    DWORD id = FindWanted(wanted);
    if (id == 0)
        return 0;
    if (ask) {
        char pattern[1024];
        LoadText(TEXT_STILL_RUNNING, pattern, sizeof(pattern));
        const char* who = (name != NULL && name[0] != '\0') ? name : file;
        char question[1400];
        TextFill(question, sizeof(question), pattern, &who, 1);
        if (!UiConfirm(question))
            return id;
    }
    KernelHandle process;
    if (!OpenIfStillWanted(id, wanted, &process))
        return 0;
    if (!TerminateAndWait(process.Get()))
        return id;
    *ended = 1;
    WriteHistory(name != NULL ? name : "", file, "", TYPE_TASK, HA_TASK_KILL);
    RepaintTaskbar();
    return id;
}

DWORD KillProcessByFile(const char* file, const char* name, int ask)
{
    int ended = 0;
    return EndMatching(file, name, ask, &ended);
}

int EndProcessOfFile(const char* file, const char* name)
{
    int ended = 0;
    EndMatching(file, name, 0, &ended);
    return ended;
}

int KillProcessById(DWORD processId, const char* path)
{
    WantedFile wanted;
    if (processId == 0 || !MakeWanted(path, &wanted))
        return 0;
    KernelHandle process;
    if (!OpenIfStillWanted(processId, wanted, &process))
        return 0;
    return TerminateAndWait(process.Get());
}

int EndProgramIfRunning(const char* command)
{
    ExpandFolders folders;
    ReadExpandFolders(&folders);
    char file[VX_PATH];
    ComparablePath(command != NULL ? command : "", folders, file);
    if (file[0] == '\0')
        return 0;
    return EndProcessOfFile(file, file + FileNameOffset(file));
}
