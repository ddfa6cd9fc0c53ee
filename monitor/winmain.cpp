// Process entry of Vardex.exe.
#include "monitor/monitor.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return MonitorMain(instance, commandLine);
}
