#include "ui/system_library.h"

namespace ui {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  if (!fileName || !*fileName) return nullptr;
  return LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace ui
