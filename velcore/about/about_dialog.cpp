#include "velcore/about/about_dialog.h"

#include "pocketpc/shell.h"
#include "velcore/dialog_parts/maker_links.h"
#include "velcore/resource.h"

std::span<const ui::MessageEntry<AboutDialog>> AboutDialog::Messages() {
  static const ui::MessageEntry<AboutDialog> table[] = {
      {WM_INITDIALOG, &AboutDialog::OnInitDialog},
      {WM_DESTROY, &AboutDialog::OnDestroy},
  };
  return table;
}

std::span<const ui::CommandEntry<AboutDialog>> AboutDialog::Commands() {
  static const ui::CommandEntry<AboutDialog> table[] = {{IDOK, &AboutDialog::OnOk}};
  return table;
}

LRESULT AboutDialog::OnInitDialog(WPARAM, LPARAM) {
  SetCallerIcon();
  SetCallerText(info_.textId, Item(IDC_ABOUT_TEXT));
  SetCallerText(info_.captionId, hwnd_);

  constexpr DWORD kLinkStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  if (webLink_.ReplacePlaceholder(hwnd_, IDC_WEB_LINK, kLinkStyle)) {
    webLink_.SetLabel(kMakerWebHost);
    webLink_.SetTarget(kMakerWebAddress);
  }
  mailLink_.SetMail(true);
  if (mailLink_.ReplacePlaceholder(hwnd_, IDC_MAIL_LINK, kLinkStyle)) {
    mailLink_.SetLabel(kMakerSupportMail);
    mailLink_.SetTarget(kMakerSupportMail);
  }

  SHINITDLGINFO shell = {SHIDIM_FLAGS, hwnd_,
                         SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&shell);
  // The text, not the first link, takes the first focus: Enter then closes the box as OK (the
  // dialog's default command) instead of starting the browser, and Tab goes on to the links.
  SetFocus(Item(IDC_ABOUT_TEXT));
  return FALSE;
}

void AboutDialog::SetCallerIcon() {
  if (info_.iconId == 0) return;
  // A private copy, not the module's shared icon: the dialog destroys it when it closes, and the
  // caller may be showing the same icon elsewhere.
  auto icon = static_cast<HICON>(
      LoadImageW(info_.instance, MAKEINTRESOURCEW(info_.iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  if (icon)
    SendDlgItemMessageW(hwnd_, IDC_ABOUT_ICON, STM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(icon));
}

void AboutDialog::SetCallerText(UINT id, HWND window) {
  if (id == 0 || !window) return;
  wchar_t text[256] = {};
  if (LoadStringW(info_.instance, id, text, 256) > 0) SetWindowTextW(window, text);
}

LRESULT AboutDialog::OnDestroy(WPARAM, LPARAM) {
  auto icon = reinterpret_cast<HICON>(
      SendDlgItemMessageW(hwnd_, IDC_ABOUT_ICON, STM_GETIMAGE, IMAGE_ICON, 0));
  if (icon) DestroyIcon(icon);
  return 0;
}

void AboutDialog::OnOk(WORD, HWND) {
  EndDialog(hwnd_, 1);
}
