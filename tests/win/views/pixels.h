#pragma once
// Pixel helpers shared by the view tests: a 32-bit DIB section to draw into and read back, and
// the expected picture of one bevelled cell.
#include <windows.h>

#include <cstdint>

struct Dib {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  uint32_t* bits = nullptr;
  int width = 0, height = 0;

  Dib(int w, int h) : width(w), height(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    bits = static_cast<uint32_t*>(raw);
    dc = CreateCompatibleDC(nullptr);
    if (dc && bitmap) oldBitmap = SelectObject(dc, bitmap);
  }
  ~Dib() {
    if (dc && oldBitmap) SelectObject(dc, oldBitmap);
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  bool Ok() const { return dc && bitmap && bits; }
  void Fill(COLORREF c) {
    GdiFlush();
    const uint32_t v = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < width * height; ++i) bits[i] = v;
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const uint32_t v = bits[y * width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
};

// Which part of a cell covering l..r and t..b (inclusive) a pixel belongs to: the two-pixel
// light bevel at top and left, the two-pixel dark bevel at bottom and right, the fill inside.
enum class CellPart { Outside, Light, Dark, Fill };

inline CellPart PartOf(const RECT& cell, int px, int py) {
  const LONG l = cell.left, t = cell.top, r = cell.right, b = cell.bottom;
  if (px < l || px > r || py < t || py > b) return CellPart::Outside;
  if (px >= l + 2 && px <= r - 2 && py >= t + 2 && py <= b - 2) return CellPart::Fill;
  // Where the bevels meet, the light one owns the top row to the right corner and the left
  // column down to one above the bottom; the second rows and columns stop one short of those.
  if (py == t || (px == l && py <= b - 1)) return CellPart::Light;
  if ((py == t + 1 && px <= r - 1) || (px == l + 1 && py <= b - 2)) return CellPart::Light;
  return CellPart::Dark;
}

inline const char* PartName(CellPart part) {
  switch (part) {
    case CellPart::Outside:
      return "outside";
    case CellPart::Light:
      return "light";
    case CellPart::Dark:
      return "dark";
    case CellPart::Fill:
      return "fill";
  }
  return "?";
}
