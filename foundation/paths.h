// Folders, files and program paths: the Win32 side of path_text.h, which
// looks up the program, application-data, Windows and system folders and
// hands them to the text rules.  Paths are at most 259 characters; every
// output buffer holds "" when a function fails.
#pragma once
#include <windows.h>

#include "foundation/path_text.h"

// The folder of the running executable, without a trailing "\" (out holds
// VX_PATH).  Returns its length; 0 and "" when the module path is too long.
int GetProgramFolder(char* out, size_t outSize);
template <size_t N> inline int GetProgramFolder(char (&out)[N])
{ return GetProgramFolder(out, N); }

// <AppData>\Vardex, created with its subfolder "vault" (out holds VX_PATH).
// Falls back to the program folder when "AppData" is missing or the vault
// cannot be created.  Returns the length.
int GetAppDataFolder(char* out, size_t outSize);
template <size_t N> inline int GetAppDataFolder(char (&out)[N])
{ return GetAppDataFolder(out, N); }

// True when the file exists.  A path under 32 characters is also looked for
// in the Windows folder and then the system folder; when it is found in the
// system folder, path (VX_PATH bytes) is replaced by that full short path.
int FileExists(char* path);

// The long form of path where the system offers it, else path unchanged
// (out holds VX_PATH).  Returns the conversion's result, 0 when unchanged.
int GetLongPath(const char* path, char* out, size_t outSize);
template <size_t N> inline int GetLongPath(const char* path, char (&out)[N])
{ return GetLongPath(path, out, N); }

// Clears the file's attributes and deletes it.  1 on success.
int DeleteFileForce(const char* path);

// Reads at most *size bytes into a new zero-terminated block (free it with
// FreeTextFile); with crlf set every line feed not already preceded by a
// carriage return becomes CR LF.  *size receives the length of the text in
// the block (without the terminating zero).  NULL, and *size 0, when the
// file cannot be opened or is empty.
char* ReadTextFile(const char* path, DWORD* size, int crlf);
void FreeTextFile(char* block);
// The whole file in a new zero-terminated block (free it with
// FreeTextFile); *size receives its length.  NULL, and *size 0, when the
// file cannot be opened, is empty or larger than limit bytes, or could not
// be read whole (it ended early or grew while it was read): for a file that
// is rewritten from what was read, where a part would lose the rest.
char* ReadWholeFile(const char* path, DWORD limit, DWORD* size);

// Turns a command line into a comparable upper-case file path (out holds
// VX_PATH): SystemRoot and %PROGRAMFILES% resolved, everything after the
// ".EXE"/".DLL" extension dropped, anything before the drive letter dropped.
// Returns the length.  The text rules are ExpandProgramPathText's.
int ExpandProgramPath(const char* command, char* out, size_t outSize);
template <size_t N> inline int ExpandProgramPath(const char* command, char (&out)[N])
{ return ExpandProgramPath(command, out, N); }
// The same for many commands in a row: the folders it reads, read once.
struct ProgramFolders {
    char windows[VX_PATH];
    char programFiles[VX_PATH];
};
void ReadProgramFolders(ProgramFolders* folders);
int ExpandProgramPathIn(const ProgramFolders* folders, const char* command, char* out,
                        size_t outSize);
// The program file as the command spells it (ExpandProgramFileText):
// what the disk is read by; the upper-case form is for comparing.
int ExpandProgramFileIn(const ProgramFolders* folders, const char* command, char* out,
                        size_t outSize);
