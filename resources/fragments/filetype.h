// Ids of the file types' fragment: the change alert (a two-program alert)
// and its texts.
#pragma once

#define IDD_ALERT_FILETYPE       143

#define IDS_FILETYPE_HEADING     756
#define IDS_FILETYPE_OLD         757
#define IDS_FILETYPE_NEW         758
#define IDS_FILETYPE_QUESTION    759
#define IDS_FILETYPE_TITLE       760
