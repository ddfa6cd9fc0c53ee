// The code every watched category shares: the patrol step, the baselines
// and first-detected dates recorded at start, and the history undo.
#include "categories/category.h"

#include "foundation/detected.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/handles.h"
#include "foundation/name_table.h"
#include "foundation/trace.h"

// The mark of a Detected subkey whose first filling is done.  A value name
// no item can have: item keys are commands, file names and titles.

static void DetectedPath(const Category* category, char* out, size_t outSize)
{
    TextFormat(out, outSize, "%s\\%s", VX_DETECTED_KEY, category->DetectedSubkey);
}

void DescribeCategoryItem(const Category* category, const ItemRecord* item, int verdict,
                          AlertRequest* request)
{
    const AlertDescription* alert =
        verdict == VERDICT_RETURNED ? category->ReturnAlert : category->Alert;
    MakeAlertRequest(request, alert, item->Command, item->Name, item->Code);
    if (category->Describe != NULL)
        category->Describe(item, verdict, request);
}

static int HasBaseline(const Category* category)
{
    return category->BaselineKey != NULL && category->InitBaseline != NULL;
}

int BaselineBuilt(const char* key)
{
    char mark[4];
    RegReadString(HKEY_CURRENT_USER, key, "", mark, sizeof(mark));
    return TextEqualNoCase(mark, "P");
}

void MarkBaselineBuilt(const char* key)
{
    RegWriteString(HKEY_CURRENT_USER, key, "", "P");
}

static int CategoryBaselineBuilt(const Category* category)
{
    if (category->BaselineReady != NULL)
        return category->BaselineReady();
    return BaselineBuilt(category->BaselineKey);
}

// A key with values and no default value at all: a baseline recorded
// before marks were written.
static int UnmarkedWithValues(const char* key)
{
    RegKey open;
    if (open.Open(HKEY_CURRENT_USER, key, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(open, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS ||
        values == 0)
        return 0;
    return RegQueryValueExA(open, "", NULL, NULL, NULL, NULL) == ERROR_FILE_NOT_FOUND;
}

int BuildCategoryBaseline(const Category* category)
{
    if (category->BaselineReady == NULL) {
        char mark[64];
        if (RegReadString(HKEY_CURRENT_USER, category->BaselineKey, "", mark, sizeof(mark)) > 0 &&
            !TextEqualNoCase(mark, "P"))
            RegDeleteKeyTree(HKEY_CURRENT_USER, category->BaselineKey);
        RegCreateKeyPath(HKEY_CURRENT_USER, category->BaselineKey);
    }
    if (!category->InitBaseline())
        return 0;
    if (category->BaselineReady == NULL)
        MarkBaselineBuilt(category->BaselineKey);
    return 1;
}

// Before a step compares: a baseline without its mark (never built,
// thrown away by a registry cleaner or the user, half made) is recorded
// silently, as at start, and nothing is compared against it this time:
// an empty baseline would make every installed item new.  For a row
// whose baseline is kept as a table, *table receives it.  1 when the step
// may compare.
static int BaselineReadyForStep(const Category* category, NameTable** table)
{
    *table = NULL;
    if (!HasBaseline(category))
        return 1;
    if (category->BaselineReady == NULL && (category->Flags & CAT_BASELINE_TABLE)) {
        int marked = 0;
        *table = NameTableKeptBaselineMarked(category->BaselineKey, &marked);
        if (*table != NULL && marked)
            return 1;
        if (*table == NULL && BaselineBuilt(category->BaselineKey))
            return 1;
    } else if (CategoryBaselineBuilt(category)) {
        return 1;
    }
    TraceNote("BASELINE", category->Label);
    BuildCategoryBaseline(category);
    *table = NULL;
    return 0;
}

// The generic step over a list the step owns: an answer that takes a
// while, and whatever runs meanwhile (a command from the tray, another
// listing), cannot change what it walks.
static int PatrolOwnList(const Category* category, NameTable* table)
{
    ItemList listed;
    category->List(&listed);
    void* context = NULL;
    if (category->BeginCompare != NULL)
        context = category->BeginCompare();
    else if ((category->Flags & CAT_BASELINE_TABLE) && category->BaselineKey != NULL)
        context = table != NULL ? table : NameTableKeptBaseline(category->BaselineKey);
    int hide = category->HideOption >= 0 ? g_Options[category->HideOption] : 0;
    int asked = 0;
    for (int i = 0; i < ItemCount(&listed); i++) {
        const ItemRecord* item = GetItem(&listed, i);
        int verdict = category->TellNew(item, context);
        if (verdict == VERDICT_STOP)
            break;
        if (verdict == VERDICT_KNOWN)
            continue;
        if (verdict == VERDICT_NEW && category->DetectedSubkey != NULL) {
            char path[128];
            DetectedPath(category, path, sizeof(path));
            RecordDetected(item->Command, path);
        }
        AlertRequest request;
        DescribeCategoryItem(category, item, verdict, &request);
        int answer = AskOrAutoAnswer(hide, &request);
        asked++;
        if (answer != ANSWER_NONE && category->Act != NULL)
            category->Act(item, verdict, answer);
    }
    if (category->EndCompare != NULL)
        category->EndCompare(context);
    return asked;
}

int PatrolCategory(const Category* category)
{
    if (category->List == NULL || category->TellNew == NULL)
        return 0;
    NameTable* table = NULL;
    if (!BaselineReadyForStep(category, &table))
        return 0;
    return PatrolOwnList(category, table);
}

int RunCategoryStep(const Category* category)
{
    if (category->Patrol == NULL) {
        PatrolCategory(category);
        return 0;
    }
    NameTable* table = NULL;
    if (!BaselineReadyForStep(category, &table))
        return 0;
    return category->Patrol(category);
}

void InitCategoryBaselines()
{
    for (int i = 0; i < CategoryCount(); i++) {
        const Category* category = CategoryAt(i);
        if (!HasBaseline(category) || CategoryBaselineBuilt(category))
            continue;
        if ((category->Flags & CAT_ADOPTS_UNMARKED) && category->BaselineReady == NULL &&
            UnmarkedWithValues(category->BaselineKey)) {
            MarkBaselineBuilt(category->BaselineKey);
            continue;
        }
        BuildCategoryBaseline(category);
    }
}

void CleanupRunRegistry()
{
    for (int i = 0; i < CategoryCount(); i++) {
        const Category* category = CategoryAt(i);
        if (!(category->Flags & CAT_CLEANED_UP) || !HasBaseline(category))
            continue;
        RegDeleteKeyTree(HKEY_CURRENT_USER, category->BaselineKey);
        BuildCategoryBaseline(category);
    }
}

void InitCategoryDetected()
{
    for (int i = 0; i < CategoryCount(); i++) {
        const Category* category = CategoryAt(i);
        if (category->DetectedSubkey == NULL || category->RecordDetected == NULL)
            continue;
        char path[128];
        DetectedPath(category, path, sizeof(path));
        char mark[VX_DATE_TEXT];
        if (RegReadString(HKEY_CURRENT_USER, path, DETECTED_FILLED_MARK, mark, sizeof(mark)) > 0)
            continue;
        RegCreateKeyPath(HKEY_CURRENT_USER, path);
        if (!category->RecordDetected())
            continue;
        FormatNow(mark);
        RegWriteString(HKEY_CURRENT_USER, path, DETECTED_FILLED_MARK, mark);
    }
}

int UndoHistoryLine(const ItemRecord* line)
{
    if (line == NULL)
        return 0;
    for (int i = 0; i < CategoryCount(); i++) {
        const Category* category = CategoryAt(i);
        if (category->Undo == NULL)
            continue;
        int result = category->Undo(line);
        if (result >= 0)
            return result;
    }
    return 0;
}
