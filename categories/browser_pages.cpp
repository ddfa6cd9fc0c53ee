#include "categories/browser_pages.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

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
#define TEXT_NO_PAGE 1062        // a page deleted or emptied, as a question shows it
#define TEXT_PAGE_NOT_TEXT 1063  // a page rewritten as another type of value
#define TEXT_PREFIX_CHANGED 1065

// Text read from the prefix value, and what is remembered of a refused
// value: as long as the longest address the browser takes (2083
// characters).  Pages themselves are read whole (PageValue).
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
// each cut to SHOWN_TEXT; with yesByDefault Enter answers Yes, else No.
static int AskWithTwoValues(int textId, const char* first, const char* second,
                            int yesByDefault)
{
    char pattern[1024];
    LoadText(textId, pattern, sizeof(pattern));
    char firstShown[SHOWN_TEXT + 1], secondShown[SHOWN_TEXT + 1];
    TextCutVisibly(firstShown, sizeof(firstShown), first, SHOWN_TEXT);
    TextCutVisibly(secondShown, sizeof(secondShown), second, SHOWN_TEXT);
    const char* values[2] = { firstShown, secondShown };
    char question[QUESTION_TEXT];
    TextFill(question, sizeof(question), pattern, values, 2);
    return yesByDefault ? UiConfirmYesByDefault(question) : UiConfirm(question);
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
    if (!AskWithTwoValues(TEXT_UPDATE_CHANGED, before, after, 0)) {
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
    if (!AskWithTwoValues(TEXT_PREFIX_CHANGED, baseline, live, 0)) {
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

int ApplyApprovedUpdateMode()
{
    DWORD mode = ReadRawDword(HKEY_CURRENT_USER, VX_KEY, AU_VALUE);
    if (mode < 1 || mode > 5)
        return 0;
    return RegWriteDword(HKEY_LOCAL_MACHINE, AU_KEY, AU_VALUE, mode);
}

int ApplyApprovedPrefix()
{
    char prefix[WATCHED_TEXT];
    if (ReadTextValue(HKEY_CURRENT_USER, VX_KEY, PREFIX_BASELINE, prefix, sizeof(prefix)) <= 0)
        TextOrDefault(TEXT_PREFIX_DEFAULT, "http://", prefix, sizeof(prefix));
    int written = RegWriteString(HKEY_LOCAL_MACHINE, PREFIXES_KEY, PREFIX_VALUE, prefix);
    return RegWriteString(HKEY_LOCAL_MACHINE, DEFAULT_PREFIX_KEY, "", prefix) && written;
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

// A page as stored, in the watched value or as its baseline: missing (the
// value or its key), a text of any length, or a value of another type,
// kept as its bytes so that an approved one can be compared and put back.
#define PAGE_ROOM 4096
enum PageState { PAGE_UNREAD = -1, PAGE_MISSING = 0, PAGE_FOUND = 1 };

struct PageValue {
    int state = PAGE_MISSING;
    DWORD type = REG_NONE;
    DWORD size = 0;          // bytes of data
    char* data = room;       // room, or a block of its own for a long value
    char room[PAGE_ROOM + 2];
    PageValue() { room[0] = '\0'; }
    ~PageValue()
    {
        if (data != room)
            free(data);
    }
    PageValue(const PageValue&) = delete;
    PageValue& operator=(const PageValue&) = delete;
};

// Reads a value whatever its type and length.  A value that could not be
// read (memory, or it changed between the two reads of a long one) is
// PAGE_UNREAD: not compared in this patrol.
static void ReadPage(HKEY root, const char* path, const char* name, PageValue* page)
{
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return;
    DWORD size = PAGE_ROOM;
    LONG rc = RegQueryValueExA(key, name, NULL, &page->type, (BYTE*)page->room, &size);
    if (rc == ERROR_MORE_DATA) {
        char* block = (char*)malloc((size_t)size + 2);
        DWORD room = size;
        if (block == NULL ||
            RegQueryValueExA(key, name, NULL, &page->type, (BYTE*)block, &size) != ERROR_SUCCESS ||
            size > room) {
            free(block);
            page->state = PAGE_UNREAD;
            return;
        }
        page->data = block;
    } else if (rc != ERROR_SUCCESS) {
        return;
    }
    // The data need not end in a zero.
    page->data[size] = '\0';
    page->data[size + 1] = '\0';
    page->size = size;
    page->state = PAGE_FOUND;
}

// The page's text: "" when there is none, NULL when it is not a text.
static const char* PageText(const PageValue& page)
{
    if (page.state != PAGE_FOUND)
        return "";
    if (page.type != REG_SZ && page.type != REG_EXPAND_SZ)
        return NULL;
    return page.data;
}

// One trailing "/" makes no difference to a page: it is dropped.
static void RemoveTrailingSlash(PageValue* page)
{
    const char* text = PageText(*page);
    if (text == NULL || text[0] == '\0')
        return;
    size_t n = strlen(page->data);
    if (page->data[n - 1] == '/')
        page->data[n - 1] = '\0';
}

// Texts compare ignoring case, no page equals an empty text, and a value of
// another type equals only the same bytes of the same type.
static int SamePage(const PageValue& a, const PageValue& b)
{
    const char* textA = PageText(a);
    const char* textB = PageText(b);
    if (textA != NULL && textB != NULL)
        return TextEqualNoCase(textA, textB);
    if (textA != NULL || textB != NULL)
        return 0;
    return a.type == b.type && a.size == b.size && memcmp(a.data, b.data, a.size) == 0;
}

// A short text telling one state of a page from another, for the memory of
// a refused restore: the text itself, or the type, length and a digest of
// the bytes of another value.
static void PageFingerprint(const PageValue& page, char* out, size_t outSize)
{
    const char* text = PageText(page);
    if (text != NULL) {
        TextCopy(out, outSize, text);
        return;
    }
    unsigned h = 2166136261u;
    for (DWORD i = 0; i < page.size; i++)
        h = (h ^ (unsigned char)page.data[i]) * 16777619u;
    TextFormat(out, outSize, "\x01%lu:%lu:%08x", (unsigned long)page.type,
               (unsigned long)page.size, h);
}

// What the question shows for a page: its text, else what it is now.
static const char* ShownPage(const PageValue& page, char* label, int labelSize)
{
    const char* text = PageText(page);
    if (text != NULL && text[0] != '\0')
        return text;
    if (text == NULL)
        TextOrDefault(TEXT_PAGE_NOT_TEXT, "(not a text value)", label, labelSize);
    else
        TextOrDefault(TEXT_NO_PAGE, "(no page)", label, labelSize);
    return label;
}

// Writes a page: a text as REG_SZ (creating the key), another value as its
// own type and bytes.  No page is an empty text for a baseline; a watched
// value is deleted for it, as the page was when it was approved.
static void WritePage(HKEY root, const char* path, const char* name, const PageValue& page,
                      int isBaseline)
{
    const char* text = PageText(page);
    if (text != NULL && text[0] == '\0' && !isBaseline) {
        RegDeleteValueNamed(root, path, name);
        return;
    }
    if (text != NULL) {
        RegWriteString(root, path, name, text);
        return;
    }
    RegKey key;
    if (key.Create(root, path, KEY_SET_VALUE) == ERROR_SUCCESS)
        RegSetValueExA(key, name, 0, page.type, (const BYTE*)page.data, page.size);
}

// 1 when the page is kept, 0 when it is to be undone, by "HideHomePage".
// The question's text tells the user that Enter keeps the page.
static int PageAnswer(const WatchedPage& page, const char* live, const char* baseline)
{
    int hide = g_Options[OPT_HideHomePage];
    if (hide == 1)
        return 1;
    if (hide != 0)
        return 0;
    return AskWithTwoValues(page.questionText, live, baseline, 1);
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

    PageValue live, baseline;
    ReadPage(HKEY_CURRENT_USER, key, value, &live);
    ReadPage(HKEY_CURRENT_USER, VX_KEY, page.baselineName, &baseline);
    if (live.state == PAGE_UNREAD || baseline.state == PAGE_UNREAD)
        return;
    if (baseline.state == PAGE_MISSING) {
        // First use: the page there is the approved one.  Until there is
        // one, nothing is approved and nothing compared.
        const char* text = PageText(live);
        if (text != NULL && text[0] != '\0')
            RegWriteString(HKEY_CURRENT_USER, VX_KEY, page.baselineName, text);
        return;
    }
    RemoveTrailingSlash(&live);
    RemoveTrailingSlash(&baseline);
    if (SamePage(live, baseline)) {
        s_refusedPage[index].set = 0;
        return;
    }
    char fingerprint[WATCHED_TEXT];
    PageFingerprint(live, fingerprint, sizeof(fingerprint));
    if (IsRefused(&s_refusedPage[index], fingerprint))
        return;

    UiNotify(NOTICE_ASKING_ABOUT_SETTING, "");
    g_TraceFirstPatrol = 1;
    char liveLabel[128], baselineLabel[128];
    if (PageAnswer(page, ShownPage(live, liveLabel, sizeof(liveLabel)),
                   ShownPage(baseline, baselineLabel, sizeof(baselineLabel)))) {
        // An approved "no page" is kept as an empty baseline, which is
        // compared (a page appearing later is a change), never seeded.
        WritePage(HKEY_CURRENT_USER, VX_KEY, page.baselineName, live, 1);
        return;
    }
    WritePage(HKEY_CURRENT_USER, key, value, baseline, 0);
    PageValue check;
    ReadPage(HKEY_CURRENT_USER, key, value, &check);
    RemoveTrailingSlash(&check);
    if (!SamePage(check, baseline))
        ReportRefused(&s_refusedPage[index], fingerprint, value);
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

static const WatchPlace s_prefixWatch[] = {
    { WATCH_KEY, HKEY_LOCAL_MACHINE, AU_KEY, NULL, 0 },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, PREFIXES_KEY, NULL, 0 },
    { WATCH_KEY, HKEY_LOCAL_MACHINE, DEFAULT_PREFIX_KEY, NULL, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

static const WatchPlace s_pagesWatch[] = {
    { WATCH_KEY, HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", NULL, 0 },
    { WATCH_KEY, HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Desktop", NULL,
      WATCH_SUBTREE },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_UpdatePrefixCategory = {
    "Verify Automatica Updates",  // Label: the trace line before the step
    NULL,                         // DetectedSubkey
    NULL,                         // BaselineKey: values under the main key
    -1,                           // PeriodOption: every patrol, both halves
    -1,                           // RealtimeOption
    -1,                           // HideOption: always asked
    0,                            // Half
    NULL,                         // Alert: asks with UiConfirm, never an alert
    NULL,                         // ReturnAlert
    0,                            // Flags
    NULL,                         // CanRun
    PatrolUpdateAndPrefix,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    s_prefixWatch,
};

const Category g_BrowserPagesCategory = {
    "IE Start/Search Page",
    NULL,
    NULL,
    OPT_StartPage,
    OPT_RealtimeStartPage,
    OPT_HideHomePage,
    0,                            // first half
    NULL,                         // asks with UiConfirm, never an alert
    NULL,
    0,
    NULL,
    PatrolBrowserPages,
    NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
    s_pagesWatch,
};
