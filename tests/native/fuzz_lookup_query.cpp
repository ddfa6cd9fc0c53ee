// libFuzzer target for the lookup and version-check addresses: any bytes,
// split into the fields of a program, must give an address that stays in
// its buffer, holds no quote, blank or control byte, names every value in
// the service's order, and reads back to the same fields (each cut value a
// beginning of its field); with room enough, exactly the same fields.
// Run with -max_len=4096 at most: the largest buffer holds any such input.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "foundation/lookup_query.h"
#include "support/query_reader.h"

static void Require(bool condition) { if (!condition) abort(); }

static const char* const kLongNames[] = { "program", "vendor", "build", "Type", "Loc", "ext",
                                          "version", "name", "copy", "detail", "created",
                                          "detected", "fsize", "path" };

// Builds into a buffer of size bytes and checks what comes back.
static void Check(const LookupFields& f, const std::vector<std::string>& texts, size_t size)
{
    std::vector<char> out(size + 1, 'Z');
    size_t n = BuildLookupQuery(&f, 1, out.data(), size);
    Require(out[size] == 'Z' && (size == 0 ? n == 0 : n == strlen(out.data()) && n < size));
    if (n == 0)
        return;
    std::string address(out.data(), n);
    Require(address.find_first_of("\" \t\r\n\x7f") == std::string::npos);
    vxtest::ReadQuery read = vxtest::ReadLookupQuery(address);
    Require(read.Valid && read.Pairs.size() == 14);
    // The values in the order of kLongNames, skipping Type.
    const int field[] = { 0, 2, 13, -1, 12, 1, 3, 4, 5, 6, 7, 8, 9, 10 };
    for (int i = 0; i < 14; i++) {
        Require(read.Pairs[i].first == kLongNames[i]);
        if (field[i] < 0)
            continue;
        const std::string& value = read.Pairs[i].second;
        const std::string& text = texts[field[i]];
        Require(size < LOOKUP_ADDRESS * 8 ? text.compare(0, value.size(), value) == 0
                                          : value == text);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Fields separated by 0x00 bytes; the first byte chooses the buffer.
    if (size == 0)
        return 0;
    size_t bufferSize = (size_t)data[0] * 9;
    std::vector<std::string> texts(14);
    size_t field = 0;
    for (size_t i = 1; i < size && field < texts.size(); i++) {
        if (data[i] == 0)
            field++;
        else
            texts[field] += (char)data[i];
    }
    LookupFields f = { texts[0].c_str(),  texts[1].c_str(),  texts[2].c_str(),
                       texts[3].c_str(),  texts[4].c_str(),  texts[5].c_str(),
                       texts[6].c_str(),  texts[7].c_str(),  texts[8].c_str(),
                       texts[9].c_str(),  texts[10].c_str(), (int)data[0] - 128,
                       texts[12].c_str(), texts[13].c_str() };
    Check(f, texts, bufferSize);
    Check(f, texts, LOOKUP_ADDRESS);
    Check(f, texts, LOOKUP_ADDRESS * 8);  // room for every input here: nothing cut

    // The short form names its values in its own order.
    char shortForm[LOOKUP_ADDRESS];
    if (BuildLookupQuery(&f, 0, shortForm, sizeof(shortForm)) > 0)
        Require(vxtest::ReadLookupQuery(shortForm).Pairs.size() == 7);

    char version[LOOKUP_ADDRESS];
    size_t n = BuildVersionCheckAddress(texts[0].c_str(), texts[1].c_str(), texts[2].c_str(),
                                        texts[3].c_str(), version, sizeof(version));
    Require(n == strlen(version) && (n == 0 || IsWebAddress(version)));
    return 0;
}
