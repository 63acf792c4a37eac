#include "tests/support/modal_driver.h"

#include <gtest/gtest.h>

#include "tests/support/win_support.h"

namespace test_support {

namespace {

ModalDriver* g_current = nullptr;
constexpr UINT kTickMs = 20;
constexpr int kMaxIdleTicks = 250;  // five seconds with nothing to do and a dialog open

}  // namespace

void ModalDriver::Start() {
  g_current = this;
  hook_ = SetWindowsHookExW(WH_CBT, &ModalDriver::CbtHook, nullptr, GetCurrentThreadId());
  timer_ = SetTimer(nullptr, 0, kTickMs, &ModalDriver::OnTick);
  EXPECT_NE(hook_, nullptr);
  EXPECT_NE(timer_, 0u);
}

void ModalDriver::Stop() {
  if (timer_) KillTimer(nullptr, timer_);
  if (hook_) UnhookWindowsHookEx(hook_);
  timer_ = 0;
  hook_ = nullptr;
  g_current = nullptr;
  if (dialogs_.empty()) {
    EXPECT_TRUE(Finished()) << "no dialog showed; " << steps_.size() << " steps never ran";
  } else {
    EXPECT_TRUE(Finished()) << "the dialog closed after " << next_ << " of " << steps_.size()
                            << " steps";
  }
}

HWND ModalDriver::NewestDialog(bool& hidden) const {
  // A modal dialog is shown only once its loop first finds the queue empty, and a tick can come
  // before that: wait for it rather than play the step against the dialog below.
  hidden = false;
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
    if (!IsWindow(*it)) continue;
    if (IsWindowVisible(*it)) return *it;
    hidden = true;
    return *it;
  }
  return nullptr;
}

LRESULT CALLBACK ModalDriver::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_current) {
    ++g_current->windowsCreated_;
    auto hwnd = reinterpret_cast<HWND>(wParam);
    if (ClassOf(hwnd) == L"#32770") g_current->dialogs_.push_back(hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ModalDriver::OnTick(HWND, UINT, UINT_PTR, DWORD) {
  ModalDriver* self = g_current;
  if (!self) return;
  bool hidden = false;
  HWND dialog = self->NewestDialog(hidden);
  if (!dialog) return;
  if (!hidden && self->next_ < self->steps_.size()) {
    // Advance first: a step that opens a nested dialog returns only when that one closes, and
    // the following steps run meanwhile from the nested loop.
    const size_t step = self->next_++;
    self->idleTicks_ = 0;
    self->steps_[step](dialog);
  } else if (++self->idleTicks_ > kMaxIdleTicks) {
    self->idleTicks_ = 0;
    if (hidden) {
      ADD_FAILURE() << "a dialog was created but never shown; closing it";
    } else {
      ADD_FAILURE() << "the script ended after " << self->steps_.size()
                    << " steps but a dialog stays open; closing it";
    }
    CloseWithOk(dialog);
  }
}

}  // namespace test_support
