#include "categories/running_tasks.h"

#include <windows.h>

#include "categories/category.h"

#include "foundation/detected.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/version_info.h"
#include "foundation/item_list.h"
#include "foundation/path_text.h"

#define DETECTED_ACTIVE_TASKS_KEY VX_DETECTED_KEY "\\ActiveTasks"

// --- The list ------------------------------------------------------------------------

static int OnProgram(DWORD processId, const char* path, const char* comparable, void* context)
{
    // The description, kept while the file is unchanged: the list is built
    // again at every process-count check, and the same programs run all day.
    KeptVersion version;
    KeptVersionOf(path, &version);
    // A full list ends the walk: nothing more could be added.
    return AddFileItem((ItemList*)context, path, version.description, comparable, "", "",
                       INFO_TASK, (int)processId);
}

int EnumRunningTasks(ItemList* list)
{
    ClearItems(list);
    EnumPrograms(OnProgram, list);
    return ItemCount(list);
}

// A program the page can show: one whose path has a file part.
static int OnShownProgram(DWORD processId, const char* path, const char* comparable,
                          void* context)
{
    if (comparable[FileNameOffset(comparable)] == '\0')
        return 1;
    return OnProgram(processId, path, comparable, context);
}

// The page's listing: every running program whose path names a file.
static int ListAllRunning(ItemList* out)
{
    ClearItems(out);
    EnumPrograms(OnShownProgram, out);
    return ItemCount(out);
}

void RecordActiveTasks()
{
    ItemList list;
    int count = EnumRunningTasks(&list);
    for (int i = 0; i < count; i++)
        RecordDetected(GetItemCommand(&list, i), DETECTED_ACTIVE_TASKS_KEY);
}

static int RecordActiveTasksDetected()
{
    RecordActiveTasks();
    return 1;
}

const Category g_ActiveTasksCategory = {
    "Active Tasks",      // Label (no patrol step writes it)
    "ActiveTasks",       // DetectedSubkey
    NULL,                // BaselineKey: running programs are no baseline
    -1,                  // PeriodOption
    -1,                  // RealtimeOption
    -1,                  // HideOption
    0,                   // Half
    NULL,                // Alert: never shown
    NULL,                // ReturnAlert: never shown
    CAT_DETECTS_ON_NOTICE,  // dates the programs a process change brought
    NULL,                // CanRun
    NULL,                // Patrol
    NULL,                // InitBaseline
    NULL,                // BaselineReady
    RecordActiveTasksDetected,
    NULL,                // List: the explorer's page calls EnumRunningTasks
    NULL,                // BeginCompare
    NULL,                // EndCompare
    NULL,                // TellNew
    NULL,                // Describe
    NULL,                // Act
    NULL,                // Undo
    ListAllRunning,
};
