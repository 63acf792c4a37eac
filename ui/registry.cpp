#include "ui/registry.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "ui/registry_data.h"

namespace ui {

namespace {

bool TypeFits(DWORD stored, DWORD wanted) {
  return wanted == RegistryKey::kAnyType || stored == wanted;
}

int g_callsLeft = -1;

// Whether the next registry call may go ahead.
bool MayCall() {
  if (g_callsLeft < 0) return true;
  if (g_callsLeft == 0) return false;
  --g_callsLeft;
  return true;
}

}  // namespace

void StopRegistryCallsAfter(int calls) {
  g_callsLeft = calls < 0 ? -1 : calls;
}

RegistryKey RegistryKey::Open(HKEY root, const wchar_t* path, RegistryAccess access) {
  HKEY key = nullptr;
  if (!MayCall() ||
      RegOpenKeyExW(root, path, 0, static_cast<REGSAM>(access), &key) != ERROR_SUCCESS) {
    return RegistryKey();
  }
  return RegistryKey(key);
}

RegistryKey RegistryKey::Create(HKEY root, const wchar_t* path, RegistryAccess access) {
  HKEY key = nullptr;
  if (!MayCall() || RegCreateKeyExW(root, path, 0, nullptr, 0, static_cast<REGSAM>(access), nullptr,
                                    &key, nullptr) != ERROR_SUCCESS) {
    return RegistryKey();
  }
  return RegistryKey(key);
}

void RegistryKey::Close() {
  if (key_) {
    RegCloseKey(key_);
    key_ = nullptr;
  }
}

bool RegistryKey::ReadDword(const wchar_t* name, DWORD& value, DWORD type) const {
  BYTE data[4];
  DWORD size = sizeof data;
  DWORD stored = 0;
  // A longer value does not fit the buffer and is refused here; the size decides the rest.
  if (!key_ || !MayCall() ||
      RegQueryValueExW(key_, name, nullptr, &stored, data, &size) != ERROR_SUCCESS ||
      !TypeFits(stored, type)) {
    return false;
  }
  int32_t parsed = 0;
  if (!ParseIntValue(data, size, parsed)) return false;
  value = static_cast<DWORD>(parsed);
  return true;
}

bool RegistryKey::ReadText(const wchar_t* name, std::span<wchar_t> text, DWORD maxBytes,
                           DWORD type) const {
  if (text.empty()) return false;
  text[0] = L'\0';
  BYTE buffer[kTextBytes];
  DWORD size = std::min(maxBytes, kTextBytes);
  DWORD stored = 0;
  if (!key_ || !MayCall() ||
      RegQueryValueExW(key_, name, nullptr, &stored, buffer, &size) != ERROR_SUCCESS ||
      !TypeFits(stored, type)) {
    return false;
  }
  return ParseTextValue(buffer, size, text.data(), text.size());
}

bool RegistryKey::ReadBinary(const wchar_t* name, std::span<BYTE> data, DWORD type) const {
  DWORD size = static_cast<DWORD>(data.size());
  DWORD stored = 0;
  // A longer value does not fit and is refused by the query; a shorter one is no record either.
  if (!key_ || !MayCall() ||
      RegQueryValueExW(key_, name, nullptr, &stored, data.data(), &size) != ERROR_SUCCESS) {
    return false;
  }
  return TypeFits(stored, type) && size == data.size();
}

bool RegistryKey::HasValue(const wchar_t* name) const {
  return key_ && MayCall() &&
         RegQueryValueExW(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegistryKey::WriteDword(const wchar_t* name, DWORD value) const {
  return key_ && MayCall() &&
         RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

bool RegistryKey::WriteText(const wchar_t* name, const wchar_t* text) const {
  if (!key_ || !text || !MayCall()) return false;
  const DWORD size = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
  return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) ==
         ERROR_SUCCESS;
}

bool RegistryKey::WriteBinary(const wchar_t* name, std::span<const BYTE> data) const {
  return key_ && MayCall() &&
         RegSetValueExW(key_, name, 0, REG_BINARY, data.data(), static_cast<DWORD>(data.size())) ==
             ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const wchar_t* name) const {
  return key_ && MayCall() && RegDeleteValueW(key_, name) == ERROR_SUCCESS;
}

std::optional<DWORD> RegistryKey::CountSubkeys() const {
  DWORD count = 0;
  if (!key_ || !MayCall() ||
      RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return count;
}

RegistryKey::Subkey RegistryKey::SubkeyName(DWORD index, wchar_t (&name)[kSubkeyNameLength],
                                            DWORD& length) const {
  length = kSubkeyNameLength;
  if (!MayCall()) return Subkey::kEnd;
  const LSTATUS status =
      RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_MORE_DATA) return Subkey::kSkipped;
  if (status != ERROR_SUCCESS) return Subkey::kEnd;
  if (length >= kSubkeyNameLength) return Subkey::kSkipped;
  name[length] = L'\0';
  return Subkey::kName;
}

}  // namespace ui
