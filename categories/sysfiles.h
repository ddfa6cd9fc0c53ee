// Watched system files: the HOSTS file and the boot files.  Each has a
// record under HKLM Software\Quillon\Vardex\Sysfiles\<name> (Location,
// Date, Size, Type, Comment; Written and Hash tell the accepted contents)
// and a copy in the vault folder, the version the user last accepted.  A
// change is asked about (ALERT_FILECHANGE); Accept makes the new file the
// vault copy, Reject puts the vault copy back.  Copies never leave a
// half-written file: they go to a temporary file that is renamed over the
// old one.
#pragma once
#include "foundation/category_record.h"

// The HOSTS path: the system folder's drivers\etc\HOSTS on the NT family,
// the Windows folder's HOSTS on 95/98/Me (out holds VX_PATH).  Returns the
// length, 0 when the folder is unknown.
int GetHostsPath(char* out);

// <vault folder>\<name> (out holds VX_PATH); the vault folder is created
// when missing.  0 and "" when the path does not fit or the folder cannot
// be made.
int SysFileVaultPath(const char* name, char* out);

// Creates Sysfiles\<name>; when the file exists, copies it to the vault and
// then writes Date, Size, Type, Comment and Location, and from the copy the
// full last-write time and the hash of the bytes ("Written", "Hash": a
// change is a change of contents).  1 when the copy succeeded; a missing
// file leaves an empty record (never examined).
int RegisterSysFile(const char* name, const char* path, const char* comment, int type);

// The set-up: when the default value of Sysfiles is empty, registers
// HOSTS, Autoexec.bat and Config.sys and writes today's date there.
// 1 when the store is set up (now or before).
int InitSysFiles();

// Compares the file with its record and asks about a change: new contents
// (for a record without "Hash", from an older store: a new date, and for
// type 0 a new size too).  The option "HideSystemFiles": 0 asks, 1
// accepts, others reject without asking; ANSWER_DISABLE and
// ANSWER_REJECT_AND_STOP also end the watch.  1 when a change was answered
// and carried out, else 0.
int CheckSysFile(const char* name, const char* path);
// CheckSysFile for every record with a Location; returns how many changes
// were carried out.
int CheckAllSysFiles();

// The answers.  Accept: the file becomes the vault copy, then its record
// takes the copy's Date, Size, full time and hash; with stopWatching the
// record loses its Location (no further checks).  Reject: the vault copy
// is written back over the file and the record takes the same facts; with
// stopWatching the record goes instead.  1 on success; a
// failed copy tells NOTICE_SYSTEM_ERROR and changes nothing else.
int AcceptSysFileChange(const char* name, const char* path, int stopWatching);
int RejectSysFileChange(const char* name, const char* path, int stopWatching);

// Opens the file in notepad.exe, its path given quoted (one argument even
// with blanks); a failure is told as NOTICE_SYSTEM_ERROR.
int ViewInNotepad(const char* file);
// ViewInNotepad on the HOSTS file; without one, text 736 is told.
int ViewHosts();

// Copies source over target through a temporary file beside target that
// is renamed over it; target keeps its attributes (a read-only target is
// replaced too).  1 on success; on failure target is untouched and the
// last error is the copy's.
int ReplaceFileWithCopy(const char* source, const char* target);

// Tells NOTICE_SYSTEM_ERROR with the code and the system's text.
void TellSystemError(DWORD code);

extern const Category g_SysFilesCategory;
