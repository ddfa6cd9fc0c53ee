#include "startup/delayed_start.h"

int RunDelayedPrograms(int)
{
    return 0;
}

int CountDelayedPrograms()
{
    return 0;
}
