#pragma once
// The high-score list. With a new entry (its slot already taken in the table) its row is in the
// list from the start and its name is open for typing; every cell takes its text from the entry's
// slot on demand.
#include <windows.h>
#include <commctrl.h>

#include <span>

#include "ui/subclass.h"
#include "ui/window.h"
#include "velcore/interface/velcore.h"
#include "velcore/codec/score_table.h"

// The name editor while it holds the untouched placeholder: the first change the player makes
// replaces the placeholder whole, whatever keys moved the caret or the selection before.
class PlaceholderEditor {
 public:
  void Watch(HWND editor);

 private:
  friend class ui::Subclass<PlaceholderEditor>;
  static constexpr const wchar_t* kSubclassProperty = L"VelcorePlaceholder";
  LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  bool untouched_ = false;
};

class ScoresDialog : public ui::Dialog<ScoresDialog> {
 public:
  // newSlot: the slot of the new entry, or -1 when there is none.
  ScoresDialog(const ScoresBoxInfo& info, ScoreTable& table, int newSlot);

  static std::span<const ui::MessageEntry<ScoresDialog>> Messages();
  static std::span<const ui::CommandEntry<ScoresDialog>> Commands();
  static std::span<const ui::NotifyEntry<ScoresDialog>> Notifications();

  // Whether its OK stored the new entry.
  bool Stored() const { return stored_; }

 private:
  static constexpr UINT kStartNameEntry = WM_USER + 100;

  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnStartNameEntry(WPARAM wParam, LPARAM lParam);
  void OnOk(WORD notifyCode, HWND control);
  void OnPublish(WORD notifyCode, HWND control);
  LRESULT OnGetDispInfo(NMHDR* header);
  LRESULT OnBeginLabelEdit(NMHDR* header);
  LRESULT OnEndLabelEdit(NMHDR* header);
  LRESULT OnItemChanged(NMHDR* header);

  void InsertColumns();
  void InsertRow(ScoreEntry* entry);
  void SelectRow(int row);
  void FitColumns();
  void GrowToShowTheWholeTable();
  int FindRow(const ScoreEntry* entry) const;
  ScoreEntry* EntryOfRow(int row) const;
  static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM unused);

  const ScoresBoxInfo& info_;
  ScoreTable& table_;
  ScoreEntry* const newEntry_;
  HWND list_ = nullptr;
  PlaceholderEditor placeholder_;
  bool stored_ = false;
};
