// Change notices from the system: every watched place (foundation/
// category_record.h) of every category whose patrol is on is armed for a
// registry or folder change notice, and the monitor's message loop waits on
// them together with its messages.  A place that signals marks its
// category; a marked category runs its step at once when nothing else runs,
// else on a later tick, and at most once a tick, so a burst of writes costs
// one step a tick.  The patrol stays as it is: a notice that is lost or
// could not be armed only waits for it.  The option "WatchChanges" = "0"
// arms nothing.
#pragma once
#include <windows.h>

#include "foundation/category_record.h"

// Places armed at once, over every category (more are not armed).
#define WATCH_ARMED_MAX 256
// Handles in one wait: the system's limit less one for the message queue.
#define WATCH_GROUP_MAX (MAXIMUM_WAIT_OBJECTS - 1)

// Disarms, then arms every place of every category whose patrol is on
// (period above 0, or a step on every patrol), unless the option
// "WatchChanges", as last loaded, is 0.  Returns the count armed.
int ChangeWatchArmAll();

// Arms the places of the list (up to its WATCH_END) for the category row.
// A key or folder that does not exist is armed at its nearest existing
// parent (a key flagged WATCH_EXISTING is then left out); one that cannot
// be opened for notices is left out.  Returns how many were armed.
int ChangeWatchArmPlaces(int row, const WatchPlace* places);

// Closes every notice handle; nothing is marked afterwards.
void ChangeWatchDisarm();

// What is armed: the count, the handle groups one wait covers, and the
// place a watch was armed at ("HKCU\..." or a folder; "" outside).
int ChangeWatchArmedCount();
int ChangeWatchGroupCount();
const char* ChangeWatchWhere(int index);

// Checks every armed place without waiting: one that signalled marks its
// row and waits, unarmed, until its row's step (a burst wakes the monitor
// once).  Returns how many signalled.
int ChangeWatchPoll();

// 1 when the row is marked for a step.
int ChangeWatchMarked(int row);

// Runs the step of every marked row that has not run one this tick, unless
// a patrol runs or an alert is open (the marks stay for a later tick).  The
// row's places are re-armed before its step, so a change made during the
// step marks it again.  Returns how many steps ran.
int RunNotifiedSteps();

// How many steps of the row RunNotifiedSteps has completed since start
// (safe to read from another thread; 0 outside the rows).
int ChangeWatchStepsRun(int row);

// The tick's part, run before the patrol's: a new tick budget, the arming
// brought in line with the options when ReloadOptions ran since, every 17
// ticks the lost places armed again (not armed before, or a key deleted
// without a notice, as under Wine), then the marked rows' steps.
void ChangeWatchTick();

// The monitor's message loop, waiting on the messages and the first group
// of notices (later groups are checked every WATCH_POLL_MS).  Returns the
// WM_QUIT code.
#define WATCH_POLL_MS 250
int RunMonitorLoop();

// The monitor's window answers this registered message with a figure of
// its loop, so that a busy loop can be told from an idle one from outside
// (another process's CPU time is not to be trusted under Wine, a process's
// own is): wParam LOOP_STAT_WAKES, the times its wait returned since start;
// LOOP_STAT_CPU_MS, the process's own CPU (kernel + user) in ms.
#define LOOP_STATS_MESSAGE "VardexLoopStats"
enum { LOOP_STAT_WAKES = 0, LOOP_STAT_CPU_MS = 1 };
// The registered message's number (0 when it could not be registered).
UINT LoopStatsMessage();
// The figure wParam names; -1 for another wParam or a failed read.
LRESULT LoopStat(WPARAM which);
