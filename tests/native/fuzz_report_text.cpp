// libFuzzer target for what the reports put into their files: any bytes,
// cut into fields at each zero byte, must come back out through the
// readers: an HTML parser sees the same text with control bytes as blanks
// and no tag; a spreadsheet reads a row of the same width with every field
// back (a formula guard aside); tab fields and log text hold no control
// byte; a HOSTS line listed stays inside its limit with no control byte.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "reports/report_text.h"
#include "support/report_reader.h"

static void Require(bool condition) { if (!condition) abort(); }

static bool HasControl(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 32 || c == 127)
            return true;
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input((const char*)data, size);
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        size_t end = input.find('\0', start);
        fields.push_back(input.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    vxtest::StringSink row;
    for (size_t i = 0; i < fields.size(); i++) {
        const std::string& field = fields[i];
        std::string shown = field;
        for (char& c : shown)
            if ((unsigned char)c < 32 || c == 127)
                c = ' ';
        vxtest::StringSink html, tab, log;
        PutHtmlText(html, field.c_str());
        Require(vxtest::ReadHtmlText(html.Text) == shown);
        PutTabField(tab, field.c_str());
        Require(tab.Text == shown);
        PutLogText(log, field.c_str());
        Require(log.Text == shown);
        if (i > 0)
            row.Put(",", 1);
        PutCsvField(row, field.c_str());
    }
    row.Put("\r\n", 2);
    size_t pos = 0;
    std::vector<std::string> read;
    Require(vxtest::ReadCsvRow(row.Text, &pos, &read));
    Require(pos == row.Text.size() && read.size() == fields.size());
    for (size_t i = 0; i < fields.size(); i++) {
        const std::string& got = read[i];
        bool guarded = !got.empty() && got[0] == '\'' && got.substr(1) == fields[i];
        Require(got == fields[i] || guarded);
    }
    char line[HOSTS_LOG_LINE];
    memset(line, 'Z', sizeof(line));
    if (HostsLogLine(input.data(), input.size(), line, sizeof(line))) {
        size_t n = strlen(line);
        Require(n > 4 && n < HOSTS_LOG_LINE && !HasControl(line));
    } else {
        Require(line[0] == '\0');
    }
    return 0;
}
