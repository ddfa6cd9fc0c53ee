// The restart-commands window: the text of wininit.ini, the commands
// Windows 95/98/Me carries out at the next boot, with a button that
// deletes the file.
#pragma once

// With quiet set only tells whether commands wait (1) or not (0).  Without
// it, shows the window when commands wait, or text 59 when none do.  0
// when the Windows folder has no wininit.exe (the NT family).  A quit that
// arrives while the window is shown closes it and is posted again, with
// its exit code, for the caller's message loop.
int ShowRestartCommands(int quiet);
