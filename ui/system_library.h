#pragma once
// The one way the game and the library load a library that belongs to the system: from the
// system folder only, so a file of the same name in the working directory or on PATH is never
// taken for it.
#include <windows.h>

namespace ui {

// `fileName` from the system folder; null when it is not there (or is no library).
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace ui
