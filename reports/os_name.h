// The operating system's name, as the scan log and the reports print it.
#pragma once
#include <stddef.h>

#include "reports/os_name_text.h"

// The name of the running system (OsNameText over the extended version
// record, the plain one when that fails) into out (outSize bytes).
// Returns its length; 0 and "" when the version cannot be read.
// (The reports' header takes it through SetReportPlatformName.)
size_t GetOSName(char* out, size_t outSize);
template <size_t N> inline size_t GetOSName(char (&out)[N]) { return GetOSName(out, N); }
