// Running programs: the enumeration every process question starts from,
// finding a program by its file, and ending it.  Both programs and the
// startup code use it (ending a startup program before its entry goes), so
// it lives here and asks the user only through foundation/ui.h.
//
// The system functions are looked up at run time: PSAPI's process ids and,
// where the system has it, QueryFullProcessImageName for the path (one
// cheap call that also reads processes PSAPI cannot); PSAPI's module names
// otherwise; the ToolHelp snapshot on Windows 95/98/Me.  The 16-bit tasks
// inside an NTVDM.EXE come from VDMDBG.DLL when it is present.
#pragma once
#include <windows.h>

// Longest 16-bit module name reported (with its terminating zero).
#define PROCESS_MODULE 10

// Called once per running program: its process id, its 16-bit task handle
// (0 for a 32-bit program), its module name ("" unless a 16-bit task) and
// the full path of its program file ("" when it cannot be read: the process
// could not be opened or its name not read).  Returning 0 stops the
// enumeration.
typedef int (*ProcessCallback)(DWORD processId, WORD task16, const char* module,
                               const char* path, void* data);

// Calls callback for every running program, the 16-bit tasks of an
// NTVDM.EXE after that process itself.  Returns 1 when the enumeration ran
// (also when the callback stopped it), 0 when the system offers no way to
// list processes.
int EnumProcs(ProcessCallback callback, void* data);

// Reads every running process id into a new block (free it with
// FreeProcessIds); the first request asks for firstCapacity ids and the
// block is doubled while the system fills it.  Returns the count, or -1
// (and *ids NULL) when the ids cannot be read.
int ReadAllProcessIds(DWORD** ids, int firstCapacity);
void FreeProcessIds(DWORD* ids);

// Called once per distinct program file: the first process of it, its
// path as read and its comparable form (ExpandProgramPath: upper case,
// arguments dropped).  Processes whose path cannot be read are left out.
// Returning 0 stops.
typedef int (*ProgramCallback)(DWORD processId, const char* path, const char* comparable,
                               void* data);

// Returns the number of programs reported, or -1 when processes cannot be
// listed.
int EnumPrograms(ProgramCallback callback, void* data);

// The number of distinct running program files: the count the running-task
// list has, without reading any version information.  The monitor's
// process-count check compares it between notices; 0 when processes cannot
// be listed.
int CountRunningPrograms();

// 1 when a process path is the program that file names: the comparable
// forms are equal, or file is exactly the file-name part of the path (a
// bare "NAME.EXE" matches that program in any folder).  An empty file or
// an empty path never matches.
int ProcessMatchesFile(const char* path, const char* file);

// The id of the first running process whose program matches file, or 0.
DWORD FindProcessByFile(const char* file);

// Ends the first running process whose program matches file.  With ask
// set, text 707 (filled with name, or with file when name is empty) is
// confirmed first through the UI seam; anything but yes leaves it running.
// The process's path is checked again on the opened handle (the id may
// have been reused since the list was taken); it is ended with exit code 1
// and, once it has really ended, a history line (name, file, type 600,
// TASK_Kill) is written and the taskbar repainted.  Returns the process id
// (also when the user declined or the termination failed), 0 when no such
// program runs or it cannot be opened.
DWORD KillProcessByFile(const char* file, const char* name, int ask);

// As KillProcessByFile without a question; 1 only when a process was
// ended.
int EndProcessOfFile(const char* file, const char* name);

// Ends the process id, but only when it is still the program of path (the
// path the list entry was made from: the id may belong to another program
// by now).  Waits until it has ended.  1 when it ended; 0 when it does not
// run, runs another program, cannot be opened or would not end.  Writes no
// history (the explorer's list does, with the entry's own texts).
int KillProcessById(DWORD processId, const char* path);

// Ends the program of a command line ("C:\App\app.exe" /min ...) when it
// runs.  1 when a process was ended.
int EndProgramIfRunning(const char* command);
