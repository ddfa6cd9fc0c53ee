// Bounded text helpers: the only code in the system that writes into a
// fixed-size character buffer.  Every function here always leaves a
// zero-terminated result inside the buffer it is given, however long its
// input, and reports the length it stored.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stdarg.h>
#include <stddef.h>

// Copies src into out (outSize bytes), cutting it to outSize - 1 characters.
// Returns the length stored.  A null src stores "".
size_t TextCopy(char* out, size_t outSize, const char* src);

// Copies at most count characters of src (fewer when src is shorter).
size_t TextCopyN(char* out, size_t outSize, const char* src, size_t count);

// Appends src to the text already in out, cutting the result to
// outSize - 1 characters.  Returns the new length.
size_t TextAppend(char* out, size_t outSize, const char* src);

// Appends one character when there is room; returns the new length.
size_t TextAppendChar(char* out, size_t outSize, char c);

// printf-style formatting into out, cut to outSize - 1 characters.  The
// format must be a literal of this program: never text read from the
// registry, a file or a translation.
size_t TextFormat(char* out, size_t outSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
size_t TextFormatV(char* out, size_t outSize, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));

// Appends formatted text to out.
size_t TextAppendFormat(char* out, size_t outSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The room a function may use of a buffer of outSize bytes when its
// results never pass limit bytes (its documented size).
inline size_t TextLimit(size_t outSize, size_t limit) { return outSize < limit ? outSize : limit; }

// Cuts text to at most maxLength characters in place.
size_t TextCut(char* text, size_t maxLength);

// Length of text, but never scanning beyond limit characters.
size_t TextLength(const char* text, size_t limit);

// Case-insensitive comparisons over ANSI text (ASCII letters fold).
int TextEqualNoCase(const char* a, const char* b);
// 1 when part occurs in text, ignoring case.  An empty part matches.
int TextFindNoCase(const char* text, const char* part);
// Index of the first case-insensitive occurrence, or -1.
int TextIndexNoCase(const char* text, const char* part);

void TextUpper(char* text);

// Array forms: the buffer size is taken from the array itself.
template <size_t N> inline size_t TextCopy(char (&out)[N], const char* src)
{ return TextCopy(out, N, src); }
template <size_t N> inline size_t TextAppend(char (&out)[N], const char* src)
{ return TextAppend(out, N, src); }
template <size_t N> inline size_t TextAppendChar(char (&out)[N], char c)
{ return TextAppendChar(out, N, c); }

#define TEXT_FORMAT(buffer, ...) TextFormat((buffer), sizeof(buffer), __VA_ARGS__)
#define TEXT_APPEND_FORMAT(buffer, ...) TextAppendFormat((buffer), sizeof(buffer), __VA_ARGS__)

// A copy of text in its own block (free it with free); NULL when memory ran
// out.
char* TextDuplicate(const char* text);

// Room for one more item in a block of items that doubles when full (first:
// the room of a new block).  1 when there is room for item count; 0, with
// the block and its room as they were, when memory ran out.
int GrowBlock(void** block, int* room, int count, size_t itemSize, int first);
template <typename T> inline int GrowBlock(T** block, int* room, int count, int first)
{
    void* untyped = *block;
    int grown = GrowBlock(&untyped, room, count, sizeof(T), first);
    *block = (T*)untyped;
    return grown;
}
