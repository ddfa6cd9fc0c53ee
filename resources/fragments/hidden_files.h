// Ids of the hidden files' fragment: the new-hidden-file alert and its texts
// (its picture is the tray's alert icon).
#pragma once

#define IDD_ALERT_HIDDEN         191

#define IDS_HIDDEN_MESSAGE       1015
