// Hidden files against real files in the prefix's temporary folder (walked
// one level deep): a new hidden file is asked about, Delete removes it and
// the history's undo brings it back byte for byte; the failures keep the
// file.
#include <windows.h>

#include <string>

#include "categories/category.h"
#include "categories/hidden_files.h"
#include "categories/sysfiles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

std::string TempFolder(const char* sub)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + sub;
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

std::string PlantHidden(const std::string& path, const std::string& bytes)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    vxtest::WriteFileBytes(path, bytes);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return path;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string VaultOf(const std::string& path)
{
    char vault[MAX_PATH];
    EXPECT_GT(HiddenVaultPath(path.c_str(), vault), 0);
    return vault;
}

struct HiddenTest : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        ClearItems();
        InitCategoryBaselines();
        ASSERT_TRUE(BaselineBuilt(VX_HIDDEN_KEY));
    }
};

TEST_F(HiddenTest, NewHiddenFileDeletedAndUndoneByteForByte)
{
    std::string bytes("MZ\0\x01hidden payload\r\n\xff", 21);
    std::string path = PlantHidden(TempFolder("vxhid") + "\\dropper.bin", bytes);
    // Plain files and folders beside it are not hidden files.
    vxtest::WriteFileBytes(TempFolder("vxhid") + "\\visible.txt", "x");

    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, PatrolCategory(&g_HiddenFilesCategory));
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_EQ(ALERT_HIDDEN, user.asked[0].Kind);
    EXPECT_STRCASEEQ(path.c_str(), user.asked[0].File);
    EXPECT_EQ(370, user.asked[0].TypeCode);
    EXPECT_FALSE(Exists(path));
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_DETECTED_KEY "\\Hidden",
                                              user.asked[0].File));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_HIDDEN_KEY, user.asked[0].File);

    // The history line the undo works from, as the explorer reads it.
    ASSERT_GT(ReadHistory(), 0);
    const ItemRecord* line = GetHistoryItem(HistoryItemCount() - 1);
    ASSERT_NE(nullptr, line);
    EXPECT_EQ(HA_HIDDEN_DELETEFILE, line->Flag);
    EXPECT_EQ(370, line->Code);
    EXPECT_EQ(1, UndoHistoryLine(line));
    EXPECT_EQ(bytes, vxtest::ReadFileText(path));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(Exists(VaultOf(path)));
    // Back in the baseline: the next patrol asks nothing.
    EXPECT_EQ(0, PatrolCategory(&g_HiddenFilesCategory));
    EXPECT_EQ(1u, user.asked.size());
    // Nothing left to restore a second time; the file is not touched.
    EXPECT_EQ(0, UndoHistoryLine(line));
    EXPECT_EQ(bytes, vxtest::ReadFileText(path));
    ClearHistoryItems();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

TEST_F(HiddenTest, AnswersAndHideOption)
{
    const struct {
        int hide, answer;
        size_t asked;
        bool kept, known;
    } cases[] = {
        { 0, ANSWER_ACCEPT, 1, true, true }, { 0, ANSWER_NONE, 1, true, false },
        { 1, ANSWER_NONE, 0, true, true }, { 2, ANSWER_NONE, 0, false, false },
        { 0, ANSWER_REJECT, 1, false, false },
    };
    std::string folder = TempFolder("vxhid2");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "hide " << c.hide << " answer " << c.answer);
        std::string path = PlantHidden(folder + "\\case.dat", "data");
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_HIDDEN_KEY, path.c_str());
        g_Options[OPT_HideHidden] = c.hide;
        vxtest::ScriptedUi user;
        user.answer = c.answer;
        PatrolCategory(&g_HiddenFilesCategory);
        EXPECT_EQ(c.asked, user.asked.size());
        EXPECT_EQ(c.kept, Exists(path));
        size_t before = user.asked.size();
        g_Options[OPT_HideHidden] = 0;
        PatrolCategory(&g_HiddenFilesCategory);
        // A kept, recorded file is not asked about again.
        EXPECT_EQ(c.known || !c.kept ? before : before + 1, user.asked.size());
    }
    g_Options[OPT_HideHidden] = 0;
}

TEST_F(HiddenTest, DeletionKeepsTheFileWhenNoCopyCanBeMade)
{
    std::string path = PlantHidden(TempFolder("vxhid3") + "\\nocopy.bin", "keep me");
    // The vault's place for it is taken by a folder: no copy, no deletion.
    std::string vault = VaultOf(path);
    CreateDirectoryA(vault.c_str(), NULL);
    EXPECT_EQ(0, DeleteHiddenFile("", path.c_str()));
    EXPECT_EQ("keep me", vxtest::ReadFileText(path));
    RemoveDirectoryA(vault.c_str());

    // A hidden file named like a watched system file leaves that vault
    // copy alone.
    ASSERT_EQ(1, InitSysFiles());
    char hostsVault[MAX_PATH];
    SysFileVaultPath("HOSTS", hostsVault);
    std::string hostsCopy = vxtest::ReadFileText(hostsVault);
    std::string fake = PlantHidden(TempFolder("vxhid3") + "\\HOSTS", "0.0.0.0 bank.example");
    EXPECT_EQ(1, DeleteHiddenFile("", fake.c_str()));
    EXPECT_EQ(hostsCopy, vxtest::ReadFileText(hostsVault));

    // Restoring into a folder that is gone: the vault copy stays for later.
    std::string gone = TempFolder("vxhid4");
    std::string lost = PlantHidden(gone + "\\lost.bin", "precious");
    EXPECT_EQ(1, DeleteHiddenFile("", lost.c_str()));
    RemoveDirectoryA(gone.c_str());
    EXPECT_EQ(0, RestoreHiddenFile(lost.c_str()));
    EXPECT_EQ("precious", vxtest::ReadFileText(VaultOf(lost)));
    CreateDirectoryA(gone.c_str(), NULL);
    EXPECT_EQ(1, RestoreHiddenFile(lost.c_str()));
    EXPECT_EQ("precious", vxtest::ReadFileText(lost));
}

TEST_F(HiddenTest, LongPathsAndMissingCommonFiles)
{
    // A file whose path is exactly 259 characters is listed; the walk never
    // builds a longer one.
    std::string folder = TempFolder("vxlong");
    while (folder.size() < 259 - 12 - 40) {
        folder += "\\" + std::string(30, 'd');
        CreateDirectoryA(folder.c_str(), NULL);
    }
    folder = folder.substr(0, folder.rfind('\\'));
    std::string path = folder + "\\" + std::string(259 - folder.size() - 1, 'h');
    ASSERT_EQ(259u, path.size());
    // Only one level below the temporary folder is walked: list it directly.
    PlantHidden(path, "deep");
    ClearItems();
    EXPECT_EQ(1, AddHiddenFilesIn(folder.c_str(), 0, 1));
    EXPECT_STRCASEEQ(path.c_str(), GetItemCommand(0));

    HKEY root = HKEY_LOCAL_MACHINE;
    const char* key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    std::string saved = vxtest::ReadString(root, key, "CommonFilesDir");
    RegDeleteValueNamed(root, key, "CommonFilesDir");
    std::string hidden = PlantHidden(TempFolder("vxhid5") + "\\seen.bin", "x");
    EXPECT_GT(EnumHiddenFiles(), 0);
    bool found = false;
    for (int i = 0; i < ItemCount(); i++)
        found = found || _stricmp(GetItemCommand(i), hidden.c_str()) == 0;
    EXPECT_TRUE(found);
    if (saved != "<missing>")
        vxtest::SetString(root, key, "CommonFilesDir", saved.c_str());
}

TEST_F(HiddenTest, MoreHiddenFilesThanTheListHoldsAreAllWatched)
{
    std::string folder = TempFolder("vxmany");
    for (int i = 0; i < ITEM_MAX + 10; i++) {
        HANDLE f = CreateFileA((folder + "\\h" + std::to_string(i)).c_str(), GENERIC_WRITE, 0,
                               NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, NULL);
        CloseHandle(f);
    }
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    ASSERT_EQ(1, InitHiddenBaseline());
    vxtest::ScriptedUi user;
    EXPECT_EQ(0, PatrolCategory(&g_HiddenFilesCategory));
    // One more beyond the list's size is still seen.
    PlantHidden(folder + "\\late", "x");
    EXPECT_EQ(1, PatrolCategory(&g_HiddenFilesCategory));
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_NE(std::string::npos, std::string(user.asked[0].File).find("late"));
}

}  // namespace
