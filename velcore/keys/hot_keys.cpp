#include "velcore/keys/hot_keys.h"

#include "pocketpc/coredll.h"
#include "ui/system_library.h"

namespace {

UnregisterFunc1Fn FindUnregisterFunc1() {
  // Never freed: on the handheld it is the core library, loaded in every process.
  HMODULE core = ui::LoadSystemLibrary(L"coredll.dll");
  if (!core) return nullptr;
  FARPROC function = GetProcAddressW(core, L"UnregisterFunc1");
  return reinterpret_cast<UnregisterFunc1Fn>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

UnregisterFunc1Fn LookUpUnregisterFunc1() {
  // The system folder does not change while the process runs: one look is enough.
  static const UnregisterFunc1Fn found = FindUnregisterFunc1();
  return found;
}

void GrabButton(HWND window, int32_t code, UnregisterFunc1Fn takeFromShell) {
  if (takeFromShell) takeFromShell(kButtonModifiers, static_cast<UINT>(code));
  RegisterHotKey(window, code, kButtonModifiers, static_cast<UINT>(code));
}

void ReleaseButton(HWND window, int32_t code) {
  UnregisterHotKey(window, code);
}
