#include "categories/running_tasks.h"

#include <windows.h>

#include "categories/category.h"

#include "foundation/detected.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/item_list.h"

#define DETECTED_ACTIVE_TASKS_KEY VX_DETECTED_KEY "\\ActiveTasks"

// --- File descriptions -----------------------------------------------------------
//
// Reading a version resource maps the whole file and costs far more than
// listing the processes; the list is built again at every process-count
// check, and the same few programs run all day.  So the description of a
// file is kept with the file's size and last-write time, and read again
// only when either changes.

#define DESCRIPTION_SLOTS 512  // a power of two; cleared when half full

struct DescriptionEntry {
    char path[VX_PATH];
    FILETIME written;
    DWORD sizeLow;
    DWORD sizeHigh;
    char description[ITEM_NAME];
};

static DescriptionEntry* s_descriptions = NULL;
static int s_descriptionCount = 0;

static unsigned DescriptionHash(const char* text)
{
    unsigned h = 2166136261u;
    for (; *text != '\0'; text++)
        h = (h ^ (unsigned char)*text) * 16777619u;
    return h;
}

static void ReadDescription(const char* path, char* out)
{
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(path, strings);
    TextCopy(out, ITEM_NAME, strings[VS_FILE_DESCRIPTION]);
}

// The file description of path (out holds ITEM_NAME); "" when it has none.
static void DescriptionOf(const char* path, const char* comparable, char* out)
{
    out[0] = '\0';
    WIN32_FILE_ATTRIBUTE_DATA facts;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &facts)) {
        ReadDescription(path, out);
        return;
    }
    if (s_descriptions == NULL) {
        s_descriptions = (DescriptionEntry*)HeapAlloc(
            GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(DescriptionEntry) * DESCRIPTION_SLOTS);
        if (s_descriptions == NULL) {
            ReadDescription(path, out);
            return;
        }
    }
    if (s_descriptionCount * 2 >= DESCRIPTION_SLOTS) {
        ZeroMemory(s_descriptions, sizeof(DescriptionEntry) * DESCRIPTION_SLOTS);
        s_descriptionCount = 0;
    }
    // Comparable paths are upper case: the slot is found without folding.
    unsigned mask = DESCRIPTION_SLOTS - 1;
    unsigned slot = DescriptionHash(comparable) & mask;
    while (s_descriptions[slot].path[0] != '\0' &&
           !TextEqualNoCase(s_descriptions[slot].path, comparable))
        slot = (slot + 1) & mask;
    DescriptionEntry* entry = &s_descriptions[slot];
    if (entry->path[0] != '\0' &&
        CompareFileTime(&entry->written, &facts.ftLastWriteTime) == 0 &&
        entry->sizeLow == facts.nFileSizeLow && entry->sizeHigh == facts.nFileSizeHigh) {
        TextCopy(out, ITEM_NAME, entry->description);
        return;
    }
    if (entry->path[0] == '\0')
        s_descriptionCount++;
    TextCopy(entry->path, comparable);
    entry->written = facts.ftLastWriteTime;
    entry->sizeLow = facts.nFileSizeLow;
    entry->sizeHigh = facts.nFileSizeHigh;
    ReadDescription(path, entry->description);
    TextCopy(out, ITEM_NAME, entry->description);
}

// --- The list ------------------------------------------------------------------------

static int OnProgram(DWORD processId, const char* path, const char* comparable, void*)
{
    char description[ITEM_NAME];
    DescriptionOf(path, comparable, description);
    // A full list ends the walk: nothing more could be added.
    return AddItem(description, comparable, "", "", INFO_TASK, (int)processId);
}

int EnumRunningTasks()
{
    ClearItems();
    EnumPrograms(OnProgram, NULL);
    return ItemCount();
}

void RecordActiveTasks()
{
    int count = EnumRunningTasks();
    for (int i = 0; i < count; i++)
        RecordDetected(GetItemCommand(i), DETECTED_ACTIVE_TASKS_KEY);
    ClearItems();
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
    ALERT_TASK,          // Alert: never shown
    ALERT_TASK,          // ReturnAlert: never shown
    CAT_DETECTS_ON_NOTICE,  // dates the programs a process change brought
    NULL,                // CanRun
    NULL,                // Patrol
    NULL,                // InitBaseline
    RecordActiveTasksDetected,
    NULL,                // List: the explorer's page calls EnumRunningTasks
    NULL,                // BeginCompare
    NULL,                // EndCompare
    NULL,                // TellNew
    NULL,                // Describe
    NULL,                // Act
    NULL,                // Undo
};
