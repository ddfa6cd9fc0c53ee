// The report of every category: an HTML page (VardexLog.html) with a
// header about the system and one section per category, or a
// tab-separated text (VardexLog.txt) that a spreadsheet loads.  The
// sections list what the explorer's pages list, from the same category
// rows.  The list pages' menu ("Vardex Log") and the Options page call
// WriteReport through ReportCommand (explorer/list_page.h), which
// tells the user when no file could be written.
#pragma once
#include <stddef.h>

class ReportFile;

enum ReportFormat {
    REPORT_HTML = 0,  // the option "Format" 0, and any value but 1
    REPORT_TEXT = 1,
};

// The file name of a format ("VardexLog.html", "VardexLog.txt").
const char* ReportFileName(int format);

// The operating system's name for the header's "Platform:" line, given by
// whoever knows it (the scan log's GetOSName); without one the line is left
// out.  Returns the length stored in out.
typedef size_t (*ReportNameProc)(char* out, size_t outSize);
void SetReportPlatformName(ReportNameProc name);

// The HTML report's header block: who wrote it and when, the platform,
// the browsers, the start pages and the logon values.
void WriteReportHeader(ReportFile& file);

// Writes the report in the format into path (created anew).  Returns 1
// when every byte reached the file; 0 when it could not be created or
// written (a part may then be left).
int WriteReportTo(const char* path, int format);

// Writes the report in the format the option "Format" names beside the
// scan log in the program folder, else in the user's application-data
// folder, and opens it with the shell.  Returns 1 with the file's path in
// path (holds VX_PATH); 0 with path "" when neither folder took it.
int WriteReport(char* path, size_t pathSize);
