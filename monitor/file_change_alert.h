// The file change alert of a watched system file (HOSTS, the boot files).
#pragma once
#include <windows.h>

#include "foundation/ui.h"

// Shows the alert for the request (Name: the file's name, Location: its
// path, SecondFile: the record's comment).  ANSWER_ACCEPT, ANSWER_REJECT,
// and with "Disable Future Monitoring" checked ANSWER_DISABLE (accepted)
// or ANSWER_REJECT_AND_STOP (rejected); ANSWER_NONE when it could not be
// shown.
int AskFileChange(const AlertRequest* request);
