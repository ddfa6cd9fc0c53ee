// The registry script lines: see reg_text.h.
#include "reports/reg_text.h"

#include <stdlib.h>
#include <string.h>

void RegTextFree(RegText* text)
{
    free(text->Data);
    text->Data = NULL;
    text->Length = text->Room = 0;
    text->Failed = 0;
}

void RegTextClear(RegText* text)
{
    text->Length = 0;
    text->Failed = 0;
    if (text->Data != NULL)
        text->Data[0] = '\0';
}

int RegTextAdd(RegText* text, const char* chars, size_t count)
{
    if (text->Failed)
        return 0;
    if (text->Length + count + 1 > text->Room) {
        size_t wanted = text->Room < 256 ? 256 : text->Room * 2;
        while (wanted < text->Length + count + 1)
            wanted *= 2;
        char* grown = (char*)realloc(text->Data, wanted);
        if (grown == NULL) {
            text->Failed = 1;
            return 0;
        }
        text->Data = grown;
        text->Room = wanted;
    }
    memcpy(text->Data + text->Length, chars, count);
    text->Length += count;
    text->Data[text->Length] = '\0';
    return 1;
}

static void AddText(RegText* text, const char* chars)
{
    RegTextAdd(text, chars, strlen(chars));
}

void RegAppendKeyLine(RegText* text, const char* root, const char* path)
{
    AddText(text, "[");
    AddText(text, root);
    AddText(text, "\\");
    AddText(text, path);
    AddText(text, "]\r\n");
}

// Quoted text: a backslash and a quote are the only characters escaped, the
// only escapes the system's own import reads.
static void AddQuoted(RegText* text, const char* chars, size_t count)
{
    AddText(text, "\"");
    size_t start = 0;
    for (size_t i = 0; i < count; i++) {
        if (chars[i] != '\\' && chars[i] != '"')
            continue;
        RegTextAdd(text, chars + start, i - start);
        AddText(text, "\\");
        start = i;
    }
    RegTextAdd(text, chars + start, count - start);
    AddText(text, "\"");
}

static int HasLineEnd(const char* chars, size_t count)
{
    return memchr(chars, '\r', count) != NULL || memchr(chars, '\n', count) != NULL;
}

// A text the quoted form gives back unchanged: one terminating zero at the
// end, no other zero, no line end.
static int IsQuotableText(const unsigned char* data, size_t size)
{
    if (size == 0 || data[size - 1] != 0)
        return 0;
    const char* chars = (const char*)data;
    return memchr(chars, 0, size - 1) == NULL && !HasLineEnd(chars, size - 1);
}

static const char g_Hex[] = "0123456789abcdef";

// The bytes as "xx,xx,...", wrapped as the registry editor wraps them;
// column is where the first byte starts.
static void AddHexBytes(RegText* text, const unsigned char* data, size_t size, size_t column)
{
    for (size_t i = 0; i < size; i++) {
        char pair[3] = { g_Hex[data[i] >> 4], g_Hex[data[i] & 15], ',' };
        int last = i + 1 == size;
        RegTextAdd(text, pair, last ? 2 : 3);
        column += 3;
        if (!last && column > REG_TEXT_WRAP_COLUMN) {
            AddText(text, "\\\r\n  ");
            column = 2;
        }
    }
}

static void AddHexData(RegText* text, size_t lineStart, unsigned long type,
                       const unsigned char* data, size_t size)
{
    char prefix[24] = "hex:";
    if (type != REG_TEXT_BINARY) {
        // "hex(" + up to 8 digits + "):"
        size_t n = 0;
        char digits[9];
        unsigned long rest = type & 0xFFFFFFFFul;
        do {
            digits[n++] = g_Hex[rest & 15];
            rest >>= 4;
        } while (rest != 0);
        size_t p = 0;
        memcpy(prefix, "hex(", 4);
        p = 4;
        while (n > 0)
            prefix[p++] = digits[--n];
        memcpy(prefix + p, "):", 3);
    }
    AddText(text, prefix);
    AddHexBytes(text, data, size, text->Length - lineStart);
}

int RegAppendValueLine(RegText* text, const char* name, unsigned long type,
                       const unsigned char* data, size_t size)
{
    size_t nameLength = strlen(name);
    if (HasLineEnd(name, nameLength))
        return 0;
    size_t lineStart = text->Length;
    if (nameLength == 0)
        AddText(text, "@");
    else
        AddQuoted(text, name, nameLength);
    AddText(text, "=");
    if (type == REG_TEXT_SZ && IsQuotableText(data, size)) {
        AddQuoted(text, (const char*)data, size - 1);
    } else if (type == REG_TEXT_DWORD && size == 4) {
        unsigned long value = data[0] | (unsigned long)data[1] << 8 |
                              (unsigned long)data[2] << 16 | (unsigned long)data[3] << 24;
        char digits[16] = "dword:";
        for (int i = 0; i < 8; i++)
            digits[6 + i] = g_Hex[(value >> (28 - 4 * i)) & 15];
        digits[14] = '\0';
        AddText(text, digits);
    } else {
        AddHexData(text, lineStart, type, data, size);
    }
    AddText(text, "\r\n");
    return 1;
}
