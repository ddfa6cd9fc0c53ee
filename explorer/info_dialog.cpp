#include "explorer/info_dialog.h"

#include "resources/explorer_pages.h"

void ShowProgramInfo(ListPage* page, int index)
{
    PageMessage(page->Window, IDS_NOT_YET, NULL, MB_OK | MB_ICONINFORMATION);
    const PageRow* row = RowOfRecord(page, index);
    (void)row;
}
