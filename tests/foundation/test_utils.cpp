// The Win32 side of the utilities, against Wine's real registry, files,
// version resources and windows: folders, file existence, text files,
// version strings, the user's date settings, file dates and sizes,
// browsers and the system.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "resources/vardex_version.h"
#include "support/vxtest.h"

namespace {

#define INTERNATIONAL "Control Panel\\International"
#define SHELL_FOLDERS "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define CURRENT_VERSION "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
#define IE_APP_PATHS CURRENT_VERSION "\\App Paths\\IEXPLORE.EXE"
#define HTTP_COMMAND "SOFTWARE\\Classes\\HTTP\\shell\\open\\command"

// Keeps a registry value as the prefix had it and puts it back (or removes
// it again) when the test ends, since the tests of a program share one
// prefix.
class SavedValue {
public:
    SavedValue(HKEY root, const char* path, const char* name)
        : root_(root), path_(path), name_(name)
    {
        RegKey key;
        if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        if (RegQueryValueExA(key, name, NULL, &type_, NULL, &size) != ERROR_SUCCESS)
            return;
        data_.resize(size);
        if (RegQueryValueExA(key, name, NULL, &type_, (BYTE*)data_.data(), &size) == ERROR_SUCCESS)
            present_ = true;
    }
    ~SavedValue()
    {
        if (present_)
            vxtest::SetValue(root_, path_.c_str(), name_.c_str(), type_, data_.data(),
                             (DWORD)data_.size());
        else
            RegDeleteValueNamed(root_, path_.c_str(), name_.c_str());
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    HKEY root_;
    std::string path_, name_;
    DWORD type_ = 0;
    std::string data_;
    bool present_ = false;
};

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return text;
}

std::string WindowsFolder()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof(folder));
    return folder;
}

std::string SystemFolder()
{
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, sizeof(folder));
    return folder;
}

// A scratch folder in the program folder, emptied by the fixture.
std::string Scratch(const char* name = "")
{
    std::string folder = vxtest::PathInProgramFolder("utils_scratch");
    return name[0] ? folder + "\\" + name : folder;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (find.IsValid()) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find.Get(), &found));
    }
    RemoveDirectoryA(folder.c_str());
}

class UtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        RemoveTree(Scratch());
        ASSERT_TRUE(CreateDirectoryA(Scratch().c_str(), NULL));
    }
    void TearDown() override { RemoveTree(Scratch()); }
};

// --- Folders -----------------------------------------------------------------

using Folders = UtilsTest;

TEST_F(Folders, ProgramFolderIsTheFolderOfTheRunningProgram)
{
    char folder[VX_PATH];
    int n = GetProgramFolder(folder);
    EXPECT_STREQ(vxtest::ProgramFolder().c_str(), folder);
    EXPECT_EQ((int)strlen(folder), n);
}

TEST_F(Folders, AppDataFolderIsCreatedWithItsVault)
{
    SavedValue saved(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData");
    vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", Scratch().c_str());
    char folder[VX_PATH];
    int n = GetAppDataFolder(folder);
    EXPECT_EQ(Scratch("Vardex"), folder);
    EXPECT_EQ((int)strlen(folder), n);
    DWORD attributes = GetFileAttributesA(Scratch("Vardex\\vault").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // A second call finds both folders there already.
    EXPECT_EQ(n, GetAppDataFolder(folder));
    EXPECT_EQ(Scratch("Vardex"), folder);
}

TEST_F(Folders, AppDataFallsBackToTheProgramFolder)
{
    SavedValue saved(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData");
    char folder[VX_PATH];

    // No "AppData" at all.
    RegDeleteValueNamed(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData");
    GetAppDataFolder(folder);
    EXPECT_EQ(vxtest::ProgramFolder(), folder);

    // A file where the vault should be.
    vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", Scratch().c_str());
    ASSERT_TRUE(CreateDirectoryA(Scratch("Vardex").c_str(), NULL));
    vxtest::WriteFileBytes(Scratch("Vardex\\vault"), "not a folder");
    GetAppDataFolder(folder);
    EXPECT_EQ(vxtest::ProgramFolder(), folder);

    // A folder under which the vault's path would not fit a path buffer.
    std::string deep = Scratch() + "\\" + std::string(247 - 1 - Scratch().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", deep.c_str());
    GetAppDataFolder(folder);
    EXPECT_EQ(vxtest::ProgramFolder(), folder);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((deep + "\\Vardex").c_str()));
}

// --- FileExists ----------------------------------------------------------------

using FileExistsTest = UtilsTest;

TEST_F(FileExistsTest, FindsShortNamesInTheWindowsFolder)
{
    char path[VX_PATH] = "notepad.exe";
    EXPECT_TRUE(FileExists(path));
    char missing[VX_PATH] = "x";
    EXPECT_FALSE(FileExists(missing));
    EXPECT_STREQ("x", missing);
    char empty[VX_PATH] = "";
    EXPECT_FALSE(FileExists(empty));
}

TEST_F(FileExistsTest, AFileFoundInTheSystemFolderGetsItsFullPath)
{
    std::string inSystem = SystemFolder() + "\\vxsysonl.txt";
    std::string inWindows = WindowsFolder() + "\\vxwinonl.txt";
    vxtest::WriteFileBytes(inSystem, "s");
    vxtest::WriteFileBytes(inWindows, "w");

    char path[VX_PATH] = "vxsysonl.txt";
    EXPECT_TRUE(FileExists(path));
    char expected[VX_PATH];
    GetShortPathNameA(inSystem.c_str(), expected, sizeof(expected));
    EXPECT_STRCASEEQ(expected, path);

    // Found in the Windows folder: the name is left as it was.
    char windowsPath[VX_PATH] = "vxwinonl.txt";
    EXPECT_TRUE(FileExists(windowsPath));
    EXPECT_STREQ("vxwinonl.txt", windowsPath);

    DeleteFileA(inSystem.c_str());
    DeleteFileA(inWindows.c_str());
}

TEST_F(FileExistsTest, OnlyNamesUnderThirtyTwoCharactersAreLookedUpInTheFolders)
{
    std::string name31 = std::string(27, 'a') + ".txt";
    std::string name32 = std::string(28, 'b') + ".txt";
    ASSERT_EQ(31u, name31.size());
    ASSERT_EQ(32u, name32.size());
    std::string full31 = SystemFolder() + "\\" + name31;
    std::string full32 = SystemFolder() + "\\" + name32;
    vxtest::WriteFileBytes(full31, "x");
    vxtest::WriteFileBytes(full32, "x");

    char path[VX_PATH];
    TextCopy(path, name31.c_str());
    EXPECT_TRUE(FileExists(path));
    TextCopy(path, name32.c_str());
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(name32, path);
    TextCopy(path, full32.c_str());
    EXPECT_TRUE(FileExists(path));

    DeleteFileA(full31.c_str());
    DeleteFileA(full32.c_str());
}

TEST_F(FileExistsTest, PathsAtTheLengthLimit)
{
    // A file whose full path has 259 characters exists; 260 and 261
    // characters cannot be named and are reported missing without harm.
    std::string folder = Scratch() + "\\" + std::string(200 - Scratch().size(), 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string path259 = folder + "\\" + std::string(259 - folder.size() - 1, 'g');
    ASSERT_EQ(259u, path259.size());
    vxtest::WriteFileBytes(path259, "x");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path259.c_str()));

    char path[VX_PATH + 4];
    TextCopy(path, path259.c_str());
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(path259, path);
    for (int extra = 1; extra <= 2; extra++) {
        std::string longer = path259 + std::string(extra, 'h');
        char buffer[VX_PATH + 4];
        TextCopy(buffer, longer.c_str());
        EXPECT_FALSE(FileExists(buffer)) << longer.size();
    }
}

TEST_F(FileExistsTest, LongPathOfAShortName)
{
    std::string file = Scratch("a long file name for the test.text");
    vxtest::WriteFileBytes(file, "x");
    char shortPath[VX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortPath, sizeof(shortPath)));

    char out[VX_PATH];
    int n = GetLongPath(shortPath, out);
    EXPECT_STRCASEEQ(file.c_str(), out);
    EXPECT_EQ((int)strlen(out), n);

    // No conversion: the path comes back unchanged and the result is 0.
    EXPECT_EQ(0, GetLongPath("C:\\no\\such\\file.txt", out));
    EXPECT_STREQ("C:\\no\\such\\file.txt", out);
}

TEST_F(FileExistsTest, DeleteFileForceRemovesReadOnlyFiles)
{
    std::string file = Scratch("readonly.txt");
    vxtest::WriteFileBytes(file, "x");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(1, DeleteFileForce(file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    EXPECT_EQ(0, DeleteFileForce(file.c_str()));
}

// --- ReadTextFile ----------------------------------------------------------------

struct ReadCase {
    const char* name;
    const char* content;
    DWORD limit;
    int crlf;
    const char* expected;   // NULL: no block
};

class ReadTextFileCases : public ::testing::TestWithParam<ReadCase> {
protected:
    void SetUp() override
    {
        RemoveTree(Scratch());
        CreateDirectoryA(Scratch().c_str(), NULL);
    }
    void TearDown() override { RemoveTree(Scratch()); }
};

TEST_P(ReadTextFileCases, ReadsAtMostTheLimit)
{
    const ReadCase& c = GetParam();
    std::string file = Scratch("text.txt");
    vxtest::WriteFileBytes(file, c.content);
    DWORD size = c.limit;
    char* block = ReadTextFile(file.c_str(), &size, c.crlf);
    if (c.expected == NULL) {
        EXPECT_EQ(nullptr, block) << c.name;
        EXPECT_EQ(0u, size) << c.name;
    } else {
        ASSERT_NE(nullptr, block) << c.name;
        EXPECT_EQ(std::string(c.expected), std::string(block, size)) << c.name;
        EXPECT_EQ('\0', block[size]) << c.name;
    }
    FreeTextFile(block);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadTextFileCases, ::testing::Values(
    ReadCase{ "plain", "a\nb\n", 100, 0, "a\nb\n" },
    ReadCase{ "crlf", "a\nb\n", 100, 1, "a\r\nb\r\n" },
    ReadCase{ "leading line feed", "\n\nx", 100, 1, "\r\n\r\nx" },
    ReadCase{ "already crlf", "a\r\nb\n", 100, 1, "a\r\nb\r\n" },
    ReadCase{ "lone carriage return", "a\rb", 100, 1, "a\rb" },
    ReadCase{ "cut to the limit", "abcdef\n", 3, 1, "abc" },
    ReadCase{ "limit exactly the size", "abc\n", 4, 1, "abc\r\n" },
    ReadCase{ "limit one over the size", "abc\n", 5, 0, "abc\n" },
    ReadCase{ "empty file", "", 100, 1, NULL },
    ReadCase{ "limit zero", "abc", 0, 0, NULL }));

TEST_F(UtilsTest, ReadTextFileOfAMissingFileGivesNothing)
{
    DWORD size = 100;
    EXPECT_EQ(nullptr, ReadTextFile(Scratch("missing.txt").c_str(), &size, 1));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(nullptr, ReadTextFile(Scratch().c_str(), &size, 1));   // a folder
    EXPECT_EQ(nullptr, ReadTextFile(Scratch("x.txt").c_str(), NULL, 1));
}

// --- Version strings ---------------------------------------------------------------

// A version resource built by hand: string tables by language/code page and
// the Translation list, which need not agree (real files do disagree).
struct VersionTable {
    const char* languageCodePage;   // "040904b0"
    std::vector<std::pair<std::string, std::string>> values;
};

void AppendWide(std::string& bytes, const std::string& text)
{
    for (char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    bytes.append(2, '\0');
}

void Align(std::string& bytes)
{
    while (bytes.size() % 4)
        bytes.push_back('\0');
}

std::string VersionNode(const std::string& key, const std::string& value, WORD valueLength,
                        WORD type, const std::string& children)
{
    std::string node(6, '\0');
    AppendWide(node, key);
    Align(node);
    node += value;
    Align(node);
    node += children;
    WORD header[3] = { (WORD)node.size(), valueLength, type };
    memcpy(&node[0], header, sizeof(header));
    Align(node);
    return node;
}

std::string VersionResource(const std::vector<VersionTable>& tables,
                            const std::vector<DWORD>& translations)
{
    std::string tableNodes;
    for (const VersionTable& table : tables) {
        std::string strings;
        for (const auto& value : table.values) {
            std::string text;
            AppendWide(text, value.second);
            strings += VersionNode(value.first, text, (WORD)(text.size() / 2), 1, "");
        }
        tableNodes += VersionNode(table.languageCodePage, "", 0, 1, strings);
    }
    std::string children = VersionNode("StringFileInfo", "", 0, 1, tableNodes);
    if (!translations.empty()) {
        std::string list((const char*)translations.data(), translations.size() * sizeof(DWORD));
        std::string var = VersionNode("Translation", list, (WORD)list.size(), 0, "");
        children += VersionNode("VarFileInfo", "", 0, 1, var);
    }
    VS_FIXEDFILEINFO fixed;
    memset(&fixed, 0, sizeof(fixed));
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    return VersionNode("VS_VERSION_INFO", std::string((const char*)&fixed, sizeof(fixed)),
                       sizeof(fixed), 0, children);
}

// A copy of KESSA.DLL (a real module without a version resource) carrying
// only the given resource (none when empty).
std::string MakeModule(const char* name, const std::string& resource)
{
    std::string path = Scratch(name);
    EXPECT_TRUE(CopyFileA(vxtest::PathInProgramFolder("KESSA.DLL").c_str(), path.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceA(path.c_str(), TRUE);
    EXPECT_NE(nullptr, update);
    if (update == NULL)
        return path;
    if (!resource.empty()) {
        EXPECT_TRUE(UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                    (void*)resource.data(), (DWORD)resource.size()));
    }
    EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
    return path;
}

const DWORD kUsUnicode = MAKELONG(0x0409, 0x04b0);
const DWORD kGermanAnsi = MAKELONG(0x0407, 0x04e4);

std::vector<std::pair<std::string, std::string>> FiveValues(const std::string& product)
{
    return { { "CompanyName", "Test Company" }, { "ProductName", product },
             { "ProductVersion", "4.5.6" }, { "FileDescription", "Test description" },
             { "LegalCopyright", "(c) Test" } };
}

struct Versions {
    char slots[VS_COUNT][VS_SLOT];
    int result;
};

Versions ReadVersions(const std::string& file)
{
    Versions v;
    memset(v.slots, 'Z', sizeof(v.slots));
    for (int i = 0; i < VS_COUNT; i++)
        v.slots[i][VS_SLOT - 1] = '\0';
    v.result = GetVersionStrings(file.c_str(), v.slots);
    return v;
}

void ExpectEmpty(const Versions& v, const char* what)
{
    EXPECT_EQ(0, v.result) << what;
    for (int i = 0; i < VS_COUNT; i++)
        EXPECT_STREQ("", v.slots[i]) << what << " slot " << i;
}

using VersionStrings = UtilsTest;

TEST_F(VersionStrings, ReadsTheFiveTextsOfTheOwnProgram)
{
    Versions v = ReadVersions(vxtest::PathInProgramFolder("Vardex.exe"));
    EXPECT_EQ(1, v.result);
    EXPECT_STREQ("Vardex", v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ(VX_VERSION_TEXT, v.slots[VS_PRODUCT_VERSION]);
    EXPECT_STREQ("Quillon", v.slots[VS_COMPANY_NAME]);
    EXPECT_STRNE("", v.slots[VS_FILE_DESCRIPTION]);
    EXPECT_STRNE("", v.slots[VS_LEGAL_COPYRIGHT]);
}

TEST_F(VersionStrings, TheOrderOfTheSlotsIsFixed)
{
    Versions v = ReadVersions(MakeModule("five.dll", VersionResource(
        { { "040904b0", FiveValues("Test Product") } }, { kUsUnicode })));
    EXPECT_EQ(1, v.result);
    EXPECT_STREQ("Test Product", v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("4.5.6", v.slots[VS_PRODUCT_VERSION]);
    EXPECT_STREQ("Test Company", v.slots[VS_COMPANY_NAME]);
    EXPECT_STREQ("Test description", v.slots[VS_FILE_DESCRIPTION]);
    EXPECT_STREQ("(c) Test", v.slots[VS_LEGAL_COPYRIGHT]);
}

TEST_F(VersionStrings, AnOperatingSystemProductIsNamedByItsDescription)
{
    Versions v = ReadVersions(MakeModule("os.dll", VersionResource(
        { { "040904b0", FiveValues("Microsoft(R) Windows(R) Operating System") } },
        { kUsUnicode })));
    EXPECT_EQ(1, v.result);
    EXPECT_STREQ("Test description", v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("Test description", v.slots[VS_FILE_DESCRIPTION]);
}

TEST_F(VersionStrings, AnOperatingSystemProductWithoutDescriptionHasNoName)
{
    Versions v = ReadVersions(MakeModule("osnodesc.dll", VersionResource(
        { { "040904b0", { { "ProductName", "Operating System" }, { "ProductVersion", "1" } } } },
        { kUsUnicode })));
    EXPECT_EQ(0, v.result);
    EXPECT_STREQ("", v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("1", v.slots[VS_PRODUCT_VERSION]);
}

TEST_F(VersionStrings, TextsOverOneHundredTwentySevenCharactersCountAsEmpty)
{
    std::vector<std::pair<std::string, std::string>> values = FiveValues(std::string(127, 'p'));
    values[0].second = std::string(128, 'c');   // CompanyName
    Versions v = ReadVersions(MakeModule("long.dll", VersionResource(
        { { "040904b0", values } }, { kUsUnicode })));
    EXPECT_EQ(1, v.result);
    EXPECT_EQ(std::string(127, 'p'), v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("", v.slots[VS_COMPANY_NAME]);
    EXPECT_STREQ("4.5.6", v.slots[VS_PRODUCT_VERSION]);

    Versions longName = ReadVersions(MakeModule("longname.dll", VersionResource(
        { { "040904b0", FiveValues(std::string(128, 'p')) } }, { kUsUnicode })));
    EXPECT_EQ(0, longName.result);
    EXPECT_STREQ("", longName.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("Test Company", longName.slots[VS_COMPANY_NAME]);
}

TEST_F(VersionStrings, ALanguageWithoutProductNameIsSkipped)
{
    // The first language of the list has no ProductName, the second no
    // table at all; the third is the one read.
    std::vector<std::pair<std::string, std::string>> noName = {
        { "CompanyName", "German Company" }, { "ProductVersion", "9" } };
    Versions v = ReadVersions(MakeModule("skip.dll", VersionResource(
        { { "040704e4", noName }, { "040904b0", FiveValues("US Product") } },
        { kGermanAnsi, MAKELONG(0x040c, 0x04b0), kUsUnicode })));
    EXPECT_EQ(1, v.result);
    EXPECT_STREQ("US Product", v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("Test Company", v.slots[VS_COMPANY_NAME]);
    EXPECT_STREQ("4.5.6", v.slots[VS_PRODUCT_VERSION]);
}

TEST_F(VersionStrings, TheLastLanguageWithAProductNameWins)
{
    std::vector<std::pair<std::string, std::string>> german = {
        { "ProductName", "Deutsches Produkt" }, { "CompanyName", "Firma" } };
    Versions v = ReadVersions(MakeModule("two.dll", VersionResource(
        { { "040904b0", FiveValues("US Product") }, { "040704e4", german } },
        { kUsUnicode, kGermanAnsi })));
    EXPECT_EQ(1, v.result);
    EXPECT_STREQ("Deutsches Produkt", v.slots[VS_PRODUCT_NAME]);
    EXPECT_STREQ("Firma", v.slots[VS_COMPANY_NAME]);
    // What the winning language lacks is empty, not left from the other.
    EXPECT_STREQ("", v.slots[VS_PRODUCT_VERSION]);
}

TEST_F(VersionStrings, StringsWithoutATranslationListAreNotRead)
{
    Versions v = ReadVersions(MakeModule("notrans.dll", VersionResource(
        { { "040904b0", FiveValues("Orphan") } }, {})));
    ExpectEmpty(v, "no Translation");
}

TEST_F(VersionStrings, AResourceOverTheSizeLimitIsNotRead)
{
    // Padding in a text that is not one of the five; the limit applies to
    // the size the system reports for the resource.
    auto padded = [](size_t padding) {
        std::vector<std::pair<std::string, std::string>> values = FiveValues("Padded");
        values.push_back({ "Comments", std::string(padding, 'm') });
        return VersionResource({ { "040904b0", values } }, { kUsUnicode });
    };
    std::string small = MakeModule("medium.dll", padded(1200));
    std::string big = MakeModule("big.dll", padded(2400));
    DWORD handle = 0;
    DWORD smallSize = GetFileVersionInfoSizeA(small.c_str(), &handle);
    DWORD bigSize = GetFileVersionInfoSizeA(big.c_str(), &handle);
    ASSERT_GT(smallSize, 4096u);
    ASSERT_LE(smallSize, 8191u);
    ASSERT_GT(bigSize, 8191u);

    Versions v = ReadVersions(small);
    EXPECT_EQ(1, v.result);
    EXPECT_STREQ("Padded", v.slots[VS_PRODUCT_NAME]);
    ExpectEmpty(ReadVersions(big), "over 8191 bytes");
}

TEST_F(VersionStrings, FilesWithoutAVersionResource)
{
    ExpectEmpty(ReadVersions(MakeModule("none.dll", "")), "module without a resource");
    vxtest::WriteFileBytes(Scratch("text.dll"), "MZ but not really a module\r\n");
    ExpectEmpty(ReadVersions(Scratch("text.dll")), "not a module");
    vxtest::WriteFileBytes(Scratch("empty.exe"), "");
    ExpectEmpty(ReadVersions(Scratch("empty.exe")), "empty file");
    ExpectEmpty(ReadVersions(Scratch("missing.dll")), "missing file");
    ExpectEmpty(ReadVersions(""), "empty name");
}

TEST_F(VersionStrings, OwnVersionTextNamesBothPrograms)
{
    char text[VX_PATH];
    int n = GetOwnVersionText(text);
    EXPECT_EQ((int)strlen(text), n);
    std::string expected = VX_VERSION_TEXT;
    std::string explorer = vxtest::PathInProgramFolder("VardexView.exe");
    if (GetFileAttributesA(explorer.c_str()) != INVALID_FILE_ATTRIBUTES)
        expected += ":" + std::string(ReadVersions(explorer).slots[VS_PRODUCT_VERSION]);
    EXPECT_EQ(expected, text);
}

// Run in a copy of this program named "HijackProbe.exe": reports what
// GetOwnVersionText gives there.  Does nothing in an ordinary run.
TEST(OwnVersionChild, Report)
{
    char out[MAX_PATH];
    if (GetEnvironmentVariableA("VX_OWN_VERSION_OUT", out, sizeof(out)) == 0)
        return;
    char text[VX_PATH];
    GetOwnVersionText(text);
    vxtest::WriteFileBytes(out, text);
}

TEST_F(VersionStrings, AProgramNamedHijackReportsItsOwnVersion)
{
    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(NULL, self, sizeof(self)));
    std::string probe = vxtest::PathInProgramFolder("HijackProbe.exe");
    std::string report = vxtest::PathInProgramFolder("hijack_report.txt");
    ASSERT_TRUE(CopyFileA(self, probe.c_str(), FALSE));
    // The copy gets a version of its own, so that it can be told apart.
    HANDLE update = BeginUpdateResourceA(probe.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    std::string resource = VersionResource({ { "040904b0", { { "ProductName", "Probe" },
                                                 { "ProductVersion", "7.7.7" } } } },
                               { kUsUnicode });
    EXPECT_TRUE(UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                (void*)resource.data(), (DWORD)resource.size()));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));

    SetEnvironmentVariableA("VX_OWN_VERSION_OUT", report.c_str());
    int rc = vxtest::RunProgram("\"" + probe + "\" --gtest_filter=OwnVersionChild.Report", 60000);
    SetEnvironmentVariableA("VX_OWN_VERSION_OUT", NULL);
    EXPECT_EQ(0, rc);
    EXPECT_EQ(std::string(VX_VERSION_TEXT) + ":7.7.7", vxtest::ReadFileText(report));
    DeleteFileA(probe.c_str());
    DeleteFileA(report.c_str());
}

// --- Dates ---------------------------------------------------------------------------

class DateSettings : public UtilsTest {
protected:
    SavedValue shortDate_{ HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate" };
    SavedValue timeFormat_{ HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat" };

    void Set(const char* date, const char* time)
    {
        vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", date);
        vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", time);
    }
};

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second = 0)
{
    SYSTEMTIME t;
    memset(&t, 0, sizeof(t));
    t.wYear = (WORD)year;
    t.wMonth = (WORD)month;
    t.wDay = (WORD)day;
    t.wHour = (WORD)hour;
    t.wMinute = (WORD)minute;
    t.wSecond = (WORD)second;
    return t;
}

std::string Formatted(const SYSTEMTIME& t)
{
    char out[VX_DATE_TEXT + 4];
    memset(out, 'Z', sizeof(out));
    int n = FormatDateTime(&t, out);
    EXPECT_EQ((int)strlen(out), n);
    EXPECT_EQ('Z', out[VX_DATE_TEXT]);
    return out;
}

TEST_F(DateSettings, FollowsTheUsersShortDateAndTimeFormat)
{
    struct { const char* date; const char* time; const char* expected; } cases[] = {
        { "dd-MMM-yy", "h:mm:ss tt", "05-Mar-2008 2:07 PM" },
        { "M/d/yyyy", "h:mm:ss tt", "03/05/2008 2:07 PM" },
        { "M/d/yy", "hh:mm:ss tt", "03/05/2008 02:07 PM" },
        { "MM/dd/yy", "H:mm:ss", "03/05/2008 14:07" },
        { "MM/dd/yyyy", "HH:mm:ss", "03/05/2008 14:07" },
        { "yy/MM/dd", "HH:mm:ss", "2008/03/05 14:07" },
        { "yyyy-MM-dd", "H:mm:ss", "2008-03-05 14:07" },
        { "dd.MM.yyyy", "HH.mm.ss", "03/05/2008 2:07 PM" },
    };
    for (const auto& c : cases) {
        Set(c.date, c.time);
        EXPECT_EQ(c.expected, Formatted(Time(2008, 3, 5, 14, 7, 59)))
            << c.date << " / " << c.time;
    }
}

TEST_F(DateSettings, NoonAndMidnightOnTheTwelveHourClock)
{
    Set("M/d/yyyy", "h:mm:ss tt");
    EXPECT_EQ("01/01/2009 12:30 PM", Formatted(Time(2009, 1, 1, 12, 30)));
    EXPECT_EQ("01/01/2009 12:15 AM", Formatted(Time(2009, 1, 1, 0, 15)));
    Set("M/d/yyyy", "hh:mm:ss tt");
    EXPECT_EQ("01/01/2009 12:00 AM", Formatted(Time(2009, 1, 1, 0, 0)));
    EXPECT_EQ("01/01/2009 11:59 PM", Formatted(Time(2009, 1, 1, 23, 59)));
}

TEST_F(DateSettings, MissingOrBadSettingsCountAsTheFirstForms)
{
    SYSTEMTIME t = Time(2008, 3, 5, 14, 7);
    RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate");
    RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat");
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t));

    vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", 5);
    vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", 3);
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t));

    std::string overLong = "yyyy-MM-dd" + std::string(2000, ' ');
    Set(overLong.c_str(), overLong.c_str());
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t));
}

FILETIME UtcOf(const SYSTEMTIME& local)
{
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    return utc;
}

// A file with the given creation, last-access and last-write times (local
// time).  Wine keeps no creation time of its own: it reports the earlier of
// the last write and the last status change, so the tests give the
// creation time as the last-write time where they read it.
std::string FileWithTimes(const std::string& path, const std::string& content,
                          const SYSTEMTIME& created, const SYSTEMTIME& accessed,
                          const SYSTEMTIME& written)
{
    vxtest::WriteFileBytes(path, content);
    FILETIME times[3] = { UtcOf(created), UtcOf(accessed), UtcOf(written) };
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_TRUE(file.IsValid());
    EXPECT_TRUE(SetFileTime(file.Get(), &times[0], &times[1], &times[2]));
    return path;
}

TEST_F(DateSettings, FileDateTextIsTheCreationTime)
{
    std::string file = FileWithTimes(Scratch("dated.txt"), "abc", Time(2008, 3, 5, 4, 7),
                                     Time(2009, 10, 11, 12, 13), Time(2008, 3, 5, 4, 7));
    char out[VX_DATE_TEXT];
    EXPECT_EQ(1, FileDateText(file.c_str(), out));
    EXPECT_STREQ("2008/03/05 04:07", out);

    memset(out, 'Z', sizeof(out));
    EXPECT_EQ(0, FileDateText(Scratch("missing.txt").c_str(), out));
    EXPECT_STREQ("", out);
}

TEST_F(DateSettings, FileDateSizeIsTheLastWriteTimeAndTheByteCount)
{
    Set("yyyy-MM-dd", "HH:mm:ss");
    std::string file = FileWithTimes(Scratch("sized.txt"), std::string(12345, 's'),
                                     Time(2008, 3, 5, 4, 7), Time(2010, 1, 2, 3, 4),
                                     Time(2009, 10, 11, 12, 13));
    char date[VX_DATE_TEXT], size[VX_DATE_TEXT];
    EXPECT_EQ(1, FileDateSize(file.c_str(), date, size));
    EXPECT_STREQ("2009-10-11 12:13", date);
    EXPECT_STREQ("12345", size);

    EXPECT_EQ(0, FileDateSize(Scratch("missing.txt").c_str(), date, size));
    EXPECT_STREQ("", date);
    EXPECT_STREQ("", size);
}

TEST_F(DateSettings, FileFactsOfAFile)
{
    Set("yyyy-MM-dd", "HH:mm:ss");
    std::string file = FileWithTimes(Scratch("facts.txt"), std::string(1234567, 'f'),
                                     Time(2008, 3, 5, 4, 7), Time(2009, 10, 11, 12, 13),
                                     Time(2008, 3, 5, 4, 7));
    FileFactsRecord facts;
    memset(&facts, 'Z', sizeof(facts));
    EXPECT_EQ(1, FileFacts(file.c_str(), 200, &facts));
    EXPECT_STREQ("2008-03-05 04:07", facts.created);
    EXPECT_STREQ("2009-10-11 12:13", facts.accessed);
    EXPECT_STREQ("2008-03-05 04:07", facts.written);
    EXPECT_STREQ("1,234,567", facts.size);
    char detected[VX_DATE_TEXT];
    GetDetectedDate(file.c_str(), 200, detected);
    EXPECT_STREQ(detected, facts.detected);
}

TEST_F(DateSettings, FileFactsOfAFileHeldOpenByAnother)
{
    std::string file = Scratch("locked.txt");
    vxtest::WriteFileBytes(file, std::string(1000, 'l'));
    FileHandle holder(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                  OPEN_EXISTING, 0, NULL));
    ASSERT_TRUE(holder.IsValid());
    FileFactsRecord facts;
    EXPECT_EQ(1, FileFacts(file.c_str(), 200, &facts));
    EXPECT_STREQ("1,000", facts.size);
    EXPECT_STRNE("", facts.written);
}

TEST_F(DateSettings, FileFactsOfAMissingFileAreEmpty)
{
    FileFactsRecord facts;
    memset(&facts, 'Z', sizeof(facts));
    EXPECT_EQ(0, FileFacts(Scratch("missing.txt").c_str(), 200, &facts));
    EXPECT_STREQ("", facts.created);
    EXPECT_STREQ("", facts.accessed);
    EXPECT_STREQ("", facts.written);
    EXPECT_STREQ("", facts.detected);
    EXPECT_STREQ("", facts.size);
}

TEST_F(UtilsTest, UnixTimeIsConvertedToLocalTime)
{
    // 2008-03-05 14:07:09 UTC.
    SYSTEMTIME local;
    UnixTimeToLocal(1204726029LL, &local);
    SYSTEMTIME utc = Time(2008, 3, 5, 14, 7, 9), expected;
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(NULL, &utc, &expected));
    EXPECT_EQ(expected.wYear, local.wYear);
    EXPECT_EQ(expected.wMonth, local.wMonth);
    EXPECT_EQ(expected.wDay, local.wDay);
    EXPECT_EQ(expected.wHour, local.wHour);
    EXPECT_EQ(expected.wMinute, local.wMinute);
    EXPECT_EQ(expected.wSecond, local.wSecond);

    // Out of the range of file times: a zeroed time, no overflow.
    const long long outOfRange[] = { -11644473601LL, 0x7FFFFFFFFFFFFFFFLL, -0x7FFFFFFFFFFFFFFFLL };
    for (long long seconds : outOfRange) {
        memset(&local, 'Z', sizeof(local));
        UnixTimeToLocal(seconds, &local);
        EXPECT_EQ(0, local.wYear) << seconds;
        EXPECT_EQ(0, local.wMonth) << seconds;
    }
}

// --- Paths of programs -------------------------------------------------------------

TEST_F(UtilsTest, ExpandProgramPathUsesTheRealFolders)
{
    char programFiles[MAX_PATH];
    ASSERT_GT(RegReadString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", programFiles,
                            sizeof(programFiles)), 0);
    char out[VX_PATH];
    ExpandProgramPath("%PROGRAMFILES%\\Some App\\app.exe /tray", out);
    EXPECT_EQ(Upper(programFiles) + "\\SOME APP\\APP.EXE", out);
    ExpandProgramPath("\\SystemRoot\\System32\\drivers\\vxdrv.sys", out);
    EXPECT_EQ(Upper(WindowsFolder()) + "\\SYSTEM32\\DRIVERS\\VXDRV.SYS", out);
    ExpandProgramPath("\"C:\\Program Files\\A\\b.exe\" -x", out);
    EXPECT_STREQ("C:\\PROGRAM FILES\\A\\B.EXE", out);
}

TEST_F(UtilsTest, ExpandProgramPathWithoutProgramFilesDir)
{
    SavedValue saved(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir");
    char out[VX_PATH];
    ExpandProgramPath("%PROGRAMFILES%\\App\\app.exe -x", out);
    EXPECT_STREQ("C:\\PROGRAM FILES\\APP\\APP.EXE", out);

    vxtest::SetString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", "D:\\Apps");
    ExpandProgramPath("%PROGRAMFILES%\\App\\app.exe -x", out);
    EXPECT_STREQ("D:\\APPS\\APP\\APP.EXE", out);
}

// --- Browsers -------------------------------------------------------------------------

class Browsers : public UtilsTest {
protected:
    SavedValue iePath_{ HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path" };
    SavedValue http_{ HKEY_LOCAL_MACHINE, HTTP_COMMAND, "" };
};

TEST_F(Browsers, InternetExplorerPathDropsTheTrailingSemicolon)
{
    char out[VX_PATH];
    vxtest::SetString(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path", "C:\\Program Files\\IE;");
    EXPECT_EQ(32, InternetExplorerPath(out));
    EXPECT_STREQ("C:\\Program Files\\IE\\iexplore.exe", out);
    vxtest::SetString(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path", "C:\\IE");
    InternetExplorerPath(out);
    EXPECT_STREQ("C:\\IE\\iexplore.exe", out);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path");
    EXPECT_EQ(0, InternetExplorerPath(out));
    EXPECT_STREQ("", out);
}

TEST_F(Browsers, DefaultBrowserIsTheProgramOfTheHttpCommand)
{
    struct { const char* command; const char* path; int kind; } cases[] = {
        { "\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -requestPending -osint -url \"%1\"",
          "C:\\Program Files\\Mozilla Firefox\\firefox.exe", 6 },
        { "C:\\Apps\\FireFox.exe -url \"%1\"", "C:\\Apps\\FireFox.exe", 3 },
        { "\"C:\\PROGRA~1\\INTERN~1\\iexplore.exe\" -nohome", "C:\\PROGRA~1\\INTERN~1\\iexplore.exe", 1 },
        { "C:\\Netscape\\netscp.exe", "C:\\Netscape\\netscp.exe", 2 },
        { "\"C:\\Maxthon\\Maxthon.exe\" \"%1\"", "C:\\Maxthon\\Maxthon.exe %1", 4 },
        { "C:\\Avant Browser\\iexplore.exe", "C:\\Avant Browser\\iexplore.exe", 1 },
        { "C:\\Avant Browser\\avant.exe", "C:\\Avant Browser\\avant.exe", 5 },
        { "C:\\Opera\\opera.exe -newwindow", "C:\\Opera\\opera.exe", 1 },
    };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "", c.command);
        char out[VX_PATH];
        DefaultBrowserPath(out);
        EXPECT_STREQ(c.path, out) << c.command;
        EXPECT_EQ(c.kind, DefaultBrowserKind()) << c.command;
    }
}

TEST_F(Browsers, WithoutAnHttpCommandTheDefaultIsInternetExplorer)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path", "C:\\IE;");
    vxtest::SetString(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "", "-nohome");
    char out[VX_PATH];
    DefaultBrowserPath(out);
    EXPECT_STREQ("C:\\IE\\IExplore.exe", out);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "");
    DefaultBrowserPath(out);
    EXPECT_STREQ("C:\\IE\\IExplore.exe", out);
    EXPECT_EQ(1, DefaultBrowserKind());
    // Neither: nothing, and Internet Explorer as the kind.
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path");
    EXPECT_EQ(0, DefaultBrowserPath(out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(1, DefaultBrowserKind());
}

TEST_F(Browsers, AnOverLongHttpCommandIsCutToAPath)
{
    std::string command = "\"C:\\" + std::string(600, 'w') + "\\browser.exe\" -url";
    vxtest::SetString(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "", command.c_str());
    char out[VX_PATH + 4];
    memset(out, 'Z', sizeof(out));
    DefaultBrowserPath(out);
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(out));
    EXPECT_EQ('Z', out[VX_PATH]);
}

// --- The AOL window ---------------------------------------------------------------------

class AolWindows : public UtilsTest {
protected:
    void SetUp() override
    {
        UtilsTest::SetUp();
        const char* classes[] = { "AOL Frame25", "AOL Frame" };
        for (const char* name : classes) {
            WNDCLASSA wc;
            memset(&wc, 0, sizeof(wc));
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(NULL);
            wc.lpszClassName = name;
            RegisterClassA(&wc);
        }
    }
    void TearDown() override
    {
        for (HWND w : windows_)
            DestroyWindow(w);
        UtilsTest::TearDown();
    }
    HWND Make(const char* className, const char* title)
    {
        HWND w = CreateWindowA(className, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
        EXPECT_NE(nullptr, w) << className << " " << title;
        windows_.push_back(w);
        return w;
    }
    std::vector<HWND> windows_;
};

TEST_F(AolWindows, NoneGivesNull)
{
    Make("AOL Frame25", "Some other title");
    EXPECT_EQ(nullptr, FindAolWindow());
}

TEST_F(AolWindows, TitlesAreTriedInTheirOrder)
{
    HWND aol = Make("AOL Frame25", "AOL");
    EXPECT_EQ(aol, FindAolWindow());
    HWND online = Make("AOL Frame25", "America Online");
    EXPECT_EQ(online, FindAolWindow());
    HWND twoBlanks = Make("AOL Frame25", "America  Online");
    EXPECT_EQ(twoBlanks, FindAolWindow());
}

TEST_F(AolWindows, TheOlderFrameClass)
{
    HWND old = Make("AOL Frame", "America  Online");
    EXPECT_EQ(old, FindAolWindow());
    HWND canada = Make("AOL Frame25", "AOL Canada");
    EXPECT_EQ(canada, FindAolWindow());
}

// --- System -----------------------------------------------------------------------------

TEST_F(UtilsTest, WindowsVersionTests)
{
    DWORD version = GetVersion();
    EXPECT_EQ((version & 0x80000000) == 0, IsWindowsNT() != 0);
    EXPECT_EQ(LOBYTE(LOWORD(version)) == 6, IsWindowsMajor6() != 0);
}

DWORD WINAPI AnswerSystemError(void* param)
{
    std::string* text = static_cast<std::string*>(param);
    HWND box = vxtest::WaitForWindow("#32770", "System Error", 10000);
    if (box == NULL)
        return 1;
    *text = vxtest::DialogItemText(box, 0xFFFF);
    vxtest::ClickButton(box, IDOK);
    return 0;
}

TEST_F(UtilsTest, ShowSystemErrorNamesTheLastError)
{
    std::string text;
    KernelHandle answer(CreateThread(NULL, 0, AnswerSystemError, &text, 0, NULL));
    ASSERT_TRUE(answer.IsValid());
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowSystemError();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(answer.Get(), 10000));
    char systemText[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                   ERROR_FILE_NOT_FOUND, 0, systemText, sizeof(systemText), NULL);
    ASSERT_STRNE("", systemText);
    EXPECT_EQ(0u, text.find("2  ")) << text;
    EXPECT_NE(std::string::npos, text.find(std::string(systemText).substr(0, 10))) << text;
}

}  // namespace
