// Reading the common controls of another process.  Wine does not carry
// the pointers of TCM_* and LVM_* messages between processes: the
// structure and its text buffer are placed in the target process, the
// message is sent there and the result read back.
#pragma once
#include <windows.h>

#include <string>

namespace vxtest {

// The text of tab index of a tab control in any process ("<none>" when it
// cannot be read).
std::string TabText(HWND tab, int index);

}  // namespace vxtest
