// The first-detected database: HKCU Software\Quillon\Detected\<Category>,
// one value per item, named by its key text, holding the date it was first
// seen.
#pragma once
#include <stddef.h>

#include "foundation/file_dates.h"

// The date recorded for keyText in the category of code (out holds 24).
// Returns its length, 0 when there is none.
int GetDetectedDate(const char* keyText, int code, char* out, size_t outSize);
template <size_t N> inline int GetDetectedDate(const char* keyText, int code, char (&out)[N])
{ return GetDetectedDate(keyText, code, out, N); }

// The value that marks a category's subkey as filled with the dates of
// the items found when it was first made.
#define DETECTED_FILLED_MARK "(filled)"

// Records today's date for keyText under subkeyPath unless one is there.
// Returns 1 when a date was already recorded, else 0.
int RecordDetected(const char* keyText, const char* subkeyPath);

// Creates the database on first use (its default value is the date it was
// created); each category fills its own subkey (see InitCategoryDetected).
void InitDetected();

// FileTimesAndSize of path, and its first-detected date under the
// category of code.  1 on success; 0 with every field "" when the file
// cannot be opened.
int FileFacts(const char* path, int code, FileFactsRecord* record);

// Deletes from HKCU Software\Quillon\Detected\<subkey> every date whose
// name is not the path of an existing file.  Names are taken as they are
// stored; the default value and the filled mark are kept.  Returns how many
// dates went.
int PurgeDetectedDates(const char* subkey);
