// The next-piece window: its grid, the turned and centred pictures of the seven pieces drawn
// with a borrowed painter, the empty box, and what its destruction leaves alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "game/piece_set.h"
#include "host_window.h"
#include "pixels.h"
#include "views/preview_view.h"

namespace {

TEST(PreviewLayout, CentresASixByFourGrid) {
  struct Case {
    LONG width, height;
    int cellSize;
    RECT area;
  } cases[] = {
      {60, 40, 10, {0, 0, 60, 40}},
      {76, 60, 12, {2, 6, 74, 54}},
      {100, 30, 7, {29, 1, 71, 29}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    PreviewView view;
    view.Layout(RECT{0, 0, c.width, c.height});
    EXPECT_EQ(view.CellSize(), c.cellSize);
    EXPECT_TRUE(EqualRect(&view.Area(), &c.area));
  }
}

class PreviewProbe : public PreviewView {
 public:
  using PreviewView::backBuffer;
  using PreviewView::memDC;
};

class PreviewWindowTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 60, kHeight = 40;
  void SetUp() override {
    BuildPieceSet(pieces);
    painter.Create(GetModuleHandleW(nullptr), IDB_TEXTURE);
    ASSERT_NE(painter.patternBrush, nullptr) << "texture resource missing";
    ASSERT_NE(host.Open(RECT{0, 0, kWidth + 20, kHeight + 20}), nullptr);
  }
  void Open() {
    ASSERT_NE(
        preview.Create(0, nullptr, WS_CHILD | WS_VISIBLE, RECT{10, 10, 10 + kWidth, 10 + kHeight},
                       host.Hwnd(), reinterpret_cast<HMENU>(2), GetModuleHandleW(nullptr)),
        nullptr);
  }
  Picture Box() const {
    Picture p(kWidth, kHeight, 0);
    p.Box(0, 0, kWidth, kHeight, GetSysColor(COLOR_BTNSHADOW));
    return p;
  }
  int ScreenDifferences(const Picture& want, const char* what) {
    Dib screen(kWidth, kHeight);
    Capture(preview.Hwnd(), screen);
    return Differences(screen, want, what);
  }
  PieceSet pieces;
  BlockPainter painter;
  HostWindow host;
  PreviewProbe preview;
};

TEST_F(PreviewWindowTest, LongPieceLiesInTheThirdRowMovedDownHalfACell) {
  preview.SetPainter(&painter);
  Open();
  preview.SetPiece(&pieces[4]);
  Picture want = Box();
  const Shades& s = kShades[4];
  for (const RECT& cell :
       {RECT{11, 14, 20, 23}, RECT{21, 14, 30, 23}, RECT{31, 14, 40, 23}, RECT{41, 14, 50, 23}}) {
    want.Cell(cell, s.light, s.dark, s.fill);
  }
  EXPECT_EQ(ScreenDifferences(want, "piece 4"), 0);

  preview.SetPiece(nullptr);
  EXPECT_EQ(ScreenDifferences(Box(), "no piece"), 0);
}

TEST_F(PreviewWindowTest, EveryPieceIsShownTurnedAndCentred) {
  // Top row first; a hash is a cell. Each picture is centred by half cells in the 6 x 4 grid.
  const std::vector<std::string> pictures[kPieceCount] = {
      {"##.", ".##"}, {".##", "##."}, {"###", "#.."}, {"#..", "###"},
      {"####"},       {"##", "##"},   {".#.", "###"},
  };
  preview.SetPainter(&painter);
  Open();
  const int s = 10;
  for (int p = 0; p < kPieceCount; ++p) {
    SCOPED_TRACE(p);
    preview.SetPiece(&pieces[p]);
    Picture want = Box();
    const int across = static_cast<int>(pictures[p][0].size());
    const int down = static_cast<int>(pictures[p].size());
    for (int row = 0; row < down; ++row) {
      for (int column = 0; column < across; ++column) {
        if (pictures[p][row][column] != '#') continue;
        // Grid column 1 + column; grid row 2 - row counted from the bottom of the 40-pixel grid.
        RECT cell;
        cell.left = (1 + column) * s + 1 + (4 - across) * s / 2;
        cell.top = kHeight - (2 - row) * s - 1 - s + (2 - down) * s / 2;
        cell.right = cell.left + s - 1;
        cell.bottom = cell.top + s - 1;
        want.Cell(cell, kShades[p].light, kShades[p].dark, kShades[p].fill);
      }
    }
    EXPECT_EQ(ScreenDifferences(want, "piece"), 0);
  }
}

TEST_F(PreviewWindowTest, WithoutAPainterShowsAPlainWindow) {
  Open();
  preview.SetPiece(&pieces[2]);
  EXPECT_EQ(ScreenDifferences(Picture(kWidth, kHeight, GetSysColor(COLOR_WINDOW)), "plain"), 0);
}

TEST_F(PreviewWindowTest, DestroyFreesTheBackBufferButNotTheBorrowedPainter) {
  preview.SetPainter(&painter);
  Open();
  preview.SetPiece(&pieces[0]);
  const HGDIOBJ memDC = preview.memDC, backBuffer = preview.backBuffer;
  ASSERT_NE(GetObjectType(memDC), 0u);
  ASSERT_NE(GetObjectType(backBuffer), 0u);
  ASSERT_TRUE(DestroyWindow(preview.Hwnd()));
  EXPECT_EQ(preview.memDC, nullptr);
  EXPECT_EQ(preview.backBuffer, nullptr);
  EXPECT_EQ(GetObjectType(memDC), 0u);
  EXPECT_EQ(GetObjectType(backBuffer), 0u);
  EXPECT_EQ(GetObjectType(painter.patternBrush), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(painter.framePen), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(painter.fillBrushes[0]), static_cast<DWORD>(OBJ_BRUSH));
}

}  // namespace
