#include "pocketpc/shell.h"

namespace {

constexpr wchar_t kOldProcProperty[] = L"PocketPcDialogProc";

LRESULT CALLBACK DialogHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProperty));
  if (!old) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) break;
      [[fallthrough]];
    case WM_CLOSE:
      // The caption's close box is the shell's OK: a command that names no control.
      SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) return 0;
      break;
    case WM_NCDESTROY:
      RemovePropW(hwnd, kOldProcProperty);
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      break;
  }
  return CallWindowProcW(old, hwnd, message, wParam, lParam);
}

}  // namespace

BOOL SHInitDialog(PSHINITDLGINFO info) {
  if (!info || !(info->dwMask & SHIDIM_FLAGS) || !IsWindow(info->hDlg)) return FALSE;
  HWND dialog = info->hDlg;
  const DWORD flags = info->dwFlags;

  if (flags & SHIDIF_DONEBUTTON) {
    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_CAPTION | WS_SYSMENU);
  }
  if (!GetPropW(dialog, kOldProcProperty)) {
    auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(dialog, GWLP_WNDPROC));
    if (SetPropW(dialog, kOldProcProperty, reinterpret_cast<HANDLE>(old))) {
      SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogHook));
    }
  }

  UINT swp = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  RECT area = {};
  if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  } else {
    GetWindowRect(dialog, &area);
    swp |= SWP_NOMOVE | SWP_NOSIZE;
  }
  SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
               swp);
  return TRUE;
}
