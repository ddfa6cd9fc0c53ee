#include "monitor/message_box.h"

#include "foundation/language.h"

int ShowMessage(HWND owner, const char* text, UINT flags)
{
    return MessageBoxExA(owner, text, ProductCaption(), flags | MB_TOPMOST,
                         g_MessageLanguage);
}
