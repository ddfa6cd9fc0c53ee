// Hidden files: new files with the hidden attribute in the system's key
// folders ("C:\", the Windows folder, the system folder, Common Files and
// the temporary folder).  The baseline (HKCU Software\Quillon\Vardex\Hidden)
// holds one value per known file, named by its path; a new file is asked
// about with the hidden-file alert (keep it, or delete it).  A deleted file
// is first copied to the vault's "hidden" folder, in a folder of its source
// folder's own and under a name no other copy holds; the deletion's history
// line names the copy, so the history's undo brings back that file byte for
// byte, whatever was deleted after it.
#pragma once
#include "foundation/category_record.h"

#define VX_HIDDEN_KEY "Software\\Quillon\\Vardex\\Hidden"

// Adds every hidden file (not folder) under folder to the list (Code
// 370, Command = the path, Flag = 1 when it lacks the system attribute,
// Extra = its last-write time as TicksText writes it, Name = its product
// name when withNames is set); subfolders whose name
// does not start with "." are walked depth levels deep.  A path that would
// not fit in 259 characters is passed over.  Returns the number added.
int AddHiddenFilesIn(ItemList* list, const char* folder, int depth, int withNames);

// Empties the list and fills it with the hidden files of the watched
// folders, names included.  Returns the count.
int EnumHiddenFiles(ItemList* list);

// The first baseline: when the key has no "P" mark, records every hidden
// file with today's date.  1 when recorded.
int InitHiddenBaseline();

// Keeps a file: its baseline value with today's date and time.
void AcceptHiddenFile(const char* path);

// Ends programs running from the file, copies it to the vault (never over
// another copy: HiddenCopyPath's names, the first free one; a copy that is
// not whole keeps the file), clears its attributes and deletes it; on
// success writes "*HIDDEN_DeleteFile" with the copy's path as its info.  A
// file that would not go takes its copy with it.  The baseline value goes
// either way.  1 when the file was deleted.
int DeleteHiddenFile(const char* name, const char* path);

// Copies the vault copy back to path (where none is there), hidden, records
// it in the baseline and only then deletes the copy.  copy is the path the
// history line names; "" (a line of an older version) means
// <vault>\hidden\<file name of path>.  A copy outside the vault's hidden
// folder is never taken: the line comes from a file anyone can edit.  1
// when the file is back.
int RestoreHiddenFile(const char* path, const char* copy);

// <vault>\hidden (out holds VX_PATH), created.  Returns the length, 0 and
// "" when it does not fit.
int HiddenVaultFolder(char* out);

extern const Category g_HiddenFilesCategory;
