#pragma once
// What a window shows on the screen, read back from the screen itself.
#include <windows.h>

#include <vector>

// The pixels of the window's rectangle, row by row from the top, as COLORREFs.
std::vector<COLORREF> CapturePixels(HWND hwnd);

// The pixels of a square of side x side centred on a point of the window's client area, row by
// row from the top: what it costs to read does not grow with the window.
std::vector<COLORREF> CapturePatch(HWND hwnd, POINT clientCentre, int side);
