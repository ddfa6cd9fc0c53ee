// Walking and splitting cookie lines, and the filter texts they are tested
// against.  Length-bounded throughout: a cookie file is whatever bytes the
// browser (or something else) left there.
#include "categories/cookie_line.h"

#include <stdint.h>
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

static const size_t NOT_FOUND = (size_t)-1;

// Where part (partLength > 0 bytes) first occurs in text[0, length),
// ignoring case; NOT_FOUND when it does not.
static size_t FindNoCaseN(const char* text, size_t length, const char* part, size_t partLength)
{
    if (partLength > length)
        return NOT_FOUND;
    unsigned char first = (unsigned char)Fold(part[0]);
    // A letter matches in either case: one OR instead of a fold per byte.
    bool letter = first >= 'a' && first <= 'z';
    size_t last = length - partLength;
    const uint32_t ones = 0x01010101u;
    const uint32_t fold = letter ? 0x20u * ones : 0;
    const uint32_t wanted = first * ones;
    for (size_t i = 0; i <= last; i++) {
        // Four bytes at a time while none of them can be the first one.
        while (i + 4 <= last) {
            uint32_t word;
            memcpy(&word, text + i, 4);
            uint32_t differs = (word | fold) ^ wanted;
            if (((differs - ones) & ~differs & 0x80808080u) != 0)
                break;
            i += 4;
        }
        unsigned char c = (unsigned char)text[i];
        if (letter ? (c | 0x20) != first : c != first)
            continue;
        size_t k = 1;
        while (k < partLength && Fold(text[i + k]) == Fold(part[k]))
            k++;
        if (k == partLength)
            return i;
    }
    return NOT_FOUND;
}

int ContainsNoCaseN(const char* text, size_t length, const char* part)
{
    if (text == NULL || part == NULL || part[0] == '\0')
        return 0;
    return FindNoCaseN(text, length, part, strlen(part)) != NOT_FOUND;
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
    table->LineEnds = 0;
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
    if (strpbrk(text, "\r\n") != NULL)
        table->LineEnds++;
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

// Closes up block[0, size) as lines are dropped: the kept bytes between
// dropped lines move down in one piece each.
struct Closer {
    char* Block;
    size_t Used;   // kept bytes already at the start of the block
    size_t From;   // first byte not yet kept or dropped
};

static void DropRange(Closer* c, size_t start, size_t end)
{
    if (start > c->From) {
        if (c->Used != c->From)
            memmove(c->Block + c->Used, c->Block + c->From, start - c->From);
        c->Used += start - c->From;
    }
    c->From = end;
}

static size_t FinishClosing(Closer* c, size_t size)
{
    DropRange(c, size, size);
    return c->Used;
}

// One line at a time: for filters that name cookies or hold line ends.
static size_t FilterLines(const NutTable* table, char* block, size_t size)
{
    Closer c = { block, 0, 0 };
    size_t pos = 0;
    BlockLine line;
    while (NextBlockLine(block, size, &pos, &line))
        if (CookieLineFiltered(table, block + line.Start, line.Length))
            DropRange(&c, line.Start, line.Start + line.Extent);
    return FinishClosing(&c, size);
}

size_t FilterCookieBlock(const NutTable* table, char* block, size_t size)
{
    if (block == NULL || table->Count == 0)
        return size;
    if (table->Keys > 0 || table->LineEnds > 0)
        return FilterLines(table, block, size);
    // Every filter text lies within one line's text here, so each is
    // searched through the whole block at once and only the lines where
    // one occurs are found: the earliest pending occurrence of any filter
    // drops its line, and filters whose occurrence fell inside a dropped
    // line search on from its end.
    size_t* next = (size_t*)malloc((size_t)table->Count * sizeof(size_t));
    if (next == NULL)
        return FilterLines(table, block, size);
    for (int i = 0; i < table->Count; i++)
        next[i] = FindNoCaseN(block, size, table->Items[i].Text, strlen(table->Items[i].Text));
    Closer c = { block, 0, 0 };
    for (;;) {
        size_t found = NOT_FOUND;
        for (int i = 0; i < table->Count; i++) {
            if (next[i] != NOT_FOUND && next[i] < c.From) {
                size_t length = strlen(table->Items[i].Text);
                size_t at = FindNoCaseN(block + c.From, size - c.From, table->Items[i].Text, length);
                next[i] = at == NOT_FOUND ? NOT_FOUND : c.From + at;
            }
            if (next[i] < found)
                found = next[i];
        }
        if (found == NOT_FOUND)
            break;
        size_t start = found;
        while (start > c.From && block[start - 1] != '\n')
            start--;
        const char* end = (const char*)memchr(block + found, '\n', size - found);
        DropRange(&c, start, end != NULL ? (size_t)(end - block) + 1 : size);
    }
    free(next);
    return FinishClosing(&c, size);
}
