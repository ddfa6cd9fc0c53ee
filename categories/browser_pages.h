// Settings watched by value: the Automatic Updates mode, the prefix the
// browser puts before an address typed without one, and the browser's
// start, search and desktop pages.  For each, the value the user approved
// is kept under HKCU Software\Quillon\Vardex; a live value that differs is
// asked about (keep it: the baseline follows; undo it: the approved value
// is written back).
//
// Questions go through the UI seam (UiConfirm, after the notice that one is
// coming; the page questions, whose texts say that Enter keeps the page,
// with UiConfirmYesByDefault).  A restore that does not hold (the value
// cannot be written, or reads back otherwise) is told once
// (NOTICE_RESTORE_FAILED) and not asked about again while the live value
// stays what it is: asking again could not end differently.  Where the
// monitor may not write the machine's values (major version 6), the
// explorer is asked to (NOTICE_RESTORE_BY_EXPLORER).
#pragma once
#include "foundation/category_record.h"

// The Automatic Updates mode, then the URL prefix, at every patrol.
// Returns 1 when the update-mode baseline was missing, 0 or outside 1 to 4
// when the call began (it is then seeded from a non-zero live mode), else
// 0.  The prefix is checked either way.  The prefix is compared only when
// the machine's "www" prefix value exists and is not empty.
int CheckUpdateAndPrefix();

// The start, search and desktop pages, in that order, answered by the
// option "HideHomePage" (0 ask, 1 keep, other values undo).  Any change of
// a watched value is asked about: a page deleted (value or key) or emptied
// is shown as text 1062 "(no page)", one rewritten as another type as text
// 1063 "(not a text value)", a long one cut.  Keeping a page records it as
// it is (no page as an empty baseline, which is compared like any other);
// undoing writes the approved page back as REG_SZ, creating the key, or
// deletes the value when no page was approved.  Only a missing baseline is
// seeded silently, from a live text page.
void CheckBrowserPages();

// Copies a non-zero live update mode into a missing or zero baseline; for
// the monitor's start.  1 when it stored one.
int SeedUpdateModeBaseline();

// The explorer's maintenance switches, for where the monitor may not write
// the machine's values.  "-AUOption": the approved update mode (HKCU
// Software\Quillon\Vardex "AUOptions") written as the machine's, but only
// a REG_DWORD of 1 to 5; 1 when it was written.  "-SetPrefix": the
// approved prefix ("wwwPrefix", else text 1061 "http://") written as the
// machine's "www" prefix and its default prefix; 1 when both were written.
int ApplyApprovedUpdateMode();
int ApplyApprovedPrefix();

// Category rows.  Both have their own step (Patrol) and no item list.
// Every patrol, in both halves: the update mode and the prefix.
extern const Category g_UpdatePrefixCategory;
// First half, on the "StartPage" countdown ("RealtimeStartPage").
extern const Category g_BrowserPagesCategory;
