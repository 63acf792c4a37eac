#pragma once
// Raw registry values for tests that plant data and compare what a program left behind: any
// type, any size, byte for byte; and the scratch key each such test works in.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/registry_tree.h"

namespace test_support {

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

// root\path made (when missing) to allow no more than `rights`, the way an administrator may
// lock down a program's keys, and the right to change that again, for RemoveKeyWithRights (Wine
// gives the owner no such right of its own); false when that could not be done.
inline bool CreateKeyWithRights(HKEY root, const std::wstring& path, DWORD rights) {
  const std::wstring sddl = L"D:P(A;;" + std::to_wstring(rights | WRITE_DAC) + L";;;WD)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return false;
  }
  HKEY key = nullptr;
  bool created = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key,
                                 nullptr) == ERROR_SUCCESS;
  if (created) {
    created = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  LocalFree(descriptor);
  return created;
}

// Gives root\path back every right, should CreateKeyWithRights have taken some, and removes it.
inline void RemoveKeyWithRights(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1,
                                                             &descriptor, nullptr)) {
      RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
      LocalFree(descriptor);
    }
    RegCloseKey(key);
  }
  RegDeleteTreeW(root, path.c_str());
}

// A key of the running test under HKEY_CURRENT_USER, named after it, empty when the test starts
// and removed with everything in it when the test ends (its parent too, once empty). Made
// while the test runs: as a test's local or a fixture's member.
class ScratchKey {
 public:
  static constexpr wchar_t kParent[] = L"Software\\Velmora\\TalvenorTests";

  ScratchKey() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::wstring(kParent) + L"\\";
    for (const char* p = info->test_suite_name(); *p; ++p) path_.push_back(*p == '/' ? L'_' : *p);
    path_.push_back(L'.');
    for (const char* p = info->name(); *p; ++p) path_.push_back(*p == '/' ? L'_' : *p);
    Clear();
  }
  ~ScratchKey() {
    Clear();
    DeleteIfEmpty(HKEY_CURRENT_USER, kParent);
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  const wchar_t* Path() const { return path_.c_str(); }
  void Clear() const { RemoveKeyWithRights(HKEY_CURRENT_USER, path_); }
  bool Exists() const { return KeyExists(HKEY_CURRENT_USER, path_); }
  // Made to allow reading and writing values only, as an administrator may lock a program's key
  // down; fails unless opening it with every right is then refused.
  ::testing::AssertionResult AllowOnlyValueReadsAndWrites() const {
    if (!CreateKeyWithRights(HKEY_CURRENT_USER, path_, KEY_QUERY_VALUE | KEY_SET_VALUE)) {
      return ::testing::AssertionFailure() << "cannot set the key's rights";
    }
    HKEY everything = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_ALL_ACCESS, &everything) ==
        ERROR_SUCCESS) {
      RegCloseKey(everything);
      return ::testing::AssertionFailure() << "the key still opens with every right";
    }
    return ::testing::AssertionSuccess();
  }

  void Write(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    WriteValue(HKEY_CURRENT_USER, path_, name, type, data, size);
  }
  void Write(const wchar_t* name, DWORD type, const std::vector<BYTE>& data) const {
    Write(name, type, data.data(), static_cast<DWORD>(data.size()));
  }
  void WriteDword(const wchar_t* name, DWORD value) const {
    Write(name, REG_DWORD, &value, sizeof value);
  }
  std::optional<RegistryValue> Read(const wchar_t* name) const {
    return ReadValue(HKEY_CURRENT_USER, path_, name);
  }

  // Every value of the key, in the registry's order.
  std::vector<std::pair<std::wstring, RegistryValue>> Values() const {
    std::vector<std::pair<std::wstring, RegistryValue>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
      return values;
    }
    values = ReadValues(key);
    RegCloseKey(key);
    return values;
  }
  std::vector<std::wstring> ValueNames() const {
    std::vector<std::wstring> names;
    for (const auto& v : Values()) names.push_back(v.first);
    return names;
  }

 private:
  std::wstring path_;
};

}  // namespace test_support
