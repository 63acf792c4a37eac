#include "shell/label_font.h"

namespace {
void SetFont(std::span<const HWND> labels, HFONT font) {
  for (HWND label : labels) {
    if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}
}  // namespace

int MeasureTextHeight(HWND hwnd, HFONT font) {
  int height = kDefaultTextHeight;
  HDC dc = GetDC(hwnd);
  if (!dc) return height;
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE size = {};
  if (GetTextExtentExPointW(dc, L"Wg", 2, 0, nullptr, nullptr, &size) && size.cy > 0) {
    height = size.cy;
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return height;
}

LabelFont::~LabelFont() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

void LabelFont::Fit(HWND window, std::span<const HWND> labels, int fontHeight) {
  if (font_ && fontHeight == fontHeight_) return;
  // The face the desktop's dialogs use, at the well's scale.
  LOGFONTW face = {};
  if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face)) return;
  face.lfHeight = -fontHeight;
  face.lfWidth = 0;
  HFONT font = CreateFontIndirectW(&face);
  if (!font) return;
  SetFont(labels, font);
  if (font_) DeleteObject(font_);
  font_ = font;
  fontHeight_ = fontHeight;
  textHeight_ = MeasureTextHeight(window, font_);
}

void LabelFont::Release(std::span<const HWND> labels) {
  SetFont(labels, nullptr);
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  fontHeight_ = 0;
}
