// What the scan log and the inventory share, and the log's body for a
// writer the caller opened (the bench and the tests write it to a file of
// their own).
#pragma once
#include "foundation/item_list.h"
#include "reports/report_file.h"

// The header's time and date of now (each holds LOG_DATE_TEXT).
void ScanLogTimeAndDate(char* timeText, char* dateText);
// "Log created by ..." and "Scan saved at ...".
void PutScanLogHeader(ReportFile& f);
// Every line of the scan log, "End of file" the last.
void PutScanLog(ReportFile& f);
// Every line of the inventory.
void PutCsvLog(ReportFile& f);

// Writes a log into path (created anew) with put under the wait cursor and,
// when every byte reached the file, opens it with the shell's "open" verb.
// Returns 1 then, else 0.
int WriteLogAndOpen(const char* path, void (*put)(ReportFile& f));
