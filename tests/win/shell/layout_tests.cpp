// Where the frame's children go.
#include <gtest/gtest.h>
#include <windows.h>

#include "shell/layout.h"

// Found by argument lookup, so beside RECT in the global namespace.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

TEST(Layout, RowsAreOnePointThreeTextHeightsTruncated) {
  EXPECT_EQ(RowHeight(20), 26);
  EXPECT_EQ(RowHeight(16), 20);
  EXPECT_EQ(RowHeight(13), 16);
  EXPECT_EQ(RowHeight(10), 13);
}

TEST(Layout, HandheldScreen) {
  // 240 x 294 client with a 26-pixel menu bar: the play area is 230 x 258.
  const FrameLayout l = ComputeLayout(RECT{0, 0, 240, 294}, 26, 20);
  EXPECT_EQ(l.board, (RECT{5, 5, 159, 263}));  // 230 - 76 = 154 wide
  const int sideWidth = 235 - l.board.right;
  EXPECT_EQ(sideWidth, 76);
  for (int i = 0; i < kLabelCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(l.labels[i], (RECT{159, 15 + 26 * i, 235, 15 + 26 * (i + 1)}));
  }
  EXPECT_EQ(l.preview, (RECT{159, 171, 235, 231}));  // three text heights: 60
}

TEST(Layout, OffsetClientAndSmallFont) {
  const FrameLayout l = ComputeLayout(RECT{10, 20, 610, 420}, 30, 16);
  EXPECT_EQ(l.board, (RECT{15, 25, 409, 385}));  // play area 590 wide, board 590 - 196
  EXPECT_EQ(l.labels[0], (RECT{409, 35, 605, 55}));
  EXPECT_EQ(l.labels[5], (RECT{409, 135, 605, 155}));
  EXPECT_EQ(l.preview, (RECT{409, 155, 605, 203}));
}

TEST(Layout, MeasuresTheWindowsTextOrFallsBack) {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(hwnd, nullptr);
  HDC dc = GetDC(hwnd);
  SIZE size = {};
  ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Wg", 2, &size));
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(MeasureTextHeight(hwnd), size.cy);
  DestroyWindow(hwnd);
  EXPECT_EQ(MeasureTextHeight(reinterpret_cast<HWND>(0x1234)), kDefaultTextHeight);
}

}  // namespace
