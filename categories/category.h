// The code that serves every watched category: it loops over the table of
// category records and never names a category.  Nothing here touches a
// window: questions go through the UI seam (foundation/ui.h).
#pragma once
#include "foundation/category_record.h"

// The table, in patrol order.
int CategoryCount();
const Category* CategoryAt(int index);

// The generic patrol step: List, then for every item the verdict, the
// first-detected date of a new item, the question (or the hide option's
// answer) and Act.  Returns the number of items asked about.
int PatrolCategory(const Category* category);

// Runs the category's own step or PatrolCategory.
int RunCategoryStep(const Category* category);

// Every category whose baseline key carries no "built" mark records its
// baseline now and is marked; a category that could not list stays
// unmarked and is tried again at the next start.  Silent: no questions.
void InitCategoryBaselines();

// Every category whose Detected subkey was never filled records the dates
// of its current items and marks the subkey as filled.
void InitCategoryDetected();

// The baseline mark: the default value "P" of the key.
int BaselineBuilt(const char* key);
void MarkBaselineBuilt(const char* key);

// Undoes a history line through the category that wrote it.  1 restored,
// 0 failed or nothing undoes it.
int UndoHistoryLine(const ItemRecord* line);
