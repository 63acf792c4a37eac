#include "shell/frame_placement.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ui/registry.h"

namespace {

constexpr int kHeightPercent = 85;
// Beyond any screen: such edges are damage, and their differences would overflow.
constexpr int32_t kFarthestEdge = 1 << 20;

// Stored as REG_BINARY: the normal rectangle's four edges and a maximised flag, 32 bits each.
struct StoredPlacement {
  int32_t left, top, right, bottom;
  uint32_t maximised;
};
static_assert(sizeof(StoredPlacement) == 20);

LONG Width(const RECT& r) {
  return r.right - r.left;
}
LONG Height(const RECT& r) {
  return r.bottom - r.top;
}

}  // namespace

DWORD FrameStyle(const RECT& workArea) {
  return pocketpc::IsHandheldScreen(workArea) ? kHandheldFrameStyle : kDesktopFrameStyle;
}

RECT DesktopWindowRect(const RECT& client) {
  RECT r = client;
  AdjustWindowRectEx(&r, kDesktopFrameStyle, FALSE, kFrameExStyle);
  return r;
}

SIZE MinimumWindowSize() {
  const RECT smallest = DesktopWindowRect(RECT{0, 0, kMinimumClient.cx, kMinimumClient.cy});
  return SIZE{Width(smallest), Height(smallest)};
}

RECT FirstStartRect(const RECT& workArea) {
  // What the caption and borders add to a client area.
  const RECT border = DesktopWindowRect(RECT{0, 0, 0, 0});
  const LONG extraWidth = Width(border);
  const LONG extraHeight = Height(border);
  LONG clientHeight = Height(workArea) * kHeightPercent / 100;
  LONG clientWidth = clientHeight * 3 / 4;
  const LONG roomWidth = Width(workArea) * kHeightPercent / 100 - extraWidth;
  if (clientWidth > roomWidth) {
    clientWidth = roomWidth;
    clientHeight = clientWidth * 4 / 3;
  }
  clientWidth = std::max(clientWidth, kMinimumClient.cx);
  clientHeight = std::max(clientHeight, kMinimumClient.cy);
  const LONG width = clientWidth + extraWidth;
  const LONG height = clientHeight + extraHeight;
  const LONG left = workArea.left + (Width(workArea) - width) / 2;
  const LONG top = workArea.top + (Height(workArea) - height) / 2;
  return RECT{left, top, left + width, top + height};
}

std::optional<FramePlacement> ReadPlacement(const wchar_t* path) {
  const ui::RegistryKey key =
      ui::RegistryKey::Open(HKEY_CURRENT_USER, path, ui::RegistryAccess::kRead);
  if (!key) return std::nullopt;
  BYTE data[sizeof(StoredPlacement)] = {};
  if (!key.ReadBinary(kPlacementValue, data, REG_BINARY)) return std::nullopt;
  StoredPlacement stored;
  std::memcpy(&stored, data, sizeof stored);
  for (int32_t edge : {stored.left, stored.top, stored.right, stored.bottom}) {
    if (edge < -kFarthestEdge || edge > kFarthestEdge) return std::nullopt;
  }
  RECT normal = {stored.left, stored.top, stored.right, stored.bottom};
  if (Width(normal) <= 0 || Height(normal) <= 0) return std::nullopt;
  HMONITOR monitor = MonitorFromRect(&normal, MONITOR_DEFAULTTONULL);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
  const SIZE smallest = MinimumWindowSize();
  normal.right = std::max(normal.right, normal.left + smallest.cx);
  normal.bottom = std::max(normal.bottom, normal.top + smallest.cy);
  const bool maximised = stored.maximised != 0;
  if (Width(normal) > Width(info.rcWork) || Height(normal) > Height(info.rcWork)) {
    return FramePlacement{FirstStartRect(info.rcWork), maximised};
  }
  return FramePlacement{pocketpc::KeepInside(normal, info.rcWork), maximised};
}

POINT PlacementShift(HWND window) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  RECT r = {};
  if (!GetWindowPlacement(window, &placement) || !GetWindowRect(window, &r)) return POINT{};
  return POINT{r.left - placement.rcNormalPosition.left, r.top - placement.rcNormalPosition.top};
}

void WritePlacement(HWND frame, const wchar_t* path, POINT shift) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(frame, &placement)) return;
  RECT r = placement.rcNormalPosition;
  OffsetRect(&r, shift.x, shift.y);
  const bool maximised =
      placement.showCmd == SW_SHOWMAXIMIZED ||
      (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
  // A window in its normal state is where it stands: no shift to trust.
  if (!IsIconic(frame) && !IsZoomed(frame)) GetWindowRect(frame, &r);
  const StoredPlacement stored = {r.left, r.top, r.right, r.bottom, maximised ? 1u : 0u};
  const ui::RegistryKey key =
      ui::RegistryKey::Create(HKEY_CURRENT_USER, path, ui::RegistryAccess::kWrite);
  if (!key) return;
  BYTE data[sizeof stored];
  std::memcpy(data, &stored, sizeof stored);
  key.WriteBinary(kPlacementValue, data);
}
