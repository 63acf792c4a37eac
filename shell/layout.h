#pragma once
// Where the frame puts its children, from the client area, the menu bar's height and the height
// of a line of the labels' text. Portable (no <windows.h>), so that the rules can be tried on any
// host; the frame only applies them.

constexpr int kDefaultTextHeight = 20;
constexpr int kLabelCount = 6;

// A rectangle as the platform's RECT holds it: right and bottom lie just outside.
struct LayoutRect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const LayoutRect&) const = default;
};

struct FrameLayout {
  LayoutRect board;
  LayoutRect labels[kLabelCount];  // level caption, level, score caption, score, rows caption, rows
  LayoutRect preview;
};

// A label row: 1.3 text heights, truncated.
int RowHeight(int textHeight);

// The handheld's layout, in its system font: the well takes the play area but its right-hand
// third, and the labels and the preview are stacked in that third from the text height alone.
FrameLayout ComputeLayout(const LayoutRect& client, int menuBarHeight, int textHeight);

// A desktop window's well cell: the largest with which the well and the side column fit the play
// area side by side.
int DesktopCellSize(const LayoutRect& client, int menuBarHeight);
// The height of the labels' font (its characters' height, without internal leading) for a well
// cell of cellSize pixels.
int LabelFontHeight(int cellSize);
// A desktop window's layout, in proportion to the well; textHeight is that of the label font
// made for DesktopCellSize.
FrameLayout ComputeDesktopLayout(const LayoutRect& client, int menuBarHeight, int textHeight);
