// Ids of the ActiveX fragment: the new-control alert and its texts.
#pragma once

#define IDD_ALERT_ACTIVEX        193
#define IDI_PICTURE_ACTIVEX      171

#define IDS_ACTIVEX_MESSAGE      1066
