#include "pocketpc/shell.h"

#include <initializer_list>

#include "pocketpc/screen.h"
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

// The game's icon where the owner shows one, never the platform's default. The owner keeps it:
// it outlives its modal dialogs.
void ShowOwnersIcon(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  for (WPARAM size : {ICON_SMALL, ICON_BIG}) {
    LRESULT icon = owner ? SendMessageW(owner, WM_GETICON, size, 0) : 0;
    SendMessageW(dialog, WM_SETICON, size, icon);
  }
}

// The dialog's own rectangle centred over its owner (the work area when it shows none) and kept
// inside the work area.
RECT OverOwner(HWND dialog, const RECT& area) {
  RECT own = {};
  GetWindowRect(dialog, &own);
  RECT over = area;
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  const LONG left = over.left + ((over.right - over.left) - width) / 2;
  const LONG top = over.top + ((over.bottom - over.top) - height) / 2;
  return pocketpc::KeepInside(RECT{left, top, left + width, top + height}, area);
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
  ui::Subclass<FullScreenDialog>::Install(dialog, &fullScreenDialog);
  ShowOwnersIcon(dialog);

  UINT swp = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  RECT area = {};
  if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
    area = pocketpc::WorkArea();
    // Full screen is the handheld's way; on a desktop the dialog stays as its template made it.
    if (!pocketpc::IsHandheldScreen(area)) area = OverOwner(dialog, area);
  } else {
    GetWindowRect(dialog, &area);
    swp |= SWP_NOMOVE | SWP_NOSIZE;
  }
  SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
               swp);
  return TRUE;
}
