#include "shell/settings.h"

#include <windows.h>

namespace {

// Reads a value into a number; the type is not looked at, but anything other than four bytes
// counts as unreadable: a shorter value would leave part of the number undefined.
bool QueryNumber(HKEY key, const wchar_t* name, uint32_t& value) {
  BYTE data[4] = {};
  DWORD size = sizeof data;
  if (RegQueryValueExW(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS ||
      size != sizeof data) {
    return false;
  }
  value = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
  return true;
}

void SetNumber(HKEY key, const wchar_t* name, uint32_t value) {
  const DWORD data = value;
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

}  // namespace

void ReadSettings(Settings& settings, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  uint32_t value = 0;
  if (QueryNumber(key, L"InitialLevel", value) && value < kLevelCount) {
    settings.InitialLevel = value;
  }
  if (QueryNumber(key, L"ShowPreview", value)) settings.ShowPreview = value != 0;
  if (QueryNumber(key, L"PlaySound", value)) settings.PlaySound = value != 0;
  RegCloseKey(key);
}

void WriteSettings(const Settings& settings, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  SetNumber(key, L"InitialLevel", settings.InitialLevel);
  SetNumber(key, L"ShowPreview", settings.ShowPreview ? 1 : 0);
  SetNumber(key, L"PlaySound", settings.PlaySound ? 1 : 0);
  RegCloseKey(key);
}
