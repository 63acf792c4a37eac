#include "velcore/keys/hot_keys.h"

#include "ui/system_library.h"

UnregisterFunc1Fn LookUpUnregisterFunc1() {
  // The system folder does not change while the process runs: one look is enough. On the
  // handheld it is the core library, loaded in every process; here it is kept once found.
  static const UnregisterFunc1Fn found =
      ui::SystemFunctionAs<UnregisterFunc1Fn>(L"coredll.dll", "UnregisterFunc1");
  return found;
}

bool GrabButton(HWND window, int32_t code, UnregisterFunc1Fn takeFromShell) {
  if (takeFromShell) takeFromShell(kButtonModifiers, static_cast<UINT>(code));
  if (RegisterHotKey(window, code, kButtonModifiers, static_cast<UINT>(code))) return true;
  if (GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED) return true;  // refused: not worth a retry
  // Held already, by this window or by someone else: only the window's own can be let go of.
  if (!UnregisterHotKey(window, code)) return false;
  RegisterHotKey(window, code, kButtonModifiers, static_cast<UINT>(code));
  return true;
}

void ReleaseButton(HWND window, int32_t code) {
  UnregisterHotKey(window, code);
}
