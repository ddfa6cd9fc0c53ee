// The program information dialog: what can be learned locally of an item's
// program file, where it starts from, whether it runs, and the user's note.
#pragma once
#include "explorer/list_page.h"

// Shows the dialog (modal) for the record of the page's list at index, and
// selects that record's row again afterwards (the one shown last when the
// user moved with << and >>).
void ShowProgramInfo(ListPage* page, int index);
