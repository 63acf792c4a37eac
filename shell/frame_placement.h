#pragma once
// Where the frame stands: over the whole work area on a screen of handheld size, elsewhere as a
// desktop window of the handheld's proportions that remembers its place between runs.
#include <windows.h>

#include <optional>

#include "pocketpc/screen.h"

constexpr DWORD kFrameExStyle = WS_EX_WINDOWEDGE;
constexpr DWORD kHandheldFrameStyle = WS_VISIBLE;
// Shown once placed, so the player never sees it jump.
constexpr DWORD kDesktopFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
DWORD FrameStyle(const RECT& workArea);

// The smallest client a desktop frame may be sized to: the handheld's screen.
constexpr SIZE kMinimumClient = {240, 320};

// The window rectangle whose client area is `client` for a desktop frame.
RECT DesktopWindowRect(const RECT& client);
// The smallest window a desktop frame may be: kMinimumClient with the caption and borders.
SIZE MinimumWindowSize();

// The first start's window: a 3 : 4 portrait client 85% of the work area's height (less when the
// work area is too narrow for that), centred in it.
RECT FirstStartRect(const RECT& workArea);

// The normal (restored) window rectangle in screen coordinates and whether it was maximised.
struct FramePlacement {
  RECT normal;
  bool maximised;
};

// The stored placement, or nothing when the value is missing, of the wrong type or size, or
// lies on no monitor. A rectangle partly off its monitor's work area is moved inside; one larger
// than it gets the first start's rectangle there, rather than being squashed.
std::optional<FramePlacement> ReadPlacement(const wchar_t* path);

// How far the platform's placement rectangles stand from screen coordinates: the work area's
// origin on Windows, nothing under Wine. Measured on a window in its normal state (as created).
POINT PlacementShift(HWND window);
// Stores the window's normal rectangle, in screen coordinates, and its maximised state; shift is
// what PlacementShift measured. Nothing else in the key changes.
void WritePlacement(HWND frame, const wchar_t* path, POINT shift);

// The value's name under the options key.
constexpr wchar_t kPlacementValue[] = L"WindowPlacement";
