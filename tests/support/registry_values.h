#pragma once
// Raw registry values for tests that plant data and compare what a program left behind: any
// type, any size, byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

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

// Writes the bytes as a value of root\path, creating the key when it is missing.
inline void WriteValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
                       const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(key);
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
