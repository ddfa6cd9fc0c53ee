// Helpers shared by the test programs.  Every test program runs under Wine
// in its own clone of the template prefix, from C:\Vardex beside copies of
// Vardex.exe and KESSA.DLL; these helpers start real processes, find real
// windows and read the real registry.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/item_list.h"

namespace vxtest {

// The list the test's listings fill (one per test program, emptied by
// each listing).
ItemList* Items();

// C:\Vardex (the folder of the running test program), without a trailing "\".
std::string ProgramFolder();
std::string PathInProgramFolder(const char* name);

// Removes every key and value the system keeps, so each test starts from a
// first run: HKCU and HKLM Software\Quillon, the own Run values.
void ResetStore();

// Registry set-up for tests.
void SetString(HKEY root, const char* path, const char* name, const char* text);
void SetValue(
    HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size);
void SetDword(HKEY root, const char* path, const char* name, DWORD value);
bool ValueExists(HKEY root, const char* path, const char* name);
// The raw REG_SZ text of a value, or "<missing>".
std::string ReadString(HKEY root, const char* path, const char* name);

// Starts a program (command line as given) from the program folder.
// Returns its process handle (caller closes), or NULL.
HANDLE StartProgram(const std::string& commandLine);
// Runs a program and waits; returns its exit code, or -1 when it did not
// end within timeoutMs (it is then killed).
int RunProgram(const std::string& commandLine, DWORD timeoutMs);

// Waits for a top-level window of the class (NULL: any) whose title contains
// titlePart (NULL: any); NULL when none appears in time.  Messages sent to
// this thread are dispatched while it waits.
HWND WaitForWindow(const char* className, const char* titlePart, DWORD timeoutMs);
// Waits until the window is gone; true when it went.
bool WaitForWindowGone(HWND window, DWORD timeoutMs);
// The explorer's visible sheet (owned by its hidden main window of class
// VardexView), NULL when none; the Wait form waits for it and a moment
// more, for its page to be drawn.
HWND FindExplorerSheet();
HWND WaitForExplorerSheet(DWORD timeoutMs);
// Text of a window or dialog control, read with WM_GETTEXT.
std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);
// Presses a dialog button as a user would.
void ClickButton(HWND dialog, int id);

// Reads a whole file; "" when missing.
std::string ReadFileText(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Runs pending window messages of this thread for about ms milliseconds.
void PumpMessages(DWORD ms);

}  // namespace vxtest

// Registry checks that report the caller's line.
#define EXPECT_REG_STRING(root, path, name, expected) \
    EXPECT_EQ(std::string(expected), vxtest::ReadString((root), (path), (name))) \
        << "value \"" << (name) << "\" under " << (path)
#define EXPECT_REG_MISSING(root, path, name) \
    EXPECT_FALSE(vxtest::ValueExists((root), (path), (name))) \
        << "value \"" << (name) << "\" under " << (path)
