// Watched system files against real files of the prefix: the set-up and
// its vault copies, a change asked about and answered (Accept makes the new
// file the vault copy, Reject puts the old one back byte for byte), the
// hide option, and the failures that must lose nothing.
#include <windows.h>

#include <string>

#include "categories/sysfiles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/windows_version.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

std::string Scratch(const char* name)
{
    std::string folder = vxtest::PathInProgramFolder("sysfiles");
    CreateDirectoryA(folder.c_str(), NULL);
    return folder + "\\" + name;
}

std::string Vault(const char* name)
{
    char path[MAX_PATH];
    EXPECT_GT(SysFileVaultPath(name, path), 0);
    return path;
}

// Another program's edit: new bytes and a last-write time a day later.
void Edit(const std::string& path, const std::string& bytes, int days = 1)
{
    FILETIME written;
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        GetFileTime(f, NULL, NULL, &written);
        CloseHandle(f);
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    vxtest::WriteFileBytes(path, bytes);
    ULARGE_INTEGER t;
    t.LowPart = written.dwLowDateTime;
    t.HighPart = written.dwHighDateTime;
    t.QuadPart += (ULONGLONG)days * 24 * 3600 * 10000000ULL;
    written.dwLowDateTime = t.LowPart;
    written.dwHighDateTime = t.HighPart;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    SetFileTime(f, NULL, NULL, &written);
    CloseHandle(f);
    SetFileAttributesA(path.c_str(), attributes);
}

std::string Record(const char* name, const char* value)
{
    return vxtest::ReadString(HKEY_LOCAL_MACHINE, (std::string(VX_SYSFILES_KEY) + "\\" + name).c_str(),
                              value);
}

struct SysFilesTest : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
    }
};

TEST_F(SysFilesTest, SetUpRecordsHostsAndSkipsMissingBootFiles)
{
    char hosts[MAX_PATH];
    ASSERT_GT(GetHostsPath(hosts), 0);
    EXPECT_STRCASEEQ("C:\\windows\\system32\\drivers\\etc\\HOSTS", hosts);
    std::string original = vxtest::ReadFileText(hosts);
    ASSERT_FALSE(original.empty());

    EXPECT_EQ(1, InitSysFiles());
    EXPECT_EQ(std::string(hosts), Record("HOSTS", "Location"));
    EXPECT_EQ("0", Record("HOSTS", "Type"));
    EXPECT_EQ(std::to_string(original.size()), Record("HOSTS", "Size"));
    EXPECT_EQ(original, vxtest::ReadFileText(Vault("HOSTS")));
    // No boot files in the prefix: records without a Location, never checked.
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY "\\Config.sys"));
    EXPECT_EQ("<missing>", Record("Config.sys", "Location"));
    std::string stamp = vxtest::ReadString(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY, "");
    EXPECT_NE("<missing>", stamp);

    // Set up once: a later start leaves the vault alone.
    vxtest::WriteFileBytes(Vault("HOSTS"), "older copy");
    EXPECT_EQ(1, InitSysFiles());
    EXPECT_EQ("older copy", vxtest::ReadFileText(Vault("HOSTS")));
    vxtest::WriteFileBytes(Vault("HOSTS"), original);
    // The row: first half, its own step, off on major version 6 only.
    EXPECT_EQ(0, g_SysFilesCategory.Half);
    EXPECT_EQ(!IsWindowsMajor6(), g_SysFilesCategory.CanRun());
}

TEST_F(SysFilesTest, HostsChangedByAnotherProgramIsAskedAndAnswered)
{
    char hosts[MAX_PATH];
    GetHostsPath(hosts);
    std::string original = vxtest::ReadFileText(hosts);
    ASSERT_EQ(1, InitSysFiles());
    std::string edited = original + "127.0.0.1 ads.example\r\n";
    Edit(hosts, edited);

    {
        vxtest::ScriptedUi user;
        user.answer = ANSWER_REJECT;
        EXPECT_EQ(1, CheckAllSysFiles());
        ASSERT_EQ(1u, user.asked.size());
        EXPECT_EQ(ALERT_FILECHANGE, user.asked[0].Kind);
        EXPECT_STREQ("HOSTS", user.asked[0].Name);
        EXPECT_STRCASEEQ(hosts, user.asked[0].Location);
        EXPECT_STREQ("HOST file can be used to protect or redirect domain access.",
                     user.asked[0].SecondFile);
        EXPECT_EQ(original, vxtest::ReadFileText(hosts));
        // Rejected once: not asked again.
        EXPECT_EQ(0, CheckAllSysFiles());
        EXPECT_EQ(1u, user.asked.size());
    }
    Edit(hosts, edited, 2);
    {
        vxtest::ScriptedUi user;
        user.answer = ANSWER_ACCEPT;
        EXPECT_EQ(1, CheckAllSysFiles());
        EXPECT_EQ(edited, vxtest::ReadFileText(hosts));
        EXPECT_EQ(edited, vxtest::ReadFileText(Vault("HOSTS")));
        EXPECT_EQ(std::to_string(edited.size()), Record("HOSTS", "Size"));
        EXPECT_EQ(0, CheckAllSysFiles());
        EXPECT_EQ(1u, user.asked.size());
    }
    vxtest::WriteFileBytes(hosts, original);
}

TEST_F(SysFilesTest, WhatCountsAsAChangeAndWhoAnswers)
{
    // A megabyte with every byte value: copies must be byte for byte.
    std::string big;
    for (int i = 0; i < (1 << 20); i++)
        big += (char)(i * 7 + (i >> 8));
    const struct {
        int type;
        bool sameSize;
        int hide, answer;
        int result;
        size_t asked;
        bool fileIsNew, vaultIsNew;
    } cases[] = {
        { 0, true, 0, ANSWER_ACCEPT, 0, 0, true, false },   // type 0: date alone is no change
        { 1, true, 0, ANSWER_ACCEPT, 1, 1, true, true },    // type 1: date alone is one
        { 0, false, 0, ANSWER_NONE, 0, 1, true, false },    // unanswered: nothing moves
        { 0, false, 1, ANSWER_NONE, 1, 0, true, true },     // "HideSystemFiles" 1 accepts
        { 0, false, 2, ANSWER_NONE, 1, 0, false, false },   // 2 rejects
        { 0, false, 0, ANSWER_REJECT, 1, 1, false, false },
        { 0, false, 0, ANSWER_DISABLE, 1, 1, true, true },
    };
    std::string path = Scratch("watched.bin");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " hide " << c.hide << " answer "
                                        << c.answer);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        vxtest::WriteFileBytes(path, big);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY "\\Watched");
        ASSERT_EQ(1, RegisterSysFile("Watched", path.c_str(), "a test file", c.type));
        std::string changed = big;
        changed[12345] ^= 0x5A;
        if (!c.sameSize)
            changed += '\0';
        Edit(path, changed);
        g_Options[OPT_HideSystemFiles] = c.hide;
        vxtest::ScriptedUi user;
        user.answer = c.answer;
        EXPECT_EQ(c.result, CheckAllSysFiles());
        EXPECT_EQ(c.asked, user.asked.size());
        // Compared whole, reported briefly: the files hold a megabyte.
        std::string file = vxtest::ReadFileText(path);
        std::string vault = vxtest::ReadFileText(Vault("Watched"));
        EXPECT_TRUE(file == (c.fileIsNew ? changed : big)) << "file of " << file.size();
        EXPECT_TRUE(vault == (c.vaultIsNew ? changed : big)) << "vault of " << vault.size();
        if (c.answer == ANSWER_DISABLE) {
            EXPECT_EQ("<missing>", Record("Watched", "Location"));
            Edit(path, big, 3);
            EXPECT_EQ(0, CheckAllSysFiles());
            EXPECT_EQ(1u, user.asked.size());
        }
    }
    g_Options[OPT_HideSystemFiles] = 0;
}

TEST_F(SysFilesTest, FailedCopiesLoseNothing)
{
    std::string path = Scratch("locked.txt");
    vxtest::WriteFileBytes(path, "accepted");
    ASSERT_EQ(1, RegisterSysFile("Locked", path.c_str(), "", 0));
    Edit(path, "changed by someone");
    std::string date = Record("Locked", "Date");

    vxtest::ScriptedUi user;
    // The file held open by another program without sharing: no restore.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, RejectSysFileChange("Locked", path.c_str(), 1));
    EXPECT_EQ(0, AcceptSysFileChange("Locked", path.c_str(), 0));
    CloseHandle(held);
    EXPECT_EQ("changed by someone", vxtest::ReadFileText(path));
    EXPECT_EQ("accepted", vxtest::ReadFileText(Vault("Locked")));
    EXPECT_EQ(date, Record("Locked", "Date"));
    EXPECT_EQ(path, Record("Locked", "Location"));  // not forgotten by the failed Reject
    ASSERT_EQ(2u, user.notices.size());
    EXPECT_EQ(NOTICE_SYSTEM_ERROR, user.notices[0].first);
    // "<code>  <the system's text>" (Wine says 5, access denied; Windows 32).
    const std::string& told = user.notices[0].second;
    EXPECT_TRUE(told.size() > 4 && isdigit((unsigned char)told[0]) &&
                told.find("  ") != std::string::npos && told.find("  ") + 2 < told.size())
        << told;

    // No vault copy to go back to: the file stays, asked again later.
    DeleteFileA(Vault("Locked").c_str());
    EXPECT_EQ(0, RejectSysFileChange("Locked", path.c_str(), 0));
    EXPECT_EQ("changed by someone", vxtest::ReadFileText(path));
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(0, CheckSysFile("Locked", path.c_str()));
    EXPECT_EQ(1u, user.asked.size());

    // A read-only file is restored and stays read-only.
    vxtest::WriteFileBytes(Vault("Locked"), "accepted");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, RejectSysFileChange("Locked", path.c_str(), 0));
    EXPECT_EQ("accepted", vxtest::ReadFileText(path));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A missing file is skipped and its record kept.
    DeleteFileA(path.c_str());
    EXPECT_EQ(0, CheckSysFile("Locked", path.c_str()));
    EXPECT_EQ(path, Record("Locked", "Location"));
}

}  // namespace
