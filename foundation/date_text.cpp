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
