#pragma once
// The handheld's buttons as a test sees them from outside every program: whether anybody holds
// one as hot key (Win and the button's code, as the shell registers them), and real presses of
// keys and buttons.
#include <windows.h>

namespace test_support {

// True when anybody holds Win+code: a probe window of this process cannot take it.
inline bool ButtonTaken(UINT code) {
  constexpr int kProbeId = 0xBFFF;
  static HWND probe = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
  if (RegisterHotKey(probe, kProbeId, MOD_WIN, code)) {
    UnregisterHotKey(probe, kProbeId);
    return false;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

// Real keyboard input, as the focused window (or a hot key's owner) receives it; false when the
// system took none of it.
inline bool SendKey(WORD vk, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return SendInput(1, &input, sizeof input) == 1;
}

// A hardware button goes down (or up): the Windows key and the button's code.
inline bool PressHardwareButton(WORD code, bool up) {
  if (up) return SendKey(code, true) && SendKey(VK_LWIN, true);
  return SendKey(VK_LWIN, false) && SendKey(code, false);
}

}  // namespace test_support
