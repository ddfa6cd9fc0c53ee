// The patrol driver.  The 2-second timer runs from command 6025; the
// categories are visited by their own steps as they are connected.
#include "monitor/patrol.h"

int g_TickCounter = 0;
int g_PatrolRunning = 0;
int g_AlertOpen = 0;
int g_ProcessNotice = 0;
int g_NoticeChecksInRow = 0;
int g_RestartCountdown = 0;
DWORD g_LastPatrolTime = 0;

static char s_lastAlertCommand[260];
static int s_alertRepeat = 0;

void PatrolTick()
{
    g_TickCounter++;
}

void ResetAlertRepeat()
{
    s_lastAlertCommand[0] = '\0';
    s_alertRepeat = 0;
}

void ShowRestartCommands(int)
{
}

void FreeCookieFilters()
{
}
