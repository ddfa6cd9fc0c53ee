// The lookup and version-check addresses as text: read back as the
// vendor's service reads them, every value must arrive as it was, in the
// order and under the names the service knows, within the address limit.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "foundation/lookup_query.h"
#include "resources/vardex_version.h"
#include "support/query_reader.h"

namespace {

using Names = std::vector<std::string>;

const Names kShortNames = { "program", "vendor", "version", "build", "Type", "Loc", "ext" };
const Names kLongNames = { "program", "vendor", "build", "Type", "Loc", "ext", "version",
                           "name", "copy", "detail", "created", "detected", "fsize", "path" };

// Fields whose texts are all different, so that a swap shows.
struct Sample {
    std::string Program = "my tool.exe", Extension = "exe", Company = "A&B \"Soft\" <Ltd>";
    std::string Version = "1.0", Product = "Tool", Copyright = "(c) 100% #1";
    std::string Description = "a+b=c?", Created = "5/1/2008 1:02:03 PM";
    std::string Detected = "2008/05/01 13:02", Size = "12,345";
    std::string Path = "C:\\Program Files\\my tool.exe", Language = "us", Build = "15.9:15.9";
    int Type = 11;
    LookupFields Fields() const
    {
        return { Program.c_str(),  Extension.c_str(), Company.c_str(),     Version.c_str(),
                 Product.c_str(),  Copyright.c_str(), Description.c_str(), Created.c_str(),
                 Detected.c_str(), Size.c_str(),      Path.c_str(),        Type,
                 Language.c_str(), Build.c_str() };
    }
};

std::string Build(const Sample& s, int longForm, size_t size = LOOKUP_ADDRESS)
{
    std::vector<char> out(size + 1, 'Z');
    LookupFields fields = s.Fields();
    size_t n = BuildLookupQuery(&fields, longForm, out.data(), size);
    EXPECT_EQ('Z', out[size]) << "wrote past the buffer";
    EXPECT_EQ(strlen(out.data()), n);
    return out.data();
}

TEST(LookupQuery, EveryValueReadsBackUnderItsName)
{
    Sample s;
    vxtest::ReadQuery shortForm = vxtest::ReadLookupQuery(Build(s, 0));
    EXPECT_EQ(VX_VENDOR_ROOT "cgi-bin/plusinfo.pl", shortForm.Root);
    EXPECT_EQ(kShortNames, shortForm.Names());
    vxtest::ReadQuery longForm = vxtest::ReadLookupQuery(Build(s, 1));
    EXPECT_EQ(VX_VENDOR_ROOT "cgi-bin/plusinfo12.pl", longForm.Root);
    EXPECT_EQ(kLongNames, longForm.Names());
    // No quote or blank ever leaves the one argument (the program, the path
    // and the vendor hold some).
    s.Program = "x\" && calc.exe \"";
    for (int longForm = 0; longForm <= 1; longForm++)
        EXPECT_EQ(std::string::npos, Build(s, longForm).find_first_of("\" \t\r\n"));
    s = Sample();
    const std::pair<const char*, const std::string*> expected[] = {
        { "program", &s.Program }, { "vendor", &s.Company },      { "build", &s.Build },
        { "Loc", &s.Language },    { "ext", &s.Extension },       { "version", &s.Version },
        { "name", &s.Product },    { "copy", &s.Copyright },      { "detail", &s.Description },
        { "created", &s.Created }, { "detected", &s.Detected },   { "fsize", &s.Size },
        { "path", &s.Path },
    };
    for (const auto& e : expected)
        EXPECT_EQ(*e.second, longForm.Value(e.first)) << e.first;
    EXPECT_EQ("11", longForm.Value("Type"));
    EXPECT_EQ(s.Company, shortForm.Value("vendor"));
}

TEST(LookupQuery, BlanksAndAmpersandsAsTheServiceExpectsEverythingElseEscaped)
{
    Sample s;
    const struct { const char* value; const char* sent; } cases[] = {
        { "a b", "a%20b" },       { "a&b", "a+b" },         { "a+b", "a%2Bb" },
        { "#%=?", "%23%25%3D%3F" }, { "\"x'", "%22x%27" }, { "<>", "%3C%3E" },
        { "\x01\t\r\n", "%01%09%0D%0A" }, { "\xE9\xFF", "%E9%FF" }, { "Az09-_.~", "Az09-_.~" },
    };
    for (const auto& c : cases) {
        s.Company = c.value;
        std::string address = Build(s, 0);
        EXPECT_NE(std::string::npos, address.find(std::string("&vendor=") + c.sent + "&version="))
            << address;
        s.Company = std::string(c.value) + "\xE0 l\xE0";  // CP-1252 letters read back
        EXPECT_EQ(s.Company, vxtest::ReadLookupQuery(Build(s, 1)).Value("vendor"));
    }
}

TEST(LookupQuery, LongValuesAreCutNeverTheNames)
{
    Sample s;
    s.Company = std::string(1000, 'c');
    s.Description = std::string(1000, '#');  // three characters each
    s.Path = "C:\\" + std::string(252, 'p') + ".exe";  // 259 characters
    std::string address = Build(s, 1);
    vxtest::ReadQuery read = vxtest::ReadLookupQuery(address);
    EXPECT_LE(address.size(), (size_t)LOOKUP_ADDRESS - 1);
    EXPECT_GE(address.size(), (size_t)LOOKUP_ADDRESS - 5);  // the room is used
    EXPECT_TRUE(read.Valid);  // no escape cut in half
    EXPECT_EQ(kLongNames, read.Names());
    EXPECT_EQ(s.Path, read.Value("path"));  // the short values stay whole
    EXPECT_EQ(s.Program, read.Value("program"));
    EXPECT_EQ(0u, s.Company.find(read.Value("vendor")));
    EXPECT_LT(read.Value("vendor").size(), s.Company.size());
    EXPECT_EQ(0u, s.Description.find(read.Value("detail")));
}

TEST(LookupQuery, BufferOneShortExactAndOneOver)
{
    Sample s;
    std::string whole = Build(s, 1);
    EXPECT_EQ(whole, Build(s, 1, whole.size() + 2));
    EXPECT_EQ(whole, Build(s, 1, whole.size() + 1));
    std::string cut = Build(s, 1, whole.size());
    EXPECT_LT(cut.size(), whole.size());
    EXPECT_EQ(kLongNames, vxtest::ReadLookupQuery(cut).Names());
    // Room for the names alone: every value empty; less: nothing at all.
    Sample empty;
    empty.Program = empty.Extension = empty.Company = empty.Version = empty.Product = "";
    empty.Copyright = empty.Description = empty.Created = empty.Detected = "";
    empty.Size = empty.Path = empty.Language = empty.Build = "";
    std::string names = Build(empty, 1);
    EXPECT_EQ(names, Build(s, 1, names.size() + 1));
    EXPECT_EQ("", Build(s, 1, names.size()));
}

TEST(LookupQuery, EmptyAndMissingTexts)
{
    LookupFields none = {};
    char out[LOOKUP_ADDRESS];
    ASSERT_GT(BuildLookupQuery(&none, 0, out, sizeof(out)), 0u);
    vxtest::ReadQuery read = vxtest::ReadLookupQuery(out);
    EXPECT_EQ(kShortNames, read.Names());
    EXPECT_EQ("", read.Value("ext"));  // a file without a dot
    EXPECT_EQ("&ext=", std::string(out).substr(strlen(out) - 5));
    EXPECT_EQ(0u, BuildLookupQuery(&none, 0, out, 0));
}

TEST(WebAddress, OnlyHttpAndHttpsAddresses)
{
    const char* good[] = { "http://a", "HTTPS://www.quillon.com/v.pl?x=1", "hTTp://a/b#c" };
    for (const char* text : good)
        EXPECT_TRUE(IsWebAddress(text)) << text;
    const char* bad[] = { NULL, "", "http://", "https://", "file:///C:/x.exe",
                          "javascript:alert(1)", "ftp://a", "C:\\x.exe", "http:/a",
                          "http://a b", "http://a\"b", "http://a\tb", "http://\xE9",
                          " http://a", "httpx://a" };
    for (const char* text : bad)
        EXPECT_FALSE(IsWebAddress(text)) << (text != NULL ? text : "(null)");
}

TEST(VersionCheckAddress, RegistryThenTextThenBuiltIn)
{
    char out[LOOKUP_ADDRESS];
    EXPECT_GT(BuildVersionCheckAddress("https://v.example/c?", "http://t/", "1 2", "de", out,
                                       sizeof(out)), 0u);
    EXPECT_STREQ("https://v.example/c?&build=1%202&Loc=de", out);
    const char* refused[] = { "file:///C:/x.exe", "javascript:alert(1)", "", NULL };
    for (const char* configured : refused) {
        BuildVersionCheckAddress(configured, "http://t/?", "b", "us", out, sizeof(out));
        EXPECT_STREQ("http://t/?&build=b&Loc=us", out) << (configured ? configured : "(null)");
    }
    BuildVersionCheckAddress("javascript:x", "file:x", "b", "\"", out, sizeof(out));
    EXPECT_STREQ(VX_VENDOR_ROOT "cgi-bin/version.pl?&build=b&Loc=%22", out);
    // A configured address with no room left for the names gives way.
    std::string huge = "http://" + std::string(LOOKUP_ADDRESS, 'h');
    BuildVersionCheckAddress(huge.c_str(), NULL, "b", "us", out, sizeof(out));
    EXPECT_STREQ(VX_VENDOR_ROOT "cgi-bin/version.pl?&build=b&Loc=us", out);
    EXPECT_EQ(0u, BuildVersionCheckAddress(NULL, NULL, "b", "us", out, 8));
    EXPECT_STREQ("", out);
}

}  // namespace
