#pragma once
#include <windows.h>

// The memory device context and bitmap that both views paint into before one block transfer.
// The bitmap keeps the size of the first paint.

// Creates what is missing; false when the buffer cannot be drawn into.
bool EnsureBackBuffer(HDC paintDC, const RECT& client, HDC& memDC, HBITMAP& backBuffer);
// Deletes what exists; each handle is cleared, the bitmap only once its deletion succeeded.
void ReleaseBackBuffer(HDC& memDC, HBITMAP& backBuffer);
// On WM_SIZE: when window's client differs in size from laidOut, drops the buffer (the next paint
// makes one of the new size), invalidates the window and returns true with the new client, which
// the caller lays out; a move or a size message of the same size changes nothing.
bool TakeNewSize(HWND window, const RECT& laidOut, RECT& client, HDC& memDC, HBITMAP& backBuffer);
