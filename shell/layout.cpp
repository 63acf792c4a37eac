#include "shell/layout.h"

#include <algorithm>

namespace {
constexpr int kMargin = 5;
constexpr int kLabelsTop = 10;

// The well's window: ten by twenty cells and the one-pixel frame on each side.
constexpr int kWellColumns = 10;
constexpr int kWellRows = 20;
constexpr int kWellFrame = 2;
// The side column is six cells wide and stands half a cell from the well.
constexpr int kSideColumns = 6;

LayoutRect PlayArea(const LayoutRect& client, int menuBarHeight) {
  return LayoutRect{client.left + kMargin, client.top + kMargin, client.right - kMargin,
                    client.bottom - menuBarHeight - kMargin};
}

int SideGap(int cellSize) {
  return (cellSize + 1) / 2;
}

int DesktopWidth(int cellSize) {
  return kWellColumns * cellSize + kWellFrame + SideGap(cellSize) + kSideColumns * cellSize;
}

// Nine tenths of the well's cell, and never a box wider than the side column.
int PreviewCellSize(int cellSize) {
  return std::max(1, std::min((9 * cellSize + 5) / 10, (kSideColumns * cellSize - 2) / 6));
}
}  // namespace

int RowHeight(int textHeight) {
  return textHeight * 13 / 10;
}

FrameLayout ComputeLayout(const LayoutRect& client, int menuBarHeight, int textHeight) {
  const LayoutRect play = PlayArea(client, menuBarHeight);
  const int width = play.Width();

  FrameLayout layout = {};
  layout.board = play;
  layout.board.right = play.right - width / 3;

  const int sideLeft = layout.board.right;
  const int row = RowHeight(textHeight);
  int top = play.top + kLabelsTop;
  for (LayoutRect& label : layout.labels) {
    label = LayoutRect{sideLeft, top, play.right, top + row};
    top += row;
  }
  layout.preview = LayoutRect{sideLeft, top, play.right, top + 3 * textHeight};
  return layout;
}

int DesktopCellSize(const LayoutRect& client, int menuBarHeight) {
  const LayoutRect play = PlayArea(client, menuBarHeight);
  int cell = std::max(1, (play.Height() - kWellFrame) / kWellRows);
  while (cell > 1 && DesktopWidth(cell) > play.Width()) --cell;
  return cell;
}

int LabelFontHeight(int cellSize) {
  return std::max(1, cellSize * 9 / 10);
}

// On a desktop everything is measured in well cells s, the largest that fit the play area:
// the well is 10 x 20 cells (and its frame), the side column 6 cells wide and half a cell to its
// right, the two centred together in the play area with their tops level. The column holds the
// six label rows (1.3 lines of a font 0.9 s high) and, half a cell below them, the next piece
// in cells of 0.9 s, in a box just round its 6 x 4 grid. The rows give way before the box
// when a font is taller than it should be, so nothing leaves the well's height.
FrameLayout ComputeDesktopLayout(const LayoutRect& client, int menuBarHeight, int textHeight) {
  const LayoutRect play = PlayArea(client, menuBarHeight);
  const int cell = DesktopCellSize(client, menuBarHeight);
  const int wellWidth = kWellColumns * cell + kWellFrame;
  const int wellHeight = kWellRows * cell + kWellFrame;

  FrameLayout layout = {};
  const int left = play.left + std::max(0, (play.Width() - DesktopWidth(cell)) / 2);
  const int top = play.top + std::max(0, (play.Height() - wellHeight) / 2);
  layout.board = LayoutRect{left, top, left + wellWidth, top + wellHeight};

  const int sideLeft = layout.board.right + SideGap(cell);
  const int sideRight = sideLeft + kSideColumns * cell;
  const int previewCell = PreviewCellSize(cell);
  const int previewWidth = 6 * previewCell + kWellFrame;
  const int previewHeight = 4 * previewCell + kWellFrame;
  const int gap = cell / 2;
  const int row = std::min(RowHeight(textHeight), (wellHeight - gap - previewHeight) / kLabelCount);
  int rowTop = top;
  for (LayoutRect& label : layout.labels) {
    label = LayoutRect{sideLeft, rowTop, sideRight, rowTop + row};
    rowTop += row;
  }
  const int previewLeft = sideLeft + (kSideColumns * cell - previewWidth) / 2;
  const int previewTop = rowTop + gap;
  layout.preview =
      LayoutRect{previewLeft, previewTop, previewLeft + previewWidth, previewTop + previewHeight};
  return layout;
}
