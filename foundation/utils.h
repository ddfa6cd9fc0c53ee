// The small utilities both programs use everywhere, gathered for callers
// that want all of them.  New code includes the narrower header it needs.
#pragma once

#include "foundation/browser.h"           // default browser, IE, the AOL window
#include "foundation/date_text.h"         // date and number text (pure)
#include "foundation/file_dates.h"        // the user's dates, file dates, sizes, facts
#include "foundation/path_text.h"         // path and command-line text (pure)
#include "foundation/paths.h"             // folders, files, program paths
#include "foundation/version_info.h"      // version resources
#include "foundation/windows_version.h"   // NT or 9x, major version 6
