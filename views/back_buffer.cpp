#include "views/back_buffer.h"

bool EnsureBackBuffer(HDC paintDC, const RECT& client, HDC& memDC, HBITMAP& backBuffer) {
  if (!memDC) memDC = CreateCompatibleDC(paintDC);
  if (memDC && !backBuffer) {
    backBuffer =
        CreateCompatibleBitmap(paintDC, client.right - client.left, client.bottom - client.top);
    if (backBuffer) SelectObject(memDC, backBuffer);
  }
  return memDC && backBuffer;
}

void ReleaseBackBuffer(HDC& memDC, HBITMAP& backBuffer) {
  if (memDC) {
    HDC dc = memDC;
    memDC = nullptr;
    DeleteDC(dc);
  }
  if (backBuffer && DeleteObject(backBuffer)) backBuffer = nullptr;
}
