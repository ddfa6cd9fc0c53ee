// What the tests of the Win32 utilities share: a scratch folder beside the
// test program, emptied before every test, and system values
// that a test changes and puts back (the tests of one program share one
// prefix).  vxtest.h brings <windows.h> and <string>.
#pragma once
#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "support/vxtest.h"

namespace scratch {

// A text value as the prefix had it, put back (or removed again) when the
// test ends.
struct SavedString {
    HKEY root;
    const char *path, *name;
    std::string text = vxtest::ReadString(root, path, name);
    ~SavedString()
    {
        RegDeleteValueNamed(root, path, name);
        if (text != "<missing>")
            vxtest::SetString(root, path, name, text.c_str());
    }
};

inline std::string Folder(UINT(WINAPI* get)(LPSTR, UINT))
{
    char f[MAX_PATH];
    return std::string(f, get(f, MAX_PATH));
}

// The scratch folder, or a name in it.
inline std::string Scratch(const char* name = "")
{
    return vxtest::PathInProgramFolder("utils_scratch") + (name[0] ? std::string("\\") + name : "");
}

// Removes the folder with everything in it, read-only files too (a name
// that is no file to delete is a folder to empty).
inline void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (bool more = find.IsValid(); more; more = FindNextFileA(find.Get(), &found) != 0) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (name != "." && name != ".." && !DeleteFileA(path.c_str()))
            RemoveTree(path);
    }
    RemoveDirectoryA(folder.c_str());
}

struct ScratchTest : ::testing::Test {
    void SetUp() override
    {
        RemoveTree(Scratch());
        ASSERT_TRUE(CreateDirectoryA(Scratch().c_str(), NULL));
    }
};

}  // namespace scratch
