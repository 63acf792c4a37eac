#pragma once
// What a window shows on the screen, read back from the screen itself.
#include <windows.h>

#include <vector>

// The pixels of the window's rectangle, row by row from the top, as COLORREFs.
std::vector<COLORREF> CapturePixels(HWND hwnd);
