// The alert dialogs: a patrol step fills the current alert record, sets the
// alert-open flag, puts the tray icon into its alert state and asks; the
// dialog shows the item with its version details and returns the answer.
#pragma once
#include <windows.h>

#include "foundation/placement.h"

#define ALERT_TEXT 260

// The subject of the alert being asked (each text at most 259 characters).
struct AlertRecord {
    char File[ALERT_TEXT];        // the item's command or file, as listed
    char Name[ALERT_TEXT];        // helper, task, service or file name; the extension
    char SecondFile[ALERT_TEXT];  // the file-type alert: the newly associated program
    char Location[ALERT_TEXT];    // the file-change alert: the watched file
    int TypeCode;
};
extern AlertRecord g_Alert;

// Answers.
#define ALERT_ACCEPT  6
#define ALERT_REJECT  7
#define ALERT_DISABLE 11

// Fills the record (NULL texts give "").  The second file and location are
// left empty.
void SetAlertRecord(const char* file, const char* name, int typeCode);
// What every ending answer does first: file, name and location emptied.
void ClearAlertRecord();

// The repeat state of the startup alert: the last command shown and how
// often in a row it came back.
extern char g_LastStartupAlert[ALERT_TEXT];
extern int g_StartupAlertRepeat;

// The auto-answer rule and the modal dialog: option value 0 plays the sound
// (soundIndex < 0: none) and shows the template owned by the main window,
// returning its result; 1 answers 6 and any other value 7 without showing
// anything.  The alert-open flag is cleared afterwards in every case.
int AskAlert(int autoAnswer, int soundIndex, int templateId, DLGPROC procedure);

enum AlertKind {
    ALERT_STARTUP, ALERT_DELAYED, ALERT_HELPER, ALERT_ACTIVEX, ALERT_HIDDEN,
    ALERT_TASK, ALERT_SERVICE, ALERT_FILETYPE, ALERT_KIND_COUNT
};
// AskAlert with the kind's own option ("HideStartup"...), sound, template
// and procedure, for the record as it stands.
int AskAlertOfKind(AlertKind kind);
// The kind's template id and dialog procedure.
int AlertTemplate(AlertKind kind);
DLGPROC AlertProcedure(AlertKind kind);

INT_PTR CALLBACK StartupAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DelayedAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HelperAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ActiveXAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HiddenAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TaskAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ServiceAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FileTypeAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The position all alerts share ("xPosAlert", "yPosAlert", "dxAlert",
// "dyAlert").
extern const PlacementNames g_AlertPlacement;
// "StartTab" = 0, then the saved position (an x or y beyond the virtual
// screen becomes half the screen), or centred when none is saved.
void RestoreAlertPosition(HWND dialog, const PlacementNames& names);
// The dialog's left, top, width and height, then "StartTab" = 0.
void SaveAlertPosition(HWND dialog, const PlacementNames& names);

// The startup alert's location sentence for a type code (text 765 to 768).
int StartupLocationTextId(int typeCode);
// The heading of the startup alert: the product name, or for the Winlogon
// and shell-hook codes 250 to 253 and 255 their fixed label; "" when the
// product name is empty.  out holds ALERT_TEXT.
void StartupHeading(const char* productName, int typeCode, char* out);
// The task alert's heading: the name without its last four characters
// ("Backup.job" -> "Backup") when longer than three; 0 (nothing to show)
// for a shorter name.
int TaskHeading(const char* name, char* out);

// The monitor's side of the startup patrol (tray state, sound and alerts).
void InstallStartupPatrolHooks();
