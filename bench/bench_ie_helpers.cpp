// Cost of one IE helper patrol against the number of helper objects, and of
// one file-type patrol over the default monitored list, each beside its
// floor: a bare walk over the helper key opening each class's server key,
// and a bare read of each extension's association.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "categories/filetype.h"
#include "categories/ie_helpers.h"
#include "foundation/handles.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"

#define BENCH_REPEAT 15

static void HelperClsid(int i, char* out, size_t size)
{
    TextFormat(out, size, "{BE0C0000-0000-4000-8000-%012d}", i);
}

// Each helper's server file exists, as an installed helper's does (an
// empty file: no version resource to read).
void BenchPlantHelpers(int from, int to)
{
    CreateDirectoryA("C:\\Program Files\\Bench Helpers", NULL);
    for (int i = from; i < to; i++) {
        char clsid[64], key[128], file[VX_PATH];
        HelperClsid(i, clsid, sizeof(clsid));
        TEXT_FORMAT(key, "CLSID\\%s\\InprocServer32", clsid);
        TEXT_FORMAT(file, "C:\\Program Files\\Bench Helpers\\helper%04d.dll", i);
        FileHandle created(CreateFileA(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        RegWriteString(HKEY_CLASSES_ROOT, key, "", file);
        TEXT_FORMAT(key, "%s\\%s", BHO_KEY, clsid);
        RegCreateKeyPath(HKEY_LOCAL_MACHINE, key);
        RegWriteString(HKEY_CURRENT_USER, VX_IEHELPERS_KEY, file + 31, "900");
    }
}

void BenchUnplantHelpers(int count)
{
    for (int i = 0; i < count; i++) {
        char clsid[64], key[128];
        HelperClsid(i, clsid, sizeof(clsid));
        TEXT_FORMAT(key, "CLSID\\%s", clsid);
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, key);
        char file[VX_PATH];
        TEXT_FORMAT(file, "C:\\Program Files\\Bench Helpers\\helper%04d.dll", i);
        DeleteFileA(file);
    }
    RemoveDirectoryA("C:\\Program Files\\Bench Helpers");
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, BHO_KEY);
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_IEHELPERS_KEY);
}

static int WalkHelpersBare()
{
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, BHO_KEY, KEY_READ) != ERROR_SUCCESS)
        return 0;
    int opened = 0;
    for (DWORD index = 0;; index++) {
        char clsid[256];
        DWORD size = sizeof(clsid);
        if (RegEnumKeyExA(root, index, clsid, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        char key[300];
        TEXT_FORMAT(key, "CLSID\\%s\\InprocServer32", clsid);
        RegKey server;
        if (server.Open(HKEY_CLASSES_ROOT, key, KEY_QUERY_VALUE) == ERROR_SUCCESS)
            opened++;
    }
    return opened;
}

static int PatrolHelpersOnce()
{
    int asked = PatrolIEHelpers();
    return asked == 0 ? 1 : -1;
}

static int ListHelpersOnce()
{
    return EnumIEHelpers(BenchItems());
}

static void BenchHelperPatrol()
{
    BenchPairHeading("IE helper patrol against planted helper objects", BENCH_REPEAT);
    static const int sizes[] = { 10, 200 };
    int planted = 0;
    for (int size : sizes) {
        BenchPlantHelpers(planted, size);
        planted = size;
        // An idle patrol meets a baseline written long before.
        Sleep(1100);
        const BenchStep steps[] = { PatrolHelpersOnce, ListHelpersOnce, WalkHelpersBare };
        BenchCost cost[3];
        BenchTwoAgainstFloor(steps, BENCH_REPEAT, "PatrolIEHelpers", size, "helpers",
                             "  EnumIEHelpers alone", NULL, cost);
    }
    BenchUnplantHelpers(planted);
    printf("\n");
}

// --- File types ------------------------------------------------------------------

static void ReadAssociationBare(const char* dotExt, int kind, int* read)
{
    char classPath[300], command[FILETYPE_COMMAND], className[FILETYPE_COMMAND];
    HKEY root = kind == 1 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (kind == 1)
        TEXT_FORMAT(classPath, "Software\\Classes\\%s", dotExt);
    else
        TEXT_FORMAT(classPath, "%s\\%s", FILEEXTS_KEY, dotExt);
    const char* name = kind == 1 ? "" : kind == 2 ? "Application" : "ProgID";
    if (RegReadString(root, classPath, name, className, sizeof(className)) == 0)
        return;
    char path[FILETYPE_COMMAND + 64];
    if (kind == 1)
        TEXT_FORMAT(path, "Software\\Classes\\%s\\shell\\open\\command", className);
    else if (kind == 2)
        TEXT_FORMAT(path, "Applications\\%s\\shell\\open\\command", className);
    else
        TEXT_FORMAT(path, "%s\\shell\\open\\command", className);
    if (RegReadString(kind == 1 ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT, path, "", command,
                      sizeof(command)) > 0)
        (*read)++;
}

static int ReadAssociationsBare()
{
    char list[FILETYPE_LIST_MAX + 1];
    ReadFileTypeList(list, sizeof(list));
    int read = 0;
    char* p = list;
    while (*p != '\0') {
        char* end = strchr(p, ';');
        if (end != NULL)
            *end = '\0';
        char dotExt[300];
        TEXT_FORMAT(dotExt, ".%s", p);
        for (int kind = 1; kind <= 3; kind++)
            ReadAssociationBare(dotExt, kind, &read);
        if (end == NULL)
            break;
        p = end + 1;
    }
    return read;
}

static int PatrolFileTypesOnce()
{
    return PatrolFileTypes();
}

static void BenchFileTypePatrol()
{
    CreateClassInfo();
    const BenchStep steps[] = { PatrolFileTypesOnce, ReadAssociationsBare };
    BenchCost cost[2];
    BenchInTurns(steps, 2, BENCH_REPEAT, cost);
    BenchPairHeading("File-type patrol over the default monitored list", BENCH_REPEAT);
    char what[64];
    TEXT_FORMAT(what, "PatrolFileTypes, %d associations", cost[1].result);
    BenchPairRow(what, cost[0], cost[1]);
    printf("\n");
}

void BenchIEHelpers()
{
    LoadOptions();
    BenchHelperPatrol();
    BenchFileTypePatrol();
}
