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

bool TakeNewSize(HWND window, const RECT& laidOut, RECT& client, HDC& memDC, HBITMAP& backBuffer) {
  if (!GetClientRect(window, &client)) return false;
  if (client.right - client.left == laidOut.right - laidOut.left &&
      client.bottom - client.top == laidOut.bottom - laidOut.top) {
    return false;
  }
  ReleaseBackBuffer(memDC, backBuffer);
  InvalidateRect(window, nullptr, TRUE);
  return true;
}
