// Restart commands: the file wininit.ini in the Windows folder, which
// wininit.exe carries out at the next boot of Windows 95/98/Me ("NUL="
// deletes a file, "REN=" renames one); deleting a file at the next start on
// either family; and the path of the user's note about a program file.
#pragma once
#include <stddef.h>

#include "foundation/category_record.h"

// The most of wininit.ini that is read and shown.
#define RESTART_TEXT_READ 16384
// What the text can grow to when every byte is a lone line feed.
#define RESTART_TEXT_SHOWN (2 * RESTART_TEXT_READ + 1)

// <Windows folder>\wininit.ini (out holds VX_PATH).  0 when unknown.
int WinInitPath(char* out);

// 1 when wininit.exe is in the Windows folder and wininit.ini there is not
// empty: commands wait for the next start.  (ShowRestartCommands with the
// quiet flag.)
int RestartCommandsPresent();

// The first RESTART_TEXT_READ bytes of wininit.ini with CR LF line ends
// (out holds outSize bytes, RESTART_TEXT_SHOWN for the whole of it).
// Returns the length, 0 when there is no file.
int ReadRestartCommands(char* out, size_t outSize);

// Arranges for the file to be deleted at the next start: its attributes
// cleared, then on the NT family a delayed delete by the system, on
// 95/98/Me a "NUL=" line in wininit.ini.  1 when arranged, 0 when the
// system refused or wininit.ini could not be written.
int DeleteOnRestart(const char* file);

// The program file a command starts, for deleting it at the next start
// (out holds VX_PATH): the program of the command (quotes and arguments
// dropped; a DLL run by RUNDLL32 rather than RUNDLL32 itself), found as
// FileExists finds it.  Returns 1 when it exists; 0 when there is none
// (out ""); -1 when it is one of our own files (our programs anywhere,
// anything in the program folder), which is never deleted (out the file).
int ProgramFileToDelete(const char* command, char* out, size_t outSize);

// Appends "NUL=<shortPath>" CR LF to the given wininit.ini, after a
// "[rename]" line when the file has none (wininit.exe reads only that
// section).  The file is created when missing.  1 when written whole.
int AppendWinInitDelete(const char* iniPath, const char* shortPath);

// The note file of a program file: "note_<name without extension>.txt" in
// the program folder when it is there, else in the app-data folder (out
// holds VX_PATH).  Returns the length, 0 when no name can be made.
int NotePath(const char* file, char* out);

extern const Category g_RestartCommandsCategory;
