// Ids of the IE helpers' fragment: the new-helper alert and its texts.
#pragma once

#define IDD_ALERT_HELPER         140
#define IDI_PICTURE_HELPER       162

#define IDS_HELPER_MESSAGE       701
