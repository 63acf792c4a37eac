#pragma once
#include <windows.h>

#include <cstdint>
#include <span>

#include "ui/window.h"

// The options: starting level (as shown, 1-10), "Play sound" and "Show preview". Lives for one
// modal run; closes only with OK.
class OptionsDialog : public ui::Dialog<OptionsDialog> {
 public:
  OptionsDialog(uint32_t shownLevel, bool playSound, bool showPreview)
      : level(shownLevel), playSound(playSound ? 1 : 0), showPreview(showPreview ? 1 : 0) {}

  static std::span<const ui::MessageEntry<OptionsDialog>> Messages();
  static std::span<const ui::CommandEntry<OptionsDialog>> Commands();

  // Runs the dialog from the program's template; 1 when it was closed with OK.
  INT_PTR Run(HINSTANCE instance, HWND owner);

  uint32_t level;
  int playSound;
  int showPreview;
  bool accepted = false;  // OK was pressed: the fields hold what it read

 private:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  void OnOk(WORD notifyCode, HWND control);
  void OnSetupKeys(WORD notifyCode, HWND control);
};
