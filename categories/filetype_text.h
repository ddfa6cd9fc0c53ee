// Text rules of the file types that need nothing from the system: how the
// File Types page shows an association's open command.
//
// Plain text logic only: this header and its source include no Windows
// header, so they also build with the host compiler.
#pragma once
#include <stddef.h>

// The command without its argument placeholders ("%1", "%*", "%L" and the
// other one-character codes the shell fills in; "%SystemRoot%" and the
// like stay): a quoted argument left empty goes with its quotes, and the
// blanks around what went collapse to one (blanks inside quotes stay).
// out holds outSize bytes; a longer result is cut.  Returns the length.
size_t CommandWithoutPlaceholders(const char* command, char* out, size_t outSize);
