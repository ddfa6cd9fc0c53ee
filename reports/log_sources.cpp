// The scan log's own listings (reports/log_sources.h).
#include "reports/log_sources.h"

#include <string.h>

#include "categories/ie_helpers.h"
#include "foundation/handles.h"
#include "foundation/kept_values.h"
#include "foundation/path_text.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "startup/autostart.h"

// Calls visit for every subkey of root\path, in the order the registry
// gives them.  Names longer than a registry key name may be are skipped.
typedef void (*SubkeyVisitor)(HKEY root, const char* path, const char* subkey, void* context);
static void ForEachSubkey(HKEY root, const char* path, SubkeyVisitor visit, void* context)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ | StartupView(root)) != ERROR_SUCCESS)
        return;
    char name[256];
    for (DWORD i = 0;; i++) {
        DWORD size = sizeof(name);
        LONG rc = RegEnumKeyExA(key, i, name, &size, NULL, NULL, NULL, NULL);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        visit(root, path, name, context);
    }
}

// A value of root\path\subkey (out holds outSize); "" when missing.
static int SubkeyText(HKEY root, const char* path, const char* subkey, const char* name,
                      char* out, int outSize)
{
    char full[600];
    TEXT_FORMAT(full, "%s\\%s", path, subkey);
    return PlaceReadText(root, full, name, out, outSize);
}

// The company named by a file's version resource (out holds 128).
static void CompanyOfFile(const char* file, char* out, size_t outSize)
{
    char unquoted[VX_PATH], path[VX_PATH];
    StripQuotes(file, unquoted, sizeof(unquoted));
    DWORD n = ExpandEnvironmentStringsA(unquoted, path, sizeof(path));
    if (n == 0 || n > sizeof(path))
        TextCopy(path, unquoted);
    KeptVersion facts;
    KeptVersionOf(path, &facts);
    TextCopy(out, outSize, facts.companyName);
}

// --- Helper objects and toolbars -----------------------------------------------------

static void OnHelperObject(HKEY, const char*, const char* clsid, void* context)
{
    char className[ITEM_COMMAND], file[ITEM_COMMAND];
    ClsidInfo(clsid, className, file);
    AddItem((ItemList*)context, className, file, clsid, "", HELPER_CODE_BHO, 0);
}

int EnumLogBHO(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_LOCAL_MACHINE, BHO_KEY, OnHelperObject, list);
    return ItemCount(list);
}

static void OnToolbar(const char* clsid, DWORD, const char*, void* context)
{
    if (clsid[0] == '\0')
        return;
    char className[ITEM_COMMAND], file[ITEM_COMMAND], company[KEPT_VERSION_TEXT];
    ClsidInfo(clsid, className, file);
    CompanyOfFile(file, company, sizeof(company));
    AddItem((ItemList*)context, className, file, clsid, company, HELPER_CODE_BHO, 0);
}

int EnumLogToolbars(ItemList* list)
{
    ClearItems(list);
    WalkKeptValues(HKEY_LOCAL_MACHINE, TOOLBAR_KEY, StartupView(HKEY_LOCAL_MACHINE), OnToolbar,
                   list);
    return ItemCount(list);
}

// --- Menu entries, buttons, option groups, plug-ins ----------------------------------

static void OnMenuExt(HKEY root, const char* path, const char* subkey, void* context)
{
    char command[ITEM_COMMAND];
    if (SubkeyText(root, path, subkey, "", command, sizeof(command)) > 0)
        AddItem((ItemList*)context, subkey, command, "", "", 0, 0);
}

int EnumLogMenuExt(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_CURRENT_USER, MENUEXT_KEY, OnMenuExt, list);
    return ItemCount(list);
}

static void OnExtension(HKEY root, const char* path, const char* subkey, void* context)
{
    char command[ITEM_COMMAND], className[ITEM_COMMAND];
    if (SubkeyText(root, path, subkey, "script", command, sizeof(command)) == 0
        && SubkeyText(root, path, subkey, "exec", command, sizeof(command)) == 0)
        ClsidInfo(subkey, className, command);
    if (command[0] == '\0')
        return;
    if (root == HKEY_CURRENT_USER)
        TextAppend(command, " (HKCU)");
    char text[ITEM_NAME];
    if (SubkeyText(root, path, subkey, "ButtonText", text, sizeof(text)) == 0)
        TextCopy(text, "(no name)");
    ItemList* list = (ItemList*)context;
    AddItem(list, text, command, subkey, "", LOG_EXT_BUTTON, 0);
    if (SubkeyText(root, path, subkey, "MenuText", text, sizeof(text)) > 0)
        AddItem(list, text, command, subkey, "", LOG_EXT_MENU_ITEM, 0);
}

int EnumLogExtensions(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_LOCAL_MACHINE, EXTENSIONS_KEY, OnExtension, list);
    ForEachSubkey(HKEY_CURRENT_USER, EXTENSIONS_KEY, OnExtension, list);
    return ItemCount(list);
}

static void OnOptionGroup(HKEY root, const char* path, const char* subkey, void* context)
{
    char help[ITEM_COMMAND], text[ITEM_NAME], bitmap[ITEM_EXTRA];
    SubkeyText(root, path, subkey, "HelpID", help, sizeof(help));
    if (TextFindNoCase(help, "iexplore.hlp"))
        return;
    SubkeyText(root, path, subkey, "Text", text, sizeof(text));
    SubkeyText(root, path, subkey, "Bitmap", bitmap, sizeof(bitmap));
    char* cut = strrchr(bitmap, '\\');
    if (cut != NULL)
        *cut = '\0';
    AddItem((ItemList*)context, text, help, bitmap, "", 0, 0);
}

int EnumLogAdvancedOptions(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_LOCAL_MACHINE, ADVANCED_OPTIONS_KEY, OnOptionGroup, list);
    return ItemCount(list);
}

static void OnPlugin(HKEY root, const char* path, const char* subkey, void* context)
{
    char location[ITEM_COMMAND];
    if (SubkeyText(root, path, subkey, "Location", location, sizeof(location)) > 0)
        AddItem((ItemList*)context, subkey, location, "", "", 0, 0);
}

int EnumLogPlugins(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_LOCAL_MACHINE, PLUGINS_KEY, OnPlugin, list);
    return ItemCount(list);
}

static void OnDownloadedControl(HKEY root, const char* path, const char* subkey, void* context)
{
    char info[600], codeBase[ITEM_COMMAND];
    TEXT_FORMAT(info, "%s\\DownloadInformation", subkey);
    if (SubkeyText(root, path, info, "CODEBASE", codeBase, sizeof(codeBase)) == 0)
        return;
    char className[ITEM_COMMAND], file[ITEM_COMMAND];
    ClsidInfo(subkey, className, file);
    AddItem((ItemList*)context, className, codeBase, file, subkey, 0, 0);
}

int EnumLogDPF(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_LOCAL_MACHINE, DPF_KEY, OnDownloadedControl, list);
    return ItemCount(list);
}

// --- Shell objects ---------------------------------------------------------------------

static int IsText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

static void OnDelayLoad(const char* name, DWORD type, const char* data, void* context)
{
    if (!IsText(type) || strlen(data) > 128)
        return;
    char className[ITEM_COMMAND], file[ITEM_COMMAND];
    if (ClsidInfo(data, className, file))
        AddItem((ItemList*)context, className, file, data, name, 0, 0);
}

int EnumLogDelayLoad(ItemList* list)
{
    ClearItems(list);
    WalkKeptValues(HKEY_LOCAL_MACHINE, DELAYLOAD_KEY, StartupView(HKEY_LOCAL_MACHINE),
                   OnDelayLoad, list);
    return ItemCount(list);
}

static void OnSharedTaskScheduler(const char* clsid, DWORD type, const char* data, void* context)
{
    char className[ITEM_COMMAND], file[ITEM_COMMAND];
    if (ClsidInfo(clsid, className, file))
        AddItem((ItemList*)context, className, file, clsid, IsText(type) ? data : "", 0, 0);
}

int EnumLogSharedTaskScheduler(ItemList* list)
{
    ClearItems(list);
    WalkKeptValues(HKEY_LOCAL_MACHINE, TASK_SCHEDULER_KEY, StartupView(HKEY_LOCAL_MACHINE),
                   OnSharedTaskScheduler, list);
    return ItemCount(list);
}

// --- Trusted sites ---------------------------------------------------------------------

// The zone a domain key (or one of its host keys) names: its "*" value, else
// its first protocol value, that names the trusted or the restricted zone;
// 0 when none does.  Only the lowest byte counts.
static int ZoneOfKey(HKEY root, const char* path)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return 0;
    int zone = 0;
    char name[256];
    for (DWORD i = 0;; i++) {
        DWORD nameSize = sizeof(name), type = 0, data = 0, dataSize = sizeof(data);
        LONG rc = RegEnumValueA(key, i, name, &nameSize, NULL, &type, (BYTE*)&data, &dataSize);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        int byte = (int)(data & 0xFF);
        if (type != REG_DWORD || (byte != TRUSTED_SITES_ZONE && byte != RESTRICTED_SITES_ZONE))
            continue;
        if (strcmp(name, "*") == 0)
            return byte;
        if (zone == 0)
            zone = byte;
    }
    return zone;
}

static void OnHostKey(HKEY root, const char* path, const char* host, void* context)
{
    int* zone = (int*)context;
    if (*zone != 0)
        return;
    char full[600];
    TEXT_FORMAT(full, "%s\\%s", path, host);
    *zone = ZoneOfKey(root, full);
}

static void OnDomain(HKEY root, const char* path, const char* domain, void* context)
{
    char full[600];
    TEXT_FORMAT(full, "%s\\%s", path, domain);
    int zone = ZoneOfKey(root, full);
    if (zone == 0)
        ForEachSubkey(root, full, OnHostKey, &zone);
    if (zone == TRUSTED_SITES_ZONE)
        AddItem((ItemList*)context, domain, "", "", "", 0, 0);
}

int EnumLogTrustedZone(ItemList* list)
{
    ClearItems(list);
    ForEachSubkey(HKEY_LOCAL_MACHINE, ZONE_DOMAINS_KEY, OnDomain, list);
    ForEachSubkey(HKEY_CURRENT_USER, ZONE_DOMAINS_KEY, OnDomain, list);
    return ItemCount(list);
}
