// The names of Windows versions from the facts of the version records.
#include <gtest/gtest.h>

#include <string>

#include "reports/os_name_text.h"

namespace {

std::string Name(const OsFacts& f)
{
    char out[256];
    OsNameText(&f, out, sizeof(out));
    return out;
}

// Without the extended record (0 after the service pack) the registry names
// the edition; NT 4 with the hot fix (the last field) is Service Pack 6a.
TEST(OsName, EachReleaseEditionAndServicePack)
{
    const int nt = OS_WINDOWS_NT, ws = OS_WORKSTATION, sv = OS_SERVER;
    const unsigned enterprise = OS_SUITE_BLADE | OS_SUITE_ENTERPRISE;
    const struct { OsFacts facts; const char* name; } cases[] = {
        {{nt, 6, 0, 6000, "", 1, 0, ws}, "Windows Vista  (Build 6000)"},
        {{nt, 6, 1, 7601, "Service Pack 1", 1, 1, ws},
            "Windows 7 SP1 Service Pack 1 (Build 7601)"},
        {{nt, 10, 0, 19045, "", 1, 0, ws}, "Windows 10  (Build 19045)"},
        {{nt, 10, 0, 22631, "", 1, 0, ws}, "Windows 11  (Build 22631)"},
        {{nt, 6, 4, 9841, "", 1, 0, ws}, "Windows NT 6.4  (Build 9841)"},
        {{nt, 6, 1, 7601, "", 1, 0, sv}, "Windows Server 2008 R2  (Build 7601)"},
        {{nt, 5, 1, 2600, "", 1, 0, ws, OS_SUITE_PERSONAL},
            "Windows XP Home Edition  (Build 2600)"},
        {{nt, 5, 2, 3790, "", 1, 0, sv, enterprise},
            "Windows Server 2003 family, Enterprise Edition  (Build 3790)"},
        {{nt, 4, 0, 1381, "Service Pack 6", 1, 0, ws, 0, 0, NULL, 1},
            "Windows NT Workstation 4.0 Service Pack 6a (Build 1381)"},
        {{nt, 5, 0, 2195, "", 0, 0, ws, 0, 0, "LanmanNT"},
            "Windows 2000 Server 5.0  (Build 2195)"},
        {{OS_WINDOWS_9X, 4, 10, 0, " A "}, "Microsoft Windows 98 SE "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.name, Name(c.facts));
}

TEST(OsName, AShortBufferHoldsACutName)
{
    char out[8];
    OsFacts f = { OS_WINDOWS_NT, 6, 1, 7601, "", 1, 0, OS_WORKSTATION };
    EXPECT_EQ(7, OsNameText(&f, out, sizeof(out)));
    EXPECT_STREQ("Windows", out);
}

}  // namespace
