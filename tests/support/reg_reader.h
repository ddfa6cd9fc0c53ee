// Reads one value line of a registry script back the way the system's
// import does: "@" or a quoted name ("\\" and "\"" its only escapes), "=",
// then quoted text, "dword:" and eight digits, or "hex:"/"hex(N):" bytes
// whose lines go on after a trailing backslash and leading blanks.  Test
// code only; plain C++, so the native tests and the fuzzer use it too.
#pragma once
#include <stdlib.h>
#include <string.h>
#include <string>

namespace vxtest {

struct ReadRegValue {
    bool Valid = false;  // the whole input was one value line ending in CR LF
    std::string Name;
    unsigned long Type = 0;
    std::string Data;  // the bytes, a quoted text with its terminating zero
};

namespace regread {

inline bool Quoted(const std::string& s, size_t* pos, std::string* out)
{
    if (*pos >= s.size() || s[*pos] != '"')
        return false;
    for (size_t i = *pos + 1; i < s.size(); i++) {
        if (s[i] == '"') {
            *pos = i + 1;
            return true;
        }
        if (s[i] == '\r' || s[i] == '\n')
            return false;
        if (s[i] == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return false;
            i++;
        }
        out->push_back(s[i]);
    }
    return false;
}

inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool Starts(const std::string& s, size_t pos, const char* what)
{
    return s.compare(pos, strlen(what), what) == 0;
}

// "xx,xx,...", continued after ",\" CR LF and blanks; stops before CR LF.
inline bool HexBytes(const std::string& s, size_t* pos, std::string* out)
{
    size_t i = *pos;
    while (i + 1 < s.size() && HexDigit(s[i]) >= 0 && HexDigit(s[i + 1]) >= 0) {
        out->push_back((char)(HexDigit(s[i]) * 16 + HexDigit(s[i + 1])));
        i += 2;
        if (i >= s.size() || s[i] != ',')
            break;
        i++;
        if (Starts(s, i, "\\\r\n")) {
            i += 3;
            while (i < s.size() && s[i] == ' ')
                i++;
        }
    }
    *pos = i;
    return true;
}

}  // namespace regread

inline ReadRegValue ReadRegLine(const std::string& s)
{
    using namespace regread;
    ReadRegValue v;
    size_t pos = 0;
    if (Starts(s, 0, "@"))
        pos = 1;
    else if (!Quoted(s, &pos, &v.Name))
        return v;
    if (!Starts(s, pos, "="))
        return v;
    pos++;
    if (Starts(s, pos, "\"")) {
        if (!Quoted(s, &pos, &v.Data))
            return v;
        v.Type = 1;
        v.Data.push_back('\0');
    } else if (Starts(s, pos, "dword:")) {
        pos += 6;
        if (s.size() < pos + 8)
            return v;
        unsigned long value = 0;
        for (int i = 0; i < 8; i++, pos++) {
            if (HexDigit(s[pos]) < 0)
                return v;
            value = value * 16 + HexDigit(s[pos]);
        }
        v.Type = 4;
        for (int i = 0; i < 4; i++)
            v.Data.push_back((char)(value >> (8 * i)));
    } else if (Starts(s, pos, "hex:")) {
        pos += 4;
        v.Type = 3;
        HexBytes(s, &pos, &v.Data);
    } else if (Starts(s, pos, "hex(")) {
        char* end = NULL;
        v.Type = strtoul(s.c_str() + pos + 4, &end, 16);
        if (end == s.c_str() + pos + 4 || strncmp(end, "):", 2) != 0)
            return v;
        pos = end - s.c_str() + 2;
        HexBytes(s, &pos, &v.Data);
    } else {
        return v;
    }
    v.Valid = s.compare(pos, std::string::npos, "\r\n") == 0;
    return v;
}

}  // namespace vxtest
