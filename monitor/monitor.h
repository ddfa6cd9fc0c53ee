// Vardex.exe, the monitor: process-wide state and the start-up, command and
// exit routines.  Everything runs on the one thread of the message loop.
#pragma once
#include <windows.h>

#include "startup/autostart.h"

// Command ids of the monitor (and page ids of the explorer).
enum MonitorCommand {
    CMD_START_SECOND_HALF = 6025,
    CMD_SHOW_STARTUP = 6026,
    CMD_SHOW_PLUS = 6027,
    CMD_SHOW_NUTS = 6028,
    CMD_SHOW_TASKS = 6029,
    CMD_EXIT = 6030,
    CMD_TOGGLE_AUTOSTART = 6031,
    CMD_SHOW_OPTIONS = 6033,
    CMD_RESTART_COMMANDS = 6034,
    CMD_SHOW_SERVICES = 6038,
    CMD_SHOW_SCHEDULE = 6039,
    CMD_SHOW_HELPERS = 6040,
    CMD_SHOW_FILETYPES = 6042,
    CMD_SHOW_MONITOR = 6046,
    CMD_SHOW_BLACKLIST = 6047,
    CMD_SHOW_HIDDEN = 6052,
    CMD_TRAY_VISIBILITY = 6053,
    CMD_SHOW_DELAY = 6055,
    CMD_SHOW_ACTIVEX = 6056,
};

#define WM_VX_TRAY_NOTIFY    6035
#define WM_VX_PROCESS_CHANGE (WM_USER + 8000)
#define VX_TIMER_ID          1
#define VX_TIMER_MS          2000

enum MonitorFont {
    FONT_ALERT_BODY,      // MS Sans Serif, -14, 600
    FONT_ALERT_HEADING,   // Arial, -18, 500
    FONT_FILETYPE_LABEL,  // Verdana, -18, 600, underlined
    FONT_FILE_NAME,       // Arial, -14, 400
    FONT_COUNT
};

extern HINSTANCE g_Instance;
extern HWND g_MainWindow;
extern char g_ClassName[32];
extern char g_Caption[32];
extern int g_Wow64Registry;      // 1 when the Wow6432Node Run key exists
extern int g_AlwaysRun;          // 1 when the own HKLM Run value exists
extern int g_ExpressBoot;        // ticks to wait before the first patrol
extern UINT g_TaskbarCreated;    // the registered "TaskbarCreated" message
extern UINT_PTR g_TimerId;
extern HFONT g_Fonts[FONT_COUNT];

// Process entry: returns the exit code of the message loop, 0 when the
// process ends early (second instance, forwarding, lookup).
int MonitorMain(HINSTANCE instance, const char* commandLine);

int RegisterMonitorClass();
// Creates the hidden main window and the alert fonts.  1 or 0.
int CreateMonitorWindow();
LRESULT CALLBACK MonitorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The start-up work on the registry store (first run, baselines, version
// check, options, context-menu verb, own autostart state).
void InitializeMonitor();
// First run and upgrade: startup snapshot, the old "Vardex PLUS" entry
// removed, own autostart written.
void CreateInitialValues();

// Starts VardexView.exe with the given switches; message 795 on failure.
void StartExplorer(const char* switches);

// Own autostart set as SetSelfAutostart (startup/autostart.h) does, with
// g_AlwaysRun following what the Run key holds afterwards.
int SetMonitorAutostart(int on);

// The exit request: confirmation when "ConfirmExit" is set, then the exit
// sequence.  Returns 0 when the user declined.
int ExitRequest();

// Opens the online program lookup for a file (request type 460 for
// programs, 470 for libraries, the type code + 1000 from an alert).
void OpenProgramLookup(int requestType, const char* file);
