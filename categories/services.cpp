// Services: the service keys under HKLM SYSTEM\CurrentControlSet\Services
// read into the item list, the baseline of known services, and the control
// manager operations the alert and the explorer use.
#include "categories/services.h"

#include <stdlib.h>
#include <string.h>

#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "foundation/item_list.h"
#include "foundation/name_table.h"
#include "resources/alert_layouts.h"
#include "resources/fragments/services.h"

#define SERVICE_TITLE_KEEP (ITEM_NAME - 1)
// A value bigger than this is not text anyone wrote for a service.
#define SERVICE_VALUE_MAX  (1024 * 1024)

struct ScCloser {
    void operator()(SC_HANDLE h) const { CloseServiceHandle(h); }
};
typedef ScopedHandle<SC_HANDLE, ScCloser> ScHandle;

// --- Reading a service key ---------------------------------------------------

// A REG_SZ or REG_EXPAND_SZ value of any length, expanded, cut to outSize - 1
// characters.  Returns the length stored; 0 and "" when missing, empty or of
// another type.  Values are not limited to the store's 1024 bytes: a service
// whose command is longer must still be listed, not skipped unseen.
static int ReadKeyText(HKEY key, const char* name, char* out, int outSize)
{
    out[0] = '\0';
    char small[1024];
    DWORD type = 0, size = sizeof(small) - 1;
    LONG rc = RegQueryValueExA(key, name, NULL, &type, (BYTE*)small, &size);
    char* data = small;
    char* big = NULL;
    if (rc == ERROR_MORE_DATA && (type == REG_SZ || type == REG_EXPAND_SZ) &&
        size <= SERVICE_VALUE_MAX) {
        big = (char*)malloc((size_t)size + 1);
        if (big == NULL)
            return 0;
        DWORD got = size;
        rc = RegQueryValueExA(key, name, NULL, &type, (BYTE*)big, &got);
        size = got;
        data = big;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        free(big);
        return 0;
    }
    data[size] = '\0';
    int length = 0;
    if (type == REG_EXPAND_SZ && strchr(data, '%') != NULL) {
        DWORD need = ExpandEnvironmentStringsA(data, NULL, 0);
        char* expanded = need > 0 ? (char*)malloc((size_t)need + 1) : NULL;
        if (expanded != NULL && ExpandEnvironmentStringsA(data, expanded, need + 1) > 0)
            length = (int)TextCopy(out, (size_t)outSize, expanded);
        free(expanded);
    } else {
        length = (int)TextCopy(out, (size_t)outSize, data);
    }
    free(big);
    return length;
}

// The lowest byte of a 4-byte REG_DWORD "Start"; -1 when missing, of another
// type or size.
static int ReadStartByte(HKEY key)
{
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, "Start", NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return -1;
    return (int)(value & 0xFF);
}

static int StartTextId(int start, int otherId)
{
    switch (start) {
    case 2: return TXT_SERVICE_AUTOMATIC;
    case 3: return TXT_SERVICE_MANUAL;
    case 4: return TXT_SERVICE_DISABLED;
    default: return otherId;
    }
}

// A program file or a DLL in the shared service host; drivers are not.
static int IsServiceProgram(const char* imagePath)
{
    return TextFindNoCase(imagePath, ".exe") || TextFindNoCase(imagePath, "svchost");
}

// --- The control manager's titles ------------------------------------------------

// Every service the control manager knows, sorted by key name, so that a
// walk over the keys asks it once instead of once per key.
struct TitleTable {
    ENUM_SERVICE_STATUSA* entries;
    DWORD count;
};

static int CompareNoCase(const char* a, const char* b)
{
    for (;; a++, b++) {
        int ca = (unsigned char)*a, cb = (unsigned char)*b;
        if (ca >= 'a' && ca <= 'z')
            ca -= 32;
        if (cb >= 'a' && cb <= 'z')
            cb -= 32;
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

static int CompareEntries(const void* a, const void* b)
{
    return CompareNoCase(((const ENUM_SERVICE_STATUSA*)a)->lpServiceName,
                         ((const ENUM_SERVICE_STATUSA*)b)->lpServiceName);
}

static void LoadTitles(TitleTable* table)
{
    table->entries = NULL;
    table->count = 0;
    ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_ENUMERATE_SERVICE));
    if (!scm.IsValid())
        return;
    DWORD needed = 0, count = 0, resume = 0;
    const DWORD kinds = SERVICE_WIN32 | SERVICE_DRIVER;
    EnumServicesStatusA(scm.Get(), kinds, SERVICE_STATE_ALL, NULL, 0, &needed, &count, &resume);
    if (needed == 0)
        return;
    // Room for services added between the two calls.
    DWORD size = needed + 4096;
    ENUM_SERVICE_STATUSA* entries = (ENUM_SERVICE_STATUSA*)malloc(size);
    if (entries == NULL)
        return;
    resume = 0;
    if (!EnumServicesStatusA(scm.Get(), kinds, SERVICE_STATE_ALL, entries, size, &needed, &count,
                             &resume) &&
        GetLastError() != ERROR_MORE_DATA) {
        free(entries);
        return;
    }
    qsort(entries, count, sizeof(entries[0]), CompareEntries);
    table->entries = entries;
    table->count = count;
}

static void FreeTitles(TitleTable* table)
{
    free(table->entries);
    table->entries = NULL;
    table->count = 0;
}

static const char* FindTitle(const TitleTable* table, const char* keyName)
{
    ENUM_SERVICE_STATUSA probe;
    probe.lpServiceName = const_cast<char*>(keyName);
    const ENUM_SERVICE_STATUSA* found = (const ENUM_SERVICE_STATUSA*)bsearch(
        &probe, table->entries, table->count, sizeof(probe), CompareEntries);
    return found != NULL ? found->lpDisplayName : NULL;
}

// The service's title, whole (out holds outSize): the manager's display
// name, else DisplayName, else the key name.
static void TitleOfKey(const TitleTable* titles, HKEY key, const char* keyName, char* out,
                       int outSize)
{
    const char* title = FindTitle(titles, keyName);
    if (title != NULL && title[0] != '\0')
        TextCopy(out, (size_t)outSize, title);
    else if (ReadKeyText(key, "DisplayName", out, outSize) == 0)
        TextCopy(out, (size_t)outSize, keyName);
}

// --- Walking the service keys ------------------------------------------------------

// Called for every key with a non-empty ImagePath (at most 1023 characters
// of it); returns 0 to end the walk.
typedef int (*ServiceVisitor)(HKEY key, const char* keyName, const char* imagePath,
                              void* context);

// Returns the number of keys visited; -1 when the service keys cannot be
// read at all.
static int WalkServiceKeys(ServiceVisitor visit, void* context)
{
    RegKey root;
    if (root.Open(HKEY_LOCAL_MACHINE, SERVICES_KEY, KEY_READ) != ERROR_SUCCESS)
        return -1;
    DWORD subkeys = 0;
    if (RegQueryInfoKeyA(root, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS)
        return -1;
    int visited = 0;
    for (DWORD index = 0; index <= subkeys; index++) {
        char keyName[256];
        DWORD nameSize = sizeof(keyName);
        LONG rc = RegEnumKeyExA(root, index, keyName, &nameSize, NULL, NULL, NULL, NULL);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || keyName[0] == '\0')
            continue;
        RegKey key;
        if (key.Open(root, keyName, KEY_READ) != ERROR_SUCCESS)
            continue;
        char imagePath[1024];
        if (ReadKeyText(key, "ImagePath", imagePath, sizeof(imagePath)) == 0)
            continue;
        visited++;
        if (!visit(key, keyName, imagePath, context))
            break;
    }
    return visited;
}

// --- The listing ---------------------------------------------------------------------

struct ListContext {
    ItemList* out;
    TitleTable titles;
    int quick;
    int filterMicrosoft;
};

static int NamesMicrosoft(const char* command)
{
    char path[VX_PATH];
    ExpandProgramPath(command, path);
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(path, strings);
    return TextFindNoCase(strings[VS_COMPANY_NAME], "Microsoft");
}

// The Command of a service key (the hosted DLL of a shared-host service;
// command holds ITEM_COMMAND) and its type code.
static int CommandOfKey(HKEY key, const char* imagePath, char* command)
{
    TextCopy(command, ITEM_COMMAND, imagePath);
    if (!TextFindNoCase(imagePath, "svchost"))
        return SERVICE_CODE_EXE;
    RegKey parameters;
    char dll[ITEM_COMMAND];
    if (parameters.Open(key, "Parameters", KEY_READ) == ERROR_SUCCESS &&
        ReadKeyText(parameters, "ServiceDll", dll, sizeof(dll)) > 0)
        TextCopy(command, ITEM_COMMAND, dll);
    return SERVICE_CODE_SVCHOST;
}

// The startup-type text of the listing (out holds 128): "Automatic",
// "Manual", "Disabled", else "0".
static void StartTextOfKey(HKEY key, char* out, int outSize)
{
    int textId = StartTextId(ReadStartByte(key), 0);
    if (textId != 0)
        LoadText(textId, out, outSize);
    else
        TextCopy(out, (size_t)outSize, "0");
}

static int AddServiceEntry(HKEY key, const char* keyName, const char* imagePath, void* context)
{
    ListContext* list = (ListContext*)context;
    if (list->quick)
        return AddItem(list->out, keyName, "", "", "", SERVICE_CODE_EXE, 0);
    if (!IsServiceProgram(imagePath))
        return 1;
    char title[ITEM_NAME];
    TitleOfKey(&list->titles, key, keyName, title, sizeof(title));

    char command[ITEM_COMMAND];
    int code = CommandOfKey(key, imagePath, command);
    if (list->filterMicrosoft && NamesMicrosoft(command))
        return 1;

    char startText[128];
    StartTextOfKey(key, startText, sizeof(startText));
    char description[ITEM_INFO];
    ReadKeyText(key, "Description", description, sizeof(description));
    return AddItem(list->out, title, command, startText, description, code, 0);
}

static int ListServices(ItemList* out, int quick, int filterMicrosoft)
{
    ClearItems(out);
    ListContext list;
    list.out = out;
    list.quick = quick;
    list.filterMicrosoft = filterMicrosoft;
    list.titles.entries = NULL;
    list.titles.count = 0;
    if (!quick)
        LoadTitles(&list.titles);
    int walked = WalkServiceKeys(AddServiceEntry, &list);
    FreeTitles(&list.titles);
    return walked < 0 ? -1 : ItemCount(out);
}

int EnumServices(ItemList* list, int quick)
{
    return ListServices(list, quick, !quick && g_Options[OPT_HideMicrosoftServices] > 0);
}

int EnumServicesUnfiltered(ItemList* list)
{
    return ListServices(list, 0, 0);
}

// --- Rejections that did not hold ------------------------------------------------------

// A service the user refused that could not be disabled (no right to, or no
// key its title tells apart) is told about once, then left alone while it
// stays as it was refused: the same title, Command and startup-type text.
// A change brings the question back; so does the next start of the program,
// as the record is kept in memory only.
static NameTable s_refusedAsTheyWere;
#define REFUSED_MAX 1024

// "title\ncommand\nstart text": the service as the listing shows it.
static void RefusalName(const char* title, const char* command, const char* startText,
                        char* out, size_t outSize)
{
    TextFormat(out, outSize, "%s\n%s\n%s", title, command, startText);
}

static void RememberRefusal(const ItemRecord* item)
{
    if (s_refusedAsTheyWere.count >= REFUSED_MAX)
        NameTableFree(&s_refusedAsTheyWere);
    char name[ITEM_NAME + ITEM_COMMAND + ITEM_EXTRA];
    RefusalName(item->Name, item->Command, item->Extra, name, sizeof(name));
    NameTablePut(&s_refusedAsTheyWere, name, 1);
}

static int RefusedAsItIs(const char* title, const char* command, const char* startText)
{
    if (s_refusedAsTheyWere.count == 0)
        return 0;
    char name[ITEM_NAME + ITEM_COMMAND + ITEM_EXTRA];
    RefusalName(title, command, startText, name, sizeof(name));
    int value = 0;
    return NameTableGet(&s_refusedAsTheyWere, name, &value);
}

// The same for a service key the quick pass reads: its Command and
// startup-type text made as the listing makes them.
static int KeyRefusedAsItIs(HKEY key, const char* title, const char* imagePath)
{
    if (s_refusedAsTheyWere.count == 0)
        return 0;
    char command[ITEM_COMMAND], listed[ITEM_COMMAND], startText[128];
    CommandOfKey(key, imagePath, command);
    ItemCommandText(command, listed);
    StartTextOfKey(key, startText, sizeof(startText));
    return RefusedAsItIs(title, listed, startText);
}

// --- The quick pass --------------------------------------------------------------------

struct ChangeContext {
    TitleTable titles;
    int titlesLoaded;
    HKEY baseline;
    int changed;
};

// A baseline value that is there and whose text is a number other than 0.
static int KnownInBaseline(HKEY baseline, const char* title)
{
    char data[32];
    DWORD type = 0, size = sizeof(data) - 1;
    if (RegQueryValueExA(baseline, title, NULL, &type, (BYTE*)data, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    data[size] = '\0';
    return atoi(data) != 0;
}

static int CheckServiceKnown(HKEY key, const char* keyName, const char* imagePath,
                             void* context)
{
    ChangeContext* change = (ChangeContext*)context;
    if (!IsServiceProgram(imagePath))
        return 1;
    // The manager takes its titles from DisplayName: a service known by
    // that value needs no question to the manager at all.
    char title[ITEM_NAME];
    if (ReadKeyText(key, "DisplayName", title, sizeof(title)) > 0 &&
        KnownInBaseline(change->baseline, title))
        return 1;
    if (!change->titlesLoaded) {
        LoadTitles(&change->titles);
        change->titlesLoaded = 1;
    }
    TitleOfKey(&change->titles, key, keyName, title, sizeof(title));
    if (KnownInBaseline(change->baseline, title) || KeyRefusedAsItIs(key, title, imagePath))
        return 1;
    change->changed = 1;
    return 0;
}

// The baseline is keyed by titles; the pass looks each service up by the
// same title the full listing gives it, so the full check runs only when a
// service is really unknown.  The manager is asked (once, for all its
// names) only when a DisplayName is not in the baseline.
int ServicesChanged()
{
    RegKey baseline;
    if (baseline.Open(HKEY_CURRENT_USER, VX_SERVICES_KEY, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 1;
    ChangeContext change;
    change.titles.entries = NULL;
    change.titles.count = 0;
    change.titlesLoaded = 0;
    change.baseline = baseline.Get();
    change.changed = 0;
    WalkServiceKeys(CheckServiceKnown, &change);
    FreeTitles(&change.titles);
    return change.changed;
}

// --- Titles to key names ------------------------------------------------------------------

int GetServiceTitle(const char* keyName, char* out, int outSize)
{
    out[0] = '\0';
    ScHandle scm(OpenSCManagerA(NULL, NULL, GENERIC_READ));
    if (!scm.IsValid())
        return 0;
    char title[4096];
    DWORD size = sizeof(title);
    if (!GetServiceDisplayNameA(scm.Get(), keyName, title, &size))
        return 0;
    TextCopy(out, (size_t)outSize, title);
    return 1;
}

struct KeyNameSearch {
    TitleTable titles;
    const char* title;
    int mayBeCut;
    char exact[256];
    char prefix[256];
    int prefixCount;
};

static int MatchTitle(HKEY key, const char* keyName, const char* imagePath, void* context)
{
    (void)imagePath;
    KeyNameSearch* search = (KeyNameSearch*)context;
    char title[512];
    TitleOfKey(&search->titles, key, keyName, title, sizeof(title));
    if (TextEqualNoCase(title, search->title)) {
        TextCopy(search->exact, keyName);
        return 0;
    }
    if (search->mayBeCut) {
        title[SERVICE_TITLE_KEEP] = '\0';
        if (TextEqualNoCase(title, search->title)) {
            if (search->prefixCount++ == 0)
                TextCopy(search->prefix, keyName);
        }
    }
    return 1;
}

int ServiceKeyNameOfTitle(const char* title, char* out, int outSize)
{
    out[0] = '\0';
    if (title == NULL || title[0] == '\0')
        return 0;
    {
        ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
        char keyName[256];
        DWORD size = sizeof(keyName);
        if (scm.IsValid() && GetServiceKeyNameA(scm.Get(), title, keyName, &size)) {
            TextCopy(out, (size_t)outSize, keyName);
            return 1;
        }
    }
    KeyNameSearch search;
    search.title = title;
    search.mayBeCut = TextLength(title, SERVICE_TITLE_KEEP + 1) == SERVICE_TITLE_KEEP;
    search.exact[0] = search.prefix[0] = '\0';
    search.prefixCount = 0;
    LoadTitles(&search.titles);
    WalkServiceKeys(MatchTitle, &search);
    FreeTitles(&search.titles);
    if (search.exact[0] != '\0')
        TextCopy(out, (size_t)outSize, search.exact);
    else if (search.prefixCount == 1)
        TextCopy(out, (size_t)outSize, search.prefix);
    return out[0] != '\0';
}

static SC_HANDLE OpenServiceByTitle(SC_HANDLE scm, const char* title, DWORD access)
{
    char keyName[256];
    if (!ServiceKeyNameOfTitle(title, keyName, sizeof(keyName)))
        return NULL;
    return OpenServiceA(scm, keyName, access);
}

// --- State and control -------------------------------------------------------------------------

// The status after an interrogate control; 0 when it could not be had.
static int InterrogateService(const char* title, SERVICE_STATUS* status)
{
    ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
    if (!scm.IsValid())
        return 0;
    ScHandle service(OpenServiceByTitle(scm.Get(), title, SERVICE_INTERROGATE | SERVICE_QUERY_STATUS));
    if (!service.IsValid())
        return 0;
    memset(status, 0, sizeof(*status));
    return ControlService(service.Get(), SERVICE_CONTROL_INTERROGATE, status) ? 1 : 0;
}

int QueryServiceState(const char* title)
{
    SERVICE_STATUS status;
    if (!InterrogateService(title, &status))
        return 0;
    return (int)((status.dwCurrentState << 16) | (status.dwServiceType & 0xFFFF));
}

void ServiceStateName(int state, char* out, size_t outSize)
{
    int textId = TXT_SERVICE_STOPPED;
    switch (state) {
    case SERVICE_START_PENDING: textId = TXT_SERVICE_START_PENDING; break;
    case SERVICE_STOP_PENDING: textId = TXT_SERVICE_STOP_PENDING; break;
    case SERVICE_RUNNING: textId = TXT_SERVICE_RUNNING; break;
    case SERVICE_CONTINUE_PENDING: textId = TXT_SERVICE_CONTINUE_PENDING; break;
    case SERVICE_PAUSE_PENDING: textId = TXT_SERVICE_PAUSE_PENDING; break;
    case SERVICE_PAUSED: textId = TXT_SERVICE_PAUSED; break;
    default: break;
    }
    LoadText(textId, out, (int)TextLimit(outSize, 128));
}

int ServiceStateText(const char* title, char* out, size_t outSize)
{
    int state = QueryServiceState(title);
    ServiceStateName(state >> 16, out, outSize);
    return state < 0x10000 ? 0 : state;
}

int LoadServiceStates(NameTable* states)
{
    TitleTable table;
    LoadTitles(&table);
    if (table.entries == NULL)
        return -1;
    int count = 0;
    for (DWORD i = 0; i < table.count; i++) {
        const ENUM_SERVICE_STATUSA* entry = &table.entries[i];
        if (entry->lpDisplayName == NULL || entry->lpDisplayName[0] == '\0')
            continue;
        // Keyed as the listing keeps titles.
        char title[ITEM_NAME];
        TextCopy(title, entry->lpDisplayName);
        if (NameTablePut(states, title, (int)entry->ServiceStatus.dwCurrentState))
            count++;
    }
    FreeTitles(&table);
    return count;
}

int ServiceControlsAccepted(const char* title)
{
    SERVICE_STATUS status;
    if (!InterrogateService(title, &status))
        return 0;
    return (int)status.dwControlsAccepted;
}

int ControlServiceByTitle(const char* title, int control)
{
    ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
    if (!scm.IsValid())
        return 0;
    ScHandle service(OpenServiceByTitle(scm.Get(), title, SERVICE_ALL_ACCESS));
    if (!service.IsValid())
        return 0;
    SERVICE_STATUS status;
    return ControlService(service.Get(), (DWORD)control, &status) ? 1 : 0;
}

int SetServiceStartType(const char* title, int startType)
{
    // Boot and system start belong to drivers: never written for a service.
    if (startType < SERVICE_AUTO_START || startType > SERVICE_DISABLED)
        return 0;
    char keyName[256];
    if (!ServiceKeyNameOfTitle(title, keyName, sizeof(keyName)))
        return 0;
    // Through the control manager the new type holds at once; a value
    // written only into the key is seen by it at the next system start.
    {
        ScHandle scm(OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT));
        ScHandle service(scm.IsValid() ? OpenServiceA(scm.Get(), keyName, SERVICE_CHANGE_CONFIG)
                                       : NULL);
        if (service.IsValid() &&
            ChangeServiceConfigA(service.Get(), SERVICE_NO_CHANGE, (DWORD)startType,
                                 SERVICE_NO_CHANGE, NULL, NULL, NULL, NULL, NULL, NULL, NULL))
            return 1;
    }
    char path[512];
    TEXT_FORMAT(path, SERVICES_KEY "\\%s", keyName);
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    DWORD value = (DWORD)startType;
    return RegSetValueExA(key, "Start", 0, REG_DWORD, (const BYTE*)&value, sizeof(value)) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int ServiceStartTypeText(const char* title, char* out, int outSize)
{
    int start = -1;
    char keyName[256];
    if (ServiceKeyNameOfTitle(title, keyName, sizeof(keyName))) {
        char path[512];
        TEXT_FORMAT(path, SERVICES_KEY "\\%s", keyName);
        RegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_QUERY_VALUE) == ERROR_SUCCESS)
            start = ReadStartByte(key);
    }
    int textId = StartTextId(start, TXT_SERVICE_UNKNOWN);
    LoadText(textId, out, outSize);
    return textId == TXT_SERVICE_UNKNOWN ? 0 : start;
}

// --- The description for a file --------------------------------------------------------

struct DescriptionSearch {
    char wanted[VX_PATH];
    char* out;
    size_t outSize;
    int length;
};

static int MatchServiceFile(HKEY key, const char* keyName, const char* imagePath, void* context)
{
    (void)keyName;
    DescriptionSearch* search = (DescriptionSearch*)context;
    char command[1024];
    TextCopy(command, imagePath);
    if (TextFindNoCase(imagePath, "svchost.exe")) {
        RegKey parameters;
        char dll[1024];
        if (parameters.Open(key, "Parameters", KEY_READ) == ERROR_SUCCESS &&
            ReadKeyText(parameters, "ServiceDll", dll, sizeof(dll)) > 0)
            TextCopy(command, dll);
    }
    char path[VX_PATH];
    ExpandProgramPath(command, path);
    if (path[0] == '\0' || !TextEqualNoCase(path, search->wanted))
        return 1;
    search->length = ReadKeyText(key, "Description", search->out, (int)search->outSize);
    return 0;
}

int ServiceDescriptionForFile(const char* path, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, ITEM_INFO);
    out[0] = '\0';
    DescriptionSearch search;
    ExpandProgramPath(path, search.wanted);
    if (search.wanted[0] == '\0')
        return 0;
    search.out = out;
    search.outSize = outSize;
    search.length = 0;
    WalkServiceKeys(MatchServiceFile, &search);
    return search.length;
}

// --- The category's operations ----------------------------------------------------------

static int WriteServiceBaseline(const ItemRecord* item)
{
    char code[16];
    TEXT_FORMAT(code, "%d", item->Code);
    return RegWriteString(HKEY_CURRENT_USER, VX_SERVICES_KEY, item->Name, code);
}

// Every service there is, whatever its company: the option hides services
// from the list, not from what counts as known.
static int InitServicesBaselineValues()
{
    ItemList list;
    if (EnumServicesUnfiltered(&list) < 0)
        return 0;
    if (!RegCreateKeyPath(HKEY_CURRENT_USER, VX_SERVICES_KEY))
        return 0;
    int recorded = 1;
    for (int i = 0; i < ItemCount(&list); i++)
        if (!WriteServiceBaseline(GetItem(&list, i)))
            recorded = 0;
    return recorded;
}

static int RecordServicesDetected()
{
    ItemList list;
    if (EnumServicesUnfiltered(&list) < 0)
        return 0;
    for (int i = 0; i < ItemCount(&list); i++)
        RecordDetected(GetItemCommand(&list, i), VX_DETECTED_KEY "\\Services");
    return 1;
}

// The patrol's list: the full listing only when the quick pass found an
// unknown service; otherwise an empty list, nothing to ask.
static int ListServicesForPatrol(ItemList* out)
{
    if (!ServicesChanged())
        return 0;
    int count = EnumServices(out, 0);
    return count < 0 ? 0 : count;
}

static int TellNewService(const ItemRecord* item, void* context)
{
    int code = BaselineCodeIn((const NameTable*)context, VX_SERVICES_KEY, item->Name);
    if (code != 0 || RefusedAsItIs(item->Name, item->Command, item->Extra))
        return VERDICT_KNOWN;
    return VERDICT_NEW;
}

// The alert: the service's start type and run state as the service
// manager has them now, under the news of a new service.  Escape refuses
// it too: it stays stopped.
static const AlertLine s_alertLines[] = {
    { IDC_ALERT_VERSION_LABEL, IDS_VERSION, 0 },
    { IDC_SERVICE_INTRO, IDS_SERVICE_INTRO, ALERT_LINE_BODY_FONT },
    { IDC_SERVICE_STATE, IDS_SERVICE_STATE, ALERT_LINE_FILLED },
    { 0, 0, 0 },
};

static const AlertDescription s_alert = {
    ALERT_ONE_PROGRAM, IDD_ALERT_SERVICE, IDS_ALERT_TITLE, s_alertLines,
    IDYES, IDS_YES, IDNO, IDS_NO, ANSWER_REJECT,
    1, IDS_TIP_STARTUP,  // sound, tray tip
    0, -1, -1,           // headed by its name; no history line
};

static void DescribeService(const ItemRecord* item, int, AlertRequest* request)
{
    ServiceStartTypeText(item->Name, request->Details[0], 128);
    ServiceStateText(item->Name, request->Details[1], 128);
}

// Rejecting stops the service and disables it.  Each history line stands
// for a step that was carried out; the service becomes known only once it
// is disabled.  One that could not be disabled is told about, and asked
// about again once it has changed.
static int RejectService(const ItemRecord* item)
{
    int action = 0;
    switch (QueryServiceState(item->Name) >> 16) {
    case SERVICE_START_PENDING: action = HA_SERVICE_FROM_MANUAL; break;
    case SERVICE_STOP_PENDING: action = HA_SERVICE_FROM_DISABLED; break;
    case SERVICE_RUNNING: action = HA_SERVICE_FROM_DISABLED2; break;
    default: break;
    }
    if (action != 0)
        WriteHistory(item->Name, item->Command, "", item->Code, action);
    if (ControlServiceByTitle(item->Name, SERVICE_CONTROL_STOP))
        WriteHistory(item->Name, item->Command, "", item->Code, HA_SERVICE_STOP);
    if (!SetServiceStartType(item->Name, SERVICE_DISABLED)) {
        RememberRefusal(item);
        UiNotify(NOTICE_DISABLE_FAILED, item->Name);
        return 0;
    }
    WriteHistory(item->Name, item->Command, "", item->Code, HA_SERVICE_DISABLED);
    WriteServiceBaseline(item);
    return 1;
}

static int ActOnService(const ItemRecord* item, int, int answer)
{
    if (answer == ANSWER_ACCEPT)
        return WriteServiceBaseline(item);
    if (answer == ANSWER_REJECT)
        return RejectService(item);
    return 0;
}

// The page's listing: every program and shared-host service, less
// Microsoft's while "HideMicrosoftServices" says so.
static int ListAllServices(ItemList* out)
{
    int count = EnumServices(out, 0);
    return count < 0 ? 0 : count;
}

// A new service is a new key; a changed command is a value below it.
static const WatchPlace s_watch[] = {
    { WATCH_KEY, HKEY_LOCAL_MACHINE, SERVICES_KEY, NULL, WATCH_SUBTREE },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

const Category g_ServicesCategory = {
    "Check for change to Services",  // Label
    "Services",                      // DetectedSubkey
    VX_SERVICES_KEY,                 // BaselineKey
    OPT_Services, OPT_RealtimeServices, OPT_HideServices,
    1,                               // second half
    &s_alert, &s_alert,
    CAT_BASELINE_TABLE,
    NULL,                            // CanRun: always
    NULL,                            // Patrol: the generic step
    InitServicesBaselineValues,
    NULL,                            // BaselineReady: the mark "P"
    RecordServicesDetected,
    ListServicesForPatrol,
    NULL,                            // BeginCompare: the baseline table
    NULL,
    TellNewService,
    DescribeService,
    ActOnService,
    NULL,                            // Undo: nothing of it is reversible
    ListAllServices,
    s_watch,
};
