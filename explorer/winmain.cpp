// Process entry of VardexView.exe.
#include "explorer/explorer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return ExplorerMain(instance, commandLine);
}
