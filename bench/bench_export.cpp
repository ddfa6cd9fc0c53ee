// Cost of the export of the settings with 4,000 Run baseline values and
// 5,000 hidden-file values in the store, against the floor of one walk of
// the same keys (every value read into buffers of the key's own figures)
// plus one buffered write of as many bytes as the export wrote.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "bench/bench.h"
#include "categories/hidden_files.h"
#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "reports/settings_export.h"

#define EXPORT_REPEAT 7
#define EXPORT_RUN_VALUES 4000
#define EXPORT_HIDDEN_VALUES 5000

static char s_script[MAX_PATH];
static char s_floorFile[MAX_PATH];
static DWORD s_scriptBytes;

static int ExportStep()
{
    ExportOutcome outcome;
    WriteSettingsScript(s_script, &outcome);
    return outcome.Values;
}

static int WalkKey(HKEY root, const char* path)
{
    RegKey key;
    DWORD subkeys = 0, maxSubkey = 0, maxName = 0, maxData = 0;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS ||
        RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, &maxSubkey, NULL, NULL, &maxName,
                         &maxData, NULL, NULL) != ERROR_SUCCESS)
        return 0;
    char* name = (char*)malloc(maxName + 1);
    BYTE* data = (BYTE*)malloc(maxData + 1);
    int values = 0;
    for (DWORD i = 0;; i++) {
        DWORD nameSize = maxName + 1, dataSize = maxData + 1, type;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        values++;
    }
    free(name);
    free(data);
    char sub[256];
    for (DWORD i = 0;; i++) {
        DWORD size = sizeof(sub);
        if (RegEnumKeyExA(key, i, sub, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        char subpath[1024];
        TEXT_FORMAT(subpath, "%s\\%s", path, sub);
        values += WalkKey(root, subpath);
    }
    return values;
}

static int ExportFloor()
{
    int values = WalkKey(HKEY_CURRENT_USER, EXPORT_USER_TREE) +
                 WalkKey(HKEY_LOCAL_MACHINE, EXPORT_MACHINE_TREE);
    char* block = (char*)calloc(s_scriptBytes + 1, 1);
    FileHandle file(CreateFileA(s_floorFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD written = 0;
    WriteFile(file.Get(), block, s_scriptBytes, &written, NULL);
    free(block);
    return values;
}

static void PlantStore()
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_RUN_KEY);
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    RegKey run, hidden;
    run.Create(HKEY_CURRENT_USER, VX_RUN_KEY);
    hidden.Create(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    for (int i = 0; i < EXPORT_RUN_VALUES; i++) {
        char name[32], command[MAX_PATH];
        TEXT_FORMAT(name, "VxBench%d", i);
        TEXT_FORMAT(command, "\"C:\\Program Files\\Bench Tools\\tool%d.exe\" /background", i);
        RegSetValueExA(run, name, 0, REG_SZ, (const BYTE*)command, (DWORD)strlen(command) + 1);
    }
    for (int i = 0; i < EXPORT_HIDDEN_VALUES; i++) {
        char path[MAX_PATH];
        TEXT_FORMAT(path, "C:\\windows\\temp\\vxbench\\hidden%05d.bin", i);
        RegSetValueExA(hidden, path, 0, REG_SZ, (const BYTE*)"12/8/2026", 10);
    }
}

void BenchExport()
{
    PlantStore();
    GetTempPathA(MAX_PATH, s_script);
    TextCopy(s_floorFile, s_script);
    TextAppend(s_script, "vxbench-export.reg");
    TextAppend(s_floorFile, "vxbench-floor.reg");
    ExportStep();
    WIN32_FILE_ATTRIBUTE_DATA info;
    s_scriptBytes = GetFileAttributesExA(s_script, GetFileExInfoStandard, &info)
                        ? info.nFileSizeLow : 0;
    const BenchStep steps[] = { ExportStep, ExportFloor };
    BenchCost cost[2];
    BenchInTurns(steps, 2, EXPORT_REPEAT, cost);
    BenchPairHeading("Export of the settings (floor: walk of the same keys + one write)",
                     EXPORT_REPEAT);
    char what[64];
    TEXT_FORMAT(what, "export, %d values, %lu KB", cost[0].result,
                (unsigned long)(s_scriptBytes / 1024));
    BenchPairRow(what, cost[0], cost[1]);
    printf("\n");
    DeleteFileA(s_script);
    DeleteFileA(s_floorFile);
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_RUN_KEY);
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
}
