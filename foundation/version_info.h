// Version resources: what a program says about itself (product, version,
// company, description, copyright), and the versions of our own programs.
#pragma once
#include <stddef.h>

enum { VS_PRODUCT_NAME, VS_PRODUCT_VERSION, VS_COMPANY_NAME, VS_FILE_DESCRIPTION,
       VS_LEGAL_COPYRIGHT, VS_COUNT };
#define VS_SLOT 1024

// The five texts of the file's version resource: for every language of
// its Translation list that has a ProductName, the five names in order (a
// text over 127 characters counts as empty; the last such language wins).
// A ProductName containing "Operating System" is replaced by the
// FileDescription.  All five are "" when the file has no version resource
// or one over 8191 bytes.  Returns 1 when ProductName is non-empty.
int GetVersionStrings(const char* file, char out[VS_COUNT][VS_SLOT]);

// What a listing shows of a file's version resource.
#define KEPT_VERSION_TEXT 128
struct KeptVersion {
    int hasVersion;  // any of the five texts is set
    char productName[KEPT_VERSION_TEXT];
    char productVersion[KEPT_VERSION_TEXT];
    char description[KEPT_VERSION_TEXT];
    char companyName[KEPT_VERSION_TEXT];
};
// The same texts, kept between listings: reading a version resource maps
// the whole file and costs many times a registry walk or a process list,
// and the same files come back at every patrol.  The kept texts of a file
// hold while its size, time and attributes (or its absence) stay as they
// were, provided it had been written well before it was read.
void KeptVersionOf(const char* file, KeptVersion* out);

// The ProductVersion of <program folder>\Vardex.exe, then ":" and that of
// <program folder>\VardexView.exe (of the running module instead when its
// name contains "hijack"); each part only when its file exists (out holds
// VX_PATH).  Returns the length.
int GetOwnVersionText(char* out, size_t outSize);
template <size_t N> inline int GetOwnVersionText(char (&out)[N])
{ return GetOwnVersionText(out, N); }
