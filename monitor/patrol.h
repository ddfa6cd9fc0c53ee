// The patrol driver's state, shared with the start-up and the alerts.
#pragma once
#include <windows.h>

extern int g_TickCounter;        // ticks since the last patrol attempt
extern int g_PatrolRunning;      // 1 while a patrol runs
extern int g_AlertOpen;          // 1 while an alert is open
extern int g_ProcessNotice;      // set by message 9024, cleared by the tick
extern int g_NoticeChecksInRow;  // consecutive ticks that ran the count check
extern int g_RestartCountdown;   // countdown of the restart-commands patrol
extern DWORD g_LastPatrolTime;   // tick count of the last patrol

// The WM_TIMER handler.
void PatrolTick();

// Forgets the last command shown in a startup alert and its repeat count.
void ResetAlertRepeat();

// The restart-commands window (quiet: only when commands are pending).
void ShowRestartCommands(int quiet);

// Frees the cookie-filter list.
void FreeCookieFilters();
