#pragma once
// The text of the frame's labels: its height in the window's default font, and on a desktop the
// one font the six labels share, made for the well's size.
#include <windows.h>

#include <span>

#include "shell/layout.h"

// A RECT from the layout's rectangles, and back.
inline RECT ToRect(const LayoutRect& r) {
  return RECT{r.left, r.top, r.right, r.bottom};
}
inline LayoutRect ToLayoutRect(const RECT& r) {
  return LayoutRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                    static_cast<int>(r.bottom)};
}

// The height of "Wg" in the window's default font, or in font when one is given;
// kDefaultTextHeight when it cannot be measured.
int MeasureTextHeight(HWND hwnd, HFONT font = nullptr);

class LabelFont {
 public:
  LabelFont() = default;
  LabelFont(const LabelFont&) = delete;
  LabelFont& operator=(const LabelFont&) = delete;
  ~LabelFont();

  // Gives the labels a font fontHeight pixels high, unless they have it already: the old font
  // is deleted only once no label uses it. A font that cannot be made leaves the old one.
  void Fit(HWND window, std::span<const HWND> labels, int fontHeight);
  // Hands the labels back their default font and deletes this one.
  void Release(std::span<const HWND> labels);

  HFONT Handle() const { return font_; }
  // The height of "Wg" in the font; kDefaultTextHeight before the first font.
  int TextHeight() const { return textHeight_; }

 private:
  HFONT font_ = nullptr;
  int fontHeight_ = 0;
  int textHeight_ = kDefaultTextHeight;
};
