#include "foundation/date_text.h"

#include "foundation/text.h"

static const char* const kDatePatterns[] = {
    "M/d/yyyy", "M/d/yy", "MM/dd/yy", "MM/dd/yyyy", "yy/MM/dd", "yyyy-MM-dd", "dd-MMM-yy",
};
static const char* const kTimePatterns[] = {
    "h:mm:ss tt", "hh:mm:ss tt", "H:mm:ss", "HH:mm:ss",
};
static const char* const kMonthNames[] = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
};

DateForm DateFormOf(const char* pattern)
{
    for (int i = 0; i < (int)(sizeof(kDatePatterns) / sizeof(kDatePatterns[0])); i++)
        if (pattern != NULL && TextEqualNoCase(pattern, kDatePatterns[i]))
            return (DateForm)i;
    return DATE_M_D_YYYY;
}

TimeForm TimeFormOf(const char* pattern)
{
    for (int i = 0; i < (int)(sizeof(kTimePatterns) / sizeof(kTimePatterns[0])); i++)
        if (pattern != NULL && TextEqualNoCase(pattern, kTimePatterns[i]))
            return (TimeForm)i;
    return TIME_H_TT;
}

int FormatDateFields(int year, int month, int day, int hour, int minute,
                     DateForm dateForm, TimeForm timeForm, char* out, size_t outSize)
{
    switch (dateForm) {
    case DATE_M_D_YY:
    case DATE_MM_DD_YY:
        TextFormat(out, outSize, "%02d/%02d/%02d", month, day, year);
        break;
    case DATE_YY_MM_DD:
        TextFormat(out, outSize, "%02d/%02d/%02d", year, month, day);
        break;
    case DATE_YYYY_MM_DD:
        TextFormat(out, outSize, "%04d-%02d-%02d", year, month, day);
        break;
    case DATE_DD_MMM_YY: {
        // A month out of range (a zeroed time) gets no name rather than
        // someone else's.
        const char* name = (month >= 1 && month <= 12) ? kMonthNames[month - 1] : "";
        TextFormat(out, outSize, "%02d-%s-%02d", day, name, year);
        break;
    }
    default:
        TextFormat(out, outSize, "%02d/%02d/%04d", month, day, year);
        break;
    }

    int clock12 = hour % 12 == 0 ? 12 : hour % 12;
    const char* half = hour < 12 ? "AM" : "PM";
    switch (timeForm) {
    case TIME_HH_TT:
        return (int)TextAppendFormat(out, outSize, " %02d:%02d %s", clock12, minute, half);
    case TIME_H_24:
        return (int)TextAppendFormat(out, outSize, " %d:%02d", hour, minute);
    case TIME_HH_24:
        return (int)TextAppendFormat(out, outSize, " %02d:%02d", hour, minute);
    default:
        return (int)TextAppendFormat(out, outSize, " %d:%02d %s", clock12, minute, half);
    }
}

int FormatFileDate(int year, int month, int day, int hour, int minute,
                   char* out, size_t outSize)
{
    return (int)TextFormat(out, outSize, "%04d/%02d/%02d %02d:%02d", year, month, day,
                           hour, minute);
}

int GroupThousands(long long n, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, 32);
    // Digits from the right, then reversed; unsigned so that the most
    // negative number has a magnitude too.
    unsigned long long magnitude = n < 0 ? 0ULL - (unsigned long long)n : (unsigned long long)n;
    char reversed[32];
    int len = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed[len++] = ',';
        reversed[len++] = (char)('0' + (int)(magnitude % 10));
        digits++;
        magnitude /= 10;
    } while (magnitude != 0);
    if (n < 0)
        reversed[len++] = '-';
    char text[32];
    for (int i = 0; i < len; i++)
        text[i] = reversed[len - 1 - i];
    text[len] = '\0';
    return (int)TextCopy(out, outSize, text);
}

// --- Sort keys of date texts ----------------------------------------------------

static char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// Reads 1 to maxDigits decimal digits at *p; -1 when there are none.
static int ReadNumber(const char** p, int maxDigits, int* digits)
{
    int value = 0;
    *digits = 0;
    while (**p >= '0' && **p <= '9' && *digits < maxDigits) {
        value = value * 10 + (**p - '0');
        (*p)++;
        (*digits)++;
    }
    return *digits > 0 ? value : -1;
}

// A three-letter month name at *p (any case): 1 to 12, or -1.
static int ReadMonthName(const char** p)
{
    for (int m = 0; m < 12; m++) {
        const char* name = kMonthNames[m];
        int same = 1;
        for (int i = 0; i < 3 && same; i++)
            same = UpperAscii((*p)[i]) == UpperAscii(name[i]);
        if (same) {
            *p += 3;
            return m + 1;
        }
    }
    return -1;
}

// One field of a date: a number, or a month name.
struct DateField {
    int value;
    int digits;  // 0: a month name
};

static int ReadDateField(const char** p, DateField* field)
{
    field->value = ReadNumber(p, 4, &field->digits);
    if (field->value < 0 && (field->value = ReadMonthName(p)) > 0)
        field->digits = 0;
    // A fifth digit: no field of a date is that long.
    return field->value >= 0 && !(**p >= '0' && **p <= '9');
}

// The date part: three fields, one separator ("/", "-" or ".") between
// them; the year is the field of four digits, a name stands only for the
// month in the middle of day-Mon-year.
static int ReadDate(const char** p, int* year, int* month, int* day)
{
    DateField f[3];
    for (int i = 0; i < 3; i++) {
        if (i > 0) {
            if (**p != '/' && **p != '-' && **p != '.')
                return 0;
            (*p)++;
        }
        if (!ReadDateField(p, &f[i]))
            return 0;
    }
    if (f[0].digits == 4 && f[1].digits > 0 && f[2].digits > 0) {
        *year = f[0].value, *month = f[1].value, *day = f[2].value;
    } else if (f[2].digits == 4 && f[1].digits == 0 && f[0].digits > 0) {
        *day = f[0].value, *month = f[1].value, *year = f[2].value;
    } else if (f[2].digits == 4 && f[0].digits > 0 && f[1].digits > 0) {
        *month = f[0].value, *day = f[1].value, *year = f[2].value;
    } else {
        return 0;
    }
    return *month >= 1 && *month <= 12 && *day >= 1 && *day <= 31;
}

// "AM" or "PM" (any case, blanks before it optional): 0 none, 1 AM, 2 PM.
static int ReadHalf(const char** p)
{
    const char* q = *p;
    while (*q == ' ')
        q++;
    char first = UpperAscii(q[0]);
    if ((first != 'A' && first != 'P') || UpperAscii(q[1]) != 'M')
        return 0;
    *p = q + 2;
    return first == 'A' ? 1 : 2;
}

// The time part: H:MM or HH:MM, optional :SS, optional AM/PM.
static int ReadTime(const char** p, int* hour, int* minute)
{
    int digits = 0;
    *hour = ReadNumber(p, 2, &digits);
    if (*hour < 0 || **p != ':')
        return 0;
    (*p)++;
    *minute = ReadNumber(p, 2, &digits);
    if (*minute < 0 || digits != 2 || *minute > 59)
        return 0;
    if (**p == ':') {
        (*p)++;
        int seconds = ReadNumber(p, 2, &digits);
        if (seconds < 0 || digits != 2 || seconds > 59)
            return 0;
    }
    int half = ReadHalf(p);
    if (half == 0)
        return *hour <= 23;
    if (*hour < 1 || *hour > 12)
        return 0;
    // 12 AM is midnight, 12 PM noon.
    *hour = *hour % 12 + (half == 2 ? 12 : 0);
    return 1;
}

int DateSortKey(const char* text, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_DATE_KEY);
    TextCopy(out, outSize, "");
    if (text == NULL)
        return 0;
    const char* p = text;
    while (*p == ' ')
        p++;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!ReadDate(&p, &year, &month, &day))
        return 0;
    while (*p == ' ')
        p++;
    if (*p != '\0' && !ReadTime(&p, &hour, &minute))
        return 0;
    while (*p == ' ')
        p++;
    if (*p != '\0' || outSize < VX_DATE_KEY)
        return 0;
    return (int)TextFormat(out, outSize, "%04d%02d%02d%02d%02d", year, month, day, hour, minute);
}

int TicksText(unsigned long long ticks, char* out, size_t outSize)
{
    if (outSize < VX_TICKS_TEXT) {
        TextCopy(out, outSize, "");
        return 0;
    }
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = 15; i >= 0; i--, ticks >>= 4)
        out[i] = kDigits[ticks & 15];
    out[16] = '\0';
    return 16;
}

int ParseTicksText(const char* text, unsigned long long* ticks)
{
    if (text == NULL)
        return 0;
    unsigned long long value = 0;
    int n = 0;
    for (; text[n] != '\0'; n++) {
        char c = text[n];
        int digit = c >= '0' && c <= '9' ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return 0;
        value = value << 4 | (unsigned)digit;
    }
    if (n != 16)
        return 0;
    *ticks = value;
    return 1;
}
