// The code that serves every watched category: it loops over the table of
// category records and never names a category.  Nothing here touches a
// window: questions go through the UI seam (foundation/ui.h).
#pragma once
#include "foundation/category_record.h"

// The table, in patrol order.
int CategoryCount();
const Category* CategoryAt(int index);

// The generic patrol step: List into a list of the step's own, then for
// every item the verdict, the first-detected date of a new item, the
// question (or the hide option's answer) and Act.  A baseline that is not
// built (its mark gone: the key deleted, or never finished) is recorded
// silently instead, and nothing is compared this time.  Returns the number
// of items asked about.
int PatrolCategory(const Category* category);

// The alert request for an item: the row's alert for the verdict, file =
// Command, name = Name, type = Code, then the row's Describe.  A row
// without an alert gives a request that nothing can show (ANSWER_NONE).
void DescribeCategoryItem(const Category* category, const ItemRecord* item, int verdict,
                          AlertRequest* request);

// Runs the category's own step or PatrolCategory, after the same baseline
// check.  Returns what the own step does (a rest), else 0.
int RunCategoryStep(const Category* category);

// Every category whose baseline is not built records it now and is
// marked; a category that could not list stays unmarked and is tried again
// at its next step or start.  A row that adopts unmarked keys marks a key
// of values recorded before marks existed as it stands.  Silent: no
// questions.
void InitCategoryBaselines();

// Records the row's baseline afresh: a key that holds anything else than
// the mark is started anew, and the mark is written only when every item
// was recorded.  1 when built.
int BuildCategoryBaseline(const Category* category);

// The clean-up of a new version and of the option "Cleanup": the baselines
// of the rows it names (startup programs, helpers, tasks) are thrown away
// and recorded afresh, each marked once it is whole.
void CleanupRunRegistry();

// Every category whose Detected subkey was never filled records the dates
// of its current items and marks the subkey as filled.
void InitCategoryDetected();

// The baseline mark: the default value "P" of the key.
int BaselineBuilt(const char* key);
void MarkBaselineBuilt(const char* key);

// Undoes a history line through the category that wrote it.  1 restored,
// 0 failed or nothing undoes it.
int UndoHistoryLine(const ItemRecord* line);
