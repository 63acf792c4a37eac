#include "pocketpc/screen.h"

#include <algorithm>

namespace pocketpc {

namespace {
constexpr LONG kHandheldLong = 640;
constexpr LONG kHandheldShort = 480;
}  // namespace

bool IsHandheldScreen(const RECT& workArea) {
  const LONG width = workArea.right - workArea.left;
  const LONG height = workArea.bottom - workArea.top;
  return std::max(width, height) <= kHandheldLong && std::min(width, height) <= kHandheldShort;
}

RECT WorkArea() {
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

}  // namespace pocketpc
