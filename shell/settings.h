#pragma once
// The player's three options in the registry.
#include <cstdint>

#include "shell/registry_paths.h"

constexpr uint32_t kLevelCount = 10;  // stored 0-9, shown 1-10

struct Settings {
  uint32_t InitialLevel = 0;
  uint32_t ShowPreview : 1 = 1;  // bit 0
  uint32_t PlaySound : 1 = 1;    // bit 1
};

// Reads the stored options over `settings` (HKEY_CURRENT_USER\path). A missing key or value, a
// level of 10 or more and a value that is not exactly four bytes leave the field as it was.
void ReadSettings(Settings& settings, const wchar_t* path = kOptionsPath);

// Stores all three options as REG_DWORD; the switches as 1 or 0. Failures are silent.
void WriteSettings(const Settings& settings, const wchar_t* path = kOptionsPath);
