// Start-up: one copy at a time, never without the library, and the library released only after
// the last window message.
#include <windows.h>

#include <string>

#include "pocketpc/screen.h"
#include "shell/main_frame.h"
#include "shell/res/resource.h"
#include "shell/velcore_library.h"
#include "velcore/interface/velcore.h"

namespace {

constexpr int kMessageLength = 256;
// Held by the copy that runs until its process ends; its name is the game's across the session.
constexpr wchar_t kRunningCopyName[] = L"Local\\Velmora.Gravlin.RunningCopy";
// How long a second copy waits for the first one's window while that is still being created.
constexpr DWORD kFindRunningCopyMs = 5000;
constexpr DWORD kFindRunningCopyStepMs = 50;

// Libraries are looked for in the program's folder and the system folder only: a file of the
// same name in the working directory or on PATH is someone else's.
void RestrictLibrarySearch() {
  using SetDefaultFn = BOOL(WINAPI*)(DWORD);
  // Not in every system the game runs on, so looked up rather than imported.
  const auto setDefault = reinterpret_cast<SetDefaultFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
    SetDllDirectoryW(L"");  // at least not the working directory
  }
}

// The library beside the program, by its full name, so that no search can supply another one.
HMODULE LoadVelcore() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return nullptr;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return nullptr;
    path.resize(path.size() * 2);
  }
  const size_t folder = path.find_last_of(L'\\');
  if (folder == std::wstring::npos) return nullptr;
  path.replace(folder + 1, std::wstring::npos, kVelcoreLibraryName);
  return LoadLibraryW(path.c_str());
}

// Decides which copy runs. Returns true for the one that does; the other has brought the
// running copy's window to the front (restored when minimised) and should end.
bool TakeRunningCopy(HANDLE& held) {
  held = CreateMutexW(nullptr, TRUE, kRunningCopyName);
  if (!held) return true;  // nothing to decide with: run rather than refuse
  if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
  // The first copy may not have created its window yet, or may be ending: wait for either.
  for (DWORD waited = 0; waited < kFindRunningCopyMs; waited += kFindRunningCopyStepMs) {
    if (HWND running = FindWindowW(MainFrame::kClassName, nullptr)) {
      // Nothing here waits for the running copy, which may not be answering: the restore is
      // posted, and the front is handed over without a call into it.
      if (IsIconic(running)) ShowWindowAsync(running, SW_RESTORE);
      // A dialog open over it holds the frame disabled; the dialog is what the player wants.
      HWND popup = GetLastActivePopup(running);
      SetForegroundWindow(popup ? popup : running);
      return false;
    }
    const DWORD taken = WaitForSingleObject(held, kFindRunningCopyStepMs);
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) return true;
  }
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictLibrarySearch();
  HANDLE runningCopy = nullptr;
  if (!TakeRunningCopy(runningCopy)) {
    CloseHandle(runningCopy);
    return 0;
  }

  HMODULE library = LoadVelcore();
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
    if (frame.Create(instance, pocketpc::WorkArea())) {
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
  // The running copy's mark goes with the process.
  return exitCode;
}
