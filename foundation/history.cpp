#include "foundation/history.h"

#include <stdlib.h>
#include <string.h>
#include <wininet.h>

#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"
#include "foundation/utils.h"

// How long the history server may take to connect, take and answer.
#define HISTORY_REPORT_TIMEOUT_MS 3000

// The history file is read up to this size; the rest is never shown.
#define HISTORY_READ_MAX 131072


// --- Writing -------------------------------------------------------------------

// The current local time as field 1 of a line (out holds 32).
static void HistoryNow(char* out, size_t outSize)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char never[64];
    LoadText(TXT_NEVER, never, sizeof(never));
    FormatHistoryTime(now.wMonth, now.wDay, now.wYear, now.wHour, now.wMinute, never, out,
                      outSize);
}

int HistoryFilePath(char* out, size_t outSize)
{
    outSize = TextLimit(outSize, VX_PATH);
    char folder[VX_PATH];
    out[0] = '\0';
    if (GetProgramFolder(folder) == 0)
        return 0;
    char path[VX_PATH + 16];
    size_t length = TextFormat(path, sizeof(path), "%s\\history.txt", folder);
    // A path cut to fit would name another file.
    if (length >= VX_PATH)
        return 0;
    return (int)TextCopy(out, outSize, path);
}

int WriteHistory(const char* name, const char* command, const char* info, int typeCode,
                 int actionCode)
{
    if (g_Options[OPT_History] <= 0)
        return 0;
    const char* type = HistoryTypeName(typeCode);
    const char* action = HistoryActionName(actionCode);
    char time[32];
    HistoryNow(time, sizeof(time));

    char line[HISTORY_LINE_MAX + 1];
    size_t length = FormatHistoryLine(time, action, type, name, command, info, line,
                                      sizeof(line));

    char path[VX_PATH];
    if (HistoryFilePath(path) == 0)
        return 0;
    // No sharing: the other program's write at the same moment fails and
    // its line is dropped rather than interleaved with this one.
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return 0;
    SetFilePointer(file.Get(), 0, NULL, FILE_END);
    DWORD written = 0;
    if (!WriteFile(file.Get(), line, (DWORD)length, &written, NULL) || written != length)
        return 0;
    file.Reset(INVALID_HANDLE_VALUE);

    char actionText[48], typeText[48], nameText[128], commandText[260];
    TextCopy(actionText, action);
    TextCopy(typeText, type);
    TextCopy(nameText, name);
    TextCopy(commandText, command);
    ReportHistory(actionText, typeText, nameText, commandText);
    return 1;
}

// --- Report --------------------------------------------------------------------

// A WinINet handle, closed when the call that opened it returns.
struct InternetCloser {
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
typedef ScopedHandle<HINTERNET, InternetCloser> InternetHandle;

static void SetReportTimeouts(HINTERNET handle)
{
    DWORD timeout = HISTORY_REPORT_TIMEOUT_MS;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
}

int ReportHistory(const char* action, const char* type, const char* name, const char* command)
{
    char url[512];
    if (RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url, sizeof(url)) == 0)
        return 0;
    char id[32];
    RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, "vxid", id, sizeof(id));
    char user[128] = "";
    DWORD userSize = sizeof(user);
    if (!GetUserNameA(user, &userSize))
        user[0] = '\0';
    char time[32];
    HistoryNow(time, sizeof(time));

    // Every value is encoded: a blank, "&", "#" or "%" in a program's name
    // must neither cut the query short nor add parameters of its own.
    AppendQueryValue(url, sizeof(url), "name", user);
    AppendQueryValue(url, sizeof(url), "code", id);
    AppendQueryValue(url, sizeof(url), "time", time);
    AppendQueryValue(url, sizeof(url), "action", action);
    AppendQueryValue(url, sizeof(url), "type", type);
    AppendQueryValue(url, sizeof(url), "title", name);
    AppendQueryValue(url, sizeof(url), "path", command);

    InternetHandle session(InternetOpenA("History", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0));
    if (session.Get() == NULL)
        return 0;
    // The report runs on the monitor's only thread, while an alert waits to
    // be shown: a server that accepts and never answers must not hold it.
    // Every handle gets the timeouts (some systems take them only from the
    // request itself), so the request is opened step by step.
    URL_COMPONENTSA parts;
    ZeroMemory(&parts, sizeof(parts));
    parts.dwStructSize = sizeof(parts);
    char host[256], path[512];
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof(path);
    parts.dwExtraInfoLength = 1;  // the query stays in the path
    if (!InternetCrackUrlA(url, 0, 0, &parts))
        return 0;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return 0;
    char object[512];
    TextCopy(object, path);
    if (parts.lpszExtraInfo != NULL)
        TextAppend(object, parts.lpszExtraInfo);
    SetReportTimeouts(session.Get());
    InternetHandle connection(InternetConnectA(session.Get(), host, parts.nPort, NULL, NULL,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (connection.Get() == NULL)
        return 0;
    SetReportTimeouts(connection.Get());
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                  INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(HttpOpenRequestA(connection.Get(), "GET", object, NULL, NULL, NULL,
                                            flags, 0));
    if (request.Get() == NULL)
        return 0;
    SetReportTimeouts(request.Get());
    if (!HttpSendRequestA(request.Get(), NULL, 0, NULL, 0))
        return 0;
    char answer[33];
    DWORD total = 0;
    while (total < 32) {
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), answer + total, 32 - total, &got) || got == 0)
            break;
        total += got;
    }
    return total > 0 && answer[0] == '1';
}

// --- Reading back ----------------------------------------------------------------

static ItemRecord* s_history[ITEM_MAX];
static int s_historyCount = 0;

void ClearHistoryItems()
{
    for (int i = 0; i < s_historyCount; i++) {
        HeapFree(GetProcessHeap(), 0, s_history[i]);
        s_history[i] = NULL;
    }
    s_historyCount = 0;
}

int HistoryItemCount()
{
    return s_historyCount;
}

const ItemRecord* GetHistoryItem(int index)
{
    return (index >= 0 && index < s_historyCount) ? s_history[index] : NULL;
}

static int AddHistoryItem(const HistoryLineFields& fields)
{
    if (s_historyCount >= ITEM_MAX)
        return 0;
    ItemRecord* item = (ItemRecord*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                              sizeof(ItemRecord));
    if (item == NULL)
        return 0;
    TextCopy(item->Name, fields.Name);
    TextCopy(item->Command, fields.Command);
    TextCopy(item->Extra, fields.Extra);
    TextCopy(item->Info, fields.Time);
    item->Flag = fields.Action;
    item->Code = fields.Type;
    s_history[s_historyCount++] = item;
    return 1;
}

// Reads at most HISTORY_READ_MAX bytes of the file into a new block (free
// with HeapFree).  NULL when the file is missing or empty.
static char* ReadHistoryBlock(DWORD* size)
{
    *size = 0;
    char path[VX_PATH];
    if (HistoryFilePath(path) == 0)
        return NULL;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return NULL;
    char* block = (char*)HeapAlloc(GetProcessHeap(), 0, HISTORY_READ_MAX + 1);
    if (block == NULL)
        return NULL;
    DWORD total = 0;
    while (total < HISTORY_READ_MAX) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), block + total, HISTORY_READ_MAX - total, &got, NULL) || got == 0)
            break;
        total += got;
    }
    block[total] = '\0';
    *size = total;
    if (total == 0) {
        HeapFree(GetProcessHeap(), 0, block);
        return NULL;
    }
    return block;
}

int ReadHistory()
{
    ClearHistoryItems();

    DWORD size = 0;
    char* block = ReadHistoryBlock(&size);
    if (block != NULL) {
        size_t pos = 0, start = 0, length = 0;
        HistoryLineFields fields;
        while (NextHistoryLine(block, size, &pos, &start, &length)) {
            ParseHistoryLine(block + start, length, &fields);
            if (!AddHistoryItem(fields))
                break;
        }
        HeapFree(GetProcessHeap(), 0, block);
    }
    return s_historyCount;
}

int ClearHistoryFile()
{
    char path[VX_PATH];
    int gone = 0;
    if (HistoryFilePath(path) != 0) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        gone = DeleteFileA(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    }
    ReadHistory();
    return gone;
}

