#include "shell/velcore_library.h"

namespace {
HMODULE g_library = nullptr;
}

HMODULE VelcoreLibrary() {
  return g_library;
}

void SetVelcoreLibrary(HMODULE library) {
  g_library = library;
}
