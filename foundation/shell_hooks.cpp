#include "foundation/shell_hooks.h"

#include <shellapi.h>

#include "foundation/language.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"
#include "foundation/utils.h"
#include "resources/vardex_version.h"

struct HelpPage {
    int command;
    const char* page;
};

static const HelpPage s_helpPages[] = {
    { 6026, "startup.html" }, { 6028, "cookies.html" }, { 6029, "tasks.html" },
    { 6033, "options.html" }, { 6038, "services.html" }, { 6039, "scheduler.html" },
    { 6040, "bho.html" }, { 6042, "filetype.html" }, { 6051, "helpme.html" },
    { 6052, "hidden.html" }, { 6055, "delay.html" }, { 6056, "activex.html" },
};

void HelpPageName(int commandId, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    char code[8];
    LoadText(TXT_LANGUAGE_CODE, code, sizeof(code));
    out[0] = '\0';
    if (!TextEqualNoCase(code, "us")) {
        TextCopy(out, outSize, code);
        TextAppend(out, outSize, "_");
    }
    const char* page = "features.html";
    for (const HelpPage& entry : s_helpPages)
        if (entry.command == commandId)
            page = entry.page;
    TextAppend(out, outSize, page);
}

void OpenHelpPage(HWND owner, int commandId)
{
    char page[VX_PATH];
    HelpPageName(commandId, page);

    char local[VX_PATH];
    GetProgramFolder(local);
    TextAppend(local, "\\");
    TextAppend(local, page);
    if (FileExists(local)) {
        ShellExecuteA(owner, "open", local, NULL, NULL, SW_SHOWNORMAL);
        return;
    }

    char url[VX_PATH + 64];
    TEXT_FORMAT(url, "%s%s", VX_HELP_ROOT, page);
    OpenAddress(owner, url);
}

int OpenAddress(HWND owner, const char* address)
{
    // Quoted, so that the address stays one argument of the AOL client;
    // one holding a quote (a translated language code may) is refused.
    char quoted[2 * VX_PATH];
    if (!QuoteAddress(address, quoted, sizeof(quoted)))
        return 0;
    if (FindAolWindow() != NULL) {
        char command[4 * VX_PATH];
        char aolFolder[VX_PATH];
        GetProfileStringA("WAOL", "AppPath", "", aolFolder, sizeof(aolFolder));
        if (aolFolder[0] != '\0')
            TEXT_FORMAT(command, "%s\\WAOL.EXE -u%s", aolFolder, quoted);
        else
            TEXT_FORMAT(command, "waol.exe -u%s", quoted);
        WinExec(command, SW_SHOWNORMAL);
        return 1;
    }
    ShellExecuteA(owner, "open", address, NULL, NULL, SW_SHOWNORMAL);
    return 1;
}

void SetExplorerMenuVerb(int on)
{
    if (!on) {
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, VX_VERB_KEY);
        return;
    }
    char folder[VX_PATH];
    GetProgramFolder(folder);
    char command[VX_PATH + 32];
    TEXT_FORMAT(command, "\"%s\\vardex.exe\" %%1", folder);
    RegWriteString(HKEY_CLASSES_ROOT, VX_VERB_KEY "\\command", "", command);
    RegCreateKeyPath(HKEY_CLASSES_ROOT, VX_VERB_KEY);
    char menuText[128];
    LoadText(TXT_EXPLORER_MENU_VERB, menuText, sizeof(menuText));
    RegWriteString(HKEY_CLASSES_ROOT, VX_VERB_KEY, "", menuText);
    RegCreateKeyPath(HKEY_CLASSES_ROOT, VX_VERB_KEY "\\command");
}
