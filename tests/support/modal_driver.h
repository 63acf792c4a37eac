#pragma once
// Plays a script against the modal dialogs and message boxes that a call opens in this thread.
// A thread timer fires inside the dialogs' own message loops; each tick runs the next step with
// the newest dialog shown. A hook counts every window the call creates. A script that ends with
// a dialog still open, or a dialog that never shows, fails the test and does not hang it.
#include <windows.h>

#include <functional>
#include <type_traits>
#include <vector>

namespace test_support {

class ModalDriver {
 public:
  using Step = std::function<void(HWND dialog)>;

  explicit ModalDriver(std::vector<Step> steps) : steps_(std::move(steps)) {}
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  // Runs call() with the script playing; returns what call() returns.
  template <class Call>
  auto Run(Call call) {
    Start();
    if constexpr (std::is_void_v<decltype(call())>) {
      call();
      Stop();
    } else {
      auto result = call();
      Stop();
      return result;
    }
  }

  int WindowsCreated() const { return windowsCreated_; }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  void Start();
  void Stop();
  HWND NewestDialog(bool& hidden) const;
  static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);

  std::vector<Step> steps_;
  size_t next_ = 0;
  int idleTicks_ = 0;
  int windowsCreated_ = 0;
  std::vector<HWND> dialogs_;
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
};

}  // namespace test_support
