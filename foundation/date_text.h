// Dates, times and numbers as the user reads them, formatted from given
// fields and given format names.  The Win32 side (file_dates.cpp) reads the
// clock and the user's "sShortDate"/"sTimeFormat" and hands them in.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// Size of every date text of the system (at most 23 characters).
#define VX_DATE_TEXT 24

// The date forms the system writes, chosen by the user's short-date
// pattern (found case-insensitively; an unknown or empty pattern counts as
// the first).  The year is always written in full.
enum DateForm {
    DATE_M_D_YYYY,     // "M/d/yyyy"   -> 03/05/2008
    DATE_M_D_YY,       // "M/d/yy"     -> 03/05/2008
    DATE_MM_DD_YY,     // "MM/dd/yy"   -> 03/05/2008
    DATE_MM_DD_YYYY,   // "MM/dd/yyyy" -> 03/05/2008
    DATE_YY_MM_DD,     // "yy/MM/dd"   -> 2008/03/05
    DATE_YYYY_MM_DD,   // "yyyy-MM-dd" -> 2008-03-05
    DATE_DD_MMM_YY,    // "dd-MMM-yy"  -> 05-Mar-2008
};
// The time forms, chosen by the user's time pattern the same way.  Seconds
// are never shown.
enum TimeForm {
    TIME_H_TT,         // "h:mm:ss tt"  -> 2:07 PM
    TIME_HH_TT,        // "hh:mm:ss tt" -> 02:07 PM
    TIME_H_24,         // "H:mm:ss"     -> 14:07
    TIME_HH_24,        // "HH:mm:ss"    -> 14:07
};

DateForm DateFormOf(const char* shortDatePattern);
TimeForm TimeFormOf(const char* timePattern);

// "<date> <time>" from the fields (month 1..12, hour 0..23) into out
// (outSize bytes).  On the 12-hour clock 0 and 12 are written as 12, hours
// 0-11 are AM.  Returns the length stored.
int FormatDateFields(int year, int month, int day, int hour, int minute,
                     DateForm dateForm, TimeForm timeForm, char* out, size_t outSize);

// The creation-date form of files: "yyyy/mm/dd hh:mm".
int FormatFileDate(int year, int month, int day, int hour, int minute,
                   char* out, size_t outSize);

// A file time (100-ns ticks since 1601, UTC) carried in a record's text:
// exactly 16 upper-case hex digits (out holds VX_TICKS_TEXT; "" when it
// does not).  Returns 16, or 0.
#define VX_TICKS_TEXT 17
int TicksText(unsigned long long ticks, char* out, size_t outSize);
template <size_t N> inline int TicksText(unsigned long long ticks, char (&out)[N])
{ return TicksText(ticks, out, N); }
// Reads what TicksText writes (hex digits in either case, nothing before or
// after).  1 with *ticks set; 0 with *ticks untouched for any other text.
int ParseTicksText(const char* text, unsigned long long* ticks);

// Decimal digits of n with a "," before every group of three counted from
// the right ("-" first for a negative n); out holds 32.  Returns the length.
int GroupThousands(long long n, char* out, size_t outSize);
template <size_t N> inline int GroupThousands(long long n, char (&out)[N])
{ return GroupThousands(n, out, N); }

// The sort key of a date text: "YYYYMMDDHHMM" on the 24-hour clock, so
// that keys compare in time order as plain text ("1:05 PM" after
// "11:00 AM").  Reads every form FormatDateFields and FormatFileDate
// write: the date as month/day/year, year/month/day, year-month-day or
// day-Mon-year (the year in full), then optionally a blank and the time
// as H:MM or HH:MM (seconds allowed and ignored), with or without
// "AM"/"PM" in any case; a date without a time counts as midnight.
// Leading and trailing blanks are skipped.  out holds VX_DATE_KEY.
// Returns 12, or 0 with out "" when the text is no such date (a field out
// of range, anything left over, a cut text).
#define VX_DATE_KEY 13
int DateSortKey(const char* text, char* out, size_t outSize);
template <size_t N> inline int DateSortKey(const char* text, char (&out)[N])
{ return DateSortKey(text, out, N); }
