#include "explorer/note_text.h"

size_t NoteFieldText(const char* bytes, size_t length, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    size_t n = 0;
    for (size_t i = 0; i < length; i++) {
        char c = bytes[i];
        int addReturn = c == '\n' && (i == 0 || bytes[i - 1] != '\r');
        if (n + (addReturn ? 2 : 1) > outSize - 1)
            break;
        if (addReturn)
            out[n++] = '\r';
        out[n++] = c == '\0' ? ' ' : c;
    }
    out[n] = '\0';
    return n;
}
