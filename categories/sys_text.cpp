// The note file's name and the line ends of the restart-commands viewer.
#include "categories/sys_text.h"

#include <string.h>

#include "foundation/text.h"

static int FileNameChar(char c)
{
    return !(c == '=' || c == ':' || c == '\\' || c == '/' || c == '*' || c == '?' ||
             c == '"' || c == '<' || c == '>' || c == '|' || (unsigned char)c < 32);
}

size_t NoteFileName(const char* fileName, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    if (fileName == NULL || fileName[0] == '\0')
        return 0;
    size_t length = strlen(fileName);
    if (length > 4)
        length -= 4;
    char stem[260];
    TextCopyN(stem, sizeof(stem), fileName, length);
    for (char* p = stem; *p != '\0'; p++)
        if (!FileNameChar(*p))
            *p = '_';
    return TextFormat(out, outSize, "note_%s.txt", stem);
}

size_t ExpandLineEnds(const char* text, size_t length, char* out, size_t outSize)
{
    if (outSize == 0)
        return 0;
    size_t used = 0;
    for (size_t i = 0; i < length && text[i] != '\0'; i++) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            if (used + 2 >= outSize)
                break;
            out[used++] = '\r';
            out[used++] = '\n';
            continue;
        }
        if (used + 1 >= outSize)
            break;
        out[used++] = text[i];
    }
    out[used] = '\0';
    return used;
}
