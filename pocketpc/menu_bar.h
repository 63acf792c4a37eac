#pragma once
#include <windows.h>

#include <span>

#include "ui/window.h"

namespace pocketpc {

// The window that SHCreateMenuBar returns: a strip at the bottom of its parent that holds a
// toolbar built from a menu-bar resource. The object belongs to its window and goes with it.
class MenuBar : public ui::Window<MenuBar> {
 public:
  static constexpr const wchar_t* kClassName = L"menu_worker";
  static std::span<const ui::MessageEntry<MenuBar>> Messages();

  // The bar's window, or nullptr when the resource is missing or malformed.
  static HWND Create(HWND parent, HINSTANCE instance, UINT resourceId);
  // The bar behind hwnd, or nullptr when hwnd is not a menu bar.
  static MenuBar* From(HWND hwnd);

  int AddBitmap(HINSTANCE instance, int bitmapId, int count, int width, int height);
  // Lays the bar along its parent's bottom again, as wide as the parent is now.
  void Dock();
  // Opens a drop-down button's menu as a click on it does.
  void OpenDropDown(int command);

 private:
  friend class ui::Window<MenuBar>;
  MenuBar() = default;
  ~MenuBar();

  bool Build(UINT resourceId);

  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  void OnFinalMessage();
  // The handheld's menu bar answers the toolbar messages of its buttons itself (checking one
  // and asking for its state).
  template <UINT Message>
  LRESULT Forward(WPARAM wParam, LPARAM lParam) {
    return SendMessageW(toolbar_, Message, wParam, lParam);
  }

  HINSTANCE instance_ = nullptr;
  HMENU menu_ = nullptr;
  HWND toolbar_ = nullptr;
  int imageCount_ = 0;
  // The images stretched for a finer screen than 96 dots per inch, kept while the toolbar lives.
  static constexpr int kMaxScaledBitmaps = 4;
  HBITMAP scaled_[kMaxScaledBitmaps] = {};
  int scaledCount_ = 0;
  bool ownedByWindow_ = false;
};

}  // namespace pocketpc
