// The bench's idle program: written under many names into the temporary
// folder and started under each, so that the running-task list holds that
// many programs.  It does nothing until the bench ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Sleep(30 * 60 * 1000);
    return 0;
}
