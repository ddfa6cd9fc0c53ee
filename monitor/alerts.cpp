// The alert dialogs: one procedure per layout, shown for any category's
// description of an alert (foundation/alert_description.h) and filled from
// the request its Describe made.  An alert shows one item (its name, file,
// icon and version details), or two programs side by side, writes the
// history line its description names when it opens and returns 6 (accept)
// or 7 (reject).  The procedures only dispatch: the work is in the small
// handlers below, and the one piece of state they share is the
// process-wide alert record.
#include "monitor/alerts.h"

#include <shellapi.h>
#include <stdlib.h>

#include "foundation/alert_description.h"
#include "foundation/history.h"
#include "foundation/history_line.h"
#include "foundation/language.h"
#include "monitor/file_change_alert.h"
#include "monitor/message_box.h"
#include "foundation/options.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "monitor/restart_window.h"
#include "monitor/tray.h"
#include "resources/monitor_resource.h"

AlertRequest g_Alert;

const PlacementNames g_AlertPlacement = { "xPosAlert", "yPosAlert", "dxAlert", "dyAlert" };

// --- The record, the question ------------------------------------------------

void SetAlertRecord(const char* file, const char* name, int typeCode)
{
    MakeAlertRequest(&g_Alert, g_Alert.Alert, file, name, typeCode);
}

void ClearAlertRecord()
{
    g_Alert.File[0] = '\0';
    g_Alert.Name[0] = '\0';
    g_Alert.Location[0] = '\0';
}

int AskAlert(int autoAnswer, int soundIndex, int templateId, DLGPROC procedure)
{
    int result;
    if (autoAnswer == 0) {
        if (soundIndex >= 0)
            PlayAlertSound(soundIndex);
        result = (int)DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(templateId), g_MainWindow,
                                      procedure, 0);
    } else {
        result = autoAnswer == 1 ? ANSWER_ACCEPT : ANSWER_REJECT;
    }
    g_Patrol.AlertOpen = 0;
    return result;
}

static DLGPROC LayoutProcedure(int layout)
{
    static const DLGPROC procedures[ALERT_LAYOUT_COUNT] = {
        OneProgramAlertProc, TwoProgramAlertProc, FileChangeAlertProc,
    };
    return layout >= 0 && layout < ALERT_LAYOUT_COUNT ? procedures[layout] : NULL;
}

int ShowAlert(const AlertRequest* request)
{
    const AlertDescription* alert = request->Alert;
    if (alert == NULL)
        return ANSWER_NONE;
    DLGPROC procedure = LayoutProcedure(alert->Layout);
    if (procedure == NULL ||
        FindResourceA(g_Instance, MAKEINTRESOURCEA(alert->TemplateId), RT_DIALOG) == NULL)
        return ANSWER_NONE;
    if (request != &g_Alert)
        g_Alert = *request;
    SetTrayStatus(IDI_ALERT, alert->TrayTip);
    g_Patrol.AlertOpen = 1;
    int result = AskAlert(0, alert->Sound, alert->TemplateId, procedure);
    return result > 0 ? result : ANSWER_NONE;
}

// --- Position -----------------------------------------------------------------

void RestoreAlertPosition(HWND dialog, const PlacementNames& names)
{
    // The alert is not an explorer page: the explorer opens on its first
    // page after an alert.
    OptionWrite("StartTab", 0);
    RestoreWindowPlacement(dialog, names);
}

void SaveAlertPosition(HWND dialog, const PlacementNames& names)
{
    SaveWindowPlacement(dialog, names);
    OptionWrite("StartTab", 0);
}

// --- Texts ----------------------------------------------------------------------

// Replaces each "%s" of pattern, in turn, by the next value; anything else
// (a "%d" of a translation among it) stays as it is.  The pattern is never
// given to a formatting function.
static void FillPlaceholders(const char* pattern, const char* const* values, int count,
                             char* out, size_t outSize)
{
    out[0] = '\0';
    int used = 0;
    for (const char* p = pattern; *p != '\0'; p++) {
        if (p[0] == '%' && p[1] == 's' && used < count) {
            TextAppend(out, outSize, values[used++]);
            p++;
        } else {
            TextAppendChar(out, outSize, *p);
        }
    }
}

// --- Shared initialisation ----------------------------------------------------

// The subject of one alert as the dialog shows it.
struct AlertSubject {
    char resolved[VX_PATH];
    char fields[VS_COUNT][VS_SLOT];
};

static void ReadSubject(const char* file, AlertSubject* subject)
{
    ExpandProgramPath(file, subject->resolved);
    GetVersionStrings(subject->resolved, subject->fields);
}

static void SetFont(HWND dialog, int controlId, MonitorFont font)
{
    if (g_Fonts[font] != NULL)
        SendDlgItemMessageA(dialog, controlId, WM_SETFONT, (WPARAM)g_Fonts[font], FALSE);
}

static void SetTextIfAny(HWND dialog, int controlId, const char* text)
{
    if (text[0] != '\0')
        SetDlgItemTextA(dialog, controlId, text);
}

// The program's first icon on the flat button; ExtractIcon gives 1 for a
// file that is not a program.
static void ShowProgramIcon(HWND dialog, int buttonId, const char* resolved)
{
    if (GetDlgItem(dialog, buttonId) == NULL)
        return;
    char path[VX_PATH];
    TextCopy(path, resolved);
    if (!FileExists(path))
        return;
    HICON icon = ExtractIconA(g_Instance, path, 0);
    if ((UINT_PTR)icon <= 1)
        return;
    HANDLE old = (HANDLE)SendDlgItemMessageA(dialog, buttonId, BM_SETIMAGE, IMAGE_ICON,
                                             (LPARAM)icon);
    if (old != NULL)
        DestroyIcon((HICON)old);
}

// The icons extracted for the buttons belong to the dialog.
static void FreeProgramIcons(HWND dialog)
{
    static const int buttons[] = { IDC_ALERT_ICON, IDC_TWO_OLD_ICON, IDC_TWO_NEW_ICON };
    for (int id : buttons) {
        if (GetDlgItem(dialog, id) == NULL)
            continue;
        HANDLE icon = (HANDLE)SendDlgItemMessageA(dialog, id, BM_SETIMAGE, IMAGE_ICON, 0);
        if (icon != NULL)
            DestroyIcon((HICON)icon);
    }
}

static void SetTitle(HWND dialog, int textId)
{
    char title[256];
    if (LoadText(textId, title, sizeof(title)) > 0)
        SetWindowTextA(dialog, title);
}

static const AlertDescription& CurrentAlert()
{
    return *g_Alert.Alert;
}

// One line of the description.  A line's text is data: "%s" is filled by
// hand, never by a formatting function.
static void ShowLine(HWND dialog, const AlertLine& line)
{
    if (line.Flags & ALERT_LINE_DETAIL) {
        if (GetDlgItem(dialog, line.ControlId) != NULL)
            SetDlgItemTextA(dialog, line.ControlId, g_Alert.Details[0]);
        return;
    }
    char pattern[1024];
    LoadText(line.TextId, pattern, sizeof(pattern));
    int flags = line.Flags;
    if ((flags & ALERT_LINE_FILLED) && !TextFindNoCase(pattern, "%s"))
        flags = 0;  // a translation without the place for the details
    if (flags & ALERT_LINE_BODY_FONT)
        SetFont(dialog, line.ControlId, FONT_ALERT_BODY);
    if (!(flags & ALERT_LINE_FILLED)) {
        SetTextIfAny(dialog, line.ControlId, pattern);
        return;
    }
    const char* values[ALERT_DETAILS];
    for (int i = 0; i < ALERT_DETAILS; i++)
        values[i] = g_Alert.Details[i];
    char text[2048];
    FillPlaceholders(pattern, values, ALERT_DETAILS, text, sizeof(text));
    SetTextIfAny(dialog, line.ControlId, text);
}

void ShowAlertTexts(HWND dialog)
{
    const AlertDescription& alert = CurrentAlert();
    SetTitle(dialog, alert.TitleText);
    for (const AlertLine* line = alert.Lines; line != NULL && line->ControlId != 0; line++)
        ShowLine(dialog, *line);
    SetItemText(dialog, alert.YesText, alert.YesId);
    SetItemText(dialog, alert.NoText, alert.NoId);
}

// The heading (control 100): the category's, the item's name or the
// program's product name, as the description says.
static void HeadingOf(const AlertSubject& subject, char (&out)[ALERT_TEXT])
{
    const char* product = subject.fields[VS_PRODUCT_NAME];
    if (CurrentAlert().Flags & ALERT_HEADING_IS_PRODUCT) {
        if (product[0] == '\0')
            out[0] = '\0';
        else
            TextCopy(out, g_Alert.Heading[0] != '\0' ? g_Alert.Heading : product);
        return;
    }
    TextCopy(out, g_Alert.Heading[0] != '\0' ? g_Alert.Heading : g_Alert.Name);
}

static void WriteOpeningHistory(const char* heading, const AlertSubject& subject)
{
    const AlertDescription& alert = CurrentAlert();
    if (alert.HistoryAction < 0)
        return;
    const char* name = (alert.Flags & ALERT_HISTORY_NAMES_PRODUCT)
                           ? subject.fields[VS_PRODUCT_NAME] : heading;
    int type = alert.HistoryType < 0 ? g_Alert.TypeCode : alert.HistoryType;
    WriteHistory(name, subject.resolved, subject.fields[VS_FILE_DESCRIPTION], type,
                 alert.HistoryAction);
}

// WM_INITDIALOG of the one-program layout, in the order the user sees it
// filled.
static INT_PTR InitOneProgram(HWND dialog)
{
    AlertSubject* subject = (AlertSubject*)calloc(1, sizeof(AlertSubject));
    if (subject == NULL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    ReadSubject(g_Alert.File, subject);

    SetFont(dialog, IDC_ALERT_FILE, FONT_ALERT_BODY);
    SetDlgItemTextA(dialog, IDC_ALERT_FILE, g_Alert.File);
    ShowProgramIcon(dialog, IDC_ALERT_ICON, subject->resolved);

    char heading[ALERT_TEXT];
    HeadingOf(*subject, heading);
    SetFont(dialog, IDC_ALERT_HEADING, FONT_ALERT_HEADING);
    SetDlgItemTextA(dialog, IDC_ALERT_HEADING, heading);

    SetTextIfAny(dialog, IDC_ALERT_VERSION, subject->fields[VS_PRODUCT_VERSION]);
    SetTextIfAny(dialog, IDC_ALERT_COMPANY, subject->fields[VS_COMPANY_NAME]);
    SetTextIfAny(dialog, IDC_ALERT_DESCRIPTION, subject->fields[VS_FILE_DESCRIPTION]);
    SetTextIfAny(dialog, IDC_ALERT_COPYRIGHT, subject->fields[VS_LEGAL_COPYRIGHT]);

    SetItemText(dialog, IDS_PLUS_INFO, IDC_ALERT_LOOKUP);
    ShowAlertTexts(dialog);
    WriteOpeningHistory(heading, *subject);
    free(subject);

    RestoreAlertPosition(dialog, g_AlertPlacement);
    return TRUE;
}

// --- The two-program layout -------------------------------------------------------

struct ProgramControls {
    int name, icon, path, company;
};

static void ShowAssociatedProgram(HWND dialog, const char* file, const ProgramControls& ids)
{
    AlertSubject* subject = (AlertSubject*)calloc(1, sizeof(AlertSubject));
    if (subject == NULL)
        return;
    ReadSubject(file, subject);
    SetDlgItemTextA(dialog, ids.path, file);
    ShowProgramIcon(dialog, ids.icon, subject->resolved);
    SetTextIfAny(dialog, ids.name, subject->fields[VS_PRODUCT_NAME]);
    SetTextIfAny(dialog, ids.company, subject->fields[VS_COMPANY_NAME]);
    free(subject);
}

// The recorded program above, the newly registered one below, the
// subject's name (the extension) between the texts.
static INT_PTR InitTwoPrograms(HWND dialog)
{
    SetFont(dialog, IDC_TWO_OLD_NAME, FONT_ALERT_HEADING);
    SetFont(dialog, IDC_TWO_NEW_NAME, FONT_ALERT_HEADING);
    SetFont(dialog, IDC_TWO_SUBJECT, FONT_FILETYPE_LABEL);
    static const ProgramControls recorded = { IDC_TWO_OLD_NAME, IDC_TWO_OLD_ICON,
                                              IDC_TWO_OLD_PATH, IDC_TWO_OLD_COMPANY };
    static const ProgramControls registered = { IDC_TWO_NEW_NAME, IDC_TWO_NEW_ICON,
                                                IDC_TWO_NEW_PATH, IDC_TWO_NEW_COMPANY };
    ShowAssociatedProgram(dialog, g_Alert.File, recorded);
    ShowAssociatedProgram(dialog, g_Alert.SecondFile, registered);
    SetDlgItemTextA(dialog, IDC_TWO_SUBJECT, g_Alert.Name);
    SetItemText(dialog, IDS_LOOKUP_INFO, IDC_TWO_OLD_LOOKUP);
    SetItemText(dialog, IDS_LOOKUP_INFO, IDC_TWO_NEW_LOOKUP);
    ShowAlertTexts(dialog);
    RestoreAlertPosition(dialog, g_AlertPlacement);
    return TRUE;
}

// --- Answers --------------------------------------------------------------------

static void EndAlert(HWND dialog, int result)
{
    ClearAlertRecord();
    EndDialog(dialog, result);
}

// The lookup buttons: the program's page online; the alert then steps back
// so that the browser can come to the front.
static void LookUpProgram(HWND dialog, const char* file)
{
    OpenProgramLookup(g_Alert.TypeCode + 1000, file);
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// A refusing button that carries the cancel id would be reached by Escape
// too.  Refusing what the user may never have looked at is not what Escape
// means: it refuses only when the button itself was pressed (it has the
// focus, Escape is not down).
static int CancelButtonPressed(HWND dialog)
{
    return GetFocus() == GetDlgItem(dialog, IDCANCEL) && GetKeyState(VK_ESCAPE) >= 0;
}

// The answer buttons of every layout, and Escape (the cancel id).  1 when
// the alert ended.
static int OnAnswer(HWND dialog, int id)
{
    const AlertDescription& alert = CurrentAlert();
    if (id == alert.YesId)
        EndAlert(dialog, ANSWER_ACCEPT);
    else if (id == alert.NoId && (id != IDCANCEL || CancelButtonPressed(dialog)))
        EndAlert(dialog, ANSWER_REJECT);
    else if (id == IDCANCEL)
        EndAlert(dialog, alert.EscapeAnswer);
    else
        return 0;
    return 1;
}

static void OnOneProgramCommand(HWND dialog, int id)
{
    if (!OnAnswer(dialog, id) && id == IDC_ALERT_LOOKUP)
        LookUpProgram(dialog, g_Alert.File);
}

static void OnTwoProgramCommand(HWND dialog, int id)
{
    if (OnAnswer(dialog, id))
        return;
    if (id == IDC_TWO_OLD_LOOKUP)
        LookUpProgram(dialog, g_Alert.File);
    else if (id == IDC_TWO_NEW_LOOKUP)
        LookUpProgram(dialog, g_Alert.SecondFile);
}

// --- The procedures ---------------------------------------------------------------

typedef INT_PTR (*InitHandler)(HWND dialog);
typedef void (*CommandHandler)(HWND dialog, int id);

static INT_PTR DispatchAlert(HWND dialog, UINT message, WPARAM wParam, InitHandler onInit,
                             CommandHandler onCommand)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInit(dialog);
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        // The close box answers as Escape does, whatever has the focus.
        SaveAlertPosition(dialog, g_AlertPlacement);
        EndAlert(dialog, CurrentAlert().EscapeAnswer);
        return TRUE;
    case WM_DESTROY:
        SaveAlertPosition(dialog, g_AlertPlacement);
        FreeProgramIcons(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK OneProgramAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, InitOneProgram, OnOneProgramCommand);
}

INT_PTR CALLBACK TwoProgramAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, InitTwoPrograms, OnTwoProgramCommand);
}

// --- The monitor's side of the UI seam -------------------------------------------

static int ConfirmInMessageBox(const char* question, int yesByDefault)
{
    UINT defaultButton = yesByDefault ? MB_DEFBUTTON1 : MB_DEFBUTTON2;
    return ShowMessage(g_MainWindow, question, MB_YESNO | MB_ICONWARNING | defaultButton) ==
           IDYES;
}

static void NotifyUser(Notice notice, const char* detail)
{
    int textId = 0;
    switch (notice) {
    case NOTICE_PROGRAM_FIGHTS_BACK:
        OpenHelpPage(g_MainWindow, "helpme.html");
        return;
    case NOTICE_ASKING_ABOUT_SETTING:
        SetTrayStatus(IDI_ALERT, IDS_TIP_PAGES);
        return;
    case NOTICE_RESTORE_BY_EXPLORER:
        StartExplorer(detail);
        return;
    case NOTICE_DISABLE_FAILED:
        textId = IDS_DISABLE_FAILED;
        break;
    case NOTICE_REMOVE_FAILED:
        textId = IDS_REMOVE_FAILED;
        break;
    case NOTICE_RESTORE_FAILED:
        textId = IDS_RESTORE_FAILED;
        break;
    case NOTICE_SYSTEM_ERROR:
        MessageBoxA(g_MainWindow, detail, "System Error", MB_OK | MB_ICONINFORMATION);
        return;
    case NOTICE_INFORMATION:
        ShowMessage(g_MainWindow, detail, MB_OK | MB_ICONINFORMATION);
        return;
    case NOTICE_SHOW_COOKIES:
        StartExplorer(detail);
        return;
    case NOTICE_SHOW_RESTART_COMMANDS:
        ShowRestartCommands(0);
        return;
    default:
        return;
    }
    char pattern[512];
    if (LoadText(textId, pattern, sizeof(pattern)) == 0)
        return;
    const char* values[1] = { detail };
    char text[1024];
    FillPlaceholders(pattern, values, 1, text, sizeof(text));
    ShowMessage(g_MainWindow, text, MB_OK | MB_ICONWARNING);
}

static HWND MainWindowOwner()
{
    return g_MainWindow;
}

void InstallMonitorUi()
{
    static const UiSeam seam = { ShowAlert, ConfirmInMessageBox, NotifyUser,
                                 MainWindowOwner };
    InstallUi(&seam);
}
