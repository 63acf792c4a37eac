#pragma once
// Small helpers that Windows tests share: running the thread's messages while a test waits, and
// finding a window that some other loop (a modal dialog, a popup menu) has put up.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace test_support {

// Runs the thread's messages until done() holds or ms have passed; returns done().
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
    Sleep(5);
  }
  return true;
}

// Runs the thread's messages for ms.
inline void Pump(DWORD ms) {
  PumpUntil(ms, [] { return false; });
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

}  // namespace test_support
