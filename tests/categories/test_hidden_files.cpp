// Hidden files against real files in the prefix's temporary folder (walked
// one level deep): a new hidden file is asked about, Delete removes it and
// the history's undo brings it back byte for byte; the failures keep the
// file.
#include "categories/category.h"
#include "categories/hidden_files.h"
#include "categories/sys_text.h"
#include "categories/sysfiles.h"
#include "foundation/history.h"
#include <vector>

#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

using vxtest::Items;

namespace {

// A hidden file in a folder of the temporary folder (made when missing).
std::string PlantHidden(const char* sub, const char* name, const std::string& bytes)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + sub, path = folder + "\\" + name;
    CreateDirectoryA(folder.c_str(), NULL);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    vxtest::WriteFileBytes(path, bytes);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return path;
}

std::string VaultFolder()
{
    char hidden[MAX_PATH];
    EXPECT_GT(HiddenVaultFolder(hidden), 0);
    return hidden;
}

// The vault's folder for copies of files of path's folder.
std::string CopiesFolderOf(const std::string& path)
{
    char copy[MAX_PATH];
    EXPECT_GT(HiddenCopyPath(VaultFolder().c_str(), path.c_str(), 1, copy, sizeof(copy)), 0u);
    return std::string(copy).substr(0, std::string(copy).rfind('\\'));
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The last n lines of the history, oldest first.
std::vector<const ItemRecord*> LastLines(int n)
{
    std::vector<const ItemRecord*> lines;
    int count = ReadHistory();
    for (int i = count - n; i < count; i++)
        lines.push_back(GetHistoryItem(i));
    return lines;
}

struct HiddenTest : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions(), ClearItems(Items()), InitCategoryBaselines();
    }
};

TEST_F(HiddenTest, NewHiddenFileDeletedAndUndoneByteForByte)
{
    // No answer asks again; Accept records the file.
    std::string kept = PlantHidden("vxhid2", "a", "data");
    for (int answer : { ANSWER_NONE, ANSWER_ACCEPT }) {
        vxtest::ScriptedUi user;
        user.answer = answer;
        PatrolCategory(&g_HiddenFilesCategory), PatrolCategory(&g_HiddenFilesCategory);
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kept.c_str()));
        EXPECT_EQ(answer == ANSWER_ACCEPT ? 1u : 2u, user.asked.size()) << answer;
    }
    std::string bytes("MZ\0\x01hidden payload\r\n\xff", 21);
    std::string path = PlantHidden("vxhid", "dropper.bin", bytes);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, PatrolCategory(&g_HiddenFilesCategory));
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_STRCASEEQ(path.c_str(), user.asked[0].File);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));

    // The history line the undo works from, as the explorer reads it.
    ASSERT_GT(ReadHistory(), 0);
    const ItemRecord* line = GetHistoryItem(HistoryItemCount() - 1);
    ASSERT_EQ(HA_HIDDEN_DELETEFILE, line->Flag);
    EXPECT_EQ(1, UndoHistoryLine(line));
    EXPECT_TRUE(bytes == vxtest::ReadFileText(path));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(Exists(line->Extra));  // the copy the line names, gone once used
    // Back in the baseline: the next patrol asks nothing.
    EXPECT_EQ(0, PatrolCategory(&g_HiddenFilesCategory));
    // Nothing left to restore a second time; the file is not touched.
    EXPECT_TRUE(UndoHistoryLine(line) == 0);
    EXPECT_TRUE(bytes == vxtest::ReadFileText(path));
}

// Files of one name in two folders, and one file deleted twice: each
// line's undo brings back its own bytes, from a copy no later deletion
// replaced.
TEST_F(HiddenTest, EachUndoTakesItsOwnCopyFromTheVaultOnly)
{
    std::string first = PlantHidden("vxsame1", "desktop.ini", "[first]");
    std::string second = PlantHidden("vxsame2", "desktop.ini", "[second]");
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(2, PatrolCategory(&g_HiddenFilesCategory));
    PlantHidden("vxsame1", "desktop.ini", "[first, later]");
    EXPECT_EQ(1, DeleteHiddenFile("", first.c_str()));
    std::vector<const ItemRecord*> lines = LastLines(3);
    ASSERT_EQ(3u, lines.size());
    if (_stricmp(lines[0]->Command, first.c_str()) != 0)
        std::swap(lines[0], lines[1]);
    EXPECT_EQ(1, UndoHistoryLine(lines[2]));
    EXPECT_EQ("[first, later]", vxtest::ReadFileText(first));
    DeleteFileForce(first.c_str());
    EXPECT_EQ(1, UndoHistoryLine(lines[0]));
    EXPECT_EQ("[first]", vxtest::ReadFileText(first));
    EXPECT_EQ(1, UndoHistoryLine(lines[1]));
    EXPECT_EQ("[second]", vxtest::ReadFileText(second));

    // A line of an older version names no copy: its copy is the vault's file
    // of the same name.  A line that names a copy outside the vault's hidden
    // folder (history.txt can be edited by anyone) takes nothing.
    std::string path = PlantHidden("vxold", "old.bin", "");
    DeleteFileForce(path.c_str());
    ItemRecord line = {};
    line.Flag = HA_HIDDEN_DELETEFILE;
    line.Code = 370;
    TextCopy(line.Command, path.c_str());
    vxtest::WriteFileBytes(VaultFolder() + "\\old.bin", "older copy");
    EXPECT_EQ(1, UndoHistoryLine(&line));
    EXPECT_EQ("older copy", vxtest::ReadFileText(path));
    DeleteFileForce(path.c_str());

    // (Which paths are inside the vault: test_cookie_line.)
    std::string outside = vxtest::PathInProgramFolder("outside.bin");
    vxtest::WriteFileBytes(outside, "not the vault's");
    TextCopy(line.Extra, outside.c_str());
    EXPECT_EQ(0, UndoHistoryLine(&line));
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(Exists(outside));
}

TEST_F(HiddenTest, LongPathsAndMoreFilesThanTheListHolds)
{
    // A file whose path is exactly 259 characters is listed; the walk never
    // builds a longer one.
    size_t temp = PlantHidden("vxlong", "x", "").size() - 8;  // the temporary folder's length
    std::string path = PlantHidden(("vxlong\\" + std::string(241 - temp, 'd')).c_str(),
                                   "hhhhhhhhhh", "deep");
    ASSERT_EQ(259u, path.size());
    ClearItems(Items());
    EXPECT_EQ(1, AddHiddenFilesIn(Items(), path.substr(0, path.rfind('\\')).c_str(), 0, 1));
    EXPECT_STRCASEEQ(path.c_str(), GetItemCommand(Items(), 0));

    for (int i = 0; i < ITEM_MAX + 10; i++)
        PlantHidden("vxmany", ("h" + std::to_string(i)).c_str(), "");
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    ASSERT_EQ(1, InitHiddenBaseline());
    vxtest::ScriptedUi user;
    EXPECT_EQ(0, PatrolCategory(&g_HiddenFilesCategory));
    // One more beyond the list's size is still seen.
    PlantHidden("vxmany", "late", "x");
    EXPECT_EQ(1, PatrolCategory(&g_HiddenFilesCategory));
    ASSERT_TRUE(user.asked.size() == 1);
    EXPECT_TRUE(strstr(user.asked[0].File, "late")) << user.asked.size();
    std::string nocopy = PlantHidden("vxhid3", "nocopy.bin", "keep me");
    // The vault's folder for it is taken by a file: no copy, no deletion.
    vxtest::WriteFileBytes(CopiesFolderOf(nocopy), "in the way");
    EXPECT_EQ(0, DeleteHiddenFile("", nocopy.c_str()));
    EXPECT_EQ("keep me", vxtest::ReadFileText(nocopy));
    DeleteFileA(CopiesFolderOf(nocopy).c_str());

    // A hidden file named like a watched system file leaves that vault
    // copy alone.
    ASSERT_EQ(1, InitSysFiles());
    char hostsVault[MAX_PATH];
    SysFileVaultPath("HOSTS", hostsVault);
    std::string hostsCopy = vxtest::ReadFileText(hostsVault);
    EXPECT_EQ(1, DeleteHiddenFile("", PlantHidden("vxhid3", "HOSTS", "0.0.0.0 bank").c_str()));
    EXPECT_EQ(hostsCopy, vxtest::ReadFileText(hostsVault));

    // Restoring into a folder that is gone: the vault copy stays for later.
    std::string lost = PlantHidden("vxhid4", "lost.bin", "precious");
    EXPECT_EQ(1, DeleteHiddenFile("", lost.c_str()));
    std::string copy = LastLines(1)[0]->Extra;
    RemoveDirectoryA(lost.substr(0, lost.rfind('\\')).c_str());
    EXPECT_EQ(0, RestoreHiddenFile(lost.c_str(), copy.c_str()));
    EXPECT_EQ("precious", vxtest::ReadFileText(copy));
}

}  // namespace
