#include "velcore/dialog_parts/dialog_placement.h"

void CentreDialog(HWND dialog) {
  RECT work = {};
  RECT own = {};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(dialog, &own)) return;
  RECT over = work;
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &over);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG x = over.left + ((over.right - over.left) - width) / 2;
  LONG y = over.top + ((over.bottom - over.top) - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
