// The board window: layout arithmetic, what a full paint and a partial repaint put on the
// screen and into the back buffer, the clock, and the tear-down of its drawing objects.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "host_window.h"
#include "pixels.h"
#include "tests/support/gdi_objects.h"

namespace {

TEST(BoardLayout, CellSizeFrameAndCellRectangles) {
  struct Case {
    LONG width, height;
    int cellSize;
    RECT frame, bottomLeft, topRight;
  } cases[] = {
      {150, 290, 14, {6, 6, 148, 288}, {7, 273, 20, 286}, {133, 7, 146, 20}},
      {240, 200, 10, {71, 1, 173, 203}, {72, 192, 81, 201}, {162, 2, 171, 11}},
      // Width decides here.
      {101, 500, 10, {1, 151, 103, 353}, {2, 342, 11, 351}, {92, 152, 101, 161}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    BoardView view;
    view.Layout(RECT{0, 0, c.width, c.height});
    EXPECT_EQ(view.CellSize(), c.cellSize);
    const RECT& f = view.FrameRect();
    EXPECT_EQ(f.left, c.frame.left);
    EXPECT_EQ(f.top, c.frame.top);
    EXPECT_EQ(f.right, c.frame.right);
    EXPECT_EQ(f.bottom, c.frame.bottom);
    const RECT bl = view.CellRect(0, 0), tr = view.CellRect(19, 9);
    EXPECT_TRUE(EqualRect(&bl, &c.bottomLeft))
        << bl.left << "," << bl.top << "," << bl.right << "," << bl.bottom;
    EXPECT_TRUE(EqualRect(&tr, &c.topRight))
        << tr.left << "," << tr.top << "," << tr.right << "," << tr.bottom;
    // Neighbouring cells touch without overlap.
    const RECT next = view.CellRect(0, 1), above = view.CellRect(1, 0);
    EXPECT_EQ(next.left, bl.right + 1);
    EXPECT_EQ(above.bottom, bl.top - 1);
  }
}

class BoardWindowTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 150, kHeight = 290;
  void SetUp() override {
    ASSERT_NE(host.Open(RECT{0, 0, kWidth + 20, kHeight + 20}), nullptr);
    ASSERT_NE(board.Open(host.Hwnd(), RECT{10, 10, 10 + kWidth, 10 + kHeight}), nullptr);
    ASSERT_NE(board.painter.patternBrush, nullptr) << "texture resource missing";
  }
  // Compares the screen with the expected picture.
  int ScreenDifferences(const char* what) {
    Dib screen(kWidth, kHeight);
    Capture(board.Hwnd(), screen);
    return Differences(screen, Expected(board, kWidth, kHeight), what);
  }
  HostWindow host;
  struct Probe : BoardProbe {
    using BoardView::painter;
  } board;
};

TEST_F(BoardWindowTest, FullPaintShowsFrameTextureAndCells) {
  struct Case {
    const char* name;
    int piece, state, x, y;
    int pieceCells;  // cells of the piece inside the well
  } cases[] = {
      {"piece in the well", 6, 0, 3, 10, 4},
      {"piece half above the top", 4, 0, 7, 18, 2},
      {"piece wholly above the top", 4, 0, 7, 20, 0},
  };
  for (int column = 0; column < Board::kColumns; ++column) board.Rest(0, column, column % 7);
  board.Rest(1, 0, 2);
  board.Rest(1, 9, 5);
  board.Rest(5, 4, 3);
  const int resting = 13;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    board.Fall(c.piece, c.state, c.x, c.y);
    board.Repaint();
    EXPECT_EQ(ScreenDifferences(c.name), 0);
    EXPECT_EQ(board.CellsDrawn(), resting + c.pieceCells);
  }
  // The outline as drawn: (6, 6) to (148, 287), the corners in the frame colour.
  Dib screen(kWidth, kHeight);
  Capture(board.Hwnd(), screen);
  EXPECT_EQ(screen.At(6, 6), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(screen.At(147, 6), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(screen.At(148, 6), GetSysColor(COLOR_WINDOW));

  // Erasing the background is left to the paint: the picture stays.
  HDC dc = GetDC(board.Hwnd());
  EXPECT_EQ(SendMessageW(board.Hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(board.Hwnd(), dc);
  EXPECT_EQ(ScreenDifferences("after WM_ERASEBKGND"), 0);
}

TEST_F(BoardWindowTest, MoveRedrawsOnlyAroundThePieceAndTheScreenKeepsTheRest) {
  struct Rest {
    int row, column, colour;
  };
  struct Case {
    const char* name;
    int piece, state, x, y, action;
    int newX, newY;
    std::vector<Rest> neighbours;  // cells around the old or new place
  } cases[] = {
      {"right, beside a cell on the left",
       6,
       0,
       3,
       10,
       ActionRight,
       4,
       10,
       {{10, 2, 1}, {9, 3, 4}}},
      {"left, beside a cell on the right", 6, 0, 5, 10, ActionLeft, 4, 10, {{10, 7, 1}, {9, 4, 0}}},
      {"turn in place", 6, 0, 4, 10, ActionRotate, 4, 10, {{13, 4, 2}, {10, 3, 5}}},
      {"long piece stands up under an overhang", 4, 1, 3, 5, ActionRotate, 4, 4, {{9, 3, 6}}},
      {"long piece lies down on a cell", 4, 0, 4, 4, ActionRotate, 3, 5, {{3, 4, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    board.board.Clear();
    board.Rest(0, 0, 0);   // far below and to the left
    board.Rest(19, 9, 3);  // far above and to the right
    for (const Rest& r : c.neighbours) board.Rest(r.row, r.column, r.colour);
    board.Fall(c.piece, c.state, c.x, c.y);
    board.Repaint();
    const int full = board.CellsDrawn();
    ASSERT_EQ(ScreenDifferences("full paint"), 0);

    board.Step(c.action);
    ASSERT_EQ(board.x, c.newX);
    ASSERT_EQ(board.y, c.newY);
    EXPECT_EQ(board.flags & PartialRepaint, 0u);
    EXPECT_LT(board.CellsDrawn(), full);
    EXPECT_LE(board.CellsDrawn(), 6 * 6 + 4);
    // The whole picture is right, far cells included, although they were not redrawn.
    EXPECT_EQ(ScreenDifferences("after the step"), 0);

    Dib buffer(kWidth, kHeight);
    BitBlt(buffer.dc, 0, 0, kWidth, kHeight, board.memDC, 0, 0, SRCCOPY);
    Picture texture(kWidth, kHeight, 0);
    for (const RECT& distant : {board.CellRect(0, 0), board.CellRect(19, 9)}) {
      const int px = distant.left + 5, py = distant.top + 5;
      EXPECT_EQ(buffer.At(px, py), texture.TextureAt(px, py)) << "far cell redrawn";
    }
  }
}

TEST_F(BoardWindowTest, ClockDrivesTheGameAndDestroyFreesEveryDrawingObject) {
  board.NewGame(9);  // a row per tick
  ASSERT_NE(board.current, nullptr);
  EXPECT_EQ(board.y, Board::kRows);
  Pump(200);
  // The first paints leave the system's own caches behind; after them a running game makes no
  // drawing objects.
  const int running = OwnGdiObjects();
  ASSERT_GE(running, 0);
  Pump(200);
  EXPECT_LT(board.y, Board::kRows) << "timer 1 did not run the game";
  EXPECT_EQ(OwnGdiObjects(), running);
  const uint8_t y = board.y;
  SendMessageW(board.Hwnd(), WM_TIMER, 2, 0);
  EXPECT_EQ(board.y, y) << "another timer moved the piece";

  std::vector<HGDIOBJ> objects = {board.memDC,
                                  board.backBuffer,
                                  board.painter.framePen,
                                  board.painter.flashBrush,
                                  board.painter.patternBrush,
                                  board.painter.patternBitmap};
  for (int i = 0; i < BlockPainter::kColours; ++i) {
    objects.push_back(board.painter.lightPens[i]);
    objects.push_back(board.painter.darkPens[i]);
    objects.push_back(board.painter.fillBrushes[i]);
  }
  for (HGDIOBJ h : objects) ASSERT_NE(GetObjectType(h), 0u);

  const int baseline = OwnGdiObjects();
  ASSERT_TRUE(DestroyWindow(board.Hwnd()));
  EXPECT_EQ(board.Hwnd(), nullptr);
  EXPECT_EQ(board.Flags() & Running, 0u);
  for (HGDIOBJ h : objects) EXPECT_EQ(GetObjectType(h), 0u);
  EXPECT_EQ(board.memDC, nullptr);
  EXPECT_EQ(board.backBuffer, nullptr);
  EXPECT_EQ(board.painter.patternBitmap, nullptr);
  // Back to where it was less the objects that the window had made.
  EXPECT_EQ(OwnGdiObjects(), baseline - static_cast<int>(objects.size()));
}

TEST(BoardTooSmall, ShowsTheFrameButNoCells) {
  HostWindow host;
  BoardProbe board;
  ASSERT_NE(host.Open(RECT{0, 0, 40, 320}), nullptr);
  ASSERT_NE(board.Open(host.Hwnd(), RECT{0, 0, 9, 300}), nullptr);
  EXPECT_EQ(board.CellSize(), 0);
  board.Rest(0, 0, 1);
  board.Fall(4, 0, 4, 10);
  board.Repaint();
  EXPECT_EQ(board.CellsDrawn(), 0);
  Dib screen(9, 300);
  Capture(board.Hwnd(), screen);
  EXPECT_EQ(Differences(screen, Expected(board, 9, 300), "too small"), 0);
}

TEST(BoardWithoutWindow, ServicesDoNothing) {
  BoardProbe board;
  board.NewGame(0);  // without a window a timer would go to the thread and never stop
  EXPECT_NE(board.Flags() & Running, 0u);
  MSG msg;
  Sleep(120);  // the wait is the check: the game's timer would have fired within it
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

}  // namespace
