#include "screen.h"

namespace {

// The pixels of a rectangle of the screen.
std::vector<COLORREF> CaptureScreen(const RECT& r) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return {};
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  // A 32-bit DIB holds blue in the low byte, a COLORREF red.
  for (COLORREF& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

std::vector<COLORREF> CapturePixels(HWND hwnd) {
  RECT r = {};
  if (!GetWindowRect(hwnd, &r)) return {};
  return CaptureScreen(r);
}

std::vector<COLORREF> CapturePatch(HWND hwnd, POINT clientCentre, int side) {
  POINT corner = {clientCentre.x - side / 2, clientCentre.y - side / 2};
  if (!ClientToScreen(hwnd, &corner)) return {};
  return CaptureScreen({corner.x, corner.y, corner.x + side, corner.y + side});
}
