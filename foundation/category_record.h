// A watched category as one record: what the patrol, the monitor's
// start-up, the first-detected database, the history undo and the
// explorer's list pages need to know of it.  Each category fills one in its
// own source (startup programs in startup/, the others in categories/), and
// the table in categories/category_table.cpp lists them in patrol order.
//
// Nothing a record points to touches a window: questions go through the UI
// seam and come back as answers.
#pragma once
#include "foundation/alert_description.h"
#include "foundation/item_list.h"
#include "foundation/ui.h"

// How a category tells an item of the list it has just built.
enum ItemVerdict {
    VERDICT_STOP = -1,     // stop looking at this list
    VERDICT_KNOWN = 0,     // in the baseline: nothing to ask
    VERDICT_NEW = 1,       // asked with the category's alert
    VERDICT_RETURNED = 2,  // asked with the category's second alert
};

// Row flags.
enum {
    CAT_RELOADS_OPTIONS = 1,      // the monitor picks up changed options before this step
    CAT_DETECTS_ON_NOTICE = 2,    // dates recorded after a patrol a process change brought
    CAT_BASELINE_TABLE = 4,       // the step's context is its baseline key loaded as a table
    // At start, a baseline key that holds values but no mark was recorded
    // before marks were written: it is marked as it stands, not rebuilt.
    CAT_ADOPTS_UNMARKED = 8,
    // The clean-up (a new version, the option "Cleanup") throws the
    // baseline away and records it afresh.
    CAT_CLEANED_UP = 16,
};

// A place whose changes bring the category's step forward: a registry key
// or a folder.  A category's list ends with a place of kind WATCH_END.
enum WatchKind { WATCH_END, WATCH_KEY, WATCH_FOLDER };
enum {
    WATCH_SUBTREE = 1,      // changes anywhere below count too
    WATCH_SYSTEM_VIEW = 2,  // a machine key read in the system's own view
    // Watched only while the key exists: a missing one is not watched
    // through its parent (the Wow6432Node copies on a 32-bit system).
    WATCH_EXISTING = 4,
};
struct WatchPlace {
    int Kind;
    HKEY Root;             // keys: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER ...
    const char* Path;      // keys: the key; folders: a fixed folder, or NULL
    // Folders: fills out (VX_PATH) with the folder or a file in it; 0 when
    // the category has none now.
    int (*Locate)(char* out);
    int Flags;
};

struct Category {
    const char* Label;           // the trace label of its patrol step
    const char* DetectedSubkey;  // under Software\Quillon\Detected; NULL: no dates
    const char* BaselineKey;     // HKCU key of its baseline; NULL: none
    int PeriodOption;            // OptionId of its period, in patrols; -1: every patrol
    int RealtimeOption;          // OptionId of its real-time switch; -1: none
    int HideOption;              // OptionId of its auto answer; -1: always asks
    int Half;                    // 0: first half of the patrol, 1: second half
    // The alert of a VERDICT_NEW item and of a VERDICT_RETURNED one (NULL:
    // the category never asks with an alert).
    const AlertDescription* Alert;
    const AlertDescription* ReturnAlert;
    int Flags;

    // --- Operations; any of them may be NULL. ---
    // 1 when the step can run now (NULL: always).  An expired countdown is
    // spent either way.
    int (*CanRun)();
    // A step of its own instead of PatrolCategory.  Returns 0, or a count
    // of expiries for the step to rest.
    int (*Patrol)(const Category* category);
    // Records the baseline from what is there now; 1 when it was recorded
    // (the key is then marked as built; 0 leaves it to be built later).
    int (*InitBaseline)();
    // 1 when the baseline is built (NULL: BaselineKey under HKCU carries the
    // mark "P").  A row with its own test marks the baseline itself.
    int (*BaselineReady)();
    // Records a first-detected date for every current item; 1 when done.
    int (*RecordDetected)();
    // Fills the list (the caller's, empty); returns the count.
    int (*List)(ItemList* out);
    // Loads what the comparison needs once per step; the context goes to
    // TellNew and back to EndCompare.  With CAT_BASELINE_TABLE and no
    // BeginCompare the context is the baseline key as a NameTable
    // (foundation/name_table.h: BaselineCodeIn looks an item up in it).
    void* (*BeginCompare)();
    void (*EndCompare)(void* context);
    // The verdict on one listed item.
    int (*TellNew)(const ItemRecord* item, void* context);
    // Fills in the alert for an item, after the request was made with file
    // = Command, name = Name, type = Code and the row's alert by verdict
    // (NULL: nothing more).  No window: what the alert needs of the item
    // is found out here.
    void (*Describe)(const ItemRecord* item, int verdict, AlertRequest* request);
    // The answer's consequences: ANSWER_ACCEPT, ANSWER_REJECT or
    // ANSWER_DISABLE (ANSWER_NONE never arrives).  Returns 1 when carried
    // out.
    int (*Act)(const ItemRecord* item, int verdict, int answer);
    // Undoes the history line (Flag = action, Code = type, Name, Command,
    // Extra): 1 restored, 0 failed, -1 not an action of this category.
    int (*Undo)(const ItemRecord* line);
    // Fills the list (the caller's) with everything the explorer's page and
    // the reports show, as the view options say; returns the count.  The
    // patrol's List stays as it is.
    int (*ListAll)(ItemList* out);

    // The places whose changes the monitor is told of (NULL: none; the
    // patrol alone finds its changes).
    const WatchPlace* Watch;
};

