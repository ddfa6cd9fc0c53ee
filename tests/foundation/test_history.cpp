// history.txt as both programs write it, its report to a history server (a
// real listener on 127.0.0.1 in this program), reading it back and undoing
// recorded removals against the real registry, WIN.INI and Startup folder.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>
#include <string.h>

#include <string>
#include <vector>

#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/vxtest.h"

namespace {

const char* const kHklmWindows = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const char* const kWinIniStore = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string HistoryPath()
{
    return vxtest::PathInProgramFolder("history.txt");
}

std::string Now12h()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    FormatHistoryTime(t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute, "Never", text, sizeof(text));
    return text;
}

// --- A one-request-at-a-time HTTP listener on 127.0.0.1 ---------------------
// Winsock is loaded by name so the test needs no extra import library.

struct Winsock {
    LoadedLibrary dll{ "ws2_32.dll" };
    int (WSAAPI* startup)(WORD, LPWSADATA);
    SOCKET (WSAAPI* socket_)(int, int, int);
    int (WSAAPI* bind_)(SOCKET, const sockaddr*, int);
    int (WSAAPI* listen_)(SOCKET, int);
    int (WSAAPI* getsockname_)(SOCKET, sockaddr*, int*);
    SOCKET (WSAAPI* accept_)(SOCKET, sockaddr*, int*);
    int (WSAAPI* recv_)(SOCKET, char*, int, int);
    int (WSAAPI* send_)(SOCKET, const char*, int, int);
    int (WSAAPI* closesocket_)(SOCKET);
    int (WSAAPI* select_)(int, fd_set*, fd_set*, fd_set*, const timeval*);

    template <class F> void Get(F& f, const char* name)
    {
        f = reinterpret_cast<F>(dll.Proc(name));
    }
    bool Load()
    {
        Get(startup, "WSAStartup"); Get(socket_, "socket"); Get(bind_, "bind");
        Get(listen_, "listen"); Get(getsockname_, "getsockname"); Get(accept_, "accept");
        Get(recv_, "recv"); Get(send_, "send"); Get(closesocket_, "closesocket");
        Get(select_, "select");
        WSADATA data;
        return startup && socket_ && bind_ && listen_ && getsockname_ && accept_ && recv_ &&
               send_ && closesocket_ && select_ && startup(MAKEWORD(2, 2), &data) == 0;
    }
};

class HistoryServer {
public:
    explicit HistoryServer(const char* answer) : answer_(answer) {}
    ~HistoryServer()
    {
        stop_ = true;
        if (thread_.IsValid())
            WaitForSingleObject(thread_.Get(), 5000);
        if (listener_ != INVALID_SOCKET)
            ws_.closesocket_(listener_);
    }
    // Listens on 127.0.0.1 at a free port; returns the port, 0 on failure.
    int Start()
    {
        if (!ws_.Load())
            return 0;
        listener_ = ws_.socket_(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (listener_ == INVALID_SOCKET)
            return 0;
        sockaddr_in addr;
        ZeroMemory(&addr, sizeof(addr));
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = 0x0100007F;   // 127.0.0.1 in network order
        int size = sizeof(addr);
        if (ws_.bind_(listener_, (sockaddr*)&addr, sizeof(addr)) != 0 ||
            ws_.listen_(listener_, 4) != 0 ||
            ws_.getsockname_(listener_, (sockaddr*)&addr, &size) != 0)
            return 0;
        thread_.Reset(CreateThread(NULL, 0, Serve, this, 0, NULL));
        int port = ((addr.sin_port & 0xFF) << 8) | (addr.sin_port >> 8);
        return thread_.IsValid() ? port : 0;
    }
    // The request lines received so far ("GET /... HTTP/1.1").
    std::vector<std::string> Requests()
    {
        std::vector<std::string> copy;
        EnterCriticalSection(&lock_);
        copy = requests_;
        LeaveCriticalSection(&lock_);
        return copy;
    }
    struct Lock {
        Lock() { InitializeCriticalSection(&cs); }
        ~Lock() { DeleteCriticalSection(&cs); }
        CRITICAL_SECTION cs;
    };

private:
    static DWORD WINAPI Serve(void* self) { return ((HistoryServer*)self)->Loop(); }
    DWORD Loop()
    {
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(listener_, &set);
            timeval wait = { 0, 100000 };
            if (ws_.select_(0, &set, NULL, NULL, &wait) <= 0)
                continue;
            SOCKET client = ws_.accept_(listener_, NULL, NULL);
            if (client == INVALID_SOCKET)
                continue;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                int n = ws_.recv_(client, buffer, sizeof(buffer), 0);
                if (n <= 0)
                    break;
                request.append(buffer, n);
            }
            EnterCriticalSection(&lock_);
            requests_.push_back(request.substr(0, request.find("\r\n")));
            LeaveCriticalSection(&lock_);
            std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                                std::to_string(answer_.size()) + "\r\nConnection: close\r\n\r\n" +
                                answer_;
            ws_.send_(client, reply.data(), (int)reply.size(), 0);
            ws_.closesocket_(client);
        }
        return 0;
    }

    Winsock ws_;
    std::string answer_;
    SOCKET listener_ = INVALID_SOCKET;
    KernelHandle thread_;
    volatile bool stop_ = false;
    Lock guard_;
    CRITICAL_SECTION& lock_ = guard_.cs;
    std::vector<std::string> requests_;
};

// Splits a query into its "key=value" parameters.
std::vector<std::string> QueryParameters(const std::string& requestLine)
{
    std::string path = requestLine.substr(4, requestLine.rfind(' ') - 4);
    std::string query = path.substr(path.find('?') + 1);
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t amp = query.find('&', start);
        parts.push_back(query.substr(start, amp - start));
        if (amp == std::string::npos)
            break;
        start = amp + 1;
    }
    return parts;
}

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        DeleteFileA(HistoryPath().c_str());
        LoadOptions();
    }
    void TearDown() override
    {
        ClearHistoryItems();
        DeleteFileA(HistoryPath().c_str());
    }
    // Writes the file and reads it back.
    int ReadLines(const std::string& bytes)
    {
        vxtest::WriteFileBytes(HistoryPath(), bytes);
        return ReadHistory(NULL);
    }
};

// --- Writing -----------------------------------------------------------------

TEST_F(HistoryTest, WritesTheExactLineLayout)
{
    std::string before = Now12h();
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\App\\upd.exe /q", "", 11, HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory("Svc", "C:\\s.exe", "desc", 17, HA_SERVICE_DISABLED));
    ASSERT_EQ(1, WriteHistory("X", "Y", "Z", 1200, 99));
    std::string after = Now12h();

    std::string text = vxtest::ReadFileText(HistoryPath());
    std::string expected[3] = {
        "\t*START_Remove\tCURRENT_RUN\tUpdater\tC:\\App\\upd.exe /q\t\r\n",
        "\tSERVICE_Disabled\tTYPE_UNKNOWN\tSvc\tC:\\s.exe\tdesc\r\n",
        "\t\tTYPE_UNKNOWN\tX\tY\tZ\r\n",
    };
    size_t pos = 0;
    for (const std::string& rest : expected) {
        size_t tab = text.find('\t', pos);
        ASSERT_NE(std::string::npos, tab);
        std::string time = text.substr(pos, tab - pos);
        EXPECT_TRUE(time == before || time == after) << time;
        EXPECT_EQ(rest, text.substr(tab, rest.size()));
        pos = tab + rest.size();
    }
    EXPECT_EQ(text.size(), pos);
}

TEST_F(HistoryTest, AppendsToAnExistingFile)
{
    vxtest::WriteFileBytes(HistoryPath(), "old line\r\n");
    ASSERT_EQ(1, WriteHistory("n", "c", "", 600, HA_TASK_KILL));
    std::string text = vxtest::ReadFileText(HistoryPath());
    EXPECT_EQ(0u, text.find("old line\r\n"));
    EXPECT_NE(std::string::npos, text.find("\tTASK_Kill\tINFO_TASK\tn\tc\t\r\n"));
}

TEST_F(HistoryTest, HistoryOptionZeroWritesAndSendsNothing)
{
    HistoryServer server("1");
    int port = server.Start();
    ASSERT_NE(0, port);
    char url[64];
    TEXT_FORMAT(url, "http://127.0.0.1:%d/h?a=1", port);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
    for (int value : { 0, -1 }) {
        OptionWrite("History", value);
        LoadOptions();
        EXPECT_EQ(0, WriteHistory("n", "c", "i", 11, HA_START_REMOVE)) << value;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HistoryPath().c_str()));
    }
    EXPECT_EQ(0u, server.Requests().size());
}

TEST_F(HistoryTest, FileOpenElsewhereDropsTheLine)
{
    vxtest::WriteFileBytes(HistoryPath(), "");
    FileHandle other(CreateFileA(HistoryPath().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    ASSERT_TRUE(other.IsValid());
    EXPECT_EQ(0, WriteHistory("n", "c", "", 11, HA_START_ALERT));
    other.Reset(INVALID_HANDLE_VALUE);
    EXPECT_EQ("", vxtest::ReadFileText(HistoryPath()));
}

// --- Report --------------------------------------------------------------------

TEST_F(HistoryTest, ReportSendsEveryValueEncoded)
{
    HistoryServer server("1 thanks");
    int port = server.Start();
    ASSERT_NE(0, port);
    char url[64];
    TEXT_FORMAT(url, "http://127.0.0.1:%d/report?v=2", port);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxid", "ID 7&x");

    EXPECT_EQ(1, ReportHistory("*START_Remove", "CURRENT_RUN", "My App&type=X #1 100%\xE9",
                               "C:\\Program Files\\My App\\a.exe /q"));
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    const std::string& line = requests[0];
    EXPECT_EQ(0u, line.find("GET /report?v=2&name=")) << line;
    EXPECT_EQ(line.rfind(' '), line.find(' ', 4)) << "a raw blank inside the address: " << line;

    std::vector<std::string> params = QueryParameters(line);
    ASSERT_EQ(8u, params.size()) << line;
    EXPECT_EQ("v=2", params[0]);
    EXPECT_EQ(0u, params[1].find("name="));
    EXPECT_EQ("code=ID%207%26x", params[2]);
    EXPECT_EQ(0u, params[3].find("time="));
    EXPECT_NE(std::string::npos, params[3].find("%20%20")) << "two blanks between date and time";
    EXPECT_EQ("action=%2ASTART_Remove", params[4]);
    EXPECT_EQ("type=CURRENT_RUN", params[5]);
    EXPECT_EQ("title=My%20App%26type%3DX%20%231%20100%25%E9", params[6]);
    EXPECT_EQ("path=C%3A%5CProgram%20Files%5CMy%20App%5Ca.exe%20%2Fq", params[7]);
}

TEST_F(HistoryTest, ReportAnswersOtherThanOneCountAsFailure)
{
    HistoryServer server("0");
    int port = server.Start();
    ASSERT_NE(0, port);
    char url[64];
    TEXT_FORMAT(url, "http://127.0.0.1:%d/r?", port);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
    EXPECT_EQ(1u, server.Requests().size());
}

TEST_F(HistoryTest, ReportWithoutServerOrConnectionSendsNothing)
{
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
    // A port nobody listens on (the listener is closed again at once).
    int port = 0;
    {
        HistoryServer server("1");
        port = server.Start();
        ASSERT_NE(0, port);
    }
    char url[64];
    TEXT_FORMAT(url, "http://127.0.0.1:%d/r?", port);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
}

TEST_F(HistoryTest, WrittenLinesAreReported)
{
    HistoryServer server("1");
    int port = server.Start();
    ASSERT_NE(0, port);
    char url[64];
    TEXT_FORMAT(url, "http://127.0.0.1:%d/r?", port);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
    ASSERT_EQ(1, WriteHistory("Kill Me", "C:\\k.exe", "", 600, HA_TASK_KILL));
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    std::vector<std::string> params = QueryParameters(requests[0]);
    ASSERT_EQ(8u, params.size()) << requests[0];
    EXPECT_EQ("action=TASK_Kill", params[4]);
    EXPECT_EQ("type=INFO_TASK", params[5]);
    EXPECT_EQ("title=Kill%20Me", params[6]);
    EXPECT_EQ("path=C%3A%5Ck.exe", params[7]);
}

// --- Reading back ----------------------------------------------------------------

TEST_F(HistoryTest, ReadsWrittenLinesBack)
{
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\App\\upd.exe", "C:\\Startup\\Updater.lnk", 200,
                              HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory("Svc", "C:\\s.exe", "", 700, HA_SERVICE_STOP));
    ASSERT_EQ(2, ReadHistory(NULL));
    const ItemRecord* first = GetHistoryItem(0);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("Updater", first->Name);
    EXPECT_STREQ("C:\\App\\upd.exe", first->Command);
    EXPECT_STREQ("C:\\Startup\\Updater.lnk", first->Extra);
    EXPECT_EQ(200, first->Code);
    EXPECT_EQ(HA_START_REMOVE, first->Flag);
    EXPECT_EQ(Now12h().substr(0, 10), std::string(first->Info).substr(0, 10));
    EXPECT_EQ(700, GetHistoryItem(1)->Code);
    EXPECT_EQ(HA_SERVICE_STOP, GetHistoryItem(1)->Flag);
    EXPECT_EQ(nullptr, GetHistoryItem(2));
    EXPECT_EQ(nullptr, GetHistoryItem(-1));
}

TEST_F(HistoryTest, TwoHundredCharacterNameReadsBackEmpty)
{
    std::string name(200, 'n');
    ASSERT_EQ(1, WriteHistory(name.c_str(), "C:\\a.exe", "", 11, HA_START_REMOVE));
    ASSERT_EQ(1, ReadHistory(NULL));
    EXPECT_STREQ("", GetHistoryItem(0)->Name);
    EXPECT_STREQ("C:\\a.exe", GetHistoryItem(0)->Command);
    EXPECT_EQ(11, GetHistoryItem(0)->Code);
}

TEST_F(HistoryTest, OnlyTheFirst131072BytesAreRead)
{
    // 100-byte lines: 1310 whole ones, then 72 bytes of the 1311th.
    std::string data;
    size_t fieldsLength = 0;
    for (int i = 0; i < 1400; i++) {
        char line[128];
        TEXT_FORMAT(line, "t\tSTART_Alert\tCURRENT_RUN\tName%04d\tC:\\cmd%04d.exe\t", i, i);
        std::string s = line;
        fieldsLength = s.size();
        s += std::string(98 - s.size(), 'x') + "\r\n";
        ASSERT_EQ(100u, s.size());
        data += s;
    }
    ASSERT_EQ(1311, ReadLines(data));
    EXPECT_STREQ("Name1309", GetHistoryItem(1309)->Name);
    const ItemRecord* cut = GetHistoryItem(1310);
    EXPECT_STREQ("Name1310", cut->Name);
    EXPECT_EQ(std::string(72 - fieldsLength, 'x'), std::string(cut->Extra));
}

TEST_F(HistoryTest, AtMost4096LinesAreKept)
{
    std::string data;
    for (int i = 0; i < 5000; i++)
        data += "t\tTASK_Kill\tINFO_TASK\tn\tc\t\r\n";
    EXPECT_EQ(ITEM_MAX, ReadLines(data));
}

TEST_F(HistoryTest, BinaryGarbageStaysWithinTheFields)
{
    std::string data;
    unsigned seed = 12345;
    for (int i = 0; i < 60000; i++) {
        seed = seed * 1103515245u + 12345u;
        char c = (char)(seed >> 16);
        if ((seed >> 8) % 50 == 0)
            c = '\t';
        data += c;
    }
    int count = ReadLines(data);
    EXPECT_GT(count, 0);
    for (int i = 0; i < count; i++) {
        const ItemRecord* item = GetHistoryItem(i);
        EXPECT_LE(strlen(item->Name), 127u);
        EXPECT_LE(strlen(item->Command), 259u);
        EXPECT_LE(strlen(item->Extra), 259u);
        EXPECT_LE(strlen(item->Info), 31u);
        EXPECT_NE(HA_START_REMOVE, item->Flag) << "garbage taken for a removal";
    }
}

TEST_F(HistoryTest, FileWithoutLineEnds)
{
    EXPECT_EQ(1, ReadLines("t\t*START_Remove\tMACHINE_RUN\tn\tc\te"));
    EXPECT_STREQ("e", GetHistoryItem(0)->Extra);
    EXPECT_EQ(1, GetHistoryItem(0)->Code);
    // One 200000-byte line: only its first 131072 bytes, every field too long.
    EXPECT_EQ(1, ReadLines(std::string(200000, 'z')));
    EXPECT_STREQ("", GetHistoryItem(0)->Info);
}

TEST_F(HistoryTest, EmptyOrMissingFileGivesNoLines)
{
    EXPECT_EQ(0, ReadHistory(NULL));
    EXPECT_EQ(0, ReadLines(""));
    EXPECT_EQ(0, ReadLines("\r\n\r\n\n"));
    EXPECT_EQ(0, HistoryItemCount());
}

TEST_F(HistoryTest, FillsTheListControl)
{
    InitCommonControls();
    HWND list = CreateWindowA(WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 300, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    ASSERT_NE((HWND)NULL, list);
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\u.exe", "", 11, HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory("Helper", "C:\\h.dll", "", 900, HA_IEHELPER_REMOVE));
    ASSERT_EQ(2, ReadHistory(list));
    ASSERT_EQ(2, ListView_GetItemCount(list));
    ASSERT_EQ(2, ReadHistory(list));   // read again: rows and columns are not doubled
    EXPECT_EQ(2, ListView_GetItemCount(list));
    HWND header = ListView_GetHeader(list);
    EXPECT_EQ(4, Header_GetItemCount(header));

    const char* headings[4] = { "Title", "Action", "Command", "Date Modified" };
    for (int c = 0; c < 4; c++) {
        char text[64] = "";
        LVCOLUMNA column;
        ZeroMemory(&column, sizeof(column));
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETCOLUMNA, c, (LPARAM)&column);
        EXPECT_STREQ(headings[c], text);
    }
    char cell[128];
    ListView_GetItemText(list, 1, 0, cell, sizeof(cell));
    EXPECT_STREQ("Helper", cell);
    ListView_GetItemText(list, 1, 1, cell, sizeof(cell));
    EXPECT_STREQ("IEHELPER_Remove", cell);
    ListView_GetItemText(list, 1, 2, cell, sizeof(cell));
    EXPECT_STREQ("TYPE_BHO", cell);
    ListView_GetItemText(list, 1, 3, cell, sizeof(cell));
    EXPECT_EQ(GetHistoryItem(1)->Info, std::string(cell));

    EXPECT_EQ(1, ClearHistoryFile(list));
    EXPECT_EQ(0, ListView_GetItemCount(list));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HistoryPath().c_str()));
    DestroyWindow(list);
}

TEST_F(HistoryTest, ClearFileRemovesAReadOnlyFile)
{
    vxtest::WriteFileBytes(HistoryPath(), "t\tTASK_Kill\tINFO_TASK\tn\tc\t\r\n");
    SetFileAttributesA(HistoryPath().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, ClearHistoryFile(NULL));
    EXPECT_EQ(0, HistoryItemCount());
}

// --- Undo --------------------------------------------------------------------------

class HistoryRestoreTest : public HistoryTest {
protected:
    // Writes one "*START_Remove" line of the type and restores it.
    int RestoreRemoval(const char* name, const char* command, const char* extra, int type)
    {
        DeleteFileA(HistoryPath().c_str());
        EXPECT_EQ(1, WriteHistory(name, command, extra, type, HA_START_REMOVE));
        EXPECT_EQ(1, ReadHistory(NULL));
        return RestoreHistoryItem(0, NULL);
    }
};

TEST_F(HistoryRestoreTest, RunKeysOfBothRoots)
{
    struct { int type; HKEY root; const char* key; } cases[] = {
        { 11, HKEY_CURRENT_USER, WIN_RUN_KEY },
        { 1, HKEY_LOCAL_MACHINE, WIN_RUN_KEY },
        { 12, HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce" },
        { 7, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\Run" },
    };
    for (const auto& c : cases) {
        SetUp();
        RegDeleteValueNamed(c.root, c.key, "Restored App");
        EXPECT_EQ(1, RestoreRemoval("Restored App", "C:\\Apps\\r.exe -a=1", "", c.type)) << c.type;
        EXPECT_REG_STRING(c.root, c.key, "Restored App", "C:\\Apps\\r.exe -a=1");
        // Baselined under the command, "=" as ":", with the code.
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Apps\\r.exe -a:1",
                          std::to_string(c.type));
        EXPECT_EQ(1, HistoryItemCount()) << "the list is read again";
        RegDeleteValueNamed(c.root, c.key, "Restored App");
    }
}

TEST_F(HistoryRestoreTest, WinIniRunThroughTheProfileApi)
{
    WriteProfileStringA("windows", "run", "first.exe");
    WriteProfileStringA("windows", "load", NULL);
    EXPECT_EQ(1, RestoreRemoval("back", "C:\\Apps\\back.exe", "", 101));
    char value[256];
    GetProfileStringA("windows", "run", "", value, sizeof(value));
    EXPECT_STREQ("first.exe;C:\\Apps\\back.exe", value);
    // Under Wine the profile API keeps [windows] in the registry.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kWinIniStore, "run", "first.exe;C:\\Apps\\back.exe");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Apps\\back.exe", "101");

    EXPECT_EQ(1, RestoreRemoval("load", "C:\\Apps\\load.exe", "", 100));
    GetProfileStringA("windows", "load", "", value, sizeof(value));
    EXPECT_STREQ("C:\\Apps\\load.exe", value);
    // Restoring twice does not list the program twice.
    EXPECT_EQ(1, RestoreHistoryItem(0, NULL));
    GetProfileStringA("windows", "load", "", value, sizeof(value));
    EXPECT_STREQ("C:\\Apps\\load.exe", value);
    WriteProfileStringA("windows", "run", NULL);
    WriteProfileStringA("windows", "load", NULL);
}

TEST_F(HistoryRestoreTest, StartupFolderShortcut)
{
    std::string startup = vxtest::ReadString(HKEY_CURRENT_USER, kShellFolders, "Startup");
    ASSERT_NE("<missing>", startup);
    CreateDirectoryA(startup.c_str(), NULL);
    std::string link = startup + "\\Restored App.lnk";
    DeleteFileA(link.c_str());
    std::string target = vxtest::PathInProgramFolder("KESSA.DLL");

    EXPECT_EQ(1, RestoreRemoval("Restored App", target.c_str(), link.c_str(), 200));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(link.c_str()));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, target.c_str(), "200");

    CoInitialize(NULL);
    {
        ComRef<IShellLinkA> shell;
        ComRef<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                                  IID_IShellLinkA, shell.OutVoid()));
        ASSERT_HRESULT_SUCCEEDED(shell->QueryInterface(IID_IPersistFile, file.OutVoid()));
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        ASSERT_HRESULT_SUCCEEDED(file->Load(wide, STGM_READ));
        char text[MAX_PATH];
        shell->GetPath(text, MAX_PATH, NULL, 0);
        EXPECT_STRCASEEQ(target.c_str(), text);
        shell->GetDescription(text, MAX_PATH);
        EXPECT_STREQ("Restored App", text);
        shell->GetWorkingDirectory(text, MAX_PATH);
        EXPECT_STRCASEEQ(vxtest::ProgramFolder().c_str(), text);
        shell->GetArguments(text, MAX_PATH);
        EXPECT_STREQ("", text);
    }
    CoUninitialize();
    DeleteFileA(link.c_str());
}

TEST_F(HistoryRestoreTest, ShortcutWithoutPathIsNotRestored)
{
    EXPECT_EQ(0, RestoreRemoval("x", "C:\\x.exe", "", 200));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\x.exe");
}

TEST_F(HistoryRestoreTest, AppInitDllAsShortPath)
{
    std::string dll = vxtest::PathInProgramFolder("Long Library Name.dll");
    vxtest::WriteFileBytes(dll, "MZ");
    char shortPath[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(dll.c_str(), shortPath, sizeof(shortPath)));

    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", "one.dll");
    EXPECT_EQ(1, RestoreRemoval("Long Library Name.dll", dll.c_str(), "", 255));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs",
                      std::string("one.dll,") + shortPath);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, dll.c_str(), "255");

    // An empty list gets the DLL alone.
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", "");
    EXPECT_EQ(1, RestoreHistoryItem(0, NULL));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", shortPath);

    // A list too long to read whole is never written back cut.
    std::string longList(1500, 'a');
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", longList.c_str());
    EXPECT_EQ(0, RestoreHistoryItem(0, NULL));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", longList);
    vxtest::SetString(HKEY_LOCAL_MACHINE, kHklmWindows, "AppInit_DLLs", "");
    DeleteFileA(dll.c_str());
}

TEST_F(HistoryRestoreTest, WinlogonNotifyComesBackFromOldName)
{
    const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\pkg";
    vxtest::SetString(HKEY_LOCAL_MACHINE, key, "DLLName", "");
    vxtest::SetString(HKEY_LOCAL_MACHINE, key, "OldName", "pkg.dll");
    EXPECT_EQ(1, RestoreRemoval("pkg", "pkg.dll", "", 256));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, key, "DLLName", "pkg.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, key, "OldName", "");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_RUN_KEY, "pkg.dll");
    // A package that was never parked keeps its DLL.
    EXPECT_EQ(1, RestoreHistoryItem(0, NULL));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, key, "DLLName", "pkg.dll");
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, key);
}

TEST_F(HistoryRestoreTest, ShellHookValues)
{
    const char* delayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
    const char* hooks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
    const char* clsid = "{11111111-2222-3333-4444-555555555555}";
    EXPECT_EQ(1, RestoreRemoval("Obj", "C:\\obj.dll", clsid, 252));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, delayLoad, "Obj", clsid);
    EXPECT_EQ(1, RestoreRemoval("Hook", "C:\\hook.dll", clsid, 254));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, hooks, clsid, "Hook");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, delayLoad, "Obj");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, hooks, clsid);
}

TEST_F(HistoryRestoreTest, DisableAndEnableLinesToggleTheEntry)
{
    vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled", "C:\\Apps\\t.exe");
    ReadLines("t\tSTART_Disable\tCURRENT_RUN\tToggled\tC:\\Apps\\t.exe\t\r\n");
    EXPECT_EQ(1, RestoreHistoryItem(0, NULL));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, "Toggled", "11");
    // The same line again brings it back.
    EXPECT_EQ(1, RestoreHistoryItem(0, NULL));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled", "C:\\Apps\\t.exe");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, "Toggled");
    RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, "Toggled");
}

TEST_F(HistoryRestoreTest, OtherPlacesAndActionsAreNotRestored)
{
    const char* wowRun = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    EXPECT_EQ(0, RestoreRemoval("Wow", "C:\\w.exe", "", 21));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, wowRun, "Wow");
    EXPECT_EQ(0, RestoreRemoval("Unknown", "C:\\u.exe", "", 3000));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\w.exe");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\u.exe");

    // A line whose action or type is unknown is never taken for a removal.
    ReadLines("t\tSOMETHING\tCURRENT_RUN\tForged\tC:\\f.exe\t\r\n"
              "t\t*START_Remove\tNO_SUCH_TYPE\tForged2\tC:\\f2.exe\t\r\n"
              "t\tSTART_Alert\tCURRENT_RUN\tAlerted\tC:\\a.exe\t\r\n");
    ASSERT_EQ(3, HistoryItemCount());
    EXPECT_EQ(0, RestoreHistoryItem(0, NULL));
    EXPECT_EQ(0, RestoreHistoryItem(1, NULL));
    EXPECT_EQ(0, RestoreHistoryItem(2, NULL));
    EXPECT_EQ(0, RestoreHistoryItem(99, NULL));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Forged");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\Run", "Forged2");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Alerted");
}

}  // namespace
