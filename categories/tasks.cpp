// Scheduled tasks through the Task Scheduler 1.0 interfaces.  Names come
// from the scheduler as wide text: they are compared and listed in the ANSI
// code page, but every call back into the scheduler gets its own wide name,
// so a task whose name has no ANSI spelling can still be read and deleted.
#include "categories/tasks.h"

#include <objbase.h>
#include <mstask.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/item_list.h"
#include "startup/name_table.h"

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

// Called for every work item: the scheduler, the name to call it by, its
// listed name in ANSI.  Returns 0 to end the walk.
typedef int (*TaskVisitor)(ITaskScheduler* scheduler, const wchar_t* callName,
                           const char* name, void* context);

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
                char name[ITEM_NAME];
                AnsiOf(names[i], name, sizeof(name));
                if (CallNameOf(names[i], callName, sizeof(callName) / sizeof(callName[0])))
                    going = visit(scheduler.Get(), callName, name, context);
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
// failure) counts as none.
static void TaskTimeText(ITask* task, int next, char* out, int outSize)
{
    SYSTEMTIME time;
    memset(&time, 0, sizeof(time));
    HRESULT hr = next ? task->GetNextRunTime(&time) : task->GetMostRecentRunTime(&time);
    if (hr != S_OK)
        memset(&time, 0, sizeof(time));
    FormatTaskTime(&time, out, outSize);
}

// --- The listing ---------------------------------------------------------------------------

static int AddTaskEntry(ITaskScheduler* scheduler, const wchar_t* callName, const char* name,
                        void*)
{
    ComRef<ITask> task;
    if (!ActivateTask(scheduler, callName, &task))
        return 1;
    char command[ITEM_COMMAND];
    command[0] = '\0';
    LPWSTR application = NULL;
    if (SUCCEEDED(task->GetApplicationName(&application)))
        AnsiOf(application, command, sizeof(command));
    if (application != NULL)
        CoTaskMemFree(application);
    char last[ITEM_INFO], next[ITEM_EXTRA];
    TaskTimeText(task.Get(), 0, last, sizeof(last));
    TaskTimeText(task.Get(), 1, next, sizeof(next));
    return AddItem(name, command, next, last, TASK_CODE_SCHEDULED, 0);
}

// Fills the list; 1 when the scheduler could be asked, 0 when not.
static int ListTasks(HRESULT* hr)
{
    ClearItems();
    return WalkTasks(AddTaskEntry, NULL, hr) == WALK_DONE;
}

int EnumScheduledTasks()
{
    ClearItems();
    HRESULT hr = S_OK;
    switch (WalkTasks(AddTaskEntry, NULL, &hr)) {
    case WALK_NO_SCHEDULER: return 0;
    case WALK_COM_FAILED: return (int)hr < 0 ? (int)hr : 0;
    default: return ItemCount();
    }
}

// --- One task by name -------------------------------------------------------------------

struct TaskLookup {
    const char* wanted;
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
    case LOOK_NEXT_RUN:
        TaskTimeText(task, 1, lookup->out, lookup->outSize);
        break;
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

static int VisitLookup(ITaskScheduler* scheduler, const wchar_t* callName, const char* name,
                       void* context)
{
    TaskLookup* lookup = (TaskLookup*)context;
    if (!TextEqualNoCase(name, lookup->wanted))
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

// --- The category's operations ------------------------------------------------------------

// Every task there is; 0 (and nothing written) when the scheduler could not
// be asked, so the baseline is built at a later start instead of empty.
static int InitTasksBaseline()
{
    HRESULT hr = S_OK;
    if (!ListTasks(&hr))
        return 0;
    if (!RegCreateKeyPath(HKEY_CURRENT_USER, VX_TASKS_KEY))
        return 0;
    for (int i = 0; i < ItemCount(); i++)
        RegWriteString(HKEY_CURRENT_USER, VX_TASKS_KEY, GetItemName(i), "800");
    return 1;
}

static int RecordTasksDetected()
{
    HRESULT hr = S_OK;
    if (!ListTasks(&hr))
        return 0;
    for (int i = 0; i < ItemCount(); i++)
        RecordDetected(GetItemCommand(i), VX_DETECTED_KEY "\\Tasks");
    return 1;
}

static int ListTasksForPatrol()
{
    int count = EnumScheduledTasks();
    return count < 0 ? 0 : count;
}

// New: not approved (missing or "0"), and not one of McAfee.com's own
// update tasks, which come and go with that product.
static int TellNewTask(const ItemRecord* item, void* context)
{
    int code = BaselineCodeIn((const NameTable*)context, VX_TASKS_KEY, item->Name);
    if (code != 0 || TextFindNoCase(item->Name, "McAfee.com"))
        return VERDICT_KNOWN;
    return VERDICT_NEW;
}

static void DescribeTask(const ItemRecord* item, int, AlertRequest* request)
{
    MakeAlertRequest(request, ALERT_TASK, item->Command, item->Name, 0);
}

// A rejected task loses its baseline value either way: one that could not
// be deleted is then asked about again at the next patrol.
static int ActOnTask(const ItemRecord* item, int, int answer)
{
    if (answer == ANSWER_ACCEPT)
        return RegWriteString(HKEY_CURRENT_USER, VX_TASKS_KEY, item->Name, "800");
    if (answer != ANSWER_REJECT)
        return 0;
    int deleted = DeleteScheduledTask(item->Name);
    if (deleted)
        WriteHistory(item->Name, item->Command, "", TASK_CODE_SCHEDULED,
                     HA_SCHEDULEDTASK_REMOVE);
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_TASKS_KEY, item->Name);
    return deleted;
}

const Category g_TasksCategory = {
    "Scheduled Tasks",               // Label
    "Tasks",                         // DetectedSubkey
    VX_TASKS_KEY,                    // BaselineKey
    OPT_Tasks, -1, OPT_HideTasks,
    1,                               // second half
    ALERT_TASK, ALERT_TASK,
    CAT_BASELINE_TABLE,
    IsSchedulerRunning,              // CanRun
    NULL,                            // Patrol: the generic step
    InitTasksBaseline,
    RecordTasksDetected,
    ListTasksForPatrol,
    NULL,                            // BeginCompare: the baseline table
    NULL,
    TellNewTask,
    DescribeTask,
    ActOnTask,
    NULL,                            // Undo: a deleted task cannot come back
};
