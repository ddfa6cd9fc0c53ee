#include "support/vxtest.h"

#include <stdio.h>

#include "foundation/handles.h"
#include "foundation/registry_store.h"

namespace vxtest {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string s(path, n);
    size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

std::string PathInProgramFolder(const char* name)
{
    return ProgramFolder() + "\\" + name;
}

void ResetStore()
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\Quillon");
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Quillon");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex PLUS");
}

void SetValue(HKEY root, const char* path, const char* name, DWORD type,
              const void* data, DWORD size)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(root, path)) << path;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE*)data, size))
        << path << " " << name;
}

void SetString(HKEY root, const char* path, const char* name, const char* text)
{
    SetValue(root, path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

void SetDword(HKEY root, const char* path, const char* name, DWORD value)
{
    SetValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

bool ValueExists(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

std::string ReadString(HKEY root, const char* path, const char* name)
{
    RegKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS)
        return "<missing>";
    char data[4096];
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size) != ERROR_SUCCESS)
        return "<missing>";
    data[size] = '\0';
    return std::string(data);
}

HANDLE StartProgram(const std::string& commandLine)
{
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    std::string cmd = commandLine;
    std::string folder = ProgramFolder();
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int RunProgram(const std::string& commandLine, DWORD timeoutMs)
{
    KernelHandle process(StartProgram(commandLine));
    if (!process.IsValid())
        return -2;
    HANDLE handle = process.Get();
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs)
            break;
        DWORD rc = MsgWaitForMultipleObjects(1, &handle, FALSE,
                                             timeoutMs - waited, QS_ALLINPUT);
        if (rc == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.Get(), &code);
            return (int)code;
        }
        PumpMessages(0);
    }
    TerminateProcess(process.Get(), 99);
    return -1;
}

struct WindowQuery {
    const char* className;
    const char* titlePart;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowQuery* q = (WindowQuery*)param;
    char cls[256] = "";
    GetClassNameA(window, cls, sizeof(cls));
    if (q->className != NULL && lstrcmpiA(cls, q->className) != 0)
        return TRUE;
    if (q->titlePart != NULL && WindowText(window).find(q->titlePart) == std::string::npos)
        return TRUE;
    q->found = window;
    return FALSE;
}

HWND WaitForWindow(const char* className, const char* titlePart, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        WindowQuery q = { className, titlePart, NULL };
        EnumWindows(MatchWindow, (LPARAM)&q);
        if (q.found != NULL)
            return q.found;
        PumpMessages(50);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        PumpMessages(50);
    }
    return true;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG,
                        2000, &result);
    text[sizeof(text) - 1] = '\0';
    return text;
}

std::string DialogItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != NULL ? WindowText(item) : std::string("<no control>");
}

void ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    ASSERT_TRUE(button != NULL) << "no button " << id;
    PostMessageA(button, BM_CLICK, 0, 0);
}

std::string ReadFileText(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (f == NULL)
        return std::string();
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
        text.append(chunk, n);
    fclose(f);
    return text;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != NULL) << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0)
            Sleep(10);
    } while (GetTickCount() - start < ms);
}

}  // namespace vxtest
