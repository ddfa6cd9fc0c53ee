#include "foundation/text.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

size_t TextCopyN(char* out, size_t outSize, const char* src, size_t count)
{
    if (out == NULL || outSize == 0)
        return 0;
    size_t n = 0;
    if (src != NULL)
        while (n < count && n + 1 < outSize && src[n] != '\0') {
            out[n] = src[n];
            n++;
        }
    out[n] = '\0';
    return n;
}

size_t TextCopy(char* out, size_t outSize, const char* src)
{
    return TextCopyN(out, outSize, src, (size_t)-1);
}

size_t TextLength(const char* text, size_t limit)
{
    size_t n = 0;
    if (text != NULL)
        while (n < limit && text[n] != '\0')
            n++;
    return n;
}

size_t TextAppend(char* out, size_t outSize, const char* src)
{
    if (out == NULL || outSize == 0)
        return 0;
    size_t used = TextLength(out, outSize - 1);
    return used + TextCopy(out + used, outSize - used, src);
}

size_t TextAppendChar(char* out, size_t outSize, char c)
{
    char one[2] = { c, '\0' };
    return TextAppend(out, outSize, one);
}

size_t TextFormatV(char* out, size_t outSize, const char* format, va_list args)
{
    if (out == NULL || outSize == 0)
        return 0;
    int n = vsnprintf(out, outSize, format, args);
    out[outSize - 1] = '\0';
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return (size_t)n < outSize ? (size_t)n : outSize - 1;
}

size_t TextFormat(char* out, size_t outSize, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    size_t n = TextFormatV(out, outSize, format, args);
    va_end(args);
    return n;
}

size_t TextAppendFormat(char* out, size_t outSize, const char* format, ...)
{
    if (out == NULL || outSize == 0)
        return 0;
    size_t used = TextLength(out, outSize - 1);
    va_list args;
    va_start(args, format);
    size_t n = TextFormatV(out + used, outSize - used, format, args);
    va_end(args);
    return used + n;
}

size_t TextCut(char* text, size_t maxLength)
{
    if (text == NULL)
        return 0;
    size_t n = TextLength(text, maxLength);
    text[n] = '\0';
    return n;
}

int TextEqualNoCase(const char* a, const char* b)
{
    if (a == NULL || b == NULL)
        return a == b;
    while (*a != '\0' && FoldCase(*a) == FoldCase(*b)) {
        a++;
        b++;
    }
    return FoldCase(*a) == FoldCase(*b);
}

int TextIndexNoCase(const char* text, const char* part)
{
    if (text == NULL || part == NULL)
        return -1;
    for (size_t i = 0; text[i] != '\0' || part[0] == '\0'; i++) {
        size_t k = 0;
        while (part[k] != '\0' && FoldCase(text[i + k]) == FoldCase(part[k]))
            k++;
        if (part[k] == '\0')
            return (int)i;
        if (text[i] == '\0')
            break;
    }
    return -1;
}

int TextFindNoCase(const char* text, const char* part)
{
    return TextIndexNoCase(text, part) >= 0;
}

void TextUpper(char* text)
{
    for (; text != NULL && *text != '\0'; text++)
        *text = FoldCase(*text);
}

char* TextDuplicate(const char* text)
{
    size_t n = strlen(text) + 1;
    char* copy = (char*)malloc(n);
    if (copy != NULL)
        memcpy(copy, text, n);
    return copy;
}

int GrowBlock(void** block, int* room, int count, size_t itemSize, int first)
{
    if (count < *room)
        return 1;
    int wanted = *room <= 0 ? first : *room * 2;
    if (wanted <= count)
        wanted = count + 1;
    void* grown = realloc(*block, (size_t)wanted * itemSize);
    if (grown == NULL)
        return 0;
    *block = grown;
    *room = wanted;
    return 1;
}
