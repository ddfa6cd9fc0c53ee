// An alert as data: the dialog template that shows it, how that template is
// laid out, the numbered texts that fill it, the sound and the tray tip that
// announce it, the answers of its buttons and the history line it writes when
// it opens.  Each category owns the descriptions of its alerts (its row points
// to them) and keeps the template in its resource fragment; the monitor shows
// any description with one dialog procedure per layout.  What depends on the
// item (a location sentence, a service's state, a task's next run) the
// category's Describe puts into the request.  Plain data, no window: both
// programs link it, only the monitor shows it.
#pragma once
#include "foundation/ui.h"

enum AlertLayout {
    // One program: its heading, icon, version details and file, a message,
    // the online lookup ("PLUS &Info...") and two answer buttons (shared
    // controls: resources/alert_layouts.h).
    ALERT_ONE_PROGRAM,
    // Two programs, the one recorded above and the one now registered
    // below, each with its own lookup ("Info..."), under the subject's
    // name.
    ALERT_TWO_PROGRAMS,
    // A watched file changed: its name, path and comment, a look at either
    // file, and Accept or Reject only (Escape and the close box end
    // nothing); "Disable Future Monitoring" goes with either answer.
    ALERT_FILE_CHANGE,
    ALERT_LAYOUT_COUNT
};

// Flags of a line.
enum {
    // Each "%s" takes the request's next detail.  A text without "%s" (a
    // translation may drop it) is shown as it stands, in the template's
    // font.
    ALERT_LINE_FILLED = 1,
    ALERT_LINE_BODY_FONT = 2,  // in the alerts' body font
    // No numbered text: the request's first detail as it is, when the
    // template has the control.
    ALERT_LINE_DETAIL = 4,
};

// One control of the template and the numbered text it shows (a text that
// is empty leaves the template's own).
struct AlertLine {
    int ControlId;  // 0 ends the lines
    int TextId;
    int Flags;      // ALERT_LINE_*
};

// Flags of a description.
enum {
    // The one-program heading is the program's product name ("" when it has
    // none); the request's Heading stands in for a product name that is
    // there.  Without it the heading is the request's Heading, or its Name
    // when Heading is "".
    ALERT_HEADING_IS_PRODUCT = 1,
    // The history line names the program's product, not the heading.
    ALERT_HISTORY_NAMES_PRODUCT = 2,
};

struct AlertDescription {
    AlertLayout Layout;
    int TemplateId;           // the dialog template in the category's fragment
    int TitleText;            // the window title
    const AlertLine* Lines;   // the texts it shows, up to a line of control 0
    int YesId, YesText;       // the accepting button and its text (0: the template's)
    int NoId, NoText;         // the refusing button and its text
    // What Escape and the close box answer.  A refusing button that carries
    // the cancel id refuses only when pressed itself.
    int EscapeAnswer;
    int Sound;                // the sound index (tray); -1: silent
    int TrayTip;              // the tray's tip while it waits
    int Flags;                // ALERT_HEADING_IS_PRODUCT ...
    int HistoryAction;        // the line written when it opens; -1: none
    int HistoryType;          // its type code; -1: the request's
};
