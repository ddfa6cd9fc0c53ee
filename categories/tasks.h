// Scheduled tasks: the work items of the Task Scheduler (its 1.0 COM
// interface), the baseline of approved tasks, and deleting a task.  Every
// operation first makes sure the scheduler runs and, when it had to start
// the Windows 95/98/Me agent for it, ends that agent again.
#pragma once
#include <windows.h>

#include "foundation/category_record.h"

#define VX_TASKS_KEY "Software\\Quillon\\Vardex\\Tasks"

enum { TASK_CODE_SCHEDULED = 800 };

enum {
    TXT_TASK_NEVER = 686, TXT_TASK_STATUS_READY = 688, TXT_TASK_STATUS_RUNNING = 689,
    TXT_TASK_STATUS_NOT_SCHEDULED = 690, TXT_TASK_NEXT_RUN_LABEL = 693
};

// The row of the tasks category: second half, period "Tasks", no real-time
// switch, auto answer "HideTasks"; runs only while the scheduler runs.
extern const Category g_TasksCategory;

// 0 when the scheduler runs (started if need be, and then waited for),
// else a Windows error code.  Clears, and on Windows 95/98/Me sets when it
// starts the agent, the flag that has the operation stop it again.
int EnsureSchedulerRunning();
// 1 when the scheduler runs, else 0; starts nothing.
int IsSchedulerRunning();
// Ends the scheduler EnsureSchedulerRunning started (the agent on Windows
// 95/98/Me; the "Schedule" service elsewhere).  0 when done, 1 when there
// was nothing to end or it refused.
int StopScheduler();

// Empties the list and fills it with the tasks, each batch of 5 names from
// its last to its first: Name = the work-item name ("X.job") in ANSI, Key =
// the same in UTF-8, Command = its program, Extra = next run time, Info =
// last run time, code 800.  Returns the count; 0 when the scheduler is
// unavailable; a negative COM result when the scheduler cannot be reached
// through COM.
int EnumScheduledTasks(ItemList* list);

// Deletes the task whose key (its own wide name in UTF-8, "X.job", the
// list's Key) is key, compared without case; an ANSI name that merely
// converts to it is no match.  1 when deleted, 0 when not found or refused.
int DeleteScheduledTask(const char* key);
// The user's removal of a listed task: deletes the task of the record's
// key and then, only when it is gone, its approval under Tasks (a task
// that stays keeps its approval, so no patrol asks about it as new).
// 1 when deleted, 0 when not found or refused.
int RemoveScheduledTask(const ItemRecord* item);
// The lookups below find a task by its key, or by an ANSI name that spells
// its name exactly (what the alert has).
// Next run time as text, "Never" when none (out holds outSize).  Length;
// 0 and "" when the task is not found.
int GetTaskNextRunTime(const char* name, char* out, int outSize);
// The task's comment (out holds outSize).  Length; 0 and "" when none.
int GetTaskComment(const char* name, char* out, int outSize);
// "Status: Running", "Status: Not Scheduled" or "Status: Ready" (out holds
// outSize).  Length; 0 and "" when the task is not found.
int GetTaskStatusText(const char* name, char* out, int outSize);

// A scheduler time as "MM/DD/YYYY  h:mm AM"; "Never" for an all-zero date.
int FormatTaskTime(const SYSTEMTIME* time, char* out, int outSize);

