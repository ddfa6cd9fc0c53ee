// Text rules of the system-file pieces that need nothing from the system:
// the note file's name, the line-end conversion of the restart-commands
// viewer, the hash that tells a watched file's contents and the names of
// the hidden files' vault copies.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// "note_" + the file's name without its last four characters (its
// extension) + ".txt" (out holds outSize bytes).  A name of four
// characters or fewer is kept whole; every character a file name cannot
// hold ("=" and ":" among them: a ":" would name a stream of another file)
// becomes "_".  Returns the length, 0 and "" when the name is empty.
size_t NoteFileName(const char* fileName, char* out, size_t outSize);

// Copies text[0, length) into out with every line feed not preceded by a
// carriage return written as CR LF; a NUL byte ends the text.  Stops
// before a CR LF pair or character that would not fit (out is always
// terminated).  Returns the length stored.
size_t ExpandLineEnds(const char* text, size_t length, char* out, size_t outSize);

// FNV-1a over 64 bits: start from HASH_START and feed the bytes in as many
// pieces as they come.  It tells contents apart; it is no guard against a
// change crafted to keep the hash.
#define HASH_START 0xcbf29ce484222325ULL
unsigned long long HashBytes(unsigned long long hash, const void* bytes, size_t length);
// The hash of a text with its ASCII letters folded to upper case, as the
// system compares paths.
unsigned long long HashTextNoCase(const char* text);

// 16 upper-case hex digits (out holds 17).  Returns the length.
size_t Hex64Text(unsigned long long value, char* out, size_t outSize);
// 1 and *value when text is exactly 16 hex digits; 0 otherwise (*value
// untouched).
int ParseHex64(const char* text, unsigned long long* value);

// Where the vault keeps a deleted hidden file (out holds outSize bytes, at
// most 260): <hiddenFolder>\<8 hex digits of the hash of the file's folder,
// case folded>\<file name>, ".<variant>" appended from variant 2 on (a name
// another copy holds is never reused).  Two files of one name in two
// folders never share a copy.  When that passes 259 characters the file
// name gives way to 8 hex digits of its own hash: a path is never cut into
// another name.  Returns the length; 0 and "" when path has no folder or
// file name, variant is below 1, or not even the short form fits.
size_t HiddenCopyPath(const char* hiddenFolder, const char* path, int variant, char* out,
                      size_t outSize);

// 1 when path names something inside folder: folder (case ignored), "\",
// then one or more names, none empty, "." or "..", and no "/" or ":"
// anywhere after the folder.  A path read from a file is checked so before
// anything is copied from it.
int PathInsideFolder(const char* path, const char* folder);
