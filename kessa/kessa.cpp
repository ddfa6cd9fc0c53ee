// The process watcher: one background thread that wakes every two seconds
// (the monitor acts on a notice only at its next 2-second tick anyway),
// reads the process id list and compares a fingerprint of it with the one
// before.  Only a change costs a PostMessage; an idle system costs one
// enumeration per two seconds.
#include "kessa/kessa.h"

#include "foundation/process_list.h"

static HANDLE s_thread = NULL;
static HANDLE s_stop = NULL;
static HWND s_window = NULL;

static const DWORD kIntervalMs = 2000;

// Order-independent fingerprint of the process id set: count, sum and xor.
struct ProcessSetPrint {
    DWORD count;
    DWORD sum;
    DWORD mix;
    bool operator!=(const ProcessSetPrint& o) const
    {
        return count != o.count || sum != o.sum || mix != o.mix;
    }
};

static bool ReadProcessSet(ProcessSetPrint* print)
{
    DWORD ids[2048];
    int n = ReadProcessIds(ids, 2048);
    if (n < 0)
        return false;
    ProcessSetPrint p = { (DWORD)n, 0, 0 };
    for (DWORD i = 0; i < p.count; i++) {
        p.sum += ids[i];
        p.mix ^= ids[i] * 2654435761u;
    }
    *print = p;
    return true;
}

static DWORD WINAPI WatchThread(LPVOID)
{
    ProcessSetPrint last = { 0, 0, 0 };
    bool haveLast = ReadProcessSet(&last);
    while (WaitForSingleObject(s_stop, kIntervalMs) == WAIT_TIMEOUT) {
        ProcessSetPrint now;
        if (!ReadProcessSet(&now))
            continue;
        if (haveLast && now != last)
            PostMessageA(s_window, KESSA_PROCESS_CHANGE, 0, 0);
        last = now;
        haveLast = true;
    }
    return 0;
}

extern "C" int __stdcall KessaStartWatch(HWND window)
{
    if (s_thread != NULL)
        return 1;
    s_window = window;
    s_stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (s_stop == NULL)
        return 0;
    s_thread = CreateThread(NULL, 0, WatchThread, NULL, 0, NULL);
    if (s_thread == NULL) {
        CloseHandle(s_stop);
        s_stop = NULL;
        return 0;
    }
    return 1;
}

extern "C" int __stdcall KessaStopWatch(void)
{
    if (s_thread == NULL)
        return 1;
    SetEvent(s_stop);
    WaitForSingleObject(s_thread, 5000);
    CloseHandle(s_thread);
    CloseHandle(s_stop);
    s_thread = NULL;
    s_stop = NULL;
    s_window = NULL;
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
