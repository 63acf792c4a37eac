#include "ui/system_library.h"

#include <cwchar>
#include <iterator>

namespace ui {

namespace {

// The libraries SystemFunction has loaded. Once loaded one stays: a sound still playing runs on
// in its library's own thread. Asking the loader by name instead could answer with a library of
// that name from another folder.
struct Loaded {
  wchar_t fileName[32];
  HMODULE module;
};
constexpr int kMostLoaded = 8;
Loaded g_loaded[kMostLoaded] = {};
int g_loadedCount = 0;
SRWLOCK g_loadedLock = SRWLOCK_INIT;

HMODULE LoadOnce(const wchar_t* fileName) {
  AcquireSRWLockExclusive(&g_loadedLock);
  HMODULE module = nullptr;
  int i = 0;
  while (i < g_loadedCount && lstrcmpiW(g_loaded[i].fileName, fileName) != 0) ++i;
  if (i < g_loadedCount) {
    module = g_loaded[i].module;
  } else {
    module = LoadSystemLibrary(fileName);
    // A name too long for the table, or a full table, is loaded again next time; the loader
    // counts the references, so nothing is lost but time.
    if (module && g_loadedCount < kMostLoaded &&
        std::wcslen(fileName) < std::size(g_loaded[0].fileName)) {
      Loaded& entry = g_loaded[g_loadedCount++];
      lstrcpynW(entry.fileName, fileName, std::size(entry.fileName));
      entry.module = module;
    }
  }
  ReleaseSRWLockExclusive(&g_loadedLock);
  return module;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  if (!fileName || !*fileName) return nullptr;
  return LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

FARPROC SystemFunction(const wchar_t* fileName, const char* function) {
  if (!fileName || !*fileName || !function) return nullptr;
  const HMODULE library = LoadOnce(fileName);
  return library ? GetProcAddress(library, function) : nullptr;
}

}  // namespace ui
