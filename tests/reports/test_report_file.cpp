// The buffered report file: every byte in order, an older file replaced,
// and no success told for a file that was never there.
#include <gtest/gtest.h>

#include <string>

#include "reports/report_file.h"
#include "support/vxtest.h"

namespace {

TEST(ReportFile, WritesEveryByteAndReplacesAnOlderFile)
{
    std::string path = vxtest::PathInProgramFolder("report_file.txt");
    vxtest::WriteFileBytes(path, std::string(100000, 'o'));
    std::string big(100000, 'b');
    std::string wide(5000, 'w');
    ReportFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    file.WriteLine("first");
    for (int i = 0; i < 2000; i++)
        file.Put("0123456789abcdef", 16);
    file.Put(big.c_str());
    file.Format("%d-%s|", 42, wide.c_str());
    file.EndLine();
    EXPECT_TRUE(file.Close());
    std::string expected = "first\r\n";
    for (int i = 0; i < 2000; i++)
        expected += "0123456789abcdef";
    expected += big + "42-" + wide + "|\r\n";
    EXPECT_TRUE(vxtest::ReadFileText(path) == expected);
}

TEST(ReportFile, NoSuccessWithoutAFile)
{
    std::string path = vxtest::PathInProgramFolder("no such folder\\report.txt");
    ReportFile file;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(file.Open(path.c_str()));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
    file.WriteLine("lost");
    EXPECT_FALSE(file.Close());
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, file.Error());
    ReportFile never;
    EXPECT_FALSE(never.Close());
    ReportFile empty;
    EXPECT_FALSE(empty.Open(""));
}

TEST(ReportFile, KeepsTheErrorOfAFailedWrite)
{
    ReportFile file;
    ASSERT_TRUE(file.Open("Z:\\dev\\full"));
    file.Put(std::string(40000, 'x').c_str());
    file.WriteLine("lost");
    EXPECT_FALSE(file.Close());
    EXPECT_EQ((DWORD)ERROR_DISK_FULL, file.Error());
}

TEST(ReportFile, ClosedByItsScope)
{
    std::string path = vxtest::PathInProgramFolder("scoped.txt");
    {
        ReportFile file;
        ASSERT_TRUE(file.Open(path.c_str()));
        file.WriteLine("kept");
    }
    EXPECT_EQ("kept\r\n", vxtest::ReadFileText(path));
}

}  // namespace
