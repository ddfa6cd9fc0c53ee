// history.txt as both programs write it, its report to a history server (a
// real listener on 127.0.0.1 in this program), and reading it back.
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/vxtest.h"

namespace {

std::string HistoryPath() { return vxtest::PathInProgramFolder("history.txt"); }

std::string Now12h()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    FormatHistoryTime(t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute, "Never", text, sizeof(text));
    return text;
}

// Winsock, loaded by name so the test needs no extra import library.
LoadedLibrary g_Winsock("ws2_32.dll");
#define WS(f) reinterpret_cast<decltype(&::f)>(g_Winsock.Proc(#f))

// A listener on 127.0.0.1 that takes the first request coming within five
// seconds, keeps its request line ("GET /... HTTP/1.1") and answers it with
// one text, or (answer NULL) holds the connection for 9 s saying nothing.
struct HistoryServer {
    const char* answer;
    SOCKET listener = INVALID_SOCKET;
    KernelHandle thread;
    std::string request;  // read once answered, or when none came
    explicit HistoryServer(const char* text) : answer(text) {}
    ~HistoryServer() { WaitForSingleObject(thread.Get(), INFINITE); WS(closesocket)(listener); }
    // Listens at a free port and sets "vxserver" to http://127.0.0.1:<port><path>.
    bool Start(const char* path)
    {
        WSADATA data;
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = 0x0100007F;   // 127.0.0.1 in network order
        int size = sizeof(addr);
        if (WS(WSAStartup)(MAKEWORD(2, 2), &data) != 0
            || (listener = WS(socket)(AF_INET, SOCK_STREAM, IPPROTO_TCP)) == INVALID_SOCKET
            || WS(bind)(listener, (sockaddr*)&addr, sizeof(addr)) != 0
            || WS(listen)(listener, 4) != 0
            || WS(getsockname)(listener, (sockaddr*)&addr, &size) != 0)
            return false;
        char url[128];
        TEXT_FORMAT(url, "http://127.0.0.1:%d%s",
            ((addr.sin_port & 0xFF) << 8) | (addr.sin_port >> 8), path);
        vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", url);
        thread.Reset(CreateThread(NULL, 0, Serve, this, 0, NULL));
        return thread.IsValid();
    }
    static DWORD WINAPI Serve(void* context)
    {
        HistoryServer* self = (HistoryServer*)context;
        fd_set set = { 1, { self->listener } };
        timeval wait = { 5, 0 };
        if (WS(select)(0, &set, NULL, NULL, &wait) <= 0)
            return 0;
        SOCKET client = WS(accept)(self->listener, NULL, NULL);
        std::string got;
        char buffer[1024];
        for (int n = 1; n > 0 && got.find("\r\n\r\n") == std::string::npos;
             got.append(buffer, n > 0 ? n : 0))
            n = WS(recv)(client, buffer, sizeof(buffer), 0);
        self->request = got.substr(0, got.find("\r\n"));
        std::string reply
            = std::string("HTTP/1.0 200 OK\r\n\r\n") + (self->answer ? self->answer : "");
        Sleep(self->answer ? 0 : 9000); // the silent one answers only long after the report gave up
        WS(send)(client, reply.data(), (int)reply.size(), 0);
        WS(closesocket)(client);
        return 0;
    }
};

// The fields of a history line read back: "Name|Command|Extra|Code|Flag".
std::string Fields(const ItemRecord* item)
{
    return item == nullptr ? "<none>"
                           : std::string(item->Name) + "|" + item->Command + "|" + item->Extra + "|"
            + std::to_string(item->Code) + "|" + std::to_string(item->Flag);
}

int ReadLines(const std::string& bytes)
{
    vxtest::WriteFileBytes(HistoryPath(), bytes);
    return ReadHistory();
}

struct HistoryTest : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore();
        DeleteFileA(HistoryPath().c_str());
        LoadOptions();
    }
};

// A missing or empty file has no lines; empty lines are skipped and the last
// needs no end; only the first 131072 bytes and at most 4096 lines are read.
TEST_F(HistoryTest, ReadsLinesBackWithinTheLimits)
{
    EXPECT_TRUE(ReadHistory() == 0);
    EXPECT_TRUE(ReadLines("") == 0);
    ASSERT_EQ(1, WriteHistory("Upd", "C:\\upd.exe", "C:\\Startup\\Upd.lnk", 200, HA_START_REMOVE));
    std::string written = vxtest::ReadFileText(HistoryPath());
    EXPECT_EQ(2, ReadLines("\r\n" + written + "\r\n\n" + "t\tTASK_Kill\tINFO_TASK\tn\tc\te"));
    EXPECT_EQ("Upd|C:\\upd.exe|C:\\Startup\\Upd.lnk|200|0", Fields(GetHistoryItem(0)));
    EXPECT_EQ(written.substr(0, written.find('\t')), GetHistoryItem(0)->Info);
    EXPECT_EQ("n|c|e|600|5", Fields(GetHistoryItem(1)));
    EXPECT_EQ("<none><none>", Fields(GetHistoryItem(2)) + Fields(GetHistoryItem(-1)));
    std::string data;
    for (int i = 0; i < 1400; i++)
        data += "t\tSTART_Alert\tCURRENT_RUN\tName" + std::to_string(1000 + i) + "\t"
            + std::string(63, 'x') + "\r\n";
    // 100-byte lines: 1310 whole ones, then 72 bytes of the 1311th (35 before its command).
    ASSERT_EQ(1311, ReadLines(data));
    EXPECT_EQ("Name2310|" + std::string(72 - 35, 'x') + "||11|6", Fields(GetHistoryItem(1310)));
    for (data.clear(); data.size() < 140000;)  // 5185 lines of 27 bytes
        data += "t\tTASK_Kill\tINFO_TASK\tn\tc\t\r\n";
    EXPECT_EQ(ITEM_MAX, ReadLines(data));
    ClearHistoryItems();
    // Appended in the exact layout, stamped with the time of the write; no line
    // while another program holds the file or while the option is 0 or below;
    // a line written is reported with its codes' names.
    // Every value encoded; the report counts only when the server answers
    // "1", never without an address or once nobody listens there.
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxid", "ID 7&x");
    for (const char* answer : { "0", "1 thanks" }) {
        HistoryServer server(answer);
        ASSERT_TRUE(server.Start("/report?v=2"));
        EXPECT_EQ(answer[0] == '1',
            ReportHistory("*START_Remove", "CURRENT_RUN", "My App&type=X #1 100%\xE9",
                "C:\\Program Files\\My-App_1.0~x\\a.exe /q"));
        const std::string& line = server.request;
        EXPECT_TRUE(line.find("GET /report?v=2&name=") == 0
            && line.find("&code=ID%207%26x&time=") != line.npos)
            << line;
        size_t action = line.find("&action=");
        EXPECT_EQ(
            "&action=%2ASTART_Remove&type=CURRENT_RUN&title=My%20App%26type%3DX%20%231%20100%25%E9"
            "&path=C%3A%5CProgram%20Files%5CMy-App_1.0~x%5Ca.exe%20%2Fq",
            line.substr(action, line.rfind(' ') - action));
    }
    EXPECT_EQ(0, ReportHistory("a", "b", "c", "d"));
    vxtest::WriteFileBytes(HistoryPath(), "old line\r\n");
    std::string before = Now12h();
    {
        FileHandle other(
            CreateFileA(HistoryPath().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
        EXPECT_EQ(0, WriteHistory("n", "c", "", 11, HA_START_ALERT));
    }
    for (int value : { 0, -1, 1 }) {
        OptionWrite("History", value);
        LoadOptions();
        EXPECT_EQ(
            value > 0, WriteHistory("Updater", "C:\\App\\upd.exe /q", "", 11, HA_START_REMOVE))
            << value;
    }
    std::string after = Now12h(), text = vxtest::ReadFileText(HistoryPath());
    const char* line = "\t*START_Remove\tCURRENT_RUN\tUpdater\tC:\\App\\upd.exe /q\t\r\n";
    EXPECT_TRUE(text == "old line\r\n" + before + line || text == "old line\r\n" + after + line)
        << text;
    HistoryServer server("1");
    ASSERT_TRUE(server.Start("/r?"));
    EXPECT_EQ(1, WriteHistory("Kill Me", "C:\\k.exe", "", 600, HA_TASK_KILL));
    EXPECT_NE(std::string::npos,
        server.request.find("&action=TASK_Kill&type=INFO_TASK&title=Kill%20Me"
                            "&path=C%3A%5Ck.exe HTTP/"))
        << server.request;
}

}  // namespace

// A report server that accepts and never answers holds the monitor's only
// thread (and the alert waiting on the line) only for the connection's
// timeouts, well before it would answer; the line is written all the same.
TEST_F(HistoryTest, ASilentServerHoldsTheLineOnlyForTheTimeout)
{
    HistoryServer server(NULL);
    ASSERT_TRUE(server.Start("/r?"));
    DWORD start = GetTickCount();
    EXPECT_EQ(1, WriteHistory("n", "c", "", 11, HA_START_ALERT));
    EXPECT_LT(GetTickCount() - start, 8000u);
    EXPECT_EQ(1, ReadHistory());
}
