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

std::string Expand(const std::string& command)
{
    char out[VX_PATH];
    int n = ExpandProgramPathText(command.c_str(), kWindows, kProgramFiles, out, sizeof(out));
    EXPECT_EQ((int)strlen(out), n) << command;
    return out;
}

struct ExpandCase {
    const char* command;
    const char* expected;
};

class ExpandProgramPathCases : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandProgramPathCases, GivesTheComparablePath)
{
    EXPECT_EQ(std::string(GetParam().expected), Expand(GetParam().command))
        << "command: " << GetParam().command;
}

INSTANTIATE_TEST_SUITE_P(Commands, ExpandProgramPathCases, ::testing::Values(
    // Quotes and arguments around a program on drive C.
    ExpandCase{ "\"C:\\Program Files\\App\\app.exe\" -min", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
    ExpandCase{ "c:\\tools\\Agent.EXE /background /x:1", "C:\\TOOLS\\AGENT.EXE" },
    ExpandCase{ "C:\\App\\tool.dll,Entry 5", "C:\\APP\\TOOL.DLL" },
    ExpandCase{ "C:\\a\\b.exe -url http://host/x.exe", "C:\\A\\B.EXE" },
    // %PROGRAMFILES%, in any case, quoted or not, with arguments.
    ExpandCase{ "%PROGRAMFILES%\\App\\app.exe /s", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
    ExpandCase{ "%ProgramFiles%\\App\\app.exe", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
    ExpandCase{ "\"%ProgramFiles%\\App\\app.exe\" -x", "C:\\PROGRAM FILES\\APP\\APP.EXE" },
    // SystemRoot in the forms services use.
    ExpandCase{ "\\SystemRoot\\System32\\drivers\\vxdrv.sys", "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\VXDRV.SYS" },
    ExpandCase{ "%SystemRoot%\\system32\\svchost.exe -k netsvcs", "C:\\WINDOWS\\SYSTEM32\\SVCHOST.EXE" },
    ExpandCase{ "SystemRoot\\System32\\x.exe", "C:\\WINDOWS\\SYSTEM32\\X.EXE" },
    ExpandCase{ "\\??\\C:\\Windows\\x.exe", "C:\\WINDOWS\\X.EXE" },
    // RUNDLL32: the host program is the path.
    ExpandCase{ "C:\\WINDOWS\\system32\\rundll32.exe shell32.dll,Control", "C:\\WINDOWS\\SYSTEM32\\RUNDLL32.EXE" },
    ExpandCase{ "rundll32.exe C:\\x.dll,Go", "RUNDLL32.EXE" },
    // No drive: only upper case and the cut after the extension.
    ExpandCase{ "notepad.exe /p file.txt", "NOTEPAD.EXE" },
    // A dot in a folder name is not an extension.
    ExpandCase{ "C:\\Program Files\\a.b\\x.exe", "C:\\PROGRAM FILES\\A.B\\X.EXE" },
    // Commands that end inside or right after a dot.
    ExpandCase{ "C:\\x.", "C:\\X." },
    ExpandCase{ "C:\\x.e", "C:\\X.E" },
    ExpandCase{ "C:\\x.ex", "C:\\X.EX" },
    ExpandCase{ "C:\\x.sys", "C:\\X.SYS" },
    ExpandCase{ ":abc", ":ABC" },
    ExpandCase{ "", "" }));

TEST(ExpandProgramPath, KeepsTheFolderGivenWithATrailingBackslash)
{
    char out[VX_PATH];
    ExpandProgramPathText("%ProgramFiles%\\a.exe", kWindows, "D:\\", out, sizeof(out));
    EXPECT_STREQ("D:\\A.EXE", out);
    ExpandProgramPathText("%SystemRoot%", "C:\\windows", kProgramFiles, out, sizeof(out));
    EXPECT_STREQ("C:\\WINDOWS", out);
}

TEST(ExpandProgramPath, CutsOverLongPathsToTheBuffer)
{
    // 258, 259, 260 and 261 characters of path: the buffer keeps 259.
    const int lengths[] = { 258, 259, 260, 261 };
    for (int length : lengths) {
        std::string path = "C:\\" + std::string(length - 3 - 4, 'a') + ".exe";
        ASSERT_EQ((size_t)length, path.size());
        char out[VX_PATH + 8];
        memset(out, 'Z', sizeof(out));
        int n = ExpandProgramPathText((path + " -arg").c_str(), kWindows, kProgramFiles, out,
                                      VX_PATH);
        int expected = length < VX_PATH ? length : VX_PATH - 1;
        EXPECT_EQ(expected, n) << length;
        EXPECT_EQ((size_t)expected, strlen(out));
        EXPECT_EQ('Z', out[VX_PATH]) << "wrote past the buffer for " << length;
    }
}

TEST(ExpandProgramPath, DropsALongTextBeforeTheDriveLetter)
{
    std::string command = std::string(1000, 'q') + " \"C:\\x\\y.exe\" -z";
    EXPECT_EQ("C:\\X\\Y.EXE", Expand(command));
}

TEST(ExpandProgramPath, ProgramFilesWithAPathLongerThanTheBuffer)
{
    std::string command = "%PROGRAMFILES%\\" + std::string(300, 'p') + "\\a.exe";
    std::string out = Expand(command);
    EXPECT_EQ((size_t)VX_PATH - 1, out.size());
    EXPECT_EQ(0u, out.find("C:\\PROGRAM FILES\\PPP"));
}

// --- RundllTarget ----------------------------------------------------------

TEST(RundllTarget, TakesTheTextAfterTheWordAndOneBlank)
{
    char out[VX_PATH];
    EXPECT_EQ(1, RundllTarget("C:\\WINDOWS\\rundll32.exe shell32.dll,Control_RunDLL", out));
    EXPECT_STREQ("shell32.dll,Control_RunDLL", out);
    EXPECT_EQ(1, RundllTarget("RUNDLL32.EXE  two blanks", out));
    EXPECT_STREQ(" two blanks", out);
}

TEST(RundllTarget, ACommandThatEndsAtTheWordGivesNothing)
{
    char out[VX_PATH];
    memset(out, 'Z', sizeof(out));
    EXPECT_EQ(1, RundllTarget("c:\\windows\\RunDll32.exe", out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(1, RundllTarget("rundll32.exe ", out));
    EXPECT_STREQ("", out);
}

TEST(RundllTarget, OtherCommandsAreCopied)
{
    char out[VX_PATH];
    EXPECT_EQ(0, RundllTarget("C:\\x\\rundll.exe a b", out));
    EXPECT_STREQ("C:\\x\\rundll.exe a b", out);
    std::string longCommand(400, 'c');
    EXPECT_EQ(0, RundllTarget(longCommand.c_str(), out));
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(out));
    std::string longTarget = "rundll32.exe " + std::string(400, 't');
    EXPECT_EQ(1, RundllTarget(longTarget.c_str(), out));
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(out));
}

// --- ContainsNoCase -----------------------------------------------------------

TEST(ContainsNoCase, IgnoresCase)
{
    EXPECT_EQ(1, ContainsNoCase("C:\\Program Files\\Vardex\\Vardex.EXE", "vardex.exe"));
    EXPECT_EQ(0, ContainsNoCase("Vardex", "VardexView"));
    EXPECT_EQ(1, ContainsNoCase("abc", ""));
    EXPECT_EQ(0, ContainsNoCase(nullptr, "a"));
    EXPECT_EQ(0, ContainsNoCase("a", nullptr));
}

TEST(ContainsNoCase, TextOverSevenHundredSeventyTwoNeverMatches)
{
    std::string text = std::string(769, 'x') + "END";
    ASSERT_EQ(772u, text.size());
    EXPECT_EQ(1, ContainsNoCase(text.c_str(), "end"));
    text.insert(0, "y");
    EXPECT_EQ(0, ContainsNoCase(text.c_str(), "end"));
    EXPECT_EQ(0, ContainsNoCase(text.c_str(), "y"));
}

// --- The small transformations -------------------------------------------------

using Transform = void (*)(const char*, char*, int);

struct TransformCase {
    const char* name;
    Transform transform;
    const char* input;
    int outSize;
    const char* expected;
};

class TransformCases : public ::testing::TestWithParam<TransformCase> {};

TEST_P(TransformCases, GiveTheTextAndStayInTheBuffer)
{
    const TransformCase& c = GetParam();
    char out[64];
    memset(out, 'Z', sizeof(out));
    c.transform(c.input, out, c.outSize);
    EXPECT_STREQ(c.expected, out) << c.name << "(\"" << c.input << "\", " << c.outSize << ")";
    EXPECT_EQ('Z', out[c.outSize]) << c.name << " wrote past its buffer";
}

INSTANTIATE_TEST_SUITE_P(Texts, TransformCases, ::testing::Values(
    TransformCase{ "SkipBlanks", SkipBlanks, "   a b ", 32, "a b " },
    TransformCase{ "SkipBlanks", SkipBlanks, "", 32, "" },
    TransformCase{ "SkipBlanks", SkipBlanks, "    abcdef", 4, "abc" },
    TransformCase{ "ExtensionOf", ExtensionOf, "setup.tar.gz", 32, "tar.gz" },
    TransformCase{ "ExtensionOf", ExtensionOf, "README", 32, "" },
    TransformCase{ "ExtensionOf", ExtensionOf, "a.", 32, "" },
    TransformCase{ "EqualsToColon", EqualsToColon, "a=b==c", 32, "a:b::c" },
    TransformCase{ "EqualsToColon", EqualsToColon, "==========", 4, ":::" },
    TransformCase{ "StripQuotes", StripQuotes, "\"C:\\x y\\a.exe\" \"-q\"", 32, "C:\\x y\\a.exe -q" },
    TransformCase{ "StripQuotes", StripQuotes, "\"\"\"ab\"cd", 4, "abc" },
    TransformCase{ "UrlSpaces", UrlSpaces, "a b&c", 32, "a%20b+c" },
    TransformCase{ "UrlSpaces", UrlSpaces, "ab cd", 5, "ab" },      // "%20" does not fit whole
    TransformCase{ "UrlSpaces", UrlSpaces, "ab cd", 6, "ab%20" },
    TransformCase{ "UrlSpaces", UrlSpaces, "&&&&&&", 4, "+++" }));

TEST(Transforms, AnEmptyBufferIsLeftAlone)
{
    char out[2] = { 'Z', 'Z' };
    Transform all[] = { SkipBlanks, ExtensionOf, EqualsToColon, StripQuotes, UrlSpaces };
    for (Transform t : all) {
        t("a b", out, 0);
        EXPECT_EQ('Z', out[0]);
    }
}

// --- File name parts and backslashes -----------------------------------------

TEST(FileNamePart, TakesTheTextAfterTheLastBackslash)
{
    char out[VX_PATH];
    EXPECT_EQ(5, GetFileNamePart("C:\\a\\b.exe", out));
    EXPECT_STREQ("b.exe", out);
    EXPECT_EQ(0, GetFileNamePart("b.exe", out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, GetFileNamePart("C:\\a\\", out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(5, FileNameOffset("C:\\a\\b.exe"));
    EXPECT_EQ(0, FileNameOffset("b.exe"));
    EXPECT_EQ(1, FileNameOffset("\\"));
}

TEST(FileNamePart, LongNamesAreCut)
{
    std::string path = "C:\\" + std::string(300, 'n');
    char out[VX_PATH];
    EXPECT_EQ(VX_PATH - 1, GetFileNamePart(path.c_str(), out));
    EXPECT_EQ(3, FileNameOffset(path.c_str()));
}

TEST(Backslash, AppendAddsOneOnlyWhenMissing)
{
    char path[VX_PATH] = "C:\\a";
    AppendBackslash(path);
    EXPECT_STREQ("C:\\a\\", path);
    AppendBackslash(path);
    EXPECT_STREQ("C:\\a\\", path);

    // A full buffer (259 characters) stays as it is.
    char full[VX_PATH + 1];
    memset(full, 'f', VX_PATH - 1);
    full[VX_PATH - 1] = '\0';
    full[VX_PATH] = 'Z';
    AppendBackslash(full);
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(full));
    EXPECT_EQ('Z', full[VX_PATH]);
    // 258 characters: room for exactly one more.
    full[VX_PATH - 2] = '\0';
    AppendBackslash(full);
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(full));
    EXPECT_EQ('\\', full[VX_PATH - 2]);
}

TEST(Backslash, RemoveKeepsTheRootOnlyWhenAsked)
{
    struct { const char* path; int keepRoot; const char* expected; } cases[] = {
        { "C:\\", 1, "C:\\" },
        { "C:\\", 0, "C:" },
        { "C:\\a\\", 1, "C:\\a" },
        { "C:\\a\\\\", 0, "C:\\a\\" },
        { "C:\\a", 0, "C:\\a" },
        { "\\", 1, "" },
        { "", 1, "" },
    };
    for (const auto& c : cases) {
        char path[VX_PATH];
        TextCopy(path, c.path);
        RemoveTrailingBackslash(path, c.keepRoot);
        EXPECT_STREQ(c.expected, path) << c.path << " keepRoot " << c.keepRoot;
    }
}

}  // namespace
