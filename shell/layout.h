#pragma once
// Where the frame puts its children: computed once, from the client area, the menu bar's height
// and the height of a line of text.
#include <windows.h>

constexpr int kDefaultTextHeight = 20;
constexpr int kLabelCount = 6;

struct FrameLayout {
  RECT board;
  RECT labels[kLabelCount];  // level caption, level, score caption, score, rows caption, rows
  RECT preview;
};

// A label row: 1.3 text heights, truncated.
int RowHeight(int textHeight);

FrameLayout ComputeLayout(const RECT& client, int menuBarHeight, int textHeight);

// The height of "Wg" in the window's default font; kDefaultTextHeight when it cannot be measured.
int MeasureTextHeight(HWND hwnd);
