// Which Windows runs us, as a copy of this program sees it when Wine is told
// to present another version to it (AppDefaults\<exe>\Version).
#include <gtest/gtest.h>

#include <string>

#include "foundation/text.h"
#include "foundation/windows_version.h"
#include "support/vxtest.h"

namespace {

TEST(WindowsVersion, PlatformAndMajorVersionAsTheSystemReportsThem)
{
    char out[MAX_PATH], self[MAX_PATH], text[16];
    // Run in the copy, the test only writes "<IsWindowsNT> <IsWindowsMajor6>".
    if (GetEnvironmentVariableA("VX_WINDOWS_VERSION_OUT", out, sizeof(out)) != 0) {
        TEXT_FORMAT(text, "%d %d", IsWindowsNT(), IsWindowsMajor6());
        return vxtest::WriteFileBytes(out, text);
    }
    ASSERT_NE(0u, GetModuleFileNameA(NULL, self, sizeof(self)));
    std::string probe = vxtest::PathInProgramFolder("VersionProbe.exe"), report = probe + ".txt";
    ASSERT_TRUE(CopyFileA(self, probe.c_str(), FALSE));
    const struct { const char* version; const char* expected; } cases[] = {
        { "win98", "0 0" }, { "winxp", "1 0" }, { "vista", "1 1" } };
    SetEnvironmentVariableA("VX_WINDOWS_VERSION_OUT", report.c_str());
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\VersionProbe.exe",
            "Version", c.version);
        DeleteFileA(report.c_str());
        EXPECT_EQ(
            0, vxtest::RunProgram("\"" + probe + "\" --gtest_filter=WindowsVersion.*", 60000));
        EXPECT_EQ(c.expected, vxtest::ReadFileText(report)) << c.version;
    }
}

}  // namespace
