// One of the programs of the tests where programs want the same button: a window of its own
// process registered as key target in WM_CREATE, before it is shown, as a game does. Its
// argument is the key map's path; it runs until its window is closed. Asked with kHoldsButton
// and a button's code, it answers 1 while it holds that button.
#include <windows.h>

#include "velcore/interface/velcore.h"

namespace {

constexpr wchar_t kPeerClass[] = L"TalvenorKeyTargetPeer";
constexpr UINT kHoldsButton = WM_APP + 1;
const wchar_t* keysPath = nullptr;
RegisterKeyTargetFn registerKeyTarget = nullptr;
UnregisterKeyTargetFn unregisterKeyTarget = nullptr;

LRESULT CALLBACK PeerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const KeyTargetInfo info = {sizeof info, hwnd, keysPath};
      registerKeyTarget(&info);
      return 0;
    }
    case kHoldsButton: {
      // Only a hot key of this window can be let go of here; it is put back at once.
      const int code = static_cast<int>(wParam);
      if (!UnregisterHotKey(hwnd, code)) return 0;
      RegisterHotKey(hwnd, code, MOD_WIN, static_cast<UINT>(code));
      return 1;
    }
    case WM_DESTROY:
      unregisterKeyTarget(0);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  keysPath = commandLine;
  HMODULE library = LoadLibraryW(kVelcoreLibraryName);
  if (!library) return 1;
  registerKeyTarget = reinterpret_cast<RegisterKeyTargetFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "RegisterKeyTarget")));
  unregisterKeyTarget = reinterpret_cast<UnregisterKeyTargetFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "UnregisterKeyTarget")));
  if (!registerKeyTarget || !unregisterKeyTarget) return 1;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &PeerProcedure;
  wc.hInstance = instance;
  wc.lpszClassName = kPeerClass;
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, kPeerClass, L"peer", WS_OVERLAPPEDWINDOW, 220, 10, 200, 150,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  FreeLibrary(library);
  return 0;
}
