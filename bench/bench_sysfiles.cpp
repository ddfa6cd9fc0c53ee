// Cost of the cookie filter on a 10,000-line cookies.txt against the floor
// of reading the file and splitting it into lines, and of the hidden-file
// patrol with 5,000 hidden files in the temporary folder against a bare
// FindFirstFile walk of the same folders.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "categories/cookies.h"
#include "categories/hidden_files.h"
#include "foundation/handles.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/path_text.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"

#define SYS_REPEAT 7
#define COOKIE_LINES 10000
#define HIDDEN_FILES 5000

static char s_profile[MAX_PATH];
static char s_cookies[MAX_PATH];

static int CookieFloor()
{
    FileHandle file(CreateFileA(s_cookies, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                0, NULL));
    DWORD size = GetFileSize(file.Get(), NULL);
    char* block = (char*)GlobalAlloc(GMEM_FIXED, size + 1);
    DWORD got = 0;
    ReadFile(file.Get(), block, size, &got, NULL);
    int lines = 0;
    for (const char* p = block; p < block + got;) {
        const char* end = (const char*)memchr(p, '\n', (size_t)(block + got - p));
        lines++;
        if (end == NULL)
            break;
        p = end + 1;
    }
    GlobalFree(block);
    return lines;
}

// The floor plus what any rewrite must add: the kept bytes written to a
// new file that is renamed into place.
static int CookieFloorWithWrite()
{
    FileHandle file(CreateFileA(s_cookies, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                0, NULL));
    DWORD size = GetFileSize(file.Get(), NULL);
    char* block = (char*)GlobalAlloc(GMEM_FIXED, size + 1);
    DWORD got = 0;
    ReadFile(file.Get(), block, size, &got, NULL);
    int lines = 0;
    for (const char* p = block; p < block + got;) {
        const char* end = (const char*)memchr(p, '\n', (size_t)(block + got - p));
        lines++;
        if (end == NULL)
            break;
        p = end + 1;
    }
    char temporary[MAX_PATH * 2], target[MAX_PATH * 2];
    TEXT_FORMAT(temporary, "%s\\floor.tmp", s_profile);
    TEXT_FORMAT(target, "%s\\floor.txt", s_profile);
    {
        FileHandle out(CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        DWORD written = 0;
        WriteFile(out.Get(), block, got, &written, NULL);
    }
    MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING);
    GlobalFree(block);
    return lines;
}

static int CookieFilter()
{
    return ListCookies(BenchItems(), 1);
}

static void PrepareCookies()
{
    GetModuleFileNameA(NULL, s_profile, MAX_PATH);
    *strrchr(s_profile, '\\') = '\0';
    TextAppend(s_profile, "\\benchprofile");
    CreateDirectoryA(s_profile, NULL);
    TEXT_FORMAT(s_cookies, "%s\\cookies.txt", s_profile);
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, "CookieFolder", s_profile);
    RegWriteString(HKEY_CURRENT_USER, VX_NUTS_KEY, "tracker", "1");
    FileHandle file(CreateFileA(s_cookies, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    char line[256];
    for (int i = 0; i < COOKIE_LINES; i++) {
        TEXT_FORMAT(line, ".site%d.%s.example\tTRUE\t/\tFALSE\t1700000000\tid%d\tvalue%08d\r\n",
                    i, i % 10 == 0 ? "tracker" : "shop", i, i * 7);
        DWORD written = 0;
        WriteFile(file.Get(), line, (DWORD)strlen(line), &written, NULL);
    }
}

static char s_walkFolders[5][MAX_PATH];
static int s_walkDepths[5];
static int s_walkCount;

static int Walk(const char* folder, int depth)
{
    char pattern[MAX_PATH * 2];
    TEXT_FORMAT(pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(pattern, &found));
    if (!find.IsValid())
        return 0;
    int hidden = 0;
    do {
        if (found.cFileName[0] == '.')
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth > 0) {
                char sub[MAX_PATH * 2];
                TEXT_FORMAT(sub, "%s\\%s", folder, found.cFileName);
                hidden += Walk(sub, depth - 1);
            }
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) {
            hidden++;
        }
    } while (FindNextFileA(find.Get(), &found));
    return hidden;
}

static int HiddenFloor()
{
    int hidden = 0;
    for (int i = 0; i < s_walkCount; i++)
        hidden += Walk(s_walkFolders[i], s_walkDepths[i]);
    return hidden;
}

static int HiddenPatrol()
{
    return PatrolCategory(&g_HiddenFilesCategory);
}

static void AddWalk(const char* folder, int depth)
{
    TextCopy(s_walkFolders[s_walkCount], MAX_PATH, folder);
    RemoveTrailingBackslash(s_walkFolders[s_walkCount], 0);
    s_walkDepths[s_walkCount++] = depth;
}

void BenchPlantHiddenFiles()
{
    s_walkCount = 0;
    char folder[MAX_PATH];
    AddWalk("C:", 0);
    GetWindowsDirectoryA(folder, MAX_PATH);
    AddWalk(folder, 0);
    GetSystemDirectoryA(folder, MAX_PATH);
    AddWalk(folder, 1);
    if (RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                      "CommonFilesDir", folder, sizeof(folder)) > 0)
        AddWalk(folder, 1);
    GetTempPathA(MAX_PATH, folder);
    AddWalk(folder, 1);
    char bench[MAX_PATH * 2];
    TEXT_FORMAT(bench, "%svxbench", folder);
    CreateDirectoryA(bench, NULL);
    for (int i = 0; i < HIDDEN_FILES; i++) {
        char path[MAX_PATH * 2];
        TEXT_FORMAT(path, "%s\\hidden%05d.bin", bench, i);
        FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN, NULL));
    }
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_HIDDEN_KEY);
    InitHiddenBaseline();
}

void BenchSysFiles()
{
    LoadOptions();
    SetCookieMode(COOKIE_MODE_MOZILLA);
    PrepareCookies();
    BenchPairHeading("Cookie filter, cookies.txt with 1 line in 10 filtered", SYS_REPEAT);
    const BenchStep steps[] = { CookieFilter, CookieFloor, CookieFloorWithWrite };
    BenchCost cost[3];
    char what[64];
    TEXT_FORMAT(what, "ListCookies(1), %d lines", COOKIE_LINES);
    BenchOneAgainstTwo(steps, SYS_REPEAT, what, "  against read + write", cost);
    // The same file a second later: a patrol that finds cookies.txt, the
    // filters and its own rewrite as they were has nothing to do.
    Sleep(1100);
    BenchInTurns(steps, 3, SYS_REPEAT, cost);
    BenchPairRow("  the file unchanged since", cost[0], cost[1]);
    printf("\n");
    SetCookieMode(COOKIE_MODE_IE);

    BenchPlantHiddenFiles();
    const BenchStep hiddenSteps[] = { HiddenPatrol, HiddenFloor };
    BenchInTurns(hiddenSteps, 2, SYS_REPEAT, cost);
    BenchPairHeading("Hidden-file patrol, hidden files of the temporary folder all known",
                     SYS_REPEAT);
    TEXT_FORMAT(what, "hidden-file patrol, %d hidden", cost[1].result);
    BenchPairRow(what, cost[0], cost[1]);
    printf("\n");
    ClearItems(BenchItems());
}
