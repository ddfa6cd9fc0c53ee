// The program information dialog: its template, its controls and texts.
#pragma once

#define IDD_INFO                121

// Controls (numbered as the dialog knows them).
#define IDC_INFO_STOP           3      // "&Kill Task" / "&Stop"
#define IDC_INFO_RUN            4      // "Run", in the stop button's place
#define IDC_INFO_EXPAND         5      // "E&xpand Info" / "Shrin&k Window"
#define IDC_INFO_APPLY          12     // the startup type
#define IDC_INFO_PRODUCT        100
#define IDC_INFO_ICON           117
#define IDC_INFO_STATUS         1010
#define IDC_INFO_CREATED        1011
#define IDC_INFO_WRITTEN        1013
#define IDC_INFO_DETECTED       1014
#define IDC_INFO_PATH           1026
#define IDC_INFO_VERSION        1029
#define IDC_INFO_COMPANY        1030
#define IDC_INFO_TITLE          1031
#define IDC_INFO_COPYRIGHT      1032
#define IDC_INFO_NOTE           1033
#define IDC_INFO_CREATED_LABEL  1038
#define IDC_INFO_COMPANY_LABEL  1050   // labels of the version texts
#define IDC_INFO_VERSION_LABEL  1051
#define IDC_INFO_COPY_LABEL     1052
#define IDC_INFO_LOCATION       1039
#define IDC_INFO_WRITTEN_LABEL  1041
#define IDC_INFO_DETECTED_LABEL 1042
#define IDC_INFO_SIZE_LABEL     1043
#define IDC_INFO_PLUS           1067
#define IDC_INFO_SAVE_NOTE      1069
#define IDC_INFO_NEXT           1082
#define IDC_INFO_PREVIOUS       1083
#define IDC_INFO_START_TYPE     1090
#define IDC_INFO_START_LABEL    1091
#define IDC_INFO_STATUS_LABEL   1092
#define IDC_INFO_SIZE           1181

// Texts.
#define IDS_INFO_EXPLAIN        647    // what the dialog shows, and Create Note
#define IDS_INFO_MICROSOFT      908    // "The file %s appears to be a valid Microsoft ..."
#define IDS_INFO_RUNNING        3900
#define IDS_INFO_READY          3901
#define IDS_INFO_NOT_FOUND      3902
#define IDS_INFO_STARTUP_PLACE  3903   // "Startup Location: "
#define IDS_INFO_FILE_TYPE      3904   // "File Type Extension: "
#define IDS_INFO_LOCATION       3905   // "Location"
#define IDS_INFO_CLSID          3906
#define IDS_INFO_KILL           3907
#define IDS_INFO_STOP           3908
#define IDS_INFO_RUN            3909
#define IDS_INFO_CREATE_NOTE    3910
#define IDS_INFO_SAVE_NOTE      3911
#define IDS_INFO_EXPAND         3912
#define IDS_INFO_SHRINK         3913
#define IDS_INFO_NOTE_TOO_LARGE 3920
#define IDS_INFO_NOTE_NOT_SAVED 3921
#define IDS_INFO_NO_NOTE_NAME   3922
#define IDS_INFO_STOP_FAILED    3923
#define IDS_INFO_TYPE_FAILED    3924
#define IDS_INFO_KILL_FAILED    3925
#define IDS_INFO_RUN_FAILED     3926
