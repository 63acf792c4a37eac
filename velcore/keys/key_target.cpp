#include "velcore/keys/key_target.h"

#include <new>

#include "velcore/keys/hot_keys.h"

namespace {

KeyTarget instance;

}  // namespace

KeyTarget& KeyTarget::Instance() {
  return instance;
}

std::span<const ui::MessageEntry<KeyTarget>> KeyTarget::Messages() {
  static const ui::MessageEntry<KeyTarget> table[] = {
      {WM_KEYDOWN, &KeyTarget::OnKeyDown}, {WM_KEYUP, &KeyTarget::OnKeyUp},
      {WM_HOTKEY, &KeyTarget::OnHotKey},   {WM_ACTIVATE, &KeyTarget::OnActivate},
      {WM_DESTROY, &KeyTarget::OnDestroy}, {WM_TIMER, &KeyTarget::OnTimer},
  };
  return table;
}

void KeyTarget::Register(const KeyTargetInfo* info) {
  LoadPlatformButtons();
  HWND window = info ? info->target : nullptr;
  // Another registration still in force would leave its window hooked and its buttons taken.
  if (target_ && target_ != window) Unregister();
  target_ = Hook::Install(window, this) ? window : nullptr;
  LoadKeyMap(info ? info->keysPath : nullptr);
  ReleaseButtons();
  // A window not yet shown, or shown behind another, takes them when it is activated.
  GrabButtonsIfInFront();
}

void KeyTarget::Unregister() {
  if (!target_) return;
  if (!IsWindow(target_)) {
    retryTicks_ = 0;
    target_ = nullptr;
    return;
  }
  ReleaseButtons();
  // With another procedure installed over the hook, removing it would cut that one off.
  if (Hook::Remove(target_)) target_ = nullptr;
}

void KeyTarget::Shutdown() {
  if (!target_) return;
  ReleaseButtons();
  Hook::Remove(target_);
  target_ = nullptr;
}

void KeyTarget::LoadPlatformButtons() {
  buttons_.Load();
}

void KeyTarget::LoadKeyMap(const wchar_t* path) {
  path_.clear();
  // An empty path would open the root of the user's tree and take its subkeys for actions.
  if (!path || !*path) return;
  try {
    path_ = path;
  } catch (const std::bad_alloc&) {
    // Without its path the map is not saved.
  }
  keyMap_.Load(path);
}

void KeyTarget::SaveKeyMap() const {
  if (!path_.empty()) keyMap_.Save(path_.c_str());
}

bool KeyTarget::TakeMappedButtons() const {
  const UnregisterFunc1Fn takeFromShell = LookUpUnregisterFunc1();
  bool all = true;
  for (const PlatformButton& button : buttons_.Buttons()) {
    if (!IsKeyCode(button.code)) continue;
    for (const KeyMapEntry& entry : keyMap_.Entries()) {
      if (entry.Code == button.code) {
        if (!GrabButton(target_, button.code, takeFromShell)) all = false;
        break;
      }
    }
  }
  return all;
}

void KeyTarget::GrabButtons() {
  if (!target_) return;
  // The game that was in front lets go when its own deactivation reaches it, in its own
  // process and in no fixed order with this activation: until then its buttons are refused.
  if (TakeMappedButtons()) return;
  if (retryTicks_ == 0 && !SetTimer(target_, kGrabRetryTimer, kGrabRetryPeriod, nullptr)) return;
  retryTicks_ = kGrabRetryTicks;
}

void KeyTarget::GrabButtonsIfInFront() {
  if (InFront()) GrabButtons();
}

void KeyTarget::ReleaseButtons() {
  if (!target_) return;
  StopRetrying();
  for (const PlatformButton& button : buttons_.Buttons()) {
    if (IsKeyCode(button.code)) ReleaseButton(target_, button.code);
  }
}

bool KeyTarget::InFront() const {
  if (!target_) return false;
  for (HWND window = GetForegroundWindow(); window; window = GetWindow(window, GW_OWNER)) {
    if (window == target_) return true;
  }
  return false;
}

void KeyTarget::StopRetrying() {
  if (retryTicks_ == 0) return;
  retryTicks_ = 0;
  if (target_) KillTimer(target_, kGrabRetryTimer);
}

LRESULT KeyTarget::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // A window that kept the hook after it was let go of (another procedure sits over it) is
  // not the target any more.
  if (hwnd == target_) {
    LRESULT result = 0;
    if (ui::Dispatch(this, message, wParam, lParam, result)) return result;
  }
  return Hook::CallNext(hwnd, message, wParam, lParam);
}

void KeyTarget::Report(UINT message, WPARAM code) {
  const KeyMapEntry* entry = keyMap_.Find(code);
  if (entry) SendMessageW(target_, message, static_cast<WPARAM>(entry->Id), 0);
}

// Key messages never reach the window itself, assigned or not.
LRESULT KeyTarget::OnKeyDown(WPARAM wParam, LPARAM) {
  Report(WM_KEYTARGET_DOWN, wParam);
  return 0;
}

LRESULT KeyTarget::OnKeyUp(WPARAM wParam, LPARAM) {
  Report(WM_KEYTARGET_UP, wParam);
  return 0;
}

// A hot key's identifier is the button's code; its release arrives as an ordinary key-up.
LRESULT KeyTarget::OnHotKey(WPARAM wParam, LPARAM) {
  Report(WM_KEYTARGET_DOWN, wParam);
  return 0;
}

LRESULT KeyTarget::OnActivate(WPARAM wParam, LPARAM lParam) {
  HWND window = target_;
  if (LOWORD(wParam) == WA_INACTIVE) {
    ReleaseButtons();
  } else {
    GrabButtons();
  }
  return Hook::CallNext(window, WM_ACTIVATE, wParam, lParam);
}

LRESULT KeyTarget::OnTimer(WPARAM wParam, LPARAM lParam) {
  if (wParam != kGrabRetryTimer) return Hook::CallNext(target_, WM_TIMER, wParam, lParam);
  if (retryTicks_ == 0) return 0;
  // A game sent behind again before it got everything leaves the rest to the one in front.
  if (!InFront() || TakeMappedButtons() || --retryTicks_ == 0) StopRetrying();
  return 0;
}

LRESULT KeyTarget::OnDestroy(WPARAM wParam, LPARAM lParam) {
  StopRetrying();
  HWND window = target_;
  const LRESULT result = Hook::CallNext(window, WM_DESTROY, wParam, lParam);
  Hook::Remove(window);
  if (target_ == window) target_ = nullptr;
  return result;
}
