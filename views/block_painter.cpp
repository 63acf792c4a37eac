#include "views/block_painter.h"

const COLORREF BlockPainter::kLightColours[kColours] = {
    RGB(255, 60, 60),   RGB(255, 255, 60), RGB(60, 255, 60),  RGB(60, 60, 255),
    RGB(255, 255, 255), RGB(255, 60, 255), RGB(60, 255, 255),
};
const COLORREF BlockPainter::kDarkColours[kColours] = {
    RGB(146, 14, 14),   RGB(146, 146, 14), RGB(14, 146, 14),  RGB(14, 14, 146),
    RGB(134, 134, 134), RGB(146, 14, 146), RGB(14, 146, 146),
};
const COLORREF BlockPainter::kFillColours[kColours] = {
    RGB(208, 20, 20),   RGB(208, 208, 20), RGB(20, 208, 20),  RGB(20, 20, 208),
    RGB(192, 192, 192), RGB(208, 20, 208), RGB(20, 208, 208),
};

namespace {

template <class Handle>
void DeleteHandle(Handle& handle) {
  if (handle && DeleteObject(handle)) handle = nullptr;
}

}  // namespace

void BlockPainter::Create(HINSTANCE textureModule, UINT textureId) {
  Destroy();  // a second window on the same object must not leak the first set
  patternBitmap = LoadBitmapW(textureModule, MAKEINTRESOURCEW(textureId));
  if (patternBitmap) patternBrush = CreatePatternBrush(patternBitmap);
  flashBrush = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
  framePen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  for (int i = 0; i < kColours; ++i) {
    lightPens[i] = CreatePen(PS_SOLID, 1, kLightColours[i]);
    darkPens[i] = CreatePen(PS_SOLID, 1, kDarkColours[i]);
    fillBrushes[i] = CreateSolidBrush(kFillColours[i]);
  }
}

void BlockPainter::Destroy() {
  for (int i = 0; i < kColours; ++i) {
    DeleteHandle(lightPens[i]);
    DeleteHandle(darkPens[i]);
    DeleteHandle(fillBrushes[i]);
  }
  DeleteHandle(framePen);
  DeleteHandle(flashBrush);
  // The brush holds its own copy of the pattern; the bitmap can go after it.
  DeleteHandle(patternBrush);
  DeleteHandle(patternBitmap);
}

void BlockPainter::DrawCell(HDC dc, RECT& rect, HPEN lightPen, HPEN darkPen, HBRUSH fillBrush) {
  const LONG l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  HGDIOBJ previous = GetCurrentObject(dc, OBJ_PEN);
  // Polyline leaves out each last point, so the two bevels meet without overlap.
  if (lightPen) {
    const POINT light[7] = {{l, b - 1},     {l, t},         {r, t},        {r - 1, t},
                            {r - 1, t + 1}, {l + 1, t + 1}, {l + 1, b - 1}};
    SelectObject(dc, lightPen);
    Polyline(dc, light, 7);
  }
  if (darkPen) {
    const POINT dark[7] = {{l, b},         {r, b},         {r, t + 1}, {r, t + 2},
                           {r - 1, t + 2}, {r - 1, b - 1}, {l, b - 1}};
    SelectObject(dc, darkPen);
    Polyline(dc, dark, 7);
  }
  SelectObject(dc, previous);
  InflateRect(&rect, -2, -2);
  ++rect.right;
  ++rect.bottom;
  if (fillBrush) FillRect(dc, &rect, fillBrush);
}
