// The monitor's hidden window and fonts, made once per test program so that
// alerts, the tray and the patrol run as in Vardex.exe.
#pragma once
#include <gtest/gtest.h>

#include "foundation/language.h"
#include "monitor/alerts.h"
#include "monitor/monitor.h"

inline void StartMonitorSpine()
{
    if (g_MainWindow != NULL)
        return;
    g_TextModule = g_Instance = GetModuleHandleA(NULL);
    LoadText(1, g_ClassName, sizeof(g_ClassName));
    LoadText(2, g_Caption, sizeof(g_Caption));
    ASSERT_TRUE(RegisterMonitorClass());
    ASSERT_TRUE(CreateMonitorWindow());
    InstallMonitorUi();
}
