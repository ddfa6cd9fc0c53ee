// The lines of a registry script, as the registry editor writes them and the
// system's import reads them back.  Plain text logic only (no Windows
// header): the Win32 side reads the keys and hands names, types and bytes in.
//
// The script is 8-bit ANSI text.  Data that has no quoted text form (a text
// holding a line end or a zero, a text without its terminating zero, every
// type but REG_SZ and a 4-byte REG_DWORD) is written as hexadecimal bytes,
// exactly as the registry gave them through the ANSI interface: the import
// reads the bytes of hex(1), hex(2) and hex(7) data of an ANSI script as
// ANSI text, so the value comes back byte for byte.
#pragma once
#include <stddef.h>

// The value types this writer knows by name (the numbers of winnt.h).
enum RegTextType {
    REG_TEXT_NONE = 0, REG_TEXT_SZ = 1, REG_TEXT_EXPAND_SZ = 2, REG_TEXT_BINARY = 3,
    REG_TEXT_DWORD = 4, REG_TEXT_MULTI_SZ = 7
};

// Hexadecimal data lines are cut after a comma once they pass this column,
// and go on after a backslash, a line end and two blanks.
#define REG_TEXT_WRAP_COLUMN 76

// A growing block of script text.  Start it zeroed ({}); Failed is set, and
// nothing more is added, once memory ran out.
struct RegText {
    char* Data;    // Length characters, zero-terminated once anything was added
    size_t Length;
    size_t Room;
    int Failed;
};

// Frees the block and zeroes the text.
void RegTextFree(RegText* text);

// Empties the text, keeping its room (and clearing Failed).
void RegTextClear(RegText* text);

// Appends count characters.  0 once memory ran out.
int RegTextAdd(RegText* text, const char* chars, size_t count);

// Appends "[<root>\<path>]" and CR LF.
void RegAppendKeyLine(RegText* text, const char* root, const char* path);

// Appends the line of one value: the quoted, escaped name ("@" for the
// empty name), "=", the data by its type, CR LF.  Returns 1, or 0 with
// nothing added when the name holds a line end: such a name has no form
// the import reads.
int RegAppendValueLine(RegText* text, const char* name, unsigned long type,
                       const unsigned char* data, size_t size);
