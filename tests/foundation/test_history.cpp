// history.txt as both programs write it, its report to a history server (a
// real listener on 127.0.0.1 in this program), and reading it back.
#include <winsock2.h>
#include <windows.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/vxtest.h"

namespace {

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

// Winsock, loaded by name so the test needs no extra import library.
#define WINSOCK_CALL(f) decltype(&::f) f##_ = reinterpret_cast<decltype(&::f)>(ws2_.Proc(#f));

// A listener on 127.0.0.1 that answers one request with one text and keeps
// its request line ("GET /... HTTP/1.1").
class HistoryServer {
public:
    // answer NULL: a server that takes the request and never answers.
    explicit HistoryServer(const char* answer) : answer_(answer ? answer : ""), silent_(!answer) {}
    ~HistoryServer()
    {
        if (thread_.IsValid())
            WaitForSingleObject(thread_.Get(), INFINITE);
        if (listener_ != INVALID_SOCKET)
            closesocket_(listener_);
    }
    // Listens at a free port and sets "vxserver" to http://127.0.0.1:<port><path>.
    bool Start(const char* path)
    {
        WSADATA data;
        sockaddr_in addr;
        ZeroMemory(&addr, sizeof(addr));
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = 0x0100007F;   // 127.0.0.1 in network order
        int size = sizeof(addr);
        if (WSAStartup_ == nullptr || WSAStartup_(MAKEWORD(2, 2), &data) != 0 ||
            (listener_ = socket_(AF_INET, SOCK_STREAM, IPPROTO_TCP)) == INVALID_SOCKET ||
            bind_(listener_, (sockaddr*)&addr, sizeof(addr)) != 0 || listen_(listener_, 4) != 0 ||
            getsockname_(listener_, (sockaddr*)&addr, &size) != 0)
            return false;
        char url[128];
        TEXT_FORMAT(url, "http://127.0.0.1:%d%s", ((addr.sin_port & 0xFF) << 8) | (addr.sin_port >> 8),
                    path);
        vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
        thread_.Reset(CreateThread(NULL, 0, Serve, this, 0, NULL));
        return thread_.IsValid();
    }
    // Safe to read once the request has been answered (the answer follows
    // the push), or when none came.
    std::vector<std::string> requests;

private:
    // Serves the first request that comes within five seconds.
    static DWORD WINAPI Serve(void* context)
    {
        HistoryServer* self = (HistoryServer*)context;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(self->listener_, &set);
        timeval wait = { 5, 0 };
        if (self->select_(0, &set, NULL, NULL, &wait) <= 0)
            return 0;
        SOCKET client = self->accept_(self->listener_, NULL, NULL);
        std::string request;
        char buffer[1024];
        for (int n = 1; n > 0 && request.find("\r\n\r\n") == std::string::npos;)
            if ((n = self->recv_(client, buffer, sizeof(buffer), 0)) > 0)
                request.append(buffer, n);
        self->requests.push_back(request.substr(0, request.find("\r\n")));
        if (self->silent_) {
            Sleep(9000);  // holds the connection open, saying nothing
            self->closesocket_(client);
            return 0;
        }
        std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                            std::to_string(self->answer_.size()) + "\r\nConnection: close\r\n\r\n" +
                            self->answer_;
        self->send_(client, reply.data(), (int)reply.size(), 0);
        self->closesocket_(client);
        return 0;
    }

    LoadedLibrary ws2_{ "ws2_32.dll" };
    WINSOCK_CALL(WSAStartup) WINSOCK_CALL(socket) WINSOCK_CALL(bind) WINSOCK_CALL(listen)
    WINSOCK_CALL(getsockname) WINSOCK_CALL(select) WINSOCK_CALL(accept) WINSOCK_CALL(recv)
    WINSOCK_CALL(send) WINSOCK_CALL(closesocket)
    std::string answer_;
    bool silent_;
    SOCKET listener_ = INVALID_SOCKET;
    KernelHandle thread_;
};

// The fields of a history line read back: "Name|Command|Extra|Code|Flag".
std::string Fields(const ItemRecord* item)
{
    if (item == nullptr)
        return "<none>";
    return std::string(item->Name) + "|" + item->Command + "|" + item->Extra + "|" +
           std::to_string(item->Code) + "|" + std::to_string(item->Flag);
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
        return ReadHistory();
    }
};

// --- Writing and reporting ----------------------------------------------------

TEST_F(HistoryTest, AppendsTheExactLineLayout)
{
    vxtest::WriteFileBytes(HistoryPath(), "old line\r\n");
    std::string before = Now12h();
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\App\\upd.exe /q", "", 11, HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory("Svc", "C:\\s.exe", "desc", 17, HA_SERVICE_DISABLED));
    ASSERT_EQ(1, WriteHistory("X", "Y", "Z", 1200, 99));
    std::string after = Now12h();

    std::string text = vxtest::ReadFileText(HistoryPath());
    ASSERT_EQ(0u, text.find("old line\r\n"));
    size_t pos = strlen("old line\r\n");
    for (std::string rest : { "\t*START_Remove\tCURRENT_RUN\tUpdater\tC:\\App\\upd.exe /q\t\r\n",
                              "\tSERVICE_Disabled\tTYPE_UNKNOWN\tSvc\tC:\\s.exe\tdesc\r\n",
                              "\t\tTYPE_UNKNOWN\tX\tY\tZ\r\n" }) {
        size_t tab = text.find('\t', pos);
        ASSERT_NE(std::string::npos, tab);
        std::string time = text.substr(pos, tab - pos);
        EXPECT_TRUE(time == before || time == after) << time;
        EXPECT_EQ(rest, text.substr(tab, rest.size()));
        pos = tab + rest.size();
    }
    EXPECT_EQ(text.size(), pos);
}

TEST_F(HistoryTest, HistoryOptionGatesWritingAndReporting)
{
    HistoryServer server("1");
    ASSERT_TRUE(server.Start("/r?"));
    for (int value : { 0, -1 }) {
        OptionWrite("History", value);
        LoadOptions();
        EXPECT_EQ(0, WriteHistory("n", "c", "i", 11, HA_START_REMOVE)) << value;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HistoryPath().c_str()));
    }
    EXPECT_EQ(0u, server.requests.size());

    OptionWrite("History", 1);
    LoadOptions();
    ASSERT_EQ(1, WriteHistory("Kill Me", "C:\\k.exe", "", 600, HA_TASK_KILL));
    ASSERT_EQ(1u, server.requests.size());
    EXPECT_NE(std::string::npos,
              server.requests[0].find("&action=TASK_Kill&type=INFO_TASK&title=Kill%20Me"
                                      "&path=C%3A%5Ck.exe HTTP/"))
        << server.requests[0];
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

TEST_F(HistoryTest, ReportSendsEveryValueEncoded)
{
    HistoryServer server("1 thanks");
    ASSERT_TRUE(server.Start("/report?v=2"));
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxid", "ID 7&x");

    EXPECT_EQ(1, ReportHistory("*START_Remove", "CURRENT_RUN", "My App&type=X #1 100%\xE9",
                               "C:\\Program Files\\My-App_1.0~x\\a.exe /q"));
    ASSERT_EQ(1u, server.requests.size());
    const std::string& line = server.requests[0];
    EXPECT_EQ(0u, line.find("GET /report?v=2&name=")) << line;
    EXPECT_EQ(line.rfind(' '), line.find(' ', 4)) << "a raw blank inside the address: " << line;
    size_t time = line.find("&code=ID%207%26x&time=");
    size_t action = line.find("&action=");
    ASSERT_NE(std::string::npos, time) << line;
    EXPECT_NE(std::string::npos, line.substr(time, action - time).find("%20%20"))
        << "two blanks between date and time: " << line;
    EXPECT_EQ("&action=%2ASTART_Remove&type=CURRENT_RUN&title=My%20App%26type%3DX%20%231%20100%25%E9"
              "&path=C%3A%5CProgram%20Files%5CMy-App_1.0~x%5Ca.exe%20%2Fq",
              line.substr(action, line.rfind(' ') - action));
}

TEST_F(HistoryTest, ReportFailsWithoutServerListenerOrAnswerOne)
{
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));   // no "vxserver"
    {
        HistoryServer server("0");
        ASSERT_TRUE(server.Start("/r?"));
        EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
        EXPECT_EQ(1u, server.requests.size());
    }
    // The same address once nobody listens there.
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
}

// The report runs on the monitor's only thread, before an alert is shown:
// a server that takes the request and never answers holds it only for the
// report's own timeouts.
TEST_F(HistoryTest, ASilentServerHoldsTheLineOnlyForTheTimeout)
{
    HistoryServer server(NULL);
    ASSERT_TRUE(server.Start("/r?"));
    DWORD start = GetTickCount();
    EXPECT_EQ(1, WriteHistory("n", "c", "", 11, HA_START_ALERT));
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 8000u);
    EXPECT_EQ(1, ReadHistory());
}

// --- Reading back -----------------------------------------------------------------

TEST_F(HistoryTest, ReadsWrittenLinesBack)
{
    ASSERT_EQ(1, WriteHistory("Updater", "C:\\App\\upd.exe", "C:\\Startup\\Updater.lnk", 200,
                              HA_START_REMOVE));
    ASSERT_EQ(1, WriteHistory(std::string(200, 'n').c_str(), "C:\\s.exe", "", 700, HA_SERVICE_STOP));
    ASSERT_EQ(2, ReadHistory());
    EXPECT_EQ("Updater|C:\\App\\upd.exe|C:\\Startup\\Updater.lnk|200|0", Fields(GetHistoryItem(0)));
    EXPECT_EQ(Now12h().substr(0, 10), std::string(GetHistoryItem(0)->Info).substr(0, 10));
    // A 200-character name reads back empty.
    EXPECT_EQ("|C:\\s.exe||700|9", Fields(GetHistoryItem(1)));
    EXPECT_EQ("<none>", Fields(GetHistoryItem(2)));
    EXPECT_EQ("<none>", Fields(GetHistoryItem(-1)));
}

TEST_F(HistoryTest, OnlyTheFirst131072BytesAndAtMost4096LinesAreRead)
{
    std::string data;
    for (int i = 0; i < 1400; i++)
        data += "t\tSTART_Alert\tCURRENT_RUN\tName" + std::to_string(1000 + i) + "\t" +
                std::string(63, 'x') + "\r\n";
    // 100-byte lines: 1310 whole ones, then 72 bytes of the 1311th (35 before its command).
    ASSERT_EQ(140000u, data.size());
    ASSERT_EQ(1311, ReadLines(data));
    EXPECT_EQ("Name2309|" + std::string(63, 'x') + "||11|6", Fields(GetHistoryItem(1309)));
    EXPECT_EQ("Name2310|" + std::string(72 - 35, 'x') + "||11|6", Fields(GetHistoryItem(1310)));

    data.clear();
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
        data += (seed >> 8) % 50 == 0 ? '\t' : (char)(seed >> 16);
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

TEST_F(HistoryTest, UnendedEmptyOrMissingFiles)
{
    EXPECT_EQ(0, ReadHistory());
    EXPECT_EQ(0, ReadLines(""));
    EXPECT_EQ(0, ReadLines("\r\n\r\n\n"));
    // Missing fields are empty, a seventh is ignored, the last line needs no end.
    EXPECT_EQ(3, ReadLines("only time\r\nt\tTASK_Kill\tINFO_TASK\tn\tc\te\tseventh\r\n"
                           "t\t*START_Remove\tMACHINE_RUN\tn\tc\te"));
    EXPECT_EQ("|||3000|31", Fields(GetHistoryItem(0)));
    EXPECT_STREQ("only time", GetHistoryItem(0)->Info);
    EXPECT_EQ("n|c|e|600|5", Fields(GetHistoryItem(1)));
    EXPECT_EQ("n|c|e|1|0", Fields(GetHistoryItem(2)));
    // One 200000-byte line: only its first 131072 bytes, every field too long.
    EXPECT_EQ(1, ReadLines(std::string(200000, 'z')));
    EXPECT_STREQ("", GetHistoryItem(0)->Info);
}

}  // namespace
