// libFuzzer target for the registry script lines: any name, type and bytes
// give one line that the import's reading gives back as the same name,
// type and bytes; a name holding a line end is refused and adds nothing.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "reports/reg_text.h"
#include "support/reg_reader.h"

static void Require(bool condition) { if (!condition) abort(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // First byte: the type; then the name up to the first zero; the rest is data.
    static const unsigned long types[] = { 0, 1, 1, 1, 2, 3, 4, 4, 7, 0xb, 0x1234, 0xffffffff };
    unsigned long type = types[data[0] % (sizeof(types) / sizeof(types[0]))];
    const char* rest = (const char*)data + 1;
    size_t restSize = size - 1;
    const char* zero = (const char*)memchr(rest, 0, restSize);
    size_t nameLength = zero != NULL ? (size_t)(zero - rest) : restSize;
    std::string name(rest, nameLength);
    size_t dataStart = zero != NULL ? nameLength + 1 : restSize;
    std::string bytes(rest + dataStart, restSize - dataStart);
    RegText text = {};
    int written = RegAppendValueLine(&text, name.c_str(), type,
                                     (const unsigned char*)bytes.data(), bytes.size());
    bool lineEnd = name.find_first_of("\r\n") != std::string::npos;
    Require(written == (lineEnd ? 0 : 1));
    if (written) {
        vxtest::ReadRegValue v = vxtest::ReadRegLine(std::string(text.Data, text.Length));
        Require(v.Valid && v.Name == name && v.Data == bytes);
        Require(v.Type == type || (type == 4 && v.Type == 4));
    } else {
        Require(text.Length == 0);
    }
    RegTextFree(&text);
    return 0;
}
