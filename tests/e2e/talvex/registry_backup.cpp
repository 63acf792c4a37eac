#include "registry_backup.h"

namespace {
constexpr wchar_t kBackupKey[] = L"Software\\Velmora\\GravlinE2EBackup";

bool CopyTree(const wchar_t* from, const wchar_t* to) {
  HKEY source = nullptr, target = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
  bool copied = false;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                      nullptr) == ERROR_SUCCESS) {
    copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    RegCloseKey(target);
  }
  RegCloseKey(source);
  return copied;
}
}  // namespace

RegistryBackup::RegistryBackup() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kBackupKey);
  saved_ = CopyTree(kGameKey, kBackupKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, kGameKey);
}

RegistryBackup::~RegistryBackup() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kGameKey);
  if (saved_ && CopyTree(kBackupKey, kGameKey)) RegDeleteTreeW(HKEY_CURRENT_USER, kBackupKey);
}

void SetDword(const wchar_t* path, const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, path, name, REG_DWORD, &value, sizeof value);
}
