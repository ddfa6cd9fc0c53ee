// Where the scan log and the inventory go, and what they share
// (reports/scan_log.h, reports/scan_log_parts.h).
#include <windows.h>

#include <shellapi.h>
#include <string.h>

#include "foundation/language.h"
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "foundation/ui.h"
#include "reports/report_file.h"
#include "reports/scan_log.h"
#include "reports/scan_log_parts.h"

int WriteLogAndOpen(const char* path, void (*put)(ReportFile& f))
{
    ReportFile f;
    if (!f.Open(path))
        return 0;
    HCURSOR previous = SetCursor(LoadCursor(NULL, IDC_WAIT));
    put(f);
    SetCursor(previous);
    if (!f.Close())
        return 0;
    ShellExecuteA(UiOwner(), "open", path, NULL, NULL, SW_SHOWNORMAL);
    return 1;
}

// Writes the file beside the programs (WriteInOwnFolder); tells the user
// when no folder takes it.
static int WriteLogFile(const char* fileName, int (*write)(const char* path))
{
    char path[VX_PATH];
    if (WriteInOwnFolder(fileName, write, path, sizeof(path)))
        return 1;
    DWORD error = GetLastError();
    char text[512], detail[1024];
    LoadText(TXT_LOG_NOT_WRITTEN, text, sizeof(text));
    TEXT_FORMAT(detail, "%s\n\n%s\n(%lu)", text, fileName, (unsigned long)error);
    UiNotify(NOTICE_INFORMATION, detail);
    return 0;
}

int WriteScanLogFile()
{
    return WriteLogFile(SCAN_LOG_FILE, WriteScanLog);
}

int WriteCsvLogFile()
{
    return WriteLogFile(CSV_LOG_FILE, WriteCsvLog);
}

int ScanLogAtStart()
{
    char module[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof(module));
    if (n == 0 || n >= sizeof(module))
        return 0;
    module[n] = '\0';
    return TextFindNoCase(module + FileNameOffset(module), "hijack");
}
