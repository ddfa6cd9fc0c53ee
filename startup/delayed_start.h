// The delayed-start list as the monitor launches it.
#pragma once

// Starts every listed program whose delay (in seconds) equals delaySeconds.
// Returns how many entries matched, started or found running.
int RunDelayedPrograms(int delaySeconds);
// The number of programs on the delayed-start list.
int CountDelayedPrograms();
