// The patrol driver: the 2-second timer tick, the delayed-start launcher,
// the patrol of the two halves with a countdown per category, and the
// process-count check that brings a patrol forward.  All state lives on the
// monitor's one thread.
#pragma once
#include <windows.h>

#include "categories/category_hooks.h"

extern int g_TickCounter;        // ticks since the last patrol attempt
extern int g_PatrolRunning;      // 1 while a patrol runs
extern int g_AlertOpen;          // 1 while an alert is open
extern int g_ProcessNotice;      // set by message 9024, cleared by the tick
extern int g_NoticeChecksInRow;  // consecutive ticks that ran the count check
extern int g_RestartCountdown;   // countdown of the restart-commands patrol
extern DWORD g_LastPatrolTime;   // tick count of the last patrol

extern int g_HalfSelector;       // 0: the next patrol runs the first half
extern int g_PatrolCount;        // patrols started; the icon is re-added after 61
extern int g_LastProcessCount;   // process count at the last count check
extern int g_CookieMode;         // 1 the IE cookie folder, 3 the browser's cookie file

// The delayed-start launcher's counters.
extern int g_DelayToLaunch;      // programs on the list at start
extern int g_DelayLaunched;      // programs launched (or found running)
extern int g_DelayTicks;         // ticks since the last launch step
extern int g_DelayStep;          // launch steps taken (step n covers n x 10 s)

// The categories that run on a countdown, in patrol order.  The restart
// commands keep their countdown in g_RestartCountdown.
enum PatrolRow {
    ROW_STARTUP, ROW_IEHELPERS, ROW_HIDDEN, ROW_ACTIVEX, ROW_SYSFILES, ROW_STARTPAGE,
    ROW_FILETYPE, ROW_TASKS, ROW_WININIT, ROW_SERVICES, ROW_NUTS, ROW_COOKIES,
    ROW_COUNT
};
extern int g_Countdown[ROW_COUNT];
extern int g_Period[ROW_COUNT];

// The countdown rule: a countdown above 0 goes down by 1; when that makes
// it 0 it is reloaded with the period and the result is 1 (run the step).
// A countdown of 0 never moves and never runs.
int CountdownExpired(int* countdown, int period);

// LoadOptions, then every countdown and period set from the options (the
// restart-commands countdown is only ever raised).  Used at start and at
// every reload.
void ReloadOptions();

// The reload handshake: when the option "Update" is non-zero, ReloadOptions
// and "Update" = "0".  1 when the options were reloaded.
int ReloadOptionsIfUpdated();

// Zeroes the launcher's counters; toLaunch programs wait on the list.
void ResetDelayedLauncher(int toLaunch);

// The WM_TIMER handler.
void PatrolTick();

// One patrol.  1 when it ran or was refused (a patrol or an alert is
// active); 0 when it left early, less than a second after the last one.
int RunPatrol();

// The process-change check: forces the real-time categories and a patrol
// on the next tick when the number of processes changed.  Returns the count.
int VerifyTasks();

// Forgets the last command shown in a startup alert and its repeat count.
void ResetAlertRepeat();

// The restart-commands window.  quiet: only tells whether commands are
// pending (1) without showing anything.
int ShowRestartCommands(int quiet);

// Frees the cookie-filter list.
void FreeCookieFilters();
