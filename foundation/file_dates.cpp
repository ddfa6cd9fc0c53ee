// Dates as the user reads them and the facts of files: reads the user's
// settings, the clock and the file times, and hands plain fields to the
// rules of date_text.cpp.
#include "foundation/file_dates.h"

#include <string.h>

#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"

#define INTERNATIONAL_KEY "Control Panel\\International"

void ReadDateForms(DateForms* forms)
{
    char shortDate[64];
    char timeFormat[64];
    RegReadString(HKEY_CURRENT_USER, INTERNATIONAL_KEY, "sShortDate", shortDate,
                  sizeof(shortDate));
    RegReadString(HKEY_CURRENT_USER, INTERNATIONAL_KEY, "sTimeFormat", timeFormat,
                  sizeof(timeFormat));
    forms->Date = DateFormOf(shortDate);
    forms->Time = TimeFormOf(timeFormat);
}

static int FormatInForms(const SYSTEMTIME* time, const DateForms& forms, char* out,
                         size_t outSize)
{
    return FormatDateFields(time->wYear, time->wMonth, time->wDay, time->wHour, time->wMinute,
                            forms.Date, forms.Time, out, outSize);
}

int FormatDateTime(const SYSTEMTIME* time, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_DATE_TEXT);
    DateForms forms;
    ReadDateForms(&forms);
    return FormatInForms(time, forms, out, outSize);
}

// A file time as local calendar time; 0 when the conversion fails.
static int FileTimeToLocal(const FILETIME* fileTime, SYSTEMTIME* local)
{
    FILETIME localTime;
    return FileTimeToLocalFileTime(fileTime, &localTime)
        && FileTimeToSystemTime(&localTime, local);
}

int FormatFileTime(const FILETIME& time, const DateForms& forms, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_DATE_TEXT);
    TextCopy(out, outSize, "");
    SYSTEMTIME local;
    if (!FileTimeToLocal(&time, &local))
        return 0;
    return FormatInForms(&local, forms, out, outSize);
}

// Opens a file for reading its times and size.  A file that another program
// holds open without read sharing still yields its facts through a handle
// that asks for no data access.
static HANDLE OpenForFacts(const char* path)
{
    if (path == NULL || path[0] == '\0')
        return INVALID_HANDLE_VALUE;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = CreateFileA(path, GENERIC_READ, share, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileA(path, 0, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    return h;
}

// The file's size; 0 when it cannot be read.
static int ReadFileSize(HANDLE file, long long* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    *size = ((long long)high << 32) | low;
    return 1;
}

int FormatNow(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_DATE_TEXT);
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatDateTime(&now, out, outSize);
}

int FileDateText(const char* path, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_DATE_TEXT);
    out[0] = '\0';
    FileHandle file(OpenForFacts(path));
    if (!file.IsValid())
        return 0;
    FILETIME created;
    SYSTEMTIME local;
    if (!GetFileTime(file.Get(), &created, NULL, NULL) || !FileTimeToLocal(&created, &local))
        return 0;
    FormatFileDate(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, out,
                   outSize);
    return 1;
}

int FileDateSize(const char* path, char (&dateOut)[VX_DATE_TEXT], char (&sizeOut)[VX_DATE_TEXT])
{
    dateOut[0] = '\0';
    sizeOut[0] = '\0';
    FileHandle file(OpenForFacts(path));
    if (!file.IsValid())
        return 0;
    long long size = 0;
    if (ReadFileSize(file.Get(), &size))
        TextFormat(sizeOut, VX_DATE_TEXT, "%lld", size);
    FILETIME written;
    SYSTEMTIME local;
    if (GetFileTime(file.Get(), NULL, NULL, &written) && FileTimeToLocal(&written, &local))
        FormatDateTime(&local, dateOut, VX_DATE_TEXT);
    return 1;
}

int FileTimesAndSize(const char* path, FileFactsRecord* record)
{
    memset(record, 0, sizeof(*record));
    FileHandle file(OpenForFacts(path));
    if (!file.IsValid())
        return 0;
    FILETIME times[3];
    char* fields[3] = { record->created, record->accessed, record->written };
    if (GetFileTime(file.Get(), &times[0], &times[1], &times[2]))
        for (int i = 0; i < 3; i++) {
            SYSTEMTIME local;
            if (FileTimeToLocal(&times[i], &local))
                FormatDateTime(&local, fields[i], VX_DATE_TEXT);
        }
    long long size = 0;
    if (ReadFileSize(file.Get(), &size))
        GroupThousands(size, record->size);
    else
        LoadText(TXT_FILE_IN_USE, record->size, sizeof(record->size));
    return 1;
}

void UnixTimeToLocal(long long seconds, SYSTEMTIME* time)
{
    memset(time, 0, sizeof(*time));
    // Seconds from 1601 (the system's epoch) to 1970; times before 1601 or
    // beyond the 64-bit range of file times have no local form.
    const long long epochGap = 11644473600LL;
    const long long maxSeconds = 0x7FFFFFFFFFFFFFFFLL / 10000000LL - epochGap;
    if (seconds < -epochGap || seconds > maxSeconds)
        return;
    unsigned long long ticks = (unsigned long long)(seconds + epochGap) * 10000000ULL;
    FILETIME fileTime;
    fileTime.dwLowDateTime = (DWORD)(ticks & 0xFFFFFFFFULL);
    fileTime.dwHighDateTime = (DWORD)(ticks >> 32);
    SYSTEMTIME local;
    if (FileTimeToLocal(&fileTime, &local))
        *time = local;
}

static void StampOf(BOOL read, const WIN32_FILE_ATTRIBUTE_DATA& data, FileStamp* stamp)
{
    if (!read) {
        memset(stamp, 0, sizeof(*stamp));
        stamp->attributes = INVALID_FILE_ATTRIBUTES;
        return;
    }
    stamp->attributes = data.dwFileAttributes;
    stamp->sizeLow = data.nFileSizeLow;
    stamp->sizeHigh = data.nFileSizeHigh;
    stamp->written = data.ftLastWriteTime;
}

void StampFile(const char* path, FileStamp* stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    StampOf(GetFileAttributesExA(path, GetFileExInfoStandard, &data), data, stamp);
}

void StampFileW(const wchar_t* path, FileStamp* stamp)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    StampOf(GetFileAttributesExW(path, GetFileExInfoStandard, &data), data, stamp);
}

int SameStamp(const FileStamp& a, const FileStamp& b)
{
    return a.attributes == b.attributes && a.sizeLow == b.sizeLow && a.sizeHigh == b.sizeHigh &&
           CompareFileTime(&a.written, &b.written) == 0;
}

int WrittenLongBefore(const FILETIME& written, const FILETIME& now)
{
    ULARGE_INTEGER w, n;
    w.LowPart = written.dwLowDateTime;
    w.HighPart = written.dwHighDateTime;
    n.LowPart = now.dwLowDateTime;
    n.HighPart = now.dwHighDateTime;
    return w.QuadPart + 10000000ULL < n.QuadPart;
}

int WrittenLongAgo(const FILETIME& written)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return WrittenLongBefore(written, now);
}
