// Texts of the scan log and the inventory (reports/scan_log.h names them).
#pragma once

#define IDS_LOG_RUNNING_PROCESSES 818
// 4400 + the Automatic Updates mode: the monitor's own texts of the modes
// (1051-1054) are not in the explorer.
#define IDS_LOG_UPDATE_MODE_1     4401
#define IDS_LOG_UPDATE_MODE_2     4402
#define IDS_LOG_UPDATE_MODE_3     4403
#define IDS_LOG_UPDATE_MODE_4     4404
#define IDS_LOG_NOT_WRITTEN       4410
