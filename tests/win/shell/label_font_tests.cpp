// The labels' text: its height as measured, and the desktop's label font.
#include <gtest/gtest.h>
#include <windows.h>

#include "shell/label_font.h"
#include "tests/support/gdi_objects.h"

namespace {

class LabelFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    for (HWND& label : labels_) {
      label = CreateWindowExW(0, L"STATIC", L"Wg", WS_CHILD, 0, 0, 10, 10, window_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
      ASSERT_NE(label, nullptr);
    }
  }
  void TearDown() override { DestroyWindow(window_); }
  HFONT LabelsFont(int i) const {
    return reinterpret_cast<HFONT>(SendMessageW(labels_[i], WM_GETFONT, 0, 0));
  }

  HWND window_ = nullptr;
  HWND labels_[2] = {};
};

TEST_F(LabelFontTest, MeasuresTheWindowsTextOrFallsBack) {
  HDC dc = GetDC(window_);
  SIZE size = {};
  ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Wg", 2, &size));
  ReleaseDC(window_, dc);
  EXPECT_EQ(MeasureTextHeight(window_), size.cy);
  EXPECT_EQ(MeasureTextHeight(reinterpret_cast<HWND>(0x1234)), kDefaultTextHeight);
}

// One font at a time on every label, made again only for a new height; the text it measures
// grows with the height asked for; Release leaves no object behind.
TEST_F(LabelFontTest, OneFontPerHeightSharedByTheLabels) {
  const int objects = OwnGdiObjects();
  ASSERT_GE(objects, 0);
  {
    LabelFont font;
    font.Fit(window_, labels_, 12);
    ASSERT_NE(font.Handle(), nullptr);
    const HFONT first = font.Handle();
    const int small = font.TextHeight();
    EXPECT_EQ(small, MeasureTextHeight(window_, first));
    EXPECT_GE(small, 12);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(LabelsFont(i), first);

    font.Fit(window_, labels_, 12);
    EXPECT_EQ(font.Handle(), first);
    EXPECT_EQ(OwnGdiObjects(), objects + 1);

    font.Fit(window_, labels_, 40);
    EXPECT_NE(font.Handle(), first);
    EXPECT_GE(font.TextHeight(), 40);
    EXPECT_GT(font.TextHeight(), small);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(LabelsFont(i), font.Handle());
    EXPECT_EQ(OwnGdiObjects(), objects + 1);

    font.Release(labels_);
    EXPECT_EQ(font.Handle(), nullptr);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(LabelsFont(i), nullptr);
    EXPECT_EQ(OwnGdiObjects(), objects);
    font.Fit(window_, labels_, 20);
  }
  // Destroyed with a font still made: that one goes too.
  EXPECT_EQ(OwnGdiObjects(), objects);
}

}  // namespace
