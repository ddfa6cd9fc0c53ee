// The code every watched category shares: the patrol step, the baselines
// and first-detected dates recorded at start, and the history undo.
#include "categories/category.h"

#include "foundation/detected.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/name_table.h"

// The mark of a Detected subkey whose first filling is done.  A value name
// no item can have: item keys are commands, file names and titles.
#define DETECTED_FILLED_MARK "(filled)"

static void DetectedPath(const Category* category, char* out, size_t outSize)
{
    TextFormat(out, outSize, "%s\\%s", VX_DETECTED_KEY, category->DetectedSubkey);
}

static void DescribeItem(const Category* category, const ItemRecord* item, int verdict,
                         AlertRequest* request)
{
    AlertKind kind = verdict == VERDICT_RETURNED ? category->ReturnAlert : category->Alert;
    MakeAlertRequest(request, kind, item->Command, item->Name, item->Code);
    if (category->Describe != NULL)
        category->Describe(item, verdict, request);
}

int PatrolCategory(const Category* category)
{
    if (category->List == NULL || category->TellNew == NULL)
        return 0;
    category->List();
    void* context = NULL;
    int ownTable = category->BeginCompare == NULL && (category->Flags & CAT_BASELINE_TABLE) &&
                   category->BaselineKey != NULL;
    if (category->BeginCompare != NULL)
        context = category->BeginCompare();
    else if (ownTable)
        context = NameTableKeptBaseline(category->BaselineKey);
    int hide = category->HideOption >= 0 ? g_Options[category->HideOption] : 0;
    int asked = 0;
    for (int i = 0; i < ItemCount(); i++) {
        const ItemRecord* listed = GetItem(i);
        if (listed == NULL)
            break;
        // A copy: the answer takes a while, and acting on it may rebuild
        // the shared list.
        ItemRecord item = *listed;
        int verdict = category->TellNew(&item, context);
        if (verdict == VERDICT_STOP)
            break;
        if (verdict == VERDICT_KNOWN)
            continue;
        if (verdict == VERDICT_NEW && category->DetectedSubkey != NULL) {
            char path[128];
            DetectedPath(category, path, sizeof(path));
            RecordDetected(item.Command, path);
        }
        AlertRequest request;
        DescribeItem(category, &item, verdict, &request);
        int answer = AskOrAutoAnswer(hide, &request);
        asked++;
        if (answer != ANSWER_NONE && category->Act != NULL)
            category->Act(&item, verdict, answer);
    }
    if (category->EndCompare != NULL)
        category->EndCompare(context);
    return asked;
}

int RunCategoryStep(const Category* category)
{
    if (category->Patrol != NULL)
        return category->Patrol(category);
    PatrolCategory(category);
    return 0;
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

void InitCategoryBaselines()
{
    for (int i = 0; i < CategoryCount(); i++) {
        const Category* category = CategoryAt(i);
        if (category->BaselineKey == NULL || category->InitBaseline == NULL)
            continue;
        if (BaselineBuilt(category->BaselineKey))
            continue;
        RegCreateKeyPath(HKEY_CURRENT_USER, category->BaselineKey);
        if (category->InitBaseline())
            MarkBaselineBuilt(category->BaselineKey);
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
