#include "foundation/kept_values.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/file_dates.h"
#include "foundation/handles.h"
#include "foundation/path_text.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"

struct KeptValue {
    char* name;
    char* data;
    DWORD type;
};

// More keys than these are walked without being kept.
#define KEPT_WALKS 48

struct KeptWalk {
    HKEY root;
    REGSAM view;
    char path[VX_PATH];
    KeyStamp stamp;
    int trusted;  // written long enough before the walk (see NameTableKeptBaseline)
    int busy;     // being walked: a visitor that walks the key again reads it live
    KeptValue* values;
    int count, room;
};
static KeptWalk s_walks[KEPT_WALKS];
static int s_walkCount = 0;

static void ClearWalk(KeptWalk* walk)
{
    for (int i = 0; i < walk->count; i++) {
        free(walk->values[i].name);
        free(walk->values[i].data);
    }
    walk->count = 0;
    walk->trusted = 0;
}

static KeptWalk* WalkOf(HKEY root, const char* path, REGSAM view)
{
    for (int i = 0; i < s_walkCount; i++)
        if (s_walks[i].root == root && s_walks[i].view == view &&
            strcmp(s_walks[i].path, path) == 0)
            return &s_walks[i];
    if (s_walkCount >= KEPT_WALKS || strlen(path) >= VX_PATH)
        return NULL;
    KeptWalk* walk = &s_walks[s_walkCount++];
    memset(walk, 0, sizeof(*walk));
    walk->root = root;
    walk->view = view;
    TextCopy(walk->path, path);
    return walk;
}

// Keeps one value; a walk that cannot keep all of its values is not kept.
static void Keep(KeptWalk* walk, const char* name, DWORD type, const char* data)
{
    if (!walk->trusted)
        return;
    KeptValue value = { TextDuplicate(name), TextDuplicate(data), type };
    if (value.name == NULL || value.data == NULL ||
        !GrowBlock(&walk->values, &walk->room, walk->count, 16)) {
        free(value.name);
        free(value.data);
        ClearWalk(walk);
        return;
    }
    walk->values[walk->count++] = value;
}

void WalkKeptValues(HKEY root, const char* path, REGSAM view, ValueVisitor visit, void* context)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ | view) != ERROR_SUCCESS)
        return;
    KeyStamp stamp;
    memset(&stamp, 0, sizeof(stamp));
    DWORD maxName = 0, maxData = 0;
    if (RegQueryInfoKeyA(key, NULL, NULL, NULL, &stamp.subkeys, NULL, NULL, &stamp.values,
                         &maxName, &maxData, NULL, &stamp.written) != ERROR_SUCCESS)
        return;
    stamp.ok = 1;
    KeptWalk* walk = WalkOf(root, path, view);
    if (walk != NULL && walk->busy)
        walk = NULL;
    if (walk != NULL && walk->trusted && SameKeyStamp(stamp, walk->stamp)) {
        walk->busy = 1;
        for (int i = 0; i < walk->count; i++)
            visit(walk->values[i].name, walk->values[i].type, walk->values[i].data, context);
        walk->busy = 0;
        return;
    }
    if (walk != NULL) {
        ClearWalk(walk);
        walk->stamp = stamp;
        walk->trusted = WrittenLongAgo(stamp.written);
    }
    // Lengths are counted in characters: room for two bytes each.
    DWORD nameRoom = maxName * 2 + 1;
    DWORD dataRoom = maxData * 2 + 2;
    char* name = (char*)malloc(nameRoom + 1);
    char* data = (char*)malloc(dataRoom + 1);
    if (walk != NULL)
        walk->busy = 1;
    if (name != NULL && data != NULL) {
        for (DWORD index = 0;; index++) {
            DWORD nameSize = nameRoom;
            DWORD dataSize = dataRoom;
            DWORD type = 0;
            LONG rc = RegEnumValueA(key, index, name, &nameSize, NULL, &type, (BYTE*)data,
                                    &dataSize);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            if (rc != ERROR_SUCCESS) {
                // A value that could not be read is read again next time.
                if (walk != NULL)
                    ClearWalk(walk);
                continue;
            }
            name[nameSize < nameRoom ? nameSize : nameRoom] = '\0';
            data[dataSize < dataRoom ? dataSize : dataRoom] = '\0';
            if (walk != NULL)
                Keep(walk, name, type, data);
            visit(name, type, data, context);
        }
    } else if (walk != NULL) {
        ClearWalk(walk);
    }
    if (walk != NULL)
        walk->busy = 0;
    free(name);
    free(data);
}
