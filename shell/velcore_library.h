#pragma once
// The game's one handle of velcore.dll and the lookup of its exports by name at each use.
#include <windows.h>

#include "pocketpc/coredll.h"

// Set at start-up once the library is loaded; null before and after.
HMODULE VelcoreLibrary();
void SetVelcoreLibrary(HMODULE library);

// The export `name` of the loaded library as a function of type Fn, or null when the library or
// the export is missing.
template <class Fn>
Fn FindVelcoreExport(const wchar_t* name) {
  FARPROC proc = GetProcAddressW(VelcoreLibrary(), name);
  // Through the generic function type, which converts to any other without a warning.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}
