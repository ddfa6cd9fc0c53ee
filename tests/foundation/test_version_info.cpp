// Version resources against real modules: copies of KESSA.DLL given
// resources built by hand, our own programs, and files without one.
#include <string.h>

#include <vector>

#include "foundation/path_text.h"
#include "foundation/version_info.h"
#include "resources/vardex_version.h"
#include "scratch_fixture.h"
#include "support/version_resource.h"

namespace {

using scratch::Scratch;
using vxtest::Tables;
using vxtest::Values;
using vxtest::WithVersion;
using vxtest::kGermanAnsi;
using vxtest::kUsUnicode;

Tables Us(const Values& values) { return { { "040904b0", values } }; }

// The five texts, and padding in a text that is not one of them.
Values FiveValues(const std::string& product, size_t padding = 0)
{
    return {{"CompanyName", "Test Company"}, {"ProductName", product}, {"ProductVersion", "4.5.6"},
        {"FileDescription", "Test description"}, {"LegalCopyright", "(c) Test"},
        {"Comments", std::string(padding, 'm')}};
}

// The result of GetVersionStrings and the five slots as it leaves them
// (filled with "Z" before): "result|name|version|company|description|copyright".
std::string Versions(const std::string& file)
{
    char slots[VS_COUNT][VS_SLOT];
    memset(slots, 'Z', sizeof(slots));
    std::string joined = std::to_string(GetVersionStrings(file.c_str(), slots));
    for (const auto& slot : slots)
        joined += "|" + std::string(slot, strnlen(slot, VS_SLOT));
    return joined;
}
const std::string kEmpty = "0|||||", kFive = "|4.5.6|Test Company|Test description|(c) Test";

typedef scratch::ScratchTest VersionInfo;

TEST_F(VersionInfo, TheFiveTextsOfTheLastLanguageWithAProductNameUnder8192Bytes)
{
    // 127 characters are taken, 128 count as empty.
    const std::string p127(127, 'p'), c128(128, 'c');
    const struct { const char* name; Tables tables; std::string expected;
                   std::vector<DWORD> translations = { kUsUnicode };
    } cases[] = {
        {"long.dll", Us({{"ProductName", p127}, {"CompanyName", c128}}), "1|" + p127 + "||||"},
        // A system component's product is named by its own description, when it has one.
        {"os.dll", Us(FiveValues("Windows Operating System")), "1|Test description" + kFive},
        {"osnodesc.dll", Us({{"ProductName", "Operating System"}}), kEmpty},
        // A language without ProductName, and one without a table, are skipped.
        {"skip.dll", {{"040704e4", {{"CompanyName", "Firma"}}}, {"040904b0", FiveValues("US")}},
            "1|US" + kFive, {kUsUnicode, kGermanAnsi, MAKELONG(0x040c, 0x04b0)}},
        // The last language with a ProductName wins; what it lacks is
        // empty, not left over from the other.
        {"two.dll", {{"040904b0", FiveValues("US")}, {"040704e4", {{"ProductName", "DE"}}}},
            "1|DE||||", {kUsUnicode, kGermanAnsi}},
        // Strings without a Translation list are not read.
        {"notrans.dll", Us(FiveValues("Orphan")), kEmpty, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Versions(WithVersion(Scratch(c.name), c.tables, c.translations)))
            << c.name;

    // The size limit applies to the size the system reports for the
    // resource (over 4096 is still read).
    std::string medium = WithVersion(Scratch("medium.dll"), Us(FiveValues("Padded", 1200)));
    std::string big = WithVersion(Scratch("big.dll"), Us(FiveValues("Padded", 2400)));
    DWORD h = 0, size = GetFileVersionInfoSizeA(medium.c_str(), &h);
    ASSERT_TRUE(size > 4096u && size <= 8191u && GetFileVersionInfoSizeA(big.c_str(), &h) > 8191u)
        << size;
    EXPECT_EQ("1|Padded" + kFive, Versions(medium));
    for (auto file :
        {big, vxtest::PathInProgramFolder("KESSA.DLL"), Scratch("none.dll"), std::string()})
        EXPECT_EQ(kEmpty, Versions(file)) << "\"" << file << "\"";
}

// Sets a file's last write a day back: what is read of it may be kept.
void AgeFile(const std::string& path, int day)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0,
                              NULL);
    FILETIME old = { 0, 0 };
    ULARGE_INTEGER at = { { 0, 0 } };
    at.QuadPart = 130000000000000000ull + (ULONGLONG)day * 864000000000ull;
    old.dwLowDateTime = at.LowPart, old.dwHighDateTime = at.HighPart;
    SetFileTime(file, NULL, NULL, &old);
    CloseHandle(file);
}

// The kept texts carry the company; a data file is not looked into; a
// file written again (its stamp changed) is read again.
TEST_F(VersionInfo, KeptTextsHoldTheCompanyAndFollowTheFile)
{
    std::string dll = WithVersion(Scratch("kept.dll"), Us(FiveValues("Kept")));
    AgeFile(dll, 0);
    KeptVersion kept;
    KeptVersionOf(dll.c_str(), &kept);
    EXPECT_EQ(1, kept.resources);
    EXPECT_STREQ("Test Company", kept.companyName);
    KeptVersionOf(dll.c_str(), &kept);
    EXPECT_STREQ("Test Company", kept.companyName);
    WithVersion(dll, Us({ { "ProductName", "Kept" }, { "CompanyName", "Other" } }));
    AgeFile(dll, 1);
    KeptVersionOf(dll.c_str(), &kept);
    EXPECT_STREQ("Other", kept.companyName);

    std::string data = Scratch("data.bin");
    vxtest::WriteFileBytes(data, "plain text, no header");
    KeptVersionOf(data.c_str(), &kept);
    EXPECT_EQ(0, kept.resources);
    KeptVersionOf(Scratch("gone.dll").c_str(), &kept);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, kept.stamp.attributes);
    EXPECT_EQ(0, kept.resources);
}

TEST_F(VersionInfo, OwnVersionTextOfTheProgramsOrOfAProgramNamedHijack)
{
    char out[MAX_PATH], self[MAX_PATH], text[VX_PATH];
    // Run in a copy of this program named "HijackProbe.exe", the test only
    // reports what GetOwnVersionText gives there.
    if (GetEnvironmentVariableA("VX_OWN_VERSION_OUT", out, sizeof(out)) != 0)
        return vxtest::WriteFileBytes(out, std::string(text, GetOwnVersionText(text)));
    ASSERT_NE(0u, GetModuleFileNameA(NULL, self, sizeof(self)));
    // The copy beside Vardex.exe gets a version of its own, so that it can be told apart.
    std::string probe = WithVersion(vxtest::PathInProgramFolder("HijackProbe.exe"),
        Us({ { "ProductName", "Probe" }, { "ProductVersion", "7.7.7" } }), { kUsUnicode }, self);
    SetEnvironmentVariableA("VX_OWN_VERSION_OUT", (probe + ".txt").c_str());
    EXPECT_EQ(
        0, vxtest::RunProgram("\"" + probe + "\" --gtest_filter=VersionInfo.OwnVersion*", 60000));
    EXPECT_EQ(std::string(VX_VERSION_TEXT) + ":7.7.7", vxtest::ReadFileText(probe + ".txt"));

    // Here the second part is the explorer's, and only when it is there.
    bool alone = vxtest::ReadFileText(vxtest::PathInProgramFolder("VardexView.exe")).empty();
    EXPECT_TRUE(
        !alone || std::string(VX_VERSION_TEXT) == std::string(text, GetOwnVersionText(text)));
}

}  // namespace
