// Which Windows runs us, as a copy of this program sees it when Wine is told
// to present another version to it (AppDefaults\<exe>\Version).
#include <gtest/gtest.h>

#include <string>

#include "foundation/text.h"
#include "foundation/windows_version.h"
#include "support/vxtest.h"

namespace {

// Run in the copy: writes "<IsWindowsNT> <IsWindowsMajor6>".  Does nothing
// in an ordinary run.
TEST(WindowsVersionChild, Report)
{
    char out[MAX_PATH];
    if (GetEnvironmentVariableA("VX_WINDOWS_VERSION_OUT", out, sizeof(out)) == 0)
        return;
    char text[16];
    TEXT_FORMAT(text, "%d %d", IsWindowsNT(), IsWindowsMajor6());
    vxtest::WriteFileBytes(out, text);
}

TEST(WindowsVersion, PlatformAndMajorVersionAsTheSystemReportsThem)
{
    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(NULL, self, sizeof(self)));
    std::string probe = vxtest::PathInProgramFolder("VersionProbe.exe");
    std::string report = vxtest::PathInProgramFolder("version_report.txt");
    ASSERT_TRUE(CopyFileA(self, probe.c_str(), FALSE));
    const char* appDefaults = "Software\\Wine\\AppDefaults\\VersionProbe.exe";
    const struct { const char* version; const char* expected; } cases[] = {
        { "win98", "0 0" }, { "winxp", "1 0" }, { "vista", "1 1" }, { "win7", "1 1" },
    };
    SetEnvironmentVariableA("VX_WINDOWS_VERSION_OUT", report.c_str());
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, appDefaults, "Version", c.version);
        DeleteFileA(report.c_str());
        EXPECT_EQ(0, vxtest::RunProgram("\"" + probe + "\" --gtest_filter=WindowsVersionChild.*",
                                        60000)) << c.version;
        EXPECT_EQ(c.expected, vxtest::ReadFileText(report)) << c.version;
    }
    SetEnvironmentVariableA("VX_WINDOWS_VERSION_OUT", NULL);
    DeleteFileA(probe.c_str());
    DeleteFileA(report.c_str());
}

}  // namespace
