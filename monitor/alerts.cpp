// The alert dialogs.  Every alert shows one item (its name, file, icon and
// version details), writes the history line of its kind when it opens and
// returns 6 (accept), 7 (reject) or, from the startup alert, 11 (disable).
// The procedures only dispatch: the work is in the small handlers below,
// and the one piece of state they share is the process-wide alert record.
#include "monitor/alerts.h"

#include <shellapi.h>
#include <stdlib.h>

#include "categories/services.h"
#include "categories/tasks.h"
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


// What distinguishes the alerts with the shared controls.
struct AlertLook {
    int titleText;
    int versionLabel;
    int messageText;       // 0: the alert fills its message itself
    int yesId, yesText;    // 0 text: the template's own
    int noId, noText;
    int historyAction;     // -1: no history line at opening
    int historyType;       // -1: the record's type code
};

static const AlertLook s_looks[ALERT_KIND_COUNT] = {
    // ALERT_STARTUP
    { IDS_ALERT_TITLE, IDS_VERSION, 0, IDYES, IDS_YES, IDNO, IDS_NO, HA_START_ALERT, -1 },
    // ALERT_DELAYED
    { IDS_DELAYED_TITLE, IDS_VERSION, IDS_DELAYED_MESSAGE, IDYES, IDS_YES, IDNO, IDS_DISABLE,
      -1, -1 },
    // ALERT_HELPER
    { IDS_ALERT_TITLE, IDS_VERSION_COLON, IDS_HELPER_MESSAGE, IDYES, IDS_YES, IDNO, IDS_NO,
      HA_IEHELPER_ALERT, HT_BHO },
    // ALERT_ACTIVEX
    { IDS_ALERT_TITLE, IDS_VERSION_COLON, IDS_ACTIVEX_MESSAGE, IDYES, IDS_YES, IDNO, IDS_NO,
      HA_IEHELPER_ALERT, HT_BHO },
    // ALERT_HIDDEN
    { IDS_ALERT_TITLE, IDS_VERSION_COLON, IDS_HIDDEN_MESSAGE, IDOK, 0, IDCANCEL, IDS_DELETE,
      HA_HIDDEN_ALERT, HT_HIDDEN },
    // ALERT_TASK
    { IDS_ALERT_TITLE, IDS_VERSION_COLON, IDS_TASK_MESSAGE, IDYES, IDS_YES, IDNO, IDS_NO,
      HA_TASK_ALERT, HT_SCHEDULED_TASK },
    // ALERT_SERVICE
    { IDS_ALERT_TITLE, IDS_VERSION, 0, IDYES, IDS_YES, IDNO, IDS_NO, -1, -1 },
    // ALERT_FILETYPE (its own initialisation)
    { IDS_FILETYPE_TITLE, 0, 0, IDYES, IDS_YES, IDNO, IDS_NO, -1, -1 },
};

struct AlertAsk {
    int sound;             // -1: silent
    int templateId;
    DLGPROC procedure;
};

static const AlertAsk s_asks[ALERT_KIND_COUNT] = {
    { 1, IDD_ALERT_STARTUP, StartupAlertProc },
    { -1, IDD_ALERT_DELAYED, DelayedAlertProc },
    { 4, IDD_ALERT_HELPER, HelperAlertProc },
    { 4, IDD_ALERT_ACTIVEX, ActiveXAlertProc },
    { 4, IDD_ALERT_HIDDEN, HiddenAlertProc },
    { 3, IDD_ALERT_TASK, TaskAlertProc },
    { 1, IDD_ALERT_SERVICE, ServiceAlertProc },
    { 5, IDD_ALERT_FILETYPE, FileTypeAlertProc },
};

// --- The record, the question ------------------------------------------------

void SetAlertRecord(const char* file, const char* name, int typeCode)
{
    MakeAlertRequest(&g_Alert, g_Alert.Kind, file, name, typeCode);
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

int AskAlertOfKind(AlertKind kind)
{
    const AlertAsk& ask = s_asks[kind];
    return AskAlert(0, ask.sound, ask.templateId, ask.procedure);
}

int AlertTemplate(AlertKind kind)
{
    return s_asks[kind].templateId;
}

DLGPROC AlertProcedure(AlertKind kind)
{
    return s_asks[kind].procedure;
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

int StartupLocationTextId(int typeCode)
{
    switch (typeCode) {
    case 2: case 3: case 5: case 6: case 12: case 13: case 15: case 16:
    case 22: case 23: case 25: case 26:
        return IDS_RUNS_ONCE;
    case 100: case 101:
        return IDS_RUNS_FROM_WININI;
    case 200:
        return IDS_RUNS_FROM_FOLDER;
    default:
        return IDS_RUNS_ALWAYS;
    }
}

void StartupHeading(const char* productName, int typeCode, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, ALERT_TEXT);
    out[0] = '\0';
    if (productName == NULL || productName[0] == '\0')
        return;
    const char* label = productName;
    switch (typeCode) {
    case 250: label = "WinLogon:UserInit"; break;
    case 251: label = "WinLogon:Shell"; break;
    case 252: label = "ObjectDelayLoad"; break;
    case 253: label = "SharedTaskScheduler"; break;
    case 255: label = "AppInit_DLLs"; break;
    default: break;
    }
    TextCopy(out, outSize, label);
}

int TaskHeading(const char* name, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, ALERT_TEXT);
    out[0] = '\0';
    size_t length = TextLength(name, ALERT_TEXT);
    if (length <= 3)
        return 0;
    TextCopyN(out, outSize, name, length - 4);
    return 1;
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
    static const int buttons[] = { IDC_ALERT_ICON, IDC_FILETYPE_OLD_ICON, IDC_FILETYPE_NEW_ICON };
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

static void InitStartupMessage(HWND dialog)
{
    char pattern[1024];
    LoadText(IDS_STARTUP_MESSAGE, pattern, sizeof(pattern));
    if (!TextFindNoCase(pattern, "%s")) {
        SetTextIfAny(dialog, IDC_ALERT_MESSAGE, pattern);
        return;
    }
    SetFont(dialog, IDC_ALERT_MESSAGE, FONT_ALERT_BODY);
    char location[512];
    LoadText(StartupLocationTextId(g_Alert.TypeCode), location, sizeof(location));
    const char* values[1] = { location };
    char message[1536];
    FillPlaceholders(pattern, values, 1, message, sizeof(message));
    SetDlgItemTextA(dialog, IDC_ALERT_MESSAGE, message);
}

static void InitServiceMessage(HWND dialog)
{
    SetFont(dialog, IDC_ALERT_SERVICE_HEADING, FONT_ALERT_BODY);
    SetItemText(dialog, IDS_SERVICE_HEADING, IDC_ALERT_SERVICE_HEADING);
    char startType[128], state[128], pattern[512], message[1024];
    ServiceStartTypeText(g_Alert.Name, startType, sizeof(startType));
    ServiceStateText(g_Alert.Name, state);
    LoadText(IDS_SERVICE_STATE, pattern, sizeof(pattern));
    const char* values[2] = { startType, state };
    FillPlaceholders(pattern, values, 2, message, sizeof(message));
    SetTextIfAny(dialog, IDC_ALERT_SERVICE_STATE, message);
}

// The heading (control 100) of each alert.
static void HeadingOf(AlertKind kind, HWND dialog, const AlertSubject& subject,
                      char (&out)[ALERT_TEXT])
{
    const char* product = subject.fields[VS_PRODUCT_NAME];
    switch (kind) {
    case ALERT_STARTUP:
        StartupHeading(product, g_Alert.TypeCode, out);
        break;
    case ALERT_DELAYED:
        TextCopy(out, product);
        break;
    case ALERT_TASK:
        if (!TaskHeading(g_Alert.Name, out))
            GetWindowTextA(dialog, out, sizeof(out));
        if (GetDlgItem(dialog, IDC_ALERT_NEXT_RUN) != NULL) {
            char nextRun[128];
            GetTaskNextRunTime(g_Alert.Name, nextRun, sizeof(nextRun));
            SetDlgItemTextA(dialog, IDC_ALERT_NEXT_RUN, nextRun);
        }
        break;
    default:
        TextCopy(out, g_Alert.Name);
        break;
    }
}

static void WriteOpeningHistory(AlertKind kind, const char* heading, const AlertSubject& subject)
{
    const AlertLook& look = s_looks[kind];
    if (look.historyAction < 0)
        return;
    const char* name = kind == ALERT_STARTUP ? heading
                     : kind == ALERT_HIDDEN ? g_Alert.Name
                     : subject.fields[VS_PRODUCT_NAME];
    int type = look.historyType < 0 ? g_Alert.TypeCode : look.historyType;
    WriteHistory(name, subject.resolved, subject.fields[VS_FILE_DESCRIPTION], type,
                 look.historyAction);
}

// WM_INITDIALOG of every alert but the file-type alert, in the order the
// user sees it filled.
static INT_PTR InitAlert(HWND dialog, AlertKind kind)
{
    const AlertLook& look = s_looks[kind];
    SetItemText(dialog, look.versionLabel, IDC_ALERT_VERSION_LABEL);

    AlertSubject* subject = (AlertSubject*)calloc(1, sizeof(AlertSubject));
    if (subject == NULL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    ReadSubject(g_Alert.File, subject);

    SetFont(dialog, IDC_ALERT_FILE, FONT_ALERT_BODY);
    SetDlgItemTextA(dialog, IDC_ALERT_FILE, g_Alert.File);
    SetTitle(dialog, look.titleText);
    ShowProgramIcon(dialog, IDC_ALERT_ICON, subject->resolved);

    char heading[ALERT_TEXT];
    HeadingOf(kind, dialog, *subject, heading);
    SetFont(dialog, IDC_ALERT_HEADING, FONT_ALERT_HEADING);
    SetDlgItemTextA(dialog, IDC_ALERT_HEADING, heading);

    SetTextIfAny(dialog, IDC_ALERT_VERSION, subject->fields[VS_PRODUCT_VERSION]);
    SetTextIfAny(dialog, IDC_ALERT_COMPANY, subject->fields[VS_COMPANY_NAME]);
    SetTextIfAny(dialog, IDC_ALERT_DESCRIPTION, subject->fields[VS_FILE_DESCRIPTION]);
    SetTextIfAny(dialog, IDC_ALERT_COPYRIGHT, subject->fields[VS_LEGAL_COPYRIGHT]);

    if (kind == ALERT_STARTUP)
        InitStartupMessage(dialog);
    else if (kind == ALERT_SERVICE)
        InitServiceMessage(dialog);
    else
        SetItemText(dialog, look.messageText, IDC_ALERT_MESSAGE);
    SetItemText(dialog, IDS_PLUS_INFO, IDC_ALERT_LOOKUP);
    if (look.yesText != 0)
        SetItemText(dialog, look.yesText, look.yesId);
    SetItemText(dialog, look.noText, look.noId);
    WriteOpeningHistory(kind, heading, *subject);
    free(subject);

    RestoreAlertPosition(dialog, g_AlertPlacement);
    return TRUE;
}

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

// Messages every alert handles alike.  1 when handled.
static int OnCommonMessage(HWND dialog, UINT message)
{
    switch (message) {
    case WM_CLOSE:
        SaveAlertPosition(dialog, g_AlertPlacement);
        return 0;  // the dialog manager turns it into IDCANCEL
    case WM_DESTROY:
        SaveAlertPosition(dialog, g_AlertPlacement);
        FreeProgramIcons(dialog);
        return 1;
    default:
        return 0;
    }
}

// --- Answers --------------------------------------------------------------------

// Yes and Escape accept, No rejects: helpers, ActiveX, tasks, the returned
// delayed program and file types.
static void OnPlainAnswer(HWND dialog, int id)
{
    if (id == IDYES || id == IDCANCEL)
        EndAlert(dialog, ANSWER_ACCEPT);
    else if (id == IDNO)
        EndAlert(dialog, ANSWER_REJECT);
    else if (id == IDC_ALERT_LOOKUP)
        LookUpProgram(dialog, g_Alert.File);
}

static void OnStartupAnswer(HWND dialog, int id)
{
    if (id == IDYES || id == IDCANCEL)
        EndAlert(dialog, ANSWER_ACCEPT);
    else if (id == IDNO)
        EndAlert(dialog, ANSWER_REJECT);
    else if (id == IDC_ALERT_LOOKUP)
        LookUpProgram(dialog, g_Alert.File);
}

static void OnServiceAnswer(HWND dialog, int id)
{
    if (id == IDYES) {
        EndAlert(dialog, ANSWER_ACCEPT);
    } else if (id == IDNO || id == IDCANCEL) {
        // Escape refuses the service too: it stays stopped.
        EndAlert(dialog, ANSWER_REJECT);
    } else if (id == IDC_ALERT_LOOKUP) {
        LookUpProgram(dialog, g_Alert.File);
    }
}

// The hidden-file alert's "&Delete" button carries the cancel id, so
// Escape would reach it too.  Deleting a file the user may never have
// looked at is not what Escape means: the file is deleted only when the
// button itself was pressed (it has the focus, Escape is not down);
// Escape and the close box keep it, as OK and Enter do.
static int DeletePressed(HWND dialog)
{
    return GetFocus() == GetDlgItem(dialog, IDCANCEL) && GetKeyState(VK_ESCAPE) >= 0;
}

static void OnHiddenAnswer(HWND dialog, int id)
{
    if (id == IDOK)
        EndAlert(dialog, ANSWER_ACCEPT);
    else if (id == IDCANCEL)
        EndAlert(dialog, DeletePressed(dialog) ? ANSWER_REJECT : ANSWER_ACCEPT);
    else if (id == IDC_ALERT_LOOKUP)
        LookUpProgram(dialog, g_Alert.File);
}

// --- The file-type alert --------------------------------------------------------

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

static INT_PTR InitFileTypeAlert(HWND dialog)
{
    SetTitle(dialog, IDS_FILETYPE_TITLE);
    SetFont(dialog, IDC_FILETYPE_OLD_NAME, FONT_ALERT_HEADING);
    SetFont(dialog, IDC_FILETYPE_NEW_NAME, FONT_ALERT_HEADING);
    SetFont(dialog, IDC_FILETYPE_EXTENSION, FONT_FILETYPE_LABEL);
    static const ProgramControls recorded = { IDC_FILETYPE_OLD_NAME, IDC_FILETYPE_OLD_ICON,
                                              IDC_FILETYPE_OLD_PATH, IDC_FILETYPE_OLD_COMPANY };
    static const ProgramControls registered = { IDC_FILETYPE_NEW_NAME, IDC_FILETYPE_NEW_ICON,
                                                IDC_FILETYPE_NEW_PATH, IDC_FILETYPE_NEW_COMPANY };
    ShowAssociatedProgram(dialog, g_Alert.File, recorded);
    ShowAssociatedProgram(dialog, g_Alert.SecondFile, registered);
    SetItemText(dialog, IDS_FILETYPE_HEADING, IDC_FILETYPE_HEADING);
    SetItemText(dialog, IDS_FILETYPE_OLD, IDC_FILETYPE_OLD_LABEL);
    SetItemText(dialog, IDS_FILETYPE_NEW, IDC_FILETYPE_NEW_LABEL);
    SetItemText(dialog, IDS_FILETYPE_QUESTION, IDC_FILETYPE_QUESTION);
    SetDlgItemTextA(dialog, IDC_FILETYPE_EXTENSION, g_Alert.Name);
    SetItemText(dialog, IDS_LOOKUP_INFO, IDC_FILETYPE_OLD_LOOKUP);
    SetItemText(dialog, IDS_LOOKUP_INFO, IDC_FILETYPE_NEW_LOOKUP);
    SetItemText(dialog, IDS_YES, IDYES);
    SetItemText(dialog, IDS_NO, IDNO);
    RestoreAlertPosition(dialog, g_AlertPlacement);
    return TRUE;
}

static void OnFileTypeAnswer(HWND dialog, int id)
{
    if (id == IDC_FILETYPE_OLD_LOOKUP)
        LookUpProgram(dialog, g_Alert.File);
    else if (id == IDC_FILETYPE_NEW_LOOKUP)
        LookUpProgram(dialog, g_Alert.SecondFile);
    else if (id != IDC_ALERT_LOOKUP)
        OnPlainAnswer(dialog, id);
}

// --- The procedures ---------------------------------------------------------------

typedef void (*AnswerHandler)(HWND dialog, int id);

static INT_PTR DispatchAlert(HWND dialog, UINT message, WPARAM wParam, AlertKind kind,
                             AnswerHandler onAnswer)
{
    switch (message) {
    case WM_INITDIALOG:
        return kind == ALERT_FILETYPE ? InitFileTypeAlert(dialog) : InitAlert(dialog, kind);
    case WM_COMMAND:
        onAnswer(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return OnCommonMessage(dialog, message);
    }
}

// Before the shared initialisation of the startup alert: its template's
// check box is not offered.
static void PrepareStartupAlert(HWND dialog)
{
    HWND check = GetDlgItem(dialog, IDC_ALERT_CHECK);
    if (check != NULL) {
        EnableWindow(check, FALSE);
        ShowWindow(check, SW_HIDE);
    }
}

INT_PTR CALLBACK StartupAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        PrepareStartupAlert(dialog);
    return DispatchAlert(dialog, message, wParam, ALERT_STARTUP, OnStartupAnswer);
}

INT_PTR CALLBACK DelayedAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, ALERT_DELAYED, OnPlainAnswer);
}

INT_PTR CALLBACK HelperAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, ALERT_HELPER, OnPlainAnswer);
}

INT_PTR CALLBACK ActiveXAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, ALERT_ACTIVEX, OnPlainAnswer);
}

INT_PTR CALLBACK HiddenAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CLOSE) {
        // The close box keeps the file (see DeletePressed).
        SaveAlertPosition(dialog, g_AlertPlacement);
        EndAlert(dialog, ANSWER_ACCEPT);
        return TRUE;
    }
    return DispatchAlert(dialog, message, wParam, ALERT_HIDDEN, OnHiddenAnswer);
}

INT_PTR CALLBACK TaskAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, ALERT_TASK, OnPlainAnswer);
}

INT_PTR CALLBACK ServiceAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, ALERT_SERVICE, OnServiceAnswer);
}

INT_PTR CALLBACK FileTypeAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DispatchAlert(dialog, message, wParam, ALERT_FILETYPE, OnFileTypeAnswer);
}

// --- The monitor's side of the UI seam -------------------------------------------

// The tray's alert state shows what is being asked about.
static int AlertTip(AlertKind kind)
{
    switch (kind) {
    case ALERT_HELPER:
    case ALERT_ACTIVEX:
        return IDS_TIP_HELPERS;
    case ALERT_TASK:
        return IDS_TIP_TASKS;
    case ALERT_FILETYPE:
        return IDS_TIP_FILETYPES;
    default:
        return IDS_TIP_STARTUP;
    }
}

static int AskThroughAlert(const AlertRequest* request)
{
    if (request->Kind == ALERT_FILECHANGE)
        return AskFileChange(request);
    if (request->Kind < 0 || request->Kind >= ALERT_KIND_COUNT)
        return ANSWER_NONE;
    g_Alert = *request;
    SetTrayStatus(IDI_ALERT, AlertTip(request->Kind));
    g_Patrol.AlertOpen = 1;
    return AskAlertOfKind(request->Kind);
}

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
        OpenHelpPage(g_MainWindow, CMD_HELP);
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
    static const UiSeam seam = { AskThroughAlert, ConfirmInMessageBox, NotifyUser,
                                 MainWindowOwner };
    InstallUi(&seam);
}
