#include "pocketpc/shell.h"

#include "ui/subclass.h"

namespace {

// The dialog's close box and cancel as the handheld's full-screen dialogs have them.
class FullScreenDialog {
 private:
  friend class ui::Subclass<FullScreenDialog>;
  static constexpr const wchar_t* kSubclassProperty = L"PocketPcDialog";

  LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
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
    }
    return ui::Subclass<FullScreenDialog>::CallNext(hwnd, message, wParam, lParam);
  }
};

// Stateless: one serves every dialog.
FullScreenDialog fullScreenDialog;

}  // namespace

BOOL SHInitDialog(PSHINITDLGINFO info) {
  if (!info || !(info->dwMask & SHIDIM_FLAGS) || !IsWindow(info->hDlg)) return FALSE;
  HWND dialog = info->hDlg;
  const DWORD flags = info->dwFlags;

  if (flags & SHIDIF_DONEBUTTON) {
    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_CAPTION | WS_SYSMENU);
  }
  ui::Subclass<FullScreenDialog>::Install(dialog, &fullScreenDialog);

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
