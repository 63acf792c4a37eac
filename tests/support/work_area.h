#pragma once
// Sets the work area for the length of a test and puts the old one back: the handheld's screen
// and a desktop's can be tried in one process on one virtual screen.
#include <windows.h>

namespace test_support {

class WorkArea {
 public:
  explicit WorkArea(const RECT& area) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &old_, 0);
    set_ = SystemParametersInfoW(SPI_SETWORKAREA, 0, const_cast<RECT*>(&area), 0) != 0;
  }
  ~WorkArea() {
    if (set_) SystemParametersInfoW(SPI_SETWORKAREA, 0, &old_, 0);
  }
  WorkArea(const WorkArea&) = delete;
  WorkArea& operator=(const WorkArea&) = delete;
  bool Set() const { return set_; }

 private:
  RECT old_ = {};
  bool set_ = false;
};

}  // namespace test_support
