// The text side of the cookie stores: walking the lines of a cookies.txt
// block, splitting one line into its seven tab-separated fields, and the
// filter texts ("nuts") a line is tested against.  A block may hold any
// bytes (a damaged file, a NUL in the middle): every function here takes
// lengths and never reads past them.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// One line of a block: its text (without the line end) and its whole
// extent (with the line end, "\r\n" or "\n"; none on a last line without
// one).  A rewrite copies [Start, Start + Extent) byte for byte.
struct BlockLine {
    size_t Start;
    size_t Length;   // text only
    size_t Extent;   // text and line end
};

// The line that starts at *pos (a "\r" before the "\n" is not part of the
// text).  Returns 0 when *pos is at or past size; otherwise fills line and
// moves *pos past it.
int NextBlockLine(const char* block, size_t size, size_t* pos, BlockLine* line);

// The fields of a Netscape-format cookie line: pointers into the line and
// their lengths (not zero-terminated).
enum { COOKIE_DOMAIN, COOKIE_SUBDOMAINS, COOKIE_PATH, COOKIE_SECURE, COOKIE_EXPIRY,
       COOKIE_NAME, COOKIE_VALUE, COOKIE_FIELDS };
struct CookieFields {
    const char* Field[COOKIE_FIELDS];
    size_t Length[COOKIE_FIELDS];
};

// Splits a line at tabs into the seven fields (the value is everything
// after the sixth tab).  The domain loses one leading ".".  Returns 1 for a
// cookie: seven fields, a domain that does not start with "#" and is not
// empty.  Comment lines, blank lines, lines with fewer tabs: 0.
int SplitCookieLine(const char* line, size_t length, CookieFields* fields);

// Seconds since 1970 of the expiry field: its digits, 1 when there were
// any and they fit in 63 bits, else 0 (out 0).
int CookieExpiry(const CookieFields* fields, long long* out);

// "domain - name" of a cookie (out holds outSize bytes, cut to fit; a NUL
// inside a field ends it there).  Returns the length stored.
size_t CookieKeyText(const CookieFields* fields, char* out, size_t outSize);

// Copies one field, zero-terminated and cut to outSize - 1 characters.
size_t CookieFieldText(const CookieFields* fields, int field, char* out, size_t outSize);

// Case-insensitive search of part (zero-terminated) in text[0, length):
// 1 when it occurs.  An empty part never matches here: a blank filter
// would remove every cookie.
int ContainsNoCaseN(const char* text, size_t length, const char* part);

// 1 when the text holds no character other than blanks and tabs.
int IsBlankText(const char* text);

// The filter texts in memory: each a copy of its text and its mode (1 a
// standing filter, 2 a one-time removal named by a cookie's key text).
#define NUT_TEXT 512
struct Nut {
    char Text[NUT_TEXT];
    int Mode;
};
struct NutTable {
    Nut* Items;
    int Count;
    int Capacity;
    int Keys;      // filters whose text holds " - ": they may name a cookie
    int LineEnds;  // filters holding a CR or LF (they match within a line only)
};

void NutTableInit(NutTable* table);
void NutTableFree(NutTable* table);
// Adds a filter; a blank text, or one over 511 characters, is refused.
// 1 when added.
int NutTableAdd(NutTable* table, const char* text, int mode);
// 1 when any filter text occurs in text[0, length), ignoring case.
int NutTableMatches(const NutTable* table, const char* text, size_t length);
// 1 when a filter's text equals key exactly, ignoring case.
int NutTableNames(const NutTable* table, const char* key);

// Whether a cookies.txt line goes when filtering: the whole line holds a
// filter text, or a filter is named by its "domain - name" key.  Comment
// and other non-cookie lines go only on the first rule.
int CookieLineFiltered(const NutTable* table, const char* line, size_t length);

// Drops from block[0, size) every line CookieLineFiltered removes, with its
// line end, closing up the rest in place: the kept lines stay byte for byte
// as they were, in order, at the start of the block.  Returns their length.
size_t FilterCookieBlock(const NutTable* table, char* block, size_t size);
