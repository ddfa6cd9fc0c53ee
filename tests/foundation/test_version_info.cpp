// Version resources against real modules: copies of KESSA.DLL given
// resources built by hand, our own programs, and files without one.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/path_text.h"
#include "foundation/version_info.h"
#include "resources/vardex_version.h"
#include "scratch_fixture.h"

namespace {

using scratch::Scratch;

typedef std::vector<std::pair<std::string, std::string>> VersionValues;
// One string table of a version resource by language/code page ("040904b0").
typedef std::pair<std::string, VersionValues> VersionTable;

std::string Wide(const std::string& text)
{
    std::string wide;
    for (char c : text)
        wide += std::string(1, c) + '\0';
    return wide + std::string(2, '\0');
}

void Align(std::string& bytes)
{
    bytes.resize((bytes.size() + 3) & ~(size_t)3, '\0');
}

std::string VersionNode(const std::string& key, const std::string& value, WORD valueLength,
                        WORD type, const std::string& children)
{
    std::string node = std::string(6, '\0') + Wide(key);
    Align(node);
    node += value;
    Align(node);
    node += children;
    WORD header[3] = { (WORD)node.size(), valueLength, type };
    memcpy(&node[0], header, sizeof(header));
    Align(node);
    return node;
}

// A version resource built by hand: the string tables and the Translation
// list need not agree (real files do disagree).
std::string VersionResource(const std::vector<VersionTable>& tables,
                            const std::vector<DWORD>& translations)
{
    std::string tableNodes;
    for (const VersionTable& table : tables) {
        std::string strings;
        for (const auto& value : table.second)
            strings += VersionNode(value.first, Wide(value.second),
                                   (WORD)(value.second.size() + 1), 1, "");
        tableNodes += VersionNode(table.first, "", 0, 1, strings);
    }
    std::string children = VersionNode("StringFileInfo", "", 0, 1, tableNodes);
    if (!translations.empty()) {
        std::string list((const char*)translations.data(), translations.size() * sizeof(DWORD));
        children += VersionNode("VarFileInfo", "", 0, 1,
                                VersionNode("Translation", list, (WORD)list.size(), 0, ""));
    }
    VS_FIXEDFILEINFO fixed;
    memset(&fixed, 0, sizeof(fixed));
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    return VersionNode("VS_VERSION_INFO", std::string((const char*)&fixed, sizeof(fixed)),
                       sizeof(fixed), 0, children);
}

// Gives the module the resource (replacing all others when replace is set).
bool SetVersionResource(const std::string& path, const std::string& resource, BOOL replace)
{
    HANDLE update = BeginUpdateResourceA(path.c_str(), replace);
    if (update == NULL)
        return false;
    if (!resource.empty())
        UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), (void*)resource.data(),
                        (DWORD)resource.size());
    return EndUpdateResourceA(update, FALSE) != 0;
}

const DWORD kUsUnicode = MAKELONG(0x0409, 0x04b0);
const DWORD kGermanAnsi = MAKELONG(0x0407, 0x04e4);

// A copy of KESSA.DLL (a real module without a version resource) carrying
// only a resource of the given tables (none when there are none).
std::string MakeModule(const char* name, const std::vector<VersionTable>& tables,
                       const std::vector<DWORD>& translations = { kUsUnicode })
{
    std::string path = Scratch(name);
    EXPECT_TRUE(CopyFileA(vxtest::PathInProgramFolder("KESSA.DLL").c_str(), path.c_str(), FALSE));
    EXPECT_TRUE(SetVersionResource(
        path, tables.empty() ? "" : VersionResource(tables, translations), TRUE));
    return path;
}

VersionValues FiveValues(const std::string& product)
{
    return { { "CompanyName", "Test Company" }, { "ProductName", product },
             { "ProductVersion", "4.5.6" }, { "FileDescription", "Test description" },
             { "LegalCopyright", "(c) Test" } };
}

typedef std::vector<std::string> Slots;   // name, version, company, description, copyright, result
const Slots kEmpty = { "", "", "", "", "", "0" };

// The five slots as GetVersionStrings leaves them (filled with "Z" before),
// and its result last.
Slots Versions(const std::string& file)
{
    char slots[VS_COUNT][VS_SLOT];
    memset(slots, 'Z', sizeof(slots));
    for (int i = 0; i < VS_COUNT; i++)
        slots[i][VS_SLOT - 1] = '\0';
    int result = GetVersionStrings(file.c_str(), slots);
    Slots v(slots, slots + VS_COUNT);
    v.push_back(std::to_string(result));
    return v;
}

typedef scratch::ScratchTest VersionInfo;

TEST_F(VersionInfo, TheFiveTextsOfTheLastLanguageWithAProductName)
{
    Slots own = Versions(vxtest::PathInProgramFolder("Vardex.exe"));
    EXPECT_EQ((Slots{ "Vardex", VX_VERSION_TEXT, "Quillon", own[3], own[4], "1" }), own);
    EXPECT_NE("", own[VS_FILE_DESCRIPTION]);
    EXPECT_NE("", own[VS_LEGAL_COPYRIGHT]);

    // 127 characters are taken, 128 count as empty.
    const std::string p127(127, 'p');
    VersionValues longCompany = FiveValues(p127);
    longCompany[0].second = std::string(128, 'c');
    VersionValues noName = { { "CompanyName", "German Company" }, { "ProductVersion", "9" } };
    VersionValues german = { { "ProductName", "Deutsches Produkt" }, { "CompanyName", "Firma" } };
    const struct { const char* name; std::vector<VersionTable> tables;
                   std::vector<DWORD> translations; Slots expected; } cases[] = {
        { "five.dll", { { "040904b0", FiveValues("Test Product") } }, { kUsUnicode },
          { "Test Product", "4.5.6", "Test Company", "Test description", "(c) Test", "1" } },
        // A system component's product is named by its own description.
        { "os.dll", { { "040904b0", FiveValues("Microsoft(R) Windows(R) Operating System") } },
          { kUsUnicode },
          { "Test description", "4.5.6", "Test Company", "Test description", "(c) Test", "1" } },
        { "osnodesc.dll", { { "040904b0", { { "ProductName", "Operating System" },
                                            { "ProductVersion", "1" } } } }, { kUsUnicode },
          { "", "1", "", "", "", "0" } },
        { "long.dll", { { "040904b0", longCompany } }, { kUsUnicode },
          { p127, "4.5.6", "", "Test description", "(c) Test", "1" } },
        // A language without ProductName, and one without a table, are skipped.
        { "skip.dll", { { "040704e4", noName }, { "040904b0", FiveValues("US Product") } },
          { kGermanAnsi, MAKELONG(0x040c, 0x04b0), kUsUnicode },
          { "US Product", "4.5.6", "Test Company", "Test description", "(c) Test", "1" } },
        // The last language with a ProductName wins; what it lacks is
        // empty, not left over from the other.
        { "two.dll", { { "040904b0", FiveValues("US Product") }, { "040704e4", german } },
          { kUsUnicode, kGermanAnsi }, { "Deutsches Produkt", "", "Firma", "", "", "1" } },
        // Strings without a Translation list are not read.
        { "notrans.dll", { { "040904b0", FiveValues("Orphan") } }, {}, kEmpty },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Versions(MakeModule(c.name, c.tables, c.translations))) << c.name;
}

TEST_F(VersionInfo, ResourcesOverTheSizeLimitAndFilesWithoutOne)
{
    // Padding in a text that is not one of the five; the limit applies to
    // the size the system reports for the resource.
    auto padded = [](const char* name, size_t padding) {
        VersionValues values = FiveValues("Padded");
        values.push_back({ "Comments", std::string(padding, 'm') });
        return MakeModule(name, { { "040904b0", values } });
    };
    std::string small = padded("medium.dll", 1200), big = padded("big.dll", 2400);
    DWORD handle = 0;
    DWORD smallSize = GetFileVersionInfoSizeA(small.c_str(), &handle);
    ASSERT_TRUE(smallSize > 4096u && smallSize <= 8191u) << smallSize;
    ASSERT_GT(GetFileVersionInfoSizeA(big.c_str(), &handle), 8191u);
    EXPECT_EQ("Padded", Versions(small)[VS_PRODUCT_NAME]);
    EXPECT_EQ(kEmpty, Versions(big)) << "over 8191 bytes";

    vxtest::WriteFileBytes(Scratch("text.dll"), "MZ but not really a module\r\n");
    vxtest::WriteFileBytes(Scratch("empty.exe"), "");
    const std::string files[] = { MakeModule("none.dll", {}), Scratch("text.dll"),
                                  Scratch("empty.exe"), Scratch("missing.dll"), "" };
    for (const std::string& file : files)
        EXPECT_EQ(kEmpty, Versions(file)) << "\"" << file << "\"";
}

// Run in a copy of this program named "HijackProbe.exe": reports what
// GetOwnVersionText gives there.  Does nothing in an ordinary run.
TEST(OwnVersionChild, Report)
{
    char out[MAX_PATH], text[VX_PATH];
    if (GetEnvironmentVariableA("VX_OWN_VERSION_OUT", out, sizeof(out)) == 0)
        return;
    GetOwnVersionText(text);
    vxtest::WriteFileBytes(out, text);
}

TEST_F(VersionInfo, OwnVersionTextOfTheProgramsOrOfAProgramNamedHijack)
{
    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(NULL, self, sizeof(self)));
    std::string probe = vxtest::PathInProgramFolder("HijackProbe.exe");
    std::string report = vxtest::PathInProgramFolder("hijack_report.txt");
    ASSERT_TRUE(CopyFileA(self, probe.c_str(), FALSE));
    // The copy gets a version of its own, so that it can be told apart.
    ASSERT_TRUE(SetVersionResource(probe, VersionResource({ { "040904b0", { { "ProductName",
        "Probe" }, { "ProductVersion", "7.7.7" } } } }, { kUsUnicode }), FALSE));

    SetEnvironmentVariableA("VX_OWN_VERSION_OUT", report.c_str());
    int rc = vxtest::RunProgram("\"" + probe + "\" --gtest_filter=OwnVersionChild.Report", 60000);
    SetEnvironmentVariableA("VX_OWN_VERSION_OUT", NULL);
    EXPECT_EQ(0, rc);
    EXPECT_EQ(std::string(VX_VERSION_TEXT) + ":7.7.7", vxtest::ReadFileText(report));
    DeleteFileA(probe.c_str());
    DeleteFileA(report.c_str());

    // Here the second part is the explorer's, and only when it is there.
    // The buffer starts full of "Z", so a text left unterminated shows.
    char text[VX_PATH + 1];
    memset(text, 'Z', sizeof(text));
    text[VX_PATH] = '\0';
    int length = GetOwnVersionText(text);
    EXPECT_EQ((int)strlen(text), length);
    std::string expected = VX_VERSION_TEXT;
    std::string explorer = vxtest::PathInProgramFolder("VardexView.exe");
    if (GetFileAttributesA(explorer.c_str()) != INVALID_FILE_ATTRIBUTES)
        expected += ":" + Versions(explorer)[VS_PRODUCT_VERSION];
    EXPECT_EQ(expected, text);
}

}  // namespace
