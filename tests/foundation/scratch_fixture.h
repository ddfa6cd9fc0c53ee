// What the tests of the Win32 utilities share: a scratch folder beside the
// test program, emptied before and after every test, and system values
// that a test changes and puts back (the tests of one program share one
// prefix).
#pragma once
#include <windows.h>

#include <string>

#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "support/vxtest.h"

namespace scratch {

// A text value as the prefix had it, put back (or removed again) when the
// test ends.
struct SavedString {
    HKEY root;
    const char* path;
    const char* name;
    bool present = vxtest::ValueExists(root, path, name);
    std::string text = vxtest::ReadString(root, path, name);
    ~SavedString()
    {
        if (present)
            vxtest::SetString(root, path, name, text.c_str());
        else
            RegDeleteValueNamed(root, path, name);
    }
};

inline std::string Folder(UINT(WINAPI* get)(LPSTR, UINT))
{
    char folder[MAX_PATH];
    get(folder, sizeof(folder));
    return folder;
}

// The scratch folder, or a name in it.
inline std::string Scratch(const char* name = "")
{
    std::string folder = vxtest::PathInProgramFolder("utils_scratch");
    return name[0] ? folder + "\\" + name : folder;
}

inline void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
    while (find.IsValid()) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                RemoveTree(path);
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        if (!FindNextFileA(find.Get(), &found))
            break;
    }
    RemoveDirectoryA(folder.c_str());
}

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        RemoveTree(Scratch());
        ASSERT_TRUE(CreateDirectoryA(Scratch().c_str(), NULL));
    }
    void TearDown() override { RemoveTree(Scratch()); }
};

}  // namespace scratch
