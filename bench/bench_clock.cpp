// The clocks every benchmark section reads, and the runs in turns that set
// a step beside its floor.
//
// Under Wine part of every registry and process call runs in wineserver,
// not in the calling process; on Windows the same work is kernel time of
// the caller.  So beside the process's own CPU (GetProcessTimes) the tables
// show wineserver's CPU over the same interval, read from /proc through the
// Z: drive, and the process's CPU to the nanosecond from its scheduler
// statistics (GetProcessTimes under Wine counts whole 10 ms clock ticks).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bench/bench.h"
#include "foundation/handles.h"
#include "foundation/text.h"

double BenchNowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

static double FileTimeMs(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return (double)value.QuadPart / 10000.0;
}

// Kernel plus user time of a process, in ms; -1 when it cannot be read.
double BenchCpuMsOf(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

double BenchProcessCpuMs()
{
    return BenchCpuMsOf(GetCurrentProcess());
}

// A small /proc file read whole into out ("" on failure); returns its length.
static int ReadProcFile(const char* path, char* out, int size)
{
    out[0] = '\0';
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL));
    if (!file.IsValid())
        return 0;
    DWORD got = 0, total = 0;
    while (total + 1 < (DWORD)size &&
           ReadFile(file.Get(), out + total, (DWORD)size - 1 - total, &got, NULL) && got > 0)
        total += got;
    out[total] = '\0';
    return (int)total;
}

// CPU of every thread under a /proc process folder, in ms, from the run
// time in nanoseconds that the scheduler keeps per thread; -1 when the
// folder cannot be read.
double BenchSchedCpuMs(const char* processFolder)
{
    char pattern[MAX_PATH];
    TEXT_FORMAT(pattern, "%s\\task\\*", processFolder);
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(pattern, &found));
    if (!search.IsValid())
        return -1;
    double total = 0;
    int threads = 0;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9')
            continue;
        char path[MAX_PATH], text[128];
        TEXT_FORMAT(path, "%s\\task\\%s\\schedstat", processFolder, found.cFileName);
        if (ReadProcFile(path, text, sizeof(text)) > 0) {
            total += (double)_strtoui64(text, NULL, 10) / 1e6;
            threads++;
        }
    } while (FindNextFileA(search.Get(), &found));
    return threads > 0 ? total : -1;
}

// A Unix process of this prefix by its name (comm): one whose environment
// carries this process's WINEPREFIX.  Z:\proc\self is no help: Wine opens
// files and folders in wineserver, where "self" is wineserver.
// With anyEnd the name need only begin with comm (wineserver runs as
// "wineserver64" on some systems).  Returns its /proc folder in out, or 0
// with "".
int BenchFindPrefixProcess(const char* comm, int anyEnd, char* out, int size)
{
    out[0] = '\0';
    char prefix[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof(prefix));
    if (n == 0 || n >= sizeof(prefix))
        return 0;
    char wanted[MAX_PATH + 16];
    TEXT_FORMAT(wanted, "WINEPREFIX=%s", prefix);
    size_t wantedLength = strlen(wanted);
    size_t commLength = strlen(comm);
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA("Z:\\proc\\*", &found));
    if (!search.IsValid())
        return 0;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9')
            continue;
        char path[MAX_PATH], name[64];
        TEXT_FORMAT(path, "Z:\\proc\\%s\\comm", found.cFileName);
        if (ReadProcFile(path, name, sizeof(name)) == 0 || strncmp(name, comm, commLength) != 0 ||
            (!anyEnd && name[commLength] != '\n' && name[commLength] != '\0'))
            continue;
        static char environment[32768];
        TEXT_FORMAT(path, "Z:\\proc\\%s\\environ", found.cFileName);
        int length = ReadProcFile(path, environment, sizeof(environment));
        for (int at = 0; at < length; at += (int)strlen(environment + at) + 1) {
            if (strncmp(environment + at, wanted, wantedLength) == 0 &&
                (environment[at + wantedLength] == '\0' || environment[at + wantedLength] == '/')) {
                TextFormat(out, (size_t)size, "Z:\\proc\\%s", found.cFileName);
                return 1;
            }
        }
    } while (FindNextFileA(search.Get(), &found));
    return 0;
}

double BenchPreciseCpuMs()
{
    static int looked = 0;
    static char folder[64] = "";
    if (!looked) {
        looked = 1;
        char name[MAX_PATH];
        GetModuleFileNameA(NULL, name, sizeof(name));
        const char* slash = strrchr(name, '\\');
        BenchFindPrefixProcess(slash != NULL ? slash + 1 : name, 0, folder, sizeof(folder));
    }
    return folder[0] != '\0' ? BenchSchedCpuMs(folder) : -1;
}

double BenchWineserverCpuMs()
{
    static int looked = 0;
    static char folder[64] = "";
    if (!looked) {
        looked = 1;
        BenchFindPrefixProcess("wineserver", 1, folder, sizeof(folder));
    }
    return folder[0] != '\0' ? BenchSchedCpuMs(folder) : -1;
}

CpuSample BenchSample()
{
    CpuSample s;
    s.process = BenchProcessCpuMs();
    s.precise = BenchPreciseCpuMs();
    s.server = BenchWineserverCpuMs();
    s.wall = BenchNowMs();
    return s;
}

double BenchDelta(double after, double before)
{
    return after < 0 || before < 0 ? -1 : after - before;
}

static int CompareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

// Sorts values and returns the median.
double BenchMedian(double* values, int count)
{
    qsort(values, (size_t)count, sizeof(double), CompareDoubles);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

double BenchMean(const double* values, int count)
{
    double sum = 0;
    for (int i = 0; i < count; i++)
        sum += values[i];
    return count > 0 ? sum / count : 0;
}

// "n/a" for a figure that could not be read.
const char* BenchFigure(double value, char* out, int size)
{
    if (value < 0)
        TextCopy(out, size, "n/a");
    else
        TextFormat(out, (size_t)size, "%.2f", value);
    return out;
}

// --- Steps in turns ------------------------------------------------------------------

static double CpuNow()
{
    double process = BenchPreciseCpuMs(), server = BenchWineserverCpuMs();
    return process < 0 || server < 0 ? -1 : process + server;
}

static int NoStep()
{
    return 0;
}

void BenchInTurns(const BenchStep* steps, int count, int repeat, BenchCost* out)
{
    double cpu[BENCH_STEPS_MAX + 1];
    int readable = 1;
    for (int s = 0; s <= count && s <= BENCH_STEPS_MAX; s++) {
        cpu[s] = 0;
        if (s < count) {
            out[s].best = 1e30;
            out[s].result = 0;
        }
    }
    for (int r = 0; r < repeat; r++)
        for (int s = 0; s <= count && s <= BENCH_STEPS_MAX; s++) {
            // The last turn is an empty step: what reading the clocks costs.
            BenchStep step = s < count ? steps[s] : NoStep;
            double before = CpuNow();
            double start = BenchNowMs();
            int result = step();
            double took = BenchNowMs() - start;
            double used = BenchDelta(CpuNow(), before);
            if (used < 0)
                readable = 0;
            cpu[s] += used;
            if (s < count) {
                out[s].result = result;
                if (took < out[s].best)
                    out[s].best = took;
            }
        }
    for (int s = 0; s < count && s < BENCH_STEPS_MAX; s++) {
        double net = (cpu[s] - cpu[count < BENCH_STEPS_MAX ? count : BENCH_STEPS_MAX]) / repeat;
        out[s].cpu = readable ? (net > 0 ? net : 0) : -1;
    }
}

double BenchBest(BenchStep step, int repeat, int* result)
{
    BenchCost cost;
    BenchInTurns(&step, 1, repeat, &cost);
    if (result != NULL)
        *result = cost.result;
    return cost.best;
}

double BenchRatio(double step, double floor)
{
    return floor > 0 ? step / floor : 0.0;
}

void BenchPairHeading(const char* title, int repeat)
{
    printf("%s (runs in turns, best of %d wall; CPU per run, process + wineserver; ms)\n", title,
           repeat);
    printf("  %-30s %9s %9s %8s %9s %9s %8s\n", "", "step", "floor", "ratio", "step CPU",
           "floor CPU", "ratio");
}

void BenchPairRow(const char* what, const BenchCost& step, const BenchCost& floor)
{
    char stepCpu[32], floorCpu[32], cpuRatio[32] = "n/a";
    if (step.cpu >= 0 && floor.cpu > 0)
        TEXT_FORMAT(cpuRatio, "%.2fx", step.cpu / floor.cpu);
    printf("  %-30s %9.2f %9.2f %7.2fx %9s %9s %8s\n", what, step.best, floor.best,
           BenchRatio(step.best, floor.best), BenchFigure(step.cpu, stepCpu, sizeof(stepCpu)),
           BenchFigure(floor.cpu, floorCpu, sizeof(floorCpu)), cpuRatio);
}

void BenchTwoAgainstFloor(const BenchStep steps[3], int repeat, const char* first, int size,
                          const char* unit, const char* second, const char* newNote,
                          BenchCost cost[3])
{
    BenchInTurns(steps, 3, repeat, cost);
    char label[96];
    TEXT_FORMAT(label, "%s, %d %s", first, size, unit);
    BenchPairRow(label, cost[0], cost[2]);
    BenchPairRow(second, cost[1], cost[2]);
    if (newNote != NULL && cost[0].result != 0)
        printf("  (%s)\n", newNote);
}

void BenchOneAgainstTwo(const BenchStep steps[3], int repeat, const char* first,
                        const char* second, BenchCost cost[3])
{
    BenchInTurns(steps, 3, repeat, cost);
    BenchPairRow(first, cost[0], cost[1]);
    BenchPairRow(second, cost[0], cost[2]);
}
