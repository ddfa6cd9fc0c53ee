#include "foundation/text_fill.h"

#include "foundation/text.h"

size_t TextFill(char* out, size_t outSize, const char* pattern, const char* const* values,
                int count)
{
    if (out == NULL || outSize == 0)
        return 0;
    size_t n = 0;
    int used = 0;
    for (const char* p = pattern != NULL ? pattern : ""; *p != '\0' && n + 1 < outSize; p++) {
        if (p[0] == '%' && p[1] == 's' && used < count) {
            const char* value = values[used++];
            n += TextCopy(out + n, outSize - n, value != NULL ? value : "");
            p++;
        } else {
            out[n++] = *p;
        }
    }
    out[n] = '\0';
    return n;
}

size_t TextCutVisibly(char* out, size_t outSize, const char* text, size_t maxLength)
{
    if (out == NULL || outSize == 0)
        return 0;
    if (maxLength > outSize - 1)
        maxLength = outSize - 1;
    if (TextLength(text, maxLength + 1) <= maxLength)
        return TextCopy(out, outSize, text);
    if (maxLength < 3)
        return TextCopyN(out, outSize, text, maxLength);
    TextCopyN(out, outSize, text, maxLength - 3);
    return TextAppend(out, outSize, "...");
}
