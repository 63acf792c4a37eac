#pragma once
// The drawing objects of the well and the preview, and the bevelled cell they are drawn with.
#include <windows.h>

class BlockPainter {
 public:
  static constexpr int kColours = 7;

  BlockPainter() = default;
  ~BlockPainter() { Destroy(); }
  BlockPainter(const BlockPainter&) = delete;
  BlockPainter& operator=(const BlockPainter&) = delete;

  // The texture of the well is the bitmap resource textureId of textureModule. A failed object
  // (a texture that is not there too) stays null and draws nothing; failures are not reported.
  // Creating again replaces the objects.
  void Create(HINSTANCE textureModule, UINT textureId);
  // Safe to call again: only handles that still exist are deleted.
  void Destroy();

  // Draws a raised cell covering rect's pixels inclusively (right = left + size - 1). rect is
  // used as scratch and comes back changed. Null objects draw nothing.
  static void DrawCell(HDC dc, RECT& rect, HPEN lightPen, HPEN darkPen, HBRUSH fillBrush);

  static const COLORREF kLightColours[kColours];
  static const COLORREF kDarkColours[kColours];
  static const COLORREF kFillColours[kColours];

  HPEN lightPens[kColours] = {};
  HPEN darkPens[kColours] = {};
  HPEN framePen = nullptr;
  HBRUSH fillBrushes[kColours] = {};
  HBRUSH flashBrush = nullptr;
  HBRUSH patternBrush = nullptr;
  HBITMAP patternBitmap = nullptr;
};
