// The first-detected database under HKCU Software\Quillon\Detected, against
// the real registry and real files.
#include <windows.h>

#include "foundation/detected.h"
#include "foundation/registry_store.h"
#include "foundation/utils.h"
#include "support/vxtest.h"

static const std::string kDetected = VX_DETECTED_KEY, kStartup = kDetected + "\\Startup",
                         kActiveX = kDetected + "\\ActiveX";

// Recorded once, under the command as given (quotes, %PROGRAMFILES%), only
// while its file is there (an ActiveX key needs none); a date is never replaced.
TEST(Detected, RecordsOnceOnlyWhileTheFileIsThere)
{
    vxtest::ResetStore();
    char programFiles[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableA("ProgramFiles", programFiles, sizeof(programFiles)), 0u);
    vxtest::WriteFileBytes(std::string(programFiles) + "\\vx detected.exe", "MZ");
    const std::string tool = "%PROGRAMFILES%\\vx detected.exe /autorun";
    const std::string exe = "\"" + vxtest::ProgramFolder() + "\\Vardex.exe\" -expressboot";
    for (const char* none : { "C:\\No\\Such\\Program.exe -run", "", (const char*)nullptr })
        EXPECT_EQ(0, RecordDetected(none, kStartup.c_str()));
    for (const std::string& command : { exe, tool }) {
        EXPECT_EQ(0, RecordDetected(command.c_str(), kStartup.c_str())) << command;
        std::string first
            = vxtest::ReadString(HKEY_CURRENT_USER, kStartup.c_str(), command.c_str());
        EXPECT_TRUE(first != "<missing>") << first;
        EXPECT_TRUE(!first.empty()) << first;
        EXPECT_TRUE(first.size() <= 23u) << first;
        vxtest::SetString(HKEY_CURRENT_USER, kStartup.c_str(), command.c_str(), "1/1/2001 1:00");
        EXPECT_EQ(1, RecordDetected(command.c_str(), kStartup.c_str()));
    }
    DeleteFileA((std::string(programFiles) + "\\vx detected.exe").c_str());
    EXPECT_EQ(0, RecordDetected(tool.c_str(), kStartup.c_str()));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, kStartup.c_str(), "C:\\No\\Such\\Program.exe -run");
    const char* control = "{AAAAAAAA-0000-0000-0000-000000000001}";
    EXPECT_TRUE(RecordDetected(control, kActiveX.c_str()) == 0);
    EXPECT_TRUE(RecordDetected(control, (kDetected + "\\ACTIVEX").c_str()) == 1);
    // Dated once; a second call keeps the date but puts the ActiveX marker back.
    InitDetected();
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, kDetected.c_str(), ""));
    vxtest::SetString(HKEY_CURRENT_USER, kDetected.c_str(), "", "first fill");
    RegDeleteValueNamed(HKEY_CURRENT_USER, kActiveX.c_str(), "");
    InitDetected();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kDetected.c_str(), "", "first fill");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kActiveX.c_str(), "", "P");
    // Read from the subkey of the code (one row per branch), only when it fits
    // (23 characters do, 24 not) and is named (an empty name would read
    // ActiveX's "P").  A miss leaves "".
    struct { const char *subkey, *name, *data; int code, length;
    } cases[] = {
        {"Startup", "a", "2/3/2004 5:06", 299, 13},
        {"IEHelper", "a", "x", 902, 1},
        {"Startup", "fits", "12345678901234567890123", 11, 23},
        {"ActiveX", "", "P", 1200, 0},
        {"Startup", "long", "123456789012345678901234", 11, 0},
    };
    for (const auto& c : cases) {
        vxtest::ResetStore();
        vxtest::SetString(HKEY_CURRENT_USER, (kDetected + "\\" + c.subkey).c_str(), c.name, c.data);
        char out[VX_DATE_TEXT] = "x";
        EXPECT_EQ(c.length, GetDetectedDate(c.name, c.code, out)) << c.code << c.name;
        EXPECT_EQ(std::string(c.length ? c.data : ""), out);
    }
}

