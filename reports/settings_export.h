// The export of the settings: every key and value of the per-user tree
// HKCU "Software\Quillon\Vardex" and of the machine-wide tree HKLM
// "SOFTWARE\Quillon", whole and recursively, into one registry script
// (see reg_text.h) that the system's own import restores.  No window is
// shown here: the explorer tells the user the outcome.
#pragma once
#include <windows.h>

#include "foundation/path_text.h"

// The two trees, in the order they are written.
#define EXPORT_USER_TREE    "Software\\Quillon\\Vardex"
#define EXPORT_MACHINE_TREE "SOFTWARE\\Quillon"

// What one export did.
struct ExportOutcome {
    int Keys;            // key blocks written
    int Values;          // value lines written
    int Unwritable;      // values left out: a name holding a line end, a failed read
    char FirstUnwritable[VX_PATH];  // "<key>\<name>" of the first one left out
    DWORD Error;         // why the file could not be written (0: it was)
};

// The file of this user: "<program folder>\<user name>-Vardex.reg" (out
// holds VX_PATH).  Returns its length; 0 and "" when it is too long.
int ExportFileName(char* out, size_t outSize);

// Writes the header "Windows Registry Editor Version 5.00", an empty line,
// then each tree: a key line, its values, an empty line, then each subkey
// the same way, depth first in enumeration order.  A tree that does not
// exist still gets its key line.  The file is created anew; an existing
// one is replaced unless it is read-only.  Returns 1 when every write and
// the close succeeded; 0 with outcome->Error set (and nothing said) when
// the file could not be created, written or closed.  Values left out are
// counted either way.
int WriteSettingsScript(const char* path, ExportOutcome* outcome);
