#pragma once
// Small helpers that Windows tests share: running the thread's messages while a test waits,
// finding a window that some other loop (a modal dialog, a popup menu) has put up, and reading
// and closing dialogs.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// Runs the thread's messages until done() holds or ms have passed; returns done(). Between
// checks it sleeps until a message comes, or 15 ms for what other processes do (the pace the
// soak's random play was tuned at).
template <class Done>
bool PumpUntil(DWORD ms, Done done) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start >= ms) return false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 15, QS_ALLINPUT);
  }
  return true;
}

// Runs the thread's messages for ms: for tests whose subject is what happens in that time.
inline void Pump(DWORD ms) {
  PumpUntil(ms, [] { return false; });
}

// Brings the window to the front and waits until it is there; false when it never got there.
// Asked again while it is not: Wine may hand the front elsewhere once more when the X server's
// late focus events for new windows arrive.
inline bool BringToFront(HWND window, DWORD ms = 3000) {
  return PumpUntil(ms, [&] {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    return false;
  });
}

// A window's text, asked of the window itself (an edit control keeps its text apart from the
// window's name) and never waiting long on another process.
inline std::wstring WindowText(HWND hwnd) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                      &copied);
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Closes a dialog the way its user would: a message box with its OK, the handheld dialogs with
// the title bar's OK. Sent in this thread, so that a script's next step sees it done; posted to
// another thread's window, which might be busy.
inline void CloseWithOk(HWND dialog) {
  const bool messageBox = GetDlgItem(dialog, 0xFFFF) && GetDlgItem(dialog, IDOK);
  const UINT message = messageBox ? WM_COMMAND : WM_SYSCOMMAND;
  const WPARAM wParam = messageBox ? IDOK : SC_CLOSE;
  if (GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId()) {
    SendMessageW(dialog, message, wParam, 0);
  } else {
    PostMessageW(dialog, message, wParam, 0);
  }
}

// The screen's dots per inch, and the resolution the run is meant to have: TALVENOR_EXPECT_DPI,
// set by at_dpi.sh for a prefix of its own, or 0 when the run names none.
struct ScreenDpi {
  int actual = 96;
  int expected = 0;
};
inline ScreenDpi ScreenResolution() {
  ScreenDpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi.actual = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  wchar_t wanted[8] = {};
  if (GetEnvironmentVariableW(L"TALVENOR_EXPECT_DPI", wanted, 8)) dpi.expected = _wtoi(wanted);
  return dpi;
}

// A key pressed and released on a window as the keyboard would send it, posted so that it comes
// through whichever loop runs the window's thread (a modal dialog's own included).
inline void PostKeyPress(HWND window, UINT key) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(window, WM_KEYDOWN, key, scan | 1);
  PostMessageW(window, WM_KEYUP, key, scan | 0xC0000001);
}

// The first visible top-level window of the class in a process (this one unless named):
// "#32770" for dialogs and message boxes, "#32768" for popup menus; null when there is none.
struct WindowSearch {
  const wchar_t* className;
  DWORD process;
  const wchar_t* caption;  // any caption when null
  HWND found;
};

inline BOOL CALLBACK MatchVisibleWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (process != search->process || lstrcmpW(name, search->className) != 0 ||
      !IsWindowVisible(hwnd)) {
    return TRUE;
  }
  if (search->caption) {
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd, caption, 256);
    if (lstrcmpW(caption, search->caption) != 0) return TRUE;
  }
  search->found = hwnd;
  return FALSE;
}

inline HWND FindVisibleWindow(const wchar_t* className, DWORD process = GetCurrentProcessId(),
                              const wchar_t* caption = nullptr) {
  WindowSearch search = {className, process, caption, nullptr};
  EnumWindows(&MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The toolbar of a frame's menu bar (its "menu_worker" child), or null.
inline HWND MenuBarToolbar(HWND frame) {
  return FindWindowExW(FindWindowExW(frame, nullptr, L"menu_worker", nullptr), nullptr,
                       TOOLBARCLASSNAMEW, nullptr);
}

// The folder of this program, ending in a backslash: where the build puts the deliverables, the
// tests and their stand-ins.
inline std::wstring BinFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring file = path;
  return file.substr(0, file.find_last_of(L"\\/") + 1);
}

// The direct children of parent whose class is className (case ignored), in z-order.
inline std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (lstrcmpiW(name, className) == 0) children.push_back(child);
  }
  return children;
}

// The text of one cell of a report-mode list view.
inline std::wstring ListViewText(HWND list, int row, int column) {
  wchar_t text[300] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 300;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

inline int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// One column of a report-mode list view, top to bottom.
inline std::vector<std::wstring> ColumnCells(HWND list, int column) {
  std::vector<std::wstring> cells;
  for (int row = 0; row < RowCount(list); ++row) cells.push_back(ListViewText(list, row, column));
  return cells;
}

// The first row whose cell in column reads text, or -1.
inline int RowWith(HWND list, int column, const std::wstring& text) {
  for (int row = 0; row < RowCount(list); ++row) {
    if (ListViewText(list, row, column) == text) return row;
  }
  return -1;
}

// Points HKEY_CURRENT_USER at another key for this process while it lives, so that what a
// call would do at the root of the user's tree lands in a scratch key instead.
class RootOverride {
 public:
  explicit RootOverride(const wchar_t* path) {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) return;
    active_ = RegOverridePredefKey(HKEY_CURRENT_USER, key_) == ERROR_SUCCESS;
  }
  ~RootOverride() {
    if (active_) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (key_) RegCloseKey(key_);
  }
  bool Active() const { return active_; }

 private:
  HKEY key_ = nullptr;
  bool active_ = false;
};

// The slot in module's import table through which it calls the function `name`, or null. A test
// that puts a recorder into it sees every call the module makes, while the module's code stays
// as it is; the recorder passes each call on.
inline void** ImportSlot(HMODULE module, const char* name) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return nullptr;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
       ++d) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

// Puts `replacement` into an import slot for the life of the object and gives the old one back.
class ImportSwap {
 public:
  ImportSwap(HMODULE module, const char* name, void* replacement)
      : slot_(ImportSlot(module, name)) {
    if (slot_) original_ = Write(replacement);
  }
  ~ImportSwap() {
    if (slot_) Write(original_);
  }
  ImportSwap(const ImportSwap&) = delete;
  ImportSwap& operator=(const ImportSwap&) = delete;
  bool Installed() const { return slot_ != nullptr; }
  void* Original() const { return original_; }

 private:
  void* Write(void* value) {
    DWORD old = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
    void* before = *slot_;
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
    return before;
  }
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

// For the life of the object, GetProcAddress as `module` calls it finds none of `names`, as on a
// system without those functions; everything else it finds as before. One object at a time.
class HiddenFunctions {
 public:
  HiddenFunctions(HMODULE module, std::vector<std::string> names)
      : names_(std::move(names)), swap_(module, "GetProcAddress", reinterpret_cast<void*>(&Find)) {
    current_ = this;
  }
  ~HiddenFunctions() { current_ = nullptr; }
  HiddenFunctions(const HiddenFunctions&) = delete;
  HiddenFunctions& operator=(const HiddenFunctions&) = delete;
  bool Installed() const { return swap_.Installed(); }
  // How often a hidden name was asked for.
  int Refused() const { return refused_; }

 private:
  static FARPROC WINAPI Find(HMODULE module, LPCSTR name) {
    HiddenFunctions* self = current_;
    if (self && !IS_INTRESOURCE(name)) {
      for (const std::string& hidden : self->names_) {
        if (hidden == name) {
          ++self->refused_;
          return nullptr;
        }
      }
    }
    using Real = FARPROC(WINAPI*)(HMODULE, LPCSTR);
    return reinterpret_cast<Real>(self->swap_.Original())(module, name);
  }

  static inline HiddenFunctions* current_ = nullptr;
  std::vector<std::string> names_;
  int refused_ = 0;
  ImportSwap swap_;
};

}  // namespace test_support
