// Restart commands and the delayed delete against the prefix's real files
// and registry (Wine is of the NT family: the system keeps delayed deletes
// in PendingFileRenameOperations; there is no wininit.exe unless a test
// puts one in the Windows folder).
#include "categories/restart_commands.h"
#include "foundation/paths.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

TEST(RestartCommands, WinInitLinesAndTheirViewer)
{
    std::string ini = vxtest::PathInProgramFolder("wininit_test.ini");
    DeleteFileA(ini.c_str());
    EXPECT_EQ(2,
        AppendWinInitDelete(ini.c_str(), "C:\\PROGRA~1\\BAD.EXE")
            + AppendWinInitDelete(ini.c_str(), "C:\\X.DLL"));
    EXPECT_EQ(
        "[rename]\r\nNUL=C:\\PROGRA~1\\BAD.EXE\r\nNUL=C:\\X.DLL\r\n", vxtest::ReadFileText(ini));
    EXPECT_EQ(0, AppendWinInitDelete("C:\\no such folder\\wininit.ini", "C:\\X"));

    // The NT family has no wininit.exe: no commands, whatever the file says.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string exe = std::string(windows) + "\\wininit.exe";
    vxtest::WriteFileBytes(
        std::string(windows) + "\\wininit.ini", std::string(16384, '\n') + "tail");
    EXPECT_EQ(0, RestartCommandsPresent());
    vxtest::ScriptedUi user;
    user.confirm = 1;
    EXPECT_TRUE(g_RestartCommandsCategory.Patrol(&g_RestartCommandsCategory) == 0
        && user.confirmations.empty());

    // With one (as on 95/98/Me): found, asked once, the row rests.
    vxtest::WriteFileBytes(exe, "MZ");
    EXPECT_EQ(1, RestartCommandsPresent());
    EXPECT_EQ(99999, g_RestartCommandsCategory.Patrol(&g_RestartCommandsCategory));
    ASSERT_TRUE(user.notices.size() == 1);
    EXPECT_TRUE(user.notices[0].first == NOTICE_SHOW_RESTART_COMMANDS);
    // Line feeds only: every one doubled, within the viewer's buffer; only
    // the first 16384 bytes are read.
    static char text[RESTART_TEXT_SHOWN + 16];
    memset(text, '#', sizeof(text));
    EXPECT_EQ(2 * 16384, ReadRestartCommands(text, RESTART_TEXT_SHOWN));
    EXPECT_EQ('#', text[RESTART_TEXT_SHOWN]);
    DeleteFileA(exe.c_str());  // the rest of this program runs as on the NT family
    char path[MAX_PATH], appData[MAX_PATH];
    ASSERT_GT(GetAppDataFolder(appData), 0);
    ASSERT_GT(NotePath("C:\\Tools\\Report.exe /x", path), 0);
    EXPECT_STRCASEEQ((std::string(appData) + "\\note_REPORT.txt").c_str(), path);
    std::string local = vxtest::PathInProgramFolder("note_REPORT.txt");
    vxtest::WriteFileBytes(local, "my note");
    ASSERT_GT(NotePath("C:\\Tools\\Report.exe", path), 0);
    EXPECT_STRCASEEQ(local.c_str(), path);
    EXPECT_EQ(0, NotePath("", path));
    // A delayed delete is arranged with the system.
    std::string doomed = vxtest::PathInProgramFolder("goes_at_restart.tmp");
    vxtest::WriteFileBytes(doomed, "x");
    SetFileAttributesA(doomed.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(1, DeleteOnRestart(doomed.c_str()));
    // The first entry of a fresh prefix's list (read up to its first NUL).
    EXPECT_NE(std::string::npos,
        vxtest::ReadString(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations")
            .find("goes_at_restart.tmp"));
    EXPECT_EQ(
        0u, GetFileAttributesA(doomed.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(0, DeleteOnRestart("") + DeleteOnRestart(NULL));
}

}  // namespace
