// The names of Windows versions from the facts of the version records.
#include <gtest/gtest.h>

#include <string>

#include "reports/os_name_text.h"

namespace {

OsFacts Nt(int major, int minor, int build, const char* sp = "")
{
    OsFacts f = {};
    f.platform = OS_WINDOWS_NT;
    f.major = major;
    f.minor = minor;
    f.build = build;
    f.servicePack = sp;
    f.extended = 1;
    f.productType = OS_WORKSTATION;
    return f;
}

std::string Name(const OsFacts& f)
{
    char out[256];
    OsNameText(&f, out, sizeof(out));
    return out;
}

TEST(OsName, NamesEveryReleaseFromVistaOn)
{
    EXPECT_EQ("Windows Vista  (Build 6000)", Name(Nt(6, 0, 6000)));
    OsFacts seven = Nt(6, 1, 7601, "Service Pack 1");
    seven.servicePackMajor = 1;
    EXPECT_EQ("Windows 7 SP1 Service Pack 1 (Build 7601)", Name(seven));
    EXPECT_EQ("Windows 10  (Build 19045)", Name(Nt(10, 0, 19045)));
    EXPECT_EQ("Windows 11  (Build 22631)", Name(Nt(10, 0, 22631)));
}

TEST(OsName, UnknownVersionsAndServers)
{
    EXPECT_EQ("Windows NT 6.4  (Build 9841)", Name(Nt(6, 4, 9841)));
    OsFacts f = Nt(6, 1, 7601);
    f.productType = OS_SERVER;
    EXPECT_EQ("Windows Server 2008 R2  (Build 7601)", Name(f));
}

TEST(OsName, EditionsOfXpAnd2003)
{
    OsFacts home = Nt(5, 1, 2600);
    home.suite = OS_SUITE_PERSONAL;
    EXPECT_EQ("Windows XP Home Edition  (Build 2600)", Name(home));
    OsFacts web = Nt(5, 2, 3790);
    web.productType = OS_SERVER;
    web.suite = OS_SUITE_BLADE;
    web.suite = OS_SUITE_BLADE | OS_SUITE_ENTERPRISE;
    EXPECT_EQ("Windows Server 2003 family, Enterprise Edition  (Build 3790)", Name(web));
}

TEST(OsName, NtFourWithTheHotFixIsServicePack6a)
{
    OsFacts f = Nt(4, 0, 1381, "Service Pack 6");
    f.hotfixQ246009 = 1;
    EXPECT_EQ("Windows NT Workstation 4.0 Service Pack 6a (Build 1381)", Name(f));
}

TEST(OsName, WithoutTheExtendedRecordTheRegistryNamesTheEdition)
{
    OsFacts f = Nt(5, 0, 2195);
    f.extended = 0;
    f.registryProductType = "LanmanNT";
    EXPECT_EQ("Windows 2000 Server 5.0  (Build 2195)", Name(f));
}

TEST(OsName, NinetyEightSecondEdition)
{
    OsFacts f = {};
    f.platform = OS_WINDOWS_9X;
    f.major = 4;
    f.minor = 10;
    f.servicePack = " A ";
    EXPECT_EQ("Microsoft Windows 98 SE ", Name(f));
}

TEST(OsName, AShortBufferHoldsACutName)
{
    char out[8];
    OsFacts f = Nt(6, 1, 7601);
    EXPECT_EQ(7, OsNameText(&f, out, sizeof(out)));
    EXPECT_STREQ("Windows", out);
}

}  // namespace
