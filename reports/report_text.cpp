// What goes into the report files, as text (see report_text.h).
#include "reports/report_text.h"

#include <string.h>

#include "foundation/text.h"

void TextSink::Put(const char* text)
{
    if (text != NULL)
        Put(text, strlen(text));
}

static bool IsControl(unsigned char c) { return c < 32 || c == 127; }

// Puts text with each byte that replacementOf names replaced; runs of bytes
// that stay go out in one piece.  replacementOf returns NULL for a byte
// that stays.
template <class Replace> static void PutReplaced(TextSink& out, const char* text, Replace replacementOf)
{
    if (text == NULL)
        return;
    const char* run = text;
    const char* p = text;
    for (; *p != '\0'; p++) {
        const char* replacement = replacementOf((unsigned char)*p);
        if (replacement == NULL)
            continue;
        if (p > run)
            out.Put(run, (size_t)(p - run));
        out.Put(replacement);
        run = p + 1;
    }
    if (p > run)
        out.Put(run, (size_t)(p - run));
}

void PutHtmlText(TextSink& out, const char* text)
{
    PutReplaced(out, text, [](unsigned char c) -> const char* {
        switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '"': return "&quot;";
        case '\'': return "&#39;";
        default: return IsControl(c) ? " " : NULL;
        }
    });
}

static const char* BlankForControl(unsigned char c) { return IsControl(c) ? " " : NULL; }

void PutTabField(TextSink& out, const char* text) { PutReplaced(out, text, BlankForControl); }

void PutLogText(TextSink& out, const char* text) { PutReplaced(out, text, BlankForControl); }

void PutCsvField(TextSink& out, const char* text)
{
    if (text == NULL)
        return;
    const char* first = text;
    while (*first == ' ')
        first++;
    bool guard = *first != '\0' && strchr("=+-@\t", *first) != NULL;
    bool quote = strpbrk(text, ",\"\r\n") != NULL;
    if (quote)
        out.Put("\"", 1);
    if (guard)
        out.Put("'", 1);
    if (!quote) {
        out.Put(text);
        return;
    }
    PutReplaced(out, text, [](unsigned char c) -> const char* { return c == '"' ? "\"\"" : NULL; });
    out.Put("\"", 1);
}

// The first word of a cleaned HOSTS line is one of the addresses that only
// point a name back at this machine or nowhere.
static bool IsHarmlessAddress(const char* line)
{
    static const char* const harmless[] = { "127.0.0.1", "::1", "0.0.0.0" };
    while (*line == ' ')
        line++;
    size_t word = strcspn(line, " ");
    for (const char* address : harmless)
        if (word == strlen(address) && strncmp(line, address, word) == 0)
            return true;
    return false;
}

int HostsLogLine(const char* line, size_t length, char* out, size_t outSize)
{
    if (outSize > 0)
        out[0] = '\0';
    if (line == NULL || outSize < HOSTS_LOG_LINE)
        return 0;
    size_t kept = 0;
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)line[i];
        if (c == '\t')
            c = ' ';
        else if (IsControl(c))
            continue;
        if (kept + 1 >= HOSTS_LOG_LINE) {
            out[0] = '\0';
            return 0;
        }
        out[kept++] = (char)c;
    }
    out[kept] = '\0';
    const char* first = out + strspn(out, " ");
    if (kept <= 4 || *first == '#' || IsHarmlessAddress(out)) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

size_t FormatLogTime(int hour, int minute, int second, char* out, size_t outSize)
{
    hour = ((hour % 24) + 24) % 24;
    int shown = hour % 12 == 0 ? 12 : hour % 12;
    return TextFormat(out, outSize, "%2d:%02d:%02d %s", shown, minute, second,
                      hour < 12 ? "AM" : "PM");
}

size_t FormatLogDate(int month, int day, int year, char* out, size_t outSize)
{
    return TextFormat(out, outSize, "%2d/%02d/%4d", month, day, year);
}
