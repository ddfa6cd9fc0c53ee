// Walking the values of a key that is walked at every patrol.  While the
// key stands as it was at the last walk (the same last write time, the same
// number of values and subkeys) and was written long enough before that
// walk, its values are handed out again from memory: one request to the
// registry for the key instead of one for every value.
#pragma once
#include <windows.h>

// name and data are zero-terminated and whole, whatever their length.
typedef void (*ValueVisitor)(const char* name, DWORD type, const char* data, void* context);

// Calls visit for every value of root\path (in the view given: 0 or a
// KEY_WOW64_* flag).  A key that does not open is skipped.
void WalkKeptValues(HKEY root, const char* path, REGSAM view, ValueVisitor visit,
                    void* context);
