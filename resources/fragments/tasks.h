// Ids of the scheduled tasks' fragment: the new-task alert and its texts.
#pragma once

#define IDD_ALERT_TASK           138
#define IDI_PICTURE_TASK         166
// The next run of the task, where a template has the control (138 has not).
#define IDC_TASK_NEXT_RUN        1082

#define IDS_TASK_MESSAGE         692
