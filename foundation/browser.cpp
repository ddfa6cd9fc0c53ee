// The user's browsers: where Internet Explorer and the default browser
// live, which kind the default is, and the AOL client's window.
#include "foundation/browser.h"

#include <string.h>

#include "foundation/language.h"
#include "foundation/path_text.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"

#define IE_APP_PATHS_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"

// The "Path" of the IE App Paths key with a trailing ";" dropped, then file.
static int IePathWith(const char* file, char* out, size_t outSize)
{
    out[0] = '\0';
    char folder[VX_PATH];
    LoadText(TXT_IE_APP_PATHS_KEY, folder, sizeof(folder));
    if (folder[0] == '\0')
        TextCopy(folder, IE_APP_PATHS_KEY);
    char path[VX_PATH];
    if (RegReadString(HKEY_LOCAL_MACHINE, folder, "Path", path, sizeof(path)) <= 0)
        return 0;
    size_t n = strlen(path);
    if (n > 0 && path[n - 1] == ';')
        path[n - 1] = '\0';
    TextCopy(out, outSize, path);
    return (int)TextAppend(out, outSize, file);
}

int InternetExplorerPath(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    return IePathWith("\\iexplore.exe", out, outSize);
}

int DefaultBrowserPath(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    out[0] = '\0';
    char key[VX_PATH];
    LoadText(TXT_HTTP_OPEN_KEY, key, sizeof(key));
    if (key[0] == '\0')
        TextCopy(key, "SOFTWARE\\Classes\\HTTP\\shell\\open\\command");
    char command[VX_REG_TEXT_MAX];
    if (RegReadString(HKEY_LOCAL_MACHINE, key, "", command, sizeof(command)) > 0) {
        char program[VX_REG_TEXT_MAX];
        StripQuotes(command, program, sizeof(program));
        char* dash = strchr(program, '-');
        if (dash != NULL)
            *dash = '\0';
        size_t n = strlen(program);
        while (n > 0 && program[n - 1] == ' ')
            program[--n] = '\0';
        TextCopy(out, outSize, program);
    }
    if (out[0] != '\0')
        return (int)strlen(out);
    return IePathWith("\\IExplore.exe", out, outSize);
}

int DefaultBrowserKind()
{
    char path[VX_PATH];
    DefaultBrowserPath(path);
    // The order matters: a Firefox installed in its usual "Mozilla Firefox"
    // folder is taken as the Mozilla family, which the cookie code treats
    // alike.
    static const struct { const char* part; int kind; } kinds[] = {
        { "iexplore", 1 }, { "netscp", 2 }, { "maxthon", 4 },
        { "avant", 5 },    { "mozilla", 6 }, { "firefox", 3 },
    };
    for (size_t i = 0; i < sizeof(kinds) / sizeof(kinds[0]); i++)
        if (ContainsNoCase(path, kinds[i].part))
            return kinds[i].kind;
    return 1;
}

HWND FindAolWindow()
{
    static const struct { const char* className; const char* title; } windows[] = {
        { "AOL Frame25", "America  Online" },
        { "AOL Frame25", "America Online" },
        { "AOL Frame25", "AOL" },
        { "AOL Frame25", "AOL Canada" },
        { "AOL Frame", "America  Online" },
    };
    for (size_t i = 0; i < sizeof(windows) / sizeof(windows[0]); i++) {
        HWND window = FindWindowA(windows[i].className, windows[i].title);
        if (window != NULL)
            return window;
    }
    return NULL;
}
