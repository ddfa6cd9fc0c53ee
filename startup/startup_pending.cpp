// Placeholders for the startup-list operations until their sources land.
#include "startup/autostart.h"
#include "startup/item_list.h"

#include "foundation/text.h"

HWND g_StartupOwner = NULL;
StartupPatrolHooks g_StartupPatrolHooks = { NULL, NULL, NULL };

int AddItem(const char*, const char*, const char*, const char*, int, int) { return 0; }
int ItemCount() { return 0; }
const char* GetItemName(int) { return ""; }
const char* GetItemCommand(int) { return ""; }
const char* GetItemExtra(int) { return ""; }
const char* GetItemInfo(int) { return ""; }
int GetItemCode(int) { return 0; }
int GetItemFlag(int) { return 0; }
const ItemRecord* GetItem(int) { return nullptr; }
void ClearItems() {}

int BuildStartupList(int) { return 0; }
void InitRegStartups() {}
void CleanupRunRegistry() {}
int StartupChanged() { return 0; }
void CheckStartupChanges() {}
int ToggleStartupEntry(const char*, const char*, const char*, int) { return 0; }
int RemoveStartupEntry(const char*, const char*, const char*, int) { return 0; }

void BaselineKeyOf(const char* command, char* out, int outSize)
{
    TextCopy(out, (size_t)outSize, command);
    for (char* p = out; *p != '\0'; p++)
        if (*p == '=')
            *p = ':';
}

#include "foundation/detected.h"
int GetDetectedDate(const char*, int, char* out) { out[0] = '\0'; return 0; }
int RecordDetected(const char*, const char*) { return 0; }
void InitDetected() {}
