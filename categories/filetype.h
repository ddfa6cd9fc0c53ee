// File type associations: for each monitored extension, the class and the
// "open" command Windows would use, recorded under HKCU
// Software\Quillon\Vardex (Class, Ext, ExtApp, ExtProgID, ExtRoot,
// ClassApp, ClassProgID, ClassRoot, ExtType), and the patrol that asks
// when the program behind an extension changes (or, with "LockFileTypes",
// quietly puts it back).
//
// Kinds: 1 HKLM Software\Classes\.ext, 2 the Explorer's "Application"
// choice, 3 its "ProgID" choice, 4 HKCR .ext (save and restore only).
#pragma once
#include <stddef.h>
#include "foundation/category_record.h"

#define VX_CLASS_KEY      "Software\\Quillon\\Vardex\\Class"
#define VX_EXT_KEY        "Software\\Quillon\\Vardex\\Ext"
#define VX_EXTAPP_KEY     "Software\\Quillon\\Vardex\\ExtApp"
#define VX_EXTPROGID_KEY  "Software\\Quillon\\Vardex\\ExtProgID"
#define VX_EXTROOT_KEY    "Software\\Quillon\\Vardex\\ExtRoot"
#define VX_CLASSROOT_KEY  "Software\\Quillon\\Vardex\\ClassRoot"
// The recorded commands of kinds 2 and 3 (kind 1's are in Class, beside
// the list, kind 4's in ClassRoot): one class may open with another
// command in the user's own classes than in the machine's.
#define VX_CLASSAPP_KEY    "Software\\Quillon\\Vardex\\ClassApp"
#define VX_CLASSPROGID_KEY "Software\\Quillon\\Vardex\\ClassProgID"
#define VX_EXTTYPE_KEY    "Software\\Quillon\\Vardex\\ExtType"
#define FILEEXTS_KEY      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"

enum { FILETYPE_CODE = 400 };
// Room for a command read or recorded; a longer one is read cut.
#define FILETYPE_COMMAND 2048
// The monitored list holds at most this many characters.
#define FILETYPE_LIST_MAX 1019

enum {
    TXT_FILETYPE_DEFAULT_LIST = 750, TXT_FILETYPE_ADD_PROMPT = 751,
    TXT_FILETYPE_ADD_TITLE = 752, TXT_FILETYPE_ADD_BUTTON = 753,
    TXT_FILETYPE_ALREADY = 762, TXT_FILETYPE_LIST_FULL = 763, TXT_FILETYPE_INVALID = 764
};

// Reads one association of ext ("txt", ".txt" and "..TXT" alike) of kind
// 1-4 into className and command (each holds FILETYPE_COMMAND).  1 when
// both the class and the command are there; else 0 with both outputs "".
// An extension with a "\", a ";" or a blank names nothing.
int FileTypeCommand(const char* ext, int kind, char* className, char* command);

// Records the association as it is now (class, and the command exactly as
// written, under the kind's own record).  1 when recorded; 0 for a kind
// outside 1-4 or no association.
int SaveFileType(const char* ext, int kind);
// Writes the recorded association back (kind 4: only the extension's
// class).  Kinds 2 and 3 without a record of their own take the command an
// older version recorded for their class in Class.  1 when something was
// written.
int RestoreFileType(const char* ext, int kind);

// Empties the list and adds one entry per monitored extension and kind
// 1-3 that has an association: Name = the type's description (else the
// product name of the command's file), Command = the open command, Extra =
// the class (the file's description when the type has none), Info = ".EXT",
// Code 400, Flag = the kind.  Returns the count.
int EnumFileTypes(ItemList* list);

// Sets the store up (the list, the keys, the recorded associations) unless
// it is; also takes the associations again when the marker is of the old
// length.  Called at the start of both programs.
void CreateClassInfo();

// The monitored list (out holds FILETYPE_LIST_MAX + 1); "" when none.
int ReadFileTypeList(char* out, int outSize);

// Adds an extension to the monitored list and records its associations.
// 0 when added; else the id of the message to show: 764 (empty, or holds
// ";", "\" or a blank), 763 (the list is full), 762 (already monitored).
int AddFileType(const char* ext);
// Takes ext off the list and forgets its recorded class (and that class's
// command unless another listed type uses it).  1 when it was listed.
int RemoveFileType(const char* ext);

// The icon of a type (file holds VX_PATH): its class's DefaultIcon ("file,
// index"), else the command's program file and index 0.  1 when found.
int FileTypeIcon(const char* ext, int kind, char* file, int* index);

// The patrol step.  Returns the number of changes asked about.
int PatrolFileTypes();

// The comparable form of a command (out holds FILETYPE_COMMAND): the file
// name of its program (a short 8.3 name in its long form) and its
// arguments, quotes dropped and "=" turned into ":" (CommandComparableText).
// A program moved to another folder compares equal; another program, or
// the same one given other arguments, does not.
void FileTypeComparable(const char* command, char* out, size_t outSize);
template <size_t N> inline void FileTypeComparable(const char* command, char (&out)[N])
{ FileTypeComparable(command, out, N); }

// The row: first half, period "FileType", real-time "RealtimeFileType",
// auto answer "HideFileType", the file-type alert; reloads changed options
// before its step.
extern const Category g_FileTypesCategory;
