// File type associations against Wine's real registry: ".txt" is given an
// open command, recorded, taken over by another program as an installer
// would, and patrolled with a scripted user.
#include <windows.h>

#include <string>

#include "categories/category.h"
#include "categories/filetype.h"
#include "foundation/history.h"
#include "foundation/history_line.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

static const char* kTxtKey = "Software\\Classes\\.txt";
static const char* kOwnCommand = "Software\\Classes\\txtfile\\shell\\open\\command";
static const char* kEvilCommand = "Software\\Classes\\evilfile\\shell\\open\\command";
static const char* kNotepad = "\"C:\\windows\\system32\\notepad.exe\" \"%1\"";
static const char* kEvil = "\"C:\\Evil Dir\\evil.exe\" /open \"%1\"";

static std::string Machine(const char* path, const char* name = "")
{
    return vxtest::ReadString(HKEY_LOCAL_MACHINE, path, name);
}

static void TakeOver(const char* command)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTxtKey, "", "evilfile");
    vxtest::SetString(HKEY_LOCAL_MACHINE, kEvilCommand, "", command);
}

static int HistoryLineCount()
{
    char path[VX_PATH];
    HistoryFilePath(path);
    std::string text = vxtest::ReadFileText(path);
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

class FileTypes : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        char path[VX_PATH];
        HistoryFilePath(path);
        DeleteFileA(path);
        RegDeleteKeyTree(HKEY_CURRENT_USER, FILEEXTS_KEY "\\.txt");
        vxtest::SetString(HKEY_LOCAL_MACHINE, kTxtKey, "", "txtfile");
        vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", kNotepad);
        CreateClassInfo();
    }
};

// The store as set up: the default list, the marker, the command exactly
// as written.
TEST_F(FileTypes, SetUpRecordsTheCommandAsWritten)
{
    char list[1024];
    ReadFileTypeList(list, sizeof(list));
    EXPECT_EQ(0, strncmp(list, "AVI;BAT;", 8));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, "", "Do not edit.");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "txtfile");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_CLASS_KEY, "txtfile", kNotepad);

    // Every spelling of the extension names the same association; one that
    // could reach another key names none.
    char className[FILETYPE_COMMAND], command[FILETYPE_COMMAND];
    for (const char* ext : { "txt", ".TXT", "..txt" }) {
        EXPECT_EQ(1, FileTypeCommand(ext, 1, className, command)) << ext;
        EXPECT_STREQ(kNotepad, command) << ext;
    }
    for (const char* ext : { "", "tx\\t", "t;xt", "t xt" })
        EXPECT_EQ(0, FileTypeCommand(ext, 1, className, command)) << ext;
    EXPECT_EQ(0, FileTypeCommand("txt", 5, className, command));
}

// What a user checks first: a takeover of ".txt" is asked about with both
// programs; "No" restores the recorded command exactly and the question
// does not return; the History undo makes the takeover again, approved.
TEST_F(FileTypes, TakeoverAskedAndNoRestoresExactly)
{
    TakeOver(kEvil);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, PatrolFileTypes());
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_EQ(ALERT_FILETYPE, user.asked[0].Kind);
    EXPECT_STREQ(".TXT", user.asked[0].Name);
    EXPECT_STREQ(kNotepad, user.asked[0].File);
    EXPECT_STREQ(kEvil, user.asked[0].SecondFile);
    EXPECT_EQ("txtfile", Machine(kTxtKey));
    EXPECT_EQ(kNotepad, Machine(kOwnCommand));
    EXPECT_EQ(0, PatrolFileTypes());
    EXPECT_EQ(1u, user.asked.size());

    ASSERT_EQ(1, ReadHistory());
    const ItemRecord* line = GetHistoryItem(0);
    EXPECT_EQ(FILETYPE_CODE, line->Code);
    EXPECT_EQ(1, UndoHistoryLine(line));
    ClearHistoryItems();
    EXPECT_EQ("evilfile", Machine(kTxtKey));
    EXPECT_EQ(0, PatrolFileTypes());
    EXPECT_EQ(1u, user.asked.size());
}

// Lock mode: undone without a question or a history line; "Yes" keeps the
// new program and is not asked again; a restore that cannot hold is told
// once, not asked about at every patrol.
TEST_F(FileTypes, LockModeAndYes)
{
    vxtest::ScriptedUi user;
    g_Options[OPT_LockFileTypes] = 1;
    TakeOver(kEvil);
    EXPECT_EQ(0, PatrolFileTypes());
    EXPECT_EQ(kNotepad, Machine(kOwnCommand));
    EXPECT_EQ("txtfile", Machine(kTxtKey));
    EXPECT_EQ(0u, user.asked.size());
    EXPECT_EQ(0, HistoryLineCount());

    g_Options[OPT_LockFileTypes] = 0;
    user.answer = ANSWER_ACCEPT;
    TakeOver(kEvil);
    EXPECT_EQ(1, PatrolFileTypes());
    EXPECT_EQ(0, PatrolFileTypes());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "evilfile");
    EXPECT_EQ("evilfile", Machine(kTxtKey));
}

// Only the program file counts: another folder, quotes, case, "=" and a
// short name are the same program; another file is not.  A long command is
// restored whole, and a missing record is taken, never the list text.
TEST_F(FileTypes, ComparesTheProgramFile)
{
    CreateDirectoryA("C:\\Program Files", NULL);
    CreateDirectoryA("C:\\Program Files\\Long Folder Name", NULL);
    const char* longPath = "C:\\Program Files\\Long Folder Name\\LongProgramName.exe";
    vxtest::WriteFileBytes(longPath, "MZ");
    char shortPath[VX_PATH];
    ASSERT_GT(GetShortPathNameA(longPath, shortPath, sizeof(shortPath)), 0u);
    std::string longCommand = std::string("\"") + longPath + "\" \"%1\"";
    std::string shortCommand = std::string(shortPath) + " %1";
    std::string hugeCommand = std::string(kNotepad) + " /x:" + std::string(960, 'y');

    struct Row { std::string recorded, changed; int asked; };
    const Row rows[] = {
        { kNotepad, "C:\\Other Folder\\notepad.exe \"%1\"", 0 },
        { kNotepad, "C:\\WINDOWS\\NOTEPAD.EXE %1", 0 },
        { kNotepad, "\"C:\\windows\\system32\\write.exe\" \"%1\"", 1 },
        { longCommand, shortCommand, 0 },
        { "C:\\a\\tool=x.exe %1", "C:\\b\\tool=x.exe %1", 0 },
        { "C:\\a\\tool=x.exe %1", "C:\\a\\tool=y.exe %1", 1 },
        { hugeCommand, kEvil, 1 },
    };
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    for (const Row& row : rows) {
        vxtest::SetString(HKEY_LOCAL_MACHINE, kTxtKey, "", "txtfile");
        vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", row.recorded.c_str());
        ASSERT_EQ(1, SaveFileType("txt", 1));
        vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", row.changed.c_str());
        user.asked.clear();
        EXPECT_EQ(row.asked, PatrolFileTypes()) << row.changed;
        std::string expected = row.asked ? row.recorded : row.changed;
        EXPECT_EQ(expected, Machine(kOwnCommand)) << row.changed;
    }

    // Nothing recorded for the class: recorded now, not asked.
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT");
    TakeOver(kEvil);
    user.asked.clear();
    EXPECT_EQ(0, PatrolFileTypes());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "evilfile");
}

// Adding and removing monitored extensions: whole elements, bad text
// refused with its message, a full list refused.
TEST_F(FileTypes, AddAndRemoveExtensions)
{
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", "CSS;TXT");
    struct Row { const char* ext; int result; };
    const Row rows[] = {
        { "JS", 0 }, { "SS", 0 }, { "css", TXT_FILETYPE_ALREADY }, { ".js", TXT_FILETYPE_ALREADY },
        { "..log", 0 }, { "", TXT_FILETYPE_INVALID }, { "a;b", TXT_FILETYPE_INVALID },
        { "a\\b", TXT_FILETYPE_INVALID }, { "a b", TXT_FILETYPE_INVALID },
        { ".", TXT_FILETYPE_INVALID },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.result, AddFileType(row.ext)) << row.ext;
    char list[1024];
    ReadFileTypeList(list, sizeof(list));
    EXPECT_STREQ("CSS;TXT;JS;SS;LOG;", list);

    EXPECT_EQ(1, RemoveFileType(".txt"));
    EXPECT_EQ(0, RemoveFileType("XT"));
    ReadFileTypeList(list, sizeof(list));
    EXPECT_STREQ("CSS;JS;SS;LOG;", list);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_CLASS_KEY, "txtfile");

    std::string full(1000, 'A');
    full += ";";
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", full.c_str());
    // The list keeps room for the new element's ";".
    EXPECT_EQ(TXT_FILETYPE_LIST_FULL, AddFileType("ABCDEFGHIJKLMNOPQR"));
    EXPECT_EQ(0, AddFileType("ABCDEFGHIJKLMNOPQ"));
    ReadFileTypeList(list, sizeof(list));
    EXPECT_EQ(1019u, strlen(list));
}
