// Text rules of the system-file pieces that need nothing from the system:
// the note file's name and the line-end conversion of the restart-commands
// viewer.
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
