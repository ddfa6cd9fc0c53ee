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
#include "reports/scan_log.h"
#include "reports/scan_log_parts.h"

void OpenWithShell(const char* path)
{
    ShellExecuteA(UiOwner(), "open", path, NULL, NULL, SW_SHOWNORMAL);
}

// <folder>\<fileName> written by write; 0 also when the path would not fit.
static int WriteInFolder(const char* folder, const char* fileName,
                         int (*write)(const char* path))
{
    char path[VX_PATH];
    if (folder[0] == '\0' || strlen(folder) + 1 + strlen(fileName) >= sizeof(path))
        return 0;
    TEXT_FORMAT(path, "%s\\%s", folder, fileName);
    return write(path);
}

// Writes the file into the program's folder, else into the application-data
// folder; tells the user when neither takes it.
static int WriteInOwnFolder(const char* fileName, int (*write)(const char* path))
{
    char folder[VX_PATH];
    GetProgramFolder(folder);
    if (WriteInFolder(folder, fileName, write))
        return 1;
    DWORD error = GetLastError();
    GetAppDataFolder(folder);
    if (WriteInFolder(folder, fileName, write))
        return 1;
    char text[512], detail[1024];
    LoadText(TXT_LOG_NOT_WRITTEN, text, sizeof(text));
    TEXT_FORMAT(detail, "%s\n\n%s\n(%lu)", text, fileName, (unsigned long)error);
    UiNotify(NOTICE_INFORMATION, detail);
    return 0;
}

int WriteScanLogFile()
{
    return WriteInOwnFolder(SCAN_LOG_FILE, WriteScanLog);
}

int WriteCsvLogFile()
{
    return WriteInOwnFolder(CSV_LOG_FILE, WriteCsvLog);
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
