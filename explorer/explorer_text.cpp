#include "explorer/explorer_text.h"

#include <string.h>

#include "foundation/path_text.h"
#include "foundation/text.h"

struct PageSwitch {
    const char* Text;
    int Command;
};

// In the order they are tested: a later match overrides an earlier one.
static const PageSwitch s_pageSwitches[] = {
    { "-START", 6026 }, { "-PLUS", 6027 }, { "-SERVICE", 6038 }, { "-BHO", 6040 },
    { "-COOKIE", EXPLORER_CMD_COOKIES_SHOWN }, { "-NUT", 6028 }, { "-OPTION", 6033 },
    { "-SCHEDULE", 6039 }, { "-TASK", 6029 }, { "-DELAY", 6055 }, { "-FILETYPE", 6042 },
    { "-HIDDEN", 6052 }, { "-ACTIVEX", 6056 }, { "-MONITOR", EXPLORER_CMD_MONITOR },
    { "-BLACKLIST", EXPLORER_CMD_BLACKLIST }, { "-EXIT", EXPLORER_CMD_EXIT_REQUEST },
    { "-RESTART", 6033 },
};

static const char* const s_maintenanceSwitches[] = { "-Restore", "-AUOption", "-SetPrefix" };

void ReadExplorerSwitches(const char* commandLine, ExplorerSwitches* out)
{
    out->Maintenance = MAINTENANCE_NONE;
    out->Command = 0;
    out->StartMonitor = 0;
    out->Quit = 0;
    for (int i = 0; i < 3 && out->Maintenance == MAINTENANCE_NONE; i++)
        if (ContainsNoCase(commandLine, s_maintenanceSwitches[i]))
            out->Maintenance = MAINTENANCE_RESTORE + i;
    for (const PageSwitch& page : s_pageSwitches)
        if (ContainsNoCase(commandLine, page.Text))
            out->Command = page.Command;
    // "-RESTART" counts as a "-START" too: the monitor's declined exit asks
    // for the Options page, and for the monitor should it be gone.
    out->StartMonitor =
        ContainsNoCase(commandLine, "-START") || ContainsNoCase(commandLine, "-RESTART");
    out->Quit = ContainsNoCase(commandLine, "-Q") != 0;
}

int ReadWholeNumber(const char* text, int* value)
{
    if (text == NULL)
        return 0;
    const char* p = text[0] == '-' ? text + 1 : text;
    size_t digits = strspn(p, "0123456789");
    if (digits == 0 || digits > 9 || p[digits] != '\0')
        return 0;
    int n = 0;
    for (size_t i = 0; i < digits; i++)
        n = n * 10 + (p[i] - '0');
    *value = text[0] == '-' ? -n : n;
    return 1;
}

int ReadMinutesField(const char* text)
{
    int minutes = 0;
    if (text == NULL || text[0] == '-' || !ReadWholeNumber(text, &minutes))
        return -1;
    return minutes;
}

// Moves start so that a span of length fits inside [low, low + extent);
// a span longer than the extent starts at low.
static int KeepInside(int start, int length, int low, int extent)
{
    if (start > low + extent - length)
        start = low + extent - length;
    return start < low ? low : start;
}

void ChooseSheetBox(const char* const saved[4], const ScreenBox& sheet,
                    const ScreenBox& virtualScreen, int primaryWidth, int primaryHeight,
                    int allowSize, ScreenBox* out)
{
    *out = sheet;
    int width = 0, height = 0;
    if (allowSize && ReadWholeNumber(saved[2], &width) && ReadWholeNumber(saved[3], &height)
        && width >= 1 && width <= virtualScreen.Width && height >= 1
        && height <= virtualScreen.Height) {
        out->Width = width;
        out->Height = height;
    }
    int x = 0, y = 0;
    if (ReadWholeNumber(saved[0], &x) && ReadWholeNumber(saved[1], &y)) {
        out->Left = KeepInside(x, out->Width, virtualScreen.Left, virtualScreen.Width);
        out->Top = KeepInside(y, out->Height, virtualScreen.Top, virtualScreen.Height);
        return;
    }
    x = (primaryWidth - out->Width) / 2;
    y = (primaryHeight - out->Height) / 3;
    out->Left = x < 0 ? 0 : x;
    out->Top = y < 0 ? 0 : y;
}
