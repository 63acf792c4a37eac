// Where the frame's children go, on the handheld and on a desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "shell/layout.h"

inline void PrintTo(const LayoutRect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

// The cell a well or preview window draws in: the view takes the largest that fits its client.
int WellCell(const LayoutRect& r) {
  return std::min(r.Width() / 10, r.Height() / 20);
}
int PreviewCell(const LayoutRect& r) {
  return std::min(r.Width() / 6, r.Height() / 4);
}

TEST(Layout, RowsAreOnePointThreeTextHeightsTruncated) {
  EXPECT_EQ(RowHeight(20), 26);
  EXPECT_EQ(RowHeight(16), 20);
  EXPECT_EQ(RowHeight(13), 16);
  EXPECT_EQ(RowHeight(10), 13);
}

// The handheld's formulas, to the pixel, at both of its screen sizes and in an offset client.
TEST(Layout, HandheldScreens) {
  struct Case {
    LayoutRect client;
    int bar, text;
    LayoutRect board;
    int sideRight, firstTop, row;
    LayoutRect preview;
  };
  const Case kCases[] = {
      // 230 x 258 play area: the board 230 - 76 wide, six rows of 26, a preview of 60.
      {{0, 0, 240, 294}, 26, 20, {5, 5, 159, 263}, 235, 15, 26, {159, 171, 235, 231}},
      {{0, 0, 240, 320}, 26, 16, {5, 5, 159, 289}, 235, 15, 20, {159, 135, 235, 183}},
      {{0, 0, 480, 640}, 32, 20, {5, 5, 319, 603}, 475, 15, 26, {319, 171, 475, 231}},
      {{10, 20, 610, 420}, 30, 16, {15, 25, 409, 385}, 605, 35, 20, {409, 155, 605, 203}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.client.Width() << "x" << c.client.Height());
    const FrameLayout l = ComputeLayout(c.client, c.bar, c.text);
    EXPECT_EQ(l.board, c.board);
    for (int i = 0; i < kLabelCount; ++i) {
      SCOPED_TRACE(i);
      const int top = c.firstTop + c.row * i;
      EXPECT_EQ(l.labels[i], (LayoutRect{c.board.right, top, c.sideRight, top + c.row}));
    }
    EXPECT_EQ(l.preview, c.preview);
  }
}

// Every rule a desktop layout keeps, for one client; `text` is the measured height of the font
// made for the size.
void ExpectDesktopRules(const LayoutRect& client, int bar, int text) {
  const FrameLayout l = ComputeDesktopLayout(client, bar, text);
  const int cell = WellCell(l.board);
  ASSERT_EQ(cell, DesktopCellSize(client, bar));
  const LayoutRect play = {client.left + 5, client.top + 5, client.right - 5,
                           client.bottom - bar - 5};

  // The well is the main thing: no smaller than 0.85 of the handheld formulas' well.
  const int handheldCell = WellCell(ComputeLayout(client, bar, 16).board);
  EXPECT_GE(cell * 100, handheldCell * 85) << cell << " against " << handheldCell;
  // Its window is the well and its frame, so nothing of it stands empty beside the well.
  EXPECT_EQ(l.board.Width(), 10 * cell + 2);
  EXPECT_EQ(l.board.Height(), 20 * cell + 2);

  // The next piece in cells of 0.6 to 1.0 of the well's, in a box just round its 6 x 4 grid.
  const int previewCell = PreviewCell(l.preview);
  EXPECT_GE(previewCell * 10, cell * 6) << previewCell;
  EXPECT_LE(previewCell, cell);
  EXPECT_LE(l.preview.Width() - 6 * previewCell, 2);
  EXPECT_LE(l.preview.Height() - 4 * previewCell, 2);

  // The labels' font from 0.45 to 1.3 of a cell, and rows that hold a line of it.
  const int font = LabelFontHeight(cell);
  EXPECT_GE(font * 100, cell * 45);
  EXPECT_LE(font * 10, cell * 13);

  // The side column: beside the well, at most 2.5 cells away, labels stacked without gaps and
  // the preview below them, all within the well's height.
  const int sideLeft = l.labels[0].left;
  const int sideRight = l.labels[0].right;
  EXPECT_GE(sideLeft, l.board.right);
  EXPECT_LE((sideLeft - l.board.right) * 2, cell * 5);
  EXPECT_GE(sideRight - sideLeft, 6 * cell);
  int top = l.board.top;
  for (int i = 0; i < kLabelCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(l.labels[i].left, sideLeft);
    EXPECT_EQ(l.labels[i].right, sideRight);
    EXPECT_EQ(l.labels[i].top, top);
    EXPECT_EQ(l.labels[i].Height(), RowHeight(text));
    top = l.labels[i].bottom;
  }
  EXPECT_GE(l.preview.top, top);
  EXPECT_GE(l.preview.left, sideLeft);
  EXPECT_LE(l.preview.right, sideRight);
  EXPECT_LE(l.preview.bottom, l.board.bottom);

  // Well and side column centred together in the play area, which holds them whole.
  EXPECT_GE(l.board.left, play.left);
  EXPECT_GE(l.board.top, play.top);
  EXPECT_LE(sideRight, play.right);
  EXPECT_LE(l.board.bottom, play.bottom);
  EXPECT_LE(std::abs((l.board.left - play.left) - (play.right - sideRight)), 1);
  EXPECT_LE(std::abs((l.board.top - play.top) - (play.bottom - l.board.bottom)), 1);
}

TEST(Layout, DesktopClientsKeepTheRules) {
  const struct {
    int width, height, bar;
  } kCases[] = {
      {240, 320, 26},  {480, 640, 26},   {489, 652, 26},   {560, 700, 26}, {1000, 640, 26},
      {1024, 749, 26}, {1920, 1061, 26}, {2560, 1421, 26}, {489, 652, 39}, {1920, 1061, 39},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", bar " << c.bar);
    const LayoutRect client = {0, 0, c.width, c.height};
    const int font = LabelFontHeight(DesktopCellSize(client, c.bar));
    // Fonts measure their line from about their own height to a third more.
    for (const int text : {font, font * 6 / 5, font * 4 / 3}) {
      SCOPED_TRACE(text);
      ExpectDesktopRules(client, c.bar, text);
    }
  }
}

// The same rules between the table's sizes, where rounding could break one, and in a client
// that does not start at the origin.
TEST(Layout, DesktopRulesHoldAcrossSizes) {
  for (int width = 240; width <= 2600; width += 37) {
    for (int height = 320; height <= 1500; height += 41) {
      SCOPED_TRACE(testing::Message() << width << "x" << height);
      const LayoutRect client = {7, 3, 7 + width, 3 + height};
      const int text = LabelFontHeight(DesktopCellSize(client, 26)) * 6 / 5;
      ExpectDesktopRules(client, 26, text);
      if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
  }
}

// A font that measures far taller than asked for gives up row height rather than push the
// preview below the well.
TEST(Layout, OversizedTextStaysWithinTheWell) {
  const LayoutRect client = {0, 0, 560, 700};
  const FrameLayout l = ComputeDesktopLayout(client, 26, 200);
  EXPECT_LE(l.preview.bottom, l.board.bottom);
  EXPECT_EQ(l.labels[0].top, l.board.top);
  EXPECT_GT(l.labels[0].Height(), 0);
}

}  // namespace
