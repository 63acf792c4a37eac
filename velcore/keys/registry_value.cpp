#include "velcore/keys/registry_value.h"

#include <cwchar>

bool ReadRegistryInt(HKEY key, const wchar_t* name, int32_t& value) {
  DWORD data = 0;
  DWORD size = sizeof data;
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
          ERROR_SUCCESS ||
      size != sizeof data) {
    return false;
  }
  value = static_cast<int32_t>(data);
  return true;
}

bool ReadRegistryText(HKEY key, const wchar_t* name, wchar_t (&text)[kNameLength]) {
  wchar_t buffer[kNameLength];
  DWORD size = sizeof buffer;
  text[0] = L'\0';
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  // The data need not end with a terminator; the first one, if any, ends the text.
  const size_t length = wcsnlen(buffer, size / sizeof(wchar_t));
  if (length >= kNameLength) return false;
  wmemcpy(text, buffer, length);
  text[length] = L'\0';
  return true;
}
