// File type associations: which program opens a monitored extension, as
// recorded and as it is now; the patrol that asks about a change and puts
// the recorded program back on "No" (or at once, in lock mode).
#include "categories/filetype.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "categories/category.h"
#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/history_line.h"
#include "foundation/item_list.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/ui.h"
#include "foundation/utils.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/filetype.h"

#define CLASSES_KEY "Software\\Classes"
#define OPEN_COMMAND "\\shell\\open\\command"
#define EXTENSION_TEXT 260
#define LIST_TEXT (FILETYPE_LIST_MAX + 1)

// The list the store starts with when the string table cannot give it.
static const char kDefaultList[] =
    "AVI;BAT;CAB;CAT;CHM;COM;CMD;CSS;DOC;EML;EXE;INF;JS;LOG;MSI;MSG;MID;MP3;PIF;RAM;REG;RTF;"
    "SBS;SCR;TXT;URL;VBS;VBE;WSF;WSH;XLS;";

// --- Registry text, exactly as stored -----------------------------------------------

// A REG_SZ or REG_EXPAND_SZ value as written (not expanded) into out
// (outSize bytes; a longer text is cut).  *type receives its type.  The
// length, 0 and "" when missing, empty or of another type.
static int ReadRawText(HKEY key, const char* name, char* out, int outSize, DWORD* type)
{
    out[0] = '\0';
    *type = REG_SZ;
    DWORD kind = 0, size = 0;
    if (RegQueryValueExA(key, name, NULL, &kind, NULL, &size) != ERROR_SUCCESS ||
        (kind != REG_SZ && kind != REG_EXPAND_SZ) || size == 0)
        return 0;
    char* data = (char*)malloc((size_t)size + 1);
    if (data == NULL)
        return 0;
    DWORD got = size;
    if (RegQueryValueExA(key, name, NULL, &kind, (BYTE*)data, &got) != ERROR_SUCCESS ||
        (kind != REG_SZ && kind != REG_EXPAND_SZ)) {
        free(data);
        return 0;
    }
    data[got < size ? got : size] = '\0';
    *type = kind;
    int length = (int)TextCopy(out, (size_t)outSize, data);
    free(data);
    return length;
}

static int ReadRawAt(HKEY root, const char* path, const char* name, char* out, int outSize,
                     DWORD* type)
{
    out[0] = '\0';
    *type = REG_SZ;
    RegKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    return ReadRawText(key, name, out, outSize, type);
}

static int WriteText(HKEY root, const char* path, const char* name, const char* text,
                     DWORD type)
{
    RegKey key;
    if (key.Create(root, path, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    return RegSetValueExA(key, name, 0, type == REG_EXPAND_SZ ? REG_EXPAND_SZ : REG_SZ,
                          (const BYTE*)text, (DWORD)strlen(text) + 1) == ERROR_SUCCESS;
}

// --- Extensions and kinds ---------------------------------------------------------------

// ".EXT" from "EXT", ".EXT" or "..EXT" (out holds EXTENSION_TEXT).  0 for an
// empty extension or one that could reach another key or split the list.
static int NormalExtension(const char* ext, char* out)
{
    out[0] = '\0';
    if (ext == NULL)
        return 0;
    while (*ext == '.')
        ext++;
    if (*ext == '\0' || strlen(ext) > 255)
        return 0;
    for (const char* p = ext; *p != '\0'; p++)
        if (*p == '\\' || *p == ';' || *p == ' ' || *p == '\t' || *p == '/')
            return 0;
    TextFormat(out, EXTENSION_TEXT, ".%s", ext);
    return 1;
}

static int ValidClass(const char* name)
{
    return name[0] != '\0' && strchr(name, '\\') == NULL;
}

// Where the class of a kind is recorded.
static const char* RecordedClassKey(int kind)
{
    switch (kind) {
    case 1: return VX_EXT_KEY;
    case 2: return VX_EXTAPP_KEY;
    case 3: return VX_EXTPROGID_KEY;
    case 4: return VX_EXTROOT_KEY;
    default: return NULL;
    }
}

// Where the command of a kind's recorded class is recorded.  Each kind has
// its own: kind 1 reads the machine's classes and kinds 2 and 3 the merged
// ones, where a user's own classes may give one class another command.
static const char* RecordedCommandKey(int kind)
{
    switch (kind) {
    case 1: return VX_CLASS_KEY;
    case 2: return VX_CLASSAPP_KEY;
    case 3: return VX_CLASSPROGID_KEY;
    case 4: return VX_CLASSROOT_KEY;
    default: return NULL;
    }
}

// Where an older version recorded the command of kinds 2 and 3 (shared
// with kind 1): read when the kind has no record of its own yet, so that a
// change made before the upgrade is still asked about.  NULL for the kinds
// that always had their own.
static const char* OlderCommandKey(int kind)
{
    return kind == 2 || kind == 3 ? VX_CLASS_KEY : NULL;
}

// Where the association of a kind lives: the class value and the command
// key of a class.
struct KindPlace {
    HKEY classRoot;
    char classPath[EXTENSION_TEXT + 128];
    const char* className;  // value name
    HKEY commandRoot;
};

static int PlaceOf(const char* dotExt, int kind, KindPlace* place)
{
    switch (kind) {
    case 1:
        place->classRoot = HKEY_LOCAL_MACHINE;
        TEXT_FORMAT(place->classPath, "%s\\%s", CLASSES_KEY, dotExt);
        place->className = "";
        place->commandRoot = HKEY_LOCAL_MACHINE;
        return 1;
    case 2:
    case 3:
        place->classRoot = HKEY_CURRENT_USER;
        TEXT_FORMAT(place->classPath, "%s\\%s", FILEEXTS_KEY, dotExt);
        place->className = kind == 2 ? "Application" : "ProgID";
        place->commandRoot = HKEY_CLASSES_ROOT;
        return 1;
    case 4:
        place->classRoot = HKEY_CLASSES_ROOT;
        TEXT_FORMAT(place->classPath, "%s", dotExt);
        place->className = "";
        place->commandRoot = HKEY_CLASSES_ROOT;
        return 1;
    default:
        return 0;
    }
}

static void CommandPath(int kind, const char* className, char* out, size_t outSize)
{
    if (kind == 1)
        TextFormat(out, outSize, "%s\\%s%s", CLASSES_KEY, className, OPEN_COMMAND);
    else if (kind == 2)
        TextFormat(out, outSize, "Applications\\%s%s", className, OPEN_COMMAND);
    else
        TextFormat(out, outSize, "%s%s", className, OPEN_COMMAND);
}

// FileTypeCommand with the command's value type.
static int ReadAssociation(const char* dotExt, int kind, char* className, char* command,
                           DWORD* commandType)
{
    className[0] = '\0';
    command[0] = '\0';
    *commandType = REG_SZ;
    KindPlace place;
    if (!PlaceOf(dotExt, kind, &place))
        return 0;
    DWORD type;
    ReadRawAt(place.classRoot, place.classPath, place.className, className, FILETYPE_COMMAND,
              &type);
    if (!ValidClass(className)) {
        className[0] = '\0';
        return 0;
    }
    char path[FILETYPE_COMMAND + 64];
    CommandPath(kind, className, path, sizeof(path));
    if (ReadRawAt(place.commandRoot, path, "", command, FILETYPE_COMMAND, commandType) == 0) {
        className[0] = '\0';
        return 0;
    }
    return 1;
}

int FileTypeCommand(const char* ext, int kind, char* className, char* command)
{
    className[0] = '\0';
    command[0] = '\0';
    char dotExt[EXTENSION_TEXT];
    if (!NormalExtension(ext, dotExt))
        return 0;
    DWORD type;
    return ReadAssociation(dotExt, kind, className, command, &type);
}

// --- Recording and restoring ---------------------------------------------------------------

int SaveFileType(const char* ext, int kind)
{
    const char* classKey = RecordedClassKey(kind);
    char dotExt[EXTENSION_TEXT];
    if (classKey == NULL || !NormalExtension(ext, dotExt))
        return 0;
    char className[FILETYPE_COMMAND], command[FILETYPE_COMMAND];
    DWORD type;
    if (!ReadAssociation(dotExt, kind, className, command, &type))
        return 0;
    return WriteText(HKEY_CURRENT_USER, classKey, dotExt, className, REG_SZ) &&
           WriteText(HKEY_CURRENT_USER, RecordedCommandKey(kind), className, command, type);
}

// Makes className (and, when given, command) the association of the kind.
static int WriteAssociation(const char* dotExt, int kind, const char* className,
                            const char* command, DWORD commandType)
{
    KindPlace place;
    if (!PlaceOf(dotExt, kind, &place) || !ValidClass(className))
        return 0;
    // Kind 4 is read from the merged classes and written to the machine's.
    HKEY root = kind == 4 ? HKEY_LOCAL_MACHINE : place.classRoot;
    char classPath[EXTENSION_TEXT + 128];
    if (kind == 4)
        TEXT_FORMAT(classPath, "%s\\%s", CLASSES_KEY, dotExt);
    else
        TextCopy(classPath, place.classPath);
    int written = WriteText(root, classPath, place.className, className, REG_SZ);
    if (command != NULL && command[0] != '\0' && kind != 4) {
        char path[FILETYPE_COMMAND + 64];
        CommandPath(kind, className, path, sizeof(path));
        written = WriteText(place.commandRoot, path, "", command, commandType) && written;
    }
    return written;
}

// The recorded class and command of a kind ("" when nothing is recorded:
// an empty class is never looked up, which would read the list).  The
// command is read from the kind's own record, else from olderKey (NULL:
// none).  1 when found in its own record, 2 in the older one, else 0.
static int ReadRecorded(HKEY classKey, HKEY commandKey, HKEY olderKey, const char* dotExt,
                        char* className, char* command, DWORD* commandType)
{
    command[0] = '\0';
    DWORD type;
    if (classKey == NULL ||
        ReadRawText(classKey, dotExt, className, FILETYPE_COMMAND, &type) == 0 ||
        !ValidClass(className)) {
        className[0] = '\0';
        return 0;
    }
    if (commandKey != NULL &&
        ReadRawText(commandKey, className, command, FILETYPE_COMMAND, commandType) > 0)
        return 1;
    if (olderKey != NULL &&
        ReadRawText(olderKey, className, command, FILETYPE_COMMAND, commandType) > 0)
        return 2;
    return 0;
}

int RestoreFileType(const char* ext, int kind)
{
    const char* classKey = RecordedClassKey(kind);
    char dotExt[EXTENSION_TEXT];
    if (classKey == NULL || !NormalExtension(ext, dotExt))
        return 0;
    RegKey classes, commands, older;
    if (classes.Open(HKEY_CURRENT_USER, classKey, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 0;
    commands.Open(HKEY_CURRENT_USER, RecordedCommandKey(kind), KEY_QUERY_VALUE);
    if (OlderCommandKey(kind) != NULL)
        older.Open(HKEY_CURRENT_USER, OlderCommandKey(kind), KEY_QUERY_VALUE);
    char className[FILETYPE_COMMAND], command[FILETYPE_COMMAND];
    DWORD type = REG_SZ;
    ReadRecorded(classes, commands, older, dotExt, className, command, &type);
    if (className[0] == '\0')
        return 0;
    return WriteAssociation(dotExt, kind, className, command, type);
}

// --- Comparing commands ----------------------------------------------------------------

void FileTypeComparable(const char* command, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, FILETYPE_COMMAND);
    char* program = (char*)malloc(FILETYPE_COMMAND * 2);
    if (program == NULL) {
        TextCopy(out, outSize, command);
        return;
    }
    char* arguments = program + FILETYPE_COMMAND;
    SplitCommand(command, program, FILETYPE_COMMAND, arguments, FILETYPE_COMMAND);
    // A short (8.3) program name is compared by its long name.
    if (strchr(program, '~') != NULL && strlen(program) < VX_PATH) {
        char longName[VX_PATH];
        DWORD n = GetLongPathNameA(program, longName, sizeof(longName));
        if (n > 0 && n < sizeof(longName))
            TextCopy(program, FILETYPE_COMMAND, longName);
    }
    CommandComparableText(program, arguments, out, outSize);
    free(program);
}

static int SameProgram(const char* recorded, const char* current)
{
    char* a = (char*)malloc(FILETYPE_COMMAND * 2);
    if (a == NULL)
        return TextEqualNoCase(recorded, current);
    char* b = a + FILETYPE_COMMAND;
    FileTypeComparable(recorded, a, FILETYPE_COMMAND);
    FileTypeComparable(current, b, FILETYPE_COMMAND);
    int same = TextEqualNoCase(a, b);
    free(a);
    return same;
}

// --- The monitored list ----------------------------------------------------------------

int ReadFileTypeList(char* out, int outSize)
{
    return RegReadString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", out, outSize);
}

static void DefaultList(char* out, int outSize)
{
    // From the program's own table: a translation has no say over what is
    // watched.
    HINSTANCE module = g_TextModule != NULL ? g_TextModule : GetModuleHandleA(NULL);
    if (LoadStringA(module, TXT_FILETYPE_DEFAULT_LIST, out, outSize) <= 0)
        TextCopy(out, (size_t)outSize, kDefaultList);
}

// Calls visit for every element of the list as ".EXT" (cut at 256
// characters; empty elements skipped).
typedef void (*ExtensionVisitor)(const char* dotExt, void* context);

static void ForEachListed(const char* list, ExtensionVisitor visit, void* context)
{
    const char* p = list;
    while (*p != '\0') {
        const char* end = strchr(p, ';');
        size_t length = end != NULL ? (size_t)(end - p) : strlen(p);
        char element[257];
        TextCopyN(element, sizeof(element), p, length);
        char dotExt[EXTENSION_TEXT];
        if (NormalExtension(element, dotExt))
            visit(dotExt, context);
        if (end == NULL)
            break;
        p = end + 1;
    }
}

// 1 when ext (without dots) is a whole element of the list.
static int ListHas(const char* list, const char* dotExt)
{
    const char* p = list;
    while (*p != '\0') {
        const char* end = strchr(p, ';');
        size_t length = end != NULL ? (size_t)(end - p) : strlen(p);
        char element[257];
        TextCopyN(element, sizeof(element), p, length);
        char other[EXTENSION_TEXT];
        if (NormalExtension(element, other) && TextEqualNoCase(other, dotExt))
            return 1;
        if (end == NULL)
            break;
        p = end + 1;
    }
    return 0;
}

static void SaveAllKinds(const char* dotExt, void*)
{
    for (int kind = 1; kind <= 3; kind++)
        SaveFileType(dotExt, kind);
}

// --- The listing -----------------------------------------------------------------------

static void AddTypeEntries(const char* dotExt, void* context)
{
    ItemList* list = (ItemList*)context;
    char* className = (char*)malloc(FILETYPE_COMMAND * 2);
    if (className == NULL)
        return;
    char* command = className + FILETYPE_COMMAND;
    for (int kind = 1; kind <= 3; kind++) {
        DWORD type;
        if (!ReadAssociation(dotExt, kind, className, command, &type))
            continue;
        char path[FILETYPE_COMMAND + 64];
        TEXT_FORMAT(path, "%s\\%s", CLASSES_KEY, className);
        char description[ITEM_NAME];
        RegReadString(HKEY_LOCAL_MACHINE, path, "", description, sizeof(description));
        if (description[0] != '\0') {
            AddItem(list, description, command, className, dotExt, FILETYPE_CODE, kind);
            continue;
        }
        char file[VX_PATH];
        ExpandProgramPath(command, file);
        char (*version)[VS_SLOT] = (char (*)[VS_SLOT])malloc(VS_COUNT * VS_SLOT);
        if (version == NULL)
            continue;
        GetVersionStrings(file, version);
        AddItem(list, version[VS_PRODUCT_NAME], command, version[VS_FILE_DESCRIPTION], dotExt,
                FILETYPE_CODE, kind);
        free(version);
    }
    free(className);
}

int EnumFileTypes(ItemList* out)
{
    ClearItems(out);
    char list[LIST_TEXT];
    ReadFileTypeList(list, sizeof(list));
    ForEachListed(list, AddTypeEntries, out);
    return ItemCount(out);
}

// --- Set-up ------------------------------------------------------------------------------

#define STORE_MARKER "Do not edit."

// The store is set up: a marker of this version's length, and a list.
static int StoreSetUp(int markerLength, const char* list)
{
    const char* semicolon = strchr(list, ';');
    return markerLength > 0 && markerLength != 11 && semicolon != NULL && semicolon - list < 10;
}

static int FileTypeStoreReady()
{
    char marker[64];
    int markerLength = RegReadString(HKEY_CURRENT_USER, VX_EXT_KEY, "", marker, sizeof(marker));
    char list[LIST_TEXT];
    ReadFileTypeList(list, sizeof(list));
    return StoreSetUp(markerLength, list);
}

void CreateClassInfo()
{
    TraceNote("CreateClassInfo", "filetype");
    char marker[64];
    int markerLength = RegReadString(HKEY_CURRENT_USER, VX_EXT_KEY, "", marker, sizeof(marker));
    char list[LIST_TEXT];
    ReadFileTypeList(list, sizeof(list));
    if (markerLength == 11) {
        // The marker of an older store: take the associations afresh.
        ForEachListed(list, SaveAllKinds, NULL);
        RegWriteString(HKEY_CURRENT_USER, VX_EXT_KEY, "", STORE_MARKER);
        return;
    }
    if (StoreSetUp(markerLength, list))
        return;
    static const char* const keys[] = { VX_EXT_KEY, VX_EXTAPP_KEY, VX_EXTPROGID_KEY,
                                        VX_CLASS_KEY, VX_CLASSAPP_KEY, VX_CLASSPROGID_KEY };
    for (const char* key : keys)
        RegCreateKeyPath(HKEY_CURRENT_USER, key);
    DefaultList(list, sizeof(list));
    if (!RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", list))
        TraceNote("CreateClassInfo", "ERROR Creating REGCLASSKEY");
    ForEachListed(list, SaveAllKinds, NULL);
    RegWriteString(HKEY_CURRENT_USER, VX_EXT_KEY, "", STORE_MARKER);
}

// --- Adding and removing extensions ------------------------------------------------------

int AddFileType(const char* ext)
{
    char dotExt[EXTENSION_TEXT];
    if (!NormalExtension(ext, dotExt))
        return TXT_FILETYPE_INVALID;
    char list[LIST_TEXT];
    int length = ReadFileTypeList(list, sizeof(list));
    int extLength = (int)strlen(dotExt + 1);
    if (length + extLength + 1 >= FILETYPE_LIST_MAX + 1)
        return TXT_FILETYPE_LIST_FULL;
    if (ListHas(list, dotExt))
        return TXT_FILETYPE_ALREADY;
    SaveAllKinds(dotExt, NULL);
    char element[EXTENSION_TEXT];
    TextCopy(element, dotExt + 1);
    TextUpper(element);
    if (length > 0 && list[length - 1] != ';')
        TextAppend(list, ";");
    TextAppend(list, element);
    TextAppend(list, ";");
    return RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", list) ? 0 : TXT_FILETYPE_LIST_FULL;
}

struct ClassUse {
    const char* className;
    int used;
};

static void CheckClassUse(const char* dotExt, void* context)
{
    ClassUse* use = (ClassUse*)context;
    char className[FILETYPE_COMMAND];
    if (RegReadString(HKEY_CURRENT_USER, VX_EXT_KEY, dotExt, className, sizeof(className)) > 0 &&
        TextEqualNoCase(className, use->className))
        use->used = 1;
}

int RemoveFileType(const char* ext)
{
    char dotExt[EXTENSION_TEXT];
    if (!NormalExtension(ext, dotExt))
        return 0;
    char list[LIST_TEXT], kept[LIST_TEXT];
    ReadFileTypeList(list, sizeof(list));
    kept[0] = '\0';
    int found = 0;
    const char* p = list;
    while (*p != '\0') {
        const char* end = strchr(p, ';');
        size_t length = end != NULL ? (size_t)(end - p) : strlen(p);
        char element[257], other[EXTENSION_TEXT];
        TextCopyN(element, sizeof(element), p, length);
        if (NormalExtension(element, other) && TextEqualNoCase(other, dotExt)) {
            found = 1;
        } else if (element[0] != '\0') {
            TextAppend(kept, element);
            TextAppend(kept, ";");
        }
        if (end == NULL)
            break;
        p = end + 1;
    }
    if (!found)
        return 0;
    RegWriteString(HKEY_CURRENT_USER, VX_CLASS_KEY, "", kept);
    char className[FILETYPE_COMMAND];
    if (RegReadString(HKEY_CURRENT_USER, VX_EXT_KEY, dotExt, className, sizeof(className)) > 0) {
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_EXT_KEY, dotExt);
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_EXTTYPE_KEY, dotExt);
        ClassUse use = { className, 0 };
        ForEachListed(kept, CheckClassUse, &use);
        if (!use.used && ValidClass(className))
            RegDeleteValueNamed(HKEY_CURRENT_USER, VX_CLASS_KEY, className);
    }
    return 1;
}

int FileTypeIcon(const char* ext, int kind, char* file, int* index)
{
    file[0] = '\0';
    *index = 0;
    char* className = (char*)malloc(FILETYPE_COMMAND * 2);
    if (className == NULL)
        return 0;
    char* command = className + FILETYPE_COMMAND;
    if (FileTypeCommand(ext, kind, className, command)) {
        char path[FILETYPE_COMMAND + 64], icon[VX_PATH + 16];
        TEXT_FORMAT(path, "%s\\%s\\DefaultIcon", CLASSES_KEY, className);
        if (RegReadString(HKEY_LOCAL_MACHINE, path, "", icon, sizeof(icon)) > 0) {
            char* comma = strrchr(icon, ',');
            if (comma != NULL) {
                *comma = '\0';
                *index = atoi(comma + 1);
            }
            StripQuotes(icon, file, VX_PATH);
        } else {
            ExpandProgramPath(command, file, VX_PATH);
        }
    }
    free(className);
    return file[0] != '\0';
}

// --- The patrol ---------------------------------------------------------------------------

// Changes whose restore did not hold: not asked about again while the
// association stays what it is (asking could not end differently).
#define REFUSED_SLOTS 16
struct RefusedChange {
    int kind;
    char ext[EXTENSION_TEXT];
    char command[ITEM_COMMAND];
};
static RefusedChange s_refused[REFUSED_SLOTS];
static int s_refusedNext = 0;

static RefusedChange* FindRefused(const char* dotExt, int kind)
{
    for (int i = 0; i < REFUSED_SLOTS; i++)
        if (s_refused[i].kind == kind && TextEqualNoCase(s_refused[i].ext, dotExt))
            return &s_refused[i];
    return NULL;
}

static void ForgetRefused(const char* dotExt, int kind)
{
    RefusedChange* slot = FindRefused(dotExt, kind);
    if (slot != NULL)
        slot->kind = 0;
}

static int IsRefused(const char* dotExt, int kind, const char* command)
{
    RefusedChange* slot = FindRefused(dotExt, kind);
    if (slot == NULL)
        return 0;
    char cut[ITEM_COMMAND];
    TextCopy(cut, command);
    if (TextEqualNoCase(slot->command, cut))
        return 1;
    slot->kind = 0;
    return 0;
}

static void RememberRefused(const char* dotExt, int kind, const char* command)
{
    RefusedChange* slot = FindRefused(dotExt, kind);
    if (slot == NULL) {
        slot = &s_refused[s_refusedNext];
        s_refusedNext = (s_refusedNext + 1) % REFUSED_SLOTS;
    }
    slot->kind = kind;
    TextCopy(slot->ext, dotExt);
    TextCopy(slot->command, command);
}

// Puts the recorded association back; 1 when it holds afterwards.
static int RestoreAndCheck(const char* dotExt, int kind, const char* recorded)
{
    RestoreFileType(dotExt, kind);
    char* className = (char*)malloc(FILETYPE_COMMAND * 2);
    if (className == NULL)
        return 0;
    char* command = className + FILETYPE_COMMAND;
    DWORD type;
    int holds = ReadAssociation(dotExt, kind, className, command, &type) &&
                TextEqualNoCase(command, recorded);
    free(className);
    return holds;
}

struct PatrolContext {
    HKEY classKeys[4];    // recorded classes of kinds 1-3 (index = kind)
    HKEY commandKeys[4];  // their recorded commands (CommandKeyOf)
    int commandKeyOpened[4];
    int asked;
    char className[FILETYPE_COMMAND];
    char command[FILETYPE_COMMAND];
    char recordedClass[FILETYPE_COMMAND];
    char recordedCommand[FILETYPE_COMMAND];
};

static void WriteRejectHistory(const char* dotExt, int kind, const char* className,
                               const char* command)
{
    char info[ITEM_EXTRA];
    TEXT_FORMAT(info, "%d:%s", kind, className);
    WriteHistory(dotExt, command, info, FILETYPE_CODE, HA_START_RESTORE);
}

// The key of a kind's recorded commands, opened when first needed: most
// monitored types never get kinds 2 and 3.  (Kind 1's, Class, is also
// where an older version kept them all.)
static HKEY CommandKeyOf(PatrolContext* c, int kind)
{
    if (!c->commandKeyOpened[kind]) {
        c->commandKeyOpened[kind] = 1;
        RegOpenKeyExA(HKEY_CURRENT_USER, RecordedCommandKey(kind), 0, KEY_QUERY_VALUE,
                      &c->commandKeys[kind]);
    }
    return c->commandKeys[kind];
}

static void PatrolOneKind(const char* dotExt, int kind, PatrolContext* c)
{
    DWORD type;
    if (!ReadAssociation(dotExt, kind, c->className, c->command, &type))
        return;
    DWORD recordedType = REG_SZ;
    int found = ReadRecorded(c->classKeys[kind], CommandKeyOf(c, kind),
                             OlderCommandKey(kind) != NULL ? CommandKeyOf(c, 1) : NULL, dotExt,
                             c->recordedClass, c->recordedCommand, &recordedType);
    if (found == 0) {
        // Nothing recorded yet: what is there now is the association.
        SaveFileType(dotExt, kind);
        return;
    }
    if (found == 2) {
        // The kind takes the older record as its own, once; later patrols
        // read only their own.
        WriteText(HKEY_CURRENT_USER, RecordedCommandKey(kind), c->recordedClass,
                  c->recordedCommand, recordedType);
    }
    if (SameProgram(c->recordedCommand, c->command)) {
        ForgetRefused(dotExt, kind);
        return;
    }
    if (IsRefused(dotExt, kind, c->command))
        return;
    if (g_Options[OPT_LockFileTypes]) {
        if (!RestoreAndCheck(dotExt, kind, c->recordedCommand))
            RememberRefused(dotExt, kind, c->command);
        return;
    }
    RecordDetected(c->recordedCommand, VX_DETECTED_KEY "\\FileTypes");
    RecordDetected(c->command, VX_DETECTED_KEY "\\FileTypes");

    ItemRecord item;
    memset(&item, 0, sizeof(item));
    TextCopy(item.Name, dotExt);
    TextCopy(item.Command, c->command);
    TextCopy(item.Extra, c->recordedCommand);
    TextCopy(item.Info, dotExt);
    item.Code = FILETYPE_CODE;
    item.Flag = kind;
    AlertRequest request;
    g_FileTypesCategory.Describe(&item, VERDICT_NEW, &request);
    int answer = AskOrAutoAnswer(g_Options[OPT_HideFileType], &request);
    c->asked++;
    if (answer == ANSWER_ACCEPT) {
        SaveFileType(dotExt, kind);
    } else if (answer == ANSWER_REJECT) {
        // The rejected class and command, for the History undo.
        char rejectedClass[ITEM_EXTRA];
        TextCopy(rejectedClass, c->className);
        if (RestoreAndCheck(dotExt, kind, c->recordedCommand)) {
            WriteRejectHistory(dotExt, kind, rejectedClass, c->command);
        } else {
            RememberRefused(dotExt, kind, c->command);
            UiNotify(NOTICE_RESTORE_FAILED, dotExt);
        }
    }
}

static void PatrolExtension(const char* dotExt, void* context)
{
    PatrolContext* c = (PatrolContext*)context;
    PatrolOneKind(dotExt, 1, c);
    // Kinds 2 and 3 are two values of one key that most extensions never
    // get: without the key neither has an association to check.
    KindPlace place;
    if (!PlaceOf(dotExt, 2, &place) || !RegKeyExists(place.classRoot, place.classPath))
        return;
    PatrolOneKind(dotExt, 2, c);
    PatrolOneKind(dotExt, 3, c);
}

int PatrolFileTypes()
{
    char list[LIST_TEXT];
    if (ReadFileTypeList(list, sizeof(list)) == 0)
        return 0;
    PatrolContext* c = (PatrolContext*)calloc(1, sizeof(PatrolContext));
    if (c == NULL)
        return 0;
    // The records are read through keys held open for the whole step.
    for (int kind = 1; kind <= 3; kind++)
        RegOpenKeyExA(HKEY_CURRENT_USER, RecordedClassKey(kind), 0, KEY_QUERY_VALUE,
                      &c->classKeys[kind]);
    ForEachListed(list, PatrolExtension, c);
    for (int kind = 1; kind <= 3; kind++) {
        if (c->classKeys[kind] != NULL)
            RegCloseKey(c->classKeys[kind]);
        if (c->commandKeys[kind] != NULL)
            RegCloseKey(c->commandKeys[kind]);
    }
    int asked = c->asked;
    free(c);
    return asked;
}

// --- The row -------------------------------------------------------------------------------

// The alert: the extension, the recorded program above and the newly
// associated one below.
static const AlertLine s_alertLines[] = {
    { IDC_TWO_HEADING, IDS_FILETYPE_HEADING, 0 },
    { IDC_TWO_OLD_LABEL, IDS_FILETYPE_OLD, 0 },
    { IDC_TWO_NEW_LABEL, IDS_FILETYPE_NEW, 0 },
    { IDC_TWO_QUESTION, IDS_FILETYPE_QUESTION, 0 },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_TWO_PROGRAMS, IDD_ALERT_FILETYPE, IDS_FILETYPE_TITLE, s_alertLines,
    IDYES, IDS_YES, IDNO, IDS_NO, ANSWER_ACCEPT,
    5, IDS_TIP_FILETYPES,  // sound, tray tip
    0, -1, -1,             // no history line
};

static void DescribeFileType(const ItemRecord* item, int, AlertRequest* request)
{
    MakeAlertRequest(request, &s_alert, item->Extra, item->Info, FILETYPE_CODE);
    TextCopy(request->SecondFile, item->Command);
}

static int PatrolFileTypesRow(const Category*)
{
    PatrolFileTypes();
    return 0;
}

// The store keeps its own marker (the Ext key's "Do not edit."), written
// by the set-up; the row never writes the mark "P".
static int SetUpFileTypes()
{
    CreateClassInfo();
    return FileTypeStoreReady();
}

static int RecordFileTypesDetected()
{
    ItemList list;
    EnumFileTypes(&list);
    for (int i = 0; i < ItemCount(&list); i++)
        RecordDetected(GetItemCommand(&list, i), VX_DETECTED_KEY "\\FileTypes");
    return 1;
}

// Undoing a rejected change: the rejected association is made again and
// recorded, so that it is not asked about.  The line's action name,
// "START_Restore", reads back as the code of its first entry in the table
// (that of "SERVICE_Disabled"): the type tells the line apart.
static int UndoFileTypeLine(const ItemRecord* line)
{
    if ((line->Flag != HA_START_RESTORE && line->Flag != HA_SERVICE_DISABLED) ||
        line->Code != FILETYPE_CODE)
        return -1;
    char dotExt[EXTENSION_TEXT];
    int kind = line->Extra[0] - '0';
    if (kind < 1 || kind > 3 || line->Extra[1] != ':' || line->Command[0] == '\0' ||
        !NormalExtension(line->Name, dotExt))
        return 0;
    if (!WriteAssociation(dotExt, kind, line->Extra + 2, line->Command, REG_SZ))
        return 0;
    return SaveFileType(dotExt, kind);
}

// The classes of both roots with their commands, and the per-user choices.
static const WatchPlace s_watch[] = {
    { WATCH_KEY, HKEY_LOCAL_MACHINE, CLASSES_KEY, NULL, WATCH_SUBTREE | WATCH_SYSTEM_VIEW },
    { WATCH_KEY, HKEY_CURRENT_USER, CLASSES_KEY, NULL, WATCH_SUBTREE },
    { WATCH_KEY, HKEY_CURRENT_USER, FILEEXTS_KEY, NULL, WATCH_SUBTREE },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_FileTypesCategory = {
    "File Types",                    // Label
    "FileTypes",                     // DetectedSubkey
    VX_EXT_KEY,                      // BaselineKey: set up by CreateClassInfo
    OPT_FileType, OPT_RealtimeFileType, OPT_HideFileType,
    0,                               // first half
    &s_alert, &s_alert,
    CAT_RELOADS_OPTIONS,
    NULL,                            // CanRun
    PatrolFileTypesRow,
    SetUpFileTypes,
    FileTypeStoreReady,              // BaselineReady: the store's own marker
    RecordFileTypesDetected,
    NULL, NULL, NULL, NULL,          // List, compare, TellNew: its own step
    DescribeFileType,
    NULL,                            // Act: within its own step
    UndoFileTypeLine,
    EnumFileTypes,                   // ListAll: every monitored type
    s_watch,
};
