#pragma once
// The one way the game and the library load a library that belongs to the system: from the
// system folder only, so a file of the same name in the working directory or on PATH is never
// taken for it.
#include <windows.h>

namespace ui {

// `fileName` from the system folder; null when it is not there (or is no library).
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// `function` of the system library `fileName`, loaded the first time something asks and then
// kept for the life of the process: what start-up does not need stays out of it. Null when the
// library or the function is missing; callers then do without, quietly.
FARPROC SystemFunction(const wchar_t* fileName, const char* function);

// The same, as the caller's function pointer type.
template <class Function>
Function SystemFunctionAs(const wchar_t* fileName, const char* function) {
  // Through the type GCC accepts for any function, since FARPROC's own signature is a fiction.
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(SystemFunction(fileName, function)));
}

}  // namespace ui
