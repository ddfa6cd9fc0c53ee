// Reads the report files back the way their readers do: lines, a
// spreadsheet's comma-separated rows (double-quoted fields, quotes doubled,
// line ends inside quotes) and an HTML parser's text (the entities the
// reports write).  Test code only; plain C++, so the native tests and the
// fuzzer use it too.
#pragma once
#include <string>
#include <vector>

#include "reports/report_text.h"

namespace vxtest {

// A sink that keeps what it is given.
class StringSink : public TextSink {
public:
    std::string Text;
    void Put(const char* data, size_t length) override { Text.append(data, length); }
    using TextSink::Put;
};

// The lines of a file, each ended by CR LF; text after the last one comes
// as a line of its own marked "<no line end>".
inline std::vector<std::string> ReadLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start) + "<no line end>");
    return lines;
}

// One row from text at *pos (moved past the row and its line end).  False
// when the row is malformed: a quote inside an unquoted field, text after
// a closing quote, or a quote never closed.
inline bool ReadCsvRow(const std::string& text, size_t* pos, std::vector<std::string>* fields)
{
    fields->clear();
    size_t i = *pos;
    std::string field;
    bool quoted = false, closed = false;
    for (; i < text.size(); i++) {
        char c = text[i];
        if (quoted && !closed) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[i++];
            else
                closed = true;
        } else if (c == ',' || c == '\r' || c == '\n') {
            fields->push_back(field);
            field.clear();
            quoted = closed = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                i++;
            if (c != ',') {
                *pos = i + 1;
                return true;
            }
        } else if (c == '"' && field.empty() && !quoted) {
            quoted = true;
        } else if (c == '"' || closed) {
            return false;
        } else {
            field += c;
        }
    }
    if (quoted && !closed)
        return false;
    fields->push_back(field);
    *pos = i;
    return true;
}

// The text an HTML parser shows for escaped text; "<invalid>" when a tag
// or an unknown entity is in it.
inline std::string ReadHtmlText(const std::string& html)
{
    static const struct { const char* entity; char c; } entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
    std::string text;
    for (size_t i = 0; i < html.size(); i++) {
        if (html[i] == '<' || html[i] == '>' || html[i] == '"' || html[i] == '\'')
            return "<invalid>";
        if (html[i] != '&') {
            text += html[i];
            continue;
        }
        bool known = false;
        for (const auto& e : entities) {
            std::string name = e.entity;
            if (html.compare(i, name.size(), name) == 0) {
                text += e.c;
                i += name.size() - 1;
                known = true;
                break;
            }
        }
        if (!known)
            return "<invalid>";
    }
    return text;
}

}  // namespace vxtest
