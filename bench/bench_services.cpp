// Cost of the services quick pass against the number of service keys, and
// of the task listing against the number of scheduled tasks, each beside
// its floor: a bare walk over the service keys reading ImagePath, and a
// bare enumeration of the scheduler's work-item names.
#include <windows.h>
#include <objbase.h>
#include <mstask.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/item_list.h"

#define BENCH_REPEAT 7

static const GUID kSchedulerClass = {
    0x148BD52A, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kSchedulerInterface = {
    0x148BD527, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kTaskClass = {
    0x148BD520, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };
static const GUID kTaskInterface = {
    0x148BD524, 0xA2AB, 0x11CE, { 0xB1, 0x1F, 0x00, 0xAA, 0x00, 0x53, 0x05, 0x03 } };

// --- Services ----------------------------------------------------------------

static void ServiceKeyOf(int i, char* out, size_t size)
{
    TextFormat(out, size, SERVICES_KEY "\\VxBench%05d", i);
}

void BenchPlantServices(int from, int to)
{
    for (int i = from; i < to; i++) {
        char path[128], command[128], title[64];
        ServiceKeyOf(i, path, sizeof(path));
        TEXT_FORMAT(command, "\"C:\\Program Files\\Bench Services\\svc%05d.exe\" -service", i);
        TEXT_FORMAT(title, "Vx Bench Service %05d", i);
        RegKey key;
        if (key.Create(HKEY_LOCAL_MACHINE, path, KEY_SET_VALUE) != ERROR_SUCCESS)
            continue;
        RegSetValueExA(key, "ImagePath", 0, REG_EXPAND_SZ, (const BYTE*)command,
                       (DWORD)strlen(command) + 1);
        RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE*)title,
                       (DWORD)strlen(title) + 1);
        DWORD start = 3;
        RegSetValueExA(key, "Start", 0, REG_DWORD, (const BYTE*)&start, sizeof(start));
    }
}

void BenchUnplantServices(int count)
{
    for (int i = 0; i < count; i++) {
        char path[128];
        ServiceKeyOf(i, path, sizeof(path));
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    }
}

// The floor: every service key opened and its ImagePath read.
static int WalkServiceKeysBare()
{
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, SERVICES_KEY, KEY_READ) != ERROR_SUCCESS)
        return 0;
    int withPath = 0;
    for (DWORD index = 0;; index++) {
        char name[256];
        DWORD nameSize = sizeof(name);
        LONG rc = RegEnumKeyExA(root, index, name, &nameSize, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        RegKey key;
        if (key.Open(root, name, KEY_READ) != ERROR_SUCCESS)
            continue;
        char data[1024];
        DWORD type = 0, size = sizeof(data);
        if (RegQueryValueExA(key, "ImagePath", NULL, &type, (BYTE*)data, &size) == ERROR_SUCCESS)
            withPath++;
    }
    return withPath;
}

static int ListQuick() { return EnumServices(BenchItems(), 1); }

static void BenchServicesChanged()
{
    const int sizes[3] = { 0, 200, 2000 };
    BenchPairHeading("Services quick pass against planted service keys", BENCH_REPEAT);
    int planted = 0;
    for (int s = 0; s < 3; s++) {
        BenchPlantServices(planted, sizes[s]);
        planted = sizes[s];
        // Everything known: the pass walks every key, as a quiet patrol does.
        RegDeleteKeyTree(HKEY_CURRENT_USER, VX_SERVICES_KEY);
        InitCategoryBaselines();
        const BenchStep steps[] = { ServicesChanged, ListQuick, WalkServiceKeysBare };
        BenchCost cost[3];
        BenchTwoAgainstFloor(steps, BENCH_REPEAT, "ServicesChanged", sizes[s], "keys more",
                             "  quick list alone", "a service was taken for new", cost);
    }
    printf("\n");
    BenchUnplantServices(planted);
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_SERVICES_KEY);
    ClearItems(BenchItems());
}

// --- Scheduled tasks -------------------------------------------------------------

static ITaskScheduler* g_Scheduler = NULL;

static void TaskNameOf(int i, wchar_t* out, size_t count)
{
    _snwprintf(out, count, L"VxBenchTask%05d", i);
    out[count - 1] = L'\0';
}

static void PlantTasks(int from, int to)
{
    if (g_Scheduler == NULL)
        return;
    for (int i = from; i < to; i++) {
        wchar_t name[64], application[128];
        TaskNameOf(i, name, 64);
        _snwprintf(application, 128, L"C:\\Program Files\\Bench Tasks\\job%05d.exe", i);
        application[127] = L'\0';
        ITask* task = NULL;
        if (FAILED(g_Scheduler->NewWorkItem(name, kTaskClass, kTaskInterface,
                                            (IUnknown**)&task)))
            continue;
        task->SetApplicationName(application);
        IPersistFile* file = NULL;
        if (SUCCEEDED(task->QueryInterface(IID_IPersistFile, (void**)&file))) {
            file->Save(NULL, TRUE);
            file->Release();
        }
        task->Release();
    }
}

static void UnplantTasks(int count)
{
    if (g_Scheduler == NULL)
        return;
    for (int i = 0; i < count; i++) {
        wchar_t name[64];
        TaskNameOf(i, name, 64);
        g_Scheduler->Delete(name);
    }
}

static int ListTasks()
{
    return EnumScheduledTasks(BenchItems());
}

// The floor: the scheduler made and its names enumerated five at a time.
static int EnumerateTaskNamesBare()
{
    CoInitialize(NULL);
    int count = 0;
    ITaskScheduler* scheduler = NULL;
    if (SUCCEEDED(CoCreateInstance(kSchedulerClass, NULL, CLSCTX_INPROC_SERVER,
                                   kSchedulerInterface, (void**)&scheduler))) {
        IEnumWorkItems* items = NULL;
        if (SUCCEEDED(scheduler->Enum(&items))) {
            for (;;) {
                LPWSTR* names = NULL;
                ULONG fetched = 0;
                HRESULT hr = items->Next(5, &names, &fetched);
                if (FAILED(hr) || names == NULL)
                    break;
                for (ULONG i = 0; i < fetched; i++)
                    CoTaskMemFree(names[i]);
                CoTaskMemFree(names);
                count += (int)fetched;
                if (hr != S_OK || fetched == 0)
                    break;
            }
            items->Release();
        }
        scheduler->Release();
    }
    CoUninitialize();
    return count;
}

// A second floor: the names, and each one activated with its program read,
// the least a listing that shows commands must do.
static int ActivateTask(ITaskScheduler* scheduler, const wchar_t* listed)
{
    wchar_t name[MAX_PATH];
    size_t length = wcslen(listed);
    if (length >= MAX_PATH || length < 4)
        return 0;
    wmemcpy(name, listed, length - 3);
    name[length - 4] = L'\0';
    ITask* task = NULL;
    if (FAILED(scheduler->Activate(name, kTaskInterface, (IUnknown**)&task)))
        return 0;
    LPWSTR application = NULL;
    if (SUCCEEDED(task->GetApplicationName(&application)))
        CoTaskMemFree(application);
    task->Release();
    return 1;
}

static int EnumerateAndActivateBare()
{
    CoInitialize(NULL);
    int count = 0;
    ITaskScheduler* scheduler = NULL;
    if (SUCCEEDED(CoCreateInstance(kSchedulerClass, NULL, CLSCTX_INPROC_SERVER,
                                   kSchedulerInterface, (void**)&scheduler))) {
        IEnumWorkItems* items = NULL;
        if (SUCCEEDED(scheduler->Enum(&items))) {
            for (;;) {
                LPWSTR* names = NULL;
                ULONG fetched = 0;
                HRESULT hr = items->Next(5, &names, &fetched);
                if (FAILED(hr) || names == NULL)
                    break;
                for (ULONG i = 0; i < fetched; i++) {
                    count += ActivateTask(scheduler, names[i]);
                    CoTaskMemFree(names[i]);
                }
                CoTaskMemFree(names);
                if (hr != S_OK || fetched == 0)
                    break;
            }
            items->Release();
        }
        scheduler->Release();
    }
    CoUninitialize();
    return count;
}

static int OpenScheduler()
{
    if (g_Scheduler == NULL &&
        (EnsureSchedulerRunning() != 0 ||
         FAILED(CoCreateInstance(kSchedulerClass, NULL, CLSCTX_INPROC_SERVER,
                                 kSchedulerInterface, (void**)&g_Scheduler))))
        g_Scheduler = NULL;
    return g_Scheduler != NULL;
}

static void CloseScheduler()
{
    if (g_Scheduler != NULL)
        g_Scheduler->Release();
    g_Scheduler = NULL;
}

int BenchPlantTasks(int count)
{
    if (!OpenScheduler())
        return 0;
    PlantTasks(0, count);
    return 1;
}

void BenchUnplantTasks(int count)
{
    UnplantTasks(count);
    CloseScheduler();
}

static void BenchScheduledTasks()
{
    if (!OpenScheduler()) {
        printf("Scheduled tasks: no scheduler\n\n");
        return;
    }
    const int sizes[2] = { 10, 200 };
    BenchPairHeading("Scheduled tasks against planted tasks", BENCH_REPEAT);
    int planted = 0;
    for (int s = 0; s < 2; s++) {
        PlantTasks(planted, sizes[s]);
        planted = sizes[s];
        // A quiet patrol meets tasks written long before.
        Sleep(1100);
        const BenchStep steps[] = { ListTasks, EnumerateTaskNamesBare,
                                    EnumerateAndActivateBare };
        BenchCost cost[3];
        char what[64];
        TEXT_FORMAT(what, "EnumScheduledTasks, %d tasks", sizes[s]);
        BenchOneAgainstTwo(steps, BENCH_REPEAT, what, "  against names + Activate", cost);
    }
    printf("\n");
    BenchUnplantTasks(planted);
    ClearItems(BenchItems());
}

void BenchServices()
{
    LoadOptions();
    // As in the monitor, which keeps COM initialised from start to exit.
    CoInitialize(NULL);
    BenchServicesChanged();
    BenchScheduledTasks();
    CoUninitialize();
}
