// TEST ONLY: a stand-in for the explorer's frame (explorer/frame.h), so
// that the list-page tests can host a page in a property sheet of their
// own before the frame is linked into them.  Replaced by the real frame
// when both are in; what it records is what the tests read of the frame.
#pragma once
#include <string>

#include "explorer/frame.h"

namespace frame_stand_in {
extern std::string status;        // the status bar's text
extern int monitorPresses;        // OnMonitorButton calls
extern int created, activated, left;
}  // namespace frame_stand_in
