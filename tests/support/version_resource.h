// Copies of a real module given a version resource built by hand, for
// the tests of what files say about themselves (company, product, version).
#pragma once
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "support/vxtest.h"

namespace vxtest {

using Values = std::vector<std::pair<std::string, std::string>>;
// By language/code page ("040904b0").
using Tables = std::vector<std::pair<std::string, Values>>;

inline std::string Wide(const std::string& text)
{
    // Bytes above 127 as the Western code page's letters.
    std::wstring wide;
    for (unsigned char c : text)
        wide += (wchar_t)c;
    return std::string((const char*)wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

// One node: length, value length (characters of a text, else bytes), type
// (1 text, 0 binary), the key, the value (each padded to four bytes), the children.
inline std::string Node(const std::string& key, const std::string& value, bool text,
                        const std::string& children = "")
{
    auto padded = [](std::string s) { s.resize((s.size() + 3) & ~(size_t)3, '\0'); return s; };
    std::string node = padded(std::string(6, '\0') + Wide(key)) + padded(value) + children;
    WORD header[3] = { (WORD)node.size(), (WORD)(text ? value.size() / 2 : value.size()), text };
    memcpy(&node[0], header, sizeof(header));
    return node;
}

constexpr DWORD kUsUnicode = MAKELONG(0x0409, 0x04b0), kGermanAnsi = MAKELONG(0x0407, 0x04e4);

// A copy of from (by default KESSA.DLL, a real module without a version
// resource) given a version resource built by hand: its string tables and
// its Translation list need not agree (real files do disagree).
inline std::string WithVersion(const std::string& to, const Tables& tables,
                        const std::vector<DWORD>& translations = { kUsUnicode },
                        const std::string& from = vxtest::PathInProgramFolder("KESSA.DLL"))
{
    std::string tableNodes;
    for (const auto& table : tables) {
        std::string strings;
        for (const auto& value : table.second)
            strings += Node(value.first, Wide(value.second), true);
        tableNodes += Node(table.first, "", true, strings);
    }
    std::string children = Node("StringFileInfo", "", true, tableNodes);
    std::string list((const char*)translations.data(), translations.size() * sizeof(DWORD));
    if (!translations.empty())
        children += Node("VarFileInfo", "", true, Node("Translation", list, false));
    VS_FIXEDFILEINFO fixed = { VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION };
    std::string data
        = Node("VS_VERSION_INFO", std::string((char*)&fixed, sizeof(fixed)), false, children);
    HANDLE update = CopyFileA(from.c_str(), to.c_str(), FALSE)
        ? BeginUpdateResourceA(to.c_str(), FALSE)
        : NULL;
    EXPECT_TRUE(update != NULL
        && UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
            MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &data[0], (DWORD)data.size())
        && EndUpdateResourceA(update, FALSE))
        << to;
    return to;
}

}  // namespace vxtest
