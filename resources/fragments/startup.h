// Ids of the startup programs' fragment: their two alerts (a new program, a
// delayed program that put itself back) and their texts.  Plain defines: the
// resource script and the startup code (pure text included) both read them.
#pragma once

#define IDD_ALERT_STARTUP        131
#define IDD_ALERT_DELAYED        192
#define IDI_PICTURE_STARTUP      165
#define IDI_PICTURE_DELAYED      200
#define IDC_STARTUP_CHECK        1014

#define IDS_STARTUP_MESSAGE      7
#define IDS_RUNS_ALWAYS          765
#define IDS_RUNS_ONCE            766
#define IDS_RUNS_FROM_WININI     767
#define IDS_RUNS_FROM_FOLDER     768
#define IDS_DELAYED_MESSAGE      1022
#define IDS_DELAYED_TITLE        1023
