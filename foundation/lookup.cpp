#include "foundation/lookup.h"

int LookUpOnline(HWND, int, const char*)
{
    return 0;
}

int CheckForNewVersion(HWND)
{
    return 0;
}
