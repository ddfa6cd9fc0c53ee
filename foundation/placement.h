// Saved window positions: four REG_SZ decimal values per window under HKCU
// Software\Quillon\Vardex ("xPosAlert", "yPosAlert", "dxAlert", "dyAlert"...).
#pragma once
#include <windows.h>

struct PlacementNames {
    const char* x;
    const char* y;
    const char* dx;
    const char* dy;
};

// Writes the window's left, top, width and height, then rewrites the option
// "StartTab" (which also raises "Update").
void SaveWindowPlacement(HWND window, const PlacementNames& names);

// Rewrites "StartTab"; moves the window to the saved x and y when both are
// present (an x or y beyond the virtual screen becomes half the primary
// screen), otherwise centres it.  The size is never changed.
void RestoreWindowPlacement(HWND window, const PlacementNames& names);

// Centred horizontally, one third of the free height from the top.
void CenterWindowOnScreen(HWND window);
