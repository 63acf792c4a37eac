#include "velcore/keys/key_target.h"

#include <new>

#include "velcore/keys/hot_keys.h"

namespace {

// The procedure the hook replaced lives on the hooked window itself, so that a window whose
// hook could not be removed (another procedure sits above it) still reaches its own procedure.
constexpr wchar_t kReplacedProperty[] = L"VelcoreKeyTargetProc";

KeyTarget instance;

}  // namespace

KeyTarget& KeyTarget::Instance() {
  return instance;
}

std::span<const ui::MessageEntry<KeyTarget>> KeyTarget::Messages() {
  static const ui::MessageEntry<KeyTarget> table[] = {
      {WM_KEYDOWN, &KeyTarget::OnKeyDown}, {WM_KEYUP, &KeyTarget::OnKeyUp},
      {WM_HOTKEY, &KeyTarget::OnHotKey},   {WM_ACTIVATE, &KeyTarget::OnActivate},
      {WM_DESTROY, &KeyTarget::OnDestroy},
  };
  return table;
}

void KeyTarget::Register(const KeyTargetInfo* info) {
  LoadPlatformButtons();
  HWND window = info ? info->target : nullptr;
  // Another registration still in force would leave its window hooked and its buttons taken.
  if (target_ && target_ != window) Unregister();
  target_ = Hook(window) ? window : nullptr;
  LoadKeyMap(info ? info->keysPath : nullptr);
  ReleaseButtons();
  GrabButtons();
}

void KeyTarget::Unregister() {
  if (!target_) return;
  if (!IsWindow(target_)) {
    target_ = nullptr;
    return;
  }
  ReleaseButtons();
  // With another procedure installed over the hook, removing it would cut that one off.
  if (Unhook(target_)) target_ = nullptr;
}

void KeyTarget::Shutdown() {
  if (!target_) return;
  ReleaseButtons();
  Unhook(target_);
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

void KeyTarget::GrabButtons() const {
  if (!target_) return;
  const UnregisterFunc1Fn takeFromShell = LookUpUnregisterFunc1();
  for (const PlatformButton& button : buttons_.Buttons()) {
    if (!IsKeyCode(button.code)) continue;
    for (const KeyMapEntry& entry : keyMap_.Entries()) {
      if (entry.Code == button.code) {
        GrabButton(target_, button.code, takeFromShell);
        break;
      }
    }
  }
}

void KeyTarget::ReleaseButtons() const {
  if (!target_) return;
  for (const PlatformButton& button : buttons_.Buttons()) {
    if (IsKeyCode(button.code)) ReleaseButton(target_, button.code);
  }
}

bool KeyTarget::Hook(HWND window) {
  if (!window || !IsWindow(window)) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return false;
  // Hooked already (registered twice): hooking again would make the hook call itself.
  if (GetPropW(window, kReplacedProperty)) return true;
  const LONG_PTR replaced =
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProcedure));
  if (!replaced) return false;
  if (!SetPropW(window, kReplacedProperty, reinterpret_cast<HANDLE>(replaced))) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, replaced);
    return false;
  }
  return true;
}

bool KeyTarget::Unhook(HWND window) {
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&HookProcedure)) {
    return false;
  }
  const HANDLE replaced = GetPropW(window, kReplacedProperty);
  if (!replaced) return false;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced));
  RemovePropW(window, kReplacedProperty);
  return true;
}

LRESULT KeyTarget::CallReplaced(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto replaced = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kReplacedProperty));
  if (!replaced) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The last message: a hook that could not be removed earlier goes with the window.
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookProcedure)) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced));
    }
    RemovePropW(hwnd, kReplacedProperty);
  }
  return CallWindowProcW(replaced, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK KeyTarget::HookProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  KeyTarget& self = Instance();
  if (hwnd == self.target_) {
    LRESULT result = 0;
    if (ui::Dispatch(&self, message, wParam, lParam, result)) return result;
  }
  return CallReplaced(hwnd, message, wParam, lParam);
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
  return CallReplaced(window, WM_ACTIVATE, wParam, lParam);
}

LRESULT KeyTarget::OnDestroy(WPARAM wParam, LPARAM lParam) {
  HWND window = target_;
  const LRESULT result = CallReplaced(window, WM_DESTROY, wParam, lParam);
  Unhook(window);
  if (target_ == window) target_ = nullptr;
  return result;
}
