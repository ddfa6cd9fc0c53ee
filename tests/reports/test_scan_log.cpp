// The scan log against Wine's real registry and files: each source is
// planted as a program or a user would leave it, then the log is written
// and its lines are read back.
#include <algorithm>
#include <string>
#include <vector>

#include "categories/sysfiles.h"
#include "foundation/registry_store.h"
#include "reports/report_file.h"
#include "reports/scan_log.h"
#include "reports/scan_log_parts.h"
#include "support/report_reader.h"
#include "support/vxtest.h"

namespace {

const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* kMain = "Software\\Microsoft\\Internet Explorer\\Main";
const char* kDomains =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains";

std::vector<std::string> WriteLog()
{
    std::string path = vxtest::PathInProgramFolder("scan.log");
    ReportFile f;
    EXPECT_TRUE(f.Open(path.c_str()));
    PutScanLog(f);
    EXPECT_TRUE(f.Close());
    return vxtest::ReadLines(vxtest::ReadFileText(path));
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int CountStarting(const std::vector<std::string>& lines, const std::string& start)
{
    int n = 0;
    for (const std::string& l : lines)
        n += l.compare(0, start.size(), start) == 0;
    return n;
}

TEST(ScanLog, AnEmptyMachineStillGivesTheWholeLog)
{
    std::vector<std::string> lines = WriteLog();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(0u, lines[2].find("Platform: Windows"));
    EXPECT_EQ("End of file", lines.back());
    // Kilobytes grouped by thousands: "Physical Memory Free: 1,234,567 KB".
    auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("Physical Memory Free: ", 0) == 0;
    });
    ASSERT_TRUE(at != lines.end());
    EXPECT_NE(std::string::npos, at->find(','));
    EXPECT_EQ(at->size() - 3, at->rfind(" KB"));
}

// One planted source of each family, the log written once: each has its
// line, and the families come in their order with the blank lines the
// reader expects between them.  A line end in a Run name forges no line;
// a start page of 16384 characters is written whole.
TEST(ScanLog, PlantedSourcesHaveTheirLinesInTheirOrder)
{
    const char* evil = "Evil\r\nO2 - BHO: fake";
    vxtest::SetString(HKEY_CURRENT_USER, kRun, evil, "C:\\evil.exe");
    std::string page = "http://" + std::string(16384 - 7, 'a');
    vxtest::SetString(HKEY_CURRENT_USER, kMain, "Start Page", page.c_str());
    WriteProfileStringA("windows", "run", "C:\\winini.exe");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay",
                      "C:\\Tools\\late.exe", "11");
    // Trusted sites are those of zone 2.
    std::string trusted = std::string(kDomains) + "\\trusted.example";
    std::string hosted = std::string(kDomains) + "\\hosted.example\\www";
    std::string restricted = std::string(kDomains) + "\\restricted.example";
    vxtest::SetDword(HKEY_CURRENT_USER, trusted.c_str(), "*", 2);
    vxtest::SetDword(HKEY_CURRENT_USER, hosted.c_str(), "https", 2);
    vxtest::SetDword(HKEY_CURRENT_USER, restricted.c_str(), "*", 4);
    vxtest::SetDword(HKEY_CURRENT_USER,
                     "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                     "DisableTaskMgr", 0x101);
    const char* prefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix";
    vxtest::SetString(HKEY_LOCAL_MACHINE, prefix, "", "http://");
    const char* components = "Software\\Microsoft\\Internet Explorer\\Desktop\\Components";
    vxtest::SetString(HKEY_CURRENT_USER, (std::string(components) + "\\1").c_str(),
                      "FriendlyName", "Second");
    // iereset.inf is read from the Windows folder.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof(windows));
    std::string inf = std::string(windows) + "\\inf";
    CreateDirectoryA(inf.c_str(), NULL);
    vxtest::WriteFileBytes(inf + "\\iereset.inf",
                           "[Strings]\r\nSTART_PAGE_URL=\"http://start.example\"\r\n"
                           "HKCU,\"Software\\Microsoft\\Internet Explorer\\Main\",\"Start Page\""
                           ",0,\"http://reset.example\"\r\n");
    // Helper objects, buttons and shell objects; a well-known one is left out.
    const char* clsid = "{5CA1AB1E-0000-4000-8000-000000000001}";
    const char* known = "{E6FB5E20-DE35-11CF-9C87-00AA005127ED}";
    for (const char* c : { clsid, known }) {
        std::string key = std::string("CLSID\\") + c;
        vxtest::SetString(HKEY_CLASSES_ROOT, key.c_str(), "", "Planted Class");
        vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "",
                          "C:\\planted.dll");
    }
    RegCreateKeyPath(HKEY_LOCAL_MACHINE,
                     (std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                  "Browser Helper Objects\\") + clsid).c_str());
    std::string button = std::string("SOFTWARE\\Microsoft\\Internet Explorer\\Extensions\\")
                         + clsid;
    vxtest::SetString(HKEY_CURRENT_USER, button.c_str(), "ButtonText", "Planted Button");
    vxtest::SetString(HKEY_CURRENT_USER, button.c_str(), "MenuText", "Planted Item");
    vxtest::SetString(HKEY_CURRENT_USER, button.c_str(), "Exec", "C:\\button.exe");
    const char* delayLoad =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
    vxtest::SetString(HKEY_LOCAL_MACHINE, delayLoad, "Planted", clsid);
    vxtest::SetString(HKEY_LOCAL_MACHINE, delayLoad, "Known", known);
    std::vector<std::string> lines = WriteLog();
    RegDeleteValueNamed(HKEY_CURRENT_USER, kRun, evil);
    WriteProfileStringA("windows", "run", NULL);
    EXPECT_TRUE(HasLine(lines, "O4 - HKCU\\..\\Run: [Evil  O2 - BHO: fake]C:\\evil.exe"));
    EXPECT_EQ(0, CountStarting(lines, "O2 - BHO: fake"));
    EXPECT_TRUE(HasLine(lines, "R0 - HKCU\\Software\\Microsoft\\Internet Explorer\\Main,"
                               "Start Page = " + page));
    EXPECT_TRUE(HasLine(lines, "O15 - Trusted Zone: trusted.example"));
    EXPECT_TRUE(HasLine(lines, "O15 - Trusted Zone: hosted.example"));
    EXPECT_FALSE(HasLine(lines, "O15 - Trusted Zone: restricted.example"));
    EXPECT_TRUE(HasLine(lines, "O7 - HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                               "Policies\\System, DisableTaskMgr =1"));
    EXPECT_EQ(0, CountStarting(lines, "O13 - DefaultPrefix:"));
    EXPECT_TRUE(HasLine(lines, std::string("WP08 - HKLM\\") + prefix + ": Default = http://"));
    EXPECT_EQ(0, CountStarting(lines, "O24 -"));
    EXPECT_TRUE(HasLine(lines, "O14 - IERESET.INF: START_PAGE_URL = http://start.example"));
    EXPECT_TRUE(HasLine(lines, "O14 - IERESET.INF:HKCU, Start Page = \"http://reset.example\""));
    EXPECT_TRUE(HasLine(lines, std::string("O2 - BHO: Planted Class - ") + clsid
                               + " - C:\\planted.dll"));
    EXPECT_TRUE(HasLine(lines, std::string("O9 - Extra button: Planted Button - ") + clsid
                               + " - C:\\button.exe (HKCU)"));
    EXPECT_TRUE(HasLine(lines, std::string("O9 - Extra 'Tools' menuitem: Planted Item - ")
                               + clsid + " - C:\\button.exe (HKCU)"));
    EXPECT_TRUE(HasLine(lines, std::string("O21 - Planted - Planted Class - ") + clsid
                               + " - C:\\planted.dll"));
    EXPECT_EQ(0, CountStarting(lines, "O21 - Known"));
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(0u, lines[4].find("Boot mode: "));
    EXPECT_EQ("", lines[5]);
    EXPECT_EQ("Running processes:", lines[6]);
    EXPECT_NE("", lines[7]);  // this test program at least
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    EXPECT_EQ(std::vector<std::string>({ "", "", "--", "End of file" }), tail);
    const char* const order[] = {
        "R0 - HKCU\\", "F1 - win.ini: run=C:\\winini.exe", "O4 - HKCU\\..\\Run: [Evil",
        "O23 - Service: ", "---  Additional Vardex Info  ---", "WP02 - HKLM\\CCS: Command = ",
        "WP06 - Delayed Start: [", "Memory currently in use: ",
    };
    size_t at = 8;
    for (const char* start : order) {
        while (at < lines.size() && lines[at].rfind(start, 0) != 0)
            at++;
        EXPECT_LT(at, lines.size()) << start;
    }
}

class ScanLogHosts : public ::testing::Test {
protected:
    void SetUp() override
    {
        char path[MAX_PATH];
        ASSERT_GT(GetHostsPath(path), 0);
        hosts_ = path;
        saved_ = vxtest::ReadFileText(hosts_);
    }
    void TearDown() override { vxtest::WriteFileBytes(hosts_, saved_); }
    std::string hosts_, saved_;
};

// Lines end in CR LF, LF or the file's end; a NUL byte does not end one.
// The end of a large file is not read.
TEST_F(ScanLogHosts, RedirectionsAreListedFromTheFilesStart)
{
    std::string nul("10.2.2.2 a\0b.example\n", 21), filler;
    while (filler.size() < 652780)
        filler += "# " + std::string(97, '-') + "\n";
    vxtest::WriteFileBytes(hosts_, "# hosts\r\n127.0.0.1 localhost\r\n"
                                   "10.0.0.5 bank.example\r\n10.1.1.1 mail.example\n"
                                   + nul + filler + "10.9.9.9 beyond\n");
    std::vector<std::string> lines = WriteLog();
    EXPECT_EQ(3, CountStarting(lines, "O1 - Hosts:"));
    EXPECT_TRUE(HasLine(lines, "O1 - Hosts: 10.0.0.5 bank.example"));
    EXPECT_TRUE(HasLine(lines, "O1 - Hosts: 10.1.1.1 mail.example"));
    EXPECT_TRUE(HasLine(lines, "O1 - Hosts: 10.2.2.2 ab.example"));
    vxtest::WriteFileBytes(hosts_, "10.3.3.3 last.example");
    EXPECT_TRUE(HasLine(WriteLog(), "O1 - Hosts: 10.3.3.3 last.example"));
}

// Not created, or created and then not written (a full disk): no success,
// and nothing opened.
TEST(ScanLog, AFileThatCannotBeWrittenIsAFailure)
{
    EXPECT_EQ(0, WriteScanLog("C:\\no such folder\\HijackVardex.log"));
    EXPECT_EQ(0, WriteScanLog("Z:\\dev\\full"));
}

}  // namespace
