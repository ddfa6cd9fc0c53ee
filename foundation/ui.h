// The one way code below the two programs reaches the user.  Foundation,
// startup and category code never shows a window: it asks, confirms and
// notifies through this seam, which each program installs at start (the
// monitor with its alerts and message boxes, the explorer with its own
// dialogs).  With nothing installed every question goes unanswered, every
// confirmation is "no" and every notice is dropped: the safe outcome.
#pragma once
#include <windows.h>

struct AlertDescription;  // foundation/alert_description.h: an alert as data

// Answers, the alerts' own results.  ANSWER_NONE: the question could not be
// shown; nothing changes and the item is asked about again later.
enum Answer {
    ANSWER_NONE = 0, ANSWER_ACCEPT = IDYES, ANSWER_REJECT = IDNO, ANSWER_DISABLE = 11,
    // The file change alert only: the change undone and the file no longer
    // watched ("Disable Future Monitoring" goes with either answer).
    ANSWER_REJECT_AND_STOP = 12
};

#define ALERT_TEXT 260

#define ALERT_DETAIL 512
#define ALERT_DETAILS 2

// What an alert shows (each text cut to its buffer).  Alert names the
// category's description of the alert (NULL: none, nothing can be shown).
struct AlertRequest {
    const AlertDescription* Alert;
    char File[ALERT_TEXT];        // the item's command or file, as listed
    char Name[ALERT_TEXT];        // helper, task, service or file name; the extension
    char SecondFile[ALERT_TEXT];  // the two-program alert: the newly associated program
    char Location[ALERT_TEXT];    // the file-change alert: the watched file
    // The heading as the category gives it; "" leaves the description's
    // rule to pick it (the name, or the program's product name).
    char Heading[ALERT_TEXT];
    // What the category found out for the texts: each "%s" of a filled
    // line takes the next detail (a location sentence, a service's start
    // type and state, a task's next run).
    char Details[ALERT_DETAILS][ALERT_DETAIL];
    int TypeCode;
};

// Fills a request (NULL texts give ""); second file, location, heading and
// details empty.
void MakeAlertRequest(AlertRequest* request, const AlertDescription* alert, const char* file,
                      const char* name, int typeCode);

// Things a program is told, for it to show as it sees fit.
enum Notice {
    // A startup entry was asked about three times in a row: it is parked
    // instead (the monitor opens the help page that explains why).
    NOTICE_PROGRAM_FIGHTS_BACK,
    // An answer could not be carried out; detail names the item.  The item
    // stays as it was and is asked about again.
    NOTICE_DISABLE_FAILED,
    NOTICE_REMOVE_FAILED,
    // A watched setting could not be written back; detail names it.
    NOTICE_RESTORE_FAILED,
    // A question about a watched setting is coming (the monitor shows its
    // alert state in the tray).
    NOTICE_ASKING_ABOUT_SETTING,
    // The machine's setting is restored by the explorer, which may write
    // it where the monitor may not; detail holds the explorer's switches.
    NOTICE_RESTORE_BY_EXPLORER,
    // A file operation failed; detail is "<code>  <system text>".
    NOTICE_SYSTEM_ERROR,
    // Something to tell in an information box; detail is the text.
    NOTICE_INFORMATION,
    // The user asked to see the cookies (the explorer's Cookies page).
    NOTICE_SHOW_COOKIES,
    // The user asked to see the restart commands (the monitor's window).
    NOTICE_SHOW_RESTART_COMMANDS,
    NOTICE_COUNT
};

struct UiSeam {
    // Shows the alert and returns the user's answer (ANSWER_*).
    int (*Ask)(const AlertRequest* request);
    // A yes/no question; yesByDefault makes "Yes" the answer of Enter,
    // else "No" is.  1 for yes.
    int (*Confirm)(const char* question, int yesByDefault);
    // Tells the user something; detail may be "".
    void (*Notify)(Notice notice, const char* detail);
    // The window that owns anything shown (NULL: none).
    HWND (*Owner)();
};

// Installs the program's seam (NULL: the silent one).  The seam is copied.
void InstallUi(const UiSeam* seam);

int UiAsk(const AlertRequest* request);
// A yes/no question with "No" the default; 1 for yes.
int UiConfirm(const char* question);
// The same with "Yes" the default: for a question whose text tells the
// user that Enter keeps things as they are now.
int UiConfirmYesByDefault(const char* question);
// UiConfirm with the numbered text (LoadText).
int UiConfirmText(int textId);
void UiNotify(Notice notice, const char* detail);
HWND UiOwner();

// The hide-option rule every category shares: 0 asks, 1 accepts and any
// other value rejects without asking.  Returns the answer.
int AskOrAutoAnswer(int hideOption, const AlertRequest* request);
