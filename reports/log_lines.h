// The fixed vocabulary of the scan log and the inventory: how a startup
// entry's location code is named, which shell objects are the system's
// own, and what an iereset.inf line sets.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// The start of an O4 line for a startup location code ("O4 - HKLM\..\Run: "
// for 1); "O4 - Other Run: " for a code outside the Run families.
const char* StartupLineStart(int code);

// The inventory's Type and SubType of a startup location code: "HKLM",
// "HKCU", "HKU" or "UnknownKey"; "Run", "RunOnce" ... by the code's last
// digit, "RunServiceOnce" for 25, "Run" for the others.
const char* StartupCsvType(int code);
const char* StartupCsvSubType(int code);

// 1 for the shell service objects every system has (CLSID compared
// without case); the log leaves them out.
int IsWellKnownShellObject(const char* clsid);

// What one iereset.inf line sets for a browser page: the root it names
// ("HKCU," wins over "HKLM,", else ""), the page's value name and the text
// after the line's last comma.
struct IeResetPage {
    const char* root;
    const char* name;
    const char* value;  // points into the line
};
// The index-th page value name the line contains (0 first), of "Start
// Page", "Default_Page_URL", "Default_Search_URL" and "Search Page".
// Returns 1 with page filled, 0 when there are no more.
int IeResetMatch(const char* line, int index, IeResetPage* page);
