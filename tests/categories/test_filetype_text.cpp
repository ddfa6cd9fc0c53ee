// How the File Types page shows an open command: its placeholders gone,
// environment variables and quoted paths kept, the result bounded.  Built
// natively too (no Windows header).
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "categories/filetype_text.h"

namespace {

std::string Shown(const std::string& command, size_t outSize = 512)
{
    std::string out(outSize, 'x');
    size_t n = CommandWithoutPlaceholders(command.c_str(), &out[0], outSize);
    EXPECT_EQ(strlen(out.c_str()), n) << command;
    return out.c_str();
}

TEST(FileTypeText, PlaceholdersGoAndTheRestStays)
{
    const struct { const char* command; const char* shown; } cases[] = {
        { "\"C:\\windows\\notepad.exe\" \"%1\"", "\"C:\\windows\\notepad.exe\"" },
        { "\"%1\" %*", "" },
        { "%SystemRoot%\\system32\\NOTEPAD.EXE %1", "%SystemRoot%\\system32\\NOTEPAD.EXE" },
        { "rundll32.exe shimgvw.dll,ImageView_Fullscreen %1", "rundll32.exe "
          "shimgvw.dll,ImageView_Fullscreen" },
        { "\"C:\\Program  Files\\a.exe\" /dde %L /n", "\"C:\\Program  Files\\a.exe\" /dde /n" },
        { "  wscript.exe \"%1\" %*  ", "wscript.exe" },
        { "x.exe -u \"%l%2\"", "x.exe -u" },
        { "x.exe %Lfoo %1%", "x.exe %Lfoo %" },
        { "x.exe %", "x.exe %" },
        { "x.exe \"%", "x.exe \"%" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, Shown(c.command)) << c.command;
}

TEST(FileTypeText, LongCommandsAreCutToTheBuffer)
{
    std::string command = "C:\\" + std::string(3000, 'a') + ".exe %1";
    EXPECT_EQ(command.substr(0, 259), Shown(command, 260));
    EXPECT_EQ("C", Shown(command, 2));
    char none = 'x';
    EXPECT_EQ(0u, CommandWithoutPlaceholders("a %1", &none, 0));
    EXPECT_EQ('x', none);
    char out[8] = "x";
    EXPECT_EQ(0u, CommandWithoutPlaceholders(NULL, out, sizeof(out)));
    EXPECT_STREQ("", out);
}

}  // namespace
