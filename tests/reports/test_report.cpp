// The HTML and text reports against planted sources: Run values named to
// break a page or a line, a browser helper, a scheduled task and a hidden
// file, each found in its own section and escaped for its file; and the
// folders a report falls back to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "categories/tasks.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "reports/report.h"
#include "support/report_reader.h"
#include "support/scheduled_tasks.h"
#include "support/vxtest.h"

namespace {

const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* kBho = "{A1A1A1A1-0000-4000-8000-00000000000A}";
const char* kBhoKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";

std::string PlantHidden()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "vxreport";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string path = folder + "\\secret.bin";
    vxtest::WriteFileBytes(path, "x");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return path;
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

// The text between the anchors of section s and s + 1.
std::string Section(const std::string& html, int s)
{
    std::string start = "<A NAME=\"A" + std::to_string(s) + "\">";
    std::string end = "<A NAME=\"A" + std::to_string(s + 1) + "\">";
    size_t from = html.find(start), to = html.find(end);
    if (from == std::string::npos)
        return "<no section>";
    return html.substr(from, to == std::string::npos ? to : to - from);
}

struct ServiceCloser {
    void operator()(SC_HANDLE h) const { CloseServiceHandle(h); }
};
typedef ScopedHandle<SC_HANDLE, ServiceCloser> ScopedService;

struct Report : ::testing::Test {
    static std::string hidden;
    static void SetUpTestSuite()
    {
        vxtest::ResetStore();
        LoadOptions();
        vxtest::SetString(HKEY_CURRENT_USER, kRun, "<script>alert(1)</script>",
                          "C:\\vx\\a&b.exe /x");
        vxtest::SetString(HKEY_CURRENT_USER, kRun, "Tab\tand\r\nline", "C:\\vx\\tab.exe");
        std::string clsid = std::string("CLSID\\") + kBho;
        vxtest::SetString(HKEY_CLASSES_ROOT, clsid.c_str(), "", "Report helper");
        vxtest::SetString(HKEY_CLASSES_ROOT, (clsid + "\\InprocServer32").c_str(), "",
                          "C:\\windows\\system32\\mlang.dll");
        RegCreateKeyPath(HKEY_LOCAL_MACHINE, (std::string(kBhoKey) + "\\" + kBho).c_str());
        ASSERT_EQ(0, EnsureSchedulerRunning());
        ASSERT_TRUE(vxtest::CreateTask(L"VxReportTask", L"C:\\vx\\task.exe"));
        hidden = PlantHidden();
        // A service whose program is gone.
        ScopedService manager(OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS));
        ScopedService service(CreateServiceA(manager.Get(), "VxReportGone", "Vx Report Gone",
            SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
            SERVICE_ERROR_IGNORE, "C:\\vx\\gone.exe", NULL, NULL, NULL, NULL, NULL));
        ASSERT_TRUE(service.IsValid());
    }
    std::string Write(int format)
    {
        std::string path = vxtest::PathInProgramFolder(ReportFileName(format));
        vxtest::ComOn com;
        EXPECT_EQ(1, WriteReportTo(path.c_str(), format));
        return vxtest::ReadFileText(path);
    }
};
std::string Report::hidden;

TEST_F(Report, HtmlSectionsHoldTheirPlantedItems)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY "\\Delay", "C:\\vx\\late.exe", "11");
    std::string html = Write(REPORT_HTML);
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_KEY "\\Delay", "C:\\vx\\late.exe");
    for (int s = 0; s < 9; s++)
        EXPECT_EQ(1u, Count(html, "<A href='#A" + std::to_string(s) + "'>")) << s;
    EXPECT_NE(std::string::npos, Section(html, 0).find("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_NE(std::string::npos, Section(html, 1).find("C:\\vx\\late.exe"));
    EXPECT_NE(std::string::npos, Section(html, 3).find("VxReportTask"));
    EXPECT_NE(std::string::npos, Section(html, 4).find("mlang.dll"));
    EXPECT_NE(std::string::npos,
              Section(html, 4).find(std::string("&quot;HKLM\\") + kBhoKey + "&quot;"));
    EXPECT_NE(std::string::npos, Section(html, 7).find(hidden));
    EXPECT_NE(std::string::npos, Section(html, 8).find(" ActiveX "));
    EXPECT_NE(std::string::npos, html.find("?program=a+b.exe%20%2Fx&amp;vendor=&amp;"));
    EXPECT_EQ(Count(html, "<li>"), Count(html, "</li>"));
    EXPECT_EQ("</body></html>\r\n", html.substr(html.size() - 16));
    // A service whose program is gone keeps its lines.
    std::string services = Section(html, 6);
    size_t at = services.find("<li><b>gone.exe</b>");
    ASSERT_NE(std::string::npos, at);
    std::string item = services.substr(at, services.find("</li>", at) - at);
    EXPECT_NE(std::string::npos, item.find("\tPath:     C:\\vx\\gone.exe<br>"));
    EXPECT_NE(std::string::npos, item.find("\tStartup Type: "));
    EXPECT_EQ(std::string::npos, item.find("File Size"));
}

size_t TestPlatform(char* out, size_t outSize)
{
    return TextCopy(out, outSize, "Test <OS>");
}

TEST_F(Report, HeaderTellsPlatformAndLongStartPage)
{
    std::string page = "http://start.example/?" + std::string(16000, 'p') + "<x>";
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main",
                      "Start Page", page.c_str());
    SetReportPlatformName(TestPlatform);
    std::string html = Write(REPORT_HTML);
    SetReportPlatformName(NULL);
    std::string escaped = page.substr(0, page.size() - 3) + "&lt;x&gt;";
    EXPECT_NE(std::string::npos, html.find("HKCU Start Page = " + escaped + "<br>\r\n"));
    EXPECT_NE(std::string::npos, html.find("<b>Platform:</b> Test &lt;OS&gt;<br>\r\n"));
    EXPECT_EQ(std::string::npos, Write(REPORT_HTML).find("Platform:"));
}

TEST_F(Report, TextHasOneLinePerItemOfSevenFields)
{
    std::string text = Write(REPORT_TEXT);
    std::vector<std::string> lines = vxtest::ReadLines(text);
    int titles = 0, planted = 0;
    for (const std::string& line : lines) {
        size_t tabs = Count(line, "\t");
        titles += tabs == 0;
        EXPECT_TRUE(tabs == 0 || tabs == 6) << line;
        planted += line.rfind("Tab and  line\ttab.exe\t", 0) == 0;
    }
    EXPECT_EQ(9, titles);
    EXPECT_EQ(1, planted);
    EXPECT_NE(std::string::npos, text.find("\r\n Delayed Start \r\n Active Tasks \r\n"));
}

TEST_F(Report, FallsBackToTheApplicationDataFolder)
{
    EXPECT_EQ(0, WriteReportTo("C:\\no such folder\\VardexLog.html", REPORT_HTML));
    // The program folder refuses the file: a folder holds its name.
    std::string blocked = vxtest::PathInProgramFolder("VardexLog.txt");
    DeleteFileA(blocked.c_str());
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), NULL));
    // Opening the text runs a harmless command instead of an editor.
    vxtest::SetString(HKEY_CLASSES_ROOT, ".txt", "", "VxReportText");
    vxtest::SetString(HKEY_CLASSES_ROOT, "VxReportText\\shell\\open\\command", "",
                      "C:\\windows\\system32\\cmd.exe /c exit");
    OptionWrite("Format", REPORT_TEXT);
    char path[VX_PATH];
    vxtest::ComOn com;
    ASSERT_EQ(1, WriteReport(path, sizeof(path)));
    char appData[VX_PATH];
    GetAppDataFolder(appData);
    EXPECT_EQ(std::string(appData) + "\\VardexLog.txt", path);
    EXPECT_EQ(0u, vxtest::ReadFileText(path).find("Title\tProgram\t"));
    // Neither folder takes it: no path, no success.
    ASSERT_TRUE(DeleteFileA(path));
    ASSERT_TRUE(CreateDirectoryA(path, NULL));
    EXPECT_EQ(0, WriteReport(path, sizeof(path)));
    EXPECT_STREQ("", path);
    RemoveDirectoryA(blocked.c_str());
}

}  // namespace
