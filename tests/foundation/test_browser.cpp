// The user's browsers as Wine's real registry names them, and the AOL
// client's window found among real windows.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "foundation/browser.h"
#include "foundation/path_text.h"
#include "scratch_fixture.h"

namespace {

using scratch::SavedString;

#define IE_APP_PATHS "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"
#define HTTP_COMMAND "SOFTWARE\\Classes\\HTTP\\shell\\open\\command"

class Browser : public ::testing::Test {
protected:
    SavedString iePath_{ HKEY_LOCAL_MACHINE, IE_APP_PATHS, "Path" };
    SavedString http_{ HKEY_LOCAL_MACHINE, HTTP_COMMAND, "" };

    void SetUp() override { vxtest::ResetStore(); }
    // Sets the value, or removes it when text is NULL.
    static void Put(const char* path, const char* name, const char* text)
    {
        if (text != NULL)
            vxtest::SetString(HKEY_LOCAL_MACHINE, path, name, text);
        else
            RegDeleteValueNamed(HKEY_LOCAL_MACHINE, path, name);
    }
};

TEST_F(Browser, TheProgramOfTheHttpCommandElseInternetExplorer)
{
    const char* const ff = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
    // IE's App Paths "Path" and the HTTP command (NULL: missing), what the
    // three functions give.
    const struct { const char* iePath; const char* command; const char* ie;
                   const char* browser; int kind; } cases[] = {
        { "C:\\IE", "\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -requestPending -url \"%1\"",
          "C:\\IE\\iexplore.exe", ff, 6 },
        { "C:\\IE", "C:\\Apps\\FireFox.exe -url \"%1\"", "C:\\IE\\iexplore.exe",
          "C:\\Apps\\FireFox.exe", 3 },
        { "C:\\IE", "C:\\Netscape\\netscp.exe", "C:\\IE\\iexplore.exe", "C:\\Netscape\\netscp.exe", 2 },
        { "C:\\IE", "\"C:\\Maxthon\\Maxthon.exe\" \"%1\"", "C:\\IE\\iexplore.exe",
          "C:\\Maxthon\\Maxthon.exe %1", 4 },
        { "C:\\IE", "C:\\Avant Browser\\iexplore.exe", "C:\\IE\\iexplore.exe",
          "C:\\Avant Browser\\iexplore.exe", 1 },
        { "C:\\IE", "C:\\Avant Browser\\avant.exe", "C:\\IE\\iexplore.exe",
          "C:\\Avant Browser\\avant.exe", 5 },
        { "C:\\IE", "C:\\Opera\\opera.exe -newwindow", "C:\\IE\\iexplore.exe",
          "C:\\Opera\\opera.exe", 1 },
        // Nothing before the first "-", or no command: IE, its ";" dropped.
        { "C:\\Program Files\\IE;", "-nohome", "C:\\Program Files\\IE\\iexplore.exe",
          "C:\\Program Files\\IE\\IExplore.exe", 1 },
        { "C:\\Program Files\\IE;", NULL, "C:\\Program Files\\IE\\iexplore.exe",
          "C:\\Program Files\\IE\\IExplore.exe", 1 },
        // Neither: nothing, and Internet Explorer as the kind.
        { NULL, NULL, "", "", 1 },
    };
    for (const auto& c : cases) {
        Put(IE_APP_PATHS, "Path", c.iePath);
        Put(HTTP_COMMAND, "", c.command);
        std::string what = std::string(c.iePath ? c.iePath : "-") + " / " +
                           (c.command ? c.command : "-");
        char out[VX_PATH];
        EXPECT_EQ((int)strlen(c.ie), InternetExplorerPath(out)) << what;
        EXPECT_STREQ(c.ie, out) << what;
        EXPECT_EQ((int)strlen(c.browser), DefaultBrowserPath(out)) << what;
        EXPECT_STREQ(c.browser, out) << what;
        EXPECT_EQ(c.kind, DefaultBrowserKind()) << what;
    }
}

TEST_F(Browser, AnOverLongCommandIsCutToAPath)
{
    std::string command = "\"C:\\" + std::string(600, 'w') + "\\browser.exe\" -url";
    Put(HTTP_COMMAND, "", command.c_str());
    char out[VX_PATH + 4];
    memset(out, 'Z', sizeof(out));
    DefaultBrowserPath(out);
    EXPECT_EQ((size_t)VX_PATH - 1, strlen(out));
    EXPECT_EQ('Z', out[VX_PATH]);
}

TEST(AolWindow, TheTitlesAreTriedInOrder)
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

}  // namespace
