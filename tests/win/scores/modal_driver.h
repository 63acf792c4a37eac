#pragma once
// Plays a script against the modal dialogs that a call opens. A thread timer fires inside the
// dialogs' own message loops; each tick runs the next step with the newest dialog still shown.
// A hook counts every window the call creates.
#include <windows.h>

#include <functional>
#include <vector>

class ModalDriver {
 public:
  using Step = std::function<void(HWND dialog)>;

  explicit ModalDriver(std::vector<Step> steps) : steps_(std::move(steps)) {}
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  template <class Call>
  auto Run(Call call) {
    Start();
    auto result = call();
    Stop();
    return result;
  }

  int WindowsCreated() const { return windowsCreated_; }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  void Start();
  void Stop();
  HWND NewestDialog() const;
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

// Closes a dialog the way the title bar's OK does.
inline void CloseWithOk(HWND dialog) {
  SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}
