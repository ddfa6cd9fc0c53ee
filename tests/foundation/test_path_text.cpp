// Command-line and path text: the comparable program path, the RUNDLL32
// target, and the small string transformations.  Pure text, so the folders
// are given rather than read from the system.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/path_text.h"
#include "foundation/text.h"

namespace {

std::string Expand(const std::string& command, const char* programFiles = "C:\\Program Files")
{
    char out[VX_PATH + 1];
    memset(out, 'Z', sizeof(out));
    int n = ExpandProgramPathText(command.c_str(), "C:\\windows", programFiles, out, VX_PATH);
    EXPECT_EQ((int)strlen(out), n) << command;
    EXPECT_EQ('Z', out[VX_PATH]) << "wrote past the buffer for " << command;
    return out;
}

std::string FileForm(const char* command)
{
    char out[VX_PATH];
    ExpandProgramFileText(command, "C:\\Windows", "C:\\Program Files", out, VX_PATH);
    return out;
}

// The disk is read by the file form: the command's own case, with the
// comparable form's cuts.
TEST(CommandText, FileFormKeepsTheCommandsCase)
{
    EXPECT_EQ("C:\\VxList\\Tool.Exe", FileForm("\"C:\\VxList\\Tool.Exe\" /Min"));
    EXPECT_EQ("C:\\Windows\\Sys\\Svc.exe", FileForm("%SystemRoot%\\Sys\\Svc.exe -k"));
    EXPECT_EQ("C:\\Program Files\\A\\App.dll", FileForm("%ProgramFiles%\\A\\App.dll,Go"));
    EXPECT_EQ("D:\\Mixed.Dir\\x.EXE", FileForm("run D:\\Mixed.Dir\\x.EXE"));
    EXPECT_EQ("", FileForm(""));
    // Upper-cased, it is the comparable form.
    EXPECT_EQ("C:\\VXLIST\\TOOL.EXE", Expand("\"C:\\VxList\\Tool.Exe\" /Min"));
}

TEST(CommandText, ComparablePathRundllTargetAndContainsNoCase)
{
    const struct { std::string command; const char* expected;
    } cases[] = {
        // Quotes and arguments (even with a ":" in them) around a program.
        {"C:\\App\\tool.dll,Entry 5", "C:\\APP\\TOOL.DLL"},
        // %ProgramFiles% and every form of SystemRoot, in any case; the text
        // before them is dropped.
        {"\"%ProgramFiles%\\App\\app.exe\" -x", "C:\\PROGRAM FILES\\APP\\APP.EXE"},
        {"\\SystemRoot\\System32\\drivers\\vxdrv.sys", "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\VXDRV.SYS"},
        {"%SystemRoot%\\system32\\svchost.exe -k netsvcs", "C:\\WINDOWS\\SYSTEM32\\SVCHOST.EXE"},
        // A dot in a folder name is not an extension; commands that end inside
        // or right after a dot, or start at a ":".
        {"C:\\Program Files\\a.b\\x.exe", "C:\\PROGRAM FILES\\A.B\\X.EXE"},
        {"C:\\x.e", "C:\\X.E"},
        {":abc", ":ABC"},
        {"", ""},
        // A long text before the drive letter cannot push the path out.
        {std::string(1000, 'q') + " \"C:\\x\\y.exe\" -z", "C:\\X\\Y.EXE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(c.expected), Expand(c.command)) << "command: " << c.command;
    // A folder given with a trailing backslash keeps just the one.
    EXPECT_EQ("D:\\A.EXE", Expand("%ProgramFiles%\\a.exe", "D:\\"));
    // 258, 259, 260 and 261 characters of path: the buffer keeps 259.
    for (size_t length = 258; length <= 261; length++)
        EXPECT_EQ(std::min(length, (size_t)VX_PATH - 1),
                  Expand("C:\\" + std::string(length - 7, 'a') + ".exe -arg").size()) << length;
    // The text after the word and one blank ("" when the command ends
    // there); other commands are copied; long texts are cut to a path.
    const struct { std::string command; int result; std::string expected;
    } rundll[] = {
        {"RUNDLL32.EXE  two", 1, " two"},
        {"C:\\x\\rundll.exe a b", 0, "C:\\x\\rundll.exe a b"},
        {"c:\\windows\\RunDll32.exe", 1, ""},
        {std::string(400, 'c'), 0, std::string(VX_PATH - 1, 'c')},
        {"rundll32.exe " + std::string(400, 't'), 1, std::string(VX_PATH - 1, 't')},
    };
    for (const auto& c : rundll) {
        char out[VX_PATH];
        EXPECT_EQ(c.result, RundllTarget(c.command.c_str(), out)) << c.command;
        EXPECT_EQ(c.expected, out) << c.command;
    }
    // Texts over 772 characters never match.
    const std::string end772 = std::string(769, 'x') + "END", end773 = "y" + end772;
    EXPECT_TRUE(
        ContainsNoCase("C:\\Vardex.EXE", "vardex.exe") && ContainsNoCase(end772.c_str(), "end"));
    EXPECT_FALSE(ContainsNoCase(end773.c_str(), "y") || ContainsNoCase(nullptr, "a")
        || ContainsNoCase("a", nullptr));
    // Transforms and backslashes stay in the buffer.
    const struct { void (*transform)(const char*, char*, int); const char* input; int outSize;
                   const char* expected; } transforms[] = {
        { SkipBlanks, "    abcdef", 4, "abc" }, { ExtensionOf, "setup.tar.gz", 32, "tar.gz" },
        { ExtensionOf, "README", 32, "" }, { EqualsToColon, "==========", 4, ":::" },
        { StripQuotes, "\"\"\"ab\"cd", 4, "abc" }, { UrlSpaces, "a b&c", 32, "a%20b+c" },
        // "%20" fits whole or not at all.
        { UrlSpaces, "ab cd", 5, "ab" }, { UrlSpaces, "ab cd", 6, "ab%20" },
    };
    for (const auto& c : transforms) {
        char buffer[64];
        memset(buffer, 'Z', sizeof(buffer));
        c.transform(c.input, buffer, 0);
        EXPECT_EQ('Z', buffer[0]) << c.input << ": an empty buffer is left alone";
        c.transform(c.input, buffer, c.outSize);
        EXPECT_STREQ(c.expected, buffer) << "(\"" << c.input << "\", " << c.outSize << ")";
        EXPECT_EQ('Z', buffer[c.outSize]) << c.input << " wrote past its buffer";
    }
    char buffer[VX_PATH + 1];
    EXPECT_EQ(5, GetFileNamePart("C:\\a\\b.exe", buffer));
    EXPECT_STREQ("b.exe", buffer);
    EXPECT_TRUE(GetFileNamePart("C:\\a\\", buffer) == 0) << buffer;
    EXPECT_TRUE(buffer[0] == '\0') << buffer;
    std::string path = "C:\\" + std::string(300, 'n');
    EXPECT_EQ(VX_PATH - 1, GetFileNamePart(path.c_str(), buffer));
    // keepRoot -1 appends: one "\" at most, and a full buffer (259
    // characters) stays as it is while 258 have room for one.  Removing
    // keeps the root only when asked.
    const std::string f258(VX_PATH - 2, 'f'), f259(VX_PATH - 1, 'f');
    const struct { std::string path; int keepRoot; std::string expected;
    } paths[] = {
        {"C:\\a\\", -1, "C:\\a\\"}, {f258, -1, f258 + "\\"}, {f259, -1, f259},
        {"C:\\", 1, "C:\\"}, {"C:\\", 0, "C:"}, {"C:\\a\\\\", 0, "C:\\a\\"},
        {"\\", 1, ""}, {"", 1, ""},
    };
    for (const auto& c : paths) {
        TextCopy(buffer, VX_PATH, c.path.c_str());
        buffer[VX_PATH] = 'Z';
        c.keepRoot < 0 ? AppendBackslash(buffer) : RemoveTrailingBackslash(buffer, c.keepRoot);
        EXPECT_EQ(c.expected, buffer) << c.path << " " << c.keepRoot;
        EXPECT_EQ('Z', buffer[VX_PATH]);
    }
}

// What lies in a folder: the folder itself and what is below it, whatever
// the case and a trailing "\"; not a sibling whose name starts alike.
TEST(PathText, PathIsInFolder)
{
    const struct { const char* path; const char* folder; int expected; } cases[] = {
        { "C:\\WINDOWS\\system32\\x.dll", "C:\\windows", 1 }, { "C:\\windows", "C:\\Windows\\", 1 },
        { "C:\\windows2\\x.dll", "C:\\windows", 0 }, { "C:\\win", "C:\\windows", 0 },
        { "C:\\x.dll", "C:\\", 1 }, { "x.dll", "", 0 }, { "D:\\windows\\x.dll", "C:\\windows", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, PathIsInFolder(c.path, c.folder)) << c.path << " in " << c.folder;
}

}  // namespace

namespace {

// Commands as association keys and Run values hold them.
struct SplitCase { const char* command; const char* program; const char* arguments; };
const SplitCase kSplitCases[] = {
    { "\"C:\\Program Files\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\"",
      "C:\\Program Files\\Windows NT\\Accessories\\WORDPAD.EXE", "\"%1\"" },
    { "%SystemRoot%\\system32\\NOTEPAD.EXE %1", "%SystemRoot%\\system32\\NOTEPAD.EXE", "%1" },
    // An unquoted path with blanks ends at its program's extension.
    { "C:\\Program Files\\Some App\\app.exe /open %1", "C:\\Program Files\\Some App\\app.exe",
      "/open %1" },
    { "C:\\Temp\\evil.exe C:\\WINDOWS\\system32\\NOTEPAD.EXE %1", "C:\\Temp\\evil.exe",
      "C:\\WINDOWS\\system32\\NOTEPAD.EXE %1" },
    { "C:\\Scripts\\run.CMD \"%1\" %*", "C:\\Scripts\\run.CMD", "\"%1\" %*" },
    { "C:\\x\\setup.exe.bak\\tool.Com", "C:\\x\\setup.exe.bak\\tool.Com", "" },
    { "C:\\old.pif\t-q", "C:\\old.pif", "-q" },
    { "\"%1\" %*", "%1", "%*" },
    // No program extension: the first blank ends the program.
    { "notepad %1", "notepad", "%1" },
    { "  C:\\a\\b.bat   x y  ", "C:\\a\\b.bat", "x y" },
    { "\"C:\\Unclosed Quote\\app.exe %1", "C:\\Unclosed Quote\\app.exe %1", "" },
    { "   ", "", "" },
};

TEST(SplitCommand, ProgramAndArguments)
{
    for (const SplitCase& c : kSplitCases) {
        char program[256], arguments[256];
        int length =
            SplitCommand(c.command, program, sizeof(program), arguments, sizeof(arguments));
        EXPECT_STREQ(c.program, program) << c.command;
        EXPECT_STREQ(c.arguments, arguments) << c.command;
        EXPECT_EQ((int)strlen(c.program), length) << c.command;
    }
}

TEST(SplitCommand, CutsEachPartToItsBuffer)
{
    const char* command = "\"C:\\tool.exe\" -abc";  // 11 characters of program, 4 of arguments
    for (size_t size : { 11, 12, 13 }) {
        char program[16], arguments[16];
        memset(program, 'Z', sizeof(program));
        SplitCommand(command, program, size, arguments, 4);
        EXPECT_EQ(std::string("C:\\tool.exe").substr(0, size - 1), program) << size;
        EXPECT_EQ('Z', program[size]) << size;
        EXPECT_STREQ("-ab", arguments) << size;
    }
    char program[16] = "old", arguments[16] = "old";
    EXPECT_EQ(0, SplitCommand(nullptr, program, sizeof(program), arguments, sizeof(arguments)));
    EXPECT_STREQ("", program);
    EXPECT_STREQ("", arguments);
}

// The comparable form: a program moved to another folder compares equal;
// another program, or other arguments, do not.
std::string Comparable(const char* command)
{
    char program[256], arguments[256], out[256];
    SplitCommand(command, program, sizeof(program), arguments, sizeof(arguments));
    CommandComparableText(program, arguments, out, sizeof(out));
    return out;
}

TEST(CommandComparableText, FileNameAndArguments)
{
    EXPECT_EQ("NOTEPAD.EXE %1", Comparable("%SystemRoot%\\system32\\NOTEPAD.EXE %1"));
    EXPECT_EQ("notepad.exe %1", Comparable("\"C:\\windows\\notepad.exe\" \"%1\""));
    EXPECT_EQ("tool:x.exe /a:b", Comparable("C:/bin/tool=x.exe /a=\"b\""));
    EXPECT_EQ("evil.exe C:\\WINDOWS\\system32\\NOTEPAD.EXE %1",
              Comparable("C:\\Temp\\evil.exe C:\\WINDOWS\\system32\\NOTEPAD.EXE %1"));
    EXPECT_EQ("app.exe", Comparable("\"C:\\Program Files\\App\\app.exe\""));
    EXPECT_EQ("", Comparable(""));
}

TEST(CommandComparableText, CutToItsBuffer)
{
    for (size_t size : { 8, 9, 10 }) {  // "a.exe -x" is 8 characters
        char out[16];
        memset(out, 'Z', sizeof(out));
        int length = CommandComparableText("C:\\a.exe", "-x", out, size);
        EXPECT_EQ(std::string("a.exe -x").substr(0, size - 1), out) << size;
        EXPECT_EQ((int)strlen(out), length) << size;
        EXPECT_EQ('Z', out[size]) << size;
    }
    char out[4] = "old";
    EXPECT_EQ(0, CommandComparableText("C:\\a.exe", "", out, 0));
    EXPECT_STREQ("old", out);
}

}  // namespace

TEST(QuoteAddress, OneQuotedArgumentOrNothing)
{
    char out[16] = "junk";
    EXPECT_EQ(14, QuoteAddress("http://a.b/c", out, sizeof(out)));
    EXPECT_STREQ("\"http://a.b/c\"", out);
    EXPECT_EQ(15, QuoteAddress("http://a.b/cd", out, sizeof(out)));  // exactly fits
    for (const char* bad : { "http://a.b/cde", "a\"b", "", "\"" }) {
        strcpy(out, "junk");
        EXPECT_EQ(0, QuoteAddress(bad, out, sizeof(out))) << bad;
        EXPECT_STREQ("", out) << bad;
    }
    EXPECT_EQ(0, QuoteAddress(NULL, out, sizeof(out)));
}
