// The patrol driver: the 2-second timer tick, the delayed-start launcher,
// the patrol of the two halves with a countdown per category, and the
// process-count check that brings a patrol forward.  All state lives on the
// monitor's one thread, in one record.
#pragma once
#include <windows.h>

#define PATROL_ROWS_MAX 32

struct PatrolState {
    int TickCounter;        // ticks since the last patrol attempt
    int Running;            // 1 while a patrol runs
    int AlertOpen;          // 1 while an alert is open
    int ProcessNotice;      // set by message 9024, cleared by the tick
    int NoticeChecksInRow;  // consecutive ticks that ran the count check
    DWORD LastPatrolTime;   // tick count of the last patrol
    int HalfSelector;       // 0: the next patrol runs the first half
    int PatrolCount;        // patrols started; the icon is re-added after 61
    int LastProcessCount;   // process count at the last count check

    // The delayed-start launcher.
    int DelayToLaunch;      // programs on the list at start
    int DelayLaunched;      // programs launched (or found running)
    int DelayTicks;         // ticks since the last launch step
    int DelayStep;          // launch steps taken (step n covers n x 10 s)

    int OptionReloads;      // times ReloadOptions ran

    // Per row of the category table: the countdown and its period, in
    // patrols.  A countdown of 0 never runs.
    int Countdown[PATROL_ROWS_MAX];
    int Period[PATROL_ROWS_MAX];
};
extern PatrolState g_Patrol;

// Everything back to its state at start (countdowns 0, nothing running).
void ResetPatrolState();

// The countdown rule: a countdown above 0 goes down by 1; when that makes
// it 0 it is reloaded with the period and the result is 1 (run the step).
// A countdown of 0 never moves and never runs.
int CountdownExpired(int* countdown, int period);

// LoadOptions, then every countdown and period set from the options (a
// countdown resting above its period is only ever raised).  Used at start
// and at every reload.
void ReloadOptions();

// The reload handshake: when the option "Update" is non-zero, ReloadOptions
// and "Update" = "0".  1 when the options were reloaded.
int ReloadOptionsIfUpdated();

// Zeroes the launcher's counters; toLaunch programs wait on the list.
void ResetDelayedLauncher(int toLaunch);

// 1 when the row's step is patrolled: it has a step, and a period above 0
// or none (every patrol).
int RowPatrolled(int row);

// The row's step as the patrol runs it once its countdown expired: unless
// the category cannot run now, with its trace line before and the timing
// line after; a step that asks to rest sets the countdown.
void RunRowStep(int row);

// The WM_TIMER handler.
void PatrolTick();

// One patrol.  1 when it ran or was refused (a patrol or an alert is
// active); 0 when it left early, less than a second after the last one.
int RunPatrol();

// The process-change check: forces the real-time categories and a patrol
// on the next tick when the number of processes changed.  Returns the count.
int VerifyTasks();
