// What the frame creates once at start and keeps for the life of the
// process: its fonts and the bitmaps of the image buttons.
#pragma once
#include <windows.h>

// Creates the fonts and loads the bitmaps; 1 when every one was made.
int CreateFrameResources();
void FreeFrameResources();
// A bitmap of the image buttons by resource id (133, 134, 135, 154, 155,
// 156, 193, 158, 159, 160); NULL for any other id.
HBITMAP FrameBitmap(int id);
