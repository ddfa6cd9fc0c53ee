// The explorer's side of the UI seam: questions in message boxes owned by
// the sheet, notices shown as they come.  The explorer shows no alerts.
#include "explorer/explorer.h"

#include "foundation/language.h"
#include "foundation/ui.h"

static HWND ExplorerOwner()
{
    return ExplorerSheet() != NULL ? ExplorerSheet() : g_MainWindow;
}

static int NoAlert(const AlertRequest*)
{
    return ANSWER_NONE;
}

static int ConfirmInMessageBox(const char* question, int yesByDefault)
{
    UINT flags = MB_YESNO | MB_ICONQUESTION | MB_TOPMOST
                 | (yesByDefault ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return MessageBoxExA(ExplorerOwner(), question, ProductCaption(), flags, g_MessageLanguage)
           == IDYES;
}

static void NotifyUser(Notice notice, const char* detail)
{
    if ((notice == NOTICE_INFORMATION || notice == NOTICE_SYSTEM_ERROR) && detail != NULL
        && detail[0] != '\0')
        MessageBoxExA(ExplorerOwner(), detail, ProductCaption(),
                      MB_OK | MB_TOPMOST | (notice == NOTICE_SYSTEM_ERROR ? MB_ICONERROR
                                                                          : MB_ICONINFORMATION),
                      g_MessageLanguage);
}

void InstallExplorerUi()
{
    static const UiSeam seam = { NoAlert, ConfirmInMessageBox, NotifyUser, ExplorerOwner };
    InstallUi(&seam);
}
