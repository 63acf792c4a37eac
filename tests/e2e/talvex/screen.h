#pragma once
// What a window shows on the screen, read back from the screen itself.
#include <windows.h>

#include <vector>

std::vector<COLORREF> CapturePixels(HWND hwnd);
