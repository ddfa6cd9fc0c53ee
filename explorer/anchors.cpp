#include "explorer/anchors.h"

void AnchorControls(AnchorSet* set, HWND window, const AnchoredControl* controls, int count)
{
    RECT client;
    GetClientRect(window, &client);
    set->Start.cx = client.right;
    set->Start.cy = client.bottom;
    set->Count = 0;
    for (int i = 0; i < count && set->Count < ANCHOR_MAX; i++) {
        HWND control = GetDlgItem(window, controls[i].Id);
        RECT r;
        if (control == NULL || !GetWindowRect(control, &r))
            continue;
        MapWindowPoints(NULL, window, (POINT*)&r, 2);
        set->Ids[set->Count] = controls[i].Id;
        set->Edges[set->Count] = controls[i].Edges;
        set->Places[set->Count] = r;
        set->Count++;
    }
}

void PlaceAnchored(const AnchorSet* set, HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    int dx = client.right - set->Start.cx, dy = client.bottom - set->Start.cy;
    HDWP positions = BeginDeferWindowPos(set->Count);
    for (int i = 0; i < set->Count && positions != NULL; i++) {
        RECT r = set->Places[i];
        int edges = set->Edges[i];
        if (edges & ANCHOR_RIGHT)
            OffsetRect(&r, dx, 0);
        if (edges & ANCHOR_BOTTOM)
            OffsetRect(&r, 0, dy);
        if (edges & ANCHOR_WIDTH)
            r.right += dx;
        if (edges & ANCHOR_HEIGHT)
            r.bottom += dy;
        int width = r.right - r.left, height = r.bottom - r.top;
        positions = DeferWindowPos(positions, GetDlgItem(window, set->Ids[i]), NULL, r.left, r.top,
                                   width > 0 ? width : 0, height > 0 ? height : 0,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions != NULL)
        EndDeferWindowPos(positions);
}
