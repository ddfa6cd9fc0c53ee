// User-visible texts: the string table of the running program, or a
// translation installed as HKLM Software\Quillon\Vardex "LString<id>".
#pragma once
#include <windows.h>

// Module whose string table LoadText reads (the running program by default).
extern HINSTANCE g_TextModule;

// Language id passed to every message box; 9 (English) also means that the
// "LString<id>" overrides are not consulted.  0 until set.
extern WORD g_MessageLanguage;

// Loads text id into out (outSize bytes).  An override, when consulted and
// present, is cut to outSize - 1 (at most 771) characters and every "%n" in
// it becomes a line feed; the result is the override's length before that
// replacement.  Otherwise the string-table text is loaded.  A missing text
// gives "" and 0.  A negative outSize asks only for the length (out may then
// be NULL).
int LoadText(int id, char* out, int outSize);

// LoadText into 512 characters and set it as the control's text, unless empty.
void SetItemText(HWND dialog, int id, int controlId);

// The language id for a two-letter code of text 634; 0 when unknown.
WORD LanguageIdForCode(const char* code);

// Sets g_MessageLanguage from text 634.
void SetMessageLanguage();

// The caption of every message box (text 2, "Vardex").
const char* ProductCaption();

// "<code>  <the system's own text for it>" (the text "" when the system has
// none), cut to outSize - 1 characters.  Returns the length stored.
size_t SystemErrorText(DWORD code, char* out, size_t outSize);

// Deletes every HKLM "LString<n>" (n from 0 to 1165) and every saved window
// position under HKCU.
void ResetLanguageAndLayout();
