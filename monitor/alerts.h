// The alert dialogs: a patrol step fills the current alert record, sets the
// alert-open flag, puts the tray icon into its alert state and asks; the
// dialog shows the item with its version details and returns the answer.
#pragma once
#include <windows.h>

#include "foundation/placement.h"
#include "foundation/ui.h"

// The alert being asked: the request the category made, as the dialog
// shows it.
extern AlertRequest g_Alert;

// Fills the record (NULL texts give "").  The second file and location are
// left empty.
void SetAlertRecord(const char* file, const char* name, int typeCode);
// What every ending answer does first: file, name and location emptied.
void ClearAlertRecord();

// The auto-answer rule and the modal dialog: option value 0 plays the sound
// (soundIndex < 0: none) and shows the template owned by the main window,
// returning its result; 1 answers 6 and any other value 7 without showing
// anything.  The alert-open flag is cleared afterwards in every case.
int AskAlert(int autoAnswer, int soundIndex, int templateId, DLGPROC procedure);

// The alert of the kind for the record as it stands, with its own sound,
// template and procedure (the hide options answer before anything is
// shown: see AskOrAutoAnswer).
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
void StartupHeading(const char* productName, int typeCode, char* out, size_t outSize);
template <size_t N> inline void StartupHeading(const char* productName, int typeCode, char (&out)[N])
{ StartupHeading(productName, typeCode, out, N); }
// The task alert's heading: the name without its last four characters
// ("Backup.job" -> "Backup") when longer than three; 0 (nothing to show)
// for a shorter name.
int TaskHeading(const char* name, char* out, size_t outSize);
template <size_t N> inline int TaskHeading(const char* name, char (&out)[N])
{ return TaskHeading(name, out, N); }

// The monitor's side of the UI seam: questions as alerts and message boxes
// owned by the main window, notices as the help page or a message.
void InstallMonitorUi();
