// wininit.ini: whether it holds commands, its text for the viewer, adding a
// delete; the delayed delete of the NT family; the note file's path.
#include "categories/restart_commands.h"

#include <string.h>

#include "categories/sys_text.h"
#include "foundation/handles.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "foundation/utils.h"

static int InWindowsFolder(const char* name, char* out)
{
    out[0] = '\0';
    char folder[VX_PATH];
    UINT n = GetWindowsDirectoryA(folder, VX_PATH);
    if (n == 0 || n >= VX_PATH)
        return 0;
    RemoveTrailingBackslash(folder, 0);
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\%s", folder, name);
    if (strlen(path) >= VX_PATH)
        return 0;
    return (int)TextCopy(out, VX_PATH, path);
}

int WinInitPath(char* out)
{
    return InWindowsFolder("wininit.ini", out);
}

int RestartCommandsPresent()
{
    char exe[VX_PATH];
    char ini[VX_PATH];
    if (!InWindowsFolder("wininit.exe", exe) || GetFileAttributesA(exe) == INVALID_FILE_ATTRIBUTES)
        return 0;
    if (!WinInitPath(ini))
        return 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(ini, GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow != 0 || data.nFileSizeHigh != 0;
}

int ReadRestartCommands(char* out, size_t outSize)
{
    if (outSize > 0)
        out[0] = '\0';
    char ini[VX_PATH];
    if (!WinInitPath(ini))
        return 0;
    DWORD size = RESTART_TEXT_READ;
    char* text = ReadTextFile(ini, &size, 0);
    if (text == NULL)
        return 0;
    size_t length = ExpandLineEnds(text, size, out, outSize);
    FreeTextFile(text);
    return (int)length;
}

int AppendWinInitDelete(const char* iniPath, const char* shortPath)
{
    int hasSection = 0;
    DWORD size = 1 << 20;
    char* text = ReadTextFile(iniPath, &size, 0);
    if (text != NULL) {
        hasSection = TextFindNoCase(text, "[rename]");
        FreeTextFile(text);
    }
    FileHandle file(CreateFileA(iniPath, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return 0;
    SetFilePointer(file.Get(), 0, NULL, FILE_END);
    char line[VX_PATH + 32];
    TEXT_FORMAT(line, "%sNUL=%s\r\n", hasSection ? "" : "[rename]\r\n", shortPath);
    DWORD written = 0;
    DWORD length = (DWORD)strlen(line);
    return WriteFile(file.Get(), line, length, &written, NULL) && written == length;
}

int DeleteOnRestart(const char* file)
{
    if (file == NULL || file[0] == '\0')
        return 0;
    SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
    if (IsWindowsNT())
        return MoveFileExA(file, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
    char shortPath[VX_PATH];
    DWORD n = GetShortPathNameA(file, shortPath, VX_PATH);
    if (n == 0 || n >= VX_PATH)
        return 0;
    char ini[VX_PATH];
    if (!WinInitPath(ini))
        return 0;
    return AppendWinInitDelete(ini, shortPath);
}

int ProgramFileToDelete(const char* command, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    TextCopy(out, outSize, "");
    if (command == NULL)
        return 0;
    char program[VX_PATH], arguments[VX_PATH];
    if (SplitCommand(command, program, sizeof(program), arguments, sizeof(arguments)) == 0)
        return 0;
    const char* name = program + FileNameOffset(program);
    if (TextEqualNoCase(name, "rundll32.exe") || TextEqualNoCase(name, "rundll32")) {
        // The DLL and its entry point: "C:\x\y.dll,Entry args".
        char dll[VX_PATH], rest[VX_PATH];
        SplitCommand(arguments, dll, sizeof(dll), rest, sizeof(rest));
        char* comma = strchr(dll, ',');
        if (comma != NULL)
            *comma = '\0';
        TextCopy(program, dll);
    }
    char file[VX_PATH];
    ExpandProgramPath(program, file);
    if (file[0] == '\0' || !FileExists(file) ||
        (GetFileAttributesA(file) & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 0;
    char folder[VX_PATH];
    GetProgramFolder(folder);
    TextCopy(out, outSize, file);
    if (IsOwnProgramCommand(file) || PathIsInFolder(file, folder))
        return -1;
    return 1;
}

int NotePath(const char* file, char* out)
{
    out[0] = '\0';
    char expanded[VX_PATH];
    ExpandProgramPath(file, expanded);
    char fileName[VX_PATH];
    if (GetFileNamePart(expanded, fileName) == 0)
        TextCopy(fileName, expanded);
    char note[VX_PATH];
    if (NoteFileName(fileName, note, sizeof(note)) == 0)
        return 0;
    char folder[VX_PATH];
    char path[VX_PATH * 2];
    if (GetProgramFolder(folder) > 0) {
        TEXT_FORMAT(path, "%s\\%s", folder, note);
        if (strlen(path) < VX_PATH && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            return (int)TextCopy(out, VX_PATH, path);
    }
    if (GetAppDataFolder(folder) == 0)
        return 0;
    TEXT_FORMAT(path, "%s\\%s", folder, note);
    if (strlen(path) >= VX_PATH)
        return 0;
    return (int)TextCopy(out, VX_PATH, path);
}

// --- The category row ---------------------------------------------------------

static int RestartCommandsCanRun()
{
    return !IsWindowsNT();
}

// Commands found: asked once, then the row rests (the commands stay until
// the next boot; asking on every patrol would only nag).
static int PatrolRestartCommands(const Category*)
{
    if (!RestartCommandsPresent())
        return 0;
    if (UiConfirmText(28))
        UiNotify(NOTICE_SHOW_RESTART_COMMANDS, "");
    return 99999;
}

const Category g_RestartCommandsCategory = {
    "Win INIT file",         // Label
    NULL,                    // DetectedSubkey
    NULL,                    // BaselineKey
    OPT_WinInit,
    -1,                      // RealtimeOption
    -1,                      // HideOption: a yes/no question
    1,                       // second half
    NULL, NULL,  // asks with UiConfirm, never an alert
    0,
    RestartCommandsCanRun,
    PatrolRestartCommands,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
};
