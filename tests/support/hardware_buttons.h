#pragma once
// The handheld's buttons as a test sees them from outside every program: the shell's list of
// them, whether anybody holds one as hot key (Win and the button's code, as the shell registers
// them), and real presses of keys and buttons.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/registry_values.h"

namespace test_support {

// The shell's list of buttons: a subkey per button, named after its code ("40C1"), holding the
// button's "Name".
constexpr wchar_t kShellKeysPath[] = L"SOFTWARE\\Microsoft\\Shell\\Keys";

struct ShellButton {
  std::wstring subkey;
  std::wstring name;
};

// The list as given; an empty one is a list without buttons, not a missing list.
inline void WriteShellButtons(const std::vector<ShellButton>& buttons) {
  HKEY keys = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kShellKeysPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &keys, nullptr),
            ERROR_SUCCESS);
  if (keys) RegCloseKey(keys);
  for (const ShellButton& b : buttons) {
    WriteValue(HKEY_LOCAL_MACHINE, std::wstring(kShellKeysPath) + L"\\" + b.subkey, L"Name", REG_SZ,
               b.name.c_str(), static_cast<DWORD>((b.name.size() + 1) * sizeof(wchar_t)));
  }
}

// The list gone, and the shell's key with it when nothing else was left there.
inline void RemoveShellButtons() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kShellKeysPath);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kShellKeysPath);
  DeleteIfEmpty(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shell");
}

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
