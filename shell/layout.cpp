#include "shell/layout.h"

namespace {
constexpr int kMargin = 5;
constexpr int kLabelsTop = 10;
}  // namespace

int RowHeight(int textHeight) {
  return textHeight * 13 / 10;
}

FrameLayout ComputeLayout(const RECT& client, int menuBarHeight, int textHeight) {
  RECT play = client;
  play.bottom -= menuBarHeight;
  InflateRect(&play, -kMargin, -kMargin);
  const int width = play.right - play.left;

  FrameLayout layout = {};
  layout.board = play;
  layout.board.right = play.right - width / 3;

  const int sideLeft = layout.board.right;
  const int row = RowHeight(textHeight);
  int top = play.top + kLabelsTop;
  for (RECT& label : layout.labels) {
    label = RECT{sideLeft, top, play.right, top + row};
    top += row;
  }
  layout.preview = RECT{sideLeft, top, play.right, top + 3 * textHeight};
  return layout;
}

int MeasureTextHeight(HWND hwnd) {
  int height = kDefaultTextHeight;
  HDC dc = GetDC(hwnd);
  if (!dc) return height;
  SIZE size = {};
  if (GetTextExtentExPointW(dc, L"Wg", 2, 0, nullptr, nullptr, &size) && size.cy > 0) {
    height = size.cy;
  }
  ReleaseDC(hwnd, dc);
  return height;
}
