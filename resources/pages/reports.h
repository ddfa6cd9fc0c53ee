// The reports' texts: the section titles, the helpers' location label and
// what the user is told when no report could be written.  The reports have
// no page of their own; the list pages' menu and the Options page start
// them.
#pragma once

#define IDS_REPORT_STARTUP        606   // "Startup Programs"
#define IDS_REPORT_ACTIVE_TASKS   607
#define IDS_REPORT_DELAYED        609
#define IDS_REPORT_SERVICES       636
#define IDS_REPORT_SCHEDULED      680
#define IDS_REPORT_IE_HELPERS     694
#define IDS_REPORT_LOCATION       716   // "Location", before a helper's key
#define IDS_REPORT_FILE_TYPES     739
#define IDS_REPORT_HIDDEN         973
#define IDS_REPORT_ACTIVEX        1155
#define IDS_REPORT_NOT_WRITTEN    4300  // no folder took the report
