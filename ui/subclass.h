#pragma once
// Replacing a window's procedure with an object's, and putting the replaced one back.
//
// comctl32's SetWindowSubclass would do most of this, but Wine's RemoveWindowSubclass, asked to
// remove the last subclass while another procedure sits over it, writes the original procedure
// back over that other one and cuts it off. Here removal is refused instead, and the subclass
// goes with the window at WM_NCDESTROY.
//
// T supplies
//   static constexpr const wchar_t* kSubclassProperty;  // names the window property of the link
//   LRESULT SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// which passes on what it does not consume with Subclass<T>::CallNext. WM_NCDESTROY never
// reaches it: the window's last message goes straight to the replaced procedure.
#include <windows.h>

#include <new>

namespace ui {

template <class T>
class Subclass {
 public:
  // Puts object's procedure over hwnd's; a window that has it already keeps it and gets the
  // new object (installing twice would make the procedure call itself). False for a missing
  // window or one of another process.
  static bool Install(HWND hwnd, T* object) {
    if (!hwnd || !IsWindow(hwnd) || !object) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId()) return false;
    if (Link* link = Find(hwnd)) {
      link->object = object;
      return true;
    }
    auto* link = new (std::nothrow) Link{nullptr, object};
    if (!link) return false;
    if (!SetPropW(hwnd, T::kSubclassProperty, link)) {
      delete link;
      return false;
    }
    link->next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
    if (!link->next) {
      RemovePropW(hwnd, T::kSubclassProperty);
      delete link;
      return false;
    }
    return true;
  }

  // Puts the replaced procedure back. With another procedure installed over this one, removing
  // it would cut that one off: the subclass stays and this returns false. True when hwnd no
  // longer has the subclass (or never had it).
  static bool Remove(HWND hwnd) {
    Link* link = Find(hwnd);
    if (!link) return true;
    if (!OnTop(hwnd)) return false;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->next));
    RemovePropW(hwnd, T::kSubclassProperty);
    delete link;
    return true;
  }

  static bool Installed(HWND hwnd) { return Find(hwnd) != nullptr; }

  // The procedure that was replaced; without the subclass, the default one.
  static LRESULT CallNext(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const Link* link = Find(hwnd);
    if (!link || !link->next) return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcW(link->next, hwnd, message, wParam, lParam);
  }

 private:
  struct Link {
    WNDPROC next;
    T* object;
  };

  static Link* Find(HWND hwnd) {
    return hwnd ? static_cast<Link*>(GetPropW(hwnd, T::kSubclassProperty)) : nullptr;
  }

  static bool OnTop(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Procedure);
  }

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Link* link = Find(hwnd);
    if (!link) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      // The link goes with the window, whether or not another procedure sits over this one.
      const WNDPROC next = link->next;
      if (OnTop(hwnd)) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
      RemovePropW(hwnd, T::kSubclassProperty);
      delete link;
      if (!next) return DefWindowProcW(hwnd, message, wParam, lParam);
      return CallWindowProcW(next, hwnd, message, wParam, lParam);
    }
    return link->object->SubclassProcedure(hwnd, message, wParam, lParam);
  }
};

}  // namespace ui
