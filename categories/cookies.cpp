// The two cookie stores, the filter list, the Mozilla rewrite and its
// commit, and the three patrol rows.
#include "categories/cookies.h"

#include <stdlib.h>
#include <string.h>

#include "categories/cookie_line.h"
#include "foundation/file_dates.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"

#define SHELL_FOLDERS "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define USER_SHELL_FOLDERS \
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"
// A cookies.txt larger than this is not a cookie file.
#define COOKIE_FILE_MAX (64u * 1024u * 1024u)
#define NUTS_ADD_MAX 255

static int s_mode = COOKIE_MODE_IE;
static NutTable s_nuts = { NULL, 0, 0, 0 };

int CookieMode()
{
    return s_mode;
}

void SetCookieMode(int mode)
{
    s_mode = mode == COOKIE_MODE_MOZILLA ? COOKIE_MODE_MOZILLA : COOKIE_MODE_IE;
}

int CookieModeForOption(int browser)
{
    return browser == 2 || browser == 3 || browser == 6 ? COOKIE_MODE_MOZILLA : COOKIE_MODE_IE;
}

int CookieModeForBrowser()
{
    return CookieModeForOption(DefaultBrowserKind());
}

int FirefoxThreeOrLater()
{
    char version[64];
    if (RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla\\Mozilla Firefox", "CurrentVersion",
                      version, sizeof(version)) == 0)
        return 0;
    return atoi(version) >= 3;
}

// --- Folders ------------------------------------------------------------------

static int IECandidate(const char* folder, char* out)
{
    size_t length = strlen(folder);
    if (length < 3 || length > 250)
        return 0;
    char path[VX_PATH];
    TextCopy(path, folder);
    AppendBackslash(path);
    char index[VX_PATH * 2];
    TEXT_FORMAT(index, "%sindex.dat", path);
    if (GetFileAttributesA(index) == INVALID_FILE_ATTRIBUTES)
        return 0;
    TextCopy(out, VX_PATH, path);
    return 1;
}

int GetIECookieFolder(char* out)
{
    char folder[VX_PATH];
    if (RegReadString(HKEY_CURRENT_USER, VX_KEY, "IECookieFolder", folder, sizeof(folder)) > 0 &&
        IECandidate(folder, out))
        return 1;
    if (RegReadString(HKEY_CURRENT_USER, SHELL_FOLDERS, "Cookies", folder, sizeof(folder)) > 0 &&
        IECandidate(folder, out))
        return 1;
    if (RegReadString(HKEY_CURRENT_USER, USER_SHELL_FOLDERS, "Cookies", folder,
                      sizeof(folder)) > 0 &&
        IECandidate(folder, out))
        return 1;
    UINT n = GetWindowsDirectoryA(folder, VX_PATH);
    if (n > 0 && n < VX_PATH) {
        RemoveTrailingBackslash(folder, 0);
        TextAppend(folder, "\\Cookies");
        if (IECandidate(folder, out))
            return 1;
    }
    LoadText(968, out, VX_PATH);
    return 0;
}

// The first entry of folder matching pattern (folders only when
// foldersOnly; names starting with "." passed over then).
static int FirstEntry(const char* folder, const char* pattern, int foldersOnly, char* out)
{
    char search[VX_PATH * 2];
    TEXT_FORMAT(search, "%s\\%s", folder, pattern);
    if (strlen(search) >= VX_PATH)
        return 0;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(search, &found));
    if (!find.IsValid())
        return 0;
    do {
        int isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (foldersOnly && (!isFolder || found.cFileName[0] == '.'))
            continue;
        char path[VX_PATH * 2];
        TEXT_FORMAT(path, "%s\\%s", folder, found.cFileName);
        if (strlen(path) >= VX_PATH)
            continue;
        TextCopy(out, VX_PATH, path);
        return 1;
    } while (FindNextFileA(find.Get(), &found));
    return 0;
}

int GetMozillaProfileFolder(char* out)
{
    out[0] = '\0';
    if (RegReadString(HKEY_CURRENT_USER, VX_KEY, "CookieFolder", out, VX_PATH) > 0) {
        RemoveTrailingBackslash(out, 1);
        return 1;
    }
    char appData[VX_PATH];
    if (RegReadString(HKEY_CURRENT_USER, SHELL_FOLDERS, "AppData", appData, sizeof(appData)) == 0)
        return 0;
    RemoveTrailingBackslash(appData, 1);
    char profiles[VX_PATH * 2];
    TEXT_FORMAT(profiles, "%s\\Mozilla\\FireFox\\Profiles", appData);
    int found = 0;
    if (strlen(profiles) < VX_PATH) {
        found = FirstEntry(profiles, "*.default", 0, out);
        char other[VX_PATH];
        if (FirstEntry(profiles, "default.*", 0, other)) {
            TextCopy(out, VX_PATH, other);
            found = 1;
        }
    }
    if (DefaultBrowserKind() == 2) {
        out[0] = '\0';
        TEXT_FORMAT(profiles, "%s\\Mozilla\\Profiles\\default", appData);
        found = strlen(profiles) < VX_PATH && FirstEntry(profiles, "*", 1, out);
        if (!found)
            out[0] = '\0';
    }
    return found;
}

int GetCookieFolder(char* out)
{
    if (s_mode != COOKIE_MODE_MOZILLA)
        return GetIECookieFolder(out);
    if (GetMozillaProfileFolder(out))
        return 1;
    LoadText(968, out, VX_PATH);
    return 0;
}

static int ProfileFile(const char* profile, const char* name, char* out)
{
    char path[VX_PATH * 2];
    TEXT_FORMAT(path, "%s\\%s", profile, name);
    if (strlen(path) >= VX_PATH)
        return 0;
    TextCopy(out, VX_PATH, path);
    return 1;
}

// --- Filters ------------------------------------------------------------------

void FreeNuts()
{
    NutTableFree(&s_nuts);
}

int NutCount()
{
    return s_nuts.Count;
}

int LoadNuts()
{
    FreeNuts();
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, VX_NUTS_KEY, KEY_READ) != ERROR_SUCCESS)
        return 0;
    for (DWORD i = 0;; i++) {
        char name[NUT_TEXT + 1];
        char data[32];
        DWORD nameLength = sizeof(name);
        DWORD dataSize = sizeof(data) - 1;
        DWORD type = 0;
        LONG rc = RegEnumValueA(key.Get(), i, name, &nameLength, NULL, &type, (BYTE*)data,
                                &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;  // a name or data too long for a filter
        data[type == REG_SZ ? dataSize : 0] = '\0';
        int mode = atoi(data);
        // Blank names are skipped by the table: a blank filter would remove
        // every cookie.
        NutTableAdd(&s_nuts, name, mode == 2 ? 2 : 1);
    }
    return s_nuts.Count;
}

int IsNut(const char* text)
{
    return text != NULL && NutTableMatches(&s_nuts, text, strlen(text));
}

int PurgeOneTimeNuts()
{
    // The names first: deleting while enumerating would skip values.
    NutTable oneTime;
    NutTableInit(&oneTime);
    {
        RegKey key;
        if (key.Open(HKEY_CURRENT_USER, VX_NUTS_KEY, KEY_READ) != ERROR_SUCCESS)
            return 0;
        for (DWORD i = 0;; i++) {
            char name[NUT_TEXT + 1];
            char data[32];
            DWORD nameLength = sizeof(name);
            DWORD dataSize = sizeof(data) - 1;
            DWORD type = 0;
            LONG rc = RegEnumValueA(key.Get(), i, name, &nameLength, NULL, &type, (BYTE*)data,
                                    &dataSize);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            if (rc != ERROR_SUCCESS || type != REG_SZ)
                continue;
            data[dataSize] = '\0';
            if (atoi(data) == 2)
                NutTableAdd(&oneTime, name, 2);
        }
    }
    int purged = 0;
    for (int i = 0; i < oneTime.Count; i++)
        purged += RegDeleteValueNamed(HKEY_CURRENT_USER, VX_NUTS_KEY, oneTime.Items[i].Text);
    NutTableFree(&oneTime);
    return purged;
}

// --- Internet Explorer --------------------------------------------------------

static int ListIECookies(ItemList* list, int filter)
{
    char folder[VX_PATH];
    if (!GetIECookieFolder(folder))
        return 0;
    char search[VX_PATH * 2];
    TEXT_FORMAT(search, "%s*.txt", folder);
    if (strlen(search) >= VX_PATH)
        return 0;
    int most = g_Options[OPT_MaxCookie] > 0 && g_Options[OPT_MaxCookie] < ITEM_MAX
                   ? g_Options[OPT_MaxCookie]
                   : ITEM_MAX;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(search, &found));
    if (!find.IsValid())
        return 0;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY))
            continue;
        size_t length = strlen(found.cFileName);
        if (length < 4 || !TextEqualNoCase(found.cFileName + length - 4, ".txt"))
            continue;
        char path[VX_PATH * 2];
        TEXT_FORMAT(path, "%s%s", folder, found.cFileName);
        if (strlen(path) >= VX_PATH)
            continue;
        // The cookie's own name only: a filter text that happens to be in
        // the folder's path would otherwise remove every cookie.
        if (filter && IsNut(found.cFileName)) {
            DeleteFileForce(path);
            continue;
        }
        // The cap is for the list a person reads; filtering goes on to the
        // last cookie of the folder.
        if (ItemCount(list) >= most) {
            if (filter)
                continue;
            break;
        }
        char created[24];
        FileDateText(path, created);
        if (!AddItem(list, found.cFileName, path, "", created, CODE_IE_COOKIE, 0) && !filter)
            break;
    } while (FindNextFileA(find.Get(), &found));
    return ItemCount(list);
}

// --- Mozilla ------------------------------------------------------------------

// The whole cookie file, or NULL when it cannot be read whole: a rewrite
// from a part would drop the rest of the user's cookies.
static char* ReadCookieFile(const char* path, DWORD* size)
{
    return ReadWholeFile(path, COOKIE_FILE_MAX, size);
}

static void AddMozillaCookie(ItemList* list, const CookieFields* fields)
{
    char key[ITEM_NAME];
    CookieKeyText(fields, key, sizeof(key));
    char path[ITEM_COMMAND];
    CookieFieldText(fields, COOKIE_PATH, path, sizeof(path));
    char value[ITEM_EXTRA];
    CookieFieldText(fields, COOKIE_VALUE, value, sizeof(value));
    char expires[VX_DATE_TEXT] = "";
    long long seconds = 0;
    if (CookieExpiry(fields, &seconds)) {
        SYSTEMTIME local;
        UnixTimeToLocal(seconds, &local);
        if (local.wYear != 0)
            FormatDateTime(&local, expires);
    }
    char secure[16];
    CookieFieldText(fields, COOKIE_SECURE, secure, sizeof(secure));
    AddItem(list, key, path, value, expires, CODE_MOZILLA_COOKIE, TextFindNoCase(secure, "TRUE"));
}

static int ListMozillaCookies(ItemList* list)
{
    char profile[VX_PATH];
    char path[VX_PATH];
    if (!GetMozillaProfileFolder(profile) || !ProfileFile(profile, "cookies.txt", path))
        return 0;
    DWORD size = 0;
    char* block = ReadCookieFile(path, &size);
    if (block == NULL)
        return 0;
    size_t pos = 0;
    BlockLine line;
    while (NextBlockLine(block, size, &pos, &line) && ItemCount(list) < ITEM_MAX) {
        CookieFields fields;
        if (SplitCookieLine(block + line.Start, line.Length, &fields))
            AddMozillaCookie(list, &fields);
    }
    FreeTextFile(block);
    return ItemCount(list);
}

static int WriteWhole(const char* path, const char* data, size_t size)
{
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return 0;
    DWORD written = 0;
    if (size > 0 && (!WriteFile(file.Get(), data, (DWORD)size, &written, NULL) ||
                     written != size))
        return 0;
    return 1;
}

// The last rewrite made: while the cookie file (settled when it was read),
// the filters and the rewrite itself stand as they were, the patrol has
// nothing to do.
struct LastRewrite {
    char target[VX_PATH];
    FileStamp source, made;
    unsigned filters;
    int valid;
};
static LastRewrite s_lastRewrite;

static unsigned FiltersFingerprint()
{
    unsigned h = 2166136261u;
    for (int i = 0; i < s_nuts.Count; i++) {
        for (const char* p = s_nuts.Items[i].Text; *p != '\0'; p++)
            h = (h ^ (unsigned char)*p) * 16777619u;
        h = (h ^ (unsigned)(s_nuts.Items[i].Mode + 256)) * 16777619u;
    }
    return h;
}

static int RewriteStillCurrent(const char* target, const FileStamp& source, unsigned filters)
{
    if (!s_lastRewrite.valid || s_lastRewrite.filters != filters ||
        strcmp(s_lastRewrite.target, target) != 0 ||
        !SameStamp(s_lastRewrite.source, source))
        return 0;
    FileStamp made;
    StampFile(target, &made);
    return SameStamp(s_lastRewrite.made, made);
}

int RewriteCookieFile(const char* profile)
{
    char source[VX_PATH];
    char target[VX_PATH];
    char temporary[VX_PATH];
    if (!ProfileFile(profile, "cookies.txt", source) ||
        !ProfileFile(profile, "cookiesnew.txt", target) ||
        !ProfileFile(profile, "cookiesnew.tmp", temporary))
        return 0;
    FileStamp sourceStamp;
    StampFile(source, &sourceStamp);
    unsigned filters = FiltersFingerprint();
    if (sourceStamp.attributes != INVALID_FILE_ATTRIBUTES &&
        RewriteStillCurrent(target, sourceStamp, filters))
        return 1;
    s_lastRewrite.valid = 0;
    int settled = WrittenLongAgo(sourceStamp.written);
    // Read first: a file that cannot be read leaves no empty rewrite
    // behind to replace it.
    DWORD size = 0;
    char* block = ReadCookieFile(source, &size);
    if (block == NULL)
        return 0;
    size_t used = FilterCookieBlock(&s_nuts, block, size);
    int written = WriteWhole(temporary, block, used);
    FreeTextFile(block);
    if (!written || !MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary);
        return 0;
    }
    if (settled && sourceStamp.attributes != INVALID_FILE_ATTRIBUTES) {
        TextCopy(s_lastRewrite.target, target);
        s_lastRewrite.source = sourceStamp;
        StampFile(target, &s_lastRewrite.made);
        s_lastRewrite.filters = filters;
        s_lastRewrite.valid = s_lastRewrite.made.attributes != INVALID_FILE_ATTRIBUTES;
    }
    return 1;
}

void SetCookieFilePending(int on)
{
    if (on)
        RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "UpdateCookieFile", "1");
    else
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "UpdateCookieFile");
}

int CookieFilePending()
{
    return OptionRead("UpdateCookieFile", 0) > 0;
}

int ListCookies(ItemList* list, int filter)
{
    ClearItems(list);
    if (filter)
        LoadNuts();
    int result;
    if (s_mode == COOKIE_MODE_MOZILLA) {
        if (filter) {
            char profile[VX_PATH];
            result = GetMozillaProfileFolder(profile) && RewriteCookieFile(profile);
            if (result)
                SetCookieFilePending(1);
        } else {
            result = ListMozillaCookies(list);
        }
    } else {
        result = ListIECookies(list, filter);
    }
    if (filter)
        FreeNuts();
    return result;
}

int CommitCookieFile()
{
    if (!CookieFilePending() || FindWindowA("MozillaWindowClass", NULL) != NULL)
        return 0;
    char profile[VX_PATH];
    char source[VX_PATH];
    char target[VX_PATH];
    if (!GetMozillaProfileFolder(profile) || !ProfileFile(profile, "cookiesnew.txt", source) ||
        !ProfileFile(profile, "cookies.txt", target))
        return 0;
    LoadNuts();
    int rewritten = RewriteCookieFile(profile);
    FreeNuts();
    if (!rewritten || !MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING))
        return 0;
    SetCookieFilePending(0);
    return 1;
}

int AddNut(const char* text)
{
    if (text == NULL || IsBlankText(text) || strlen(text) >= NUT_TEXT)
        return 0;
    LoadNuts();
    int count = NutCount();
    FreeNuts();
    if (count >= NUTS_ADD_MAX) {
        char refusal[512];
        LoadText(729, refusal, sizeof(refusal));
        UiNotify(NOTICE_INFORMATION, refusal);
        return 0;
    }
    if (!RegWriteString(HKEY_CURRENT_USER, VX_NUTS_KEY, text, "1"))
        return 0;
    ItemList filtered;
    ListCookies(&filtered, 1);
    LoadNuts();
    return 1;
}

int RemoveNut(const char* text)
{
    if (text == NULL || text[0] == '\0')
        return 0;
    int removed = RegDeleteValueNamed(HKEY_CURRENT_USER, VX_NUTS_KEY, text);
    LoadNuts();
    return removed;
}

int NutLimitReached()
{
    LoadNuts();
    int count = NutCount();
    FreeNuts();
    return count >= NUTS_ADD_MAX;
}

int ListNutsAll(ItemList* out)
{
    ClearItems(out);
    LoadNuts();
    for (int i = 0; i < s_nuts.Count; i++) {
        const Nut& nut = s_nuts.Items[i];
        AddItem(out, nut.Text, "", "", nut.Text, 0, nut.Mode);
    }
    FreeNuts();
    return ItemCount(out);
}

int ListCookiesShown(ItemList* out)
{
    ItemList all;
    ListCookies(s_mode == COOKIE_MODE_MOZILLA ? &all : out, 0);
    if (s_mode != COOKIE_MODE_MOZILLA)
        return ItemCount(out);
    ClearItems(out);
    LoadNuts();
    for (int i = 0; i < ItemCount(&all); i++) {
        const ItemRecord* c = GetItem(&all, i);
        if (!NutTableNames(&s_nuts, c->Name))
            AddItem(out, c->Name, c->Command, c->Extra, c->Info, c->Code, c->Flag);
    }
    FreeNuts();
    return ItemCount(out);
}

int KeepCookie(const char* name, int keep)
{
    if (name == NULL || name[0] == '\0')
        return 0;
    if (keep)
        return RegWriteString(HKEY_CURRENT_USER, VX_COOKIES_KEY, name, "1");
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_COOKIES_KEY, name);
    return 1;
}

int RemoveCookies(const ItemRecord* const* cookies, int count)
{
    char folder[VX_PATH];
    int haveFolder = s_mode == COOKIE_MODE_IE && GetIECookieFolder(folder);
    int removed = 0, named = 0;
    for (int i = 0; i < count; i++) {
        const ItemRecord* cookie = cookies[i];
        KeepCookie(cookie->Name, 0);
        if (haveFolder && cookie->Code == CODE_IE_COOKIE) {
            DeleteFileForce(cookie->Command);  // a cookie that will not go is no failure
            removed++;
        } else if (RegWriteString(HKEY_CURRENT_USER, VX_NUTS_KEY, cookie->Name, "2")) {
            named++;
        }
    }
    if (named > 0 && s_mode == COOKIE_MODE_MOZILLA) {
        ItemList scratch;
        ListCookies(&scratch, 1);
        if (CommitCookieFile())
            PurgeOneTimeNuts();
    }
    return removed + named;
}

int FindNewCookie(ItemList* list)
{
    ListCookies(list, 0);
    RegKey kept;
    int open = kept.Open(HKEY_CURRENT_USER, VX_COOKIES_KEY, KEY_QUERY_VALUE) == ERROR_SUCCESS;
    for (int i = 0; i < ItemCount(list); i++) {
        if (!open || RegQueryValueExA(kept.Get(), GetItemName(list, i), NULL, NULL, NULL,
                                      NULL) != ERROR_SUCCESS)
            return i;
    }
    return -1;
}

// --- The patrol rows ----------------------------------------------------------

static int PatrolCookieFilter(const Category*)
{
    SetCookieMode(CookieModeForBrowser());
    // The Mozilla file is filtered when it is committed, not here.
    if (CookieMode() == COOKIE_MODE_IE) {
        ItemList kept;
        ListCookies(&kept, 1);
    }
    return 0;
}

static int CookieFileCanRun()
{
    char profile[VX_PATH];
    return CookieModeForBrowser() == COOKIE_MODE_MOZILLA && GetMozillaProfileFolder(profile);
}

static int PatrolCookieFile(const Category*)
{
    SetCookieMode(COOKIE_MODE_MOZILLA);
    if (CommitCookieFile())
        PurgeOneTimeNuts();
    return 0;
}

static int PatrolNewCookies(const Category*)
{
    SetCookieMode(CookieModeForBrowser());
    ItemList cookies;
    if (FindNewCookie(&cookies) < 0)
        return 0;
    // Only one question per patrol; the cookie is not taken into the kept
    // list here: the user keeps cookies on the explorer's page.
    if (UiConfirmText(16))
        UiNotify(NOTICE_SHOW_COOKIES, "-COOKIES");
    return 0;
}

// The IE cookie folder for the filter and the new-cookie check, the
// Mozilla profile (its cookies.txt) for the file filter.
static const WatchPlace s_folderWatch[] = {
    { WATCH_FOLDER, NULL, NULL, GetIECookieFolder, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

static const WatchPlace s_fileWatch[] = {
    { WATCH_FOLDER, NULL, NULL, GetMozillaProfileFolder, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_CookieFilterCategory = {
    "Filter Cookies", NULL, NULL,
    OPT_Nuts, -1, -1,
    1,                       // second half
    NULL, NULL,  // never an alert
    0, NULL, PatrolCookieFilter,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    ListNutsAll,             // the explorer's Cookies page
    s_folderWatch,
};

const Category g_CookieFileCategory = {
    "Filter Mozilla Cookies", NULL, NULL,
    -1, -1, -1,              // every patrol
    1,
    NULL, NULL,
    0, CookieFileCanRun, PatrolCookieFile,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    s_fileWatch,
};

const Category g_NewCookiesCategory = {
    "Check for New Cookies", NULL, NULL,
    OPT_Cookies, -1, -1,
    1,                       // second half
    NULL, NULL,  // asks with UiConfirm
    0, NULL, PatrolNewCookies,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    ListCookiesShown,        // the explorer's cookie list
    s_folderWatch,
};
