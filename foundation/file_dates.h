// Dates as the user reads them, and the dates and sizes of files: the Win32
// side of date_text.h, which reads the user's "sShortDate"/"sTimeFormat",
// the clock and the file times.  Every output buffer holds "" when a
// function fails.
#pragma once
#include <windows.h>

#include "foundation/date_text.h"

// The user's short date and time (sShortDate, sTimeFormat), at most 23
// characters (out holds VX_DATE_TEXT).  Returns the length.
int FormatDateTime(const SYSTEMTIME* time, char* out, size_t outSize);
template <size_t N> inline int FormatDateTime(const SYSTEMTIME* time, char (&out)[N])
{ return FormatDateTime(time, out, N); }

// The user's date and time forms, read once for many dates.
struct DateForms {
    DateForm Date;
    TimeForm Time;
};
void ReadDateForms(DateForms* forms);
// A file time (UTC) in local time as FormatDateTime writes it, in forms
// read before.  Returns the length; 0 and "" when the time has no local
// form.
int FormatFileTime(const FILETIME& time, const DateForms& forms, char* out, size_t outSize);
template <size_t N>
inline int FormatFileTime(const FILETIME& time, const DateForms& forms, char (&out)[N])
{ return FormatFileTime(time, forms, out, N); }

// The file's creation time (local) as "yyyy/mm/dd hh:mm" (out holds 24).
// 1 when a date was written; 0 and "" when the file cannot be opened or its
// time cannot be read.
int FileDateText(const char* path, char* out, size_t outSize);
// The current local time as FormatDateTime writes it.  Returns the length.
int FormatNow(char* out, size_t outSize);
template <size_t N> inline int FormatNow(char (&out)[N])
{ return FormatNow(out, N); }
template <size_t N> inline int FileDateText(const char* path, char (&out)[N])
{ return FileDateText(path, out, N); }

// Size in bytes as decimal digits (sizeOut holds 24) and the last-write time
// as FormatDateTime writes it (dateOut holds 24).  1 on success; 0 with
// both "" when the file cannot be opened.
int FileDateSize(const char* path, char (&dateOut)[VX_DATE_TEXT], char (&sizeOut)[VX_DATE_TEXT]);

struct FileFactsRecord {
    char created[VX_DATE_TEXT];
    char accessed[VX_DATE_TEXT];
    char written[VX_DATE_TEXT];
    char detected[VX_DATE_TEXT];
    char size[VX_DATE_TEXT];
};
// Creation, last-access and last-write times (FormatDateTime) and the size
// with thousands separators (text 923 when the size cannot be read); the
// first-detected date is left "" (FileFacts in detected.h adds it).  1 on
// success; 0 with every field "" when the file cannot be opened.
int FileTimesAndSize(const char* path, FileFactsRecord* record);

// What a file looked like at one moment: enough to tell whether it was
// written since.  Facts read from a file can be kept while its stamp stays
// the same, provided it was settled when they were read.
struct FileStamp {
    DWORD attributes;  // INVALID_FILE_ATTRIBUTES: the file could not be read
    DWORD sizeLow, sizeHigh;
    FILETIME written;
};
void StampFile(const char* path, FileStamp* stamp);
void StampFileW(const wchar_t* path, FileStamp* stamp);
int SameStamp(const FileStamp& a, const FileStamp& b);
// 1 when written lies far enough before now that a clock moving in coarse
// steps gives any later write a later time (one second).
int WrittenLongBefore(const FILETIME& written, const FILETIME& now);
// The same against the clock now: taken before a read, 1 when what is read
// can be kept until its stamp changes.
int WrittenLongAgo(const FILETIME& written);

// Seconds since 1970 (UTC) as local time; a zeroed time when the seconds
// are out of the system's range.
void UnixTimeToLocal(long long seconds, SYSTEMTIME* time);
