// Path and command-line text: the parts of the path utilities that need
// nothing from the system.  The Win32 side (paths.cpp) looks up the Windows
// and Program Files folders and hands them in.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// Size of every path buffer of the system: paths are at most 259 characters.
#define VX_PATH 260

// The text after the last "\" (out holds VX_PATH).  Returns its length; 0
// and "" when path has no "\" or ends in one.
int GetFileNamePart(const char* path, char* out, size_t outSize);
template <size_t N> inline int GetFileNamePart(const char* path, char (&out)[N])
{ return GetFileNamePart(path, out, N); }
// The index just after the last "\" (0 when there is none).
int FileNameOffset(const char* path);

// Appends "\" unless path already ends in one (path holds VX_PATH; a full
// buffer stays as it is).
void AppendBackslash(char* path);
// Removes one trailing "\", unless keepRoot is set and it follows ":" (so
// "C:\" stays a root).
void RemoveTrailingBackslash(char* path, int keepRoot);

// 1 when path is folder itself or lies below it: folder (a trailing "\"
// or not) followed by "\" or the end, ASCII letters compared without case.
// An empty folder holds nothing.
int PathIsInFolder(const char* path, const char* folder);

// The comparable form of a command line (out holds outSize bytes), given
// the Windows folder and the Program Files folder (no trailing "\"):
//  1. a command naming SystemRoot (any case, with or without the "%" signs)
//     starts in the Windows folder, one naming %ProgramFiles% in the
//     Program Files folder; the text before that name is dropped;
//  2. upper case, cut after the four characters of the first ".EXE"-like
//     extension (a "." whose second following character is X or L);
//  3. when a ":" remains, the result starts at the drive letter before the
//     last one.
// Returns the length stored.
int ExpandProgramPathText(const char* command, const char* windowsFolder,
                          const char* programFiles, char* out, size_t outSize);
// The same file as the command spells it: the rules above without the
// upper case.  Read the disk by this form: where names are looked up
// without regard to case by the system rather than by the file system
// (Wine), a path in another case than the file's own costs a read of
// every folder on its way.
int ExpandProgramFileText(const char* command, const char* windowsFolder,
                          const char* programFiles, char* out, size_t outSize);

// Splits a command line into its program and its arguments, each cut to
// its buffer (buffers as long as the command keep both whole).  The
// program is, after any leading blanks: the text inside the quotes when the
// command starts with one (to the end when the quote is not closed); else
// the text up to the end of its first ".exe", ".com", ".bat", ".cmd",
// ".scr" or ".pif" that is followed by a blank or the end (so a path with
// blanks needs no quotes); else the text up to the first blank.  The
// arguments are the rest without the blanks around it, quotes kept.
// Returns the program's length; 0 with both "" for a blank command.
int SplitCommand(const char* command, char* program, size_t programSize, char* arguments,
                 size_t argumentsSize);

// The comparable form of a split command (out holds outSize bytes): the
// program's file name (the text after its last "\" or "/"), then one blank
// and the arguments when there are any; every quote dropped and every "="
// turned into ":".  Two forms are compared ignoring case.  Returns the
// length stored.
int CommandComparableText(const char* program, const char* arguments, char* out,
                          size_t outSize);

// When command contains "RUNDLL32.EXE" (any case): out = the text 13
// characters after the start of that word (the word and one blank
// skipped; "" when the command ends there), result 1.  Else out = command,
// result 0.  out holds VX_PATH.
int RundllTarget(const char* command, char* out, size_t outSize);
template <size_t N> inline int RundllTarget(const char* command, char (&out)[N])
{ return RundllTarget(command, out, N); }

// 1 when part occurs in text ignoring case; a text over 772 characters (or
// a null one) never matches.
int ContainsNoCase(const char* text, const char* part);

// Each copies into out (outSize bytes), cut to outSize - 1 characters.
void SkipBlanks(const char* text, char* out, int outSize);    // leading blanks dropped
void ExtensionOf(const char* text, char* out, int outSize);   // after the first "."; "" when none
void EqualsToColon(const char* text, char* out, int outSize); // "=" -> ":"
void StripQuotes(const char* text, char* out, int outSize);   // every '"' removed
// " " -> "%20", "&" -> "+"; a "%20" that does not fit whole is left out.
void UrlSpaces(const char* text, char* out, int outSize);

// A web address as one quoted argument of a command line: "\"" address
// "\"".  0 with "" in out when the address is empty, holds a double quote
// (it could end the argument early and add arguments of its own) or does
// not fit in outSize - 1.
int QuoteAddress(const char* address, char* out, size_t outSize);
