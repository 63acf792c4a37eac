#include "velcore/scores/publish_dialog.h"

#include "pocketpc/shell.h"
#include "velcore/dialog_parts/maker_links.h"
#include "velcore/resource.h"
#include "velcore/codec/publish_code.h"

PublishDialog::PublishDialog(const ScoreEntry& entry, int32_t gameId)
    : entry_(entry), gameId_(gameId) {}

std::span<const ui::MessageEntry<PublishDialog>> PublishDialog::Messages() {
  static const ui::MessageEntry<PublishDialog> table[] = {
      {WM_INITDIALOG, &PublishDialog::OnInitDialog},
  };
  return table;
}

std::span<const ui::CommandEntry<PublishDialog>> PublishDialog::Commands() {
  static const ui::CommandEntry<PublishDialog> table[] = {{IDOK, &PublishDialog::OnOk}};
  return table;
}

LRESULT PublishDialog::OnInitDialog(WPARAM, LPARAM) {
  if (link_.ReplacePlaceholder(hwnd_, IDC_PUBLISH_LINK,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_CENTER)) {
    link_.SetLabel(kMakerWebHost);
    link_.SetTarget(kMakerWebAddress);
  }
  wchar_t code[kPublishCodeCapacity];
  PublishCode(gameId_, entry_.score, code);
  SetDlgItemTextW(hwnd_, IDC_PUBLISH_CODE, code);
  SHINITDLGINFO shell = {SHIDIM_FLAGS, hwnd_,
                         SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&shell);
  return TRUE;
}

void PublishDialog::OnOk(WORD, HWND control) {
  if (!control) EndDialog(hwnd_, 1);
}
