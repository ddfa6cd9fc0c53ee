#include "startup/startup_text.h"

#include <string.h>

#include "resources/fragments/startup.h"

#include "foundation/text.h"

static const char* SkipLeadingBlanks(const char* text)
{
    while (*text == ' ')
        text++;
    return text;
}

// The part after the first separator (blanks skipped); when the separator
// ends the value, the part before it.
static void PartAfter(const char* value, const char* separator, char* out, size_t outSize)
{
    if (separator[1] == '\0')
        TextCopyN(out, outSize, value, (size_t)(separator - value));
    else
        TextCopy(out, outSize, SkipLeadingBlanks(separator + 1));
}

int UserinitEntry(const char* value, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (value == NULL)
        return 0;
    const char* comma = strchr(value, ',');
    if (comma == NULL)
        return 0;
    PartAfter(value, comma, out, outSize);
    return 1;
}

int ShellEntry(const char* value, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (value == NULL)
        return 0;
    const char* blank = strchr(value, ' ');
    if (blank == NULL)
        TextCopy(out, outSize, value);
    else
        PartAfter(value, blank, out, outSize);
    return out[0] != '\0';
}

int NextListSpan(const char* text, size_t* pos, const char* separators, size_t* start,
                 size_t* length)
{
    size_t p = *pos;
    if (text == NULL || text[p] == '\0')
        return 0;
    size_t n = strcspn(text + p, separators);
    *start = p;
    *length = n;
    p += n;
    if (text[p] != '\0')
        p++;
    *pos = p;
    return 1;
}

int SpanEqualsNoCase(const char* text, size_t start, size_t length, const char* item)
{
    if (item == NULL || strlen(item) != length)
        return 0;
    for (size_t i = 0; i < length; i++) {
        char a = text[start + i], b = item[i];
        if (a >= 'a' && a <= 'z')
            a = (char)(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = (char)(b - 'a' + 'A');
        if (a != b)
            return 0;
    }
    return 1;
}

int StartupLocationTextId(int code)
{
    switch (code) {
    case 2: case 3: case 5: case 6: case 12: case 13: case 15: case 16:
    case 22: case 23: case 25: case 26:
        return IDS_RUNS_ONCE;
    case 100: case 101:
        return IDS_RUNS_FROM_WININI;
    case 200:
        return IDS_RUNS_FROM_FOLDER;
    default:
        return IDS_RUNS_ALWAYS;
    }
}

const char* StartupHookLabel(int code)
{
    switch (code) {
    case 250: return "WinLogon:UserInit";
    case 251: return "WinLogon:Shell";
    case 252: return "ObjectDelayLoad";
    case 253: return "SharedTaskScheduler";
    case 255: return "AppInit_DLLs";
    default: return "";
    }
}
