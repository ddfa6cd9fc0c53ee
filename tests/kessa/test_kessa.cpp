// KESSA.DLL: exports by ordinal only, and its watcher posts message 9024 to
// the window it was given when the set of running processes changes.
#include "support/idle_child.h"

#include "foundation/handles.h"
#include "kessa/kessa.h"

namespace {

// Counts 9024 messages arriving at a message-only window.
struct NoticeSink {
    HWND window = NULL;
    static int count;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        count += m == KESSA_PROCESS_CHANGE;
        return DefWindowProcA(w, m, wp, lp);
    }
    NoticeSink()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "KessaSink";
        RegisterClassA(&wc);
        window = CreateWindowA("KessaSink", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
        count = 0;
    }
    ~NoticeSink() { DestroyWindow(window); }
};
int NoticeSink::count = 0;

// Started, stopped and started again (as for another window): a notice when
// a process starts and when it ends, none once stopped.
TEST(Kessa, PostsANoticeWhenAProcessStartsAndEnds)
{
    NoticeSink sink;
    ASSERT_EQ(1, KessaStartWatch(sink.window));
    KessaStopWatch();
    ASSERT_EQ(1, KessaStartWatch(sink.window));
    EXPECT_EQ(1, KessaStartWatch(sink.window));  // already running: fine
    vxtest::PumpMessages(1500);  // the watcher takes its first look
    int quiet = NoticeSink::count;
    vxtest::IdleChild child;  // a process that exists until it is ended
    ASSERT_TRUE(child.Start("cmd.exe", true));
    vxtest::PumpMessages(4500);
    EXPECT_GT(NoticeSink::count, quiet) << "no notice for the new process";
    int afterStart = NoticeSink::count;
    child.End();
    vxtest::PumpMessages(4500);
    EXPECT_GT(NoticeSink::count, afterStart) << "no notice for the ended process";

    DWORD before = GetTickCount();
    EXPECT_EQ(1, KessaStopWatch());
    EXPECT_LT(GetTickCount() - before, 3000u);
    EXPECT_EQ(1, KessaStopWatch());  // stopping twice is harmless
    vxtest::PumpMessages(200);
    int stopped = NoticeSink::count;
    KernelHandle late(vxtest::StartProgram("cmd.exe /c exit"));
    WaitForSingleObject(late.Get(), 10000);
    vxtest::PumpMessages(4500);
    EXPECT_EQ(stopped, NoticeSink::count) << "a notice after the watch was stopped";
    LoadedLibrary dll("KESSA.DLL");
    ASSERT_TRUE(dll.Get() != NULL);
    std::string found;
    for (int ordinal = 1; ordinal <= 4; ordinal++)
        found += GetProcAddress(dll.Get(), MAKEINTRESOURCEA(ordinal)) != NULL ? "1" : "0";
    EXPECT_EQ("0110", found);
    EXPECT_TRUE(dll.Proc("KessaStartWatch") == NULL);
    EXPECT_TRUE(dll.Proc("KessaStartWatch@4") == NULL);
}

}  // namespace
