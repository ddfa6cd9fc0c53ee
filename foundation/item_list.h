// The item list: the one working list of the whole system.  Every
// enumeration (startup places, services, tasks, cookies ...) empties it and
// fills it with ItemRecord entries; whoever built it owns it until the next
// build.  At most 4096 records.
#pragma once
#include <stddef.h>

#define ITEM_NAME    128
#define ITEM_COMMAND 260
#define ITEM_EXTRA   260
#define ITEM_INFO    1024
#define ITEM_MAX     4096

struct ItemRecord {
    char Name[ITEM_NAME];
    char Command[ITEM_COMMAND];
    char Extra[ITEM_EXTRA];
    int Code;
    int Flag;
    char Info[ITEM_INFO];
};

// Adds a record (texts cut to their fields; quotes removed from the
// command; long-path forms; the name taken from the command when empty;
// the monitor's and the explorer's own entries named "Vardex", whatever
// their value is called, so that they are known by one name).
// Returns 1, or 0 when the list is full.
int AddItem(const char* name, const char* command, const char* extra, const char* info,
            int code, int flag);

// The Command a record keeps for a command text: cut to 259 characters,
// every double quote removed and, from 4 characters on, its long-path form
// when it is a path with one.  out holds ITEM_COMMAND.
void ItemCommandText(const char* command, char* out, size_t outSize);
template <size_t N> inline void ItemCommandText(const char* command, char (&out)[N])
{ ItemCommandText(command, out, N); }

// 1 when the command starts our own programs (Vardex.exe, VardexView.exe);
// a program merely named like them ("VardexUpdater.exe") is not ours.
int IsOwnProgramCommand(const char* command);

int ItemCount();
// Accessors return "" (or 0) for an index outside the list.
const char* GetItemName(int i);
const char* GetItemCommand(int i);
const char* GetItemExtra(int i);
const char* GetItemInfo(int i);
int GetItemCode(int i);
int GetItemFlag(int i);
const ItemRecord* GetItem(int i);

// Frees every record.
void ClearItems();
