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

// Fills the record (NULL texts give "") and keeps its description.  The
// second file, location, heading and details are left empty.
void SetAlertRecord(const char* file, const char* name, int typeCode);
// What every ending answer does first: file, name and location emptied.
void ClearAlertRecord();

// The auto-answer rule and the modal dialog: option value 0 plays the sound
// (soundIndex < 0: none) and shows the template owned by the main window,
// returning its result; 1 answers 6 and any other value 7 without showing
// anything.  The alert-open flag is cleared afterwards in every case.
int AskAlert(int autoAnswer, int soundIndex, int templateId, DLGPROC procedure);

// The alert the request describes, as the record: the tray shows the
// description's tip, its sound plays and its template is shown with the
// procedure of its layout (the hide options answer before anything is
// shown: see AskOrAutoAnswer).  ANSWER_NONE, with nothing shown or played,
// for a request without a description, a layout this program does not know
// or a template it does not have.
int ShowAlert(const AlertRequest* request);

// The procedure of each layout; the description comes from the record.
INT_PTR CALLBACK OneProgramAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TwoProgramAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The record's window title and lines (the numbered texts of its
// description, "%s" filled with its details), as every layout shows them.
void ShowAlertTexts(HWND dialog);

// The position all alerts share ("xPosAlert", "yPosAlert", "dxAlert",
// "dyAlert").
extern const PlacementNames g_AlertPlacement;
// "StartTab" = 0, then the saved position (an x or y beyond the virtual
// screen becomes half the screen), or centred when none is saved.
void RestoreAlertPosition(HWND dialog, const PlacementNames& names);
// The dialog's left, top, width and height, then "StartTab" = 0.
void SaveAlertPosition(HWND dialog, const PlacementNames& names);

// The monitor's side of the UI seam: questions as alerts and message boxes
// owned by the main window, notices as the help page or a message.
void InstallMonitorUi();
