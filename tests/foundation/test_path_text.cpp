// Command-line and path text: the comparable program path, the RUNDLL32
// target, and the small string transformations.  Pure text, so the folders
// are given rather than read from the system.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/path_text.h"
#include "foundation/text.h"

namespace {

const char* const kWindows = "C:\\windows";
const char* const kProgramFiles = "C:\\Program Files";

std::string Expand(const std::string& command, const char* programFiles = kProgramFiles)
{
    char out[VX_PATH];
    int n = ExpandProgramPathText(command.c_str(), kWindows, programFiles, out, sizeof(out));
    EXPECT_EQ((int)strlen(out), n) << command;
    return out;
}

TEST(ExpandProgramPath, GivesTheComparablePath)
{
    const struct { const char* command; const char* expected; } cases[] = {
        // Quotes and arguments (even with a ":" in them) around a program.
        { "\"C:\\Program Files\\App\\app.exe\" -min", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
        { "C:\\App\\tool.dll,Entry 5", "C:\\APP\\TOOL.DLL" },
        { "rundll32.exe C:\\x.dll,Go", "RUNDLL32.EXE" },
        // %PROGRAMFILES% in any case, quoted or not, with arguments.
        { "%PROGRAMFILES%\\App\\app.exe /s", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
        { "\"%ProgramFiles%\\App\\app.exe\" -x", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
        // Every form of SystemRoot that services use means the Windows folder.
        { "\\SystemRoot\\System32\\drivers\\vxdrv.sys", "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\VXDRV.SYS" },
        { "%SystemRoot%\\system32\\svchost.exe -k netsvcs", "C:\\WINDOWS\\SYSTEM32\\SVCHOST.EXE" },
        { "SystemRoot\\System32\\x.exe", "C:\\WINDOWS\\SYSTEM32\\X.EXE" },
        // A dot in a folder name is not an extension.
        { "C:\\Program Files\\a.b\\x.exe", "C:\\PROGRAM FILES\\A.B\\X.EXE" },
        // Commands that end inside or right after a dot, or start at a ":".
        { "C:\\x.e", "C:\\X.E" },
        { "C:\\x.ex", "C:\\X.EX" },
        { ":abc", ":ABC" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(c.expected), Expand(c.command)) << "command: " << c.command;
    // A folder given with a trailing backslash keeps just the one.
    EXPECT_EQ("D:\\A.EXE", Expand("%ProgramFiles%\\a.exe", "D:\\"));
}

TEST(ExpandProgramPath, LongCommands)
{
    // 258, 259, 260 and 261 characters of path: the buffer keeps 259.
    for (int length = 258; length <= 261; length++) {
        std::string path = "C:\\" + std::string(length - 3 - 4, 'a') + ".exe";
        char out[VX_PATH + 8];
        memset(out, 'Z', sizeof(out));
        int n = ExpandProgramPathText((path + " -arg").c_str(), kWindows, kProgramFiles, out,
                                      VX_PATH);
        int expected = length < VX_PATH ? length : VX_PATH - 1;
        EXPECT_EQ(expected, n) << length;
        EXPECT_EQ((size_t)expected, strlen(out));
        EXPECT_EQ('Z', out[VX_PATH]) << "wrote past the buffer for " << length;
    }
    // A long text before the drive letter cannot push the path out.
    EXPECT_EQ("C:\\X\\Y.EXE", Expand(std::string(1000, 'q') + " \"C:\\x\\y.exe\" -z"));
    std::string out = Expand("%PROGRAMFILES%\\" + std::string(300, 'p') + "\\a.exe");
    EXPECT_EQ((size_t)VX_PATH - 1, out.size());
    EXPECT_EQ(0u, out.find("C:\\PROGRAM FILES\\PPP"));
}

TEST(RundllTarget, TheTextAfterTheWordAndOneBlank)
{
    const struct { std::string command; int result; std::string expected; } cases[] = {
        { "C:\\WINDOWS\\rundll32.exe shell32.dll,Control_RunDLL", 1, "shell32.dll,Control_RunDLL" },
        { "RUNDLL32.EXE  two blanks", 1, " two blanks" },
        // A command that ends at the word (or its blank) gives nothing.
        { "c:\\windows\\RunDll32.exe", 1, "" },
        { "rundll32.exe ", 1, "" },
        // Other commands are copied; long texts are cut to a path.
        { "C:\\x\\rundll.exe a b", 0, "C:\\x\\rundll.exe a b" },
        { std::string(400, 'c'), 0, std::string(VX_PATH - 1, 'c') },
        { "rundll32.exe " + std::string(400, 't'), 1, std::string(VX_PATH - 1, 't') },
    };
    for (const auto& c : cases) {
        char out[VX_PATH];
        memset(out, 'Z', sizeof(out));
        EXPECT_EQ(c.result, RundllTarget(c.command.c_str(), out)) << c.command;
        EXPECT_EQ(c.expected, out) << c.command;
    }
}

TEST(ContainsNoCase, IgnoresCaseUpToSevenHundredSeventyTwoCharacters)
{
    const std::string end772 = std::string(769, 'x') + "END", end773 = "y" + end772;
    const struct { const char* text; const char* part; int found; } cases[] = {
        { "C:\\Program Files\\Vardex\\Vardex.EXE", "vardex.exe", 1 },
        { "Vardex", "VardexView", 0 }, { "abc", "", 1 }, { nullptr, "a", 0 }, { "a", nullptr, 0 },
        { end772.c_str(), "end", 1 }, { end773.c_str(), "end", 0 }, { end773.c_str(), "y", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.found, ContainsNoCase(c.text, c.part)) << (c.text ? c.text : "(null)");
}

using Transform = void (*)(const char*, char*, int);

TEST(Transforms, GiveTheTextAndStayInTheBuffer)
{
    const struct { const char* name; Transform transform; const char* input; int outSize;
                   const char* expected; } cases[] = {
        { "SkipBlanks", SkipBlanks, "   a b ", 32, "a b " },
        { "SkipBlanks", SkipBlanks, "    abcdef", 4, "abc" },
        { "ExtensionOf", ExtensionOf, "setup.tar.gz", 32, "tar.gz" },
        { "ExtensionOf", ExtensionOf, "README", 32, "" },
        { "EqualsToColon", EqualsToColon, "==========", 4, ":::" },
        { "StripQuotes", StripQuotes, "\"C:\\x y\\a.exe\" \"-q\"", 32, "C:\\x y\\a.exe -q" },
        { "StripQuotes", StripQuotes, "\"\"\"ab\"cd", 4, "abc" },
        { "UrlSpaces", UrlSpaces, "a b&c", 32, "a%20b+c" },
        { "UrlSpaces", UrlSpaces, "ab cd", 5, "ab" },      // "%20" does not fit whole
        { "UrlSpaces", UrlSpaces, "ab cd", 6, "ab%20" },
        { "UrlSpaces", UrlSpaces, "&&&&&&", 4, "+++" },
    };
    for (const auto& c : cases) {
        char out[64];
        memset(out, 'Z', sizeof(out));
        c.transform(c.input, out, c.outSize);
        EXPECT_STREQ(c.expected, out) << c.name << "(\"" << c.input << "\", " << c.outSize << ")";
        EXPECT_EQ('Z', out[c.outSize]) << c.name << " wrote past its buffer";
        // An empty buffer is left alone.
        out[0] = 'Z';
        c.transform(c.input, out, 0);
        EXPECT_EQ('Z', out[0]) << c.name;
    }
}

TEST(FileNamePart, TheTextAfterTheLastBackslash)
{
    char out[VX_PATH];
    EXPECT_EQ(5, GetFileNamePart("C:\\a\\b.exe", out));
    EXPECT_STREQ("b.exe", out);
    EXPECT_EQ(0, GetFileNamePart("C:\\a\\", out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, FileNameOffset("b.exe"));
    EXPECT_EQ(1, FileNameOffset("\\"));
    std::string path = "C:\\" + std::string(300, 'n');
    EXPECT_EQ(VX_PATH - 1, GetFileNamePart(path.c_str(), out));
    EXPECT_EQ(3, FileNameOffset(path.c_str()));
}

TEST(Backslash, AppendAndRemove)
{
    // Append: one "\" at most, and a full buffer (259 characters) stays as
    // it is while 258 have room for one.
    const std::string f258(VX_PATH - 2, 'f'), f259(VX_PATH - 1, 'f');
    const struct { std::string path; std::string expected; } appends[] = {
        { "C:\\a", "C:\\a\\" }, { "C:\\a\\", "C:\\a\\" }, { f258, f258 + "\\" }, { f259, f259 },
    };
    for (const auto& c : appends) {
        char path[VX_PATH + 1];
        TextCopy(path, VX_PATH, c.path.c_str());
        path[VX_PATH] = 'Z';
        AppendBackslash(path);
        EXPECT_EQ(c.expected, path) << c.path.size();
        EXPECT_EQ('Z', path[VX_PATH]);
    }
    // Remove keeps the root only when asked.
    const struct { const char* path; int keepRoot; const char* expected; } removes[] = {
        { "C:\\", 1, "C:\\" }, { "C:\\", 0, "C:" }, { "C:\\a\\", 1, "C:\\a" },
        { "C:\\a\\\\", 0, "C:\\a\\" }, { "C:\\a", 0, "C:\\a" }, { "\\", 1, "" }, { "", 1, "" },
    };
    for (const auto& c : removes) {
        char path[VX_PATH];
        TextCopy(path, c.path);
        RemoveTrailingBackslash(path, c.keepRoot);
        EXPECT_STREQ(c.expected, path) << c.path << " keepRoot " << c.keepRoot;
    }
}

}  // namespace
