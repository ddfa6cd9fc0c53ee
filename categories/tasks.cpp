// Scheduled tasks through the Task Scheduler 1.0 interfaces.  Names come
// from the scheduler as wide text.  The ANSI code page may merge two of them
// (a letter it has no spelling for) or the list may cut them (127
// characters), so a task is known, approved and deleted by its own wide
// name (in UTF-8, its Key); the ANSI name is only shown.
#include "categories/tasks.h"

#include <objbase.h>
#include <mstask.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "foundation/detected.h"
#include "foundation/file_dates.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/item_list.h"
#include "foundation/name_table.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/tasks.h"

static const GUID kTaskSchedulerClass = {
    0x148BD52A, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kTaskSchedulerInterface = {
    0x148BD527, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kTaskInterface = {
    0x148BD524, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };

#define TASK_BATCH 5
#define SCHEDULER_SERVICE "Schedule"
// How long a scheduler that had to be started is waited for.
#define SCHEDULER_START_WAIT_MS 3000

// Set while an operation runs on a Windows 95/98/Me agent it started.
static int g_SchedulerStarted = 0;

struct ScCloser {
    void operator()(SC_HANDLE h) const { CloseServiceHandle(h); }
};
typedef ScopedHandle<SC_HANDLE, ScCloser> ScHandle;

static HWND FindSchedulerAgent()
{
    return FindWindowA("SAGEWINDOWCLASS", "SYSTEM AGENT COM WINDOW");
}

static int LastErrorOr(DWORD fallback)
{
    DWORD error = GetLastError();
    return (int)(error != 0 ? error : fallback);
}

static void RepaintTaskbar()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    if (taskbar != NULL)
        InvalidateRect(taskbar, NULL, TRUE);
}

// --- Starting and stopping the scheduler ---------------------------------------

static int StartSchedulerAgent()
{
    if (FindSchedulerAgent() != NULL)
        return 0;
    char path[MAX_PATH];
    char* file = NULL;
    SetLastError(0);
    if (SearchPathA(NULL, "mstask.exe", NULL, sizeof(path), path, &file) == 0)
        return LastErrorOr(ERROR_FILE_NOT_FOUND);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(path, NULL, NULL, NULL, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP, NULL, NULL, &startup,
                        &process))
        return LastErrorOr(ERROR_FILE_NOT_FOUND);
    KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    g_SchedulerStarted = 1;
    // The agent answers COM only once its window is there.
    for (int waited = 0; waited < SCHEDULER_START_WAIT_MS && FindSchedulerAgent() == NULL;
         waited += 50)
        Sleep(50);
    return 0;
}

static int StartSchedulerService()
{
    ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
    if (!scm.IsValid())
        return LastErrorOr(ERROR_ACCESS_DENIED);
    ScHandle service(OpenServiceA(scm.Get(), SCHEDULER_SERVICE,
                                  SERVICE_QUERY_STATUS | SERVICE_START));
    if (!service.IsValid())
        return LastErrorOr(ERROR_SERVICE_DOES_NOT_EXIST);
    SERVICE_STATUS status;
    if (!QueryServiceStatus(service.Get(), &status))
        return LastErrorOr(ERROR_ACCESS_DENIED);
    if (status.dwCurrentState == SERVICE_RUNNING)
        return 0;
    if (status.dwCurrentState != SERVICE_START_PENDING &&
        !StartServiceA(service.Get(), 0, NULL) &&
        GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return LastErrorOr(ERROR_SERVICE_NOT_ACTIVE);
    // A service that was just started answers only once it runs.
    for (int waited = 0; waited <= SCHEDULER_START_WAIT_MS; waited += 50) {
        if (!QueryServiceStatus(service.Get(), &status))
            return LastErrorOr(ERROR_ACCESS_DENIED);
        if (status.dwCurrentState == SERVICE_RUNNING)
            return 0;
        if (status.dwCurrentState == SERVICE_STOPPED)
            return ERROR_SERVICE_NOT_ACTIVE;
        Sleep(50);
    }
    return ERROR_SERVICE_REQUEST_TIMEOUT;
}

int EnsureSchedulerRunning()
{
    g_SchedulerStarted = 0;
    return IsWindowsNT() ? StartSchedulerService() : StartSchedulerAgent();
}

int IsSchedulerRunning()
{
    if (!IsWindowsNT())
        return FindSchedulerAgent() != NULL ? 1 : 0;
    ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
    if (!scm.IsValid())
        return 0;
    ScHandle service(OpenServiceA(scm.Get(), SCHEDULER_SERVICE, SERVICE_QUERY_STATUS));
    SERVICE_STATUS status;
    if (!service.IsValid() || !QueryServiceStatus(service.Get(), &status))
        return 0;
    return status.dwCurrentState == SERVICE_RUNNING ? 1 : 0;
}

int StopScheduler()
{
    if (!IsWindowsNT()) {
        HWND agent = FindSchedulerAgent();
        if (agent == NULL)
            return 1;
        DWORD processId = 0;
        GetWindowThreadProcessId(agent, &processId);
        KernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
        if (process.IsValid()) {
            DWORD exitCode = 0;
            GetExitCodeProcess(process.Get(), &exitCode);
            TerminateProcess(process.Get(), exitCode);
        }
        // The agent's tray icon goes only when the taskbar repaints.
        RepaintTaskbar();
        g_SchedulerStarted = 0;
        return 0;
    }
    g_SchedulerStarted = 0;
    ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
    if (!scm.IsValid())
        return 1;
    ScHandle service(OpenServiceA(scm.Get(), SCHEDULER_SERVICE,
                                  SERVICE_QUERY_STATUS | SERVICE_STOP));
    SERVICE_STATUS status;
    if (!service.IsValid() || !QueryServiceStatus(service.Get(), &status))
        return 1;
    if (status.dwCurrentState != SERVICE_RUNNING)
        return 1;
    return ControlService(service.Get(), SERVICE_CONTROL_STOP, &status) ? 0 : 1;
}

// --- The walk over the work items ----------------------------------------------------

// Stops the scheduler at the end of an operation that started it, on
// every path out.
class SchedulerStopper {
public:
    ~SchedulerStopper()
    {
        if (g_SchedulerStarted)
            StopScheduler();
    }
};

// COM for the length of one operation; uninitialised on every path out.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(NULL)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    // A thread already in another apartment can still use the scheduler.
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

// The name to hand back to the scheduler: its own wide name without the
// ".job" the enumeration adds (the interface wants the bare name).  0 when
// it does not fit.
static int CallNameOf(const wchar_t* listed, wchar_t* out, size_t outCount)
{
    size_t length = wcslen(listed);
    if (length >= outCount)
        return 0;
    wmemcpy(out, listed, length + 1);
    if (length > 4 && _wcsicmp(out + length - 4, L".job") == 0)
        out[length - 4] = L'\0';
    return 1;
}

static void AnsiOf(const wchar_t* text, char* out, int outSize)
{
    out[0] = '\0';
    if (text == NULL)
        return;
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, out, outSize, NULL, NULL) == 0) {
        // Too long for out: converted whole, then cut.
        int need = WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
        char* whole = need > 0 ? (char*)malloc((size_t)need) : NULL;
        if (whole != NULL && WideCharToMultiByte(CP_ACP, 0, text, -1, whole, need, NULL, NULL))
            TextCopy(out, (size_t)outSize, whole);
        free(whole);
    }
}

// 1 when ansi spells text exactly (nothing merged, nothing cut).
static int SpelledExactly(const wchar_t* text, const char* ansi)
{
    int count = MultiByteToWideChar(CP_ACP, 0, ansi, -1, NULL, 0);
    wchar_t* back = count > 0 ? (wchar_t*)malloc(sizeof(wchar_t) * (size_t)count) : NULL;
    int same = back != NULL && MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, count) > 0 &&
               wcscmp(back, text) == 0;
    free(back);
    return same;
}

// Called for every work item: the scheduler, the name to call it by, the
// name as listed (wide), in ANSI (the display name) and in UTF-8 (its key:
// the ANSI name may have lost characters or been cut).  Returns 0 to end
// the walk.
typedef int (*TaskVisitor)(ITaskScheduler* scheduler, const wchar_t* callName,
                           const wchar_t* listed, const char* name, const char* key,
                           void* context);

enum WalkResult { WALK_DONE = 0, WALK_NO_SCHEDULER = 1, WALK_COM_FAILED = 2 };

// The frame of every operation.  One way out: the guards release the
// interfaces, then uninitialise COM, then stop a scheduler that was
// started, whatever call failed.  *hr receives the failing COM result.
static int WalkTasks(TaskVisitor visit, void* context, HRESULT* hr)
{
    *hr = S_OK;
    if (EnsureSchedulerRunning() != 0)
        return WALK_NO_SCHEDULER;
    SchedulerStopper stopper;
    ComScope com;
    if (!com.Usable()) {
        *hr = com.Result();
        return WALK_COM_FAILED;
    }
    ComRef<ITaskScheduler> scheduler;
    *hr = CoCreateInstance(kTaskSchedulerClass, NULL, CLSCTX_INPROC_SERVER,
                           kTaskSchedulerInterface, scheduler.OutVoid());
    if (FAILED(*hr))
        return WALK_COM_FAILED;
    ComRef<IEnumWorkItems> items;
    *hr = scheduler->Enum(items.Out());
    if (FAILED(*hr))
        return WALK_COM_FAILED;
    *hr = S_OK;
    for (int going = 1; going;) {
        LPWSTR* names = NULL;
        ULONG fetched = 0;
        HRESULT next = items->Next(TASK_BATCH, &names, &fetched);
        if (FAILED(next) || names == NULL) {
            if (names != NULL)
                CoTaskMemFree(names);
            break;
        }
        // Last name first: the list holds each batch the other way round.
        for (ULONG i = fetched; i-- > 0;) {
            if (going && names[i] != NULL) {
                wchar_t callName[MAX_PATH + 8];
                char name[ITEM_NAME], key[ITEM_KEY];
                AnsiOf(names[i], name, sizeof(name));
                if (WideCharToMultiByte(CP_UTF8, 0, names[i], -1, key, sizeof(key), NULL,
                                        NULL) == 0)
                    key[0] = '\0';
                if (key[0] != '\0' &&
                    CallNameOf(names[i], callName, sizeof(callName) / sizeof(callName[0])))
                    going = visit(scheduler.Get(), callName, names[i], name, key, context);
            }
            CoTaskMemFree(names[i]);
        }
        CoTaskMemFree(names);
        if (fetched == 0 || next != S_OK)
            break;
    }
    return WALK_DONE;
}

static int ActivateTask(ITaskScheduler* scheduler, const wchar_t* callName, ComRef<ITask>* task)
{
    return SUCCEEDED(scheduler->Activate(callName, kTaskInterface,
                                         reinterpret_cast<IUnknown**>(task->Out())));
}

int FormatTaskTime(const SYSTEMTIME* time, char* out, int outSize)
{
    char never[128];
    LoadText(TXT_TASK_NEVER, never, sizeof(never));
    return (int)FormatHistoryTime(time->wMonth, time->wDay, time->wYear, time->wHour,
                                  time->wMinute, never, out, (size_t)outSize);
}

// A time the task answers with S_OK; any other answer (no trigger, disabled,
// failure) counts as none.  *when gets the time as a FILETIME (zero: none).
static void TaskTimeText(ITask* task, int next, char* out, int outSize, FILETIME* when)
{
    SYSTEMTIME time;
    memset(&time, 0, sizeof(time));
    HRESULT hr = next ? task->GetNextRunTime(&time) : task->GetMostRecentRunTime(&time);
    if (hr != S_OK)
        memset(&time, 0, sizeof(time));
    FormatTaskTime(&time, out, outSize);
    if (hr != S_OK || !SystemTimeToFileTime(&time, when))
        when->dwLowDateTime = when->dwHighDateTime = 0;
}

// --- What each task said, kept between listings ---------------------------------------

// Activating a task reads and parses its .job file, many times the cost of
// listing its name, and nearly every listing finds every task as it was.
// What a task said is kept while its .job file in the Tasks folder keeps
// its stamp (settled when it was read) and its next run still lies ahead.
// Where there is no such file (a scheduler that keeps its tasks elsewhere)
// every task is activated.
struct TaskFacts {
    FileStamp job;
    int settled;
    FILETIME nextRun;  // local time; zero: none
    char command[ITEM_COMMAND];
    char last[ITEM_INFO];
    char next[ITEM_EXTRA];
};
#define TASK_FACTS_MAX 1024
static TaskFacts* s_taskFacts = NULL;
static int s_taskFactCount = 0;
static NameTable s_taskFactIndex;  // the wide name in UTF-8 -> slot

// The stamps of the .job files in the Tasks folder, read in one walk over
// the folder at the start of a listing (far cheaper than asking for each
// file by its path).
struct JobStamps {
    NameTable index;  // "<name>.job" in UTF-8 -> slot
    FileStamp* stamps;
    int count, room;
};

static void ReadJobStamps(JobStamps* jobs)
{
    NameTableInit(&jobs->index);
    jobs->stamps = NULL;
    jobs->count = jobs->room = 0;
    wchar_t windows[MAX_PATH], pattern[MAX_PATH + 16];
    UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH ||
        swprintf(pattern, sizeof(pattern) / sizeof(pattern[0]), L"%ls\\Tasks\\*.job",
                 windows) < 0)
        return;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileExW(pattern, FindExInfoBasic, &found, FindExSearchNameMatch,
                                       NULL, 0));
    if (!search.IsValid())
        return;
    do {
        char key[MAX_PATH * 3];
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ||
            WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, key, sizeof(key), NULL, NULL) == 0)
            continue;
        if (!GrowBlock(&jobs->stamps, &jobs->room, jobs->count, 64))
            break;
        FileStamp* stamp = &jobs->stamps[jobs->count];
        stamp->attributes = found.dwFileAttributes;
        stamp->sizeLow = found.nFileSizeLow;
        stamp->sizeHigh = found.nFileSizeHigh;
        stamp->written = found.ftLastWriteTime;
        if (NameTablePut(&jobs->index, key, jobs->count))
            jobs->count++;
    } while (FindNextFileW(search.Get(), &found));
}

static void FreeJobStamps(JobStamps* jobs)
{
    NameTableFree(&jobs->index);
    free(jobs->stamps);
}

// The stamp of the task's .job file; attributes INVALID_FILE_ATTRIBUTES
// when the walk did not find it.
static void StampOfJob(const JobStamps& jobs, const char* key, FileStamp* stamp)
{
    char file[MAX_PATH * 3 + 8];
    int slot = -1;
    if (TextFormat(file, sizeof(file), "%s.job", key) > 0 && NameTableGet(&jobs.index, file, &slot))
        *stamp = jobs.stamps[slot];
    else
        StampFileW(L"", stamp);
}

static int ReadTaskFacts(ITaskScheduler* scheduler, const wchar_t* callName, TaskFacts* facts)
{
    ComRef<ITask> task;
    if (!ActivateTask(scheduler, callName, &task))
        return 0;
    facts->command[0] = '\0';
    LPWSTR application = NULL;
    if (SUCCEEDED(task->GetApplicationName(&application)))
        AnsiOf(application, facts->command, sizeof(facts->command));
    if (application != NULL)
        CoTaskMemFree(application);
    FILETIME lastRun;
    TaskTimeText(task.Get(), 0, facts->last, sizeof(facts->last), &lastRun);
    TaskTimeText(task.Get(), 1, facts->next, sizeof(facts->next), &facts->nextRun);
    return 1;
}

static int StillAhead(const FILETIME& nextRun, const FILETIME& localNow)
{
    return (nextRun.dwLowDateTime == 0 && nextRun.dwHighDateTime == 0) ||
           CompareFileTime(&nextRun, &localNow) > 0;
}

// What one listing reads once: the time (UTC, and local for the next run
// times) and the stamps of the .job files.
struct Listing {
    ItemList* list;
    FILETIME now, localNow;
    JobStamps jobs;
    int outsideFolder;  // tasks whose .job file is not in the Tasks folder
};

// What the task says now: kept, or read afresh (and kept).  NULL when it
// cannot be activated.
static const TaskFacts* FactsOfTask(ITaskScheduler* scheduler, const wchar_t* callName,
                                    Listing& listing, TaskFacts* fresh)
{
    char key[MAX_PATH * 3 + 8];
    if (WideCharToMultiByte(CP_UTF8, 0, callName, -1, key, sizeof(key), NULL, NULL) == 0)
        key[0] = '\0';
    FileStamp job;
    StampOfJob(listing.jobs, key, &job);
    if (job.attributes == INVALID_FILE_ATTRIBUTES)
        listing.outsideFolder++;
    int slot = -1;
    TaskFacts* kept = key[0] != '\0' && NameTableGet(&s_taskFactIndex, key, &slot)
                          ? &s_taskFacts[slot] : NULL;
    if (kept != NULL && kept->settled && job.attributes != INVALID_FILE_ATTRIBUTES &&
        SameStamp(kept->job, job) && StillAhead(kept->nextRun, listing.localNow))
        return kept;
    if (!ReadTaskFacts(scheduler, callName, fresh))
        return NULL;
    fresh->job = job;
    fresh->settled = job.attributes != INVALID_FILE_ATTRIBUTES && WrittenLongBefore(job.written, listing.now);
    if (kept == NULL && fresh->settled && key[0] != '\0') {
        if (s_taskFacts == NULL)
            s_taskFacts = (TaskFacts*)malloc(sizeof(TaskFacts) * TASK_FACTS_MAX);
        if (s_taskFacts == NULL)
            return fresh;
        if (s_taskFactCount >= TASK_FACTS_MAX) {
            s_taskFactCount = 0;  // start afresh rather than grow without end
            NameTableFree(&s_taskFactIndex);
        }
        if (!NameTablePut(&s_taskFactIndex, key, s_taskFactCount))
            return fresh;
        kept = &s_taskFacts[s_taskFactCount++];
    }
    if (kept != NULL)
        *kept = *fresh;
    return fresh;
}

// --- The listing ---------------------------------------------------------------------------

static int AddTaskEntry(ITaskScheduler* scheduler, const wchar_t* callName, const wchar_t*,
                        const char* name, const char* key, void* context)
{
    TaskFacts* fresh = (TaskFacts*)malloc(sizeof(TaskFacts));
    if (fresh == NULL)
        return 1;
    Listing* listing = (Listing*)context;
    const TaskFacts* facts = FactsOfTask(scheduler, callName, *listing, fresh);
    if (facts != NULL)
        AddKeyedItem(listing->list, key, name, facts->command, facts->next, facts->last,
                     TASK_CODE_SCHEDULED, 0);
    free(fresh);
    return 1;
}

// Set by each listing: every task listed had its .job file in the Tasks
// folder.
static int s_allInFolder = 0;

// Fills the list; returns what WalkTasks does.
static int WalkListing(ItemList* list, HRESULT* hr)
{
    ClearItems(list);
    Listing listing;
    listing.list = list;
    GetSystemTimeAsFileTime(&listing.now);
    FileTimeToLocalFileTime(&listing.now, &listing.localNow);
    ReadJobStamps(&listing.jobs);
    listing.outsideFolder = 0;
    int result = WalkTasks(AddTaskEntry, &listing, hr);
    FreeJobStamps(&listing.jobs);
    s_allInFolder = result == WALK_DONE && listing.outsideFolder == 0;
    return result;
}

static int ListTasks(ItemList* list, HRESULT* hr)
{
    return WalkListing(list, hr) == WALK_DONE;
}

int EnumScheduledTasks(ItemList* list)
{
    HRESULT hr = S_OK;
    switch (WalkListing(list, &hr)) {
    case WALK_NO_SCHEDULER: return 0;
    case WALK_COM_FAILED: return (int)hr < 0 ? (int)hr : 0;
    default: return ItemCount(list);
    }
}

// --- One task by name -------------------------------------------------------------------

struct TaskLookup {
    const char* wanted;  // the key; for what is only shown also an exact ANSI name
    int what;          // LOOK_*
    char* out;
    int outSize;
    int found;
    int done;
};

enum { LOOK_DELETE, LOOK_NEXT_RUN, LOOK_COMMENT, LOOK_STATUS };

static void LookIntoTask(ITask* task, TaskLookup* lookup)
{
    switch (lookup->what) {
    case LOOK_NEXT_RUN: {
        FILETIME when;
        TaskTimeText(task, 1, lookup->out, lookup->outSize, &when);
        break;
    }
    case LOOK_COMMENT: {
        LPWSTR comment = NULL;
        if (SUCCEEDED(task->GetComment(&comment)))
            AnsiOf(comment, lookup->out, lookup->outSize);
        if (comment != NULL)
            CoTaskMemFree(comment);
        break;
    }
    case LOOK_STATUS: {
        HRESULT status = S_OK;
        int textId = TXT_TASK_STATUS_READY;
        if (SUCCEEDED(task->GetStatus(&status))) {
            if (status == SCHED_S_TASK_RUNNING)
                textId = TXT_TASK_STATUS_RUNNING;
            else if (status == SCHED_S_TASK_NOT_SCHEDULED)
                textId = TXT_TASK_STATUS_NOT_SCHEDULED;
        }
        LoadText(textId, lookup->out, lookup->outSize);
        break;
    }
    default:
        break;
    }
}

// A deletion acts on the task of that key only: an ANSI name may stand for
// several tasks.  What is only shown (the alert's next run time) may be
// asked for by an ANSI name that spells the task's name exactly.
static int LookupMatches(const TaskLookup* lookup, const wchar_t* listed, const char* name,
                         const char* key)
{
    if (TextEqualNoCase(key, lookup->wanted))
        return 1;
    return lookup->what != LOOK_DELETE && TextEqualNoCase(name, lookup->wanted) &&
           SpelledExactly(listed, name);
}

static int VisitLookup(ITaskScheduler* scheduler, const wchar_t* callName, const wchar_t* listed,
                       const char* name, const char* key, void* context)
{
    TaskLookup* lookup = (TaskLookup*)context;
    if (!LookupMatches(lookup, listed, name, key))
        return 1;
    lookup->found = 1;
    if (lookup->what == LOOK_DELETE) {
        lookup->done = SUCCEEDED(scheduler->Delete(callName));
        return 0;
    }
    ComRef<ITask> task;
    if (ActivateTask(scheduler, callName, &task)) {
        LookIntoTask(task.Get(), lookup);
        lookup->done = 1;
    }
    return 0;
}

static int LookUpTask(const char* name, int what, char* out, int outSize)
{
    if (out != NULL && outSize > 0)
        out[0] = '\0';
    if (name == NULL || name[0] == '\0')
        return 0;
    TaskLookup lookup = { name, what, out, outSize, 0, 0 };
    HRESULT hr = S_OK;
    WalkTasks(VisitLookup, &lookup, &hr);
    if (what == LOOK_DELETE)
        return lookup.done;
    return lookup.done ? (int)strlen(out) : 0;
}

int DeleteScheduledTask(const char* name)
{
    return LookUpTask(name, LOOK_DELETE, NULL, 0);
}

int GetTaskNextRunTime(const char* name, char* out, int outSize)
{
    return LookUpTask(name, LOOK_NEXT_RUN, out, outSize);
}

int GetTaskComment(const char* name, char* out, int outSize)
{
    return LookUpTask(name, LOOK_COMMENT, out, outSize);
}

int GetTaskStatusText(const char* name, char* out, int outSize)
{
    return LookUpTask(name, LOOK_STATUS, out, outSize);
}

// --- The baseline, by the scheduler's own names ----------------------------------------------

// A task's baseline value is named by its wide name ("X.job"): for a name
// with an ANSI spelling that is the very value an ANSI write made, so
// baselines recorded before stay valid, and tasks the ANSI code page merges
// or cuts keep values of their own.  Where the system has no wide registry
// calls (Windows 95/98/Me) the ANSI spelling names the value.

// The task's identity: its Key; a record made without one, its Name.
static const char* TaskKeyOf(const ItemRecord* item)
{
    return item->Key[0] != '\0' ? item->Key : item->Name;
}

// The baseline key opened (created when create is set) and the value of the
// task key named both ways.  0 when the key cannot be had.
struct TaskValue {
    RegKey baseline;
    wchar_t wide[ITEM_KEY];
    char ansi[ITEM_KEY];
};

static int OpenTaskValue(const char* key, REGSAM access, int create, TaskValue* value)
{
    if (MultiByteToWideChar(CP_UTF8, 0, key, -1, value->wide, ITEM_KEY) == 0)
        return 0;
    AnsiOf(value->wide, value->ansi, sizeof(value->ansi));
    LONG rc = create ? value->baseline.Create(HKEY_CURRENT_USER, VX_TASKS_KEY, access)
                     : value->baseline.Open(HKEY_CURRENT_USER, VX_TASKS_KEY, access);
    return rc == ERROR_SUCCESS;
}

static int WriteTaskApproval(const char* key)
{
    TaskValue value;
    if (!OpenTaskValue(key, KEY_SET_VALUE, 1, &value))
        return 0;
    LONG rc = RegSetValueExW(value.baseline, value.wide, 0, REG_SZ, (const BYTE*)L"800",
                             sizeof(L"800"));
    if (rc == ERROR_CALL_NOT_IMPLEMENTED)
        rc = RegSetValueExA(value.baseline, value.ansi, 0, REG_SZ, (const BYTE*)"800", 4);
    return rc == ERROR_SUCCESS;
}

static void ForgetTaskApproval(const char* key)
{
    TaskValue value;
    if (OpenTaskValue(key, KEY_SET_VALUE, 0, &value) &&
        RegDeleteValueW(value.baseline, value.wide) == ERROR_CALL_NOT_IMPLEMENTED)
        RegDeleteValueA(value.baseline, value.ansi);
}

// The baseline code of the task key: from the table (names in UTF-8), else
// from its value.  0 when there is none (or it is "0").
static int TaskApprovalCode(const NameTable* table, const char* key)
{
    int code = 0;
    if (table != NULL) {
        NameTableGet(table, key, &code);
        return code;
    }
    TaskValue value;
    if (!OpenTaskValue(key, KEY_QUERY_VALUE, 0, &value))
        return 0;
    wchar_t data[32];
    DWORD type = 0, size = sizeof(data) - sizeof(wchar_t);
    LONG rc = RegQueryValueExW(value.baseline, value.wide, NULL, &type, (BYTE*)data, &size);
    if (rc == ERROR_CALL_NOT_IMPLEMENTED)
        return BaselineCodeIn(NULL, VX_TASKS_KEY, value.ansi);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    data[size / sizeof(wchar_t)] = L'\0';
    return _wtoi(data);
}

// The comparison's table: the baseline with its names in UTF-8, kept
// between patrols.
static void* TaskBaselineTable()
{
    return NameTableKeptBaselineUtf8(VX_TASKS_KEY, NULL);
}

// --- The category's operations ------------------------------------------------------------

// Every task there is; 0 (and nothing written) when the scheduler could not
// be asked, so the baseline is built at a later start instead of empty.
static int InitTasksBaseline()
{
    ItemList list;
    HRESULT hr = S_OK;
    if (!ListTasks(&list, &hr))
        return 0;
    if (!RegCreateKeyPath(HKEY_CURRENT_USER, VX_TASKS_KEY))
        return 0;
    for (int i = 0; i < ItemCount(&list); i++)
        WriteTaskApproval(TaskKeyOf(GetItem(&list, i)));
    return 1;
}

static int RecordTasksDetected()
{
    ItemList list;
    HRESULT hr = S_OK;
    if (!ListTasks(&list, &hr))
        return 0;
    for (int i = 0; i < ItemCount(&list); i++)
        RecordDetected(GetItemCommand(&list, i), VX_DETECTED_KEY "\\Tasks");
    return 1;
}

// --- The patrol ----------------------------------------------------------------------------

static int TellNewTask(const ItemRecord* item, void* context);

// The Tasks folder and the baseline as the last patrol that found nothing
// new saw them.  A new task is a new .job file, which changes the folder's
// time, and an approval taken back changes the baseline: while both stand
// as they were (and were settled when read) there is nothing to ask, and
// the scheduler is not walked.  This holds only where every task listed had
// its .job file in that folder; elsewhere every patrol lists.
struct QuietTasks {
    int valid;
    FileStamp folder;
    KeyStamp baseline;
};
static QuietTasks s_quietTasks;

static void StampTasksFolder(FileStamp* folder)
{
    char path[MAX_PATH + 8];
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        StampFile("", folder);
        return;
    }
    TextAppend(path, "\\Tasks");
    StampFile(path, folder);
}

static int EveryTaskKnown(const ItemList* list)
{
    void* baseline = TaskBaselineTable();
    for (int i = 0; i < ItemCount(list); i++)
        if (TellNewTask(GetItem(list, i), baseline) != VERDICT_KNOWN)
            return 0;
    return 1;
}

// What the Tasks folder and the baseline look like now.
static void StampQuiet(QuietTasks* now)
{
    StampTasksFolder(&now->folder);
    StampKey(HKEY_CURRENT_USER, VX_TASKS_KEY, &now->baseline);
}

// The patrol runs while the scheduler does, and only when the last quiet
// patrol's folder or baseline changed since: the stamps cost a few calls,
// asking the service manager about the scheduler many more.
static int TasksPatrolDue()
{
    QuietTasks now;
    StampQuiet(&now);
    if (s_quietTasks.valid && SameStamp(now.folder, s_quietTasks.folder) &&
        SameKeyStamp(now.baseline, s_quietTasks.baseline))
        return 0;
    return IsSchedulerRunning();
}

static int ListTasksForPatrol(ItemList* out)
{
    QuietTasks now;
    StampQuiet(&now);
    s_quietTasks.valid = 0;
    int count = EnumScheduledTasks(out);
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    if (count >= 0 && s_allInFolder && now.folder.attributes != INVALID_FILE_ATTRIBUTES &&
        WrittenLongBefore(now.folder.written, time) && now.baseline.ok &&
        WrittenLongBefore(now.baseline.written, time) && EveryTaskKnown(out)) {
        s_quietTasks = now;
        s_quietTasks.valid = 1;
    }
    return count < 0 ? 0 : count;
}

// New: not approved (missing or "0"), and not one of McAfee.com's own
// update tasks, which come and go with that product.
static int TellNewTask(const ItemRecord* item, void* context)
{
    int code = TaskApprovalCode((const NameTable*)context, TaskKeyOf(item));
    if (code != 0 || TextFindNoCase(item->Name, "McAfee.com") ||
        TextFindNoCase(item->Key, "McAfee.com"))
        return VERDICT_KNOWN;
    return VERDICT_NEW;
}

// The alert: headed by the task's name without its ".job", and its next
// run where the template has a place for it.
static const AlertLine s_alertLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION_COLON, 0 },
    { IDC_ALERT_MESSAGE, IDS_TASK_MESSAGE, 0 },
    { IDC_TASK_NEXT_RUN, 0, ALERT_LINE_DETAIL },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_TASK, IDS_ALERT_TITLE, s_alertLines,
    IDYES, IDS_YES, IDNO, IDS_NO, ANSWER_ACCEPT,
    3, IDS_TIP_TASKS,  // sound, tray tip
    ALERT_HISTORY_NAMES_PRODUCT, HA_TASK_ALERT, HT_SCHEDULED_TASK,
};

// "Backup.job" is headed "Backup"; a name of three characters or less
// leaves the window title there.
static void DescribeTask(const ItemRecord* item, int, AlertRequest* request)
{
    request->TypeCode = 0;
    size_t length = TextLength(item->Name, ALERT_TEXT);
    if (length > 3)
        TextCopyN(request->Heading, sizeof(request->Heading), item->Name, length - 4);
    else
        LoadText(s_alert.TitleText, request->Heading, ALERT_TEXT);
    GetTaskNextRunTime(item->Name, request->Details[0], 128);
}

// A rejected task loses its baseline value either way: one that could not
// be deleted is then asked about again at the next patrol.
static int ActOnTask(const ItemRecord* item, int, int answer)
{
    if (answer == ANSWER_ACCEPT)
        return WriteTaskApproval(TaskKeyOf(item));
    if (answer != ANSWER_REJECT)
        return 0;
    int deleted = DeleteScheduledTask(TaskKeyOf(item));
    if (deleted)
        WriteHistory(item->Name, item->Command, "", TASK_CODE_SCHEDULED,
                     HA_SCHEDULEDTASK_REMOVE);
    ForgetTaskApproval(TaskKeyOf(item));
    return deleted;
}

int RemoveScheduledTask(const ItemRecord* item)
{
    if (!DeleteScheduledTask(TaskKeyOf(item)))
        return 0;
    ForgetTaskApproval(TaskKeyOf(item));
    return 1;
}

// The page's listing: every task; nothing when the scheduler cannot be
// asked.
static int ListAllTasks(ItemList* out)
{
    int count = EnumScheduledTasks(out);
    return count < 0 ? 0 : count;
}

static int TasksFolder(char* out)
{
    UINT n = GetWindowsDirectoryA(out, VX_PATH);
    return n > 0 && n < VX_PATH && TextAppend(out, VX_PATH, "\\Tasks") > 0;
}

static const WatchPlace s_watch[] = {
    { WATCH_FOLDER, NULL, NULL, TasksFolder, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_TasksCategory = {
    "Scheduled Tasks",               // Label
    "Tasks",                         // DetectedSubkey
    VX_TASKS_KEY,                    // BaselineKey
    OPT_Tasks, -1, OPT_HideTasks,
    1,                               // second half
    &s_alert, &s_alert,
    CAT_CLEANED_UP,                  // its table holds UTF-8 names: BeginCompare
    TasksPatrolDue,                  // CanRun
    NULL,                            // Patrol: the generic step
    InitTasksBaseline,
    NULL,                            // BaselineReady: the mark "P"
    RecordTasksDetected,
    ListTasksForPatrol,
    TaskBaselineTable,
    NULL,
    TellNewTask,
    DescribeTask,
    ActOnTask,
    NULL,                            // Undo: a deleted task cannot come back
    ListAllTasks,
    s_watch,
};
