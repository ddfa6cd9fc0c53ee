// The report command (see report_command.h).
#include "explorer/report_command.h"

#include "explorer/list_page.h"
#include "foundation/path_text.h"
#include "reports/report.h"
#include "resources/pages/reports.h"

int ReportCommand(HWND owner)
{
    char path[VX_PATH];
    if (WriteReport(path, sizeof(path)))
        return 1;
    PageMessage(owner, IDS_REPORT_NOT_WRITTEN, NULL, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}
