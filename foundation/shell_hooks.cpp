#include "foundation/shell_hooks.h"

#include <shellapi.h>

#include "foundation/language.h"
#include "foundation/lookup_query.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"
#include "foundation/utils.h"
#include "resources/vardex_version.h"

void HelpPageName(const char* file, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    char code[8];
    LoadText(TXT_LANGUAGE_CODE, code, sizeof(code));
    out[0] = '\0';
    if (!TextEqualNoCase(code, "us")) {
        TextCopy(out, outSize, code);
        TextAppend(out, outSize, "_");
    }
    TextAppend(out, outSize, file != NULL && file[0] != '\0' ? file : "features.html");
}

void OpenHelpPage(HWND owner, const char* file)
{
    char page[VX_PATH];
    HelpPageName(file, page);

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
    char quoted[LOOKUP_ADDRESS + 2];
    if (!QuoteAddress(address, quoted, sizeof(quoted)))
        return 0;
    if (FindAolWindow() != NULL) {
        char command[LOOKUP_ADDRESS + 2 * VX_PATH];
        char aolFolder[VX_PATH];
        GetProfileStringA("WAOL", "AppPath", "", aolFolder, sizeof(aolFolder));
        if (aolFolder[0] != '\0')
            TEXT_FORMAT(command, "%s\\WAOL.EXE -u%s", aolFolder, quoted);
        else
            TEXT_FORMAT(command, "waol.exe -u%s", quoted);
        WinExec(command, SW_SHOWNORMAL);
        return 1;
    }
    return (INT_PTR)ShellExecuteA(owner, "open", address, NULL, NULL, SW_SHOWNORMAL) > 32;
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
