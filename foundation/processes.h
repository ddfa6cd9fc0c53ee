// Running programs.
#pragma once

// Ends the program of a command line when it is running.  1 when a
// process was ended.
int EndProgramIfRunning(const char* command);
