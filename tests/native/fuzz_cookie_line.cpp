// libFuzzer target for the reading of cookies.txt: any bytes, walked line
// by line, must give lines whose extents cover the block exactly (the
// filtered rewrite copies them byte for byte); every split field must lie
// inside its line; the key text and field copies must stay in their
// buffers; the filter decision must not read past the line.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "categories/cookie_line.h"

static void Require(bool condition) { if (!condition) abort(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A private copy: the fuzzer's buffer has no slack to hide an over-read.
    char* block = (char*)malloc(size > 0 ? size : 1);
    memcpy(block, data, size);
    NutTable nuts;
    NutTableInit(&nuts);
    NutTableAdd(&nuts, "track", 1);
    NutTableAdd(&nuts, "a - b", 2);
    NutTable plain;  // no filter names a cookie: the whole-block search
    NutTableInit(&plain);
    NutTableAdd(&plain, "track", 1);
    NutTableAdd(&plain, "=x", 1);
    char* keptByLine[2] = { (char*)malloc(size + 1), (char*)malloc(size + 1) };
    size_t keptLength[2] = { 0, 0 };
    const NutTable* tables[2] = { &nuts, &plain };
    size_t pos = 0, covered = 0;
    BlockLine line;
    while (NextBlockLine(block, size, &pos, &line)) {
        Require(line.Start == covered && line.Extent > 0 && line.Length <= line.Extent &&
                line.Extent <= line.Length + 2);
        Require((covered += line.Extent) <= size);
        const char* text = block + line.Start;
        CookieFields fields;
        if (SplitCookieLine(text, line.Length, &fields)) {
            for (int f = 0; f < COOKIE_FIELDS; f++)
                Require(fields.Field[f] >= text
                    && fields.Field[f] + fields.Length[f] <= text + line.Length);
            char key[64];
            size_t n = CookieKeyText(&fields, key, sizeof(key));
            Require(n < sizeof(key) && key[n] == '\0');
            char value[16];
            n = CookieFieldText(&fields, COOKIE_VALUE, value, sizeof(value));
            Require(n < sizeof(value) && value[n] == '\0');
            long long seconds = 0;
            Require(!CookieExpiry(&fields, &seconds) || seconds >= 0);
        }
        for (int t = 0; t < 2; t++) {
            if (CookieLineFiltered(tables[t], text, line.Length))
                continue;
            memcpy(keptByLine[t] + keptLength[t], text, line.Extent);
            keptLength[t] += line.Extent;
        }
    }
    Require(covered == size);
    for (int t = 0; t < 2; t++) {
        char* copy = (char*)malloc(size > 0 ? size : 1);
        memcpy(copy, data, size);
        size_t kept = FilterCookieBlock(tables[t], copy, size);
        Require(kept == keptLength[t] && memcmp(copy, keptByLine[t], kept) == 0);
        free(copy);
        free(keptByLine[t]);
    }
    NutTableFree(&nuts);
    NutTableFree(&plain);
    free(block);
    return 0;
}
