// Controls that keep their distance from the edges of their window as the
// window is resized: each is anchored at init, when the window still has
// its template size, and placed again after every change of size.
#pragma once
#include <windows.h>

enum AnchorEdges {
    ANCHOR_LEFT_TOP = 0,  // stays where the template put it
    ANCHOR_RIGHT = 1,     // moves with the right edge
    ANCHOR_BOTTOM = 2,    // moves with the bottom edge
    ANCHOR_WIDTH = 4,     // left edge stays, right edge follows the window's
    ANCHOR_HEIGHT = 8,    // top stays, bottom edge follows the window's
};

struct AnchoredControl {
    int Id;
    int Edges;  // AnchorEdges
};

#define ANCHOR_MAX 16
struct AnchorSet {
    SIZE Start;  // the window's client size when anchored
    int Count;
    int Ids[ANCHOR_MAX];
    int Edges[ANCHOR_MAX];
    RECT Places[ANCHOR_MAX];  // client coordinates then
};

// Notes where each control is now (at most ANCHOR_MAX; missing ones are
// skipped).
void AnchorControls(AnchorSet* set, HWND window, const AnchoredControl* controls, int count);
// Places them for the window's present client size, all moves together.
void PlaceAnchored(const AnchorSet* set, HWND window);
