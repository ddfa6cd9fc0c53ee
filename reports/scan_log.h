// The scan log (HijackVardex.log: one short-coded line per finding, "R0",
// "O4", "WP16" ...) and the comma-separated inventory (VardexLog.csv),
// each written in one pass from the category rows and the scan log's own
// listings (reports/log_sources.h), then opened with the shell.
#pragma once
#include <stddef.h>

#define SCAN_LOG_FILE "HijackVardex.log"
#define CSV_LOG_FILE  "VardexLog.csv"

// Texts (resources/pages/scan_log.rc).  The update modes 1 to 4 are
// TXT_LOG_UPDATE_MODE + mode.
enum {
    TXT_LOG_RUNNING_PROCESSES = 818,
    TXT_LOG_UPDATE_MODE = 4400,
    TXT_LOG_NOT_WRITTEN = 4410,
};

// Writes the scan log to path, under the wait cursor, and opens it with the
// shell's "open" verb.  Returns 1 when every line reached the file; 0 when
// it could not be created or written (nothing is opened then).
int WriteScanLog(const char* path);

// Writes the inventory to path and opens it.  1 or 0 as WriteScanLog.
int WriteCsvLog(const char* path);

// What the Options page and the explorer's start call: the file in the
// program's folder, else (a folder the user may not write) in the user's
// application-data folder; when neither can be written the user is told
// (NOTICE_INFORMATION, text 4410 and the path).  Returns 1 when written.
int WriteScanLogFile();
int WriteCsvLogFile();

// 1 when the running program's file name contains "hijack": the explorer
// then writes the scan log at every opening of its sheet.
int ScanLogAtStart();
