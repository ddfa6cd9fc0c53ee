// The benchmark program: each section prints its own table.
#pragma once

// KESSA.DLL's watcher: CPU used per minute of watching an idle system,
// beside its floor (a bare loop taking the same snapshot as often).
void BenchProcessWatcher();
// The startup list and the baseline comparison against 10 to 4000 Run values.
void BenchStartupList();
// The services quick pass at 0 to 2000 planted service keys, and the task
// listing at 10 and 200 tasks, each beside its floor.
void BenchServices();
// The running-task list and the process count against a bare snapshot; the
// update-mode, prefix and page checks of one patrol.
void BenchRunningTasks();
// The patrol: an idle minute of timer ticks, the real Vardex.exe left idle,
// and one full patrol of each half with 200 startup entries.
void BenchPatrol();

// CPU clocks shared by the sections, in ms; -1 when one cannot be read.
// This process's kernel plus user time (GetProcessTimes: whole 10 ms clock
// ticks under Wine).
double BenchProcessCpuMs();
// The same to the nanosecond, from the scheduler's per-thread run time in
// /proc (seen through Wine's Z: drive).
double BenchPreciseCpuMs();
// The CPU of this prefix's wineserver, which does part of every registry
// and process call's work under Wine.
double BenchWineserverCpuMs();
// One IE helper patrol at 10 and 200 planted helpers, and one file-type
// patrol over the default list, each beside its floor.
void BenchIEHelpers();
// The cookie filter on a 10,000-line cookies.txt and the hidden-file patrol
// over 5,000 hidden files, each beside its floor.
void BenchSysFiles();
