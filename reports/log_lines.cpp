// The scan log's vocabulary (reports/log_lines.h).
#include "reports/log_lines.h"

#include <string.h>

#include "foundation/text.h"

// The keys of a Run family by position 1-6, as the inventory names them.
static const char* const s_runKeys[] = {
    "Run", "RunOnce", "RunOnceEx", "RunServices", "RunServicesOnce", "RunOnceSetup",
};

const char* StartupLineStart(int code)
{
    static const struct {
        int code;
        const char* start;
    } lines[] = {
        { 1, "O4 - HKLM\\..\\Run: " }, { 2, "O4 - HKLM\\..\\RunOnce: " },
        { 3, "O4 - HKLM\\..\\RunOnceEx: " }, { 4, "O4 - HKLM\\..\\RunServices: " },
        { 5, "O4 - HKLM\\..\\RunServicesOnce: " }, { 6, "O4 - HKLM\\..\\RunOnceSetup: " },
        { 7, "O4 - HKLM\\..\\Policies\\Explorer\\Run: " },
        { 11, "O4 - HKCU\\..\\Run: " }, { 12, "O4 - HKCU\\..\\RunOnce: " },
        { 13, "O4 - HKCU\\..\\RunOnceEx: " }, { 14, "O4 - HKCU\\..\\RunServices: " },
        { 15, "O4 - HKCU\\..\\RunServicesOnce: " }, { 16, "O4 - HKCU\\..\\RunOnceSetup: " },
        { 21, "O4 - HKU\\..\\Run: " }, { 22, "O4 - HKU\\..\\RunOnce: " },
        { 23, "O4 - HKU\\..\\RunOnceEx: " }, { 24, "O4 - HKU\\..\\RunService: " },
        { 25, "O4 - HKU\\..\\RunServicesOnce: " }, { 26, "O4 - HKU\\..\\RunOnceSetup: " },
    };
    for (const auto& line : lines)
        if (line.code == code)
            return line.start;
    return "O4 - Other Run: ";
}

const char* StartupCsvType(int code)
{
    int position = code % 10;
    if (position < 1 || position > 6)
        return "UnknownKey";
    switch (code / 10) {
    case 0: return "HKLM";
    case 1: return "HKCU";
    case 2: return "HKU";
    }
    return "UnknownKey";
}

const char* StartupCsvSubType(int code)
{
    if (code == 25)
        return "RunServiceOnce";
    int position = code % 10;
    if (code < 1 || code > 26 || position < 1 || position > 6)
        return "Run";
    return s_runKeys[position - 1];
}

int IsWellKnownShellObject(const char* clsid)
{
    static const char* const known[] = {
        "{7849596a-48ea-486e-8937-a2a3009f31a9}", "{fbeb8a05-beee-4442-804e-409d6c4515e9}",
        "{E6FB5E20-DE35-11CF-9C87-00AA005127ED}", "{35CEC8A3-2BE6-11D2-8773-92E220524153}",
    };
    for (const char* k : known)
        if (TextEqualNoCase(clsid, k))
            return 1;
    return 0;
}

int IeResetMatch(const char* line, int index, IeResetPage* page)
{
    static const char* const names[] = {
        "Start Page", "Default_Page_URL", "Default_Search_URL", "Search Page",
    };
    for (const char* name : names) {
        if (!TextFindNoCase(line, name) || index-- > 0)
            continue;
        page->root = TextFindNoCase(line, "HKCU") ? "HKCU,"
                     : TextFindNoCase(line, "HKLM") ? "HKLM," : "";
        page->name = name;
        const char* comma = strrchr(line, ',');
        page->value = comma != NULL ? comma + 1 : "";
        return 1;
    }
    return 0;
}
