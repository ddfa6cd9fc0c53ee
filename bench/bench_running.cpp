// Cost of the running-task list and of the process-count check against the
// floor (a bare ToolHelp snapshot walked to the end: the least any process
// list must do), at the processes the prefix runs and with 100 more; and
// the cost of one patrol's update-mode, prefix and page checks.
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

#include "bench/bench.h"
#include "bench/bench_ids.h"
#include "categories/browser_pages.h"
#include "categories/running_tasks.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/item_list.h"

#define RUNNING_REPEAT 15
#define EXTRA_CHILDREN 100
#define CHILD_SWITCH "--idle-child"

// A copy of this program started with the switch does nothing until it is
// ended: the extra processes of the second row.
static struct IdleChildMode {
    IdleChildMode()
    {
        if (strstr(GetCommandLineA(), CHILD_SWITCH) != NULL) {
            Sleep(120000);
            ExitProcess(0);
        }
    }
} s_idleChildMode;

static int SnapshotFloor()
{
    KernelHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap.IsValid())
        return 0;
    int count = 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snap.Get(), &entry); more;
         more = Process32Next(snap.Get(), &entry))
        count++;
    return count;
}

static int ListRunning()
{
    return EnumRunningTasks(BenchItems());
}

static int PagesAndPrefix()
{
    CheckUpdateAndPrefix();
    CheckBrowserPages();
    return 0;
}

static void Row(int children)
{
    const BenchStep steps[] = { ListRunning, CountRunningPrograms, SnapshotFloor };
    BenchCost cost[3];
    BenchTwoAgainstFloor(steps, RUNNING_REPEAT, "EnumRunningTasks", children,
                         "children more", "  CountRunningPrograms", NULL, cost);
    printf("  (%d processes in the snapshot, %d programs listed)\n", cost[2].result,
           cost[0].result);
}

// The process of a command; NULL when it did not start.
static HANDLE StartChild(char* command)
{
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int BenchStartIdleChildren(HANDLE* children, int count)
{
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, self, sizeof(self));
    if (n == 0 || n >= sizeof(self))
        return 0;
    int started = 0;
    for (int i = 0; i < count; i++) {
        char command[MAX_PATH + 32];
        TEXT_FORMAT(command, "\"%s\" %s", self, CHILD_SWITCH);
        children[started] = StartChild(command);
        if (children[started] == NULL)
            break;
        started++;
    }
    return started;
}

void BenchEndIdleChildren(HANDLE* children, int count)
{
    for (int i = 0; i < count; i++) {
        TerminateProcess(children[i], 0);
        WaitForSingleObject(children[i], 5000);
        CloseHandle(children[i]);
    }
}

// The idle program as the bench carries it; 1 when written to path.
static int WriteIdleProgram(const char* path)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDR_BENCH_IDLE), (LPCSTR)RT_RCDATA);
    HGLOBAL loaded = found != NULL ? LoadResource(NULL, found) : NULL;
    const void* bytes = loaded != NULL ? LockResource(loaded) : NULL;
    DWORD size = found != NULL ? SizeofResource(NULL, found) : 0;
    if (bytes == NULL || size == 0)
        return 0;
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    DWORD written = 0;
    return file.IsValid() && WriteFile(file.Get(), bytes, size, &written, NULL) &&
           written == size;
}

// The path of the named copy i (path holds MAX_PATH).
static int NamedCopyPath(int i, char* path)
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH)
        return 0;
    // Not in the folder of the 5,000 hidden files: Wine looks a path of
    // another case up by reading each of its folders, and the page stamps
    // each program by its upper-case form.
    if (i < 0) {
        TextFormat(path, MAX_PATH, "%svxtasks", temp);
        return CreateDirectoryA(path, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return TextFormat(path, MAX_PATH, "%svxtasks\\vxtask%03d.exe", temp, i) > 0;
}

int BenchStartNamedChildren(HANDLE* children, int count)
{
    char path[MAX_PATH], first[MAX_PATH];
    if (!NamedCopyPath(-1, path) || !NamedCopyPath(0, first) || !WriteIdleProgram(first))
        return 0;
    int started = 0;
    for (int i = 0; i < count; i++) {
        if (!NamedCopyPath(i, path) || (i > 0 && !CopyFileA(first, path, FALSE)))
            break;
        char command[MAX_PATH + 2];
        TEXT_FORMAT(command, "\"%s\"", path);
        children[started] = StartChild(command);
        if (children[started] == NULL)
            break;
        started++;
    }
    return started;
}

void BenchEndNamedChildren(HANDLE* children, int count)
{
    BenchEndIdleChildren(children, count);
    char path[MAX_PATH];
    for (int i = 0; i < count && NamedCopyPath(i, path); i++)
        DeleteFileA(path);
    if (NamedCopyPath(-1, path))
        RemoveDirectoryA(path);
}

#define BENCH_AU "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update"
#define BENCH_IE_MAIN "Software\\Microsoft\\Internet Explorer\\Main"
#define BENCH_DESKTOP "Software\\Microsoft\\Internet Explorer\\Desktop\\Components\\0"

// Every watched value equal to its baseline: the patrol's usual case.
static void PlantQuietSettings()
{
    RegWriteDword(HKEY_LOCAL_MACHINE, BENCH_AU, "AUOptions", 4);
    RegWriteDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions", 4);
    RegWriteString(HKEY_LOCAL_MACHINE,
                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes", "www",
                   "http://");
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, "wwwPrefix", "http://");
    const char* page = "http://www.example.com/start/";
    RegWriteString(HKEY_CURRENT_USER, BENCH_IE_MAIN, "Start Page", page);
    RegWriteString(HKEY_CURRENT_USER, BENCH_IE_MAIN, "Search Page", page);
    RegWriteString(HKEY_CURRENT_USER, BENCH_DESKTOP, "Source", page);
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, "StartPage", page);
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, "SearchPage", page);
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, "SourcePage", page);
}

void BenchRunningTasks()
{
    LoadOptions();
    BenchPairHeading("Running tasks and the process count against a bare snapshot",
                     RUNNING_REPEAT);
    // The first list reads every program's version resource; later ones
    // find the descriptions kept.
    double start = BenchNowMs();
    EnumRunningTasks(BenchItems());
    double cold = BenchNowMs() - start;
    Row(0);
    HANDLE children[EXTRA_CHILDREN];
    int started = BenchStartIdleChildren(children, EXTRA_CHILDREN);
    Sleep(3000);  // let every child finish starting
    Row(started);
    BenchEndIdleChildren(children, started);
    printf("  first EnumRunningTasks of the run (descriptions read): %.2f ms\n\n", cold);
    ClearItems(BenchItems());

    PlantQuietSettings();
    int ignored = 0;
    double patrol = BenchBest(PagesAndPrefix, RUNNING_REPEAT, &ignored);
    printf("Update mode, URL prefix and the three pages, nothing changed (best of %d, ms)\n",
           RUNNING_REPEAT);
    printf("  CheckUpdateAndPrefix + CheckBrowserPages per patrol: %.3f ms (goal < 2)\n\n",
           patrol);
}
