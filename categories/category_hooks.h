// Start-up hooks of the monitored categories: each records its baseline on
// first use and does nothing when its key is already populated.
#pragma once
// Implemented: EndProgramIfRunning, CheckUpdateAndPrefix, CheckBrowserPages
// and RecordActiveTasks.
#include "categories/browser_pages.h"
#include "categories/running_tasks.h"
#include "foundation/processes.h"

void InitServiceBaseline();
void InitHiddenBaseline();
void InitActiveXBaseline();
// Records HOSTS, C:\autoexec.bat and C:\Config.sys as watched system
// files.  1 when the records were written.
int RecordInitialSystemFiles();
void CreateFileTypeClassRecords();


// --- Patrol steps of the monitored categories ----------------------------
// Each step fills the shared item list and asks through the monitor's
// alerts; the patrol driver owns the order, the countdowns and the trace.

void PatrolIEHelpers();
void PatrolHiddenFiles();
void PatrolActiveX();
// HOSTS, autoexec.bat, config.sys and the other watched files.
void CheckAllSysFiles();
void PatrolFileTypes();
// 1 when the task scheduler service runs.
int IsSchedulerRunning();
void PatrolTasks();
void PatrolServices();
// Lists the cookies into the item list (filter set: the cookie filters are
// applied and matching cookies removed).  Returns the count.
int ListCookies(int filter);
// The Mozilla-family profile folder holding cookies.txt (out holds 260);
// 0 and "" when there is none.
int GetMozillaProfileFolder(char* out);
// Rewrites the browser's cookie file without the filtered cookies.  1 when
// it was written.
int CommitCookieFile();
void SetCookieFilePending(int pending);
// Forgets the cookie filters meant to apply once.
void PurgeOneTimeNuts();

// The delayed-start launcher: starts every listed program whose delay (in
// seconds) equals delaySeconds.  Returns how many entries matched, started
// or found running.
int RunDelayedPrograms(int delaySeconds);
// The number of programs on the delayed-start list.
int CountDelayedPrograms();

// Services as the service alert shows and undoes them.  The state is
// SERVICE_STATUS.dwCurrentState in the high 16 bits (0 when unknown).
int QueryServiceState(const char* title);
// "Running", "Stopped"... of the service (out holds 128); "" when unknown.
int ServiceStateText(const char* title, char* out);
// action 1 stops the service.  1 on success.
int ControlServiceByTitle(const char* title, int action);
// Start type 2 automatic, 3 manual, 4 disabled.  1 on success.
int SetServiceStartType(const char* title, int startType);

// The history's undo of a hidden-file deletion: the vault copy back to
// path, hidden, recorded in the hidden baseline.  1 when restored.
int RestoreHiddenFile(const char* path);
// First-detected dates of each category's current items, for the first
// filling of the database (InitDetected).
void RecordDetectedIEHelpers();
void RecordDetectedTasks();
void RecordDetectedServices();
void RecordDetectedFileTypes();
void RecordDetectedHidden();
