// The registry store shared by the monitor and the explorer.  Every function
// opens and closes its key within the call and keeps no handle; the root is
// always given explicitly.  Failures are quiet: a failed read leaves "" in
// the output and returns 0.
#pragma once
#include <windows.h>

// Where registry failures are noted (the trace installs itself here; NULL:
// nowhere).  Nothing is ever shown to the user.
extern void (*g_RegistryNote)(const char* note, const char* what);

#define VX_KEY            "Software\\Quillon\\Vardex"
#define VX_PARENT_KEY     "Software\\Quillon"
#define VX_OPTIONS_KEY    VX_KEY "\\Options"
#define VX_RUN_KEY        VX_KEY "\\Run"
#define VX_DETECTED_KEY   "Software\\Quillon\\Detected"
#define VX_SYSFILES_KEY   VX_KEY "\\Sysfiles"
#define VX_DISABLED_KEY   VX_KEY "\\Disabled"
#define WIN_RUN_KEY       "Software\\Microsoft\\Windows\\CurrentVersion\\Run"

// Value data longer than this many bytes is never read.
#define VX_REG_TEXT_MAX   1024

// Creates the key and any missing parents.  1 on success, 0 on failure.
int RegCreateKeyPath(HKEY root, const char* path);

// Reads a REG_SZ or REG_EXPAND_SZ value (empty name: the default value).  A
// REG_EXPAND_SZ text is expanded (at most 1023 characters).  Returns the
// length stored in out when the text fits in outSize - 1 characters.  In every
// other case -- key or value missing, data over 1024 bytes, a value of another
// type, text too long for out -- out holds "" and the result is 0 (so an
// existing empty value also reads as absent).
int RegReadString(HKEY root, const char* path, const char* name, char* out, int outSize);

// What a key looked like at one moment: its last write time and how many
// values and subkeys it held (ok 0: it could not be opened).  A value set or
// a subkey made or deleted changes it.
struct KeyStamp {
    int ok;
    FILETIME written;
    DWORD values, subkeys;
};
void StampKey(HKEY root, const char* path, KeyStamp* stamp);
int SameKeyStamp(const KeyStamp& a, const KeyStamp& b);

// Writes name as REG_SZ, creating the key when it cannot be opened.  1 or 0.
int RegWriteString(HKEY root, const char* path, const char* name, const char* text);

// Writes a 4-byte REG_DWORD, creating the key when needed.  1 or 0.
int RegWriteDword(HKEY root, const char* path, const char* name, DWORD value);

// Reads a REG_DWORD as byte0 + 256 * byte1, each low byte taken as a signed
// 8-bit number (so 1..4 and 0x400 come back unchanged).  0 when the key or
// value is missing or the value is not a DWORD.
int RegReadDword(HKEY root, const char* path, const char* name);

// Deletes one value.  1 when it was deleted, 0 when the key would not open
// or the value was not there.
int RegDeleteValueNamed(HKEY root, const char* path, const char* name);

// Deletes a key with all its subkeys.  1 on success and when the key did not
// exist, 0 when it could not be removed.
int RegDeleteKeyTree(HKEY root, const char* path);

// 1 when the key opens for reading.
int RegKeyExists(HKEY root, const char* path);
