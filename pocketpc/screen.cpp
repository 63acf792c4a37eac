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

RECT KeepInside(RECT r, const RECT& area) {
  const LONG width = std::min(r.right - r.left, area.right - area.left);
  const LONG height = std::min(r.bottom - r.top, area.bottom - area.top);
  r.left = std::clamp(r.left, area.left, area.right - width);
  r.top = std::clamp(r.top, area.top, area.bottom - height);
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

}  // namespace pocketpc
