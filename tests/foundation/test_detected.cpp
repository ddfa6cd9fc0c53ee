// The first-detected database under HKCU Software\Quillon\Detected, against
// the real registry and real files.
#include <windows.h>

#include <string>

#include "foundation/detected.h"
#include "foundation/registry_store.h"
#include "foundation/utils.h"
#include "support/vxtest.h"

namespace {

const std::string kDetected = VX_DETECTED_KEY;
const std::string kStartup = kDetected + "\\Startup";
const std::string kActiveX = kDetected + "\\ActiveX";

class DetectedTest : public ::testing::Test {
protected:
    void SetUp() override { vxtest::ResetStore(); }
};

TEST_F(DetectedTest, MissingFileIsNotRecorded)
{
    const char* command = "C:\\No\\Such\\Program.exe -run";
    EXPECT_EQ(0, RecordDetected(command, kStartup.c_str()));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, kStartup.c_str(), command);
    EXPECT_EQ(0, RecordDetected("", kStartup.c_str()));
    EXPECT_EQ(0, RecordDetected(nullptr, kStartup.c_str()));
}

TEST_F(DetectedTest, ExistingFileIsRecordedOnceUnderTheCommandAsGiven)
{
    char programFiles[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableA("ProgramFiles", programFiles, sizeof(programFiles)), 0u);
    std::string folder = std::string(programFiles) + "\\Detected Test";
    CreateDirectoryA(folder.c_str(), NULL);
    vxtest::WriteFileBytes(folder + "\\tool.exe", "MZ");
    std::string exe = vxtest::ProgramFolder() + "\\Vardex.exe";
    const std::string tool = "%PROGRAMFILES%\\Detected Test\\tool.exe /autorun";

    for (const std::string& command : { vxtest::PathInProgramFolder("KESSA.DLL"),
                                        "\"" + exe + "\" -expressboot", tool }) {
        const char* name = command.c_str();
        EXPECT_EQ(0, RecordDetected(name, kStartup.c_str())) << name;
        std::string first = vxtest::ReadString(HKEY_CURRENT_USER, kStartup.c_str(), name);
        ASSERT_NE("<missing>", first) << name;
        EXPECT_FALSE(first.empty());
        EXPECT_LE(first.size(), 23u);
        // A date already there is never replaced.
        vxtest::SetString(HKEY_CURRENT_USER, kStartup.c_str(), name, "01/01/2001 1:00");
        EXPECT_EQ(1, RecordDetected(name, kStartup.c_str()));
        EXPECT_REG_STRING(HKEY_CURRENT_USER, kStartup.c_str(), name, "01/01/2001 1:00");
    }
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, kStartup.c_str(), exe.c_str());
    // Once the file is gone nothing is recorded, but its date stays.
    DeleteFileA((folder + "\\tool.exe").c_str());
    EXPECT_EQ(0, RecordDetected(tool.c_str(), kStartup.c_str()));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kStartup.c_str(), tool.c_str(), "01/01/2001 1:00");
    RemoveDirectoryA(folder.c_str());
}

TEST_F(DetectedTest, ActiveXNeedsNoFile)
{
    const char* key = "{AAAAAAAA-0000-0000-0000-000000000001}";
    EXPECT_EQ(0, RecordDetected(key, kActiveX.c_str()));
    EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, kActiveX.c_str(), key));
    // Recorded once, the ActiveX key recognised whatever its case.
    EXPECT_EQ(1, RecordDetected(key, (kDetected + "\\ACTIVEX").c_str()));
}

TEST_F(DetectedTest, DateIsLookedUpInTheSubkeyOfTheCode)
{
    struct { int code; const char* subkey; } cases[] = {
        { 1, "Startup" }, { 200, "Startup" }, { 299, "Startup" }, { 300, "ActiveTasks" },
        { 370, "Hidden" }, { 400, "FileTypes" }, { 600, "ActiveTasks" }, { 700, "Services" },
        { 701, "Services" }, { 800, "Tasks" }, { 900, "IEHelper" }, { 902, "IEHelper" },
        { 1200, "ActiveX" }, { 3000, "ActiveTasks" },
    };
    for (const auto& c : cases) {
        vxtest::ResetStore();
        std::string path = kDetected + "\\" + c.subkey;
        vxtest::SetString(HKEY_CURRENT_USER, path.c_str(), "C:\\item.exe", "02/03/2004 5:06");
        char out[VX_DATE_TEXT] = "x";
        EXPECT_EQ(15, GetDetectedDate("C:\\item.exe", c.code, out)) << c.code;
        EXPECT_STREQ("02/03/2004 5:06", out) << c.code;
        // Any other category does not see it.
        EXPECT_EQ(0, GetDetectedDate("C:\\item.exe", c.code == 800 ? 900 : 800, out)) << c.code;
        EXPECT_STREQ("", out);
    }
}

TEST_F(DetectedTest, MissingOrUnfitDatesReadAsNone)
{
    char out[VX_DATE_TEXT] = "x";
    EXPECT_EQ(0, GetDetectedDate("C:\\none.exe", 11, out));
    EXPECT_STREQ("", out);
    // 23 characters fit, 24 do not; a number is no date.
    vxtest::SetString(HKEY_CURRENT_USER, kStartup.c_str(), "fits", std::string(23, '1').c_str());
    EXPECT_EQ(23, GetDetectedDate("fits", 11, out));
    vxtest::SetString(HKEY_CURRENT_USER, kStartup.c_str(), "long", std::string(24, '1').c_str());
    EXPECT_EQ(0, GetDetectedDate("long", 11, out));
    EXPECT_STREQ("", out);
    vxtest::SetDword(HKEY_CURRENT_USER, kStartup.c_str(), "dword", 7);
    EXPECT_EQ(0, GetDetectedDate("dword", 11, out));
    // An empty key text never reads the default value ("P" under ActiveX).
    vxtest::SetString(HKEY_CURRENT_USER, kActiveX.c_str(), "", "P");
    EXPECT_EQ(0, GetDetectedDate("", 1200, out));
    EXPECT_STREQ("", out);
}

TEST_F(DetectedTest, InitDatesTheDatabaseOnceAndKeepsTheActiveXMarker)
{
    InitDetected();
    std::string stamp = vxtest::ReadString(HKEY_CURRENT_USER, kDetected.c_str(), "");
    EXPECT_NE("<missing>", stamp);
    EXPECT_FALSE(stamp.empty());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kActiveX.c_str(), "", "P");
    // A second call keeps the date but puts the ActiveX marker back.
    vxtest::SetString(HKEY_CURRENT_USER, kDetected.c_str(), "", "first fill");
    RegDeleteValueNamed(HKEY_CURRENT_USER, kActiveX.c_str(), "");
    InitDetected();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kDetected.c_str(), "", "first fill");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kActiveX.c_str(), "", "P");
}

}  // namespace
