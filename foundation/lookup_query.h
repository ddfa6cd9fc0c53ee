// The addresses of the online lookup and of the version check, as text:
// what a program file says about itself, put into a query the vendor's
// lookup service reads.  The Win32 side (lookup.cpp) gathers the values.
//
// Every value is encoded the one way the service expects: a blank becomes
// "%20", "&" becomes "+", letters, digits and "-" "_" "." "~" stay, and
// every other byte becomes "%XX" (so a quote, "#", "%", "+", "=", "?",
// control bytes and bytes above 127 never reach the address raw).  An
// address is therefore one argument of any command line and one value of
// any query, whatever the file's texts hold.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// Size of the buffer every lookup address is built in (at most 2047
// characters, below the browsers' address limit).
#define LOOKUP_ADDRESS 2048

// What the query tells of a program.  A NULL text counts as "".
struct LookupFields {
    const char* Program;      // the file part, or the name that was given
    const char* Extension;    // after the first "." of Program
    const char* Company;
    const char* Version;      // ProductVersion
    const char* ProductName;
    const char* Copyright;
    const char* Description;  // FileDescription
    const char* Created;      // the file's creation time
    const char* Detected;     // its first-detected date
    const char* Size;         // its size text
    const char* Path;         // the path as it was given
    int TypeCode;
    const char* Language;     // the "Loc" code
    const char* Build;        // our own version text
};

// The lookup address: the short form (longForm 0: program, vendor,
// version, build, Type, Loc, ext) or the long one (plusinfo12: then also
// name, copy, detail, created, detected, fsize, path).  When the values do
// not all fit in outSize - 1 characters, the longest are cut (between
// whole escapes) until they do; every "&<name>=" stays.  Returns the
// length; 0 and "" when not even the address without values fits.
size_t BuildLookupQuery(const LookupFields* fields, int longForm, char* out, size_t outSize);

// 1 when text is an http or https address (any case) with something after
// the "//", and with no blank, control byte, quote or byte above 126 in
// it: an address that is safe to hand to a browser.
int IsWebAddress(const char* text);

// The version-check address: the first of configured (the registry's),
// fallback (the string table's) and the built-in address that is a web
// address and fits with the two names, followed by "&build=" and
// "&Loc=" with their encoded values (cut like the lookup's).  Returns the
// length; 0 and "" when outSize has no room for the built-in address.
size_t BuildVersionCheckAddress(const char* configured, const char* fallback, const char* build,
                                const char* language, char* out, size_t outSize);
