// Walking and splitting cookie lines, and the filter texts they are tested
// against.  Length-bounded throughout: a cookie file is whatever bytes the
// browser (or something else) left there.
#include "categories/cookie_line.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/text.h"

int NextBlockLine(const char* block, size_t size, size_t* pos, BlockLine* line)
{
    if (block == NULL || *pos >= size)
        return 0;
    size_t start = *pos;
    const void* found = memchr(block + start, '\n', size - start);
    size_t end = found != NULL ? (size_t)((const char*)found - block) : size;
    size_t text = end;
    if (found != NULL && text > start && block[text - 1] == '\r')
        text--;
    line->Start = start;
    line->Length = text - start;
    line->Extent = (found != NULL ? end + 1 : end) - start;
    *pos = start + line->Extent;
    return 1;
}

int SplitCookieLine(const char* line, size_t length, CookieFields* fields)
{
    memset(fields, 0, sizeof(*fields));
    size_t start = 0;
    int field = 0;
    for (size_t i = 0; i <= length && field < COOKIE_FIELDS; i++) {
        bool last = field == COOKIE_VALUE;
        if (i == length || (!last && line[i] == '\t')) {
            fields->Field[field] = line + start;
            fields->Length[field] = (last ? length : i) - start;
            field++;
            start = i + 1;
            if (last)
                break;
        }
    }
    if (field < COOKIE_FIELDS)
        return 0;
    if (fields->Length[COOKIE_DOMAIN] > 0 && fields->Field[COOKIE_DOMAIN][0] == '#')
        return 0;
    if (fields->Length[COOKIE_DOMAIN] > 0 && fields->Field[COOKIE_DOMAIN][0] == '.') {
        fields->Field[COOKIE_DOMAIN]++;
        fields->Length[COOKIE_DOMAIN]--;
    }
    return fields->Length[COOKIE_DOMAIN] > 0;
}

int CookieExpiry(const CookieFields* fields, long long* out)
{
    *out = 0;
    const char* text = fields->Field[COOKIE_EXPIRY];
    size_t length = fields->Length[COOKIE_EXPIRY];
    if (text == NULL || length == 0)
        return 0;
    long long value = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        if (value > (0x7FFFFFFFFFFFFFFFLL - 9) / 10)
            return 0;
        value = value * 10 + (text[i] - '0');
    }
    *out = value;
    return 1;
}

size_t CookieFieldText(const CookieFields* fields, int field, char* out, size_t outSize)
{
    if (field < 0 || field >= COOKIE_FIELDS || fields->Field[field] == NULL)
        return TextCopy(out, outSize, "");
    return TextCopyN(out, outSize, fields->Field[field], fields->Length[field]);
}

size_t CookieKeyText(const CookieFields* fields, char* out, size_t outSize)
{
    char domain[NUT_TEXT];
    char name[NUT_TEXT];
    CookieFieldText(fields, COOKIE_DOMAIN, domain, sizeof(domain));
    CookieFieldText(fields, COOKIE_NAME, name, sizeof(name));
    return TextFormat(out, outSize, "%s - %s", domain, name);
}

static char Fold(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

int ContainsNoCaseN(const char* text, size_t length, const char* part)
{
    if (text == NULL || part == NULL || part[0] == '\0')
        return 0;
    size_t partLength = strlen(part);
    if (partLength > length)
        return 0;
    unsigned char first = (unsigned char)Fold(part[0]);
    // A letter matches in either case: one OR instead of a fold per byte.
    bool letter = first >= 'a' && first <= 'z';
    for (size_t i = 0; i + partLength <= length; i++) {
        unsigned char c = (unsigned char)text[i];
        if (letter ? (c | 0x20) != first : c != first)
            continue;
        size_t k = 1;
        while (k < partLength && Fold(text[i + k]) == Fold(part[k]))
            k++;
        if (k == partLength)
            return 1;
    }
    return 0;
}

int IsBlankText(const char* text)
{
    if (text == NULL)
        return 1;
    for (; *text != '\0'; text++)
        if (*text != ' ' && *text != '\t')
            return 0;
    return 1;
}

void NutTableInit(NutTable* table)
{
    table->Items = NULL;
    table->Count = 0;
    table->Capacity = 0;
    table->Keys = 0;
}

void NutTableFree(NutTable* table)
{
    free(table->Items);
    NutTableInit(table);
}

int NutTableAdd(NutTable* table, const char* text, int mode)
{
    if (IsBlankText(text) || strlen(text) >= NUT_TEXT)
        return 0;
    if (!GrowBlock(&table->Items, &table->Capacity, table->Count, 16))
        return 0;
    Nut* nut = &table->Items[table->Count++];
    TextCopy(nut->Text, sizeof(nut->Text), text);
    nut->Mode = mode;
    if (strstr(text, " - ") != NULL)
        table->Keys++;
    return 1;
}

int NutTableMatches(const NutTable* table, const char* text, size_t length)
{
    for (int i = 0; i < table->Count; i++)
        if (ContainsNoCaseN(text, length, table->Items[i].Text))
            return 1;
    return 0;
}

int NutTableNames(const NutTable* table, const char* key)
{
    for (int i = 0; i < table->Count; i++)
        if (TextEqualNoCase(table->Items[i].Text, key))
            return 1;
    return 0;
}

static int EqualNoCaseN(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (Fold(a[i]) != Fold(b[i]))
            return 0;
    return 1;
}

// 1 when text is exactly "domain - name" of the fields, ignoring case
// (compared in place: no key text is built for every line).
static int NamesCookie(const char* text, const CookieFields* fields)
{
    size_t domain = fields->Length[COOKIE_DOMAIN];
    size_t name = fields->Length[COOKIE_NAME];
    if (strlen(text) != domain + 3 + name)
        return 0;
    return EqualNoCaseN(text, fields->Field[COOKIE_DOMAIN], domain) &&
           memcmp(text + domain, " - ", 3) == 0 &&
           EqualNoCaseN(text + domain + 3, fields->Field[COOKIE_NAME], name);
}

int CookieLineFiltered(const NutTable* table, const char* line, size_t length)
{
    if (table->Count == 0)
        return 0;
    if (NutTableMatches(table, line, length))
        return 1;
    if (table->Keys == 0)
        return 0;  // no filter names a cookie: nothing to split the line for
    CookieFields fields;
    if (!SplitCookieLine(line, length, &fields))
        return 0;
    for (int i = 0; i < table->Count; i++)
        if (NamesCookie(table->Items[i].Text, &fields))
            return 1;
    return 0;
}
