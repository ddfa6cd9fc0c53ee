// The online lookup and the version check: what is known of a program file
// locally, gathered into the lookup address (lookup_query.h), and the
// browser that opens it.
#include "foundation/lookup.h"

#include <intshcut.h>
#include <shellapi.h>

#include "foundation/browser.h"
#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/lookup_query.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"
#include "foundation/version_info.h"

// The shortcut this process wrote last, "" when none is left.
static char s_shortcut[VX_PATH];

static void ShortcutPath(char (&out)[VX_PATH])
{
    GetProgramFolder(out);
    TextAppend(out, "\\temp.url");
}

void DeleteLookupShortcut()
{
    if (s_shortcut[0] != '\0')
        DeleteFileA(s_shortcut);
    s_shortcut[0] = '\0';
}

// The language code of text 634, "en" when it is empty (out holds 8).
static void LanguageCodeText(char (&out)[8])
{
    if (LoadText(TXT_LANGUAGE_CODE, out, sizeof(out)) == 0)
        TextCopy(out, "en");
}

// The short form knows three languages only.
static const char* ShortFormLanguage(const char* code)
{
    switch (LanguageIdForCode(code)) {
    case LANG_GERMAN: return "de";
    case LANG_FRENCH: return "fr";
    default: return "en";
    }
}

static int ShellOpen(HWND owner, const char* target, const char* arguments)
{
    return (INT_PTR)ShellExecuteA(owner, "open", target, arguments, NULL, SW_SHOWNORMAL) > 32;
}

// The browser of last resort: Internet Explorer from its App Paths entry,
// the address its one argument (the address holds no blank or quote).
static int RunInternetExplorer(HWND owner, const char* address)
{
    char browser[VX_PATH];
    return InternetExplorerPath(browser) > 0 && ShellOpen(owner, browser, address);
}

// The Internet shortcut to address, saved as file through the shell's
// Internet Shortcut object.  1 when written.
static int WriteShortcut(const char* address, const char* file)
{
    ComRef<IUniformResourceLocatorA> locator;
    if (FAILED(CoCreateInstance(CLSID_InternetShortcut, NULL, CLSCTX_INPROC_SERVER,
                                IID_IUniformResourceLocatorA, locator.OutVoid())))
        return 0;
    ComRef<IPersistFile> persist;
    if (FAILED(locator->SetURL(address, 0))
        || FAILED(locator->QueryInterface(IID_IPersistFile, persist.OutVoid())))
        return 0;
    WCHAR wide[VX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, file, -1, wide, VX_PATH) == 0)
        return 0;
    return SUCCEEDED(persist->Save(wide, TRUE));
}

// The long form: through a shortcut in the program folder, which stays
// for the browser to read; the address itself when no shortcut can be
// written there.
static int OpenThroughShortcut(HWND owner, const char* address)
{
    char shortcut[VX_PATH];
    ShortcutPath(shortcut);
    if (!WriteShortcut(address, shortcut))
        return ShellOpen(owner, address, NULL);
    TextCopy(s_shortcut, shortcut);
    if (ShellOpen(owner, shortcut, NULL))
        return 1;
    DeleteLookupShortcut();
    return 0;
}

// What is known of the program locally, as the lookup sends it.
struct ProgramFacts {
    char program[VX_PATH];
    char extension[VX_PATH];
    char version[VS_COUNT][VS_SLOT];
    FileFactsRecord facts;
    char language[8];
    char build[VX_PATH];
};

static void GatherFacts(int typeCode, const char* pathOrName, int longForm, ProgramFacts* out)
{
    char path[VX_PATH];
    ExpandProgramPath(pathOrName, path);
    if (GetFileNamePart(path, out->program) == 0)
        TextCopy(out->program, pathOrName);
    ExtensionOf(out->program, out->extension, sizeof(out->extension));
    char file[VX_PATH];
    TextCopy(file, path);
    int exists = file[0] != '\0' && FileExists(file);
    GetVersionStrings(exists ? file : "", out->version);
    if (!exists || !FileFacts(file, typeCode, &out->facts))
        ZeroMemory(&out->facts, sizeof(out->facts));
    LanguageCodeText(out->language);
    if (!longForm)
        TextCopy(out->language, ShortFormLanguage(out->language));
    GetOwnVersionText(out->build);
}

int LookUpOnline(HWND owner, int typeCode, const char* pathOrName)
{
    if (pathOrName == NULL || pathOrName[0] == '\0')
        return 0;
    // The one a previous lookup left has long been read.
    char previous[VX_PATH];
    ShortcutPath(previous);
    DeleteFileA(previous);
    s_shortcut[0] = '\0';

    int longForm = OptionRead("PlusFormat", 0) != 0;
    ProgramFacts* known = new ProgramFacts();
    GatherFacts(typeCode, pathOrName, longForm, known);
    const LookupFields fields = {
        known->program,      known->extension,
        known->version[VS_COMPANY_NAME],     known->version[VS_PRODUCT_VERSION],
        known->version[VS_PRODUCT_NAME],     known->version[VS_LEGAL_COPYRIGHT],
        known->version[VS_FILE_DESCRIPTION], known->facts.created,
        known->facts.detected, known->facts.size, pathOrName, typeCode,
        known->language,     known->build,
    };
    char address[LOOKUP_ADDRESS];
    size_t length = BuildLookupQuery(&fields, longForm, address, sizeof(address));
    delete known;
    if (length == 0)
        return 0;

    // The shell and the shortcut object want COM; the monitor may look a
    // program up before it has started its own.
    HRESULT com = CoInitialize(NULL);
    int opened;
    if (FindAolWindow() != NULL)
        opened = OpenAddress(owner, address);
    else if (longForm)
        opened = OpenThroughShortcut(owner, address)
                 || (OptionRead("BrowserFailure", 0) != 0 && RunInternetExplorer(owner, address));
    else
        opened = OpenAddress(owner, address) || RunInternetExplorer(owner, address);
    if (SUCCEEDED(com))
        CoUninitialize();
    return opened;
}

int CheckForNewVersion(HWND owner)
{
    char configured[VX_REG_TEXT_MAX];
    RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, "GetVersion", configured, sizeof(configured));
    char text[VX_REG_TEXT_MAX];
    LoadText(TXT_VERSION_CHECK_ADDRESS, text, sizeof(text));
    char build[VX_PATH];
    GetOwnVersionText(build);
    char language[8];
    LanguageCodeText(language);
    char address[LOOKUP_ADDRESS];
    if (BuildVersionCheckAddress(configured, text, build, language, address, sizeof(address)) == 0)
        return 0;
    return OpenAddress(owner, address);
}
