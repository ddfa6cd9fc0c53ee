// The online lookup and the version check against a real shell: the
// prefix's http handler and AOL client are copies of this program that
// write down how they were started, and the address that arrived is read
// back as the vendor's service reads it.
#include <string>

#include "foundation/lookup.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "resources/vardex_version.h"
#include "scratch_fixture.h"
#include "support/browser_recorder.h"
#include "support/query_reader.h"
#include "support/version_resource.h"

namespace {

using scratch::Scratch;

struct Lookup : scratch::ScratchTest {
    void SetUp() override
    {
        ScratchTest::SetUp();
        vxtest::ResetStore();
        DeleteFileA(vxtest::PathInProgramFolder("temp.url").c_str());
    }
    vxtest::BrowserRecorder browser;
};

// A program with a version resource whose texts are hard to carry.
std::string OddProgram(const std::string& name)
{
    return vxtest::WithVersion(Scratch(name.c_str()), vxtest::Tables{ { "040904b0", {
        { "CompanyName", "Q \"Soft\" <Ltd> & Soci\xE9t\xE9" }, { "ProductName", "Odd=1?" },
        { "ProductVersion", "1.2 #3" }, { "FileDescription", "100% +" } } } });
}

const std::string kBuild = VX_VERSION_TEXT ":" VX_VERSION_TEXT;
const std::string kBuildSent = VX_VERSION_TEXT "%3A" VX_VERSION_TEXT;

TEST_F(Lookup, ShortFormOneArgumentWithEveryTextBack)
{
    std::string program = OddProgram("odd & #%+= x.exe");
    ASSERT_EQ(1, LookUpOnline(NULL, 11, program.c_str()));
    std::string call = browser.Call(1);
    std::string expectedStart = "\"" + vxtest::PathInProgramFolder("browser.exe") + "\" \"";
    EXPECT_EQ(expectedStart, call.substr(0, expectedStart.size())) << call;
    std::string address = vxtest::RecordedAddress(call);
    EXPECT_EQ(expectedStart.size(), call.size() - address.size() - 1) << call;  // one argument
    // The fields gathered here (how each is carried: test_lookup_query).
    vxtest::ReadQuery read = vxtest::ReadLookupQuery(address);
    EXPECT_EQ("ODD & #%+= X.EXE", read.Value("program"));
    EXPECT_EQ("Q \"Soft\" <Ltd> & Soci\xE9t\xE9", read.Value("vendor"));
    EXPECT_EQ("1.2 #3", read.Value("version"));
    EXPECT_EQ(kBuild, read.Value("build"));
    EXPECT_EQ("en", read.Value("Loc"));
    EXPECT_EQ("EXE", read.Value("ext"));
    // Nothing was left for a browser to read later.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA(vxtest::PathInProgramFolder("temp.url").c_str()));
    // A bare name without a dot; no name at all.
    ASSERT_EQ(1, LookUpOnline(NULL, 450, "my tool"));
    read = vxtest::ReadLookupQuery(vxtest::RecordedAddress(browser.Call(2)));
    EXPECT_EQ("my tool", read.Value("program"));
    EXPECT_EQ("", read.Value("ext"));
    EXPECT_EQ(0, LookUpOnline(NULL, 450, ""));
    EXPECT_EQ(0, LookUpOnline(NULL, 450, NULL));
}

TEST_F(Lookup, LongFormThroughAShortcutKeptUntilTheNextLookup)
{
    OptionWrite("PlusFormat", 1);
    std::string name = std::string(231, 'a') + ".exe";
    std::string program = OddProgram(name);
    ASSERT_EQ(259u, program.size());
    ASSERT_EQ(1, LookUpOnline(NULL, 800, program.c_str()));
    vxtest::ReadQuery read = vxtest::ReadLookupQuery(vxtest::RecordedAddress(browser.Call(1)));
    EXPECT_EQ(program, read.Value("path"));
    EXPECT_EQ("Odd=1?", read.Value("name"));
    EXPECT_EQ("100% +", read.Value("detail"));
    EXPECT_EQ("us", read.Value("Loc"));
    EXPECT_NE("", read.Value("created"));
    EXPECT_NE("", read.Value("fsize"));
    // The browser read the shortcut after the shell returned: it is kept.
    std::string shortcut = vxtest::PathInProgramFolder("temp.url");
    EXPECT_NE(std::string::npos, vxtest::ReadFileText(shortcut).find("URL=http://"));

    OptionWrite("PlusFormat", 0);
    ASSERT_EQ(1, LookUpOnline(NULL, 800, program.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(shortcut.c_str()));
    EXPECT_NE("", browser.Call(2));

    OptionWrite("PlusFormat", 1);
    ASSERT_EQ(1, LookUpOnline(NULL, 800, program.c_str()));
    EXPECT_NE("", browser.Call(3));
    DeleteLookupShortcut();  // at exit
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(shortcut.c_str()));
}

TEST_F(Lookup, ThroughTheAolClientTheAddressQuoted)
{
    // A window of the AOL client's class.
    WNDCLASSA type = { 0, DefWindowProcA, 0, 0, NULL, NULL, NULL, NULL, NULL, "AOL Frame25" };
    RegisterClassA(&type);
    HWND aol = CreateWindowA("AOL Frame25", "AOL", WS_POPUP, 0, 0, 1, 1, 0, 0, NULL, NULL);
    WriteProfileStringA("WAOL", "AppPath", browser.AolFolder().c_str());
    for (int longForm = 0; longForm <= 1; longForm++) {
        OptionWrite("PlusFormat", longForm);
        ASSERT_EQ(1, LookUpOnline(NULL, 1011, OddProgram("a b.exe").c_str()));
        std::string call = browser.Call(longForm + 1);
        std::string address = vxtest::RecordedAddress(call);
        EXPECT_EQ(browser.AolFolder() + "\\WAOL.EXE -u\"" + address + "\"", call);
        EXPECT_EQ("1011", vxtest::ReadLookupQuery(address).Value("Type"));
    }
    EXPECT_TRUE(CheckForNewVersion(NULL));
    std::string check = vxtest::RecordedAddress(browser.Call(3));
    EXPECT_EQ(0u, check.find(VX_VENDOR_ROOT "cgi-bin/version.pl?")) << check;
    WriteProfileStringA("WAOL", "AppPath", NULL);
    DestroyWindow(aol);
}

// The address the registry configures (which ones are refused:
// test_lookup_query).
TEST_F(Lookup, VersionCheckTakesTheAddressFromTheRegistry)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "GetVersion", "https://updates.example/c?");
    ASSERT_EQ(1, CheckForNewVersion(NULL));
    std::string address = vxtest::RecordedAddress(browser.Call(1));
    EXPECT_EQ("https://updates.example/c?&build=" + kBuildSent + "&Loc=us", address);
}

}  // namespace
