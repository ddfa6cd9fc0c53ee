// The benchmark program: each section prints its own table.
#pragma once

// KESSA.DLL's watcher: CPU used per minute of watching an idle system.
void BenchProcessWatcher();
// The startup list and the baseline comparison against 10 to 4000 Run values.
void BenchStartupList();
// The services quick pass at 0 to 2000 planted service keys, and the task
// listing at 10 and 200 tasks, each beside its floor.
void BenchServices();
// The running-task list and the process count against a bare snapshot; the
// update-mode, prefix and page checks of one patrol.
void BenchRunningTasks();
// The cookie filter on a 10,000-line cookies.txt and the hidden-file patrol
// over 5,000 hidden files, each beside its floor.
void BenchSysFiles();
