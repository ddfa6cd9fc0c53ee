// The monitor's hidden window and fonts, made once per test program so that
// alerts, the tray and the patrol run as in Vardex.exe; and what the monitor
// tests share about its options and its trace.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "foundation/language.h"
#include "foundation/registry_store.h"
#include "support/vxtest.h"
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

// Options as the explorer writes them: a name, its value, a name ...
inline void SetOptions(std::initializer_list<const char*> pairs)
{
    for (const char* const* p = pairs.begin(); p != pairs.end(); p += 2)
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, p[0], p[1]);
}

// How often the file at path holds the text.
inline size_t CountInFile(const std::string& path, const char* part)
{
    std::string text = vxtest::ReadFileText(path);
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}
