// File type associations against Wine's real registry: ".txt" is given an
// open command, recorded, taken over by another program as an installer
// would, and patrolled with a scripted user.
#include "categories/category.h"
#include "categories/filetype.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

static const char* kTxtKey = "Software\\Classes\\.txt";
static const char* kOwnCommand = "Software\\Classes\\txtfile\\shell\\open\\command";
static const char* kNotepad = "\"C:\\windows\\system32\\notepad.exe\" \"%1\"";
static const char* kEvil = "\"C:\\Evil Dir\\evil.exe\" /open \"%1\"";
static const char* kWordpad = "\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\" \"%1\"";
static const char* kChoice = FILEEXTS_KEY "\\.txt";
static const char* kAppCommand = "Software\\Classes\\Applications\\vxpad.exe\\shell\\open\\command";

static std::string Machine(const char* path)
{
    return vxtest::ReadString(HKEY_LOCAL_MACHINE, path, "");
}

static void TakeOver(const char* command)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTxtKey, "", "evilfile");
    vxtest::SetString(
        HKEY_LOCAL_MACHINE, "Software\\Classes\\evilfile\\shell\\open\\command", "", command);
}

struct FileTypes : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions(), ClearHistoryFile();
        RegDeleteKeyTree(HKEY_CURRENT_USER, FILEEXTS_KEY "\\.txt");
        RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\Classes\\txtfile");
        vxtest::SetString(HKEY_LOCAL_MACHINE, kTxtKey, "", "txtfile");
        vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", kNotepad);
        CreateClassInfo();
    }
    void TearDown() override { ClearHistoryItems(), RegOverridePredefKey(HKEY_CLASSES_ROOT, NULL); }
};

// The user's classes give "txtfile" WordPad, chosen for ".txt".  Windows
// shows a user's own classes through HKEY_CLASSES_ROOT, over the
// machine's; Wine 8 shows only the machine's.  There the user's classes key
// stands in for HKEY_CLASSES_ROOT (in this process, until TearDown).
static void ShowUserClasses()
{
    vxtest::SetString(HKEY_CURRENT_USER, kOwnCommand, "", kWordpad);
    vxtest::SetString(HKEY_CURRENT_USER, kChoice, "ProgID", "txtfile");
    char className[FILETYPE_COMMAND], command[FILETYPE_COMMAND];
    if (FileTypeCommand("txt", 3, className, command) && strcmp(command, kWordpad) == 0)
        return;
    HKEY user = NULL;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes", 0, KEY_ALL_ACCESS, &user));
    EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, user));
    RegCloseKey(user);
}

// What a user checks first: a takeover of ".txt" is asked about with both
// programs; "No" restores the recorded command exactly and the question
// does not return; the History undo makes the takeover again, approved.
TEST_F(FileTypes, TakeoverAskedAndNoRestoresExactly)
{
    TakeOver(kEvil);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    ASSERT_EQ(1, PatrolFileTypes());
    EXPECT_EQ(
        std::string(kNotepad) + kEvil, std::string(user.asked[0].File) + user.asked[0].SecondFile);
    EXPECT_EQ("txtfile" + std::string(kNotepad), Machine(kTxtKey) + Machine(kOwnCommand));
    EXPECT_EQ(0, PatrolFileTypes());

    ASSERT_EQ(1, ReadHistory());
    EXPECT_TRUE(UndoHistoryLine(GetHistoryItem(0)) == 1);
    EXPECT_TRUE(Machine(kTxtKey) == "evilfile");

    // The user's own choice, a value of the per-user key, is watched alike.
    vxtest::SetString(HKEY_CURRENT_USER, kChoice, "ProgID", "txtfile");
    EXPECT_EQ(0, PatrolFileTypes());  // first seen: recorded as it stands
    vxtest::SetString(HKEY_CURRENT_USER, kChoice, "ProgID", "evilfile");
    EXPECT_EQ(1, PatrolFileTypes());
    EXPECT_EQ("txtfile", vxtest::ReadString(HKEY_CURRENT_USER, kChoice, "ProgID"));
}

// The program's file name and its arguments count, normalised alike on
// both sides: another folder, quotes, case, "=" and a short name are the
// same program; another file, or other arguments, are not.  A long
// command is restored whole; lock mode restores without a question or a
// history line.
TEST_F(FileTypes, ComparesTheProgramFile)
{
    CreateDirectoryA("C:\\Program Files\\Long Folder Name", NULL);
    const char* longPath = "C:\\Program Files\\Long Folder Name\\LongProgramName.exe";
    vxtest::WriteFileBytes(longPath, "MZ");
    char shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(longPath, shortPath, sizeof(shortPath)), 0u);

    const char* kPlain = "C:\\WINDOWS\\system32\\NOTEPAD.EXE %1";
    struct Row { std::string recorded, changed; int asked, lock; };
    const Row rows[] = {
        { kNotepad, kEvil, 0, 1 },
        { kNotepad, "\"C:\\windows\\system32\\write.exe\" \"%1\"", 1, 0 },
        { std::string("\"") + longPath + "\" \"%1\"", std::string(shortPath) + " %1", 0, 0 },
        { std::string(kNotepad) + " /x:" + std::string(960, 'y'), kEvil, 1, 0 },
        // Another program put in front of the recorded one, the line ending
        // alike (the other spellings: test_path_text).
        { kPlain, std::string("C:\\Temp\\evil.exe ") + kPlain, 1, 0 },
    };
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    for (const Row& row : rows) {
        g_Options[OPT_LockFileTypes] = row.lock;
        vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", row.recorded.c_str());
        ASSERT_EQ(1, SaveFileType("txt", 1));
        vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", row.changed.c_str());
        EXPECT_EQ(row.asked, PatrolFileTypes()) << row.changed;
        EXPECT_EQ(row.asked || row.lock ? row.recorded : row.changed, Machine(kOwnCommand))
            << row.changed;
    }
    EXPECT_EQ(3, ReadHistory());  // the "No" answers, not the lock

    // An empty recorded class is nothing recorded (never the list text):
    // what is there now is recorded, not asked about.
    RegWriteString(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "");
    TakeOver(kEvil);
    EXPECT_EQ(0, PatrolFileTypes());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "evilfile");
}

// Adding and removing monitored extensions: whole elements, bad text
// refused with its message, a full list refused.
TEST_F(FileTypes, AddAndRemoveExtensions)
{
    // The store as set up: the command exactly as written.  Every spelling of
    // the extension names the same association; one that could reach another
    // key names none.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_CLASS_KEY, "txtfile", kNotepad);
    char className[FILETYPE_COMMAND], command[FILETYPE_COMMAND];
    for (const char* ext : { "txt", ".TXT", "..txt" })
        EXPECT_EQ(1, FileTypeCommand(ext, 1, className, command)) << ext;
    for (const char* ext : { "", "tx\\t", "t;xt", "t xt" })
        EXPECT_EQ(0, FileTypeCommand(ext, 1, className, command)) << ext;
    EXPECT_EQ(0, FileTypeCommand("txt", 5, className, command));
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", "CSS;TXT");
    struct Row { const char* ext; int result; };
    const Row rows[] = {
        {"JS", 0},
        {"SS", 0},
        {"..log", 0},
        {".css", TXT_FILETYPE_ALREADY},
        {"", TXT_FILETYPE_INVALID},
        {"a;b", TXT_FILETYPE_INVALID},
        {".", TXT_FILETYPE_INVALID},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.result, AddFileType(row.ext)) << row.ext;
    EXPECT_TRUE(RemoveFileType(".txt") == 1);
    EXPECT_TRUE(RemoveFileType("XT") == 0);
    char list[1024];
    ReadFileTypeList(list, sizeof(list));
    EXPECT_STREQ("CSS;JS;SS;LOG;", list);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT");

    // The list keeps room for the new element's ";".
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", (std::string(1000, 'A') + ";").c_str());
    EXPECT_TRUE(AddFileType("ABCDEFGHIJKLMNOPQR") == TXT_FILETYPE_LIST_FULL
        && AddFileType("ABCDEFGHIJKLMNOPQ") == 0);
    ReadFileTypeList(list, sizeof(list));
    EXPECT_EQ(1019u, strlen(list));
}

// The per-user classes give the ProgID "txtfile" another command than the
// machine's: the machine's association (kind 1) and the user's choice of
// ProgID (kind 3) are each compared with a record of their own.
TEST_F(FileTypes, PerUserCommandIsRecordedApartFromTheMachines)
{
    ShowUserClasses();
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(0, PatrolFileTypes());  // kind 3 first seen: recorded
    EXPECT_EQ(0, PatrolFileTypes());

    // "No" on kind 1 puts back the machine's own command.
    vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", kEvil);
    EXPECT_EQ(1, PatrolFileTypes());
    EXPECT_EQ(kNotepad, Machine(kOwnCommand));
    EXPECT_EQ(kWordpad, vxtest::ReadString(HKEY_CURRENT_USER, kOwnCommand, ""));
}

// An older version kept the commands of all kinds in Class: a kind without
// a record of its own compares with that one, so a change made before the
// upgrade is asked about rather than recorded.  The kind then keeps that
// record as its own: kind 1 accepting a change later leaves it alone.
TEST_F(FileTypes, OlderSharedRecordIsStillAsked)
{
    ShowUserClasses();
    RegWriteString(HKEY_CURRENT_USER, VX_EXTPROGID_KEY, ".TXT", "txtfile");  // Class: kNotepad
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, PatrolFileTypes());
    EXPECT_EQ(kNotepad, vxtest::ReadString(HKEY_CURRENT_USER, kOwnCommand, ""));
    EXPECT_EQ(0, PatrolFileTypes());
    vxtest::SetString(HKEY_LOCAL_MACHINE, kOwnCommand, "", kEvil);
    user.answer = ANSWER_ACCEPT;
    EXPECT_EQ(1, PatrolFileTypes());
    EXPECT_EQ(0, PatrolFileTypes());
}

// One entry per kind that has an association, kinds 1 to 3 in order, each
// recorded and compared on its own.  A type without a description is named
// from its program's version information.
TEST_F(FileTypes, EachKindListedAndComparedApart)
{
    const std::string vardex = "\"" + vxtest::PathInProgramFolder("Vardex.exe") + "\" \"%1\"";
    vxtest::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\txtfile", "", "Text Document");
    vxtest::SetString(HKEY_LOCAL_MACHINE, kAppCommand, "", vardex.c_str());
    vxtest::SetString(HKEY_CURRENT_USER, kChoice, "Application", "vxpad.exe");
    vxtest::SetString(HKEY_CURRENT_USER, kChoice, "ProgID", "txtfile");
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", "TXT;");
    ASSERT_EQ(3, EnumFileTypes(vxtest::Items()));
    const ItemRecord* machine = GetItem(vxtest::Items(), 0);
    const ItemRecord* application = GetItem(vxtest::Items(), 1);
    EXPECT_STREQ("Text Document", machine->Name);
    EXPECT_EQ(2, application->Flag);
    EXPECT_EQ(3, GetItem(vxtest::Items(), 2)->Flag);
    EXPECT_STREQ("Vardex", application->Name);
    EXPECT_STREQ("Vardex startup and browser monitor", application->Extra);

    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(0, PatrolFileTypes());  // kinds 2 and 3 first seen: recorded
    EXPECT_EQ(0, PatrolFileTypes());
    vxtest::SetString(HKEY_LOCAL_MACHINE, kAppCommand, "", kEvil);
    EXPECT_EQ(1, PatrolFileTypes());
    EXPECT_EQ(vardex, Machine(kAppCommand));
}

// Kind 4 (the merged classes) has a record of its own and is put back as
// the machine's class of the extension.
TEST_F(FileTypes, KindFourAndAnOlderStore)
{
    ASSERT_EQ(1, SaveFileType("txt", 4));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXTROOT_KEY, ".TXT", "txtfile");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_CLASSROOT_KEY, "txtfile", kNotepad);
    TakeOver(kEvil);
    ASSERT_EQ(1, RestoreFileType("txt", 4));
    EXPECT_EQ("txtfile", Machine(kTxtKey));
    // A store set up is left as recorded; one an older version set up (its
    // marker has 11 characters) takes the associations afresh.
    TakeOver(kEvil);
    CreateClassInfo();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "txtfile");
    RegWriteString(HKEY_CURRENT_USER, VX_EXT_KEY, "", "Do not edit");
    CreateClassInfo();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, ".TXT", "evilfile");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_EXT_KEY, "", "Do not edit.");
}

// Removing a type forgets its class's command only when no other listed
// type records that class.
TEST_F(FileTypes, RemoveKeepsAClassStillInUseAndTheIcon)
{
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", "TXT;LOG;INI;");
    RegWriteString(HKEY_CURRENT_USER, VX_EXT_KEY, ".LOG", "txtfile");
    RegWriteString(HKEY_CURRENT_USER, VX_EXT_KEY, ".INI", "inifile");
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "inifile", "C:\\vx\\ini.exe %1");
    RegWriteString(HKEY_CURRENT_USER, VX_EXTTYPE_KEY, ".TXT", "text");
    ASSERT_EQ(1, RemoveFileType("txt"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_CLASS_KEY, "txtfile", kNotepad);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_EXTTYPE_KEY, ".TXT");
    ASSERT_EQ(1, RemoveFileType("ini"));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_CLASS_KEY, "inifile");
    // A type's icon: its class's DefaultIcon (file and index), else the
    // program of its command at index 0.
    const char* iconKey = "Software\\Classes\\txtfile\\DefaultIcon";
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, iconKey);
    char file[MAX_PATH];
    int index = -1;
    ASSERT_EQ(1, FileTypeIcon("txt", 1, file, &index));
    EXPECT_STRCASEEQ("C:\\windows\\system32\\notepad.exe", file);
    EXPECT_EQ(0, index);
    vxtest::SetString(HKEY_LOCAL_MACHINE, iconKey, "", "\"C:\\vx\\icons.dll\",3");
    ASSERT_EQ(1, FileTypeIcon("txt", 1, file, &index));
    EXPECT_STREQ("C:\\vx\\icons.dll", file);
    EXPECT_EQ(3, index);
}
