// libFuzzer target for the reading of history.txt: any bytes, walked line
// by line and split into fields, must give terminated fields within their
// limits; a line written back from those fields must read back the same
// (the writer never lets a field split the line), and the report's query
// encoding must stay in its buffer.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "foundation/history_line.h"

namespace {

void Require(bool condition) { if (!condition) abort(); }

// What the writer makes of a field: tabs, CR and LF become blanks.
void Flatten(const char* field, char* out, size_t outSize)
{
    size_t n = 0;
    for (; field[n] != '\0' && n + 1 < outSize; n++)
        out[n] = (field[n] == '\t' || field[n] == '\r' || field[n] == '\n') ? ' ' : field[n];
    out[n] = '\0';
}

void CheckField(const char* field, size_t size)
{
    Require(memchr(field, '\0', size) != NULL && strchr(field, '\t') == NULL);
}

void CheckLine(const char* line, size_t length)
{
    HistoryLineFields fields;
    memset(&fields, 'Z', sizeof(fields));
    ParseHistoryLine(line, length, &fields);
    CheckField(fields.Time, sizeof(fields.Time));
    CheckField(fields.Name, sizeof(fields.Name));
    CheckField(fields.Command, sizeof(fields.Command));
    CheckField(fields.Extra, sizeof(fields.Extra));
    Require(fields.Action >= 0 && fields.Action <= HA_LOG_UNKNOWN);

    HistoryLineFields flat;
#define VX_FLATTEN(f) Flatten(fields.f, flat.f, sizeof(flat.f))
    VX_FLATTEN(Time), VX_FLATTEN(Name), VX_FLATTEN(Command), VX_FLATTEN(Extra);
    char written[HISTORY_LINE_MAX + 1];
    size_t n = FormatHistoryLine(flat.Time, HistoryActionName(fields.Action),
                                 HistoryTypeName(fields.Type), flat.Name, flat.Command,
                                 flat.Extra, written, sizeof(written));
    Require(n >= 2 && n <= HISTORY_LINE_MAX && strlen(written) == n && written[n - 2] == '\r'
        && written[n - 1] == '\n' && !memchr(written, '\n', n - 1)
        && !memchr(written, '\r', n - 2));

    HistoryLineFields again;
    ParseHistoryLine(written, n - 2, &again);
    Require(!strcmp(flat.Time, again.Time) && !strcmp(flat.Name, again.Name)
        && !strcmp(flat.Command, again.Command) && !strcmp(flat.Extra, again.Extra)
        && !strcmp(HistoryTypeName(fields.Type), HistoryTypeName(again.Type)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The block as the reader gets it: a copy of exactly size bytes, so
    // that any read past its end is caught.
    char* block = (char*)malloc(size == 0 ? 1 : size);
    memcpy(block, data, size);
    size_t pos = 0, start = 0, length = 0, lines = 0;
    while (NextHistoryLine(block, size, &pos, &start, &length)) {
        Require(length > 0 && start + length <= size && pos <= size && ++lines <= size);
        CheckLine(block + start, length);
    }

    // The query encoding, into a buffer smaller than most inputs.
    char value[64];
    size_t valueLength = size < sizeof(value) - 1 ? size : sizeof(value) - 1;
    memcpy(value, data, valueLength);
    value[valueLength] = '\0';
    char query[48] = "x=1";
    size_t q = AppendQueryValue(query, sizeof(query), "name", value);
    Require(q < sizeof(query) && strlen(query) == q);
    free(block);
    return 0;
}
