#include "shell/options_dialog.h"

#include <commctrl.h>

#include "pocketpc/shell.h"
#include "shell/res/resource.h"
#include "shell/settings.h"
#include "shell/velcore_library.h"
#include "velcore/interface/velcore.h"

std::span<const ui::MessageEntry<OptionsDialog>> OptionsDialog::Messages() {
  static const ui::MessageEntry<OptionsDialog> table[] = {
      {WM_INITDIALOG, &OptionsDialog::OnInitDialog},
  };
  return table;
}

std::span<const ui::CommandEntry<OptionsDialog>> OptionsDialog::Commands() {
  static const ui::CommandEntry<OptionsDialog> table[] = {
      {IDOK, &OptionsDialog::OnOk},
      {IDC_SETUP_KEYS, &OptionsDialog::OnSetupKeys},
  };
  return table;
}

INT_PTR OptionsDialog::Run(HINSTANCE instance, HWND owner) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  return Dialog::Run(instance, IDD_OPTIONS, owner);
}

LRESULT OptionsDialog::OnInitDialog(WPARAM, LPARAM) {
  SendDlgItemMessageW(hwnd_, IDC_LEVEL_SPIN, UDM_SETRANGE32, 1, kLevelCount);
  SetDlgItemInt(hwnd_, IDC_LEVEL, level, FALSE);
  SendDlgItemMessageW(hwnd_, IDC_PLAY_SOUND, BM_SETCHECK, playSound, 0);
  SendDlgItemMessageW(hwnd_, IDC_SHOW_PREVIEW, BM_SETCHECK, showPreview, 0);
  SHINITDLGINFO info = {SHIDIM_FLAGS, hwnd_,
                        SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&info);
  return FALSE;
}

void OptionsDialog::OnOk(WORD, HWND) {
  BOOL translated = FALSE;
  const UINT shown = GetDlgItemInt(hwnd_, IDC_LEVEL, &translated, FALSE);
  // The edit only ever holds what the up-down control put there; anything else keeps the level.
  if (translated && shown >= 1 && shown <= kLevelCount) level = shown;
  playSound = SendDlgItemMessageW(hwnd_, IDC_PLAY_SOUND, BM_GETCHECK, 0, 0) == BST_CHECKED;
  showPreview = SendDlgItemMessageW(hwnd_, IDC_SHOW_PREVIEW, BM_GETCHECK, 0, 0) == BST_CHECKED;
  accepted = true;
  EndDialog(hwnd_, IDOK);
}

void OptionsDialog::OnSetupKeys(WORD, HWND) {
  if (auto setup = FindVelcoreExport<KeySetupBoxFn>(kKeySetupBoxName)) setup(hwnd_);
}
