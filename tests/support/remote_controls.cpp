#include "support/remote_controls.h"

#include <windows.h>

#include <commctrl.h>

#include "foundation/handles.h"

namespace vxtest {

namespace {

// A block of memory in the process that owns a window, freed on scope exit.
class RemoteBlock {
public:
    RemoteBlock(HWND window, SIZE_T size)
    {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        DWORD access = PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE;
        process_.Reset(OpenProcess(access, FALSE, id));
        if (process_.IsValid())
            base_ = (char*)VirtualAllocEx(process_.Get(), NULL, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (base_ != NULL)
            VirtualFreeEx(process_.Get(), base_, 0, MEM_RELEASE);
    }
    char* At(SIZE_T offset) const { return base_ != NULL ? base_ + offset : NULL; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        return base_ != NULL
               && WriteProcessMemory(process_.Get(), base_ + offset, data, size, NULL);
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        return base_ != NULL && ReadProcessMemory(process_.Get(), base_ + offset, data, size, NULL);
    }

private:
    KernelHandle process_;
    char* base_ = NULL;
};

}  // namespace

std::string TabText(HWND tab, int index)
{
    const SIZE_T textAt = 256, textSize = 256;
    RemoteBlock block(tab, textAt + textSize);
    TCITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = TCIF_TEXT;
    item.pszText = block.At(textAt);
    item.cchTextMax = (int)textSize;
    char zero = '\0';
    if (!block.Write(0, &item, sizeof(item)) || !block.Write(textAt, &zero, 1))
        return "<none>";
    DWORD_PTR done = 0;
    if (!SendMessageTimeoutA(tab, TCM_GETITEMA, index, (LPARAM)block.At(0), SMTO_ABORTIFHUNG, 5000,
                             &done) || !done)
        return "<none>";
    char text[textSize + 1] = "";
    block.Read(textAt, text, textSize);
    return text;
}

}  // namespace vxtest
