#include "foundation/trace.h"

#include <stdlib.h>
#include <windows.h>

#include "foundation/options.h"
#include "foundation/text.h"

int g_TraceBudget = 9999;
int g_TraceFirstPatrol = 0;

static char s_traceFile[260];
static DWORD s_lastTick;
static char s_lastText[256];

void TraceSetFile(const char* path)
{
    TextCopy(s_traceFile, path);
    // Registry failures go to the trace from now on (when tracing is on).
    g_RegistryNote = TraceNote;
}

const char* TraceFile()
{
    return s_traceFile;
}

void TraceStart()
{
    char debug[128];
    g_TraceBudget = 9999;
    if (RegReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", debug, sizeof(debug)) > 0
        && atoi(debug) != 0)
        g_TraceBudget = 0;
}

static void WriteTraceLine(DWORD tick, const char* value)
{
    char key[32];
    TEXT_FORMAT(key, "%lu.%d", (unsigned long)tick, g_TraceBudget);
    WritePrivateProfileStringA("Trace", key, value, s_traceFile);
}

void TraceNote(const char* name, const char* text)
{
    if (g_TraceBudget > 9000 || s_traceFile[0] == '\0')
        return;
    s_lastTick = GetTickCount();
    TextCopy(s_lastText, text);
    g_TraceBudget++;

    SYSTEMTIME now;
    GetLocalTime(&now);
    char value[512];
    TEXT_FORMAT(value, "%02d-%02d  %02d:%02d:%02d %s: %s", now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond, name ? name : "", s_lastText);
    WriteTraceLine(s_lastTick, value);
}

void TraceElapsed()
{
    if (g_TraceBudget > 9000 || s_traceFile[0] == '\0')
        return;
    DWORD now = GetTickCount();
    long elapsed = (long)((now - s_lastTick) / 2);
    if (g_TraceFirstPatrol) {
        elapsed = 1;
        g_TraceFirstPatrol = 0;
    }
    g_TraceBudget++;

    char stars[24] = "\t";
    for (long s = 0; s < elapsed / 1000 && s < 16; s++)
        TextAppendChar(stars, '*');
    char value[512];
    TEXT_FORMAT(value, "**:**:** NanoCycles: %s = %ld %s", s_lastText, elapsed, stars);
    WriteTraceLine(now, value);
}
