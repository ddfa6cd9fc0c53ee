#include "foundation/name_table.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/file_dates.h"
#include "foundation/handles.h"
#include "foundation/registry_store.h"

struct NameTableSlot {
    size_t nameOffset;  // into pool; (size_t)-1 for an empty slot
    unsigned hash;
    int value;
    int removed;
};

static const size_t NO_NAME = (size_t)-1;

static unsigned char Fold(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

static unsigned HashName(const char* name)
{
    unsigned h = 2166136261u;
    for (const unsigned char* p = (const unsigned char*)name; *p != '\0'; p++)
        h = (h ^ Fold(*p)) * 16777619u;
    return h;
}

static int SameName(const char* a, const char* b)
{
    for (;; a++, b++) {
        if (Fold((unsigned char)*a) != Fold((unsigned char)*b))
            return 0;
        if (*a == '\0')
            return 1;
    }
}

void NameTableInit(NameTable* table)
{
    table->slots = NULL;
    table->capacity = 0;
    table->count = 0;
    table->pool = NULL;
    table->poolUsed = 0;
    table->poolSize = 0;
}

void NameTableFree(NameTable* table)
{
    free(table->slots);
    free(table->pool);
    NameTableInit(table);
}

// The slot of name, or the empty slot where it would go.
static NameTableSlot* FindSlot(const NameTable* table, const char* name, unsigned hash)
{
    unsigned mask = (unsigned)table->capacity - 1;
    for (unsigned i = hash & mask;; i = (i + 1) & mask) {
        NameTableSlot* slot = &table->slots[i];
        if (slot->nameOffset == NO_NAME)
            return slot;
        if (slot->hash == hash && SameName(table->pool + slot->nameOffset, name))
            return slot;
    }
}

static int Grow(NameTable* table)
{
    int capacity = table->capacity == 0 ? 256 : table->capacity * 2;
    NameTableSlot* slots = (NameTableSlot*)malloc(sizeof(NameTableSlot) * (size_t)capacity);
    if (slots == NULL)
        return 0;
    for (int i = 0; i < capacity; i++)
        slots[i].nameOffset = NO_NAME;
    NameTableSlot* old = table->slots;
    int oldCapacity = table->capacity;
    table->slots = slots;
    table->capacity = capacity;
    for (int i = 0; i < oldCapacity; i++)
        if (old[i].nameOffset != NO_NAME) {
            NameTableSlot* slot = FindSlot(table, table->pool + old[i].nameOffset, old[i].hash);
            *slot = old[i];
        }
    free(old);
    return 1;
}

static size_t StoreName(NameTable* table, const char* name)
{
    size_t length = strlen(name) + 1;
    if (table->poolUsed + length > table->poolSize) {
        size_t size = table->poolSize == 0 ? 16384 : table->poolSize * 2;
        while (size < table->poolUsed + length)
            size *= 2;
        char* pool = (char*)realloc(table->pool, size);
        if (pool == NULL)
            return NO_NAME;
        table->pool = pool;
        table->poolSize = size;
    }
    size_t offset = table->poolUsed;
    memcpy(table->pool + offset, name, length);
    table->poolUsed += length;
    return offset;
}

int NameTablePut(NameTable* table, const char* name, int value)
{
    // Slots are never emptied (removal only marks them), so keep the load
    // under one half counting every slot ever used.
    if ((table->count + 1) * 2 > table->capacity && !Grow(table))
        return 0;
    unsigned hash = HashName(name);
    NameTableSlot* slot = FindSlot(table, name, hash);
    if (slot->nameOffset == NO_NAME) {
        size_t offset = StoreName(table, name);
        if (offset == NO_NAME)
            return 0;
        slot->nameOffset = offset;
        slot->hash = hash;
        table->count++;
    }
    slot->value = value;
    slot->removed = 0;
    return 1;
}

int NameTableGet(const NameTable* table, const char* name, int* value)
{
    if (table->capacity == 0)
        return 0;
    NameTableSlot* slot = FindSlot(table, name, HashName(name));
    if (slot->nameOffset == NO_NAME || slot->removed)
        return 0;
    *value = slot->value;
    return 1;
}

void NameTableRemove(NameTable* table, const char* name)
{
    if (table->capacity == 0)
        return;
    NameTableSlot* slot = FindSlot(table, name, HashName(name));
    if (slot->nameOffset != NO_NAME)
        slot->removed = 1;
}

int NameTableLoadKey(NameTable* table, HKEY root, const char* path, REGSAM view)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ | view) != ERROR_SUCCESS)
        return 0;
    DWORD maxName = 0, maxData = 0;
    if (RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &maxName, &maxData,
                         NULL, NULL) != ERROR_SUCCESS)
        return 0;
    // Names and numbers only: data longer than a number is read as 0.
    // The longest name counted in characters: room for two bytes each.
    DWORD nameRoom = maxName * 2 + 1;
    char* name = (char*)malloc((size_t)nameRoom + 1);
    if (name == NULL)
        return 0;
    int read = 0;
    for (DWORD index = 0;; index++) {
        DWORD nameSize = nameRoom;
        char data[32];
        DWORD dataSize = sizeof(data) - 1;
        DWORD type = 0;
        LONG rc = RegEnumValueA(key, index, name, &nameSize, NULL, &type, (BYTE*)data,
                                &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        int value = 0;
        if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            data[dataSize < sizeof(data) ? dataSize : sizeof(data) - 1] = '\0';
            value = atoi(data);
        } else if (rc != ERROR_MORE_DATA) {
            continue;
        }
        // ERROR_MORE_DATA: the name was read, the data is too long for a number.
        name[nameRoom] = '\0';
        NameTablePut(table, name, value);
        read++;
    }
    free(name);
    return read;
}

// Where the wide calls are missing (Windows 95/98/Me): the ANSI names,
// each through its wide form.
static int LoadAnsiAsUtf8(NameTable* table, HKEY root, const char* path)
{
    NameTable ansi;
    NameTableInit(&ansi);
    int read = NameTableLoadKey(&ansi, root, path, 0);
    for (int i = 0; i < ansi.capacity; i++) {
        const NameTableSlot& slot = ansi.slots[i];
        if (slot.nameOffset == NO_NAME)
            continue;
        const char* name = ansi.pool + slot.nameOffset;
        int wideCount = MultiByteToWideChar(CP_ACP, 0, name, -1, NULL, 0);
        size_t count = wideCount > 0 ? (size_t)wideCount : 0;
        wchar_t* wide = count > 0 ? (wchar_t*)malloc(sizeof(wchar_t) * count) : NULL;
        char* utf8 = count > 0 ? (char*)malloc(count * 3) : NULL;
        if (wide != NULL && utf8 != NULL &&
            MultiByteToWideChar(CP_ACP, 0, name, -1, wide, wideCount) > 0 &&
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, wideCount * 3, NULL, NULL) > 0)
            NameTablePut(table, utf8, slot.value);
        free(wide);
        free(utf8);
    }
    NameTableFree(&ansi);
    return read;
}

int NameTableLoadKeyUtf8(NameTable* table, HKEY root, const char* path)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return 0;
    DWORD maxName = 0;
    LONG rc = RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &maxName, NULL,
                               NULL, NULL);
    if (rc == ERROR_CALL_NOT_IMPLEMENTED)
        return LoadAnsiAsUtf8(table, root, path);
    if (rc != ERROR_SUCCESS)
        return 0;
    DWORD nameRoom = maxName + 1;
    int utf8Room = (int)nameRoom * 3;
    wchar_t* name = (wchar_t*)malloc(sizeof(wchar_t) * ((size_t)nameRoom + 1));
    char* utf8 = (char*)malloc((size_t)utf8Room);
    int read = 0;
    for (DWORD index = 0; name != NULL && utf8 != NULL; index++) {
        DWORD nameSize = nameRoom;
        wchar_t data[32];
        DWORD dataSize = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        rc = RegEnumValueW(key, index, name, &nameSize, NULL, &type, (BYTE*)data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        int value = 0;
        if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            data[dataSize / sizeof(wchar_t)] = L'\0';
            value = _wtoi(data);
        } else if (rc != ERROR_MORE_DATA) {
            continue;
        }
        // ERROR_MORE_DATA: the name was read, the data is too long for a number.
        name[nameRoom] = L'\0';
        if (WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, utf8Room, NULL, NULL) == 0)
            continue;
        NameTablePut(table, utf8, value);
        read++;
    }
    free(name);
    free(utf8);
    return read;
}

// --- Baselines kept between patrols ---------------------------------------------

#define KEPT_MAX 16

struct KeptBaseline {
    char path[128];
    NameTable table;
    KeyStamp stamp;
    // Written long enough before it was read: a key written just before
    // is read again at the next patrol, as a clock that moves in coarse
    // steps could give a write made during the read the time of the read.
    int trusted;
    // The key's default value was the mark "P" when it was read.
    int marked;
    // Names in UTF-8 (NameTableLoadKeyUtf8), else as the ANSI calls give them.
    int utf8;
};
static KeptBaseline s_kept[KEPT_MAX];
static int s_keptCount = 0;

NameTable* NameTableKeptBaseline(const char* path)
{
    return NameTableKeptBaselineMarked(path, NULL);
}

static NameTable* KeptBaselineOf(const char* path, int* marked, int utf8)
{
    if (marked != NULL)
        *marked = 0;
    KeptBaseline* kept = NULL;
    for (int i = 0; i < s_keptCount; i++)
        if (strcmp(s_kept[i].path, path) == 0 && s_kept[i].utf8 == utf8)
            kept = &s_kept[i];
    if (kept == NULL) {
        if (strlen(path) >= sizeof(kept->path) || s_keptCount >= KEPT_MAX)
            return NULL;
        kept = &s_kept[s_keptCount++];
        memcpy(kept->path, path, strlen(path) + 1);
        NameTableInit(&kept->table);
        kept->trusted = 0;
        kept->marked = 0;
        kept->utf8 = utf8;
    }
    KeyStamp stamp;
    StampKey(HKEY_CURRENT_USER, path, &stamp);
    if (!kept->trusted || !SameKeyStamp(stamp, kept->stamp)) {
        kept->trusted = stamp.ok && WrittenLongAgo(stamp.written);
        NameTableFree(&kept->table);
        if (utf8)
            NameTableLoadKeyUtf8(&kept->table, HKEY_CURRENT_USER, path);
        else
            NameTableLoadKey(&kept->table, HKEY_CURRENT_USER, path, 0);
        kept->stamp = stamp;
        // The default value is part of the stamp: a mark written or lost
        // moves the key's time.
        char mark[4];
        kept->marked = stamp.ok &&
                       RegReadString(HKEY_CURRENT_USER, path, "", mark, sizeof(mark)) == 1 &&
                       (mark[0] == 'P' || mark[0] == 'p');
    }
    if (marked != NULL)
        *marked = kept->marked;
    return &kept->table;
}

NameTable* NameTableKeptBaselineMarked(const char* path, int* marked)
{
    return KeptBaselineOf(path, marked, 0);
}

NameTable* NameTableKeptBaselineUtf8(const char* path, int* marked)
{
    return KeptBaselineOf(path, marked, 1);
}

int BaselineCodeIn(const NameTable* table, const char* path, const char* name)
{
    int code = 0;
    if (table != NULL) {
        NameTableGet(table, name, &code);
        return code;
    }
    char text[32];
    RegReadString(HKEY_CURRENT_USER, path, name, text, sizeof(text));
    return atoi(text);
}
