// The file change alert of a watched system file (HOSTS, the boot files).
#pragma once
#include <windows.h>

#include "foundation/ui.h"

// Shows the alert for the request (Name: the file's name, Location: its
// path, SecondFile: the record's comment).  ANSWER_ACCEPT, ANSWER_REJECT,
// or ANSWER_DISABLE for an accepted change with "Disable Future
// Monitoring" checked; ANSWER_NONE when it could not be shown.
int AskFileChange(const AlertRequest* request);
