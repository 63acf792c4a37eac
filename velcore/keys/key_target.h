#pragma once
// The process-wide key target: one window of the caller whose key, key-up and hot-key messages
// become WM_KEYTARGET_DOWN and WM_KEYTARGET_UP with the action's Id, and for which the assigned
// hardware buttons are taken from the shell while it (or a window it owns) is in front.
#include <windows.h>

#include <span>
#include <string>

#include "ui/subclass.h"
#include "ui/window.h"
#include "velcore/interface/velcore.h"
#include "velcore/keys/key_map.h"
#include "velcore/keys/platform_button_list.h"

class KeyTarget {
 public:
  static KeyTarget& Instance();

  KeyTarget() = default;
  KeyTarget(const KeyTarget&) = delete;
  KeyTarget& operator=(const KeyTarget&) = delete;

  void Register(const KeyTargetInfo* info);
  void Unregister();
  // The library is being unloaded: nothing may keep calling into it.
  void Shutdown();

  HWND Target() const { return target_; }
  KeyMap& Map() { return keyMap_; }
  const PlatformButtonList& Buttons() const { return buttons_; }

  void LoadPlatformButtons();
  void LoadKeyMap(const wchar_t* path);
  void SaveKeyMap() const;
  // Both act for the registered window only; with none they do nothing. A button another
  // program still holds is tried again for a while, as long as the window stays in front.
  void GrabButtons();
  void ReleaseButtons();
  // Takes the buttons only when the window or one it owns is the foreground window: a game
  // behind another must not take the buttons from the one in front.
  void GrabButtonsIfInFront();

  // The library's own timer on the target window; the window never sees it.
  static constexpr UINT_PTR kGrabRetryTimer = 0x56C0;
  static constexpr UINT kGrabRetryPeriod = 50;  // milliseconds
  static constexpr int kGrabRetryTicks = 40;    // two seconds

  static std::span<const ui::MessageEntry<KeyTarget>> Messages();

 private:
  friend class ui::Subclass<KeyTarget>;
  using Hook = ui::Subclass<KeyTarget>;
  static constexpr const wchar_t* kSubclassProperty = L"VelcoreKeyTarget";
  LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  void Report(UINT message, WPARAM code);
  bool InFront() const;
  // True when every mapped button is the window's.
  bool TakeMappedButtons() const;
  void StopRetrying();

  HWND target_ = nullptr;
  std::wstring path_;  // empty: the key map is not saved
  KeyMap keyMap_;
  PlatformButtonList buttons_;
  int retryTicks_ = 0;  // left of the current retry; 0: no timer
};
