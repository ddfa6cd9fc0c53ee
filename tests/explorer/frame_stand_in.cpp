// TEST ONLY: see frame_stand_in.h.  Each function does the least the
// pages need of it: no layout, no images, no placement.
#include "frame_stand_in.h"

#include "foundation/language.h"

namespace frame_stand_in {
std::string status;
int monitorPresses = 0;
int created = 0, activated = 0, left = 0;
}  // namespace frame_stand_in

int g_CurrentPage = 0;

void PageCreated(HWND, const PageRecord* record)
{
    g_CurrentPage = record->Command;
    frame_stand_in::created++;
}

void PageActivated(HWND, const PageRecord* record)
{
    g_CurrentPage = record->Command;
    frame_stand_in::activated++;
}

void PageLeft(HWND, int destroyed)
{
    frame_stand_in::left++;
    if (destroyed)
        g_CurrentPage = 0;
}

void LayoutPage(HWND, const int*, int, const int*) {}
int HandleImageButtons(HWND, UINT, WPARAM, LPARAM) { return 0; }
int DrawPageCaption(const DRAWITEMSTRUCT*) { return 0; }
void ShowPatrolState(HWND, const PageRecord*) {}
void SetStatusText(const char* text) { frame_stand_in::status = text; }

// The real one is the explorer's own dialog (template 184); a message box
// with the same text, caption and OK button stands in.
void ShowMessageText(HWND owner, int textId)
{
    char text[1024];
    LoadText(textId, text, sizeof(text));
    MessageBoxA(owner, text, ProductCaption(), MB_OK);
}

int AskPatrolTime(HWND, const PageRecord*) { return -1; }
void OnMonitorButton(HWND, const PageRecord*) { frame_stand_in::monitorPresses++; }
HFONT ExplorerFontOf(ExplorerFont) { return (HFONT)GetStockObject(DEFAULT_GUI_FONT); }
