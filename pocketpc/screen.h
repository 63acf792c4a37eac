#pragma once
// Whether the screen is one of the handheld's size, where the handheld's ways hold (full-screen
// frame and dialogs); elsewhere the desktop's own do.
#include <windows.h>

namespace pocketpc {

// The largest handheld screens were VGA, 480 x 640, held either way up. A work area within that
// is the handheld's: a caption and borders would take a sixth of it.
bool IsHandheldScreen(const RECT& workArea);

// The primary screen's work area.
RECT WorkArea();

// r shrunk to fit inside area where it is larger, and moved in where it sticks out.
RECT KeepInside(RECT r, const RECT& area);

}  // namespace pocketpc
