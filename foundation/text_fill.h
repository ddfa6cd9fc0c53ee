// Filling the "%s" places of a loaded text.  Texts come from the string
// table or from a translation in the registry, so they are data and never
// reach a printf-style format: each "%s" is replaced here, in turn, by the
// next value, and every other "%" sequence stays as it is.
//
// Plain text logic only: no Windows header.
#pragma once
#include <stddef.h>

// Writes pattern into out (outSize bytes) with its first count "%s" places
// replaced by values (NULL values give ""); the result is cut to
// outSize - 1 characters.  Returns the length stored.
size_t TextFill(char* out, size_t outSize, const char* pattern, const char* const* values,
                int count);

// Copies text into out cut to at most maxLength characters; a text that
// was cut ends in "..." (within maxLength), so a reader sees that it goes
// on.  Returns the length stored.
size_t TextCutVisibly(char* out, size_t outSize, const char* text, size_t maxLength);
