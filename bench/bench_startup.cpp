// Cost of the startup patrol against the number of Run values: building the
// startup list, the baseline comparison of every patrol, and the floor (a
// bare loop that opens the Run keys and enumerates their values).
#include <windows.h>
#include <objbase.h>

#include <stdio.h>
#include <string.h>

#include "bench/bench.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "startup/autostart.h"
#include "foundation/item_list.h"

#define BENCH_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define BENCH_REPEAT 7

static void PlantedName(int i, char* out, size_t size)
{
    TextFormat(out, size, "VxBench%05d", i);
}

static void PlantedCommand(int i, char* out, size_t size)
{
    TextFormat(out, size, "\"C:\\Program Files\\Bench Tools\\tool%05d.exe\" /background", i);
}

void BenchPlantRunValues(int from, int to)
{
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, BENCH_RUN_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    for (int i = from; i < to; i++) {
        char name[32], command[128];
        PlantedName(i, name, sizeof(name));
        PlantedCommand(i, command, sizeof(command));
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)command, (DWORD)strlen(command) + 1);
    }
}

void BenchUnplantRunValues(int count)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, BENCH_RUN_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < count; i++) {
        char name[32];
        PlantedName(i, name, sizeof(name));
        RegDeleteValueA(key, name);
    }
}

// Baseline values this benchmark added (and removes again).
static char (*g_Added)[ITEM_COMMAND] = NULL;
static int g_AddedCount = 0;

static void CompleteBaseline()
{
    ItemList* list = BenchItems();
    int count = BuildStartupList(list, 0);
    for (int i = 0; i < count; i++) {
        char key[ITEM_COMMAND];
        BaselineKeyOf(GetItemCommand(list, i), key, sizeof(key));
        char text[16];
        if (RegReadString(HKEY_CURRENT_USER, VX_RUN_KEY, key, text, sizeof(text)) > 0)
            continue;
        TEXT_FORMAT(text, "%d", GetItemCode(list, i));
        RegWriteString(HKEY_CURRENT_USER, VX_RUN_KEY, key, text);
        if (g_AddedCount < ITEM_MAX)
            TextCopy(g_Added[g_AddedCount++], key);
    }
}

static void ForgetAddedBaseline()
{
    for (int i = 0; i < g_AddedCount; i++)
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_RUN_KEY, g_Added[i]);
    g_AddedCount = 0;
}

// The floor: what any scan of the Run families must do at least.
static int EnumerateRunKeys()
{
    int values = 0;
    int wow64 = Wow64FamilyPresent();
    for (int code = 1; code <= 27; code++) {
        if (!IsRunFamilyCode(code) || (code > 20 && !wow64))
            continue;
        RegKey key;
        HKEY root = RunPlaceRoot(code);
        if (key.Open(root, RunPlacePath(code), KEY_READ | StartupView(root)) != ERROR_SUCCESS)
            continue;
        for (DWORD index = 0;; index++) {
            char name[512], data[1024];
            DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
            LONG rc = RegEnumValueA(key, index, name, &nameSize, NULL, &type, (BYTE*)data,
                                    &dataSize);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            values++;
        }
    }
    return values;
}

static int BuildFull() { return BuildStartupList(BenchItems(), 0); }

void BenchStartupList()
{
    LoadOptions();
    // As in the monitor, which keeps COM initialised from start to exit.
    CoInitialize(NULL);
    g_Added = (char (*)[ITEM_COMMAND])GlobalAlloc(GPTR, sizeof(char[ITEM_COMMAND]) * ITEM_MAX);
    if (g_Added == NULL)
        return;
    const int sizes[4] = { 10, 100, 1000, 4000 };
    BenchPairHeading("Startup list against planted HKCU Run values", BENCH_REPEAT);
    int planted = 0;
    for (int s = 0; s < 4; s++) {
        BenchPlantRunValues(planted, sizes[s]);
        planted = sizes[s];
        CompleteBaseline();
        // An idle patrol meets a baseline written long before.
        Sleep(1100);
        const BenchStep steps[] = { StartupChanged, BuildFull, EnumerateRunKeys };
        BenchCost cost[3];
        BenchTwoAgainstFloor(steps, BENCH_REPEAT, "StartupChanged", sizes[s], "values",
                             "  BuildStartupList", "an entry was taken for new", cost);
    }
    printf("\n");
    ForgetAddedBaseline();
    BenchUnplantRunValues(planted);
    ClearItems(BenchItems());
    GlobalFree(g_Added);
    g_Added = NULL;
    CoUninitialize();
}
