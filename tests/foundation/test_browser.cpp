// The user's browsers as Wine's real registry names them.
#include <string.h>

#include "foundation/browser.h"
#include "foundation/path_text.h"
#include "scratch_fixture.h"

namespace {

#define IE_APP_PATHS "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"
#define HTTP_COMMAND "SOFTWARE\\Classes\\HTTP\\shell\\open\\command"

// "<IE path>|<default browser path>|<kind>"; the browser's buffer starts
// full of "Z".
std::string Browsers()
{
    char ie[VX_PATH], browser[VX_PATH + 1];
    memset(browser, 'Z', sizeof(browser));
    int ieLength = InternetExplorerPath(ie), browserLength = DefaultBrowserPath(browser);
    EXPECT_EQ('Z', browser[VX_PATH]) << "wrote past the path buffer";
    return std::string(ie, ieLength) + "|" + std::string(browser, browserLength) + "|" +
           std::to_string(DefaultBrowserKind());
}

TEST(Browser, TheProgramOfTheHttpCommandElseInternetExplorer)
{
    scratch::SavedString iePath{ HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path" };
    scratch::SavedString http{ HKEY_LOCAL_MACHINE, HTTP_COMMAND, "" };
    const std::string ie = "C:\\IE\\iexplore.exe|", pf = "C:\\Program Files\\IE", w(600, 'w');
    // IE's App Paths "Path" and the HTTP command ("" reads as missing).
    // Quotes go, the command is cut before its first "-" and to a path; the
    // kinds are tried in order (iexplore, netscp, maxthon, avant, mozilla,
    // firefox).
    const struct { const char* iePath; std::string command; std::string expected;
    } cases[] = {
        {"C:\\IE", "\"C:\\Mozilla Firefox\\firefox.exe\" -requestPending -url \"%1\"",
            ie + "C:\\Mozilla Firefox\\firefox.exe|6"},
        {"C:\\IE", "\"C:\\Maxthon\\Maxthon.exe\" \"%1\"", ie + "C:\\Maxthon\\Maxthon.exe %1|4"},
        {"C:\\IE", "C:\\Avant Browser\\iexplore.exe", ie + "C:\\Avant Browser\\iexplore.exe|1"},
        {"C:\\IE", "\"C:\\" + w + "\\b.exe\" -url", ie + "C:\\" + w.substr(0, 256) + "|1"},
        // Nothing before the first "-", or no command: IE, its ";" dropped;
        // neither: nothing, and Internet Explorer as the kind.
        {"C:\\Program Files\\IE;", "-nohome", pf + "\\iexplore.exe|" + pf + "\\IExplore.exe|1"},
        {"C:\\Program Files\\IE;", "", pf + "\\iexplore.exe|" + pf + "\\IExplore.exe|1"},
        {"", "", "||1"},
    };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path", c.iePath);
        vxtest::SetString(HKEY_LOCAL_MACHINE, HTTP_COMMAND, "", c.command.c_str());
        EXPECT_EQ(c.expected, Browsers()) << c.command;
    }
}

}  // namespace
