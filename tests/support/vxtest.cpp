#include "support/vxtest.h"

#include <fstream>
#include <iterator>

#include "foundation/handles.h"
#include "foundation/registry_store.h"

namespace vxtest {

ItemList* Items()
{
    static ItemList list;
    return &list;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    std::string s(path, GetModuleFileNameA(NULL, path, sizeof(path)));
    return s.substr(0, s.find_last_of('\\'));
}

std::string PathInProgramFolder(const char* name) { return ProgramFolder() + "\\" + name; }

void ResetStore()
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\Quillon");
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Quillon");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex PLUS");
}

void SetValue(
    HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(root, path)) << path;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE*)data, size))
        << path << " " << name;
}

void SetString(HKEY root, const char* path, const char* name, const char* text)
{ SetValue(root, path, name, REG_SZ, text, (DWORD)strlen(text) + 1); }

void SetDword(HKEY root, const char* path, const char* name, DWORD value)
{ SetValue(root, path, name, REG_DWORD, &value, sizeof(value)); }

bool ValueExists(HKEY root, const char* path, const char* name)
{
    RegKey key;
    return key.Open(root, path, KEY_READ) == ERROR_SUCCESS &&
           RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

std::string ReadString(HKEY root, const char* path, const char* name)
{
    RegKey key;
    char data[4096];
    DWORD size = sizeof(data) - 1;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS ||
        RegQueryValueExA(key, name, NULL, NULL, (BYTE*)data, &size) != ERROR_SUCCESS)
        return "<missing>";
    data[size] = '\0';
    return std::string(data);
}

HANDLE StartProgram(const std::string& commandLine)
{
    STARTUPINFOA si = { sizeof(si) };
    PROCESS_INFORMATION pi;
    std::string cmd = commandLine, folder = ProgramFolder();
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
    DWORD code = 0;
    for (DWORD start = GetTickCount(), waited = 0; waited < timeoutMs;
         waited = GetTickCount() - start) {
        if (MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - waited, QS_ALLINPUT)
            == WAIT_OBJECT_0)
            return GetExitCodeProcess(handle, &code), (int)code;
        PumpMessages(0);
    }
    TerminateProcess(handle, 99);
    return -1;
}

HWND WaitForWindow(const char* className, const char* titlePart, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; PumpMessages(50)) {
        for (HWND w = NULL; (w = FindWindowExA(NULL, w, className, NULL)) != NULL;)
            if (titlePart == NULL || WindowText(w).find(titlePart) != std::string::npos)
                return w;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
    }
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); IsWindow(window) && GetTickCount() - start < timeoutMs;)
        PumpMessages(50);
    return !IsWindow(window);
}

HWND FindExplorerSheet()
{
    HWND main = FindWindowA("VardexView", NULL);
    for (HWND w = NULL; main != NULL && (w = FindWindowExA(NULL, w, "#32770", NULL)) != NULL;)
        if (GetWindow(w, GW_OWNER) == main && IsWindowVisible(w))
            return w;
    return NULL;
}

HWND WaitForExplorerSheet(DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; PumpMessages(50))
        if (HWND sheet = FindExplorerSheet())
            return PumpMessages(300), sheet;
    return NULL;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(
        window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &result);
    text[sizeof(text) - 1] = '\0';
    return text;
}

std::string DialogItemText(HWND dialog, int id)
{
    return GetDlgItem(dialog, id) != NULL ? WindowText(GetDlgItem(dialog, id))
                                          : std::string("<no control>");
}

void ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    ASSERT_TRUE(button != NULL) << "no button " << id;
    PostMessageA(button, BM_CLICK, 0, 0);
}

std::string ReadFileText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(f.write(bytes.data(), bytes.size()).good()) << path;
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
