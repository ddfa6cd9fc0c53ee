// The History dialog's list filled from a 131,072-byte history.txt, against
// a floor that reads the same bytes, splits them and puts the same four
// texts per line into a hidden list view with redraw off.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <string.h>

#include "bench/bench.h"
#include "explorer/history_view.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/text.h"

#define BENCH_HISTORY_BYTES 131072
#define BENCH_REPEAT 5

static HWND s_shown = NULL;
static HWND s_floorList = NULL;
static char* s_bytes = NULL;

// What the dialog does: the file read again and its lines shown.
static int FillShownList()
{
    return ShowHistoryInList(s_shown);
}

static int ReadAndInsert()
{
    char path[MAX_PATH];
    HistoryFilePath(path);
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    DWORD size = 0;
    if (!file.IsValid() || !ReadFile(file.Get(), s_bytes, BENCH_HISTORY_BYTES, &size, NULL))
        return 0;
    s_bytes[size] = '\0';
    SendMessageA(s_floorList, WM_SETREDRAW, FALSE, 0);
    SendMessageA(s_floorList, LVM_DELETEALLITEMS, 0, 0);
    int rows = 0;
    for (char* line = s_bytes; *line != '\0';) {
        char* end = strchr(line, '\n');
        if (end != NULL)
            *end = '\0';
        const char* fields[6] = { "", "", "", "", "", "" };
        char* at = line;
        for (int f = 0; f < 6 && at != NULL; f++) {
            fields[f] = at;
            at = strchr(at, '\t');
            if (at != NULL)
                *at++ = '\0';
        }
        const char* texts[4] = { fields[3], fields[1], fields[2], fields[0] };
        BenchListRow(s_floorList, rows++, texts, 4);
        if (end == NULL)
            break;
        line = end + 1;
    }
    SendMessageA(s_floorList, WM_SETREDRAW, TRUE, 0);
    return rows;
}

// Lines as the programs write them, up to the size the dialog reads.
static void PlantHistory()
{
    char path[MAX_PATH];
    HistoryFilePath(path);
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    if (!file.IsValid())
        return;
    char line[512];
    DWORD total = 0;
    for (int i = 0; total < BENCH_HISTORY_BYTES; i++) {
        size_t length = FormatHistoryLine("12/08/2026  1:30 AM", i % 2 ? "*START_Remove" : "START_Alert",
                                          "CURRENT_RUN", "Bench Tool", "C:\\Program Files\\Bench\\tool.exe /q",
                                          "", line, sizeof(line));
        DWORD written = 0;
        if (total + length > BENCH_HISTORY_BYTES)
            length = BENCH_HISTORY_BYTES - total;
        WriteFile(file.Get(), line, (DWORD)length, &written, NULL);
        total += written;
        if (written == 0)
            break;
    }
}

void BenchHistory()
{
    LoadOptions();
    InitCommonControls();
    PlantHistory();
    s_bytes = new char[BENCH_HISTORY_BYTES + 1];
    s_shown = CreateWindowA(WC_LISTVIEWA, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE | LVS_REPORT, 0,
                            0, 600, 300, NULL, NULL, GetModuleHandleA(NULL), NULL);
    s_floorList = BenchHiddenList(4);
    BenchPairHeading("History dialog, floor: read, split, hidden list", BENCH_REPEAT);
    FillShownList();  // warm
    ReadAndInsert();
    const BenchStep steps[] = { FillShownList, ReadAndInsert };
    BenchCost cost[2];
    BenchInTurns(steps, 2, BENCH_REPEAT, cost);
    char label[64];
    TEXT_FORMAT(label, "fill, 131,072 bytes, %d lines", cost[0].result);
    BenchPairRow(label, cost[0], cost[1]);
    printf("\n");
    DestroyWindow(s_shown);
    DestroyWindow(s_floorList);
    delete[] s_bytes;
    ClearHistoryItems();
    char path[MAX_PATH];
    HistoryFilePath(path);
    DeleteFileA(path);
}
