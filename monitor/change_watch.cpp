// Change notices from the system, waited on by the monitor's message loop.
// Each watched place holds one notice: a key opened for KEY_NOTIFY with an
// asynchronous RegNotifyChangeKeyValue on its own event, or a folder's
// FindFirstChangeNotification handle.  A place that signalled is taken out
// of the wait until its row's step re-arms it, so a storm of writes wakes
// the loop once per place and tick, never once per write.  Every place is
// re-armed from its path, which follows a key deleted and made again, and a
// missing key or folder created later (it is watched through its parent).
#include "monitor/change_watch.h"

#include <string.h>

#include "categories/category.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/path_text.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "startup/autostart.h"

namespace {

struct ArmedPlace {
    int Row;
    const WatchPlace* Place;
    RegKey Key;                       // a key's notice ...
    KernelHandle Event;               // ... signals this event
    ChangeNotificationHandle Folder;  // a folder's notice
    int Waiting;                      // signalled; re-armed by its row's step
    char Where[VX_PATH + 24];         // what is armed, for the trace
};

ArmedPlace s_places[WATCH_ARMED_MAX];
int s_placeCount = 0;
int s_started = 0;          // ChangeWatchArmAll ran: the tick keeps it in line
int s_signature = -1;       // the option and the rows it was armed for
int s_seenReloads = 0;      // g_Patrol.OptionReloads when last compared
int s_ticksSinceRetry = 0;
int s_marked[PATROL_ROWS_MAX];
int s_ranThisTick[PATROL_ROWS_MAX];
const char* s_signalledAt[PATROL_ROWS_MAX];
volatile LONG s_stepsRun[PATROL_ROWS_MAX];  // read by other threads
LONG s_wakes = 0;           // returns of the loop's wait

// Lost places are armed again as often as the patrol runs.
const int kRetryTicks = 17;

const char* RootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR";
    return "HKU";
}

// Cuts the last part of a path ("A\B" to "A", "A" to ""); 0 when there is
// nothing left to cut.
int CutLastPart(char* path)
{
    if (path[0] == '\0')
        return 0;
    char* cut = strrchr(path, '\\');
    if (cut == NULL)
        cut = path;
    *cut = '\0';
    return 1;
}

int IsFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int ArmKey(ArmedPlace* armed)
{
    const WatchPlace* place = armed->Place;
    char path[VX_PATH];
    TextCopy(path, place->Path != NULL ? place->Path : "");
    REGSAM view = (place->Flags & WATCH_SYSTEM_VIEW) ? StartupView(place->Root) : 0;
    for (;;) {
        LONG rc = armed->Key.Open(place->Root, path, KEY_NOTIFY | view);
        if (rc == ERROR_SUCCESS)
            break;
        if (rc != ERROR_FILE_NOT_FOUND || (place->Flags & WATCH_EXISTING) || !CutLastPart(path))
            return 0;
    }
    int atParent = strcmp(path, place->Path != NULL ? place->Path : "") != 0;
    BOOL subtree = !atParent && (place->Flags & WATCH_SUBTREE) ? TRUE : FALSE;
    if (!armed->Event.IsValid())
        armed->Event.Reset(CreateEventA(NULL, TRUE, FALSE, NULL));
    if (!armed->Event.IsValid())
        return 0;
    ResetEvent(armed->Event.Get());
    if (RegNotifyChangeKeyValue(armed->Key.Get(), subtree,
                                REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                armed->Event.Get(), TRUE) != ERROR_SUCCESS) {
        armed->Key.Close();
        return 0;
    }
    TEXT_FORMAT(armed->Where, "%s\\%s%s", RootName(place->Root), path,
                atParent ? " (parent)" : "");
    return 1;
}

int ArmFolder(ArmedPlace* armed)
{
    const WatchPlace* place = armed->Place;
    char path[VX_PATH];
    if (place->Path != NULL)
        TextCopy(path, place->Path);
    else if (place->Locate == NULL || !place->Locate(path))
        return 0;
    size_t length = strlen(path);
    if (length > 3 && path[length - 1] == '\\')
        path[length - 1] = '\0';
    const size_t given = strlen(path);
    // A file (HOSTS) is watched through its folder, a missing folder
    // through the nearest one that exists.
    while (!IsFolder(path)) {
        if (!CutLastPart(path) || path[0] == '\0')
            return 0;
        if (strlen(path) == 2 && path[1] == ':')
            TextAppend(path, "\\");
    }
    int atParent = strlen(path) != given;
    BOOL subtree = !atParent && (place->Flags & WATCH_SUBTREE) ? TRUE : FALSE;
    HANDLE notice = FindFirstChangeNotificationA(path, subtree,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
        FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (notice == INVALID_HANDLE_VALUE || notice == NULL)
        return 0;
    armed->Folder.Reset(notice);
    TEXT_FORMAT(armed->Where, "%s%s", path, atParent ? " (parent)" : "");
    return 1;
}

// Closes what the place held and arms it again from its path.  1 when armed.
int Rearm(ArmedPlace* armed)
{
    armed->Waiting = 0;
    armed->Key.Close();
    armed->Folder.Reset();
    armed->Where[0] = '\0';
    return armed->Place->Kind == WATCH_KEY ? ArmKey(armed) : ArmFolder(armed);
}

HANDLE NoticeOf(const ArmedPlace& armed)
{
    if (armed.Waiting)
        return NULL;
    if (armed.Key.IsOpen())
        return armed.Event.Get();
    return armed.Folder.IsValid() ? armed.Folder.Get() : NULL;
}

// The handles to wait on, at most max, each with its place's index.
// Returns the count.
int CollectNotices(HANDLE* handles, int* owners, int max)
{
    int n = 0;
    for (int i = 0; i < s_placeCount && n < max; i++) {
        HANDLE notice = NoticeOf(s_places[i]);
        if (notice == NULL)
            continue;
        handles[n] = notice;
        owners[n++] = i;
    }
    return n;
}

void Signalled(int index)
{
    ArmedPlace& armed = s_places[index];
    armed.Waiting = 1;
    s_marked[armed.Row] = 1;
    s_signalledAt[armed.Row] = armed.Where;
    TraceNote("NOTIFY", armed.Where);
}

// The options and the rows a full arming covers now.
int Signature()
{
    if (g_Options[OPT_WatchChanges] == 0)
        return 0;
    int signature = 1;
    for (int row = 0; row < CategoryCount() && row < 30; row++)
        if (RowPatrolled(row) && CategoryAt(row)->Watch != NULL)
            signature |= 2 << row;
    return signature;
}

// 1 when the place's key was deleted under its handle.  Windows signals a
// watched key that is deleted; Wine does not, and the handle would watch
// nothing from then on.
int KeyDeleted(const ArmedPlace& armed)
{
    if (!armed.Key.IsOpen())
        return 0;
    DWORD subkeys = 0;
    return RegQueryInfoKeyA(armed.Key.Get(), NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL,
                            NULL, NULL, NULL) == ERROR_KEY_DELETED;
}

// Places that could not be armed, or whose key went without a notice, are
// armed again from their paths.
void RearmLost()
{
    for (int i = 0; i < s_placeCount; i++) {
        ArmedPlace& armed = s_places[i];
        if (!armed.Waiting && (NoticeOf(armed) == NULL || KeyDeleted(armed)))
            Rearm(&armed);
    }
}

}  // namespace

void ChangeWatchDisarm()
{
    for (int i = 0; i < s_placeCount; i++) {
        s_places[i].Key.Close();
        s_places[i].Folder.Reset();
        s_places[i].Event.Reset(NULL);
        s_places[i].Waiting = 0;
        s_places[i].Where[0] = '\0';
    }
    s_placeCount = 0;
    s_started = 0;
    memset(s_marked, 0, sizeof(s_marked));
    memset(s_ranThisTick, 0, sizeof(s_ranThisTick));
}

int ChangeWatchArmPlaces(int row, const WatchPlace* places)
{
    if (places == NULL || row < 0 || row >= PATROL_ROWS_MAX)
        return 0;
    int armed = 0;
    for (const WatchPlace* place = places; place->Kind != WATCH_END; place++) {
        if (s_placeCount >= WATCH_ARMED_MAX)
            break;
        ArmedPlace* slot = &s_places[s_placeCount++];
        slot->Row = row;
        slot->Place = place;
        armed += Rearm(slot);
    }
    return armed;
}

int ChangeWatchArmAll()
{
    ChangeWatchDisarm();
    s_signature = Signature();
    s_started = 1;
    s_seenReloads = g_Patrol.OptionReloads;
    if (s_signature == 0)
        return 0;
    int armed = 0;
    for (int row = 0; row < CategoryCount() && row < PATROL_ROWS_MAX; row++)
        if (RowPatrolled(row))
            armed += ChangeWatchArmPlaces(row, CategoryAt(row)->Watch);
    char text[64];
    TEXT_FORMAT(text, "%d places armed", armed);
    TraceNote("NOTIFY", text);
    return armed;
}

int ChangeWatchArmedCount()
{
    int count = 0;
    for (int i = 0; i < s_placeCount; i++)
        count += s_places[i].Key.IsOpen() || s_places[i].Folder.IsValid();
    return count;
}

int ChangeWatchGroupCount()
{
    HANDLE handles[WATCH_ARMED_MAX];
    int owners[WATCH_ARMED_MAX];
    int n = CollectNotices(handles, owners, WATCH_ARMED_MAX);
    return (n + WATCH_GROUP_MAX - 1) / WATCH_GROUP_MAX;
}

const char* ChangeWatchWhere(int index)
{
    return index >= 0 && index < s_placeCount ? s_places[index].Where : "";
}

int ChangeWatchPoll()
{
    HANDLE handles[WATCH_ARMED_MAX];
    int owners[WATCH_ARMED_MAX];
    int n = CollectNotices(handles, owners, WATCH_ARMED_MAX);
    int signalled = 0;
    for (int start = 0; start < n; start += WATCH_GROUP_MAX) {
        int end = start + WATCH_GROUP_MAX < n ? start + WATCH_GROUP_MAX : n;
        // The wait reports the first signalled handle: look again past it.
        for (int at = start; at < end;) {
            DWORD r = WaitForMultipleObjects((DWORD)(end - at), handles + at, FALSE, 0);
            if (r >= WAIT_OBJECT_0 + (DWORD)(end - at))
                break;  // none (or a failed wait: the patrol covers it)
            at += (int)(r - WAIT_OBJECT_0);
            Signalled(owners[at]);
            signalled++;
            at++;
        }
    }
    return signalled;
}

int ChangeWatchMarked(int row)
{
    return row >= 0 && row < PATROL_ROWS_MAX && s_marked[row];
}

int ChangeWatchStepsRun(int row)
{
    return row >= 0 && row < PATROL_ROWS_MAX ? (int)s_stepsRun[row] : 0;
}

int RunNotifiedSteps()
{
    if (g_Patrol.Running || g_Patrol.AlertOpen || g_ExpressBoot > 0)
        return 0;
    int ran = 0;
    for (int row = 0; row < PATROL_ROWS_MAX; row++) {
        if (!s_marked[row] || s_ranThisTick[row])
            continue;
        s_marked[row] = 0;
        for (int i = 0; i < s_placeCount; i++)
            if (s_places[i].Row == row && s_places[i].Waiting)
                Rearm(&s_places[i]);
        if (!RowPatrolled(row))
            continue;
        s_ranThisTick[row] = 1;
        TraceNote("NOTIFY", s_signalledAt[row] != NULL ? s_signalledAt[row] : "");
        g_Patrol.Running = 1;
        UINT previousMode = SetErrorMode(0x01F40001);
        RunRowStep(row);
        SetErrorMode(previousMode);
        g_Patrol.Running = 0;
        InterlockedIncrement(&s_stepsRun[row]);
        ran++;
    }
    return ran;
}

void ChangeWatchTick()
{
    memset(s_ranThisTick, 0, sizeof(s_ranThisTick));
    if (s_started && g_Patrol.OptionReloads != s_seenReloads) {
        s_seenReloads = g_Patrol.OptionReloads;
        if (Signature() != s_signature)
            ChangeWatchArmAll();
    }
    if (++s_ticksSinceRetry >= kRetryTicks) {
        s_ticksSinceRetry = 0;
        RearmLost();
    }
    RunNotifiedSteps();
}

int RunMonitorLoop()
{
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return (int)msg.wParam;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        HANDLE handles[WATCH_ARMED_MAX];
        int owners[WATCH_ARMED_MAX];
        int total = CollectNotices(handles, owners, WATCH_ARMED_MAX);
        int first = total < WATCH_GROUP_MAX ? total : WATCH_GROUP_MAX;
        DWORD timeout = total > first ? WATCH_POLL_MS : INFINITE;
        DWORD r = MsgWaitForMultipleObjectsEx((DWORD)first, handles, timeout, QS_ALLINPUT,
                                              MWMO_INPUTAVAILABLE);
        s_wakes++;
        if (r == WAIT_FAILED) {
            // A handle went bad under us: the patrol alone carries on.
            TraceNote("NOTIFY", "Wait failed, notices off");
            ChangeWatchDisarm();
            continue;
        }
        if (r == WAIT_OBJECT_0 + (DWORD)first)
            continue;  // messages
        if (ChangeWatchPoll() > 0)
            RunNotifiedSteps();
    }
}

UINT LoopStatsMessage()
{
    static UINT message = RegisterWindowMessageA(LOOP_STATS_MESSAGE);
    return message;
}

LRESULT LoopStat(WPARAM which)
{
    if (which == LOOP_STAT_WAKES)
        return s_wakes;
    FILETIME created, exited, kernel, user;
    if (which != LOOP_STAT_CPU_MS ||
        !GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime, k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime, u.HighPart = user.dwHighDateTime;
    return (LRESULT)((k.QuadPart + u.QuadPart) / 10000);
}
