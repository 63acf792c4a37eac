#pragma once
// Pixel helpers shared by the view tests: a 32-bit DIB section to draw into and read back, and
// the expected picture of one bevelled cell.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "tests/support/win_support.h"

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

struct Shades {
  COLORREF light, dark, fill;
};
// The seven piece colours as the game shows them.
inline const Shades kShades[7] = {
    {RGB(255, 60, 60), RGB(146, 14, 14), RGB(208, 20, 20)},
    {RGB(255, 255, 60), RGB(146, 146, 14), RGB(208, 208, 20)},
    {RGB(60, 255, 60), RGB(14, 146, 14), RGB(20, 208, 20)},
    {RGB(60, 60, 255), RGB(14, 14, 146), RGB(20, 20, 208)},
    {RGB(255, 255, 255), RGB(134, 134, 134), RGB(192, 192, 192)},
    {RGB(255, 60, 255), RGB(146, 14, 146), RGB(208, 20, 208)},
    {RGB(60, 255, 255), RGB(14, 146, 146), RGB(20, 208, 208)},
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

// The picture a window should show, built up in drawing order and compared with what it shows.
struct Picture {
  int width, height;
  std::vector<COLORREF> pixels;
  std::vector<COLORREF> texture;  // 36 x 45, tiled from the origin

  Picture(int w, int h, COLORREF background)
      : width(w), height(h), pixels(static_cast<size_t>(w) * h, background) {
    texture = LoadTexture();
  }

  static std::vector<COLORREF> LoadTexture() {
    std::vector<COLORREF> out;
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101));
    if (!bitmap) return out;
    Dib dib(kTextureWidth, kTextureHeight);
    if (dib.Ok()) {
      HDC source = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(source, bitmap);
      BitBlt(dib.dc, 0, 0, kTextureWidth, kTextureHeight, source, 0, 0, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
      for (int y = 0; y < kTextureHeight; ++y) {
        for (int x = 0; x < kTextureWidth; ++x) out.push_back(dib.At(x, y));
      }
    }
    DeleteObject(bitmap);
    return out;
  }
  static constexpr int kTextureWidth = 36, kTextureHeight = 45;
  COLORREF TextureAt(int x, int y) const {
    return texture[(y % kTextureHeight) * kTextureWidth + x % kTextureWidth];
  }

  void Set(int x, int y, COLORREF c) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[y * width + x] = c;
  }
  // Rectangle(l, t, r, b) with a one-pixel outline and the texture inside.
  void Box(int l, int t, int r, int b, COLORREF outline) {
    for (int y = t; y < b; ++y) {
      for (int x = l; x < r; ++x) {
        const bool edge = x == l || y == t || x == r - 1 || y == b - 1;
        Set(x, y, edge ? outline : TextureAt(x, y));
      }
    }
  }
  void Cell(const RECT& cell, COLORREF light, COLORREF dark, COLORREF fill) {
    for (int y = cell.top; y <= cell.bottom; ++y) {
      for (int x = cell.left; x <= cell.right; ++x) {
        const CellPart part = PartOf(cell, x, y);
        Set(x, y, part == CellPart::Light ? light : part == CellPart::Dark ? dark : fill);
      }
    }
  }
  COLORREF At(int x, int y) const { return pixels[y * width + x]; }
};

// Reads a window's client area as it is on the screen.
inline void Capture(HWND hwnd, Dib& into) {
  HDC dc = GetDC(hwnd);
  BitBlt(into.dc, 0, 0, into.width, into.height, dc, 0, 0, SRCCOPY);
  ReleaseDC(hwnd, dc);
}

// Number of pixels where the two differ; the first few go to stderr.
inline int Differences(const Dib& got, const Picture& want, const char* what) {
  int bad = 0;
  for (int y = 0; y < want.height; ++y) {
    for (int x = 0; x < want.width; ++x) {
      if (got.At(x, y) != want.At(x, y) && ++bad <= 5) {
        std::fprintf(stderr, "%s: pixel (%d, %d) is %06lx, expected %06lx\n", what, x, y,
                     static_cast<unsigned long>(got.At(x, y)),
                     static_cast<unsigned long>(want.At(x, y)));
      }
    }
  }
  return bad;
}

using test_support::Pump;
