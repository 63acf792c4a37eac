#pragma once
// Window and dialog plumbing shared by the game and the library: the object behind a window is
// carried from the creation parameter into the window's user data, and a static procedure
// dispatches through the class's own tables of messages, command ids and notifications.
#include <windows.h>

#include <span>

namespace ui {

template <class T>
struct MessageEntry {
  UINT message;
  LRESULT (T::*handler)(WPARAM wParam, LPARAM lParam);
};

template <class T>
struct CommandEntry {
  WORD id;
  void (T::*handler)(WORD notifyCode, HWND control);
};

template <class T>
struct NotifyEntry {
  UINT_PTR controlId;
  UINT code;
  LRESULT (T::*handler)(NMHDR* header);
};

// Looks a message up in T's tables. T may declare any of
//   static std::span<const MessageEntry<T>> Messages();
//   static std::span<const CommandEntry<T>> Commands();
//   static std::span<const NotifyEntry<T>> Notifications();
// Commands and notifications that no table names fall through to the message table.
template <class T>
bool Dispatch(T* self, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if constexpr (requires { T::Commands(); }) {
    if (message == WM_COMMAND) {
      for (const auto& e : T::Commands()) {
        if (e.id == LOWORD(wParam)) {
          (self->*e.handler)(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
          result = 0;
          return true;
        }
      }
    }
  }
  if constexpr (requires { T::Notifications(); }) {
    if (message == WM_NOTIFY && lParam != 0) {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      for (const auto& e : T::Notifications()) {
        if (e.controlId == header->idFrom && e.code == header->code) {
          result = (self->*e.handler)(header);
          return true;
        }
      }
    }
  }
  if constexpr (requires { T::Messages(); }) {
    for (const auto& e : T::Messages()) {
      if (e.message == message) {
        result = (self->*e.handler)(wParam, lParam);
        return true;
      }
    }
  }
  return false;
}

// Base of every window class. T supplies
//   static constexpr const wchar_t* kClassName;
//   static void FillClass(WNDCLASSW& wc);   // optional: styles, brush, icon, cursor
//   void OnFinalMessage();                  // optional: runs once WM_NCDESTROY is handled and
//                                           // the object is detached from its window
// and its tables. The class is registered when its first window is created. Window<T> must be
// able to reach them: a private one is simply not found unless T befriends Window<T>.
template <class T>
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Hwnd() const { return hwnd_; }

  HWND Create(DWORD exStyle, const wchar_t* title, DWORD style, const RECT& rect, HWND parent,
              HMENU menuOrId, HINSTANCE instance) {
    if (!Register(instance)) return nullptr;
    return CreateWindowExW(exStyle, T::kClassName, title, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId,
                           instance, static_cast<T*>(this));
  }

  static bool Register(HINSTANCE instance) {
    WNDCLASSW existing;
    if (GetClassInfoW(instance, T::kClassName, &existing)) return true;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.lpszClassName = T::kClassName;
    if constexpr (requires { T::FillClass(wc); }) T::FillClass(wc);
    return RegisterClassW(&wc) != 0;
  }

 protected:
  ~Window() = default;
  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    T* self;
    if (message == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      self = static_cast<T*>(cs->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      if (self) self->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (!Dispatch(self, message, wParam, lParam, result)) {
      result = DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
      // The object may outlive its window (or be reused for a new one).
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      // Nothing touches the object after this: it may delete itself here.
      if constexpr (requires { self->OnFinalMessage(); }) self->OnFinalMessage();
    }
    return result;
  }
};

// Base of every modal dialog: an object that lives for one run of a resource template.
// Message handlers return what the dialog procedure returns (TRUE when handled; a message that
// needs a result of its own sets it with SetResult). Notification handlers return the
// notification's result, which is stored as the dialog's message result.
template <class T>
class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND Hwnd() const { return hwnd_; }

  // Runs the dialog; returns its EndDialog result, or -1 when it could not be created.
  INT_PTR Run(HINSTANCE instance, int templateId, HWND owner) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &Dialog::Procedure,
                           reinterpret_cast<LPARAM>(static_cast<T*>(this)));
  }

 protected:
  ~Dialog() = default;
  HWND hwnd_ = nullptr;

  void SetResult(LRESULT result) { SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result); }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    T* self;
    if (message == WM_INITDIALOG) {
      self = reinterpret_cast<T*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      if (self) self->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    LRESULT result = 0;
    bool handled = Dispatch(self, message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      self->hwnd_ = nullptr;
    }
    if (!handled) return FALSE;
    if (message == WM_COMMAND) return TRUE;
    if (message == WM_NOTIFY) {
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    return static_cast<INT_PTR>(result);
  }
};

}  // namespace ui
