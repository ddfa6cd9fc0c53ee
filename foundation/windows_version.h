// Which Windows runs us: the 95/98/Me family or NT, and the Vista-class
// major version 6.
#pragma once

int IsWindowsNT();       // the NT platform
int IsWindowsMajor6();   // major version 6
