#pragma once
// The game's icon, text and caption from the caller's module, and the maker's two links.
#include <windows.h>

#include <span>

#include "ui/window.h"
#include "velcore/dialog_parts/hyper_link.h"
#include "velcore/interface/velcore.h"

class AboutDialog : public ui::Dialog<AboutDialog> {
 public:
  explicit AboutDialog(const AboutBoxInfo& info) : info_(info) {}

  static std::span<const ui::MessageEntry<AboutDialog>> Messages();
  static std::span<const ui::CommandEntry<AboutDialog>> Commands();

 private:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  void OnOk(WORD notifyCode, HWND control);

  void SetCallerIcon();
  void SetCallerText(UINT id, HWND window);

  const AboutBoxInfo& info_;
  HyperLink webLink_;
  HyperLink mailLink_;
};
