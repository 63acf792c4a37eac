#include "pocketpc/coredll.h"

#include <random>

uint32_t Random() {
  static std::mt19937 generator = [] {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    std::seed_seq seed{
        static_cast<uint32_t>(counter.LowPart), static_cast<uint32_t>(counter.HighPart),
        static_cast<uint32_t>(GetCurrentProcessId()), static_cast<uint32_t>(GetTickCount())};
    return std::mt19937(seed);
  }();
  return static_cast<uint32_t>(generator());
}

FARPROC GetProcAddressW(HMODULE module, const wchar_t* name) {
  if (!module || !name) return nullptr;
  char narrow[256];
  size_t i = 0;
  for (; name[i] != L'\0'; ++i) {
    if (i + 1 >= sizeof narrow || name[i] > 0x7F) return nullptr;
    narrow[i] = static_cast<char>(name[i]);
  }
  narrow[i] = '\0';
  return GetProcAddress(module, narrow);
}
