// A case-insensitive table of names with a number each: the in-memory copy
// of a registry key whose values are named by entries and hold a code (the
// startup baseline, the Disabled index).  Reading such a key once and
// looking names up here costs one registry call per value instead of an
// open, a query and a close per lookup.
#pragma once
#include <windows.h>

struct NameTableSlot;

struct NameTable {
    NameTableSlot* slots;  // open addressing, capacity a power of two
    int capacity;
    int count;
    char* pool;            // the names, each zero-terminated
    size_t poolUsed;
    size_t poolSize;
};

void NameTableInit(NameTable* table);
void NameTableFree(NameTable* table);

// Adds name or replaces its number.  0 when memory ran out.
int NameTablePut(NameTable* table, const char* name, int value);
// 1 and *value when name is present (ASCII letters compared without case).
int NameTableGet(const NameTable* table, const char* name, int* value);
// Forgets name (a later Get misses it).
void NameTableRemove(NameTable* table, const char* name);

// Fills the table from the values of root\path: each value named as it is,
// its number the decimal text of a REG_SZ/REG_EXPAND_SZ value (0 for a value
// of another type or text that is no number).  A missing key leaves the
// table empty.  Returns the number of values read.
int NameTableLoadKey(NameTable* table, HKEY root, const char* path, REGSAM view);
// The same with each value named by the UTF-8 of its wide name: for a key
// whose names an ANSI reading could merge or cut (scheduled tasks).  Where
// the system has no wide registry calls, the ANSI names are converted.
int NameTableLoadKeyUtf8(NameTable* table, HKEY root, const char* path);

// A baseline as one step compares against it: the values of HKCU path in
// a table kept between patrols and owned here (do not delete it).  The key
// is read again only when its last write time or its value count
// moved, or when it had been written too shortly before it was read for its
// time to tell a later write apart.  NULL when out of memory.
NameTable* NameTableKeptBaseline(const char* path);
// The same, and *marked = 1 when the key's default value is the mark "P"
// of a baseline that was built (read with the values, so it costs nothing
// while the key stands).
NameTable* NameTableKeptBaselineMarked(const char* path, int* marked);
// NameTableKeptBaselineMarked of a key whose names the table holds in
// UTF-8 (NameTableLoadKeyUtf8); kept apart from an ANSI table of the key.
NameTable* NameTableKeptBaselineUtf8(const char* path, int* marked);
// The baseline code of name: from the table, else the decimal text of the
// value under HKCU path.  0 when there is none (or it is "0").
int BaselineCodeIn(const NameTable* table, const char* path, const char* name);
