// Reads a lookup address back the way the vendor's service does: the part
// before "?", then "name=value" pairs split at "&", each value decoded
// ("+" is "&", "%XX" is a byte).  Test code only; plain C++, so the native
// tests and the fuzzer use it too.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace vxtest {

struct ReadQuery {
    bool Valid = false;  // every pair has its "=" and every escape two hex digits
    std::string Root;    // the address before "?"
    std::vector<std::pair<std::string, std::string>> Pairs;

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& pair : Pairs)
            names.push_back(pair.first);
        return names;
    }
    // The value of the first pair of that name; "<none>" when there is none.
    std::string Value(const std::string& name) const
    {
        for (const auto& pair : Pairs)
            if (pair.first == name)
                return pair.second;
        return "<none>";
    }
};

inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;  // the encoder writes upper-case digits only
}

inline bool DecodeQueryValue(const std::string& text, std::string* out)
{
    out->clear();
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '+') {
            *out += '&';
        } else if (text[i] == '%') {
            if (i + 2 >= text.size())
                return false;
            int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0)
                return false;
            *out += (char)(high * 16 + low);
            i += 2;
        } else {
            *out += text[i];
        }
    }
    return true;
}

inline ReadQuery ReadLookupQuery(const std::string& address)
{
    ReadQuery query;
    size_t mark = address.find('?');
    query.Root = address.substr(0, mark);
    if (mark == std::string::npos)
        return query;
    query.Valid = true;
    size_t start = mark + 1;
    while (start <= address.size()) {
        size_t end = address.find('&', start);
        if (end == std::string::npos)
            end = address.size();
        std::string pair = address.substr(start, end - start);
        size_t equals = pair.find('=');
        std::string value;
        if (equals == std::string::npos || !DecodeQueryValue(pair.substr(equals + 1), &value))
            query.Valid = false;
        query.Pairs.emplace_back(pair.substr(0, equals), value);
        start = end + 1;
    }
    return query;
}

}  // namespace vxtest
