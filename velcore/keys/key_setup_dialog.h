#pragma once
// The dialog in which the player assigns a key to every action of the key map: after "Start"
// it walks down the list, asking for one key to be pressed and released per action. The list
// never takes the focus and never selects a row, so every key reaches the dialog itself.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <span>

#include "ui/subclass.h"
#include "ui/window.h"
#include "velcore/keys/key_map.h"
#include "velcore/keys/platform_button_list.h"

class KeySetupDialog : public ui::Dialog<KeySetupDialog> {
 public:
  // The entries are edited in place.
  KeySetupDialog(KeyMap& actions, const PlatformButtonList& buttons);

  static std::span<const ui::MessageEntry<KeySetupDialog>> Messages();
  static std::span<const ui::CommandEntry<KeySetupDialog>> Commands();
  static std::span<const ui::NotifyEntry<KeySetupDialog>> Notifications();

 private:
  // The list's procedure is replaced by SubclassProcedure.
  friend class ui::Subclass<KeySetupDialog>;
  static constexpr const wchar_t* kSubclassProperty = L"VelcoreKeyList";
  LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnSysKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  void OnOk(WORD notifyCode, HWND control);
  void OnStart(WORD notifyCode, HWND control);
  LRESULT OnItemChanging(NMHDR* header);

  static int CALLBACK CompareIds(LPARAM first, LPARAM second, LPARAM);

  void Advance();
  void Assign(int32_t code);
  void GrabAllButtons();
  void ReleaseAllButtons();
  KeyMapEntry* EntryAt(int row) const;
  void SetKeyText(int row, const wchar_t* text);
  void SetKeyString(int row, UINT stringId);
  void ShowKeyName(int row, int32_t code);
  void KeyName(int32_t code, wchar_t* text, int size) const;

  std::span<KeyMapEntry> actions_;
  const PlatformButtonList& buttons_;  // unread: no buttons
  int32_t currentRow_ = -1;
  bool keyDown_ = false;
  bool capturing_ = false;
  HWND list_ = nullptr;
};
