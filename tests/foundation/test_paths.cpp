// Folders, files and program paths against Wine's real registry and files.
#include <shlwapi.h>
#include <string.h>

#include "foundation/paths.h"
#include "foundation/text.h"
#include "scratch_fixture.h"

namespace {

using namespace scratch;

#define SHELL_FOLDERS "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"

typedef ScratchTest Paths;

TEST_F(Paths, AppDataFolderWithItsVaultElseTheProgramFolder)
{
    char folder[VX_PATH];
    const std::string program = vxtest::ProgramFolder();
    SavedString saved{ HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData" };
    // A folder under which the vault's path would not fit a path buffer, and
    // one where a file stands in the vault's place.
    std::string deep = Scratch() + "\\" + std::string(247 - 1 - Scratch().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL)
        && CreateDirectoryA(Scratch("blocked").c_str(), NULL)
        && CreateDirectoryA(Scratch("blocked\\Vardex").c_str(), NULL));
    vxtest::WriteFileBytes(Scratch("blocked\\Vardex\\vault"), "not a folder");
    // No AppData; the vault made the first time, found the second.
    const std::string cases[][2] = {{"", program}, {Scratch("blocked"), program}, {deep, program},
        {Scratch(), Scratch("Vardex")}, {Scratch(), Scratch("Vardex")}};
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", c[0].c_str());
        EXPECT_EQ(c[1], std::string(folder, GetAppDataFolder(folder))) << c[0];
        EXPECT_EQ(c[1] != program, PathIsDirectoryA((c[1] + "\\vault").c_str()) != 0) << c[0];
    }
    EXPECT_FALSE(PathIsDirectoryA((deep + "\\Vardex").c_str()))
        << "made although its vault cannot be named";
}

TEST_F(Paths, FileExistsExpandProgramPathAndReadFilesUseTheRealFolders)
{
    // Names of 31 characters are looked up in the folders, 32 are not.
    std::string n31 = std::string(27, 'a') + ".txt", n32 = std::string(28, 'b') + ".txt";
    const std::string system = Folder(GetSystemDirectoryA) + "\\";
    const std::string files[] = {system + "vxsysonl.txt",
        Folder(GetWindowsDirectoryA) + "\\vxwinonl.txt", system + n31, system + n32};
    for (const std::string& file : files)
        vxtest::WriteFileBytes(file, "x");
    char shortSystem[VX_PATH], path[VX_PATH + 4];
    GetShortPathNameA(files[0].c_str(), shortSystem, sizeof(shortSystem));
    // What path holds afterwards: found in the system folder, its full short
    // path; else the name as it was.  "" would find the Windows folder itself.
    const struct { std::string path; bool found; std::string after;
    } cases[] = {
        {"x", false, "x"},
        {"", false, ""},
        {n31, true, ""},
        {n32, false, n32},
        {files[3], true, files[3]},
        {"vxwinonl.txt", true, "vxwinonl.txt"},
        {"vxsysonl.txt", true, shortSystem},
    };
    for (const auto& c : cases) {
        TextCopy(path, c.path.c_str());
        EXPECT_EQ(c.found, FileExists(path) != 0) << c.path;
        EXPECT_TRUE(c.path == n31 || TextEqualNoCase(c.after.c_str(), path))
            << c.path << ": " << path;
    }
    // ExpandProgramPath takes the real Windows folder and ProgramFilesDir.
    auto expand
        = [&path](const char* text) { return std::string(path, ExpandProgramPath(text, path)); };
    SavedString saved{ HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir" };
    // Without ProgramFilesDir, the usual folder.
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir");
    EXPECT_EQ("C:\\PROGRAM FILES\\APP\\APP.EXE", expand("%PROGRAMFILES%\\App\\app.exe -x"));
    vxtest::SetString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", "D:\\Apps");
    EXPECT_EQ("D:\\APPS\\APP\\APP.EXE", expand("%PROGRAMFILES%\\App\\app.exe -x"));
    EXPECT_STRCASEEQ((Folder(GetWindowsDirectoryA) + "\\SYSTEM32\\DRIVERS\\X.SYS").c_str(),
                     expand("\\SystemRoot\\System32\\drivers\\x.sys").c_str());
    // A file whose full path has 259 characters exists; 260 and 261
    // characters cannot be named and are reported missing without harm.
    std::string folder = Scratch() + "\\" + std::string(200 - Scratch().size(), 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string path259 = folder + "\\" + std::string(259 - folder.size() - 1, 'g');
    vxtest::WriteFileBytes(path259, "x");
    for (int extra = 0; extra <= 2; extra++) {
        std::string name = path259 + std::string(extra, 'h');
        TextCopy(path, name.c_str());
        EXPECT_TRUE((FileExists(path) != 0) == (extra == 0));
        EXPECT_TRUE(name == path) << name.size();
    }
    // The long form of a short path; unchanged and 0 when there is none.
    std::string file = Scratch("a long file name for the test.text");
    vxtest::WriteFileBytes(file, "x");
    char shortPath[VX_PATH], out[VX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortPath, sizeof(shortPath)));
    EXPECT_EQ((int)file.size(), GetLongPath(shortPath, out));
    EXPECT_STRCASEEQ(file.c_str(), out);
    EXPECT_EQ(0, GetLongPath("C:\\no\\such.txt", out));
    EXPECT_STREQ("C:\\no\\such.txt", out);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(1, DeleteFileForce(file.c_str()));
    EXPECT_EQ(0, DeleteFileForce(file.c_str())) << "deleted twice";
    // "-0": no block, and a size of 0.  A block must end in a zero.  (The
    // line ends in detail: ExpandLineEnds in test_cookie_line.)
    const struct { const char* content; DWORD limit; int crlf; std::string text;
    } texts[] = {
        {"abcdef\n", 3, 1, "abc"},
        {"a\r\nb\n", 100, 1, "a\r\nb\r\n"},
        {"abc\n", 4, 1, "abc\r\n"},
        {"abc\n", 5, 0, "abc\n"},
        {"", 100, 1, "-0"},
        {"abc", 0, 0, "-0"},
    };
    std::string text = Scratch("text.txt");
    for (const auto& c : texts) {
        vxtest::WriteFileBytes(text, c.content);
        DWORD got = c.limit;
        char* block = ReadTextFile(text.c_str(), &got, c.crlf);
        EXPECT_EQ(c.text,
            block ? std::string(block, got + (block[got] != 0)) : "-" + std::to_string(got));
        FreeTextFile(block);
    }
    DWORD got = 100;
    EXPECT_TRUE(ReadTextFile(Scratch("missing.txt").c_str(), &got, 1) == nullptr);
    EXPECT_TRUE(got == 0);
    EXPECT_EQ(nullptr, ReadTextFile(text.c_str(), NULL, 1));
    // A file is read whole or not at all: over the limit (here 5 bytes) it
    // is refused, never cut.
    for (const std::string content : { "abcd", "abcde", "abcdef", "" }) {
        vxtest::WriteFileBytes(text, content);
        bool whole = !content.empty() && content.size() <= 5;
        DWORD size = 99;
        char* block = ReadWholeFile(text.c_str(), 5, &size);
        EXPECT_EQ(whole ? content : "(none)", block != nullptr ? block : "(none)");
        EXPECT_EQ(whole ? content.size() : 0u, size);
        FreeTextFile(block);
    }
    got = 99;
    EXPECT_EQ(nullptr, ReadWholeFile(Scratch("missing.txt").c_str(), 5, &got));
    EXPECT_EQ(0u, got);
}

}  // namespace
