// Folders, files and program paths against Wine's real registry and files.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/paths.h"
#include "foundation/text.h"
#include "scratch_fixture.h"

namespace {

using scratch::Folder;
using scratch::SavedString;
using scratch::Scratch;

#define SHELL_FOLDERS "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"

typedef scratch::ScratchTest Paths;

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Paths, AppDataFolderWithItsVaultElseTheProgramFolder)
{
    char folder[VX_PATH];
    const std::string program = vxtest::ProgramFolder();
    EXPECT_EQ((int)program.size(), GetProgramFolder(folder));
    EXPECT_EQ(program, folder);

    SavedString saved{ HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData" };
    // A folder under which the vault's path would not fit a path buffer.
    std::string deep = Scratch() + "\\" + std::string(247 - 1 - Scratch().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(Scratch("blocked").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(Scratch("blocked\\Vardex").c_str(), NULL));
    vxtest::WriteFileBytes(Scratch("blocked\\Vardex\\vault"), "not a folder");
    const struct { const char* what; std::string appData; std::string expected; } cases[] = {
        { "no AppData", "", program },
        { "a file where the vault should be", Scratch("blocked"), program },
        { "vault path too long", deep, program },
        { "created", Scratch(), Scratch("Vardex") },
        { "found the second time", Scratch(), Scratch("Vardex") },
    };
    for (const auto& c : cases) {
        if (c.appData.empty())
            RegDeleteValueNamed(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData");
        else
            vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", c.appData.c_str());
        EXPECT_EQ((int)c.expected.size(), GetAppDataFolder(folder)) << c.what;
        EXPECT_EQ(c.expected, folder) << c.what;
        if (c.expected != program) {
            EXPECT_TRUE(IsFolder(c.expected + "\\vault")) << c.what;
        }
    }
    EXPECT_FALSE(IsFolder(deep + "\\Vardex")) << "made although its vault cannot be named";
}

TEST_F(Paths, FileExistsLooksInTheWindowsThenTheSystemFolder)
{
    // Names of 31 characters are looked up in the folders, 32 are not.
    std::string name31 = std::string(27, 'a') + ".txt", name32 = std::string(28, 'b') + ".txt";
    const std::string files[] = { Folder(GetSystemDirectoryA) + "\\vxsysonl.txt",
                                  Folder(GetWindowsDirectoryA) + "\\vxwinonl.txt",
                                  Folder(GetSystemDirectoryA) + "\\" + name31,
                                  Folder(GetSystemDirectoryA) + "\\" + name32 };
    for (const std::string& file : files)
        vxtest::WriteFileBytes(file, "x");
    char shortSystem[VX_PATH];
    GetShortPathNameA(files[0].c_str(), shortSystem, sizeof(shortSystem));
    // What path holds afterwards: found in the system folder, its full short
    // path; else the name as it was.
    const struct { std::string path; bool found; std::string after; } cases[] = {
        { "notepad.exe", true, "notepad.exe" }, { "x", false, "x" },
        { "", false, "" },   // would find the Windows folder itself
        { "vxwinonl.txt", true, "vxwinonl.txt" }, { "vxsysonl.txt", true, shortSystem },
        { name31, true, "" }, { name32, false, name32 }, { files[3], true, files[3] },
    };
    for (const auto& c : cases) {
        char path[VX_PATH];
        TextCopy(path, c.path.c_str());
        EXPECT_EQ(c.found, FileExists(path) != 0) << c.path;
        if (c.path != name31) {
            EXPECT_STRCASEEQ(c.after.c_str(), path) << c.path;
        }
    }
    for (const std::string& file : files)
        DeleteFileA(file.c_str());
}

TEST_F(Paths, FileExistsAtThePathLengthLimit)
{
    // A file whose full path has 259 characters exists; 260 and 261
    // characters cannot be named and are reported missing without harm.
    std::string folder = Scratch() + "\\" + std::string(200 - Scratch().size(), 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string path259 = folder + "\\" + std::string(259 - folder.size() - 1, 'g');
    vxtest::WriteFileBytes(path259, "x");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path259.c_str()));
    for (int extra = 0; extra <= 2; extra++) {
        std::string name = path259 + std::string(extra, 'h');
        char path[VX_PATH + 4];
        TextCopy(path, name.c_str());
        EXPECT_EQ(extra == 0, FileExists(path) != 0) << name.size();
        EXPECT_EQ(name, path);
    }
}

TEST_F(Paths, LongPathAndForcedDelete)
{
    std::string file = Scratch("a long file name for the test.text");
    vxtest::WriteFileBytes(file, "x");
    char shortPath[VX_PATH], out[VX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortPath, sizeof(shortPath)));
    EXPECT_EQ((int)file.size(), GetLongPath(shortPath, out));
    EXPECT_STRCASEEQ(file.c_str(), out);
    // No conversion: the path comes back unchanged and the result is 0.
    EXPECT_EQ(0, GetLongPath("C:\\no\\such\\file.txt", out));
    EXPECT_STREQ("C:\\no\\such\\file.txt", out);

    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(1, DeleteFileForce(file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    EXPECT_EQ(0, DeleteFileForce(file.c_str()));
}

TEST_F(Paths, ReadTextFileReadsAtMostTheLimit)
{
    const struct { const char* name; const char* content; DWORD limit; int crlf;
                   const char* expected; } cases[] = {   // expected NULL: no block
        { "crlf", "a\nb\n", 100, 1, "a\r\nb\r\n" },
        { "leading line feed", "\n\nx", 100, 1, "\r\n\r\nx" },
        { "already crlf", "a\r\nb\n", 100, 1, "a\r\nb\r\n" },
        { "cut to the limit", "abcdef\n", 3, 1, "abc" },
        { "limit exactly the size", "abc\n", 4, 1, "abc\r\n" },
        { "limit one over the size", "abc\n", 5, 0, "abc\n" },
        { "empty file", "", 100, 1, NULL },
        { "limit zero", "abc", 0, 0, NULL },
    };
    std::string file = Scratch("text.txt");
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(file, c.content);
        DWORD size = c.limit;
        char* block = ReadTextFile(file.c_str(), &size, c.crlf);
        EXPECT_EQ(c.expected ? c.expected : "<none>",
                  block ? std::string(block, size) : "<none>") << c.name;
        if (block) {
            EXPECT_EQ('\0', block[size]) << c.name;
        } else {
            EXPECT_EQ(0u, size) << c.name;
        }
        FreeTextFile(block);
    }
    DWORD size = 100;
    EXPECT_EQ(nullptr, ReadTextFile(Scratch("missing.txt").c_str(), &size, 1));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(nullptr, ReadTextFile(Scratch().c_str(), &size, 1));   // a folder
    EXPECT_EQ(nullptr, ReadTextFile(file.c_str(), NULL, 1));
}

TEST_F(Paths, ExpandProgramPathUsesTheRealFolders)
{
    char real[MAX_PATH];
    ASSERT_GT(RegReadString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", real,
                            sizeof(real)), 0);
    TextUpper(real);
    std::string windows = Folder(GetWindowsDirectoryA);
    TextUpper(&windows[0]);
    SavedString saved{ HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir" };
    // ProgramFilesDir as set (NULL: removed, which means the usual folder).
    const struct { const char* programFiles; std::string command; std::string expected; } cases[] = {
        { real, "%PROGRAMFILES%\\Some App\\app.exe /tray", std::string(real) + "\\SOME APP\\APP.EXE" },
        { real, "\\SystemRoot\\System32\\drivers\\vxdrv.sys",
          windows + "\\SYSTEM32\\DRIVERS\\VXDRV.SYS" },
        { NULL, "%PROGRAMFILES%\\App\\app.exe -x", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
        { "D:\\Apps", "%PROGRAMFILES%\\App\\app.exe -x", "D:\\APPS\\APP\\APP.EXE" },
    };
    for (const auto& c : cases) {
        if (c.programFiles)
            vxtest::SetString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", c.programFiles);
        else
            RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir");
        char out[VX_PATH];
        EXPECT_EQ((int)c.expected.size(), ExpandProgramPath(c.command.c_str(), out)) << c.command;
        EXPECT_EQ(c.expected, out) << c.command;
    }
}

}  // namespace
