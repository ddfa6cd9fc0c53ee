// The text of a note file as the information dialog's note field shows it.
//
// Plain text logic only: no Windows header, so this also builds with the
// host compiler.
#pragma once
#include <stddef.h>

// The most of a note file that is read (1 MB).  A longer note cannot be
// saved from the dialog, so nothing of it is lost: its beginning is shown
// (NOTE_SHOWN_BYTES, which a read-only view needs no more of).
#define NOTE_MAX_BYTES (1024 * 1024)
#define NOTE_SHOWN_BYTES (64 * 1024)

// The room NoteFieldText needs for length bytes of a note.
inline size_t NoteFieldRoom(size_t length) { return 2 * length + 1; }

// The bytes of a note as a multi-line field shows them: a line feed
// without its carriage return gets one (files written by other editors),
// a NUL byte becomes a blank (the field would end the text there).  Every
// other byte is kept.  out holds outSize bytes; a pair is never split at
// the end.  Returns the length stored.
size_t NoteFieldText(const char* bytes, size_t length, char* out, size_t outSize);
