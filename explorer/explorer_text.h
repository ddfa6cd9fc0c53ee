// The explorer's text rules: which switches a command line holds, the
// numbers of saved placements and of the patrol-time field, and where the
// sheet goes.
//
// Plain text logic only: no Windows header, so this also builds with the
// host compiler.
#pragma once
#include <stddef.h>

// The one-shot maintenance switches; each does its work and ends the
// process.
enum MaintenanceSwitch {
    MAINTENANCE_NONE,
    MAINTENANCE_RESTORE,     // "-Restore"
    MAINTENANCE_AUOPTION,    // "-AUOption"
    MAINTENANCE_SETPREFIX,   // "-SetPrefix"
};

// Commands a switch can select besides the pages.
#define EXPLORER_CMD_COOKIES_SHOWN 6045   // "-COOKIE": the cookie page, list shown
#define EXPLORER_CMD_MONITOR 6046         // "-MONITOR"
#define EXPLORER_CMD_BLACKLIST 6047       // "-BLACKLIST"
#define EXPLORER_CMD_EXIT_REQUEST 6048    // "-EXIT"

struct ExplorerSwitches {
    int Maintenance;   // MaintenanceSwitch: the first one found, in the order above
    int Command;       // the command of the last page switch found, 0: none
    int StartMonitor;  // "-START" or "-RESTART" was found: the monitor is started
    int Quit;          // "-Q" was found
};

// Reads the switches: each is found anywhere in the line, without regard
// to case; page switches are tested in a fixed order and a later one
// overrides an earlier one ("-RESTART" holds "-START": the Options page
// wins).  A NULL line, or one of more than 772 characters, has none
// (ContainsNoCase).
void ReadExplorerSwitches(const char* commandLine, ExplorerSwitches* out);

// A whole decimal number, an optional "-" and 1 to 9 digits and nothing
// else: 1 and *value; otherwise 0 and *value untouched.
int ReadWholeNumber(const char* text, int* value);

// The patrol-time field: its minutes when it holds digits only (at most
// nine), else -1.
int ReadMinutesField(const char* text);

// A rectangle as left, top, width and height.
struct ScreenBox {
    int Left, Top, Width, Height;
};

// Where the sheet opens.  saved holds the texts of "xPos", "yPos", "dxPos"
// and "dyPos" (NULL or "" when absent).  A saved size is used only when
// sizing is allowed (the NT family) and both numbers lie between 1 and the
// virtual screen's extent; otherwise the sheet keeps its own size.  A
// saved position needs both numbers; it is then moved so that the whole
// sheet (its top left corner when the sheet is larger) lies inside the
// virtual screen, whose caption the user can always reach.  Without one
// the sheet is centred on the primary screen, one third of the free
// height down (never above or left of its origin).
void ChooseSheetBox(const char* const saved[4], const ScreenBox& sheet,
                    const ScreenBox& virtualScreen, int primaryWidth, int primaryHeight,
                    int allowSize, ScreenBox* out);
