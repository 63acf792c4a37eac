// Start-up: one copy at a time, never without the library, and the library released only after
// the last window message.
#include <windows.h>

#include "shell/main_frame.h"
#include "shell/res/resource.h"
#include "shell/velcore_library.h"
#include "velcore/interface/velcore.h"

namespace {
constexpr int kMessageLength = 256;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (HWND running = FindWindowW(MainFrame::kClassName, nullptr)) {
    SetForegroundWindow(running);
    return 0;
  }

  HMODULE library = LoadLibraryW(kVelcoreLibraryName);
  if (!library) {
    wchar_t text[kMessageLength] = {};
    LoadStringW(instance, IDS_MISSING_COMPONENTS, text, kMessageLength);
    MessageBoxW(nullptr, text, nullptr, MB_ICONHAND);
    return 1;
  }
  SetVelcoreLibrary(library);

  int exitCode = 1;
  {
    MainFrame frame;
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    if (frame.Create(instance, area)) {
      MSG msg = {};
      BOOL got;
      while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1 || frame.TranslateKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      exitCode = static_cast<int>(msg.wParam);
    }
    SetVelcoreLibrary(nullptr);
    FreeLibrary(library);
  }
  return exitCode;
}
