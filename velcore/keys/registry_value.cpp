#include "velcore/keys/registry_value.h"

bool ReadRegistryInt(HKEY key, const wchar_t* name, int32_t& value) {
  BYTE data[4];
  DWORD size = sizeof data;
  // A longer value does not fit and is refused here; the size decides the rest.
  if (RegQueryValueExW(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS) return false;
  return ParseIntValue(data, size, value);
}

bool ReadRegistryText(HKEY key, const wchar_t* name, wchar_t (&text)[kNameLength]) {
  BYTE buffer[kNameLength * sizeof(wchar_t)];
  DWORD size = sizeof buffer;
  text[0] = L'\0';
  if (RegQueryValueExW(key, name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) return false;
  return ParseTextValue(buffer, size, text);
}
