// The lookup and version-check addresses as text: the encoding of their
// values and the fitting of those values into one bounded address.
#include "foundation/lookup_query.h"

#include <string.h>

#include "foundation/text.h"
#include "resources/vardex_version.h"

namespace {

// One "&<name>=" of an address and its value.
struct QueryPart {
    const char* Key;  // with its separator: "?program=", "&vendor=" ...
    const char* Value;
};

int Unreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == '.' || c == '~';
}

// The encoding of one byte: its length, and its text in out (4 bytes).
size_t EncodeByte(unsigned char c, char* out)
{
    static const char hex[] = "0123456789ABCDEF";
    if (Unreserved(c) || c == '&') {
        out[0] = c == '&' ? '+' : (char)c;
        return 1;
    }
    out[0] = '%';
    out[1] = c == ' ' ? '2' : hex[c >> 4];
    out[2] = c == ' ' ? '0' : hex[c & 15];
    return 3;
}

size_t EncodedLength(const char* value)
{
    size_t n = 0;
    char unused[4];
    for (const unsigned char* p = (const unsigned char*)value; *p != '\0'; p++)
        n += EncodeByte(*p, unused);
    return n;
}

// Appends the encoding of value at out[length], at most limit characters
// and only whole escapes.  Returns the new length.
size_t AppendEncoded(char* out, size_t length, const char* value, size_t limit)
{
    size_t end = length + limit;
    char piece[4];
    for (const unsigned char* p = (const unsigned char*)value; *p != '\0'; p++) {
        size_t n = EncodeByte(*p, piece);
        if (length + n > end)
            break;
        memcpy(out + length, piece, n);
        length += n;
    }
    out[length] = '\0';
    return length;
}

// The most each value may take so that all of them take at most budget:
// values shorter than that stay whole, the longer ones are cut to it.
size_t ValueCap(const size_t* lengths, int count, size_t budget)
{
    size_t low = 0, high = 0;
    for (int i = 0; i < count; i++)
        high = lengths[i] > high ? lengths[i] : high;
    while (low < high) {
        size_t cap = low + (high - low + 1) / 2, total = 0;
        for (int i = 0; i < count; i++)
            total += lengths[i] < cap ? lengths[i] : cap;
        if (total <= budget)
            low = cap;
        else
            high = cap - 1;
    }
    return low;
}

#define MAX_PARTS 16

// root, then each part's key and encoded value, cut to fit in outSize.
size_t BuildAddress(const char* root, const QueryPart* parts, int count, char* out,
                    size_t outSize)
{
    if (outSize == 0)
        return 0;
    out[0] = '\0';
    size_t structure = strlen(root), lengths[MAX_PARTS];
    for (int i = 0; i < count; i++) {
        structure += strlen(parts[i].Key);
        lengths[i] = EncodedLength(parts[i].Value != NULL ? parts[i].Value : "");
    }
    if (structure > outSize - 1)
        return 0;
    size_t cap = ValueCap(lengths, count, outSize - 1 - structure);
    size_t length = TextCopy(out, outSize, root);
    for (int i = 0; i < count; i++) {
        length = TextAppend(out, outSize, parts[i].Key);
        length = AppendEncoded(out, length, parts[i].Value != NULL ? parts[i].Value : "", cap);
    }
    return length;
}

int StartsWithNoCase(const char* text, const char* prefix)
{
    size_t n = strlen(prefix);
    char head[16];
    return TextCopyN(head, sizeof(head), text, n) == n && TextEqualNoCase(head, prefix);
}

}  // namespace

size_t BuildLookupQuery(const LookupFields* f, int longForm, char* out, size_t outSize)
{
    char type[16];
    TEXT_FORMAT(type, "&Type=%d", f->TypeCode);
    // The type code is a number of ours: part of the address, never cut.
    if (!longForm) {
        const QueryPart parts[] = {
            { "?program=", f->Program }, { "&vendor=", f->Company },
            { "&version=", f->Version }, { "&build=", f->Build },
            { type, NULL },              { "&Loc=", f->Language },
            { "&ext=", f->Extension },
        };
        return BuildAddress(VX_VENDOR_ROOT "cgi-bin/plusinfo.pl", parts,
                            (int)(sizeof(parts) / sizeof(parts[0])), out, outSize);
    }
    const QueryPart parts[] = {
        { "?program=", f->Program },     { "&vendor=", f->Company },
        { "&build=", f->Build },         { type, NULL },
        { "&Loc=", f->Language },        { "&ext=", f->Extension },
        { "&version=", f->Version },     { "&name=", f->ProductName },
        { "&copy=", f->Copyright },      { "&detail=", f->Description },
        { "&created=", f->Created },     { "&detected=", f->Detected },
        { "&fsize=", f->Size },          { "&path=", f->Path },
    };
    return BuildAddress(VX_VENDOR_ROOT "cgi-bin/plusinfo12.pl", parts,
                        (int)(sizeof(parts) / sizeof(parts[0])), out, outSize);
}

int IsWebAddress(const char* text)
{
    if (text == NULL)
        return 0;
    const char* rest = NULL;
    if (StartsWithNoCase(text, "http://"))
        rest = text + 7;
    else if (StartsWithNoCase(text, "https://"))
        rest = text + 8;
    if (rest == NULL || *rest == '\0')
        return 0;
    for (const unsigned char* p = (const unsigned char*)text; *p != '\0'; p++)
        if (*p <= ' ' || *p >= 127 || *p == '"')
            return 0;
    return 1;
}

size_t BuildVersionCheckAddress(const char* configured, const char* fallback, const char* build,
                                const char* language, char* out, size_t outSize)
{
    const QueryPart parts[] = { { "&build=", build }, { "&Loc=", language } };
    const int count = (int)(sizeof(parts) / sizeof(parts[0]));
    const char* const bases[] = { configured, fallback, VX_VENDOR_ROOT "cgi-bin/version.pl?" };
    for (const char* base : bases) {
        if (!IsWebAddress(base))
            continue;
        size_t length = BuildAddress(base, parts, count, out, outSize);
        if (length > 0)
            return length;
    }
    if (outSize > 0)
        out[0] = '\0';
    return 0;
}
