#pragma once
#include <windows.h>

// The memory device context and bitmap that both views paint into before one block transfer.
// The bitmap keeps the size of the first paint.

// Creates what is missing; false when the buffer cannot be drawn into.
bool EnsureBackBuffer(HDC paintDC, const RECT& client, HDC& memDC, HBITMAP& backBuffer);
// Deletes what exists; each handle is cleared, the bitmap only once its deletion succeeded.
void ReleaseBackBuffer(HDC& memDC, HBITMAP& backBuffer);
