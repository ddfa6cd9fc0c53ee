// The export of the settings (the Options page's "E&xport Settings"): its texts.
#pragma once

#define IDS_EXPORT_SAVED        854    // the file was written; "%s" is its path
#define IDS_EXPORT_FAILED       4500   // "%s": the path; "%s": the system's reason
#define IDS_EXPORT_LEFT_OUT     4501   // the path, how many values, the first one
