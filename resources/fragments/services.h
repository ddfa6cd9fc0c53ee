// Ids of the services' fragment: the new-service alert and its texts.
#pragma once

#define IDD_ALERT_SERVICE        171
#define IDI_PICTURE_SERVICE      164
// The service alert's two texts in place of the message.
#define IDC_SERVICE_INTRO        1143
#define IDC_SERVICE_STATE        1144

#define IDS_SERVICE_INTRO        900
#define IDS_SERVICE_STATE        901
