#pragma once
// Raw registry values and whole trees, byte for byte and without GoogleTest, so that the programs
// that drive the game from outside the tests use them too.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct RegistryValue {
  DWORD type = 0;
  std::vector<BYTE> bytes;
  bool operator==(const RegistryValue&) const = default;
};

// The number a value holds when it has exactly 4 bytes (little-endian), whatever its type.
inline std::optional<DWORD> DwordOf(const RegistryValue& value) {
  if (value.bytes.size() != sizeof(DWORD)) return std::nullopt;
  DWORD number = 0;
  std::memcpy(&number, value.bytes.data(), sizeof number);
  return number;
}

// One value of root\path as stored, or nothing when it or its key is missing.
inline std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& path,
                                              const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<RegistryValue> value;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> bytes(size);
    if (RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS) {
      bytes.resize(size);
      value = RegistryValue{type, std::move(bytes)};
    }
  }
  RegCloseKey(key);
  return value;
}

inline bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Removes root\path when it holds neither values nor subkeys: a parent that other tests or
// other runs may still use.
inline void DeleteIfEmpty(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD subkeys = 1;
  DWORD values = 1;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (subkeys == 0 && values == 0) RegDeleteKeyW(root, path.c_str());
}

// Copies root\from with everything in it over root\to, creating it; false when from is missing
// or the copy failed.
inline bool CopyTree(HKEY root, const std::wstring& from, const std::wstring& to) {
  HKEY source = nullptr, target = nullptr;
  if (RegOpenKeyExW(root, from.c_str(), 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
  bool copied = false;
  if (RegCreateKeyExW(root, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) ==
      ERROR_SUCCESS) {
    copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    RegCloseKey(target);
  }
  RegCloseKey(source);
  return copied;
}

// The names of root\path's subkeys in the registry's order; none when it is missing.
inline std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name);
  }
  RegCloseKey(key);
  return names;
}

// Every value of an open key in the registry's order, names of any length included.
inline std::vector<std::pair<std::wstring, RegistryValue>> ReadValues(HKEY key) {
  std::vector<std::pair<std::wstring, RegistryValue>> values;
  DWORD longestName = 0, longestData = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                   &longestData, nullptr, nullptr);
  std::wstring name(longestName + 1, L'\0');
  std::vector<BYTE> data(longestData + 1);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = longestName + 1, size = longestData + 1, type = 0;
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS) {
      break;
    }
    values.emplace_back(name.substr(0, nameLength),
                        RegistryValue{type, std::vector<BYTE>(data.begin(), data.begin() + size)});
  }
  return values;
}

}  // namespace test_support
