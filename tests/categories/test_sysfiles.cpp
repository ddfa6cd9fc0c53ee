// Watched system files against real files of the prefix: the set-up and
// its vault copies, a change asked about and answered (Accept makes the new
// file the vault copy, Reject puts the old one back byte for byte), the
// hide option, and the failures that must lose nothing.
#include "categories/category.h"
#include "categories/sysfiles.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

std::string Vault(const char* name)
{
    char path[MAX_PATH];
    EXPECT_GT(SysFileVaultPath(name, path), 0);
    return path;
}

// Another program's edit: new bytes and the given last-write time (by
// default days ahead).
void Edit(const std::string& path, const std::string& bytes, int days = 1, ULONGLONG at = 0)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    vxtest::WriteFileBytes(path, bytes);
    ULARGE_INTEGER t;
    GetSystemTimeAsFileTime((FILETIME*)&t);
    t.QuadPart = at != 0 ? at : t.QuadPart + (ULONGLONG)days * 24 * 3600 * 10000000ULL;
    FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
    SetFileTime(f.Get(), NULL, NULL, (FILETIME*)&t);
    SetFileAttributesA(path.c_str(), attributes);
}


std::string Record(const char* name, const char* value)
{
    return vxtest::ReadString(
        HKEY_LOCAL_MACHINE, (std::string(VX_SYSFILES_KEY) + "\\" + name).c_str(), value);
}

struct SysFilesTest : ::testing::Test {
    void SetUp() override { vxtest::ResetStore(); LoadOptions(); }
};

TEST_F(SysFilesTest, WhatCountsAsAChangeAndWhoAnswers)
{
    // A megabyte with every byte value: copies must be byte for byte.
    std::string big;
    for (int i = 0; i < (1 << 20); i++)
        big += (char)(i * 7 + (i >> 8));
    // What another program does: touches the file (its bytes as they were),
    // writes new bytes of the same size, or a byte more.
    enum { kTouch, kSameSize, kLonger };
    const struct { int type, edit, answer, result; bool fileIsNew, vaultIsNew; } cases[] = {
        { 0, kTouch, ANSWER_ACCEPT, 0, true, true },  // a new date alone: no change,
        { 1, kTouch, ANSWER_ACCEPT, 0, true, true },  // whatever the type
        { 0, kSameSize, ANSWER_ACCEPT, 1, true, true },  // new contents are one
        { 0, kLonger, ANSWER_NONE, 0, true, false },   // unanswered: nothing moves
        { 0, kLonger, ANSWER_REJECT, 1, false, false },
        { 0, kLonger, ANSWER_DISABLE, 1, true, true },
        { 0, kLonger, ANSWER_REJECT_AND_STOP, 1, false, false },
    };
    std::string path = vxtest::PathInProgramFolder("watched.bin");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " edit " << c.edit << " answer "
                                        << c.answer);
        vxtest::WriteFileBytes(path, big);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY "\\Watched");
        ASSERT_EQ(1, RegisterSysFile("Watched", path.c_str(), "a test file", c.type));
        std::string changed = c.edit == kLonger ? big + '\0' : big;
        changed[12345] ^= c.edit == kTouch ? 0 : 0x5A;
        Edit(path, changed);
        vxtest::ScriptedUi user;
        user.answer = c.answer;
        EXPECT_EQ(c.result, CheckAllSysFiles());
        EXPECT_EQ(c.result || c.answer == ANSWER_NONE ? 1u : 0u, user.asked.size());
        // Compared whole, reported briefly: the files hold a megabyte.
        EXPECT_TRUE(vxtest::ReadFileText(path) == (c.fileIsNew ? changed : big));
        EXPECT_TRUE(vxtest::ReadFileText(Vault("Watched")) == (c.vaultIsNew ? changed : big));
        // Either answer with "Disable Future Monitoring": no longer watched.
        bool stops = c.answer == ANSWER_DISABLE || c.answer == ANSWER_REJECT_AND_STOP;
        EXPECT_EQ(stops ? "<missing>" : path, Record("Watched", "Location"));
    }
    // New bytes of the same size within the same minute (a tick later): the
    // date text and the size stay as recorded, the contents do not.  A
    // record of an older store keeps the older rule (type 0: a new size
    // and date) until an answer writes it anew.
    const ULONGLONG minute = 132000000000000000ULL;  // 2019, on the minute
    Edit(path, big, 0, minute);
    ASSERT_EQ(1, RegisterSysFile("Watched", path.c_str(), "", 0));
    std::string accepted = big, other = big;
    accepted[7] ^= 1, other[9] ^= 1;
    Edit(path, accepted, 0, minute + 1);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_ACCEPT;
    EXPECT_EQ(1, CheckSysFile("Watched", path.c_str()));
    for (const char* added : { "Written", "Hash" })  // as an older store left it
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY "\\Watched", added);
    Edit(path, big);
    EXPECT_EQ(0, CheckSysFile("Watched", path.c_str()));
    Edit(path, big + "x", 2);
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, CheckSysFile("Watched", path.c_str()));
    Edit(path, other, 3);
    EXPECT_EQ(1, CheckSysFile("Watched", path.c_str()));
    EXPECT_EQ(3u, user.asked.size());

    // Failed copies lose nothing.
    std::string locked = vxtest::PathInProgramFolder("locked.txt");
    vxtest::WriteFileBytes(locked, "accepted");
    ASSERT_EQ(1, RegisterSysFile("Locked", locked.c_str(), "", 0));
    Edit(locked, "changed by someone");
    user.asked.clear(), user.notices.clear();

    // The file held open by another program without sharing: no restore.
    HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_EQ(0, RejectSysFileChange("Locked", locked.c_str(), 1));
    EXPECT_EQ(0, AcceptSysFileChange("Locked", locked.c_str(), 0));
    CloseHandle(held);
    EXPECT_EQ("changed by someone|accepted",
        vxtest::ReadFileText(locked) + "|" + vxtest::ReadFileText(Vault("Locked")));
    EXPECT_EQ(locked, Record("Locked", "Location"));  // not forgotten by the failed Reject
    EXPECT_EQ(2u, user.notices.size());  // each failure told

    // No vault copy to go back to: the file stays, asked again later.
    DeleteFileA(Vault("Locked").c_str());
    EXPECT_EQ(0, RejectSysFileChange("Locked", locked.c_str(), 0));
    EXPECT_EQ("changed by someone", vxtest::ReadFileText(locked));
    user.answer = ANSWER_REJECT;
    EXPECT_TRUE(CheckSysFile("Locked", locked.c_str()) == 0);
    EXPECT_TRUE(user.asked.size() == 1);

    // A read-only file is restored and stays read-only.
    vxtest::WriteFileBytes(Vault("Locked"), "accepted");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, RejectSysFileChange("Locked", locked.c_str(), 0));
    EXPECT_EQ("accepted", vxtest::ReadFileText(locked));
    EXPECT_TRUE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A missing file is skipped and its record kept.
    DeleteFileA(locked.c_str());
    EXPECT_TRUE(
        CheckSysFile("Locked", locked.c_str()) == 0 && locked == Record("Locked", "Location"));
    // HOSTS set up with its vault copy (its changes go as any file's above).
    char hosts[MAX_PATH];
    ASSERT_GT(GetHostsPath(hosts), 0);
    std::string original = vxtest::ReadFileText(hosts);
    EXPECT_TRUE(InitSysFiles() == 1);
    EXPECT_TRUE(original == vxtest::ReadFileText(Vault("HOSTS")));
    // Set up once: a later start leaves the vault alone.
    vxtest::WriteFileBytes(Vault("HOSTS"), "older copy");
    EXPECT_TRUE(InitSysFiles() == 1);
    EXPECT_TRUE("older copy" == vxtest::ReadFileText(Vault("HOSTS")));
    vxtest::WriteFileBytes(Vault("HOSTS"), original);
}

// The store is known as set up by its own HKLM set-up time: lost while the
// HKCU key of older versions still carries the mark "P", it is set up again
// at the next start and at the next patrol step.
TEST_F(SysFilesTest, ALostStoreIsSetUpAgain)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_SYSFILES_KEY, "", "P");
    for (bool start : { true, false }) {
        SCOPED_TRACE(start ? "start" : "patrol step");
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY);
        vxtest::ScriptedUi user;
        start ? InitCategoryBaselines() : (void)RunCategoryStep(&g_SysFilesCategory);
        EXPECT_NE("<missing>", vxtest::ReadString(HKEY_LOCAL_MACHINE, VX_SYSFILES_KEY, ""));
        EXPECT_NE("<missing>", Record("HOSTS", "Location"));
    }
}

}  // namespace
