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

// Keeps a text value as the prefix had it and puts it back (or removes it
// again) when the test ends, since the tests of a program share one prefix.
struct SavedString {
    HKEY root;
    const char* path;
    const char* name;
    bool present = vxtest::ValueExists(root, path, name);
    std::string text = vxtest::ReadString(root, path, name);
    ~SavedString()
    {
        if (present)
            vxtest::SetString(root, path, name, text.c_str());
        else
            RegDeleteValueNamed(root, path, name);
    }
};

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return text;
}

std::string Folder(UINT (WINAPI* get)(LPSTR, UINT))
{
    char folder[MAX_PATH];
    get(folder, sizeof(folder));
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
    while (find.IsValid()) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                RemoveTree(path);
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        if (!FindNextFileA(find.Get(), &found))
            break;
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

// --- Folders and files -----------------------------------------------------------

TEST_F(UtilsTest, ProgramAndAppDataFolders)
{
    char folder[VX_PATH];
    EXPECT_EQ((int)vxtest::ProgramFolder().size(), GetProgramFolder(folder));
    EXPECT_EQ(vxtest::ProgramFolder(), folder);

    SavedString saved{ HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData" };
    vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", Scratch().c_str());
    // Created with its vault, and found there the second time.
    for (int call = 0; call < 2; call++) {
        EXPECT_EQ((int)Scratch("Vardex").size(), GetAppDataFolder(folder));
        EXPECT_EQ(Scratch("Vardex"), folder);
        DWORD attributes = GetFileAttributesA(Scratch("Vardex\\vault").c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
}

TEST_F(UtilsTest, AppDataFallsBackToTheProgramFolder)
{
    SavedString saved{ HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData" };
    char folder[VX_PATH];
    RegDeleteValueNamed(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData");
    GetAppDataFolder(folder);
    EXPECT_EQ(vxtest::ProgramFolder(), folder) << "no AppData";

    vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", Scratch().c_str());
    ASSERT_TRUE(CreateDirectoryA(Scratch("Vardex").c_str(), NULL));
    vxtest::WriteFileBytes(Scratch("Vardex\\vault"), "not a folder");
    GetAppDataFolder(folder);
    EXPECT_EQ(vxtest::ProgramFolder(), folder) << "a file where the vault should be";

    // A folder under which the vault's path would not fit a path buffer is
    // not even created.
    std::string deep = Scratch() + "\\" + std::string(247 - 1 - Scratch().size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    vxtest::SetString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", deep.c_str());
    GetAppDataFolder(folder);
    EXPECT_EQ(vxtest::ProgramFolder(), folder);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((deep + "\\Vardex").c_str()));
}

TEST_F(UtilsTest, FileExistsLooksInTheWindowsThenTheSystemFolder)
{
    // Names of 31 characters are looked up in the folders, 32 are not.
    std::string name31 = std::string(27, 'a') + ".txt", name32 = std::string(28, 'b') + ".txt";
    const std::string files[] = { Folder(GetSystemDirectoryA) + "\\vxsysonl.txt",
                                  Folder(GetWindowsDirectoryA) + "\\vxwinonl.txt",
                                  Folder(GetSystemDirectoryA) + "\\" + name31,
                                  Folder(GetSystemDirectoryA) + "\\" + name32 };
    for (const std::string& file : files)
        vxtest::WriteFileBytes(file, "x");
    char shortSystem[VX_PATH];
    GetShortPathNameA(files[0].c_str(), shortSystem, sizeof(shortSystem));
    // What path holds afterwards: found in the system folder, its full short
    // path; else the name as it was.
    const struct { std::string path; bool found; std::string after; } cases[] = {
        { "notepad.exe", true, "notepad.exe" }, { "x", false, "x" },
        { "", false, "" },   // would find the Windows folder itself
        { "vxwinonl.txt", true, "vxwinonl.txt" }, { "vxsysonl.txt", true, shortSystem },
        { name31, true, "" }, { name32, false, name32 }, { files[3], true, files[3] },
    };
    for (const auto& c : cases) {
        char path[VX_PATH];
        TextCopy(path, c.path.c_str());
        EXPECT_EQ(c.found, FileExists(path) != 0) << c.path;
        if (c.path != name31) {
            EXPECT_STRCASEEQ(c.after.c_str(), path) << c.path;
        }
    }
    for (const std::string& file : files)
        DeleteFileA(file.c_str());
}

TEST_F(UtilsTest, FileExistsAtThePathLengthLimit)
{
    // A file whose full path has 259 characters exists; 260 and 261
    // characters cannot be named and are reported missing without harm.
    std::string folder = Scratch() + "\\" + std::string(200 - Scratch().size(), 'f');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    std::string path259 = folder + "\\" + std::string(259 - folder.size() - 1, 'g');
    vxtest::WriteFileBytes(path259, "x");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path259.c_str()));
    for (int extra = 0; extra <= 2; extra++) {
        std::string name = path259 + std::string(extra, 'h');
        char path[VX_PATH + 4];
        TextCopy(path, name.c_str());
        EXPECT_EQ(extra == 0, FileExists(path) != 0) << name.size();
        EXPECT_EQ(name, path);
    }
}

TEST_F(UtilsTest, LongPathAndForcedDelete)
{
    std::string file = Scratch("a long file name for the test.text");
    vxtest::WriteFileBytes(file, "x");
    char shortPath[VX_PATH], out[VX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortPath, sizeof(shortPath)));
    EXPECT_EQ((int)file.size(), GetLongPath(shortPath, out));
    EXPECT_STRCASEEQ(file.c_str(), out);
    // No conversion: the path comes back unchanged and the result is 0.
    EXPECT_EQ(0, GetLongPath("C:\\no\\such\\file.txt", out));
    EXPECT_STREQ("C:\\no\\such\\file.txt", out);

    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(1, DeleteFileForce(file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    EXPECT_EQ(0, DeleteFileForce(file.c_str()));
}

TEST_F(UtilsTest, ReadTextFileReadsAtMostTheLimit)
{
    const struct { const char* name; const char* content; DWORD limit; int crlf;
                   const char* expected; } cases[] = {   // expected NULL: no block
        { "crlf", "a\nb\n", 100, 1, "a\r\nb\r\n" },
        { "leading line feed", "\n\nx", 100, 1, "\r\n\r\nx" },
        { "already crlf", "a\r\nb\n", 100, 1, "a\r\nb\r\n" },
        { "cut to the limit", "abcdef\n", 3, 1, "abc" },
        { "limit exactly the size", "abc\n", 4, 1, "abc\r\n" },
        { "limit one over the size", "abc\n", 5, 0, "abc\n" },
        { "empty file", "", 100, 1, NULL },
        { "limit zero", "abc", 0, 0, NULL },
    };
    std::string file = Scratch("text.txt");
    for (const auto& c : cases) {
        vxtest::WriteFileBytes(file, c.content);
        DWORD size = c.limit;
        char* block = ReadTextFile(file.c_str(), &size, c.crlf);
        EXPECT_EQ(c.expected ? c.expected : "<none>",
                  block ? std::string(block, size) : "<none>") << c.name;
        if (block) {
            EXPECT_EQ('\0', block[size]) << c.name;
        } else {
            EXPECT_EQ(0u, size) << c.name;
        }
        FreeTextFile(block);
    }
    DWORD size = 100;
    EXPECT_EQ(nullptr, ReadTextFile(Scratch("missing.txt").c_str(), &size, 1));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(nullptr, ReadTextFile(Scratch().c_str(), &size, 1));   // a folder
    EXPECT_EQ(nullptr, ReadTextFile(file.c_str(), NULL, 1));
}

// --- Version strings ---------------------------------------------------------------

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

// The five slots as GetVersionStrings leaves them, and its result last.
std::vector<std::string> Versions(const std::string& file)
{
    char slots[VS_COUNT][VS_SLOT];
    memset(slots, 'Z', sizeof(slots));
    for (int i = 0; i < VS_COUNT; i++)
        slots[i][VS_SLOT - 1] = '\0';
    int result = GetVersionStrings(file.c_str(), slots);
    std::vector<std::string> v(slots, slots + VS_COUNT);
    v.push_back(std::to_string(result));
    return v;
}

typedef std::vector<std::string> Slots;   // name, version, company, description, copyright, result
const Slots kEmpty = { "", "", "", "", "", "0" };

TEST_F(UtilsTest, VersionStringsInTheirSlots)
{
    Slots own = Versions(vxtest::PathInProgramFolder("Vardex.exe"));
    EXPECT_EQ((Slots{ "Vardex", VX_VERSION_TEXT, "Quillon", own[3], own[4], "1" }), own);
    EXPECT_NE("", own[VS_FILE_DESCRIPTION]);
    EXPECT_NE("", own[VS_LEGAL_COPYRIGHT]);

    EXPECT_EQ((Slots{ "Test Product", "4.5.6", "Test Company", "Test description", "(c) Test", "1" }),
              Versions(MakeModule("five.dll", { { "040904b0", FiveValues("Test Product") } })));
    // A system component's product is named by its own description.
    EXPECT_EQ((Slots{ "Test description", "4.5.6", "Test Company", "Test description", "(c) Test",
                      "1" }),
              Versions(MakeModule("os.dll", { { "040904b0", FiveValues(
                  "Microsoft(R) Windows(R) Operating System") } })));
    EXPECT_EQ((Slots{ "", "1", "", "", "", "0" }),
              Versions(MakeModule("osnodesc.dll", { { "040904b0", { { "ProductName",
                  "Operating System" }, { "ProductVersion", "1" } } } })));
}

TEST_F(UtilsTest, VersionTextsOverOneHundredTwentySevenCharactersCountAsEmpty)
{
    VersionValues values = FiveValues(std::string(127, 'p'));
    values[0].second = std::string(128, 'c');   // CompanyName
    EXPECT_EQ((Slots{ std::string(127, 'p'), "4.5.6", "", "Test description", "(c) Test", "1" }),
              Versions(MakeModule("long.dll", { { "040904b0", values } })));
    EXPECT_EQ((Slots{ "", "4.5.6", "Test Company", "Test description", "(c) Test", "0" }),
              Versions(MakeModule("longname.dll",
                                  { { "040904b0", FiveValues(std::string(128, 'p')) } })));
}

TEST_F(UtilsTest, VersionLanguagesOfTheTranslationList)
{
    // A language without ProductName, and one without a table, are
    // skipped.
    VersionValues noName = { { "CompanyName", "German Company" }, { "ProductVersion", "9" } };
    EXPECT_EQ((Slots{ "US Product", "4.5.6", "Test Company", "Test description", "(c) Test", "1" }),
              Versions(MakeModule("skip.dll",
                                  { { "040704e4", noName }, { "040904b0", FiveValues("US Product") } },
                                  { kGermanAnsi, MAKELONG(0x040c, 0x04b0), kUsUnicode })));
    // The last language with a ProductName wins; what it lacks is empty,
    // not left over from the other.
    VersionValues german = { { "ProductName", "Deutsches Produkt" }, { "CompanyName", "Firma" } };
    EXPECT_EQ((Slots{ "Deutsches Produkt", "", "Firma", "", "", "1" }),
              Versions(MakeModule("two.dll",
                                  { { "040904b0", FiveValues("US Product") }, { "040704e4", german } },
                                  { kUsUnicode, kGermanAnsi })));
    // Strings without a Translation list are not read.
    EXPECT_EQ(kEmpty, Versions(MakeModule("notrans.dll", { { "040904b0", FiveValues("Orphan") } },
                                          {})));
}

TEST_F(UtilsTest, VersionResourcesOverTheSizeLimitAndFilesWithoutOne)
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

TEST_F(UtilsTest, OwnVersionTextOfTheProgramsOrOfAProgramNamedHijack)
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
    char text[VX_PATH];
    EXPECT_EQ((int)strlen(text), GetOwnVersionText(text));
    std::string expected = VX_VERSION_TEXT;
    std::string explorer = vxtest::PathInProgramFolder("VardexView.exe");
    if (GetFileAttributesA(explorer.c_str()) != INVALID_FILE_ATTRIBUTES)
        expected += ":" + Versions(explorer)[VS_PRODUCT_VERSION];
    EXPECT_EQ(expected, text);
}

// --- Dates ---------------------------------------------------------------------------

class DateSettings : public UtilsTest {
protected:
    SavedString shortDate_{ HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate" };
    SavedString timeFormat_{ HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat" };

    void Set(const char* date, const char* time)
    {
        vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", date);
        vxtest::SetString(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", time);
    }
};

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second = 0)
{
    return SYSTEMTIME{ (WORD)year, (WORD)month, 0, (WORD)day, (WORD)hour, (WORD)minute,
                       (WORD)second, 0 };
}

std::string Formatted(const SYSTEMTIME& t)
{
    char out[VX_DATE_TEXT + 4];
    memset(out, 'Z', sizeof(out));
    EXPECT_EQ((int)strlen(out), FormatDateTime(&t, out));
    EXPECT_EQ('Z', out[VX_DATE_TEXT]);
    return out;
}

TEST_F(DateSettings, FollowsTheUsersSettingsAndTakesBadOnesAsTheFirstForms)
{
    SYSTEMTIME t = Time(2008, 3, 5, 14, 7, 59);
    const struct { const char* date; const char* time; const char* expected; } cases[] = {
        { "dd-MMM-yy", "h:mm:ss tt", "05-Mar-2008 2:07 PM" },
        { "dd.MM.yyyy", "HH.mm.ss", "03/05/2008 2:07 PM" },
    };
    for (const auto& c : cases) {
        Set(c.date, c.time);
        EXPECT_EQ(c.expected, Formatted(t)) << c.date << " / " << c.time;
    }
    RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate");
    RegDeleteValueNamed(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat");
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t)) << "missing";
    vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sShortDate", 5);
    vxtest::SetDword(HKEY_CURRENT_USER, INTERNATIONAL, "sTimeFormat", 3);
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t)) << "numbers";
    std::string overLong = "yyyy-MM-dd" + std::string(2000, ' ');
    Set(overLong.c_str(), overLong.c_str());
    EXPECT_EQ("03/05/2008 2:07 PM", Formatted(t)) << "over-long";
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
std::string FileWithTimes(const char* name, size_t size, const SYSTEMTIME& created,
                          const SYSTEMTIME& accessed, const SYSTEMTIME& written)
{
    std::string path = Scratch(name);
    vxtest::WriteFileBytes(path, std::string(size, 'f'));
    FILETIME times[3] = { UtcOf(created), UtcOf(accessed), UtcOf(written) };
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_TRUE(SetFileTime(file.Get(), &times[0], &times[1], &times[2]));
    return path;
}

TEST_F(DateSettings, FileDatesSizesAndFacts)
{
    Set("yyyy-MM-dd", "HH:mm:ss");
    std::string file = FileWithTimes("facts.txt", 1234567, Time(2008, 3, 5, 4, 7),
                                     Time(2009, 10, 11, 12, 13), Time(2008, 3, 5, 4, 7));
    char date[VX_DATE_TEXT], size[VX_DATE_TEXT], detected[VX_DATE_TEXT];
    EXPECT_EQ(1, FileDateText(file.c_str(), date));   // creation time, in its own form
    EXPECT_STREQ("2008/03/05 04:07", date);
    EXPECT_EQ(1, FileDateSize(file.c_str(), date, size));   // last-write time
    EXPECT_STREQ("2008-03-05 04:07", date);
    EXPECT_STREQ("1234567", size);
    FileFactsRecord facts;
    memset(&facts, 'Z', sizeof(facts));
    EXPECT_EQ(1, FileFacts(file.c_str(), 200, &facts));
    EXPECT_STREQ("2008-03-05 04:07", facts.created);
    EXPECT_STREQ("2009-10-11 12:13", facts.accessed);
    EXPECT_STREQ("2008-03-05 04:07", facts.written);
    EXPECT_STREQ("1,234,567", facts.size);
    GetDetectedDate(file.c_str(), 200, detected);
    EXPECT_STREQ(detected, facts.detected);

    // A file another program holds open without sharing still has facts.
    FileHandle holder(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                  OPEN_EXISTING, 0, NULL));
    ASSERT_TRUE(holder.IsValid());
    memset(&facts, 'Z', sizeof(facts));
    EXPECT_EQ(1, FileFacts(file.c_str(), 200, &facts));
    EXPECT_STREQ("1,234,567", facts.size);
    EXPECT_STREQ("2008-03-05 04:07", facts.written);

    // A missing file: every text empty.
    std::string missing = Scratch("missing.txt");
    memset(&facts, 'Z', sizeof(facts));
    memset(size, 'Z', sizeof(size));
    EXPECT_EQ(0, FileDateText(missing.c_str(), detected));
    EXPECT_EQ(0, FileDateSize(missing.c_str(), date, size));
    EXPECT_EQ(0, FileFacts(missing.c_str(), 200, &facts));
    const char* empty[] = { detected, date, size, facts.created, facts.accessed, facts.written,
                            facts.detected, facts.size };
    for (const char* text : empty)
        EXPECT_STREQ("", text);
}

TEST_F(UtilsTest, UnixTimeIsConvertedToLocalTime)
{
    auto text = [](const SYSTEMTIME& t) {
        char out[64];
        TEXT_FORMAT(out, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                    t.wMinute, t.wSecond);
        return std::string(out);
    };
    SYSTEMTIME local, utc = Time(2008, 3, 5, 14, 7, 9), expected;
    UnixTimeToLocal(1204726029LL, &local);   // 2008-03-05 14:07:09 UTC
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(NULL, &utc, &expected));
    EXPECT_EQ(text(expected), text(local));
    // Out of the range of file times: a zeroed time, no overflow.
    const long long outOfRange[] = { -11644473601LL, 0x7FFFFFFFFFFFFFFFLL, -0x7FFFFFFFFFFFFFFFLL };
    for (long long seconds : outOfRange) {
        memset(&local, 'Z', sizeof(local));
        UnixTimeToLocal(seconds, &local);
        EXPECT_EQ("0000-00-00 00:00:00", text(local)) << seconds;
    }
}

// --- Paths of programs -------------------------------------------------------------

TEST_F(UtilsTest, ExpandProgramPathUsesTheRealFolders)
{
    char programFiles[MAX_PATH], out[VX_PATH];
    ASSERT_GT(RegReadString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", programFiles,
                            sizeof(programFiles)), 0);
    ExpandProgramPath("%PROGRAMFILES%\\Some App\\app.exe /tray", out);
    EXPECT_EQ(Upper(programFiles) + "\\SOME APP\\APP.EXE", out);
    ExpandProgramPath("\\SystemRoot\\System32\\drivers\\vxdrv.sys", out);
    EXPECT_EQ(Upper(Folder(GetWindowsDirectoryA)) + "\\SYSTEM32\\DRIVERS\\VXDRV.SYS", out);

    // Without ProgramFilesDir, the usual folder; another one when set.
    SavedString saved{ HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir" };
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir");
    ExpandProgramPath("%PROGRAMFILES%\\App\\app.exe -x", out);
    EXPECT_STREQ("C:\\PROGRAM FILES\\APP\\APP.EXE", out);
    vxtest::SetString(HKEY_LOCAL_MACHINE, CURRENT_VERSION, "ProgramFilesDir", "D:\\Apps");
    ExpandProgramPath("%PROGRAMFILES%\\App\\app.exe -x", out);
    EXPECT_STREQ("D:\\APPS\\APP\\APP.EXE", out);
}

// --- Browsers -------------------------------------------------------------------------

class Browsers : public UtilsTest {
protected:
    SavedString iePath_{ HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path" };
    SavedString http_{ HKEY_LOCAL_MACHINE, HTTP_COMMAND, "" };
};

TEST_F(Browsers, DefaultBrowserIsTheProgramOfTheHttpCommand)
{
    const struct { const char* command; const char* path; int kind; } cases[] = {
        { "\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -requestPending -osint -url \"%1\"",
          "C:\\Program Files\\Mozilla Firefox\\firefox.exe", 6 },
        { "C:\\Apps\\FireFox.exe -url \"%1\"", "C:\\Apps\\FireFox.exe", 3 },
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
    char out[VX_PATH + 4];
    vxtest::SetString(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path", "C:\\IE");
    InternetExplorerPath(out);
    EXPECT_STREQ("C:\\IE\\iexplore.exe", out);
    vxtest::SetString(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path", "C:\\Program Files\\IE;");
    EXPECT_EQ(32, InternetExplorerPath(out));
    EXPECT_STREQ("C:\\Program Files\\IE\\iexplore.exe", out);
    vxtest::SetString(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "", "-nohome");
    DefaultBrowserPath(out);
    EXPECT_STREQ("C:\\Program Files\\IE\\IExplore.exe", out);
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "");
    DefaultBrowserPath(out);
    EXPECT_STREQ("C:\\Program Files\\IE\\IExplore.exe", out);
    EXPECT_EQ(1, DefaultBrowserKind());
    // Neither: nothing, and Internet Explorer as the kind.
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path");
    EXPECT_EQ(0, InternetExplorerPath(out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, DefaultBrowserPath(out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(1, DefaultBrowserKind());
    // An over-long command is cut to a path.
    std::string command = "\"C:\\" + std::string(600, 'w') + "\\browser.exe\" -url";
    vxtest::SetString(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "", command.c_str());
    memset(out, 'Z', sizeof(out));
    DefaultBrowserPath(out);
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(out));
    EXPECT_EQ('Z', out[VX_PATH]);
}

TEST_F(UtilsTest, FindAolWindowTriesItsTitlesInOrder)
{
    const char* classes[] = { "AOL Frame25", "AOL Frame" };
    for (const char* name : classes) {
        WNDCLASSA wc = { 0, DefWindowProcA, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL,
                         name };
        RegisterClassA(&wc);
    }
    // Each window made outranks the ones before it.
    const struct { const char* className; const char* title; bool found; } windows[] = {
        { "AOL Frame25", "Some other title", false }, { "AOL Frame", "America  Online", true },
        { "AOL Frame25", "AOL Canada", true }, { "AOL Frame25", "AOL", true },
        { "AOL Frame25", "America Online", true }, { "AOL Frame25", "America  Online", true },
    };
    std::vector<HWND> made;
    for (const auto& w : windows) {
        made.push_back(CreateWindowA(w.className, w.title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                     NULL, NULL, GetModuleHandleA(NULL), NULL));
        EXPECT_NE(nullptr, made.back()) << w.className << " " << w.title;
        EXPECT_EQ(w.found ? made.back() : NULL, FindAolWindow()) << w.className << " " << w.title;
    }
    for (HWND w : made)
        DestroyWindow(w);
}

// --- System -----------------------------------------------------------------------------

DWORD WINAPI AnswerSystemError(void* param)
{
    HWND box = vxtest::WaitForWindow("#32770", "System Error", 10000);
    if (box == NULL)
        return 1;
    *static_cast<std::string*>(param) = vxtest::DialogItemText(box, 0xFFFF);
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
