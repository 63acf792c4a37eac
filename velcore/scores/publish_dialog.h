#pragma once
// Shows the publishing code of one entry, with the link to the maker's hall of fame.
#include <windows.h>

#include <span>

#include "ui/window.h"
#include "velcore/dialog_parts/hyper_link.h"
#include "velcore/codec/score_entry.h"

class PublishDialog : public ui::Dialog<PublishDialog> {
 public:
  PublishDialog(const ScoreEntry& entry, int32_t gameId);

  static std::span<const ui::MessageEntry<PublishDialog>> Messages();
  static std::span<const ui::CommandEntry<PublishDialog>> Commands();

 private:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  void OnOk(WORD notifyCode, HWND control);

  const ScoreEntry& entry_;
  const int32_t gameId_;
  HyperLink link_;
};
