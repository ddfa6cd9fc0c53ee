#include "categories/browser_pages.h"

#include <windows.h>

#include "categories/category.h"

#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_fill.h"
#include "foundation/trace.h"
#include "foundation/ui.h"
#include "foundation/utils.h"

#define AU_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update"
#define AU_VALUE "AUOptions"
#define PREFIXES_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes"
#define DEFAULT_PREFIX_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\DefaultPrefix"
#define PREFIX_VALUE "www"
#define PREFIX_BASELINE "wwwPrefix"

#define TEXT_UPDATE_SETTINGS 1050  // 1051 to 1054: the modes 1 to 4
#define TEXT_UPDATE_CHANGED 1055
#define TEXT_PREFIX_DEFAULT 1061
#define TEXT_PREFIX_CHANGED 1065

// Text read from a watched value: a prefix or an address.  The browser
// takes addresses of at most 2083 characters; a longer value is no page.
#define WATCHED_TEXT 2084
// Each value is cut to this in a question, so the question's own words
// (what Yes and No do) always fit.
#define SHOWN_TEXT 300
#define QUESTION_TEXT 2048


// --- Registry values ---------------------------------------------------------------

// A text value (REG_SZ or REG_EXPAND_SZ, taken as it is) into out.  Returns
// its length; -1 with "" when it is missing, of another type or does not
// fit.
static int ReadTextValue(HKEY root, const char* path, const char* name, char* out,
                         DWORD outSize)
{
    out[0] = '\0';
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return -1;
    DWORD type = 0, size = outSize;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)out, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        out[0] = '\0';
        return -1;
    }
    // The data need not end in a zero; one that fills the buffer without
    // one does not fit.
    if (size > 0 && out[size - 1] == '\0')
        size--;
    if (size >= outSize) {
        out[0] = '\0';
        return -1;
    }
    out[size] = '\0';
    return (int)TextLength(out, size);
}

// A REG_DWORD as stored (the store's RegReadDword folds it to 16 signed
// bits, which would turn an odd mode into another one when written back).
// 0 when missing or of another type.
static DWORD ReadRawDword(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return 0;
    return value;
}

// A numbered text, or fallback when the string table has none.
static void TextOrDefault(int id, const char* fallback, char* out, int outSize)
{
    if (LoadText(id, out, outSize) <= 0 || out[0] == '\0')
        TextCopy(out, (size_t)outSize, fallback);
}

// The question of text id, its "%s" places filled with the two values,
// each cut to SHOWN_TEXT.
static int AskWithTwoValues(int textId, const char* first, const char* second)
{
    char pattern[1024];
    LoadText(textId, pattern, sizeof(pattern));
    char firstShown[SHOWN_TEXT + 1], secondShown[SHOWN_TEXT + 1];
    TextCutVisibly(firstShown, sizeof(firstShown), first, SHOWN_TEXT);
    TextCutVisibly(secondShown, sizeof(secondShown), second, SHOWN_TEXT);
    const char* values[2] = { firstShown, secondShown };
    char question[QUESTION_TEXT];
    TextFill(question, sizeof(question), pattern, values, 2);
    return UiConfirm(question);
}

// What a restore that did not hold leaves behind: the live value it could
// not replace.  That value is not asked about again; any other is, and so
// is the same value once it has been the approved one in between.
struct RefusedValue {
    int set;
    char text[WATCHED_TEXT];
};

static int IsRefused(RefusedValue* refused, const char* live)
{
    if (!refused->set)
        return 0;
    if (TextEqualNoCase(refused->text, live))
        return 1;
    refused->set = 0;  // the value moved on: ask about what it is now
    return 0;
}

static void ReportRefused(RefusedValue* refused, const char* live, const char* what)
{
    refused->set = 1;
    TextCopy(refused->text, live);
    char detail[ALERT_TEXT];
    TextCutVisibly(detail, sizeof(detail), what, ALERT_TEXT - 1);
    UiNotify(NOTICE_RESTORE_FAILED, detail);
}

// Where the monitor may not write the machine's values (major version 6),
// the explorer restores them.  It reports its own failures; the same live
// value is not asked about again, whichever way that went.
static void HandOver(RefusedValue* refused, const char* live, const char* switches)
{
    UiNotify(NOTICE_RESTORE_BY_EXPLORER, switches);
    refused->set = 1;
    TextCopy(refused->text, live);
}

// --- Automatic Updates ----------------------------------------------------------

static RefusedValue s_refusedMode;
static RefusedValue s_refusedPrefix;
static RefusedValue s_refusedPage[3];

static void ModeText(DWORD mode, char* out, int outSize)
{
    // Modes outside 1 to 4 have no text of their own.
    int id = (mode >= 1 && mode <= 4) ? TEXT_UPDATE_SETTINGS + (int)mode : TEXT_UPDATE_SETTINGS;
    LoadText(id, out, outSize);
}

static void ModeKey(DWORD mode, char* out, size_t outSize)
{
    TextFormat(out, outSize, "%lu", (unsigned long)mode);
}

int SeedUpdateModeBaseline()
{
    if (ReadRawDword(HKEY_CURRENT_USER, VX_KEY, AU_VALUE) != 0)
        return 0;
    DWORD live = ReadRawDword(HKEY_LOCAL_MACHINE, AU_KEY, AU_VALUE);
    return live != 0 && RegWriteDword(HKEY_CURRENT_USER, VX_KEY, AU_VALUE, live);
}

// 1 when the baseline was missing or outside 1 to 4.
static int CheckUpdateMode()
{
    DWORD baseline = ReadRawDword(HKEY_CURRENT_USER, VX_KEY, AU_VALUE);
    int unusual = baseline == 0 || baseline > 4;
    if (baseline == 0) {
        SeedUpdateModeBaseline();
        return 1;
    }
    DWORD live = ReadRawDword(HKEY_LOCAL_MACHINE, AU_KEY, AU_VALUE);
    char liveKey[16];
    ModeKey(live, liveKey, sizeof(liveKey));
    if (live == baseline) {
        s_refusedMode.set = 0;
        return unusual;
    }
    if (IsRefused(&s_refusedMode, liveKey))
        return unusual;
    char before[512], after[512];
    ModeText(baseline, before, sizeof(before));
    ModeText(live, after, sizeof(after));
    if (!AskWithTwoValues(TEXT_UPDATE_CHANGED, before, after)) {
        RegWriteDword(HKEY_CURRENT_USER, VX_KEY, AU_VALUE, live);
        return unusual;
    }
    if (IsWindowsMajor6()) {
        HandOver(&s_refusedMode, liveKey, "-AUOption");
        return unusual;
    }
    RegWriteDword(HKEY_LOCAL_MACHINE, AU_KEY, AU_VALUE, baseline);
    if (ReadRawDword(HKEY_LOCAL_MACHINE, AU_KEY, AU_VALUE) != baseline)
        ReportRefused(&s_refusedMode, liveKey, AU_VALUE);
    return unusual;
}

// --- URL prefix ---------------------------------------------------------------------

static void CheckPrefix()
{
    // No "www" value: the browser falls back to its own default, so there
    // is nothing that could have been changed to ask about.
    char live[WATCHED_TEXT];
    if (ReadTextValue(HKEY_LOCAL_MACHINE, PREFIXES_KEY, PREFIX_VALUE, live, sizeof(live)) <= 0)
        return;
    char baseline[WATCHED_TEXT];
    if (ReadTextValue(HKEY_CURRENT_USER, VX_KEY, PREFIX_BASELINE, baseline, sizeof(baseline)) <= 0)
        TextOrDefault(TEXT_PREFIX_DEFAULT, "http://", baseline, sizeof(baseline));
    if (TextEqualNoCase(baseline, live)) {
        s_refusedPrefix.set = 0;
        return;
    }
    if (IsRefused(&s_refusedPrefix, live))
        return;
    // Yes keeps the original prefix.
    if (!AskWithTwoValues(TEXT_PREFIX_CHANGED, baseline, live)) {
        RegWriteString(HKEY_CURRENT_USER, VX_KEY, PREFIX_BASELINE, live);
        return;
    }
    if (IsWindowsMajor6()) {
        HandOver(&s_refusedPrefix, live, "-SetPrefix");
        return;
    }
    RegWriteString(HKEY_LOCAL_MACHINE, PREFIXES_KEY, PREFIX_VALUE, baseline);
    RegWriteString(HKEY_LOCAL_MACHINE, DEFAULT_PREFIX_KEY, "", baseline);
    char check[WATCHED_TEXT];
    ReadTextValue(HKEY_LOCAL_MACHINE, PREFIXES_KEY, PREFIX_VALUE, check, sizeof(check));
    if (!TextEqualNoCase(check, baseline))
        ReportRefused(&s_refusedPrefix, live, PREFIX_VALUE);
}

int CheckUpdateAndPrefix()
{
    int unusual = CheckUpdateMode();
    CheckPrefix();
    return unusual;
}

// --- Pages ------------------------------------------------------------------------------

struct WatchedPage {
    const char* baselineName;
    int keyText;
    const char* keyDefault;
    int valueText;  // 0: the value name is fixed
    const char* valueDefault;
    int questionText;
};

static const WatchedPage kPages[3] = {
    { "StartPage", 623, "Software\\Microsoft\\Internet Explorer\\Main", 624, "Start Page", 625 },
    { "SearchPage", 623, "Software\\Microsoft\\Internet Explorer\\Main", 675, "Search Page", 676 },
    { "SourcePage", 1016, "Software\\Microsoft\\Internet Explorer\\Desktop\\Components\\0", 0,
      "Source", 1017 },
};

static void RemoveTrailingSlash(char* text)
{
    size_t n = TextLength(text, WATCHED_TEXT);
    if (n > 0 && text[n - 1] == '/')
        text[n - 1] = '\0';
}

// 1 when the page is kept, 0 when it is to be undone, by "HideHomePage".
static int PageAnswer(const WatchedPage& page, const char* live, const char* baseline)
{
    int hide = g_Options[OPT_HideHomePage];
    if (hide == 1)
        return 1;
    if (hide != 0)
        return 0;
    return AskWithTwoValues(page.questionText, live, baseline);
}

static void CheckPage(int index)
{
    const WatchedPage& page = kPages[index];
    char key[VX_PATH], value[VX_PATH];
    TextOrDefault(page.keyText, page.keyDefault, key, sizeof(key));
    if (page.valueText != 0)
        TextOrDefault(page.valueText, page.valueDefault, value, sizeof(value));
    else
        TextCopy(value, page.valueDefault);

    char live[WATCHED_TEXT], baseline[WATCHED_TEXT];
    if (ReadTextValue(HKEY_CURRENT_USER, key, value, live, sizeof(live)) <= 0)
        return;
    if (ReadTextValue(HKEY_CURRENT_USER, VX_KEY, page.baselineName, baseline,
                      sizeof(baseline)) <= 0) {
        if (live[0] != '\0')
            RegWriteString(HKEY_CURRENT_USER, VX_KEY, page.baselineName, live);
        return;
    }
    RemoveTrailingSlash(live);
    RemoveTrailingSlash(baseline);
    if (TextEqualNoCase(live, baseline)) {
        s_refusedPage[index].set = 0;
        return;
    }
    if (IsRefused(&s_refusedPage[index], live))
        return;

    UiNotify(NOTICE_ASKING_ABOUT_SETTING, "");
    g_TraceFirstPatrol = 1;
    if (PageAnswer(page, live, baseline)) {
        RegWriteString(HKEY_CURRENT_USER, VX_KEY, page.baselineName, live);
        return;
    }
    RegWriteString(HKEY_CURRENT_USER, key, value, baseline);
    char check[WATCHED_TEXT];
    ReadTextValue(HKEY_CURRENT_USER, key, value, check, sizeof(check));
    if (!TextEqualNoCase(check, baseline))
        ReportRefused(&s_refusedPage[index], live, value);
}

void CheckBrowserPages()
{
    for (int i = 0; i < 3; i++)
        CheckPage(i);
    TraceElapsed();
}

// --- Category rows ---------------------------------------------------------------

static int PatrolUpdateAndPrefix(const Category*)
{
    CheckUpdateAndPrefix();
    return 0;
}

static int PatrolBrowserPages(const Category*)
{
    CheckBrowserPages();
    return 0;
}

const Category g_UpdatePrefixCategory = {
    "Verify Automatica Updates",  // Label: the trace line before the step
    NULL,                         // DetectedSubkey
    NULL,                         // BaselineKey: values under the main key
    -1,                           // PeriodOption: every patrol, both halves
    -1,                           // RealtimeOption
    -1,                           // HideOption: always asked
    0,                            // Half
    ALERT_STARTUP,                // Alert: asks with UiConfirm, never an alert
    ALERT_STARTUP,                // ReturnAlert
    0,                            // Flags
    NULL,                         // CanRun
    PatrolUpdateAndPrefix,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
};

const Category g_BrowserPagesCategory = {
    "IE Start/Search Page",
    NULL,
    NULL,
    OPT_StartPage,
    OPT_RealtimeStartPage,
    OPT_HideHomePage,
    0,                            // first half
    ALERT_STARTUP,                // asks with UiConfirm, never an alert
    ALERT_STARTUP,
    0,
    NULL,
    PatrolBrowserPages,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
};
