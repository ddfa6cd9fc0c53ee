// Running tasks: the programs that run now, as entries of the item list,
// and their first-detected dates.  The processes themselves (listing,
// finding, ending) are foundation/processes.h.
#pragma once
// The row's type (categories/category.h); declared only, so that code
// which calls the functions need not see the category record.
#include "foundation/category_record.h"

// The item list's code of a running program (INFO_TASK).
#define INFO_TASK 600

// Empties the list and fills it with one entry per running program
// file: Name = the file description of its version information (the file
// name when it has none), Command = the path as ExpandProgramPath gives it,
// File = the path as read (the file's own spelling), Extra and Info empty,
// Code = INFO_TASK, Flag = the id of its first process.  A second process
// of the same file adds nothing; a process whose path cannot be read adds
// nothing.  Returns the count (0 when processes cannot be listed), the
// same number CountRunningPrograms gives.
int EnumRunningTasks(ItemList* list);

// Lists the running programs and records a first-detected date for each
// path under Software\Quillon\Detected\ActiveTasks.
void RecordActiveTasks();

// The category row: first-detected dates only.  Running programs are no
// baseline and have no patrol step; the monitor's process-count check
// counts them with CountRunningPrograms (foundation/processes.h).
extern const Category g_ActiveTasksCategory;
